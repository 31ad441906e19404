#include "settings/DCVSettingForMotionViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForMotionViewController.h"

namespace dcv {
DCVSettingForMotionViewController::DCVSettingForMotionViewController(QWidget* parent)
    : DCVSettingTab(parent), ui(std::make_unique<Ui::DCVSettingForMotionViewController>()) {
    ui->setupUi(this);
    setWindowTitle(infoText("setting.motion"));
    ui->sensitivityGroup->setTitle(infoText("setting.motion.sensitivity"));
    ui->frontMotionSensitivityLabel->setText(infoText("setting.aux.front_sensitivity"));
    ui->rearMotionSensitivityLabel->setText(infoText("setting.aux.rear_sensitivity"));
    fields.bind(ui->frontSensitivitySeg, settingsRule("frontMotionSensitivity"));
    fields.bind(ui->rearSensitivitySeg, settingsRule("rearMotionSensitivity"));
}

DCVSettingForMotionViewController::~DCVSettingForMotionViewController() = default;

} // namespace dcv
