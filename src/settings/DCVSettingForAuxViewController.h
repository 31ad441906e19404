#pragma once

#include "settings/SettingsControls.h"
#include "settings/SettingsTables.h"

#include <memory>

namespace Ui {
class DCVSettingForAuxViewController;
}

namespace dcv {

// How the card is shared between always, motion and event recording (a two-handle slider),
// the auto-format period, the camera's Wi-Fi and the mains frequency.
class DCVSettingForAuxViewController : public DCVSettingTab {
    Q_OBJECT
public:
    explicit DCVSettingForAuxViewController(QWidget* parent = nullptr);
    ~DCVSettingForAuxViewController() override;

    void setFileData(_FILEDATA* data) override;
    // Adds the handles the first time, moves them to the record's shares later.
    void sliderHandle();
    void displayFileData() override;
    bool populate() override;
    std::optional<QString> validateUserInput() override;

    // Always is lowRatio, motion highRatio - lowRatio, event 100 - highRatio (percent).
    const SdRatios& ratios() const { return m_ratios; }

    static constexpr const char* kLowHandle = "Low";
    static constexpr const char* kHighHandle = "High";

private:
    void showShares(int always, int motion, int event);

    std::unique_ptr<Ui::DCVSettingForAuxViewController> ui;
    FieldBindings m_checkedFields; // stored once the Wi-Fi checks pass
    SdRatios m_ratios;
};

} // namespace dcv
