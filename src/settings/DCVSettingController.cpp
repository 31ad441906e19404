#include "settings/DCVSettingController.h"

#include "platform/DCVStrings.h"
#include "platform/disks/UsbVolumes.h"
#include "platform/disks/VolumeRename.h"
#include "settings/DCVSettingForAdasViewController.h"
#include "settings/DCVSettingForAudioViewController.h"
#include "settings/DCVSettingForAuxViewController.h"
#include "settings/DCVSettingForBasicViewController.h"
#include "settings/DCVSettingForGpsViewController.h"
#include "settings/DCVSettingForMotionViewController.h"
#include "settings/DCVSettingForVideoViewController.h"
#include "settings/SettingsCard.h"
#include "ui_DCVSettingController.h"
#include "util/Log.h"
#include "widgets/AlertSheet.h"
#include "widgets/DCVScreen.h"
#include "widgets/PMProgressIndicator.h"
#include "widgets/SegmentedControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace dcv {
namespace {

struct TabEntry {
    const char* labelKey;
    const char* titleKey;
};
// In selector order.
constexpr TabEntry kTabs[DCVSettingController::kTabCount] = {
    {QT_TRANSLATE_NOOP("InfoPlist", "setting.video"), "setting.video"},
    {QT_TRANSLATE_NOOP("InfoPlist", "setting.basic"), "setting.basic"},
    {QT_TRANSLATE_NOOP("InfoPlist", "setting.gps"), "setting.gps"},
    {QT_TRANSLATE_NOOP("InfoPlist", "setting.aux"), "setting.aux"},
    {QT_TRANSLATE_NOOP("InfoPlist", "setting.park"), QT_TRANSLATE_NOOP("InfoPlist", "setting.motion")},
    {QT_TRANSLATE_NOOP("InfoPlist", "setting.adas"), "setting.adas"},
    {QT_TRANSLATE_NOOP("InfoPlist", "setting.audio"), "setting.audio"},
};

const QString kCameraTitle = QStringLiteral("TELVO");

// The minute, second and zone offset of the services' clock, as the record's defaults take them.
LocalTimeSource localTimeOf(const std::shared_ptr<Clock>& clock) {
    if (!clock)
        return systemLocalTime;
    return [clock] {
        const QDateTime now = clock->now();
        return LocalTime{now.time().minute(), now.time().second(), clock->timeZone().offsetFromUtc(now)};
    };
}

// Check boxes and radio buttons that stand out on the dark window, in the palette's colours.
const char* const kStyleSheet = R"(
QGroupBox { font-weight: bold; }
QGroupBox > QWidget { font-weight: normal; }
QCheckBox::indicator, QRadioButton::indicator {
    width: 13px; height: 13px; border: 1px solid rgba(255, 255, 255, 0.35); background: palette(base); }
QCheckBox::indicator { border-radius: 3px; }
QRadioButton::indicator { border-radius: 7px; }
QCheckBox::indicator:hover, QRadioButton::indicator:hover { border-color: palette(highlight); }
QCheckBox::indicator:checked { background: palette(highlight); border-color: palette(highlight);
                               image: url(:/images/check_mark.svg); }
QRadioButton::indicator:checked { border: 4px solid palette(highlight); width: 7px; height: 7px;
                                  background: palette(highlighted-text); }
QCheckBox:disabled, QRadioButton:disabled, QLineEdit:disabled { color: rgba(255, 255, 255, 0.4); }
QLabel[class="guide"] { color: #8b939e; }
QPushButton:checked { background: palette(highlight); color: palette(highlighted-text); border: none;
                      padding: 3px 8px; border-radius: 2px; }
)";

} // namespace

DCVSettingController::DCVSettingController(Services services, QWidget* parent)
    : DCVSettingController(std::move(services), Options{}, parent) {}

