// dcv against files and places it must not trust: read-only files, FIFOs and device nodes,
// damaged and crafted recordings, unreadable folders. Every case ends with a clear exit status
// and a line on stderr; never with a hang, a replaced file, a file where a device was, or
// silence about what was left out.
#include "sdcard/FlashData.h"
#include "settings/SettingsRecord.h"
#include "support/TestSupport.h"
#include "telemetry/TelemetryWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using dcv::test::dcvPath;
using dcv::test::oneErrorLine;
using dcv::test::ProcessResult;
using dcv::test::readFile;
using dcv::test::runProcess;
using dcv::test::TempDir;

namespace {

std::vector<std::string> withTool(const std::vector<std::string>& front,
                                  const std::vector<std::string>& args) {
    std::vector<std::string> argv = front;
    argv.push_back(dcvPath());
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

// A reader that blocks on a FIFO is killed after a minute: the test then fails instead of
// hanging. A correct one answers at once.
ProcessResult dcvGuarded(const std::vector<std::string>& args) {
    return runProcess(withTool({"timeout", "-s", "KILL", "60"}, args));
}

// As the unprivileged user 65534 (the tests run as root, who may write and read anything).
ProcessResult dcvAsNobody(const std::vector<std::string>& args) {
    return runProcess(withTool({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}, args));
}

std::string settingsBytes() {
    // A fixed clock: the default Wi-Fi name carries the minute and second it was made at.
    dcv::_FILEDATA r = dcv::defaultSettingsRecord([] { return dcv::LocalTime{7, 5, 0}; });
    dcv::prepareSettingsRecordForSave(r);
    const auto b = dcv::settingsRecordBytes(r);
    return std::string(b.begin(), b.end());
}

fs::file_type typeOf(const fs::path& p) {
    return fs::symlink_status(p).type();
}

// The commands that write a file, each aimed at `target`.
std::vector<std::vector<std::string>> writers(const TempDir& dir, const std::string& target) {
    const auto drv = dir.write("log.drv", dcv::encodeFlashDataFile({dcv::DrvRecord{}})).string();
    return {{"config", "set", target, "micVolume=1"},
            {"config", "defaults", target},
            {"timeset", target, "--at", "2024/03/05 14:07:09"},
            {"drv", drv, "-o", target}};
}

// A file marked read-only (on a FAT card: the DOS attribute; root could write it) or a FIFO is
// never replaced: the commands write through the safe writer, whose refusals (device nodes too)
// are its own tests'. Readers read only regular files.
TEST(UntrustedInputTest, WhatIsNotAWritableRegularFileIsNeitherReplacedNorRead) {
    TempDir dir;
    const fs::path readOnly = dir.write("config.bin", settingsBytes());
    ::chmod(readOnly.c_str(), 0444);
    const fs::path fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const std::pair<fs::path, fs::file_type> targets[] = {{readOnly, fs::file_type::regular},
                                                          {fifo, fs::file_type::fifo}};
    for (const auto& [target, type] : targets) {
        for (const auto& args : writers(dir, target.string())) {
            SCOPED_TRACE(args[0] + " " + args[1] + " " + target.string());
            const auto r = dcvGuarded(args);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(oneErrorLine(r)) << r.err;
            EXPECT_EQ(typeOf(target), type);
        }
    }
    EXPECT_EQ(readFile(readOnly), settingsBytes());
    EXPECT_EQ(fs::status(readOnly).permissions() & fs::perms::all, fs::perms(0444));

    // Readers: a FIFO without a writer would block for ever, a device give bytes without end.
    const fs::path readerFifo = dir / "reader-fifo";
    ASSERT_EQ(::mkfifo(readerFifo.c_str(), 0666), 0);
    for (const std::string& source : {readerFifo.string(), std::string("/dev/zero")}) {
        const std::vector<std::vector<std::string>> readers{{"drv", source},
                                                            {"disks", "--lsblk-json", source},
                                                            {"config", "show", source},
                                                            {"nmea", source},
                                                            {"telemetry", source}};
        for (const auto& args : readers) {
            SCOPED_TRACE(args[0] + " " + source);
            const auto r = dcvGuarded(args);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(oneErrorLine(r)) << r.err;
            EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
            EXPECT_EQ(r.out, "");
        }
    }
}

TEST(UntrustedInputTest, DamagedRecordingsSayWhatWasLeftOut) {
    TempDir dir;
    std::vector<dcv::TelemetrySample> samples(3);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i].gps = {3733.5f, 12701.25f, 0.9f, float(i), 'N', 'E', 9, 0};
    std::string whole;
    ASSERT_TRUE(dcv::buildTelemetryFile(samples, 1, whole));
    std::string pastEnd;
    ASSERT_TRUE(dcv::buildTelemetryFileWithTable(samples, {0, 1, 2, 7, 8}, 1, pastEnd));
    const struct {
        const char* name;
        std::string bytes;
        size_t rows;
        const char* says;
    } cases[] = {
        {"past.MP4", pastEnd, 3, "2 of the table's 5 records lie beyond the end of the file"},
        {"none.MP4", whole.substr(0, whole.size() - 3 * 111 - 8), 0, "beyond the end of the file"},
    };
    for (const auto& c : cases) {
        for (const std::string format : {"csv", "json", "gpx"}) {
            SCOPED_TRACE(c.name + (" " + format));
            const auto r = dcvGuarded({"telemetry", dir.write(c.name, c.bytes).string(), "--format", format});
            EXPECT_EQ(r.exitCode, 0) << r.err;
            EXPECT_TRUE(oneErrorLine(r)) << r.err;
            EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
            if (format == "csv") {
                EXPECT_EQ(size_t(std::count(r.out.begin(), r.out.end(), '\n')), c.rows + 1);
            }
        }
    }
}

TEST(UntrustedInputTest, EmptyDrivingLogsAndNmeaFilesAreNamedAsSuch) {
    TempDir dir;
    const auto drv = dcvGuarded({"drv", dir.write("empty.drv", dcv::encodeFlashDataFile({})).string()});
    EXPECT_EQ(drv.exitCode, 0);
    EXPECT_EQ(std::count(drv.out.begin(), drv.out.end(), '\n'), 1); // the title line, as ever
    EXPECT_TRUE(oneErrorLine(drv)) << drv.err;
    EXPECT_NE(drv.err.find("no records"), std::string::npos) << drv.err;
    const auto nmea = dcvGuarded({"nmea", dir.write("x.nmea", "hello\n").string()});
    EXPECT_EQ(nmea.exitCode, 0);
    EXPECT_TRUE(oneErrorLine(nmea)) << nmea.err;
}

TEST(UntrustedInputTest, ListSaysWhichFoldersItCouldNotRead) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make folders another user may not read";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    dir.write("card/DCIM/alwa_20240305_140709_F.MP4", "video");
    dir.write("card/Event/event_20240305_141000_F.MP4", "video");
    ::chmod((dir / "card/Event").c_str(), 0700);
    const auto r = dcvAsNobody({"list", (dir / "card").string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("alwa_20240305_140709_F.MP4"), std::string::npos);
    EXPECT_EQ(r.out.find("event_"), std::string::npos);
    EXPECT_TRUE(oneErrorLine(r)) << r.err;
    EXPECT_NE(r.err.find((dir / "card/Event").string() + ": Permission denied"), std::string::npos) << r.err;

    // The folder itself: nothing could be listed, which is no success.
    ::chmod((dir / "card").c_str(), 0700);
    const auto top = dcvAsNobody({"list", (dir / "card").string()});
    EXPECT_EQ(top.exitCode, 1);
    EXPECT_EQ(top.out, "");
    EXPECT_TRUE(oneErrorLine(top)) << top.err;
}

TEST(UntrustedInputTest, ListSaysWhenTheLimitStoppedIt) {
    TempDir dir;
    const auto make = [&](const std::string& folder, int count) {
        fs::create_directories(dir / folder);
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "alwa_2024%02d%02d_%02d%02d%02d_F.MP4", 1 + i / 86400 % 12,
                          1 + i / 3600 % 24, i / 3600 % 24, i / 60 % 60, i % 60);
            std::fclose(std::fopen((dir / folder / name).c_str(), "w"));
        }
    };
    make("full", 15000);
    make("full/more", 1);
    const auto over = dcvGuarded({"list", (dir / "full").string()});
    EXPECT_EQ(over.exitCode, 0);
    EXPECT_GE(std::count(over.out.begin(), over.out.end(), '\n'), 15000);
    EXPECT_TRUE(oneErrorLine(over)) << over.err;
    EXPECT_NE(over.err.find("15000"), std::string::npos) << over.err;
}

