#include "platform/Services.h"

#include "platform/disks/UsbVolumes.h"
#include "util/Log.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QUrl>

namespace dcv {

namespace {

// A panel that goes away once answered (an answered dialog is hidden, not closed); the answer
// goes to `done`.
QFileDialog* openPanel(QWidget* parent, const QString& title, const char* name, FilePanels::Done done) {
    auto* panel = new QFileDialog(parent, title);
    panel->setObjectName(QLatin1String(name));
    panel->setWindowModality(Qt::WindowModal);
    QObject::connect(panel, &QDialog::finished, panel, [panel, done = std::move(done)](int result) {
        const QStringList chosen = panel->selectedFiles();
        panel->deleteLater();
        if (done)
            done(result == QDialog::Accepted && !chosen.isEmpty() ? chosen.first() : QString());
    });
    return panel;
}

void setFilters(QFileDialog* panel, const QStringList& nameFilters) {
    if (nameFilters.isEmpty())
        return;
    panel->setNameFilters(nameFilters);
    // Added before the panel asks about replacing a file, so the question is about the file
    // that will be written.
    panel->setDefaultSuffix(defaultSuffixOf(nameFilters));
}

} // namespace

QString defaultSuffixOf(const QStringList& nameFilters) {
    static const QRegularExpression firstExtension(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch m =
        nameFilters.isEmpty() ? QRegularExpressionMatch() : firstExtension.match(nameFilters.first());
    return m.hasMatch() ? m.captured(1) : QString();
}

void QtFilePanels::openFolder(QWidget* parent, const QString& title, Done done) {
    QFileDialog* panel = openPanel(parent, title, "openFolderPanel", std::move(done));
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly);
    panel->open();
}

void QtFilePanels::openFile(QWidget* parent, const QString& title, const QStringList& nameFilters,
                            Done done) {
    QFileDialog* panel = openPanel(parent, title, "openFilePanel", std::move(done));
    panel->setFileMode(QFileDialog::ExistingFile);
    setFilters(panel, nameFilters);
    panel->open();
}

void QtFilePanels::saveFile(QWidget* parent, const QString& title, const QString& suggestedPath,
                            const QStringList& nameFilters, Done done) {
    QFileDialog* panel = openPanel(parent, title, "saveFilePanel", std::move(done));
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    setFilters(panel, nameFilters);
    if (!suggestedPath.isEmpty()) {
        const QFileInfo suggested(suggestedPath);
        panel->setDirectory(suggested.absolutePath());
        panel->selectFile(suggested.fileName());
    }
    panel->open();
}

void QtPrintDialog::askForPrinter(QWidget* parent, QPrinter& printer, Done done) {
    auto* dialog = new QPrintDialog(&printer, parent);
    dialog->setObjectName(QStringLiteral("printDialog"));
    // The paper size is chosen in the dialog too.
    dialog->setOption(QAbstractPrintDialog::PrintShowPageSize);
    dialog->setWindowModality(Qt::WindowModal);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, done = std::move(done)](int result) {
        dialog->deleteLater();
        if (done)
            done(result == QDialog::Accepted);
    });
    dialog->open();
}

Services Services::desktop(std::shared_ptr<CommandRunner> runner) {
    Services s;
    s.commandRunner = std::move(runner);
    s.volumes = std::make_shared<UsbVolumes>(s.commandRunner);
    s.filePanels = std::make_shared<QtFilePanels>();
    s.printDialog = std::make_shared<QtPrintDialog>();
    s.clock = std::make_shared<SystemClock>();
    s.openUrl = [](const QUrl& url) {
        // The desktop's opener is started detached.
        if (!QDesktopServices::openUrl(url))
            dcvLog("open fail:%s", url.toString().toUtf8().constData());
    };
    return s;
}

} // namespace dcv
