#include "settings/DCVSettingForAdasViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForAdasViewController.h"

namespace dcv {
namespace {
constexpr const SettingsFieldRule& kLdwsSensitivity = settingsRule("ldwsSensitivity");
constexpr const SettingsFieldRule& kLdwsSpeed = settingsRule("ldwsSpeed");
constexpr const SettingsFieldRule& kFcwsSensitivity = settingsRule("fcwsSensitivity");
constexpr const SettingsFieldRule& kFcwsSpeed = settingsRule("fcwsSpeed");
} // namespace

DCVSettingForAdasViewController::DCVSettingForAdasViewController(_FILEDATA* data, QWidget* parent)
    : DCVSettingControllerDelegate(parent), ui(std::make_unique<Ui::DCVSettingForAdasViewController>()) {
    ui->setupUi(this);
    fileData = data;
    setWindowTitle(infoText("setting.adas"));
    ui->ldwsSensitivityGroup->setTitle(infoText("setting.adas.ldws_sensitivity"));
    ui->ldwsSpeedGroup->setTitle(infoText("setting.adas.ldws_speed"));
    ui->fcwsSensitivityGroup->setTitle(infoText("setting.adas.fcws_sensitivity"));
    ui->fcwsSpeedGroup->setTitle(infoText("setting.adas.fcws_speed"));
    fillItems(ui->adasLdwsSensSeg, kLdwsSensitivity);
    fillItems(ui->adasFcwsSensSeg, kFcwsSensitivity);
    changeSpeed(data ? data->speedDisplayUnit : kSpeedUnitKmh);
}

DCVSettingForAdasViewController::~DCVSettingForAdasViewController() = default;

void DCVSettingForAdasViewController::setFileData(_FILEDATA* data) {
    fileData = data;
    if (!fileData)
        return;
    changeSpeed(fileData->speedDisplayUnit);
    displayFileData();
}

void DCVSettingForAdasViewController::changeSpeed(uint32_t unit) {
    fillItems(ui->adasLdwsSpeedSeg, kLdwsSpeed, unit);
    fillItems(ui->adasFcwsSpeedSeg, kFcwsSpeed, unit);
}

void DCVSettingForAdasViewController::displayFileData() {
    if (!fileData)
        return;
    showField(ui->adasLdwsSensSeg, kLdwsSensitivity, *fileData);
    showField(ui->adasLdwsSpeedSeg, kLdwsSpeed, *fileData);
    showField(ui->adasFcwsSensSeg, kFcwsSensitivity, *fileData);
    showField(ui->adasFcwsSpeedSeg, kFcwsSpeed, *fileData);
}

bool DCVSettingForAdasViewController::populate() {
    if (!fileData)
        return false;
    storeField(ui->adasLdwsSensSeg, kLdwsSensitivity, *fileData);
    storeField(ui->adasLdwsSpeedSeg, kLdwsSpeed, *fileData);
    storeField(ui->adasFcwsSensSeg, kFcwsSensitivity, *fileData);
    storeField(ui->adasFcwsSpeedSeg, kFcwsSpeed, *fileData);
    return true;
}

} // namespace dcv
