#include "sdcard/DCVTimeSetupController.h"

#include "platform/DCVStrings.h"
#include "platform/disks/UsbVolumes.h"
#include "sdcard/TimeSetFile.h"
#include "ui_DCVTimeSetupController.h"
#include "widgets/AlertSheet.h"
#include "widgets/DCVScreen.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTimer>

namespace dcv {

namespace {

const QString kCameraTitle = QStringLiteral("TELVO");

// The locale's medium date ("Mar 5, 2024", "5. März 2024"): its long form without the weekday,
// with the month's short name.
QString mediumDate(const QDate& date) {
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression weekday(QStringLiteral("d{4}[,.\\s]*|[,.\\s]*d{4}"));
    format.remove(weekday);
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return locale.toString(date, format.trimmed());
}

} // namespace

DCVTimeSetupController::DCVTimeSetupController(Services services, QWidget* parent)
    : DCVTimeSetupController(std::move(services), Options{}, parent) {}

DCVTimeSetupController::DCVTimeSetupController(Services services, Options options, QWidget* parent)
    : QDialog(parent), m_services(std::move(services)), m_options(options),
      m_ui(std::make_unique<Ui::DCVTimeSetupController>()) {
    m_ui->setupUi(this);
    setWindowTitle(infoText("time.window_title"));
    connect(m_ui->datePicker, &QCalendarWidget::selectionChanged, this,
            &DCVTimeSetupController::daySelectedFromPicker);
    connect(m_ui->timePicker, &QTimeEdit::timeChanged, this, &DCVTimeSetupController::timeSelectedFromPicker);
    connect(m_ui->clockTimePicker, &ClockFacePicker::timeEdited, this,
            &DCVTimeSetupController::timeSelectedFromClickTimePicker);
    connect(m_ui->nowDaySettingChk, &QCheckBox::clicked, this, [this](bool checked) {
        if (checked)
            nowDayChecked();
    });
    connect(m_ui->saveButton, &QPushButton::clicked, this, &DCVTimeSetupController::onSaveConfigFile);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &DCVTimeSetupController::onCloseCmd);
    onInitDIalog();
    screen::centerInVisibleFrame(this);
}

DCVTimeSetupController::~DCVTimeSetupController() = default;

void DCVTimeSetupController::showWindow() {
    open();
}

QDateTime DCVTimeSetupController::now() const {
    if (!m_services.clock)
        return QDateTime::currentDateTime();
    return m_services.clock->now().toTimeZone(m_services.clock->timeZone());
}

void DCVTimeSetupController::loadSettingFile() {
    m_SettingFilePath.clear();
    const QString name = QString::fromLatin1(kTimesetFileName.data(), qsizetype(kTimesetFileName.size()));
    if (!m_services.cardFolder.isEmpty()) {
        // A folder given as the card stands for it.
        const QString path = QDir(m_services.cardFolder).filePath(name);
        if (QFileInfo(path).isFile())
            m_SettingFilePath = path;
        return;
    }
    if (!m_services.volumes)
        return;
    const QUrl volume = m_services.volumes->usbVolumeWithFile(name);
    if (!volume.isEmpty())
        m_SettingFilePath = QDir(volume.toLocalFile()).filePath(name);
}

void DCVTimeSetupController::onInitDIalog() {
    loadSettingFile();
    const QDateTime moment = now();
    m_selectedDate = moment.date();
    m_selectedTime = moment.time();
    // Whole seconds: the file has no finer field.
    m_selectedTime.setHMS(m_selectedTime.hour(), m_selectedTime.minute(), m_selectedTime.second());
    {
        const QSignalBlocker date(m_ui->datePicker), time(m_ui->timePicker);
        m_ui->datePicker->setSelectedDate(m_selectedDate);
        m_ui->timePicker->setTime(m_selectedTime);
    }
    m_ui->clockTimePicker->setTime(m_selectedTime);
    showSelectedDate();
    m_ui->saveButton->setText(infoText("save"));
    m_ui->cancelButton->setText(infoText("cancel"));
}

void DCVTimeSetupController::showSelectedDate() {
    m_ui->dateField->setText(QLocale().toString(m_selectedDate, QLocale::LongFormat));
    m_ui->nowDaySettingChk->setText(
        QStringLiteral("%1(%2)").arg(infoText("today"), mediumDate(m_selectedDate)));
}

void DCVTimeSetupController::daySelectedFromPicker() {
    m_selectedDate = m_ui->datePicker->selectedDate();
    showSelectedDate();
}

void DCVTimeSetupController::timeSelectedFromClickTimePicker() {
    m_selectedTime = m_ui->clockTimePicker->time();
    const QSignalBlocker blocker(m_ui->timePicker);
    m_ui->timePicker->setTime(m_selectedTime);
}

void DCVTimeSetupController::timeSelectedFromPicker() {
    m_selectedTime = m_ui->timePicker->time();
    m_ui->clockTimePicker->setTime(m_selectedTime);
}

void DCVTimeSetupController::nowDayChecked() {
    m_selectedDate = now().date();
    showSelectedDate();
    {
        const QSignalBlocker blocker(m_ui->datePicker);
        m_ui->datePicker->setSelectedDate(m_selectedDate);
    }
    // The check box acts as a push button: it shows the click, then turns itself off.
    QTimer::singleShot(m_options.todayResetMs, this, [this] { m_ui->nowDaySettingChk->setChecked(false); });
}

std::optional<QString> DCVTimeSetupController::doWriteConfigFile(const QString& path) const {
    const ClockTime t{m_selectedDate.year(), m_selectedDate.month(),  m_selectedDate.day(),
                      m_selectedTime.hour(), m_selectedTime.minute(), m_selectedTime.second()};
    if (const auto error = writeTimesetFile(path.toStdString(), t))
        return QString::fromStdString(error->detail);
    return std::nullopt;
}

void DCVTimeSetupController::onSaveConfigFile() {
    if (!m_SettingFilePath.isEmpty()) {
        saveTo(m_SettingFilePath);
        return;
    }
    if (!m_services.filePanels)
        return;
    const QString suggested = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                  .filePath(QStringLiteral("timeset.cfg"));
    QPointer<DCVTimeSetupController> self(this);
    m_services.filePanels->saveFile(this, QStringLiteral("Save Clock File"), suggested,
                                    {QStringLiteral("Clock file (*.cfg)")}, [self](const QString& chosen) {
                                        // The panel adds ".cfg" to a name typed without an
                                        // extension; another name is kept as typed, since the
                                        // panel's question about replacing was about that one.
                                        if (self && !chosen.isEmpty())
                                            self->saveTo(chosen);
                                    });
}

void DCVTimeSetupController::saveTo(const QString& path) {
    if (const auto error = doWriteConfigFile(path)) {
        // The window stays open: the user can pick another place or try again.
        showAlertSheet(this, kCameraTitle, infoText("time.filesave_fail").arg(path, *error));
        emit saveFinished(false);
        return;
    }
    QPointer<DCVTimeSetupController> self(this);
    showAlertSheet(this, kCameraTitle, infoText("time.filesave"), [self] {
        if (self)
            self->onCloseCmd();
    });
    emit saveFinished(true);
}

void DCVTimeSetupController::onCloseCmd() {
    close();
}

} // namespace dcv
