#include "RunnerContract.h"

#include "sdcard/CommandRunner.h"

namespace {

using dcv::PrivilegeOptions;
using dcv::test::RunnerContractTest;

INSTANTIATE_TEST_SUITE_P(Spawn, RunnerContractTest,
                         ::testing::Values(dcv::test::RunnerFactory{
                             "spawn", [](const PrivilegeOptions& p) -> std::unique_ptr<dcv::CommandRunner> {
                                 return std::make_unique<dcv::SpawnCommandRunner>(p);
                             }}));

TEST(ShellErrorTest, DictionaryFromExit) {
    // Statuses and the usual messages are the runners' (RunnerContract); here, what they never give.
    EXPECT_EQ(dcv::shellErrorMessage(dcv::shellErrorForExit(1, "  mkfs.fat: unable to open /dev/sdz\n\n")),
              "mkfs.fat: unable to open /dev/sdz");
    EXPECT_EQ(dcv::shellErrorNumber({{dcv::kShellErrorNumberKey, "12x"}}), 0);
    EXPECT_EQ(dcv::shellErrorNumber({}), 0);
}

TEST(CommandLineTest, ResolvesProgramsAndAddsPkexec) {
    const std::string mkfs = dcv::findExecutable("mkfs.fat").value_or("");
    if (mkfs.empty())
        GTEST_SKIP() << "mkfs.fat is not installed";
    EXPECT_EQ(mkfs.front(), '/');
    const PrivilegeOptions user{false, FAKE_PKEXEC_PATH}, root{true, FAKE_PKEXEC_PATH};
    EXPECT_EQ(dcv::commandLineFor({"mkfs.fat", "-F", "32"}, true, user),
              (std::vector<std::string>{FAKE_PKEXEC_PATH, mkfs, "-F", "32"}));
    EXPECT_EQ(dcv::commandLineFor({"mkfs.fat"}, true, root), (std::vector<std::string>{mkfs}));
    EXPECT_TRUE(dcv::commandLineFor({}, false, root).empty());
    EXPECT_FALSE(dcv::findExecutable(""));
}

} // namespace
