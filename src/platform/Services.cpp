#include "platform/Services.h"

#include "platform/disks/UsbVolumes.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>

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
    if (!nameFilters.isEmpty())
        panel->setNameFilters(nameFilters);
}

} // namespace

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
    return s;
}

} // namespace dcv