DCVSettingController::DCVSettingController(Services services, Options options, QWidget* parent)
    : QDialog(parent), m_services(std::move(services)), m_options(std::move(options)),
      m_clock(localTimeOf(m_services.clock)) {
    if (!m_options.diskUtility)
        m_options.diskUtility = QStandardPaths::findExecutable(QStringLiteral("gnome-disks"));
    if (!m_options.renameVolume) {
        std::shared_ptr<CommandRunner> runner = m_services.commandRunner;
        m_options.renameVolume = [runner](const TKUSBDiskEntity& disk, const QString& label) {
            if (!runner)
                return QVariantMap{
                    {QStringLiteral("NSAppleScriptErrorMessage"), QStringLiteral("no command runner")}};
            return renameVolume(disk, label, *runner);
        };
    }
    initDefaultSettingsRecord(m_FileData, m_clock);
    loadSettingFile2();
}

DCVSettingController::~DCVSettingController() = default;

SegmentedControl* DCVSettingController::functionSegmentedControl() const {
    return m_ui ? m_ui->functionSegmentedControl : nullptr;
}
QPushButton* DCVSettingController::saveButton() const {
    return m_ui ? m_ui->saveButton : nullptr;
}
QPushButton* DCVSettingController::resetButton() const {
    return m_ui ? m_ui->resetButton : nullptr;
}
QPushButton* DCVSettingController::cancelButton() const {
    return m_ui ? m_ui->cancelButton : nullptr;
}
QPushButton* DCVSettingController::sdcardFormatButton() const {
    return m_ui ? m_ui->sdcardFormatButton : nullptr;
}
QPushButton* DCVSettingController::diskUtilButton() const {
    return m_ui ? m_ui->diskUtilButton : nullptr;
}
QPushButton* DCVSettingController::driveInfoButton() const {
    return m_ui ? m_ui->driveInfoButton : nullptr;
}

void DCVSettingController::showWindow() {
    if (!m_ui)
        windowDidLoad();
    // Window-modal over the window that opened it, like every dialog of the viewer.
    open();
}

void DCVSettingController::windowDidLoad() {
    m_ui = std::make_unique<Ui::DCVSettingController>();
    m_ui->setupUi(this);
    setStyleSheet(QString::fromLatin1(kStyleSheet));
    m_lastSelectedTabIndex = -1;
    QStringList labels;
    for (const TabEntry& t : kTabs)
        labels << infoText(t.labelKey);
    setSegmentLabels(m_ui->functionSegmentedControl, labels);
    m_ui->functionSegmentedControl->setObjectName(QStringLiteral("functionSegmentedControl"));
    m_ui->sdcardFormatButton->setText(infoText("setting.sdcardformat"));
    m_ui->resetButton->setText(infoText("setting.initialize"));
    m_ui->saveButton->setText(infoText("save"));
    m_ui->cancelButton->setText(infoText("cancel"));
    m_ui->diskUtilButton->setText(infoText("setting.disk_utility"));
    m_ui->driveInfoButton->setText(infoText("setting.information"));
    m_ui->driveInfoButton->setCheckable(true);
    const bool diskUtility = !m_options.diskUtility.value_or(QString()).isEmpty();
    m_ui->diskUtilButton->setEnabled(diskUtility);
    if (!diskUtility)
        m_ui->diskUtilButton->setToolTip(infoText("setting.no_disk_utility"));

    connect(m_ui->functionSegmentedControl, &SegmentedControl::segmentClicked, this,
            &DCVSettingController::changeViewController);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &DCVSettingController::onSave);
    connect(m_ui->resetButton, &QPushButton::clicked, this, &DCVSettingController::onSaveDefaultSetting);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &DCVSettingController::onCloseCmd);
    connect(m_ui->sdcardFormatButton, &QPushButton::clicked, this, &DCVSettingController::onFormat);
    connect(m_ui->diskUtilButton, &QPushButton::clicked, this, &DCVSettingController::onDiskUtil);
    connect(m_ui->driveInfoButton, &QPushButton::clicked, this, &DCVSettingController::showDriveInfo);

    // The loading sheet.
    m_progressPanel = new QDialog(this);
    m_progressPanel->setObjectName(QStringLiteral("progressPanel"));
    m_progressPanel->setWindowModality(Qt::WindowModal);
    auto* panelLayout = new QVBoxLayout(m_progressPanel);
    m_progressTitleField = new QLabel(m_progressPanel);
    m_progressIndicator = new PMProgressIndicator(m_progressPanel);
    panelLayout->addWidget(m_progressTitleField);
    panelLayout->addWidget(m_progressIndicator);
    m_progressPanel->resize(320, 80);

    screen::centerInVisibleFrame(this);
    onInitDIalog();
    changeViewController(0);
}

