#include "settings/DCVSettingForGpsViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForGpsViewController.h"

namespace dcv {
namespace {
constexpr const SettingsFieldRule& kWeeklyAlarm = settingsRule("weeklyAlarmDay");
constexpr const SettingsFieldRule& kSpeedUnit = settingsRule("speedDisplayUnit");
constexpr const SettingsFieldRule& kOsdSpeed = settingsRule("osdSpeedDisplay");
constexpr const SettingsFieldRule& kTimeZone = settingsRule("timeZoneIndex");
constexpr const SettingsFieldRule& kSummerTime = settingsRule("summerTime");
constexpr const SettingsFieldRule& kGpsParking = settingsRule("gpsOnParkingMode");
} // namespace

DCVSettingForGpsViewController::DCVSettingForGpsViewController(QWidget* parent)
    : DCVSettingControllerDelegate(parent), ui(std::make_unique<Ui::DCVSettingForGpsViewController>()) {
    ui->setupUi(this);
    setWindowTitle(infoText("setting.gps"));
    ui->weeklyAlarmGroup->setTitle(infoText("setting.gps.weekly_alarm"));
    ui->speedDisplayGroup->setTitle(infoText("setting.gps.speed_display"));
    ui->timezoneGroup->setTitle(infoText("setting.gps.timezone_setting"));
    ui->osdSpeedDisplayGroup->setTitle(infoText("setting.gps.osd_speed_display"));
    ui->gpsOnParkingModeGroup->setTitle(infoText("setting.gps.gps_on_parking_mode"));
    ui->summerTimeChk->setText(infoText("summerTime"));
    ui->gpsGuide1Field->setText(infoText("setting.gps.gps_guide1"));
    ui->speedGuide1Field->setText(infoText("setting.gps.gps_speed_guide1"));
    ui->timeGuide1Field->setText(infoText("setting.gps.gps_time_guide1"));
    ui->gpsGuide2Field->setText(infoText("setting.gps.gps_guide2"));
    fillItems(ui->drivingDaySeg, kWeeklyAlarm);
    fillItems(ui->speedDisplayUnitSeg, kSpeedUnit);
    fillItems(ui->osdSpeedDisplaySeg, kOsdSpeed);
    fillItems(ui->timeGmtCombo, kTimeZone);
    fillItems(ui->nightTimeSeg, kGpsParking);
    connect(ui->speedDisplayUnitSeg, &SegmentedControl::segmentClicked, this,
            &DCVSettingForGpsViewController::speedSegmentedControlChanged);
}

DCVSettingForGpsViewController::~DCVSettingForGpsViewController() = default;

void DCVSettingForGpsViewController::setFileData(_FILEDATA* data) {
    fileData = data;
    displayFileData();
    if (fileData)
        m_speed = captureSpeedUnitState(*fileData);
}

void DCVSettingForGpsViewController::displayFileData() {
    if (!fileData)
        return;
    showField(ui->drivingDaySeg, kWeeklyAlarm, *fileData);
    showField(ui->speedDisplayUnitSeg, kSpeedUnit, *fileData);
    showField(ui->osdSpeedDisplaySeg, kOsdSpeed, *fileData);
    showField(ui->timeGmtCombo, kTimeZone, *fileData);
    showField(ui->summerTimeChk, kSummerTime, *fileData);
    showField(ui->nightTimeSeg, kGpsParking, *fileData);
}

void DCVSettingForGpsViewController::speedSegmentedControlChanged() {
    const int unit = ui->speedDisplayUnitSeg->selectedSegment();
    if (!fileData || unit < 0)
        return;
    changeSpeedUnit(m_speed, *fileData, uint32_t(unit));
}

bool DCVSettingForGpsViewController::populate() {
    if (!fileData)
        return false;
    storeField(ui->drivingDaySeg, kWeeklyAlarm, *fileData);
    storeField(ui->speedDisplayUnitSeg, kSpeedUnit, *fileData);
    storeField(ui->osdSpeedDisplaySeg, kOsdSpeed, *fileData);
    storeField(ui->timeGmtCombo, kTimeZone, *fileData);
    storeField(ui->summerTimeChk, kSummerTime, *fileData);
    storeField(ui->nightTimeSeg, kGpsParking, *fileData);
    return true;
}

} // namespace dcv
