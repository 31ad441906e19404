// The format run on real block devices: a loop device over an image file, formatted by the
// real mkfs.fat and checked with fsck.fat, the boot sector and mtools. A loop device is not
// USB, so the discovery here is the real lsblk output with that one device marked as a USB
// card; mounting goes through fusefat, since the kernel may lack vfat. Needs root.
#include "LoopCard.h"
#include "sdcard/FormatPlan.h"
#include "sdcard/FormatRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dcv;
using namespace dcv::test;

namespace {

std::string randomBytes(size_t n) {
    std::mt19937 gen(42);
    std::string s(n, '\0');
    for (char& c : s)
        c = char(gen());
    return s;
}

class FormatDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = loopDevicesUnavailable(); !why.empty())
            GTEST_SKIP() << why;
        fs::create_directories(tmp / "mnt");
        fs::create_directories(tmp / "save");
    }
    // A new loop card of `size` and a runner for it as root; false when no loop device is free.
    bool makeCard(uint64_t size, bool readOnly = false) {
        runner.reset();
        card.reset(); // detached before the next one is attached
        fs::remove(tmp / "card.img");
        card = std::make_unique<LoopCard>(tmp / "card.img", size, readOnly);
        if (!card->ok())
            return false;
        runner.emplace(*card, PrivilegeOptions{true, FAKE_PKEXEC_PATH});
        return true;
    }
    FormatOutcome format(bool whole, bool claimWritable = false) {
        const DiskDiscovery discovery([&] { return usbListing(*card, whole, claimWritable); });
        FormatHooks hooks;
        hooks.writeDefaultSettingsFile = [this](const std::string& path) {
            defaultWrites.push_back(path);
            return writeDefaultSettingsFile(path, fixedClock);
        };
        FormatOptions options;
        options.tempDir = (tmp / "save").string();
        options.useUdisks = false;
        options.fallbackMountDir = (tmp / "fallback").string();
        FormatRun run(*runner, discovery, hooks, options);
        return run.run(card->name(), [this](const std::string& s) { statuses.push_back(s); });
    }
    test::TempDir tmp;
    std::unique_ptr<LoopCard> card;
    std::optional<DeviceRunner> runner;
    std::vector<std::string> statuses, defaultWrites;
    const std::string settings = randomBytes(500);
    static LocalTime fixedClock() {
        LocalTime t;
        t.minute = 7;
        t.second = 9;
        return t;
    }
};

