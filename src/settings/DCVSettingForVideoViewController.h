#pragma once

#include "settings/SettingsControls.h"

#include <memory>

namespace Ui {
class DCVSettingForVideoViewController;
}

namespace dcv {

// The front camera's recording quality and brightness. The rear brightness has no field in the
// record, so its control is shown but not offered.
class DCVSettingForVideoViewController : public DCVSettingTab {
    Q_OBJECT
public:
    explicit DCVSettingForVideoViewController(QWidget* parent = nullptr);
    ~DCVSettingForVideoViewController() override;

private:
    std::unique_ptr<Ui::DCVSettingForVideoViewController> ui;
};

} // namespace dcv