void DCVSettingController::onInitDIalog() {
    initDefaultSettingsRecord(m_FileData, m_clock);
    loadSettingFile();
    m_strVersion = QCoreApplication::applicationVersion();
    updateTitle();
    if (m_SettingFilePath.isEmpty())
        m_FileData.timeZoneIndex = currentTimeZoneIndex(m_clock);
}

void DCVSettingController::updateTitle() {
    const QString title = infoText("setting.window_title");
    if (m_SettingFilePath.isEmpty())
        setWindowTitle(QStringLiteral("%1[Ver %2]").arg(title, m_strVersion));
    else
        setWindowTitle(QStringLiteral("%1[Ver %2] : %3").arg(title, m_strVersion, m_SettingFilePath));
}

// ---- Finding and reading the card

void DCVSettingController::findUSBVolume() {
    if (!m_services.cardFolder.isEmpty()) {
        // A folder given as the card stands for it: no discovery, no renaming.
        m_selectedUSBDisk.reset();
        const auto file = folderSettingsFile(m_services.cardFolder.toStdString());
        m_SettingFilePath = file ? QString::fromStdString(*file) : QString();
        return;
    }
    const UsbVolumes* volumes = m_services.volumes.get();
    if (!volumes || volumes->usbVolumeURLs().isEmpty()) {
        dcvLog("no removable devices");
        return;
    }
    m_SettingFilePath.clear();
    m_selectedUSBDisk.reset();
    std::optional<TKUSBDiskEntity> card = volumes->findCameraDisk();
    if (!card || !cardSettingsFile(*card))
        return;
    if (card->volumeName() != kCameraVolumeName) {
        const QVariantMap error = m_options.renameVolume(*card, kCameraTitle);
        if (!error.isEmpty()) {
            const QString text = error.value(QStringLiteral("NSAppleScriptErrorMessage")).toString();
            dcvLog("error=%s",
                   (text.isEmpty() ? QStringLiteral("rename failed") : text).toUtf8().constData());
        } else {
            // The renamed card is looked up again, and must still hold the file.
            card = volumes->findCameraDisk();
            if (!card || !cardSettingsFile(*card))
                return;
        }
    }
    m_SettingFilePath = QString::fromStdString(*cardSettingsFile(*card));
    m_selectedUSBDisk = card;
}

bool DCVSettingController::loadSettingFile2() {
    findUSBVolume();
    if (m_SettingFilePath.isEmpty())
        return false;
    // A failed read leaves the record as it was, normally the defaults.
    m_options.readRecord(m_SettingFilePath.toStdString(), m_FileData);
    return true;
}

bool DCVSettingController::loadSettingFile() {
    findUSBVolume();
    if (m_SettingFilePath.isEmpty())
        return false;
    showLoading(QStringLiteral("Loading..."));
    readInBackground(m_SettingFilePath.toStdString());
    return true;
}

void DCVSettingController::readInBackground(const std::string& path) {
    // The worker reads into a record of its own; the window's record changes only on the main
    // thread, in one step, so no tab ever sees a half-read record.
    m_read.run(
        [read = m_options.readRecord, path, record = m_FileData](const std::atomic<bool>&) mutable {
            read(path, record);
            return record;
        },
        [this](const _FILEDATA& record) { publishRecord(record); });
}

void DCVSettingController::publishRecord(const _FILEDATA& record) {
    m_FileData = record;
    hideLoading();
    if (m_targetController)
        m_targetController->setFileData(&m_FileData);
    emit settingsLoaded();
}

// ---- Loading sheet

void DCVSettingController::showLoading(const QString& title) {
    if (!m_progressPanel)
        return;
    m_progressIndicator->setIndeterminate(true);
    m_progressIndicator->setUsesThreadedAnimation(true);
    m_stopLoadingWindow = false;
    m_progress = 0;
    m_loadingTicks = 0;
    m_progressIndicator->setDoubleValue(m_progressIndicator->minValue());
    m_progressIndicator->startAnimation();
    m_progressTitleField->setText(title);
    const bool wasLoading = m_loading;
    m_loading = true;
    if (!wasLoading)
        QTimer::singleShot(m_options.loadingTickMs, this, [this] { updateLoadingWindow(kLoadingSeconds); });
    m_progressPanel->open();
}

