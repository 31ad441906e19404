#pragma once

#include "platform/Services.h"
#include "sdcard/CommandRunner.h"

#include <QStringList>
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
    int asked = 0;
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

// Services for window tests: scripted panels and print dialog, a fixed clock (2024-03-05
// 14:07:09 UTC), no commands, and volumes from a recorded listing without a card.
struct TestServices {
    TestServices();
    std::shared_ptr<ScriptedFilePanels> panels;
    std::shared_ptr<ScriptedPrintDialog> printDialog;
    std::shared_ptr<FixedClock> clock;
    std::shared_ptr<NoCommandRunner> runner;
    Services services;
};

} // namespace dcv::test
