#include "settings/SettingsRecord.h"
#include "support/TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>

using dcv::test::oneErrorLine;
using dcv::test::readFile;
using dcv::test::runDcv;
using dcv::test::TempDir;
using namespace dcv;

namespace {

std::string bytesOf(const _FILEDATA& r) {
    const auto b = settingsRecordBytes(r);
    return std::string(b.begin(), b.end());
}

_FILEDATA fromFile(const std::string& path) {
    const std::string s = readFile(path);
    EXPECT_EQ(s.size(), 500u);
    SettingsRecordBytes b{};
    std::copy_n(s.begin(), std::min<size_t>(s.size(), 500), b.begin());
    return settingsRecordFromBytes(b);
}

TEST(ConfigCommandTest, DefaultsWritesTheDefaultRecord) {
    TempDir dir;
    const std::string path = (dir / "config.bin").string();
    const auto r = runDcv({"config", "defaults", path});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const _FILEDATA written = fromFile(path);
    // Equal to a default record made here, up to the clock's four digits.
    _FILEDATA expected = defaultSettingsRecord();
    std::memcpy(expected.wifiSsid, written.wifiSsid, sizeof expected.wifiSsid);
    EXPECT_EQ(bytesOf(written), bytesOf(expected));
    EXPECT_EQ(written.checksum, 65535u);
}

TEST(ConfigCommandTest, ShowListsEveryFieldAndTheChecksum) {
    TempDir dir;
    const auto path = dir.write("config.bin", bytesOf(defaultSettingsRecord([] {
                                    return LocalTime{7, 5, 0};
                                })));
    const auto r = runDcv({"config", "show", path.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(
        r.out.starts_with("formatMarker=22310\nchecksum=65535\nmodelName=QX-4100N\nfrontVideoQuality=1\n"));
    EXPECT_NE(r.out.find("\nwifiSsid=TelvoV-0705\n"), std::string::npos);
    EXPECT_NE(r.out.find("\ntimeZoneIndex=28\n"), std::string::npos);
    EXPECT_TRUE(r.out.ends_with("\nreserved496=0\nchecksum=not-computed stored=65535\n")) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 111);
}

TEST(ConfigCommandTest, CheckFailsOnlyOnAMismatch) {
    TempDir dir;
    _FILEDATA saved = defaultSettingsRecord();
    prepareSettingsRecordForSave(saved);
    _FILEDATA damaged = saved;
    damaged.checksum ^= 0x10;
    const struct {
        const char* name;
        _FILEDATA record;
        int exit;
        std::string out;
    } cases[] = {
        // The factory defaults, as a freshly formatted card carries them.
        {"defaults", defaultSettingsRecord(), 0, "checksum=not-computed stored=65535\n"},
        {"saved", saved, 0, "checksum=ok\n"},
        {"damaged", damaged, 1,
         "checksum=mismatch stored=" + std::to_string(damaged.checksum) +
             " computed=" + std::to_string(saved.checksum) + "\n"},
    };
    for (const auto& c : cases) {
        const auto r = runDcv({"config", "check", dir.write(c.name, bytesOf(c.record)).string()});
        EXPECT_EQ(r.exitCode, c.exit) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err, "") << c.name;
    }
}

TEST(ConfigCommandTest, FilesThatAreNotOneRecordAreRefused) {
    TempDir dir;
    dir.write("short.bin", std::string(499, '\0'));
    dir.write("long.bin", std::string(501, '\0'));
    for (const char* name : {"short.bin", "long.bin", "missing.bin"}) {
        for (const char* cmd : {"show", "check", "set"}) {
            std::vector<std::string> args = {"config", cmd, (dir / name).string()};
            if (std::string(cmd) == "set")
                args.push_back("micVolume=1");
            const auto r = runDcv(args);
            EXPECT_EQ(r.exitCode, 1) << cmd << " " << name;
            EXPECT_EQ(r.out, "") << cmd << " " << name;
            EXPECT_TRUE(oneErrorLine(r)) << r.err;
        }
    }
    EXPECT_EQ(readFile(dir / "short.bin"), std::string(499, '\0')); // set wrote nothing
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.bin"));
}

TEST(ConfigCommandTest, SetChangesFieldsAndSavesWithChecksum) {
    TempDir dir;
    _FILEDATA rec = defaultSettingsRecord();
    const auto path = dir.write("config.bin", bytesOf(rec)).string();
    const auto r = runDcv({"config", "set", path, "alwaysModeTimeout=600", "carNumber=", "timeZoneIndex=-1",
                           "speedDisplayUnit=1", "wifiSsid=MyCam_01"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const _FILEDATA saved = fromFile(path);
    rec.alwaysModeTimeout = 600;
    setSettingsText(rec.carNumber, "");
    rec.timeZoneIndex = -1;
    rec.speedDisplayUnit = 1;
    setSettingsText(rec.wifiSsid, "MyCam_01");
    rec.carNumberSet = 0;
    settingsChecksum(rec);
    EXPECT_EQ(bytesOf(saved), bytesOf(rec));
    EXPECT_EQ(runDcv({"config", "check", path}).exitCode, 0);
}

TEST(ConfigCommandTest, RefusedSetWritesNothing) {
    TempDir dir;
    const std::string original = bytesOf(defaultSettingsRecord());
    const auto path = dir.write("config.bin", original).string();
    // Which values are refused, and the messages, are the editor's; here: a refusal after an
    // accepted value still writes nothing.
    struct {
        std::vector<std::string> assignments;
        std::string named; // the message names the field and what it takes
    } cases[] = {
        {{"micVolume=1", "alwaysModeTimeout=45"}, "alwaysModeTimeout takes 0, 10, 30"},
        {{"micVolume=1", "reserved24=0"}, "reserved24 is reserved"},
        {{"bogus=1"}, "no field is called"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"config", "set", path};
        args.insert(args.end(), c.assignments.begin(), c.assignments.end());
        const auto r = runDcv(args);
        EXPECT_EQ(r.exitCode, 1) << c.named;
        EXPECT_TRUE(oneErrorLine(r)) << r.err;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_EQ(readFile(path), original) << c.named;
    }
}

} // namespace
