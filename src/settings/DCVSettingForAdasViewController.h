#pragma once

#include "settings/SettingsControls.h"

#include <memory>

namespace Ui {
class DCVSettingForAdasViewController;
}

namespace dcv {

// Lane-departure and forward-collision warnings: sensitivity and the lowest speed at which
// each warns, in the speed unit the record holds.
class DCVSettingForAdasViewController : public DCVSettingTab {
    Q_OBJECT
public:
    // Made bound to the record, as the settings window makes it.
    explicit DCVSettingForAdasViewController(_FILEDATA* data, QWidget* parent = nullptr);
    ~DCVSettingForAdasViewController() override;

    void setFileData(_FILEDATA* data) override;
    // Labels both speed controls for unit 0 (km/h) or 1 (mi/h).
    void changeSpeed(uint32_t unit);

private:
    std::unique_ptr<Ui::DCVSettingForAdasViewController> ui;
};

} // namespace dcv
