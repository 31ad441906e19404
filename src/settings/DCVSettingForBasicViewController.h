#pragma once

#include "settings/SettingsControls.h"

#include <array>
#include <memory>

class QLineEdit;

namespace Ui {
class DCVSettingForBasicViewController;
}

namespace dcv {

class SegmentedControl;

// Parking wait, impact sensor with its presets or custom thresholds, LEDs, car number, the
// parking power cut-off and the segment option.
class DCVSettingForBasicViewController : public DCVSettingTab {
    Q_OBJECT
public:
    explicit DCVSettingForBasicViewController(QWidget* parent = nullptr);
    ~DCVSettingForBasicViewController() override;

    void displayFileData() override;
    bool populate() override;
    std::optional<QString> validateUserInput() override;

    // All eight impact-sensor controls follow the check box.
    void changeGsensorEnable();
    // Preset segments fill their fields; a group's fields are editable when its segment is custom.
    void updateGsensorThreshold();
    // Warns when the external-power cut-off is chosen.
    void powerVoltageSelected();
    // Gives the control the keyboard focus once the current event is done.
    void focus(QWidget* control);

private:
    struct ThresholdGroup {
        SegmentedControl* segment;
        std::array<QLineEdit*, 3> fields; // X, Y, Z
    };
    std::optional<QString> validateGroup(const ThresholdGroup& group, size_t firstRule);

    std::unique_ptr<Ui::DCVSettingForBasicViewController> ui;
    ThresholdGroup m_driving{}, m_parking{};
};

} // namespace dcv
