#include "settings/DCVSettingForBasicViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForBasicViewController.h"

#include <QTimer>

namespace dcv {
namespace {
// Driving X, Y, Z, then parking X, Y, Z.
constexpr std::array<const SettingsFieldRule*, 6> kThresholds = {
    &settingsRule("drivingGsensorX"), &settingsRule("drivingGsensorY"), &settingsRule("drivingGsensorZ"),
    &settingsRule("parkingGsensorX"), &settingsRule("parkingGsensorY"), &settingsRule("parkingGsensorZ")};

void showThresholds(const std::array<QLineEdit*, 3>& fields, const std::array<int32_t, 3>& values) {
    for (size_t i = 0; i < 3; ++i)
        fields[i]->setText(QString::fromStdString(gsensorThresholdText(values[i])));
}
} // namespace

DCVSettingForBasicViewController::DCVSettingForBasicViewController(QWidget* parent)
    : DCVSettingTab(parent), ui(std::make_unique<Ui::DCVSettingForBasicViewController>()) {
    ui->setupUi(this);
    m_driving = {ui->gsensorSensitivityDrivingSeg,
                 {ui->gsensorSensitivityThresholdXDrivingField, ui->gsensorSensitivityThresholdYDrivingField,
                  ui->gsensorSensitivityThresholdZDrivingField}};
    m_parking = {ui->gsensorSensitivityParkingSeg,
                 {ui->gsensorSensitivityThresholdXParkingField, ui->gsensorSensitivityThresholdYParkingField,
                  ui->gsensorSensitivityThresholdZParkingField}};

    setWindowTitle(infoText("setting.basic"));
    ui->autoParkingGroup->setTitle(infoText("setting.basic.auto_parking_waiting_time"));
    ui->gsensorEnableChk->setText(infoText("setting.basic.enable_gsensor"));
    ui->drivingImpactGroup->setTitle(infoText("setting.basic.driving_impact_sensitivity"));
    ui->parkingImpactGroup->setTitle(infoText("setting.basic.parking_impact_sensitivity"));
    ui->frontLEDGroup->setTitle(infoText("setting.basic.front_LED_settings"));
    ui->rearLEDGroup->setTitle(infoText("setting.basic.rear_LED_settings"));
    ui->carNumberLabel->setText(infoText("setting.basic.car_number_input"));
    ui->cutoffVoltageGroup->setTitle(infoText("setting.basic.cutoff_voltage_setting"));
    ui->setVoltageLabel->setText(infoText("setting.basic.set_voltage"));
    ui->setTimerLabel->setText(infoText("setting.basic.set_timer"));
    ui->powerGuide1Field->setText(infoText("setting.basic.power_guide"));
    ui->cableVoltageLossGroup->setTitle(infoText("setting.basic.cable_voltage_loss"));
    ui->segmentOptionGroup->setTitle(infoText("setting.basic.segment_option"));

    fields.bind(ui->alwaysModeTimeoutSeg, settingsRule("alwaysModeTimeout"));
    fields.bind(ui->gsensorEnableChk, settingsRule("gsensorEnable"));
    fields.bind(ui->frontLEDSeg, settingsRule("frontLED"));
    fields.bind(ui->rearLEDSeg, settingsRule("rearLED"));
    fields.bind(ui->carNumberField, settingsRule("carNumber"));
    fields.bind(ui->powerVoltageCombo, settingsRule("powerVoltage"));
    fields.bind(ui->powerTimeCombo, settingsRule("powerTime"));
    fields.bind(ui->cableVoltageLossCombo, settingsRule("cableVoltageLoss"));
    fields.bind(ui->segmentOptionSeg, settingsRule("segmentOption"));
    for (const ThresholdGroup* g : {&m_driving, &m_parking}) {
        setSegmentLabels(g->segment, labelTexts(kGsensorSegmentLabels));
        for (QLineEdit* f : g->fields)
            f->setMaximumWidth(64);
    }
    ui->carNumberField->setMaxLength(64);

    connect(ui->gsensorEnableChk, &QCheckBox::clicked, this,
            &DCVSettingForBasicViewController::changeGsensorEnable);
    connect(ui->gsensorSensitivityDrivingSeg, &SegmentedControl::segmentClicked, this,
            &DCVSettingForBasicViewController::updateGsensorThreshold);
    connect(ui->gsensorSensitivityParkingSeg, &SegmentedControl::segmentClicked, this,
            &DCVSettingForBasicViewController::updateGsensorThreshold);
    // Only a user's choice warns, not showing a record that holds it.
    connect(ui->powerVoltageCombo, &QComboBox::activated, this,
            &DCVSettingForBasicViewController::powerVoltageSelected);
}

DCVSettingForBasicViewController::~DCVSettingForBasicViewController() = default;

void DCVSettingForBasicViewController::displayFileData() {
    if (!fileData)
        return;
    _FILEDATA& r = *fileData;
    fields.show(r);
    changeGsensorEnable();
    m_driving.segment->setSelectedSegment(
        findDrivingGsensorThresholdIndexByX(r.drivingGsensorX, r.drivingGsensorY, r.drivingGsensorZ));
    showThresholds(m_parking.fields, {r.parkingGsensorX, r.parkingGsensorY, r.parkingGsensorZ});
    m_parking.segment->setSelectedSegment(
        findParkingGsensorThresholdIndexByX(r.parkingGsensorX, r.parkingGsensorY, r.parkingGsensorZ));
    showThresholds(m_driving.fields, {r.drivingGsensorX, r.drivingGsensorY, r.drivingGsensorZ});
    updateGsensorThreshold();
}

void DCVSettingForBasicViewController::changeGsensorEnable() {
    const bool on = ui->gsensorEnableChk->isChecked();
    for (const ThresholdGroup* g : {&m_driving, &m_parking}) {
        g->segment->setEnabled(on);
        for (QLineEdit* f : g->fields)
            f->setEnabled(on);
    }
}

void DCVSettingForBasicViewController::updateGsensorThreshold() {
    const int driving = m_driving.segment->selectedSegment();
    if (driving >= 0 && driving < kGsensorCustomSegment) {
        const GsensorPreset& p = kGsensorPresets[size_t(driving)];
        showThresholds(m_driving.fields, {p.drivingX, p.drivingYZ, p.drivingYZ});
    }
    const int parking = m_parking.segment->selectedSegment();
    if (parking >= 0 && parking < kGsensorCustomSegment) {
        const int32_t v = kGsensorPresets[size_t(parking)].parking;
        showThresholds(m_parking.fields, {v, v, v});
    }
    for (QLineEdit* f : m_driving.fields)
        f->setEnabled(driving == kGsensorCustomSegment);
    for (QLineEdit* f : m_parking.fields)
        f->setEnabled(parking == kGsensorCustomSegment);
}

std::optional<QString> DCVSettingForBasicViewController::validateGroup(const ThresholdGroup& group,
                                                                       size_t firstRule) {
    // Preset fields hold their preset unless the user typed into them, so every field that
    // will be stored is checked, not only the custom ones.
    for (size_t i = 0; i < 3; ++i) {
        QLineEdit* field = group.fields[i];
        if (const auto m = validateSettingsText(*kThresholds[firstRule + i], field->text().toStdString())) {
            focus(field);
            return messageText(*m);
        }
    }
    return std::nullopt;
}

std::optional<QString> DCVSettingForBasicViewController::validateUserInput() {
    if (auto m = validateGroup(m_driving, 0))
        return m;
    return validateGroup(m_parking, 3);
}

bool DCVSettingForBasicViewController::populate() {
    if (!fileData || validateUserInput())
        return false;
    _FILEDATA& r = *fileData;
    ui->carNumberField->textDidEndEditing();
    fields.store(r);
    for (size_t i = 0; i < 3; ++i) {
        storeField(m_driving.fields[i], *kThresholds[i], r);
        storeField(m_parking.fields[i], *kThresholds[3 + i], r);
    }
    return true;
}

void DCVSettingForBasicViewController::powerVoltageSelected() {
    if (ui->powerVoltageCombo->currentIndex() == kPowerVoltageExternalPowerIndex)
        showAlertSheet(QStringLiteral("Warning"), infoText("msg.use_external_power_10v"));
}

void DCVSettingForBasicViewController::focus(QWidget* control) {
    QTimer::singleShot(0, control, [control] { control->setFocus(Qt::OtherFocusReason); });
}

} // namespace dcv
