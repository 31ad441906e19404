#include "sdcard/DCVFormatWindowController.h"

#include "platform/DCVStrings.h"
#include "platform/disks/UsbVolumes.h"
#include "sdcard/FormatPlan.h"
#include "settings/SettingsControls.h"
#include "ui_DCVFormatWindowController.h"
#include "widgets/AlertSheet.h"
#include "widgets/DCVScreen.h"
#include "widgets/PMProgressIndicator.h"

#include <QCloseEvent>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace dcv {

namespace {

const QString kCameraTitle = QStringLiteral("TELVO");
// The longest a run is expected to take; the bar fills over this time unless the run ends first.
constexpr double kProgressTotalSeconds = 1000.0;

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

std::string translated(const char* key) {
    return infoText(key).toStdString();
}

} // namespace

DCVFormatWindowController::DCVFormatWindowController(Services services, QWidget* parent)
    : DCVFormatWindowController(std::move(services), Options{}, parent) {}

DCVFormatWindowController::DCVFormatWindowController(Services services, Options options, QWidget* parent)
    : QDialog(parent), m_services(std::move(services)), m_options(std::move(options)),
      m_ui(std::make_unique<Ui::DCVFormatWindowController>()) {
    m_ui->setupUi(this);
    m_progressTimer = new QTimer(this);
    m_progressTimer->setSingleShot(true);
    m_progressTimer->setInterval(m_options.progressTickMs);
    connect(m_progressTimer, &QTimer::timeout, this, [this] { updateProgressBar(m_progressTotal); });
    connect(m_ui->usbDiskCombo, &QComboBox::activated, this, &DCVFormatWindowController::changeDisk);
    connect(m_ui->formatButton, &QPushButton::clicked, this, &DCVFormatWindowController::onFormat);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &DCVFormatWindowController::cancel);
    windowDidLoad();
}

DCVFormatWindowController::~DCVFormatWindowController() = default;

void DCVFormatWindowController::showWindow() {
    open();
}

void DCVFormatWindowController::windowDidLoad() {
    setWindowTitle(infoText("setting.sdcardformat"));
    m_ui->usbDiskLabel->setText(infoText("setting.format.disk"));
    m_ui->pathLabel->setText(infoText("setting.format.device"));
    m_ui->usbDiskCombo->setPlaceholderText(infoText("setting.format.no_card"));
    m_ui->allocationUnitLabel->setText(infoText("setting.format.allocation_unit_size"));
    m_ui->fileSystemLabel->setText(infoText("setting.format.filesystem"));
    m_ui->formatButton->setText(infoText("setting.format.format"));
    m_ui->cancelButton->setText(infoText("cancel"));
    m_ui->fileSystemField->setText(QStringLiteral("FAT32"));
    m_ui->pathField->setText(QStringLiteral("-"));
    m_stopProgressBar = true;
    m_ui->progressBar->hide();
    m_ui->progressMessageField->hide();
    screen::centerInVisibleFrame(this);
    loadUSBVolumes();
}

// ---- Disks

void DCVFormatWindowController::loadUSBVolumes(std::function<void()> completion) {
    if (isProgressShown()) {
        setStatus(QStringLiteral("Disk searching..."));
    } else {
        showProgressBar(QStringLiteral("Disk searching..."));
        m_searchShowedProgress = true;
    }
    m_searching = true;
    updateButtons();
    // Every card reader's card, mounted or not: a blank card can be formatted too.
    m_search.run(
        [volumes = m_services.volumes](const std::atomic<bool>&) {
            return volumes ? volumes->discovery().cardReaderEntities() : std::vector<TKUSBDiskEntity>{};
        },
        [this, completion = std::move(completion)](std::vector<TKUSBDiskEntity> disks) {
            m_usbDiskArray = std::move(disks);
            QStringList items;
            for (const TKUSBDiskEntity& d : m_usbDiskArray)
                items << text(d.displayString());
            setComboItems(m_ui->usbDiskCombo, items);
            if (m_ui->usbDiskCombo->count() > 0)
                m_ui->usbDiskCombo->setCurrentIndex(0);
            updateSelectedDiskInfo();
            m_searching = false;
            // Only the search that showed the progress takes it down; a run's stays.
            if (m_searchShowedProgress) {
                m_searchShowedProgress = false;
                hideProgressBar();
            }
            updateButtons();
            emit disksLoaded();
            if (completion)
                completion();
        });
}

