#pragma once

#include "platform/Services.h"
#include "platform/web/DCVWebView.h"
#include "sdcard/CommandRunner.h"

#include <QList>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace dcv::test {

// Panels that answer what the test queued, a moment after they were opened (as a user would),
// and record what was asked. With nothing queued they answer as a cancelled panel does.
class ScriptedFilePanels : public FilePanels {
public:
    void openFolder(QWidget* parent, const QString& title, Done done) override;
    void openFile(QWidget* parent, const QString& title, const QStringList& nameFilters, Done done) override;
    void saveFile(QWidget* parent, const QString& title, const QString& suggestedPath,
                  const QStringList& nameFilters, Done done) override;

    std::deque<QString> answers;
    // "openFolder TITLE", "openFile TITLE", "saveFile TITLE SUGGESTED"
    QStringList requests;
    // Answers the windows have received so far.
    int answered = 0;

private:
    void answer(QWidget* parent, Done done);
};

class ScriptedPrintDialog : public PrintDialog {
public:
    void askForPrinter(QWidget* parent, QPrinter& printer, Done done) override;
    bool accept = false;
    int asked = 0, answered = 0;
    // What the user does in the dialog before answering.
    std::function<void(QPrinter&)> user;
    // The printer of each dialog.
    QList<QPrinter*> printers;
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime now, const QTimeZone& zone = QTimeZone::utc())
        : m_now(std::move(now)), m_zone(zone) {}
    QDateTime now() const override { return m_now; }
    QTimeZone timeZone() const override { return m_zone; }
    void set(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
    QTimeZone m_zone;
};

// A runner that starts nothing: every command counts as not found. It records the commands.
class NoCommandRunner : public CommandRunner {
public:
    ShellErrorDictionary runShellScript(const std::vector<std::string>& argv, bool administrator) override;
    std::optional<std::string> readCommandOutput(const std::vector<std::string>& argv) override;
    std::vector<std::vector<std::string>> commands;
};

// Records the map's script calls instead of running them.
class RecordingScriptTarget : public DCVScriptTarget {
public:
    void evaluateScript(const QString& script) override { scripts << script; }
    QStringList scripts;
};

// lsblk's listing of one USB card reader "sdb" holding a FAT card "sdb1" of 15927345152 bytes
// with `label`, mounted at `mountDir` (not mounted when empty).
std::string usbCardListing(const std::string& mountDir, const std::string& label = "TELVO",
                           bool readOnly = false);

// Services for window tests: scripted panels and print dialog, a fixed clock (2024-03-05
// 14:07:09 UTC), no commands, volumes from a recorded listing without a card, and files
// "opened" into a list.
struct TestServices {
    TestServices();
    std::shared_ptr<ScriptedFilePanels> panels;
    std::shared_ptr<ScriptedPrintDialog> printDialog;
    std::shared_ptr<FixedClock> clock;
    std::shared_ptr<NoCommandRunner> runner;
    std::shared_ptr<QList<QUrl>> opened;
    Services services;
};

} // namespace dcv::test
