#include "settings/DCVSettingForVideoViewController.h"

#include "platform/DCVStrings.h"
#include "settings/SettingsControls.h"
#include "ui_DCVSettingForVideoViewController.h"

namespace dcv {
namespace {
constexpr const SettingsFieldRule& kQuality = settingsRule("frontVideoQuality");
constexpr const SettingsFieldRule& kBrightness = settingsRule("frontBrightness");
} // namespace

DCVSettingForVideoViewController::DCVSettingForVideoViewController(QWidget* parent)
    : DCVSettingTab(parent), ui(std::make_unique<Ui::DCVSettingForVideoViewController>()) {
    ui->setupUi(this);
    setWindowTitle(infoText("setting.video"));
    ui->frontQualityGroup->setTitle(infoText("setting.video.front_quality"));
    ui->frontSettingGroup->setTitle(infoText("setting.video.front_setting"));
    ui->rearSettingGroup->setTitle(infoText("setting.video.rear_setting"));
    ui->brightnessLabel->setText(infoText("brightness"));
    ui->brightnessLabelReal->setText(infoText("brightness"));
    fields.bind(ui->videoQuality, kQuality);
    fields.bind(ui->videoBrightness, kBrightness);
    fillItems(ui->videoBrightnessRear, kBrightness);
    ui->videoBrightnessRear->setEnabled(false);
    ui->videoBrightnessRear->setToolTip(infoText("setting.video.rear_not_stored"));
}

DCVSettingForVideoViewController::~DCVSettingForVideoViewController() = default;

} // namespace dcv