std::optional<TKUSBDiskEntity> DCVFormatWindowController::selectUSBByDevFile(const std::string& deviceName) {
    for (size_t i = 0; i < m_usbDiskArray.size(); ++i) {
        if (m_usbDiskArray[i].deviceFilePath() == deviceName) {
            m_ui->usbDiskCombo->setCurrentIndex(int(i));
            updateSelectedDiskInfo();
            return m_usbDiskArray[i];
        }
    }
    return std::nullopt;
}

std::optional<TKUSBDiskEntity> DCVFormatWindowController::selectedUSBDisk() const {
    const int index = m_ui->usbDiskCombo->currentIndex();
    if (index < 0 || size_t(index) >= m_usbDiskArray.size())
        return std::nullopt;
    return m_usbDiskArray[size_t(index)];
}

void DCVFormatWindowController::updateSelectedDiskInfo() {
    const auto disk = selectedUSBDisk();
    if (!disk) {
        m_ui->allocationUnitField->setText(QStringLiteral("-"));
        m_ui->pathField->setText(QStringLiteral("-"));
        return;
    }
    m_ui->pathField->setText(QStringLiteral("%1   %2").arg(
        text(disk->deviceFilePath()), disk->isMounted() ? text(disk->mountedURL()) : QStringLiteral("-")));
    // The number given to the format command counts sectors of 512 bytes.
    const int64_t sectors = clusterSizeByVolumeSizeInKB(disk->volumeSize());
    m_ui->allocationUnitField->setText(QStringLiteral("%1 KB").arg(sectors * 512 / 1024));
}

// ---- Formatting

void DCVFormatWindowController::showAlert(const QString& message, const QString& informative,
                                          std::function<void()> onDismiss) {
    showAlertSheet(this, message, informative, std::move(onDismiss));
}

QMessageBox* DCVFormatWindowController::ask(const char* name, const QString& question,
                                            const QString& informative, const QString& act,
                                            std::function<void()> onAct) {
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), question, QMessageBox::NoButton, this);
    box->setObjectName(QLatin1String(name));
    box->setInformativeText(informative);
    QPushButton* erase = box->addButton(act, QMessageBox::DestructiveRole);
    QPushButton* keep = box->addButton(QMessageBox::Cancel);
    // Erasing is never what Return or Escape does.
    box->setDefaultButton(keep);
    box->setEscapeButton(keep);
    box->setWindowModality(Qt::WindowModal);
    m_asking = true;
    updateButtons();
    QPointer<DCVFormatWindowController> self(this);
    connect(box, &QDialog::finished, box, [self, box, erase, onAct = std::move(onAct)] {
        const bool acted = box->clickedButton() == erase;
        box->deleteLater();
        if (!self)
            return;
        self->m_asking = false;
        self->updateButtons();
        if (acted)
            onAct();
    });
    box->open();
    return box;
}

void DCVFormatWindowController::onFormat() {
    if (m_formatting || m_asking)
        return;
    const auto disk = selectedUSBDisk();
    if (!disk) {
        showAlert(kCameraTitle, m_usbDiskArray.empty() ? QStringLiteral("There is no USB drive.")
                                                       : QStringLiteral("Please select USB drive."));
        return;
    }
    if (!disk->writable()) {
        showAlert(
            infoText("msg.cannot_format"),
            QStringLiteral("%1\n%2").arg(text(disk->displayString()), infoText("msg.write_protected_disk")));
        return;
    }
    confirmErase(*disk);
}

void DCVFormatWindowController::confirmErase(const TKUSBDiskEntity& disk) {
    const QString size = QLocale().toString(qulonglong(disk.volumeSize()));
    ask("confirmSheet", infoText("setting.format.confirm").arg(text(disk.displayString())),
        infoText("setting.format.confirm_detail").arg(text(devicePath(disk.deviceFilePath())), size),
        infoText("setting.format.format"), [this, disk] { doFormat(disk); });
}

void DCVFormatWindowController::doFormat(const TKUSBDiskEntity& disk, UnkeptSettings unkept) {
    m_formatting = true;
    updateButtons();
    showProgressBar(QStringLiteral("Formatting..."));
    // The worker posts each status line to the window through the task, so they arrive in the
    // order sent and before the outcome.
    auto status = [this](const std::string& line) {
        m_format.post([this, line = text(line)] { setStatus(line); });
    };
    m_format.run(
        [runner = m_services.commandRunner, volumes = m_services.volumes, hooks = m_options.hooks,
         options = m_options.format, device = disk.deviceFilePath(), status,
         unkept](const std::atomic<bool>&) {
            FormatOutcome none;
            none.deviceName = device;
            if (!runner || !volumes) {
                none.result = FormatResult::NotUsbDisk;
                none.detail = "no disk tools";
                return none;
            }
            FormatRun run(*runner, volumes->discovery(), hooks, options);
            return run.run(device, status, unkept);
        },
        [this, unkept](const FormatOutcome& outcome) { formatDidEnd(outcome, unkept); });
}

