#include "support/TestServices.h"

#include "platform/disks/UsbVolumes.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

namespace dcv::test {

namespace {

QObject* context(QWidget* parent) {
    return parent ? static_cast<QObject*>(parent) : QCoreApplication::instance();
}

} // namespace

void ScriptedFilePanels::answer(QWidget* parent, Done done) {
    QString path;
    if (!answers.empty()) {
        path = answers.front();
        answers.pop_front();
    }
    // The answer comes after open() has returned, as from a real panel; a window gone
    // meanwhile takes its panel along.
    QTimer::singleShot(0, context(parent), [this, done = std::move(done), path] {
        done(path);
        ++answered;
    });
}

void ScriptedFilePanels::openFolder(QWidget* parent, const QString& title, Done done) {
    requests << QStringLiteral("openFolder %1").arg(title);
    answer(parent, std::move(done));
}

void ScriptedFilePanels::openFile(QWidget* parent, const QString& title, const QStringList&, Done done) {
    requests << QStringLiteral("openFile %1").arg(title);
    answer(parent, std::move(done));
}

void ScriptedFilePanels::saveFile(QWidget* parent, const QString& title, const QString& suggestedPath,
                                  const QStringList& nameFilters, Done done) {
    requests << QStringLiteral("saveFile %1 %2").arg(title, suggestedPath);
    // As the desktop's panel does: a name typed without an extension gets the filter's.
    const QString suffix = defaultSuffixOf(nameFilters);
    if (!answers.empty() && !suffix.isEmpty() && !answers.front().isEmpty() &&
        !QFileInfo(answers.front()).fileName().contains(u'.'))
        answers.front() += u'.' + suffix;
    answer(parent, std::move(done));
}

void ScriptedPrintDialog::askForPrinter(QWidget* parent, QPrinter& printer, Done done) {
    ++asked;
    printers << &printer;
    if (user)
        user(printer);
    QTimer::singleShot(0, context(parent), [this, done = std::move(done), ok = accept] {
        done(ok);
        ++answered;
    });
}

ShellErrorDictionary NoCommandRunner::runShellScript(const std::vector<std::string>& argv, bool) {
    commands.push_back(argv);
    return shellErrorForExit(kCommandNotStarted, argv.empty() ? "" : argv.front() + ": not found");
}

std::optional<std::string> NoCommandRunner::readCommandOutput(const std::vector<std::string>& argv) {
    commands.push_back(argv);
    return std::nullopt;
}

std::string usbCardListing(const std::string& mountDir, const std::string& label, bool readOnly) {
    const std::string ro = readOnly ? "true" : "false";
    const std::string mount = mountDir.empty() ? "null" : "\"" + mountDir + "\"";
    return R"({"blockdevices": [{"name": "sdb", "kname": "sdb", "path": "/dev/sdb", "type": "disk",
        "tran": "usb", "rm": true, "hotplug": true, "ro": )" +
           ro + R"(, "size": 15931539456, "label": null,
        "fstype": null, "mountpoint": null, "model": "Card Reader", "children": [{"name": "sdb1",
        "kname": "sdb1", "path": "/dev/sdb1", "type": "part", "tran": null, "rm": true, "hotplug": true,
        "ro": )" +
           ro + R"(, "size": 15927345152, "label": ")" + label + R"(", "fstype": "vfat",
        "mountpoint": )" +
           mount + R"(, "model": null}]}]})";
}

TestServices::TestServices()
    : panels(std::make_shared<ScriptedFilePanels>()), printDialog(std::make_shared<ScriptedPrintDialog>()),
      clock(std::make_shared<FixedClock>(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone::utc()))),
      runner(std::make_shared<NoCommandRunner>()), opened(std::make_shared<QList<QUrl>>()) {
    const std::string listing = readFile(sourceDir() / "tests" / "data" / "lsblk" / "none.json");
    services.commandRunner = runner;
    services.volumes =
        std::make_shared<UsbVolumes>([listing] { return std::optional<std::string>(listing); });
    services.filePanels = panels;
    services.printDialog = printDialog;
    services.clock = clock;
    services.openUrl = [opened = opened](const QUrl& url) { *opened << url; };
}

} // namespace dcv::test
