#include "settings/DCVSettingForMotionViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForMotionViewController.h"

namespace dcv {
namespace {
constexpr const SettingsFieldRule& kFront = settingsRule("frontMotionSensitivity");
constexpr const SettingsFieldRule& kRear = settingsRule("rearMotionSensitivity");
} // namespace

DCVSettingForMotionViewController::DCVSettingForMotionViewController(QWidget* parent)
    : DCVSettingControllerDelegate(parent), ui(std::make_unique<Ui::DCVSettingForMotionViewController>()) {
    ui->setupUi(this);
    setWindowTitle(infoText("setting.motion"));
    ui->sensitivityGroup->setTitle(infoText("setting.motion.sensitivity"));
    ui->frontMotionSensitivityLabel->setText(infoText("setting.aux.front_sensitivity"));
    ui->rearMotionSensitivityLabel->setText(infoText("setting.aux.rear_sensitivity"));
    fillItems(ui->frontSensitivitySeg, kFront);
    fillItems(ui->rearSensitivitySeg, kRear);
}

DCVSettingForMotionViewController::~DCVSettingForMotionViewController() = default;

void DCVSettingForMotionViewController::setFileData(_FILEDATA* data) {
    fileData = data;
    displayFileData();
}

void DCVSettingForMotionViewController::displayFileData() {
    if (!fileData)
        return;
    showField(ui->frontSensitivitySeg, kFront, *fileData);
    showField(ui->rearSensitivitySeg, kRear, *fileData);
}

bool DCVSettingForMotionViewController::populate() {
    if (!fileData)
        return false;
    storeField(ui->frontSensitivitySeg, kFront, *fileData);
    storeField(ui->rearSensitivitySeg, kRear, *fileData);
    return true;
}

} // namespace dcv
