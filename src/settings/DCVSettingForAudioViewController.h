#pragma once

#include "settings/SettingsControls.h"
#include "settings/SettingsTables.h"

#include <memory>

class QButtonGroup;
class QRadioButton;

namespace Ui {
class DCVSettingForAudioViewController;
}

namespace dcv {

// Microphone and speaker volume, the voice-guidance language and the hourly announcement.
// The language grid's cells are numbered row by row, whatever its shape.
class DCVSettingForAudioViewController : public DCVSettingTab {
    Q_OBJECT
public:
    explicit DCVSettingForAudioViewController(QWidget* parent = nullptr);
    ~DCVSettingForAudioViewController() override;

    void displayFileData() override;
    bool populate() override;

    int columns() const { return m_columns; }
    // The cell at a row and column of the grid; null outside it.
    QRadioButton* cellAt(GridCell cell) const;
    // The selected cell, or none.
    std::optional<GridCell> selectedCell() const;
    void voiceLangMatrixSelected();

private:
    std::unique_ptr<Ui::DCVSettingForAudioViewController> ui;
    QButtonGroup* m_languageGroup;
    int m_columns = 1;
};

} // namespace dcv
