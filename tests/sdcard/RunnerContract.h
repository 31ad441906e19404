#pragma once
// The behaviour every CommandRunner must have, whatever it starts processes with. Each test
// program instantiates RunnerContractTest with its runners.
#include "sdcard/CommandRunner.h"
#include "support/TestSupport.h"
#include "util/Log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

namespace dcv::test {

struct RunnerFactory {
    const char* name;
    std::function<std::unique_ptr<CommandRunner>(const PrivilegeOptions&)> make;
};

inline void PrintTo(const RunnerFactory& f, std::ostream* os) {
    *os << f.name;
}

class RunnerContractTest : public ::testing::TestWithParam<RunnerFactory> {
protected:
    std::unique_ptr<CommandRunner> runner(bool isRoot = true, std::string pkexec = FAKE_PKEXEC_PATH) {
        return GetParam().make(PrivilegeOptions{isRoot, std::move(pkexec)});
    }
    TempDir dir;
};

inline std::string errorNumber(const ShellErrorDictionary& e) {
    const auto it = e.find(kShellErrorNumberKey);
    return it == e.end() ? "" : it->second;
}

// The diagnostic lines: the dictionary after every command, and what was read of an output in
// pieces of at most 1023 bytes, or the command that could not be started.
TEST_P(RunnerContractTest, CommandsAndReadsAreLogged) {
    std::vector<std::string> log;
    ScopedLogSink sink([&](const std::string& line) { log.push_back(line); });
    auto r = runner();
    r->runShellScript({"true"}, false);
    r->runShellScript({"sh", "-c", "echo oops >&2; exit 3"}, false);
    r->readCommandOutput({"printf", "abc"});
    r->readCommandOutput({"printf", "%s", std::string(2500, 'x')});
    EXPECT_EQ(r->readCommandOutput({"true"}), "");
    EXPECT_EQ(r->readCommandOutput({"dcv-no-such-program", "--an-argument"}), std::nullopt);
    const std::vector<std::string> expected{
        "ERROR={}",
        "ERROR={NSAppleScriptErrorMessage = \"oops\"; NSAppleScriptErrorNumber = 3;}",
        "### READ:abc(3 bytes)",
        "read",
        "### READ:" + std::string(1023, 'x') + "(1023 bytes)",
        "### READ:" + std::string(1023, 'x') + "(1023 bytes)",
        "### READ:" + std::string(454, 'x') + "(454 bytes)",
        "read",
        "read",
        "popen fail:dcv-no-such-program --an-argument",
    };
    EXPECT_EQ(log, expected);
}

TEST_P(RunnerContractTest, ExitStatusAndStandardErrorMakeTheDictionary) {
    const struct {
        std::vector<std::string> argv;
        const char* number; // "" for success
        const char* messagePart;
    } cases[] = {
        {{"true"}, "", ""},
        {{"false"}, "1", "exit status 1"},
        {{"ls", "/nonexistent-dcv-path"}, "2", "No such file"},
        {{"dcv-no-such-program"}, "127", "dcv-no-such-program"},
        {{"/nonexistent-dir/prog"}, "127", "/nonexistent-dir/prog"},
    };
    auto r = runner();
    for (const auto& c : cases) {
        const ShellErrorDictionary e = r->runShellScript(c.argv, false);
        EXPECT_EQ(errorNumber(e), c.number) << c.argv[0];
        EXPECT_EQ(e.empty(), c.number[0] == '\0') << c.argv[0];
        EXPECT_NE(shellErrorMessage(e).find(c.messagePart), std::string::npos) << shellErrorMessage(e);
        // The message is trimmed: no line end left from stderr.
        EXPECT_EQ(shellErrorMessage(e).find('\n'), std::string::npos);
    }
}

TEST_P(RunnerContractTest, ArgumentsReachTheProgramLiterally) {
    auto r = runner();
    // Quotes, semicolons and $(...) would mean something to a shell; here they are plain text.
    EXPECT_EQ(r->readCommandOutput({"printf", "%s|", "a;b", "$(id)", "\"q\" 'x'", "", "*"}),
              "a;b|$(id)|\"q\" 'x'||*|");
    // Output comes back whatever the exit status.
    EXPECT_EQ(r->readCommandOutput({"ls", "-d", "/", "/nonexistent-dcv-path"}), "/\n");
}

// Outputs up to the cap come back whole (both pipes drained, so nothing stalls); a command that
// writes more, without end even, is stopped, and its output counts as none.
TEST_P(RunnerContractTest, OutputsAreReadUpToTheCap) {
    const std::string cap = std::to_string(kMaxCommandOutput), over = std::to_string(kMaxCommandOutput + 1);
    const std::string refused = " (more than " + cap + " bytes)";
    const struct {
        std::vector<std::string> argv;
        std::optional<size_t> size; // none: refused, with `logged`
        std::string logged;
    } cases[] = {
        {{"sh", "-c", "head -c 1000000 /dev/zero; head -c 100000 /dev/zero >&2"}, 1000000, ""},
        {{"head", "-c", cap, "/dev/zero"}, kMaxCommandOutput, ""},
        {{"head", "-c", over, "/dev/zero"},
         std::nullopt,
         "read fail:head -c " + over + " /dev/zero" + refused},
        {{"yes"}, std::nullopt, "read fail:yes" + refused},
    };
    auto r = runner();
    for (const auto& c : cases) {
        std::vector<std::string> log;
        ScopedLogSink sink([&](const std::string& line) { log.push_back(line); });
        const auto out = r->readCommandOutput(c.argv);
        ASSERT_EQ(out.has_value(), c.size.has_value()) << c.argv.back();
        if (out) {
            EXPECT_EQ(out->size(), *c.size);
            continue;
        }
        EXPECT_EQ(log, std::vector<std::string>{c.logged});
    }
}

TEST_P(RunnerContractTest, AdministratorRightsGoThroughPkexecUnlessRoot) {
    const std::string log = (dir / "pkexec.log").string();
    ::setenv("FAKE_PKEXEC_LOG", log.c_str(), 1);
    const std::string truePath = *findExecutable("true");

    // Root: the command runs as it is, pkexec is never asked.
    ::setenv("FAKE_PKEXEC_EXIT", "126", 1);
    EXPECT_TRUE(runner(true)->runShellScript({"true"}, true).empty());
    EXPECT_EQ(readFile(log), "");

    // Not root, dialog dismissed: 126 with pkexec's words, the command given by its full path.
    const ShellErrorDictionary dismissed = runner(false)->runShellScript({"true", "x y"}, true);
    EXPECT_EQ(errorNumber(dismissed), "126");
    EXPECT_EQ(shellErrorMessage(dismissed), "Error executing command as another user: Request dismissed");
    EXPECT_TRUE(runner(false)->runShellScript({"true"}, false).empty()) << "no pkexec without the need";
    EXPECT_EQ(readFile(log), truePath + "\nx y\n\n");

    // Authorised: the command's own status comes back.
    ::setenv("FAKE_PKEXEC_EXIT", "exec", 1);
    EXPECT_TRUE(runner(false)->runShellScript({"true"}, true).empty());
    EXPECT_EQ(errorNumber(runner(false)->runShellScript({"ls", "/nonexistent-dcv-path"}, true)), "2");

    // No pkexec on the machine: the command cannot be started.
    EXPECT_EQ(errorNumber(runner(false, "dcv-no-such-pkexec")->runShellScript({"true"}, true)), "127");
    ::unsetenv("FAKE_PKEXEC_LOG");
    ::unsetenv("FAKE_PKEXEC_EXIT");
}

} // namespace dcv::test
