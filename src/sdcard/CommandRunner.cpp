#include "sdcard/CommandRunner.h"

#include "util/Log.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace dcv {

namespace {

std::string_view trimmed(std::string_view s) {
    const auto notSpace = [](char c) { return c != ' ' && c != '\n' && c != '\r' && c != '\t'; };
    while (!s.empty() && !notSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && !notSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isExecutableFile(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

} // namespace

int shellErrorNumber(const ShellErrorDictionary& error) {
    const auto it = error.find(kShellErrorNumberKey);
    if (it == error.end())
        return 0;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(it->second.c_str(), &end, 10);
    if (errno != 0 || end == it->second.c_str() || *end != '\0' || v < -2147483647L || v > 2147483647L)
        return 0;
    return int(v);
}

std::string shellErrorMessage(const ShellErrorDictionary& error) {
    const auto it = error.find(kShellErrorMessageKey);
    return it == error.end() ? std::string() : it->second;
}

ShellErrorDictionary shellErrorForExit(int exitStatus, std::string_view standardError) {
    if (exitStatus == 0)
        return {};
    std::string message(trimmed(standardError));
    if (message.empty())
        message = "exit status " + std::to_string(exitStatus);
    return {{kShellErrorNumberKey, std::to_string(exitStatus)}, {kShellErrorMessageKey, std::move(message)}};
}

std::string shellErrorText(const ShellErrorDictionary& error) {
    std::string text = "{";
    for (const auto& [key, value] : error) {
        text += key + " = ";
        if (key == kShellErrorNumberKey)
            text += value;
        else
            text += "\"" + value + "\"";
        text += "; ";
    }
    if (text.size() > 1)
        text.pop_back();
    return text + "}";
}

void logShellScriptResult(const ShellErrorDictionary& error) {
    dcvLog("ERROR=%s", shellErrorText(error).c_str());
}

void logCommandOutput(const std::vector<std::string>& argv, const std::optional<std::string>& output,
                      bool tooLarge) {
    if (!output) {
        std::string command;
        for (const auto& a : argv)
            command += (command.empty() ? "" : " ") + a;
        if (tooLarge)
            dcvLog("read fail:%s (more than %zu bytes)", command.c_str(), kMaxCommandOutput);
        else
            dcvLog("popen fail:%s", command.c_str());
        return;
    }
    constexpr size_t kPiece = 1023;
    for (size_t at = 0; at < output->size(); at += kPiece) {
        const std::string piece = output->substr(at, kPiece);
        dcvLog("### READ:%s(%ld bytes)", piece.c_str(), long(piece.size()));
    }
    dcvLog("read");
}

PrivilegeOptions PrivilegeOptions::current() {
    return PrivilegeOptions{::geteuid() == 0, "pkexec"};
}

std::optional<std::string> findExecutable(std::string_view name) {
    if (name.empty())
        return std::nullopt;
    const std::string n(name);
    if (n.find('/') != std::string::npos)
        return isExecutableFile(n) ? std::optional<std::string>(n) : std::nullopt;
    std::string dirs;
    if (const char* path = std::getenv("PATH"))
        dirs = path;
    dirs += ":/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty() && dir.front() == '/') {
            const std::string candidate = dir + "/" + n;
            if (isExecutableFile(candidate))
                return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::vector<std::string> commandLineFor(const std::vector<std::string>& argv, bool administrator,
                                        const PrivilegeOptions& privileges) {
    if (argv.empty())
        return {};
    const auto program = findExecutable(argv.front());
    if (!program)
        return {};
    std::vector<std::string> line;
    if (administrator && !privileges.isRoot) {
        // pkexec runs the program with a clean environment and PATH: give it the full path.
        const auto pkexec = findExecutable(privileges.pkexec);
        if (!pkexec)
            return {};
        line.push_back(*pkexec);
    }
    line.push_back(*program);
    line.insert(line.end(), argv.begin() + 1, argv.end());
    return line;
}

ShellErrorDictionary unresolvedCommandError(const std::vector<std::string>& argv, bool administrator,
                                            const PrivilegeOptions& privileges) {
    const std::string missing = argv.empty() ? std::string("no command")
                                : (administrator && !privileges.isRoot && findExecutable(argv.front()))
                                    ? privileges.pkexec + ": command not found"
                                    : argv.front() + ": command not found";
    return shellErrorForExit(kCommandNotStarted, missing);
}

SpawnCommandRunner::Result SpawnCommandRunner::spawn(const std::vector<std::string>& argv, size_t maxOut) {
    Result r;
    if (argv.empty())
        return r;
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return r;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return r;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    if (rc != 0) {
        ::close(out[0]);
        ::close(err[0]);
        r.err = argv[0] + ": " + std::strerror(rc);
        return r;
    }
    r.started = true;
    // Drain both pipes together so that neither fills up and stalls the child.
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[2];
        nfds_t n = 0;
        if (outOpen)
            fds[n++] = {out[0], POLLIN, 0};
        if (errOpen)
            fds[n++] = {err[0], POLLIN, 0};
        if (::poll(fds, n, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (nfds_t i = 0; i < n; ++i) {
            if (fds[i].revents == 0)
                continue;
            char buf[4096];
            const ssize_t k = ::read(fds[i].fd, buf, sizeof buf);
            if (k < 0 && errno == EINTR)
                continue;
            const bool isOut = fds[i].fd == out[0];
            if (k <= 0)
                (isOut ? outOpen : errOpen) = false;
            else if (isOut || r.err.size() < kMaxCommandOutput) // more error text is drained, not kept
                (isOut ? r.out : r.err).append(buf, size_t(k));
            if (r.out.size() > maxOut) {
                // Whatever it is writing, it is not what was asked for: stop it, keep nothing.
                ::kill(pid, SIGKILL);
                r.tooLarge = true;
                r.out.clear();
                r.out.shrink_to_fit();
                outOpen = errOpen = false;
                break;
            }
        }
    }
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        r.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        r.exitStatus = 128 + WTERMSIG(status);
    return r;
}

ShellErrorDictionary SpawnCommandRunner::runShellScript(const std::vector<std::string>& argv,
                                                        bool administrator) {
    ShellErrorDictionary error = run(argv, administrator);
    logShellScriptResult(error);
    return error;
}

ShellErrorDictionary SpawnCommandRunner::run(const std::vector<std::string>& argv, bool administrator) {
    const auto line = commandLineFor(argv, administrator, m_privileges);
    if (line.empty())
        return unresolvedCommandError(argv, administrator, m_privileges);
    const Result r = spawn(line);
    if (!r.started)
        return shellErrorForExit(kCommandNotStarted, r.err.empty() ? line.front() + ": cannot start" : r.err);
    return shellErrorForExit(r.exitStatus, r.err);
}

std::optional<std::string> SpawnCommandRunner::readCommandOutput(const std::vector<std::string>& argv) {
    std::optional<std::string> out;
    bool tooLarge = false;
    if (const auto line = commandLineFor(argv, false, m_privileges); !line.empty()) {
        Result r = spawn(line, kMaxCommandOutput);
        tooLarge = r.tooLarge;
        if (r.started && !r.tooLarge)
            out = std::move(r.out);
    }
    logCommandOutput(argv, out, tooLarge);
    return out;
}

} // namespace dcv