// The card's settings come back onto it through the real mount.
TEST_F(FormatDeviceTest, FormatsWholeMediaAndPutsConfigBack) {
    if (!makeCard(1200ull << 20))
        GTEST_SKIP() << "no free loop device";
    card->preformat({{"config.bin", settings}, {"DCIM/old.mp4", "old video"}}, tmp.path());
    ASSERT_TRUE(card->mount((tmp / "mnt").string())) << "fusefat cannot mount here";
    const FormatOutcome o = format(true);
    ASSERT_EQ(o.result, FormatResult::Completed) << o.detail << shellErrorMessage(o.error);
    EXPECT_EQ(statuses, (std::vector<std::string>{"unmount disk...", "formatting...", "try mount...",
                                                  "Format completed!"}));
    ASSERT_EQ(runner->calls.size(), 3u);
    EXPECT_EQ(runner->calls[1], formatCommand(card->name(), 32, true));
    EXPECT_EQ(o.diskAfter->volumeName(), "TELVO");
    EXPECT_TRUE(defaultWrites.empty());
    EXPECT_TRUE(fs::is_empty(tmp / "save"));

    // The restored file is readable through the mount, then on the bare device.
    EXPECT_EQ(test::readFile(tmp / "mnt" / "config.bin"), settings);
    ASSERT_TRUE(card->unmount());
    expectCameraLayout(card->dev(), 32);
    EXPECT_EQ(card->fileOnCard("config.bin"), settings);
    EXPECT_FALSE(card->fileOnCard("DCIM/old.mp4"));
}
TEST_F(FormatDeviceTest, BlankCardOnAPartitionGetsADefaultRecord) {
    // No file system yet: the mount to look for settings fails, mtools finds no FAT either,
    // nothing is saved, and the card is mounted at the fallback folder afterwards.
    if (!makeCard(1200ull << 20))
        GTEST_SKIP() << "no free loop device";
    const FormatOutcome o = format(false);
    ASSERT_EQ(o.result, FormatResult::Completed) << o.detail << shellErrorMessage(o.error);
    const std::vector<std::string> mount{"mount", card->dev(), (tmp / "fallback").string()};
    ASSERT_EQ(runner->calls.size(), 6u);
    EXPECT_EQ(runner->calls[0], mount);
    EXPECT_EQ(runner->calls[1].front(), "mcopy");
    EXPECT_EQ(runner->calls[4], formatCommand(card->name(), 32, false)); // no -I on a partition
    EXPECT_EQ(runner->calls[5], mount);
    EXPECT_EQ(defaultWrites, std::vector<std::string>{(tmp / "fallback" / "config.bin").string()});
    ASSERT_TRUE(card->unmount());
    expectCameraLayout(card->dev(), 32);
    const SettingsRecordBytes record = settingsRecordBytes(defaultSettingsRecord(fixedClock));
    EXPECT_EQ(card->fileOnCard("config.bin"), std::string(record.begin(), record.end()));
}

// A card that holds settings but cannot be mounted on this machine (nor after formatting:
// fusefat cannot handle 64 KB clusters anyway): the settings are copied off the FAT on the bare
// device before it is erased, kept, and written nowhere. Exactly 7 GiB: the first size with 128
// sectors per cluster.
TEST_F(FormatDeviceTest, LargeCardThatCannotBeMountedKeepsItsSettingsOffTheCard) {
    if (!makeCard(7ull << 30))
        GTEST_SKIP() << "no free loop device";
    card->preformat({{"config.bin", settings}}, tmp.path());
    runner->mountFails = true;
    const FormatOutcome o = format(true);
    EXPECT_EQ(o.result, FormatResult::NotFoundAfterFormat) << o.detail << " / " << shellErrorMessage(o.error);
    ASSERT_FALSE(o.savedConfigPath.empty());
    EXPECT_EQ(test::readFile(o.savedConfigPath), settings);
    ASSERT_EQ(runner->calls.size(), 4u);
    EXPECT_EQ(runner->calls[1], (std::vector<std::string>{"mcopy", "-n", "-i", card->dev(), "::/config.bin",
                                                          o.savedConfigPath}));
    EXPECT_EQ(runner->calls[2], formatCommand(card->name(), 128, true));
    expectCameraLayout(card->dev(), 128);
    EXPECT_FALSE(card->fileOnCard("config.bin"));
    EXPECT_FALSE(fs::exists(tmp / "fallback" / "config.bin"));
}

// mkfs.fat ends with 1 on any error: only a device the kernel holds read-only (here one the
// listing claims writable) is called write-protected, not one too small for FAT32.
TEST_F(FormatDeviceTest, StatusOneReadsAsWriteProtectedOnlyOnAReadOnlyDevice) {
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly);
        if (!makeCard(readOnly ? 1200ull << 20 : 20 << 10, readOnly))
            GTEST_SKIP() << "no free loop device";
        const FormatOutcome o = format(true, /*claimWritable=*/true);
        EXPECT_EQ(o.result, readOnly ? FormatResult::WriteProtected : FormatResult::CannotFormat) << o.detail;
        EXPECT_EQ(shellErrorNumber(o.error), 1);
        EXPECT_NE(shellErrorMessage(o.error).find("mkfs.fat"), std::string::npos) << shellErrorMessage(o.error);
    }
}

} // namespace
