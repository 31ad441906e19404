#pragma once

#include "settings/DCVSettingControllerDelegate.h"
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
class DCVSettingForAudioViewController : public DCVSettingControllerDelegate {
    Q_OBJECT
public:
    explicit DCVSettingForAudioViewController(QWidget* parent = nullptr);
    ~DCVSettingForAudioViewController() override;

    void setFileData(_FILEDATA* data) override;
    void displayFileData();
    bool populate() override;
    std::optional<QString> validateUserInput() override { return std::nullopt; }

    int columns() const { return m_columns; }
    // The cell at a row and column of the grid; null outside it.
    QRadioButton* cellAt(GridCell cell) const;
    // The selected cell, or none.
    std::optional<GridCell> selectedCell() const;
    void voiceLangMatrixSelected();

private:
    std::unique_ptr<Ui::DCVSettingForAudioViewController> ui;
    FieldBindings m_fields;
    QButtonGroup* m_languageGroup;
    int m_columns = 1;
};

} // namespace dcv
