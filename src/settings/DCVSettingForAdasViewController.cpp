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
    : DCVSettingControllerDelegate(parent), ui(std::make_unique<Ui::DCVSettingForAdasViewController>()) {
    ui->setupUi(this);
    fileData = data;
    setWindowTitle(infoText("setting.adas"));
    ui->ldwsSensitivityGroup->setTitle(infoText("setting.adas.ldws_sensitivity"));
    ui->ldwsSpeedGroup->setTitle(infoText("setting.adas.ldws_speed"));
    ui->fcwsSensitivityGroup->setTitle(infoText("setting.adas.fcws_sensitivity"));
    ui->fcwsSpeedGroup->setTitle(infoText("setting.adas.fcws_speed"));
    m_fields.bind(ui->adasLdwsSensSeg, settingsRule("ldwsSensitivity"));
    m_fields.bind(ui->adasLdwsSpeedSeg, kLdwsSpeed);
    m_fields.bind(ui->adasFcwsSensSeg, settingsRule("fcwsSensitivity"));
    m_fields.bind(ui->adasFcwsSpeedSeg, kFcwsSpeed);
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
    if (fileData)
        m_fields.show(*fileData);
}

bool DCVSettingForAdasViewController::populate() {
    if (!fileData)
        return false;
    m_fields.store(*fileData);
    return true;
}

} // namespace dcv