void DCVSettingController::updateLoadingWindow(double durationSeconds) {
    // Counted in ticks: adding 100 / 30 thirty times stays just below 100 in floating point,
    // which would keep the sheet for a 31st tick.
    ++m_loadingTicks;
    const double ticksInAll = 2.0 * durationSeconds;
    m_progress = m_loadingTicks >= ticksInAll ? 100.0 : 100.0 * m_loadingTicks / ticksInAll;
    m_progressIndicator->setDoubleValue(m_progress);
    if (m_progress >= 100.0 || m_stopLoadingWindow) {
        m_progressIndicator->setDoubleValue(m_progressIndicator->minValue());
        m_progressIndicator->stopAnimation();
        m_progressPanel->close();
        m_stopLoadingWindow = true;
        m_loading = false;
        return;
    }
    QTimer::singleShot(m_options.loadingTickMs, this,
                       [this, durationSeconds] { updateLoadingWindow(durationSeconds); });
}

void DCVSettingController::hideLoading() {
    m_stopLoadingWindow = true;
}

// ---- Tabs

DCVSettingControllerDelegate* DCVSettingController::makeTab(int index) {
    switch (index) {
    case 0:
        return new DCVSettingForVideoViewController;
    case 1:
        return new DCVSettingForBasicViewController;
    case 2:
        return new DCVSettingForGpsViewController;
    case 3:
        return new DCVSettingForAuxViewController;
    case 4:
        return new DCVSettingForMotionViewController;
    case 5:
        return new DCVSettingForAdasViewController(&m_FileData);
    case 6:
        return new DCVSettingForAudioViewController;
    default:
        return nullptr;
    }
}

bool DCVSettingController::leaveCurrentTab() {
    if (!m_targetController)
        return true;
    if (const auto message = m_targetController->validateUserInput()) {
        m_ui->functionSegmentedControl->setSelectedSegment(m_lastSelectedTabIndex);
        showAlert(kCameraTitle, *message);
        return false;
    }
    if (!m_targetController->populate()) {
        m_ui->functionSegmentedControl->setSelectedSegment(m_lastSelectedTabIndex);
        return false;
    }
    m_targetController->onHide();
    m_ui->targetLayout->removeWidget(m_targetController);
    // The driving-log viewer keeps its records for the next time it is shown.
    if (m_targetController == m_driveInfoController)
        m_targetController->hide();
    else
        delete m_targetController;
    m_targetController = nullptr;
    return true;
}

void DCVSettingController::showInPanel(DCVSettingControllerDelegate* tab, int index) {
    m_ui->targetLayout->addWidget(tab);
    tab->show();
    m_targetController = tab;
    tab->setAlertSheet([this](QWidget*, const QString& message, const QString& informative) {
        showAlert(message, informative);
    });
    tab->setFileData(&m_FileData);
    tab->setMainController(this);
    m_lastSelectedTabIndex = index;
    m_ui->functionSegmentedControl->setSelectedSegment(index);
    m_ui->driveInfoButton->setChecked(index == kDriveInfoIndex);
}

void DCVSettingController::changeViewController(int index) {
    if (index == m_lastSelectedTabIndex || index < 0 || index >= kTabCount || !m_ui)
        return;
    if (!leaveCurrentTab())
        return;
    DCVSettingControllerDelegate* tab = makeTab(index);
    tab->setWindowTitle(infoText(kTabs[index].titleKey));
    showInPanel(tab, index);
}

DCVSettingForFlashDataViewController* DCVSettingController::createDriveInfoController() {
    if (m_driveInfoController)
        return m_driveInfoController;
    m_driveInfoController = new DCVSettingForFlashDataViewController(m_services, m_options.driveInfo, this);
    m_driveInfoController->hide();
    std::string mount;
    if (!m_services.cardFolder.isEmpty())
        mount = m_services.cardFolder.toStdString();
    else if (m_selectedUSBDisk && m_selectedUSBDisk->isMounted())
        mount = m_selectedUSBDisk->mountedURL();
    if (!mount.empty()) {
        const std::string log = joinPath(mount, kFlashDataFilePath);
        if (fileExists(log))
            m_driveInfoController->setFlashDataFilePath(QString::fromStdString(log));
    }
    m_driveInfoController->setWindowTitle(infoText("setting.information"));
    return m_driveInfoController;
}

