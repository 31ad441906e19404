#pragma once

#include "settings/DCVSettingControllerDelegate.h"
#include "settings/SettingsControls.h"

#include <memory>

namespace Ui {
class DCVSettingForMotionViewController;
}

namespace dcv {

// Motion-detection sensitivity of the front and rear cameras.
class DCVSettingForMotionViewController : public DCVSettingControllerDelegate {
    Q_OBJECT
public:
    explicit DCVSettingForMotionViewController(QWidget* parent = nullptr);
    ~DCVSettingForMotionViewController() override;

    void setFileData(_FILEDATA* data) override;
    void displayFileData();
    bool populate() override;
    std::optional<QString> validateUserInput() override { return std::nullopt; }

private:
    std::unique_ptr<Ui::DCVSettingForMotionViewController> ui;
    FieldBindings m_fields;
};

} // namespace dcv
