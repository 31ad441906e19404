#include "settings/DCVSettingForGpsViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForGpsViewController.h"

namespace dcv {
DCVSettingForGpsViewController::DCVSettingForGpsViewController(QWidget* parent)
    : DCVSettingTab(parent), ui(std::make_unique<Ui::DCVSettingForGpsViewController>()) {
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
    fields.bind(ui->drivingDaySeg, settingsRule("weeklyAlarmDay"));
    fields.bind(ui->speedDisplayUnitSeg, settingsRule("speedDisplayUnit"));
    fields.bind(ui->osdSpeedDisplaySeg, settingsRule("osdSpeedDisplay"));
    fields.bind(ui->timeGmtCombo, settingsRule("timeZoneIndex"));
    fields.bind(ui->summerTimeChk, settingsRule("summerTime"));
    fields.bind(ui->nightTimeSeg, settingsRule("gpsOnParkingMode"));
    connect(ui->speedDisplayUnitSeg, &SegmentedControl::segmentClicked, this,
            &DCVSettingForGpsViewController::speedSegmentedControlChanged);
}

DCVSettingForGpsViewController::~DCVSettingForGpsViewController() = default;

void DCVSettingForGpsViewController::setFileData(_FILEDATA* data) {
    DCVSettingTab::setFileData(data);
    if (fileData)
        m_speed = captureSpeedUnitState(*fileData);
}

void DCVSettingForGpsViewController::speedSegmentedControlChanged() {
    const int unit = ui->speedDisplayUnitSeg->selectedSegment();
    if (!fileData || unit < 0)
        return;
    changeSpeedUnit(m_speed, *fileData, uint32_t(unit));
}

} // namespace dcv