void DCVSettingController::showDriveInfo() {
    if (!m_ui || m_lastSelectedTabIndex == kDriveInfoIndex) {
        if (m_ui)
            m_ui->driveInfoButton->setChecked(true);
        return;
    }
    if (!leaveCurrentTab()) {
        m_ui->driveInfoButton->setChecked(false);
        return;
    }
    showInPanel(createDriveInfoController(), kDriveInfoIndex);
}

bool DCVSettingController::populate() {
    return m_targetController ? m_targetController->populate() : true;
}

std::optional<QString> DCVSettingController::validateUserInput() {
    return m_targetController ? m_targetController->validateUserInput() : std::nullopt;
}

// ---- Buttons

void DCVSettingController::showAlert(const QString& message, const QString& informative,
                                     std::function<void()> onDismiss) {
    showAlertSheet(this, message, informative, std::move(onDismiss));
}

QString DCVSettingController::saveDestination() const {
    if (!m_services.cardFolder.isEmpty())
        return QString::fromStdString(joinPath(m_services.cardFolder.toStdString(), kSettingsFileName));
    if (m_selectedUSBDisk && m_selectedUSBDisk->isMounted()) {
        const std::string path = joinPath(m_selectedUSBDisk->mountedURL(), kSettingsFileName);
        if (fileExists(path))
            return QString::fromStdString(path);
    }
    if (m_services.volumes)
        if (const auto path = fallbackSaveDestination(m_services.volumes->findCameraDisk()))
            return QString::fromStdString(*path);
    return {};
}

void DCVSettingController::onSave() {
    if (const auto message = validateUserInput()) {
        showAlert(kCameraTitle, *message);
        return;
    }
    if (!populate())
        return;
    prepareSettingsRecordForSave(m_FileData);
    const QString destination = saveDestination();
    if (!destination.isEmpty()) {
        saveTo(destination);
        return;
    }
    if (!m_services.filePanels)
        return;
    const QString name = QString::fromLatin1(kSettingsFileName.data(), qsizetype(kSettingsFileName.size()));
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name);
    QPointer<DCVSettingController> self(this);
    m_services.filePanels->saveFile(this, QStringLiteral("Save Settings"), suggested, {},
                                    [self](const QString& path) {
                                        if (self && !path.isEmpty())
                                            self->saveTo(path);
                                    });
}

void DCVSettingController::saveTo(const QString& path) {
    if (writeSettingsRecord(m_FileData, path.toStdString())) {
        showAlert(QStringLiteral("Warn"), infoText("msg.write_protected_disk"));
        return;
    }
    QPointer<DCVSettingController> self(this);
    showAlert(path, infoText("msg.saved"), [self] {
        if (self)
            self->onCloseCmd();
    });
}

void DCVSettingController::onSaveDefaultSetting() {
    initDefaultSettingsRecord(m_FileData, m_clock);
    if (m_targetController)
        m_targetController->setFileData(&m_FileData);
}

void DCVSettingController::onFormat() {
    m_lastDialogController = std::make_unique<DCVFormatWindowController>(m_services, m_options.format, this);
    static_cast<DCVFormatWindowController*>(m_lastDialogController.get())->showWindow();
}

void DCVSettingController::onDiskUtil() {
    if (!m_options.diskUtility.value_or(QString()).isEmpty())
        QProcess::startDetached(m_options.diskUtility.value_or(QString()), {});
}

void DCVSettingController::onCloseCmd() {
    close();
}

std::optional<int> settingsTabToOpen(const QString& request) {
    static const QRegularExpression form(QStringLiteral("^settings(?::([0-9]+))?$"));
    const QRegularExpressionMatch m = form.match(request);
    if (!m.hasMatch())
        return std::nullopt;
    if (!m.hasCaptured(1))
        return 0;
    bool ok = false;
    const int tab = m.captured(1).toInt(&ok);
    if (!ok || tab < 0 || tab >= DCVSettingController::kTabCount)
        return std::nullopt;
    return tab;
}

} // namespace dcv