void DCVFormatWindowController::formatDidEnd(const FormatOutcome& outcome, UnkeptSettings unkept) {
    const bool unkeptSettings = outcome.result == FormatResult::ConfigSaveFailed ||
                                outcome.result == FormatResult::SettingsUnreadable;
    if (unkeptSettings && unkept == UnkeptSettings::Stop && outcome.diskBefore) {
        // Nothing has been erased: only the user can give the card's settings up.
        hideProgressBar();
        m_formatting = false;
        updateButtons();
        askToGiveUpSettings(*outcome.diskBefore, outcome);
        emit formatFinished(outcome.result);
        return;
    }
    // The card as it is now (remounted, relabelled) is looked up again before the alert.
    loadUSBVolumes([this, outcome] {
        selectUSBByDevFile(outcome.deviceName);
        hideProgressBar();
        m_formatting = false;
        updateButtons();
        const AlertTexts alert = formatAlertTexts(outcome, translated);
        QPointer<DCVFormatWindowController> self(this);
        std::function<void()> onDismiss;
        if (outcome.succeeded())
            onDismiss = [self] {
                if (self)
                    self->cancel();
            };
        showAlert(text(alert.messageText), text(alert.informativeText), std::move(onDismiss));
        emit formatFinished(outcome.result);
    });
}

void DCVFormatWindowController::askToGiveUpSettings(const TKUSBDiskEntity& disk,
                                                    const FormatOutcome& outcome) {
    ask("giveUpSettingsSheet", infoText("setting.format.settings_unkept").arg(text(disk.displayString())),
        infoText("setting.format.settings_unkept_detail").arg(text(outcome.detail)),
        infoText("setting.format.format_anyway"), [this, disk] { doFormat(disk, UnkeptSettings::GiveUp); });
}

void DCVFormatWindowController::cancel() {
    if (m_formatting)
        return;
    close();
}

void DCVFormatWindowController::closeEvent(QCloseEvent* event) {
    // A run is never left behind: the card would be half formatted with nobody told.
    if (m_formatting) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void DCVFormatWindowController::reject() {
    if (m_formatting)
        return;
    QDialog::reject();
}

void DCVFormatWindowController::updateButtons() {
    const bool idle = !m_formatting && !m_searching && !m_asking;
    m_ui->formatButton->setEnabled(idle);
    m_ui->usbDiskCombo->setEnabled(idle);
    m_ui->cancelButton->setEnabled(!m_formatting);
}

// ---- Progress display

QString DCVFormatWindowController::statusText() const {
    return m_ui->progressMessageField->text();
}

void DCVFormatWindowController::setStatus(const QString& status) {
    m_ui->progressMessageField->setText(status);
    emit statusChanged(status);
}

void DCVFormatWindowController::showProgressBar(const QString& status) {
    m_ui->progressBar->show();
    m_ui->progressMessageField->show();
    m_ui->progressBar->setIndeterminate(true);
    m_ui->progressBar->setUsesThreadedAnimation(true);
    m_stopProgressBar = false;
    m_progress = 0;
    setStatus(status);
    m_ui->progressBar->setDoubleValue(m_ui->progressBar->minValue());
    m_ui->progressBar->startAnimation();
    // A run can take minutes: it shows on the application's icon too, while it lasts.
    m_ui->progressBar->setDrawDockProgress(true);
    // One tick chain: a display shown again while its tick is pending keeps that tick.
    m_progressTotal = kProgressTotalSeconds;
    if (!m_progressTimer->isActive())
        m_progressTimer->start();
}

void DCVFormatWindowController::updateProgressBar(double totalSeconds) {
    m_progress += 100.0 / (totalSeconds / 0.3);
    m_ui->progressBar->setDoubleValue(m_progress);
    if (m_progress < 100.0 && !m_stopProgressBar) {
        m_progressTimer->start();
        return;
    }
    m_ui->progressBar->setDoubleValue(m_ui->progressBar->minValue());
    m_ui->progressBar->stopAnimation();
    m_ui->progressBar->setDrawDockProgress(false);
    m_ui->progressBar->hide();
    m_ui->progressMessageField->hide();
    m_stopProgressBar = true;
}

void DCVFormatWindowController::hideProgressBar() {
    m_ui->progressBar->setDrawDockProgress(false);
    m_ui->progressBar->hide();
    m_ui->progressMessageField->hide();
    m_stopProgressBar = true;
}

} // namespace dcv
