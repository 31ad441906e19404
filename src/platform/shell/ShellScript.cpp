#include "platform/shell/ShellScript.h"

#include <QProcess>

namespace dcv {

namespace {

std::vector<std::string> toStd(const QStringList& list) {
    std::vector<std::string> v;
    v.reserve(size_t(list.size()));
    for (const QString& s : list)
        v.push_back(s.toStdString());
    return v;
}

struct Finished {
    bool started = false;
    int status = kCommandNotStarted;
    QByteArray out, err;
};

Finished runToEnd(const std::vector<std::string>& line) {
    Finished f;
    if (line.empty())
        return f;
    QProcess p;
    p.setProgram(QString::fromStdString(line.front()));
    QStringList args;
    for (size_t i = 1; i < line.size(); ++i)
        args << QString::fromStdString(line[i]);
    p.setArguments(args);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted(-1)) {
        f.err = (QString::fromStdString(line.front()) + ": " + p.errorString()).toUtf8();
        return f;
    }
    f.started = true;
    p.waitForFinished(-1);
    f.out = p.readAllStandardOutput();
    f.err = p.readAllStandardError();
    // A crash has no exit code to report; it still must read as a failure.
    f.status = p.exitStatus() == QProcess::CrashExit ? 128 : p.exitCode();
    if (p.exitStatus() == QProcess::CrashExit && f.err.isEmpty())
        f.err = (QString::fromStdString(line.front()) + " crashed").toUtf8();
    return f;
}

} // namespace

ShellErrorDictionary QtCommandRunner::runShellScript(const std::vector<std::string>& argv,
                                                     bool administrator) {
    const auto line = commandLineFor(argv, administrator, m_privileges);
    if (line.empty()) {
        const bool pkexecMissing =
            !argv.empty() && administrator && !m_privileges.isRoot && findExecutable(argv.front());
        return shellErrorForExit(kCommandNotStarted, argv.empty() ? std::string("no command")
                                                     : pkexecMissing
                                                         ? m_privileges.pkexec + ": command not found"
                                                         : argv.front() + ": command not found");
    }
    const Finished f = runToEnd(line);
    return shellErrorForExit(f.status, f.err.toStdString());
}

std::optional<std::string> QtCommandRunner::readCommandOutput(const std::vector<std::string>& argv) {
    const auto line = commandLineFor(argv, false, m_privileges);
    if (line.empty())
        return std::nullopt;
    const Finished f = runToEnd(line);
    if (!f.started)
        return std::nullopt;
    return f.out.toStdString();
}

QVariantMap toVariantMap(const ShellErrorDictionary& error) {
    QVariantMap map;
    for (const auto& [key, value] : error) {
        if (key == kShellErrorNumberKey)
            map.insert(QString::fromStdString(key), shellErrorNumber(error));
        else
            map.insert(QString::fromStdString(key), QString::fromStdString(value));
    }
    return map;
}

QVariantMap runShellScript(const QStringList& argv, bool administrator) {
    return toVariantMap(QtCommandRunner().runShellScript(toStd(argv), administrator));
}

QString readCommandOutput(const QStringList& argv) {
    const auto out = QtCommandRunner().readCommandOutput(toStd(argv));
    return out ? QString::fromStdString(*out) : QString();
}

} // namespace dcv
