#include "settings/DCVSettingForAuxViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForAuxViewController.h"

namespace dcv {
namespace {
constexpr const SettingsFieldRule& kSsid = settingsRule("wifiSsid");
constexpr const SettingsFieldRule& kPassword = settingsRule("wifiPassword");
const QString kKnobImage = QStringLiteral("hud_slider-knobBlack-N");
} // namespace

DCVSettingForAuxViewController::DCVSettingForAuxViewController(QWidget* parent)
    : DCVSettingTab(parent), ui(std::make_unique<Ui::DCVSettingForAuxViewController>()) {
    ui->setupUi(this);
    setWindowTitle(infoText("setting.aux"));
    ui->sdcardCapacityGroup->setTitle(infoText("setting.aux.sdcard_capacity"));
    ui->alwaysLabel->setText(infoText("setting.aux.always"));
    ui->motionLabel->setText(infoText("setting.aux.motion"));
    ui->eventLabel->setText(infoText("setting.aux.event"));
    ui->sdcardCapacityWarningLabel->setText(infoText("msg.memconfig_warning"));
    ui->sdcardCapacityWarningLabel->hide();
    ui->autoFormatAlarmGroup->setTitle(infoText("setting.aux.auto_format_alarm"));
    ui->wifiStartGroup->setTitle(infoText("setting.aux.wifi_start"));
    ui->wifiGroup->setTitle(infoText("setting.aux.wifi_setting"));
    ui->ssidTitleLabel->setText(infoText("setting.aux.ssid"));
    ui->passwordTitleLabel->setText(infoText("setting.aux.password"));
    ui->wifiChannelLabel->setText(infoText("setting.aux.wifi_channel"));
    ui->powerFrequencyGroup->setTitle(infoText("setting.aux.country_ac_power_setting"));
    for (QLabel* share : {ui->alwaysField, ui->motionField, ui->eventField})
        share->setProperty("class", QStringLiteral("value"));
    fields.bind(ui->autoFormatAlarmSeg, settingsRule("autoFormatPeriod"));
    m_checkedFields.bind(ui->ssidLabel, kSsid);
    m_checkedFields.bind(ui->passwordLabel, kPassword);
    m_checkedFields.bind(ui->wifiChannelCombo, settingsRule("wifiChannel"));
    m_checkedFields.bind(ui->wifiStartModeSeg, settingsRule("wifiStartMode"));
    m_checkedFields.bind(ui->powerFrequencySeg, settingsRule("powerFrequency"));
}

DCVSettingForAuxViewController::~DCVSettingForAuxViewController() = default;

void DCVSettingForAuxViewController::setFileData(_FILEDATA* data) {
    fileData = data;
    sliderHandle();
    DCVSettingTab::setFileData(data);
}

void DCVSettingForAuxViewController::sliderHandle() {
    if (!fileData)
        return;
    VMMultiHandleSlider* slider = ui->multiHandleSlider;
    const QString low = QString::fromLatin1(kLowHandle), high = QString::fromLatin1(kHighHandle);
    if (slider->handles().empty()) {
        const auto identity = [](float v) { return v; };
        slider->addHandle(high, TKImage::imageNamed(kKnobImage), highHandleRatio(*fileData), identity,
                          identity);
        slider->addHandle(low, TKImage::imageNamed(kKnobImage), lowHandleRatio(*fileData), identity,
                          identity);
    } else {
        slider->setValue(high, highHandleRatio(*fileData));
        slider->setValue(low, lowHandleRatio(*fileData));
    }
    slider->setValueChangedBlock([this, low, high](const VMMultiHandleSlider::Values& values) {
        m_ratios.lowRatio = sdRatioFromHandleValue(values.value(low));
        m_ratios.highRatio = sdRatioFromHandleValue(values.value(high));
        showShares(m_ratios.lowRatio, m_ratios.highRatio - m_ratios.lowRatio, 100 - m_ratios.highRatio);
    });
}

void DCVSettingForAuxViewController::showShares(int always, int motion, int event) {
    ui->alwaysField->setText(QStringLiteral("%1%").arg(always));
    ui->motionField->setText(QStringLiteral("%1%").arg(motion));
    ui->eventField->setText(QStringLiteral("%1%").arg(event));
}

void DCVSettingForAuxViewController::displayFileData() {
    if (!fileData)
        return;
    const _FILEDATA& r = *fileData;
    showShares(int(int32_t(r.sdAlwaysRatio)), int(int32_t(r.sdMotionRatio)), int(int32_t(r.sdEventRatio)));
    m_ratios = sdRatiosFromRecord(r);
    fields.show(r);
    m_checkedFields.show(r);
}

std::optional<QString> DCVSettingForAuxViewController::validateUserInput() {
    if (const auto m = validateSdRatios(m_ratios))
        return messageText(*m);
    return std::nullopt;
}

bool DCVSettingForAuxViewController::populate() {
    if (!fileData || validateUserInput())
        return false;
    _FILEDATA& r = *fileData;
    storeSdRatios(r, m_ratios);
    fields.store(r);
    for (const auto& [field, rule] :
         {std::pair{ui->ssidLabel, &kSsid}, std::pair{ui->passwordLabel, &kPassword}}) {
        if (const auto m = validateSettingsText(*rule, field->text().toStdString())) {
            showAlertSheet(QStringLiteral("Warning"), messageText(*m));
            return false;
        }
    }
    m_checkedFields.store(r);
    return true;
}

} // namespace dcv
