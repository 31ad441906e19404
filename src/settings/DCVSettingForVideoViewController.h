#pragma once

#include "settings/DCVSettingControllerDelegate.h"
#include "settings/SettingsControls.h"

#include <memory>

namespace Ui {
class DCVSettingForVideoViewController;
}

namespace dcv {

// The front camera's recording quality and brightness. The rear brightness has no field in the
// record, so its control is shown but not offered.
class DCVSettingForVideoViewController : public DCVSettingControllerDelegate {
    Q_OBJECT
public:
    explicit DCVSettingForVideoViewController(QWidget* parent = nullptr);
    ~DCVSettingForVideoViewController() override;

    void setFileData(_FILEDATA* data) override;
    void displayFileData();
    bool populate() override;
    std::optional<QString> validateUserInput() override { return std::nullopt; }

private:
    std::unique_ptr<Ui::DCVSettingForVideoViewController> ui;
    FieldBindings m_fields;
};

} // namespace dcv