// Half a million table entries that all name one record (the crafted 33 MB recording has two
// million): the output is streamed and the samples are kept within their memory budget of 64
// bytes each, whatever the format.
TEST(UntrustedInputTest, ACraftedTableStaysWithinTheMemoryBudget) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's own memory hides what the reader takes";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the sanitizer's own memory hides what the reader takes";
#endif
#endif
    TempDir dir;
    constexpr size_t kEntries = 500000;
    dcv::TelemetrySample s;
    s.gps = {3733.5f, 12701.25f, 0.9f, 42.5f, 'N', 'E', 9, 0};
    std::string bytes;
    ASSERT_TRUE(dcv::buildTelemetryFileWithTable({s}, std::vector<uint32_t>(kEntries, 0), 60, bytes));
    const auto path = dir.write("crafted.MP4", bytes).string();
    const auto baseline = runProcess(withTool({"/usr/bin/time", "-f", "%M"}, {"size", "1"}));
    ASSERT_EQ(baseline.exitCode, 0) << baseline.err;
    const long baseKb = std::stol(baseline.err);
    for (const char* format : {"csv", "json", "gpx"}) {
        const std::string out = (dir / (std::string("out.") + format)).string();
        // The output goes straight to a file, so that only the tool's own memory is measured.
        const auto r = runProcess({"/usr/bin/time", "-f", "%M", "-o", out + ".rss", "sh", "-c",
                                   "exec \"$0\" telemetry \"$1\" --format \"$2\" > \"$3\"", dcvPath(), path,
                                   format, out});
        ASSERT_EQ(r.exitCode, 0) << format << ": " << r.err;
        const long peakKb = std::stol(readFile(out + ".rss"));
        const long budgetKb = long(kEntries * 64 / 1024);
        EXPECT_LE(peakKb - baseKb, budgetKb + 8 * 1024) << format << ": " << peakKb << " kB at the peak";
        EXPECT_GT(fs::file_size(out), kEntries * 50) << format;
    }
}

} // namespace
