#include "sdcard/FlashData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using dcv::test::oneErrorLine;
using dcv::test::runDcv;
using dcv::test::TempDir;

namespace {

TEST(ListCommandTest, PrintsTabSeparatedEntriesInOrder) {
    TempDir dir;
    dir.write("sub/event_20210315_142530_R.MP4");
    dir.write("alwa_20210315_142530_F.MP4");
    dir.write("xxxxx_20210315_142530_F.mp4");
    dir.write("readme.txt");
    const auto r = runDcv({"list", dir.path().string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string d = dir.path().string();
    EXPECT_EQ(r.out, "always\t-\t-\txxxxx_20210315_142530_F.mp4\t" + d +
                         "/xxxxx_20210315_142530_F.mp4\n"
                         "event\t2021-03-15\t14:25:30\tevent_20210315_142530_R.MP4\t" +
                         d +
                         "/sub/event_20210315_142530_R.MP4\n"
                         "always\t2021-03-15\t14:25:30\talwa_20210315_142530_F.MP4\t" +
                         d + "/alwa_20210315_142530_F.MP4\n");
    EXPECT_TRUE(r.err.empty());
    const TempDir empty;
    const auto none = runDcv({"list", empty.path().string()});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "");
}

// Every command's usage errors exit with 2, unreadable input or output with 1; either way with one
// line on stderr and nothing on stdout.
TEST(CommandLineTest, FailuresGiveOneLineAndTheirExitCode) {
    TempDir dir;
    const auto file = dir.write("file.MP4").string();
    const auto drv = dir.write("x.drv", dcv::encodeFlashDataFile({dcv::DrvRecord{}})).string();
    struct {
        std::vector<std::string> args;
        int exit;
    } cases[] = {
        {{"list", (dir / "missing").string()}, 1},
        {{"list", file}, 1},
        {{"drv", (dir / "missing.drv").string()}, 1},
        {{"drv", dir.path().string()}, 1},
        {{"drv", drv, "-o", (dir / "no" / "o.csv").string()}, 1},
        {{}, 2},
        {{"nosuchcommand"}, 2},
        {{"list"}, 2},
        {{"size", "1", "12x"}, 2}, // nothing printed for the good count either
        {{"config"}, 2},
        {{"config", "show"}, 2},
        {{"config", "set", file}, 2},
        {{"config", "bogus", file}, 2},
        {{"config", "defaults"}, 2},
        {{"telemetry"}, 2},
        {{"telemetry", "a", "b"}, 2},
        {{"nmea"}, 2},
    };
    for (const auto& c : cases) {
        const auto r = runDcv(c.args);
        EXPECT_EQ(r.exitCode, c.exit) << (c.args.empty() ? "" : c.args.back()) << ": " << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(oneErrorLine(r)) << r.err;
    }
}

} // namespace
