#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dcv {

// What a failed command leaves behind: its exit status under the number key and its trimmed
// standard error under the message key. Empty when the command succeeded.
using ShellErrorDictionary = std::map<std::string, std::string>;
inline constexpr const char* kShellErrorNumberKey = "NSAppleScriptErrorNumber";
inline constexpr const char* kShellErrorMessageKey = "NSAppleScriptErrorMessage";

// Exit status that stands for "could not be started" (as a shell would report it).
inline constexpr int kCommandNotStarted = 127;

// The most standard output a command may give (lsblk's listing is a few kilobytes); a command
// that writes more is stopped and its output counts as none.
inline constexpr size_t kMaxCommandOutput = size_t(1) << 20;

// The number stored in a dictionary, 0 when there is none or it is not a number.
int shellErrorNumber(const ShellErrorDictionary& error);
std::string shellErrorMessage(const ShellErrorDictionary& error);
// The dictionary for a finished command: empty for status 0.
ShellErrorDictionary shellErrorForExit(int exitStatus, std::string_view standardError);

// "{NSAppleScriptErrorMessage = \"...\"; NSAppleScriptErrorNumber = 1;}", "{}" when empty.
std::string shellErrorText(const ShellErrorDictionary& error);
// The diagnostic lines every runner writes: "ERROR=%@" with the dictionary after each command;
// for a command output "popen fail:%@" with the command when it could not be started, else
// "### READ:%s(%ld bytes)" for each piece of at most 1023 bytes and "read" at the end; "read
// fail:%@ (more than N bytes)" with the command when its output passed kMaxCommandOutput
// (`tooLarge`).
void logShellScriptResult(const ShellErrorDictionary& error);
void logCommandOutput(const std::vector<std::string>& argv, const std::optional<std::string>& output,
                      bool tooLarge = false);

// How administrator rights are got: through pkexec, unless the process is root already.
struct PrivilegeOptions {
    bool isRoot = false;
    std::string pkexec = "pkexec";
    static PrivilegeOptions current();
};

// Finds a program the way the runners start it: a name with a slash as it is, otherwise on
// PATH and then in the system folders (mkfs.fat lives in /usr/sbin, often not on a user's PATH).
std::optional<std::string> findExecutable(std::string_view name);

// The argument vector actually started for `argv`: the program resolved to its full path and,
// for administrator rights without root, pkexec in front. Empty when the program is not found.
std::vector<std::string> commandLineFor(const std::vector<std::string>& argv, bool administrator,
                                        const PrivilegeOptions& privileges);

// The dictionary for a command that commandLineFor could not resolve: the program, or pkexec
// for administrator rights, is not there.
ShellErrorDictionary unresolvedCommandError(const std::vector<std::string>& argv, bool administrator,
                                            const PrivilegeOptions& privileges);

// Runs programs with argument vectors; nothing goes through a shell.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    // Runs the command to its end; returns the error dictionary, empty on success.
    virtual ShellErrorDictionary runShellScript(const std::vector<std::string>& argv, bool administrator) = 0;
    // The command's standard output whatever its exit status; none when it cannot be started or
    // writes more than kMaxCommandOutput bytes (it is stopped then).
    virtual std::optional<std::string> readCommandOutput(const std::vector<std::string>& argv) = 0;
};

// The runner of the core: posix_spawn with pipes for the outputs and /dev/null as input.
class SpawnCommandRunner : public CommandRunner {
public:
    explicit SpawnCommandRunner(PrivilegeOptions privileges = PrivilegeOptions::current())
        : m_privileges(std::move(privileges)) {}
    ShellErrorDictionary runShellScript(const std::vector<std::string>& argv, bool administrator) override;
    std::optional<std::string> readCommandOutput(const std::vector<std::string>& argv) override;

    struct Result {
        bool started = false;
        int exitStatus = kCommandNotStarted;
        std::string out, err;
        bool tooLarge = false; // the output passed the cap; the command was killed
    };
    // Runs a resolved argument vector (see commandLineFor) and collects both outputs; a command
    // whose standard output passes `maxOut` bytes is killed.
    static Result spawn(const std::vector<std::string>& argv, size_t maxOut = SIZE_MAX);

private:
    ShellErrorDictionary run(const std::vector<std::string>& argv, bool administrator);
    PrivilegeOptions m_privileges;
};

} // namespace dcv
