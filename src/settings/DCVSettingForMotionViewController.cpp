#include "settings/DCVSettingForMotionViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForMotionViewController.h"

namespace dcv {
DCVSettingForMotionViewController::DCVSettingForMotionViewController(QWidget* parent)
    : DCVSettingControllerDelegate(parent), ui(std::make_unique<Ui::DCVSettingForMotionViewController>()) {
    ui->setupUi(this);
    setWindowTitle(infoText("setting.motion"));
    ui->sensitivityGroup->setTitle(infoText("setting.motion.sensitivity"));
    ui->frontMotionSensitivityLabel->setText(infoText("setting.aux.front_sensitivity"));
    ui->rearMotionSensitivityLabel->setText(infoText("setting.aux.rear_sensitivity"));
    m_fields.bind(ui->frontSensitivitySeg, settingsRule("frontMotionSensitivity"));
    m_fields.bind(ui->rearSensitivitySeg, settingsRule("rearMotionSensitivity"));
}

DCVSettingForMotionViewController::~DCVSettingForMotionViewController() = default;

void DCVSettingForMotionViewController::setFileData(_FILEDATA* data) {
    fileData = data;
    displayFileData();
}

void DCVSettingForMotionViewController::displayFileData() {
    if (fileData)
        m_fields.show(*fileData);
}

bool DCVSettingForMotionViewController::populate() {
    if (!fileData)
        return false;
    m_fields.store(*fileData);
    return true;
}

} // namespace dcv
