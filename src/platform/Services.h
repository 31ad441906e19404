#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <functional>
#include <memory>

class QPrinter;
class QUrl;
class QWidget;

namespace dcv {

class CommandRunner;
class UsbVolumes;

// The outside world of the windows: everything a test replaces comes in through one Services
// value, made once in the program's main and handed to each window controller, which keeps a
// copy (the parts are shared). No window builds any of these itself.
//
// Panels and dialogs open window-modal over their parent with open(), never exec(): the call
// returns at once and the callback runs on the main thread when the user has answered.

// Open and save panels. The callback gets the chosen path, or an empty string when the user
// cancelled.
class FilePanels {
public:
    using Done = std::function<void(const QString& path)>;
    virtual ~FilePanels() = default;
    virtual void openFolder(QWidget* parent, const QString& title, Done done) = 0;
    // `nameFilters` as QFileDialog takes them ("Recordings (*.MP4)"); empty for all files.
    virtual void openFile(QWidget* parent, const QString& title, const QStringList& nameFilters,
                          Done done) = 0;
    // Starts in the folder of `suggestedPath` with its name filled in. A name typed without an
    // extension gets the first extension of the first filter.
    virtual void saveFile(QWidget* parent, const QString& title, const QString& suggestedPath,
                          const QStringList& nameFilters, Done done) = 0;
};

// The extension a save panel gives a name typed without one: the first of the first filter
// ("csv" for "Comma-separated text (*.csv)"); empty for none.
QString defaultSuffixOf(const QStringList& nameFilters);

// The panels of the desktop: QFileDialog.
class QtFilePanels : public FilePanels {
public:
    void openFolder(QWidget* parent, const QString& title, Done done) override;
    void openFile(QWidget* parent, const QString& title, const QStringList& nameFilters, Done done) override;
    void saveFile(QWidget* parent, const QString& title, const QString& suggestedPath,
                  const QStringList& nameFilters, Done done) override;
};

// The print dialog: the user picks a printer and its settings into `printer`, which must
// outlive the dialog. The callback tells whether the user chose to print.
class PrintDialog {
public:
    using Done = std::function<void(bool accepted)>;
    virtual ~PrintDialog() = default;
    virtual void askForPrinter(QWidget* parent, QPrinter& printer, Done done) = 0;
};

// The print dialog of the desktop: QPrintDialog.
class QtPrintDialog : public PrintDialog {
public:
    void askForPrinter(QWidget* parent, QPrinter& printer, Done done) override;
};

// The time and the local time zone, as the clock-setting file and the driving log need them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual QTimeZone timeZone() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    QTimeZone timeZone() const override { return QTimeZone::systemTimeZone(); }
};

struct Services {
    // Runs programs (lsblk, mkfs.fat, udisksctl …); blocking, so for workers only.
    std::shared_ptr<CommandRunner> commandRunner;
    // The mounted volumes and the camera card among them.
    std::shared_ptr<UsbVolumes> volumes;
    std::shared_ptr<FilePanels> filePanels;
    std::shared_ptr<PrintDialog> printDialog;
    std::shared_ptr<Clock> clock;
    // Opens a file in the desktop's application for it, without waiting for that to start.
    std::function<void(const QUrl& url)> openUrl;
    // Where the viewer's own temporary files go ("telvo_capture.jpg"); empty: the user's
    // private runtime folder.
    QString temporaryFolder;
    // A folder that stands for the camera card (for everything but formatting); empty: the
    // card is looked for among the volumes.
    QString cardFolder;

    // The real parts of the desktop, over `runner`.
    static Services desktop(std::shared_ptr<CommandRunner> runner);
};

} // namespace dcv
