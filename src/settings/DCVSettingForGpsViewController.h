#pragma once

#include "settings/SettingsControls.h"
#include "settings/SettingsTables.h"

#include <memory>

namespace Ui {
class DCVSettingForGpsViewController;
}

namespace dcv {

// Weekly alarm, speed unit, time zone and summer time, the overlay speed and GPS in parking
// mode. Changing the unit converts the ADAS speeds in the record at once, keeping their
// places in the tables, so the ADAS tab always finds speeds of the unit in force.
class DCVSettingForGpsViewController : public DCVSettingTab {
    Q_OBJECT
public:
    explicit DCVSettingForGpsViewController(QWidget* parent = nullptr);
    ~DCVSettingForGpsViewController() override;

    void setFileData(_FILEDATA* data) override;
    void speedSegmentedControlChanged();

    const SpeedUnitState& speedState() const { return m_speed; }

private:
    std::unique_ptr<Ui::DCVSettingForGpsViewController> ui;
    SpeedUnitState m_speed;
};

} // namespace dcv
