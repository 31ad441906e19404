#pragma once

#include "settings/SettingsControls.h"

#include <memory>

namespace Ui {
class DCVSettingForMotionViewController;
}

namespace dcv {

// Motion-detection sensitivity of the front and rear cameras.
class DCVSettingForMotionViewController : public DCVSettingTab {
    Q_OBJECT
public:
    explicit DCVSettingForMotionViewController(QWidget* parent = nullptr);
    ~DCVSettingForMotionViewController() override;

private:
    std::unique_ptr<Ui::DCVSettingForMotionViewController> ui;
};

} // namespace dcv
