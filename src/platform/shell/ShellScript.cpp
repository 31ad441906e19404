#include "platform/shell/ShellScript.h"

#include <QProcess>
#include <optional>

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
    bool tooLarge = false; // the output passed the cap; the command was killed
};

// With `maxOut`, only the standard output is wanted: it is read as it comes and the command is
// killed once it passes the cap.
Finished runToEnd(const std::vector<std::string>& line, std::optional<qint64> maxOut = std::nullopt) {
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
    if (maxOut)
        p.setStandardErrorFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted(-1)) {
        f.err = (QString::fromStdString(line.front()) + ": " + p.errorString()).toUtf8();
        return f;
    }
    f.started = true;
    while (maxOut && (p.waitForReadyRead(-1) || p.bytesAvailable() > 0)) {
        f.out += p.readAllStandardOutput();
        if (f.out.size() > *maxOut) {
            p.kill();
            p.waitForFinished(-1);
            f.out.clear();
            f.tooLarge = true;
            return f;
        }
    }
    p.waitForFinished(-1);
    f.out += p.readAllStandardOutput();
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
    ShellErrorDictionary error = run(argv, administrator);
    logShellScriptResult(error);
    return error;
}

ShellErrorDictionary QtCommandRunner::run(const std::vector<std::string>& argv, bool administrator) {
    const auto line = commandLineFor(argv, administrator, m_privileges);
    if (line.empty())
        return unresolvedCommandError(argv, administrator, m_privileges);
    const Finished f = runToEnd(line);
    return shellErrorForExit(f.status, f.err.toStdString());
}

std::optional<std::string> QtCommandRunner::readCommandOutput(const std::vector<std::string>& argv) {
    std::optional<std::string> out;
    bool tooLarge = false;
    if (const auto line = commandLineFor(argv, false, m_privileges); !line.empty()) {
        const Finished f = runToEnd(line, qint64(kMaxCommandOutput));
        tooLarge = f.tooLarge;
        if (f.started && !f.tooLarge)
            out = f.out.toStdString();
    }
    logCommandOutput(argv, out, tooLarge);
    return out;
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
