#pragma once

#include "sdcard/CommandRunner.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace dcv {

// The runner of the desktop side: QProcess with an argument vector, never a shell; administrator
// rights through pkexec unless already root. Blocks until the command ends, so it belongs on a
// worker thread.
class QtCommandRunner : public CommandRunner {
public:
    explicit QtCommandRunner(PrivilegeOptions privileges = PrivilegeOptions::current())
        : m_privileges(std::move(privileges)) {}
    ShellErrorDictionary runShellScript(const std::vector<std::string>& argv, bool administrator) override;
    std::optional<std::string> readCommandOutput(const std::vector<std::string>& argv) override;

private:
    ShellErrorDictionary run(const std::vector<std::string>& argv, bool administrator);
    PrivilegeOptions m_privileges;
};

// The error dictionary as the windows read it: "NSAppleScriptErrorNumber" as an int,
// "NSAppleScriptErrorMessage" as a string; empty on success.
QVariantMap toVariantMap(const ShellErrorDictionary& error);

QVariantMap runShellScript(const QStringList& argv, bool administrator);
// The command's standard output; a null string when it cannot be started.
QString readCommandOutput(const QStringList& argv);

} // namespace dcv
