#include "sdcard/FlashData.h"
#include "sdcard/TimeSetFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

using dcv::test::oneErrorLine;
using dcv::test::readFile;
using dcv::test::runDcv;
using dcv::test::TempDir;

namespace {

std::string lsblkData(const char* name) {
    return (dcv::test::sourceDir() / "tests" / "data" / "lsblk" / name).string();
}

TEST(SizeCommandTest, OneTextPerCount) {
    const auto r = runDcv({"size", "0", "1536", "18446744073709551615"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0 B\n1.5 kB\n16 EB\n");
}

TEST(TimesetCommandTest, WritesTheGivenOrTheCurrentTime) {
    TempDir dir;
    const auto file = dir.write("timeset.cfg", std::string(40, '#')); // a longer old file is cut
    auto r = runDcv({"timeset", file.string(), "--at", "2024/03/05 14:07:09"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(file), "2024/03/05 14:07:09");

    const std::time_t before = std::time(nullptr);
    r = runDcv({"timeset", file.string()});
    const std::time_t after = std::time(nullptr);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string text = readFile(file);
    EXPECT_TRUE(text == dcv::timesetText(dcv::localClockTime(before)) ||
                text == dcv::timesetText(dcv::localClockTime(after)))
        << text;
}

TEST(TimesetCommandTest, RefusesBadTimesAndReportsWriteFailures) {
    TempDir dir;
    for (const char* bad : {"2024/02/30 10:00:00", "2024-03-05 14:07:09", "now", "2024/03/05 14:07"}) {
        const auto r = runDcv({"timeset", (dir / "t.cfg").string(), "--at", bad});
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_TRUE(oneErrorLine(r)) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "t.cfg"));
    }
    const auto r = runDcv({"timeset", (dir / "missing" / "t.cfg").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(oneErrorLine(r)) << r.err;
    EXPECT_NE(r.err.find("No such file or directory"), std::string::npos) << r.err;
}

TEST(DrvCommandTest, ExportsToStandardOutputOrAFile) {
    TempDir dir;
    dcv::DrvRecord a, b; // the fields' texts are the export's own tests'
    a.sequence = 1;
    b.sequence = 2;
    const auto drv = dir.write("telvo_000.drv", dcv::encodeFlashDataFile({a, b}));
    const std::string header =
        "No.,Seq,Date,Time,Day,Latitude,Longitude,Distance,Speed,Max speed,Status,X,Y,Z,Battery,TTC,DTC\n";
    const std::string expected =
        header +
        "1,1,1900/00/00,00:00:00,SUN,0000.0000,00000.0000,0.0,0,0,V,+0.00,+0.00,+0.00, 0.0, 0.0, 0.0\n"
        "2,2,1900/00/00,00:00:00,SUN,0000.0000,00000.0000,0.0,0,0,V,+0.00,+0.00,+0.00, 0.0, 0.0, 0.0\n";
    auto r = runDcv({"drv", drv.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");

    const auto out = dir.write("out.csv", std::string(10000, 'x'));
    r = runDcv({"drv", drv.string(), "-o", out.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readFile(out), expected);

    // A cut file: what is complete is exported, and the shortfall is said.
    const std::string bytes = readFile(drv);
    const auto cut = dir.write("cut.drv", bytes.substr(0, bytes.size() - 10));
    r = runDcv({"drv", cut.string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, expected.substr(0, expected.rfind("2,2,")));
    EXPECT_TRUE(oneErrorLine(r)) << r.err;
}

TEST(DisksCommandTest, ListsUsbDisksAndMarksTheCard) {
    const struct {
        const char* file;
        const char* out;
    } cases[] = {
        {"usb-reader-partition.json", "*[15 GB] TELVO <STORAGE DEVICE>\tsda1\t/media/anna/TELVO\n"
                                      "[3.7 GB] BACKUP <Cruzer Blade>\tsdc1\t/media/anna/BACKUP\n"
                                      "[26 GB] DATA <Cruzer Blade>\tsdc2\t-\n"},
        {"none.json", ""},
    };
    for (const auto& c : cases) {
        const auto r = runDcv({"disks", "--lsblk-json", lsblkData(c.file)});
        EXPECT_EQ(r.exitCode, 0) << c.file << r.err;
        EXPECT_EQ(r.out, c.out) << c.file;
    }
    TempDir dir;
    const auto bad = runDcv({"disks", "--lsblk-json", dir.write("x.json", "{").string()});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(oneErrorLine(bad)) << bad.err;
}

TEST(DisksCommandTest, RunsLsblkOnThisMachine) {
    const auto r = runDcv({"disks"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    size_t start = 0;
    while (start < r.out.size()) { // whatever is plugged in: three tab-separated fields a line
        const size_t end = r.out.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = r.out.substr(start, end - start);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
        start = end + 1;
    }
}

TEST(FormatCommandTest, RefusesWithoutConfirmationOrAUsbDisk) {
    const struct {
        std::vector<std::string> args;
        int exit;
        const char* errorPart;
    } cases[] = {
        {{"format", "sdb1"}, 2, "--yes"},
        {{"format", "--yes"}, 2, "DEVICE"},
        {{"format", "../sda", "--yes"}, 1, "not a device name"},
        {{"format", "zzz9", "--yes"}, 1, "zzz9 is not a USB disk"},
    };
    for (const auto& c : cases) {
        const auto r = runDcv(c.args);
        EXPECT_EQ(r.exitCode, c.exit) << c.args[1];
        EXPECT_EQ(r.out, "") << c.args[1]; // no step was started
        EXPECT_TRUE(oneErrorLine(r)) << r.err;
        EXPECT_NE(r.err.find(c.errorPart), std::string::npos) << r.err;
    }
}

} // namespace
