#include "settings/DCVSettingForAdasViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForAdasViewController.h"

namespace dcv {
namespace {
constexpr const SettingsFieldRule& kLdwsSpeed = settingsRule("ldwsSpeed");
constexpr const SettingsFieldRule& kFcwsSpeed = settingsRule("fcwsSpeed");
} // namespace

DCVSettingForAdasViewController::DCVSettingForAdasViewController(_FILEDATA* data, QWidget* parent)
    : DCVSettingTab(parent), ui(std::make_unique<Ui::DCVSettingForAdasViewController>()) {
    ui->setupUi(this);
    fileData = data;
    setWindowTitle(infoText("setting.adas"));
    ui->ldwsSensitivityGroup->setTitle(infoText("setting.adas.ldws_sensitivity"));
    ui->ldwsSpeedGroup->setTitle(infoText("setting.adas.ldws_speed"));
    ui->fcwsSensitivityGroup->setTitle(infoText("setting.adas.fcws_sensitivity"));
    ui->fcwsSpeedGroup->setTitle(infoText("setting.adas.fcws_speed"));
    fields.bind(ui->adasLdwsSensSeg, settingsRule("ldwsSensitivity"));
    fields.bind(ui->adasLdwsSpeedSeg, kLdwsSpeed);
    fields.bind(ui->adasFcwsSensSeg, settingsRule("fcwsSensitivity"));
    fields.bind(ui->adasFcwsSpeedSeg, kFcwsSpeed);
    changeSpeed(data ? data->speedDisplayUnit : kSpeedUnitKmh);
}

DCVSettingForAdasViewController::~DCVSettingForAdasViewController() = default;

void DCVSettingForAdasViewController::setFileData(_FILEDATA* data) {
    fileData = data;
    if (!fileData)
        return;
    changeSpeed(fileData->speedDisplayUnit);
    DCVSettingTab::setFileData(data);
}

void DCVSettingForAdasViewController::changeSpeed(uint32_t unit) {
    fillItems(ui->adasLdwsSpeedSeg, kLdwsSpeed, unit);
    fillItems(ui->adasFcwsSpeedSeg, kFcwsSpeed, unit);
}

} // namespace dcv
