// The format run against a scripted machine (FakeMachine.h); the real tools run in
// FormatDeviceTest.
#include "sdcard/FormatRun.h"
#include "FakeMachine.h"
#include "sdcard/FormatPlan.h"
#include "support/TestSupport.h"
#include "util/SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace dcv;
using dcv::test::FakeCard;
using dcv::test::FakeMachine;

namespace {

TEST(FormatPlanTest, DeviceNames) {
    for (const char* ok : {"sdb1", "sdb", "mmcblk0p1", "loop7", "nvme0n1p2"})
        EXPECT_TRUE(isValidDeviceName(ok)) << ok;
    for (const char* bad : {"", "SDB1", "sdb1 ", "-sdb", "../sda", "/dev/sdb", "sd b", "sdb;true", "sdb1\n",
                            "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"})
        EXPECT_FALSE(isValidDeviceName(bad)) << bad;
}

TEST(FormatPlanTest, ClusterSizeBySize) {
    const struct {
        uint64_t bytes;
        int64_t sectors;
    } cases[] = {{(7ull << 30) - 1, 32}, {7ull << 30, 128}, {0, 32}, {UINT64_MAX, 128}};
    for (const auto& c : cases)
        EXPECT_EQ(clusterSizeByVolumeSizeInKB(c.bytes), c.sectors) << c.bytes;
}

TEST(FormatPlanTest, Commands) {
    using V = std::vector<std::string>;
    EXPECT_EQ(formatCommand("sdb1", 128, false), (V{"mkfs.fat", "-F", "32", "-n", "TELVO", "-f", "2", "-b",
                                                    "6", "-R", "32", "-s", "128", "-a", "/dev/sdb1"}));
    EXPECT_EQ(formatCommand("sdc", 32, true), (V{"mkfs.fat", "-F", "32", "-n", "TELVO", "-f", "2", "-b", "6",
                                                 "-R", "32", "-s", "32", "-a", "-I", "/dev/sdc"}));
    EXPECT_EQ(unmountCommand("sdb1", true),
              (V{"udisksctl", "unmount", "--no-user-interaction", "-b", "/dev/sdb1"}));
    EXPECT_EQ(mountCommand("sdb1", true, "/ignored"),
              (V{"udisksctl", "mount", "--no-user-interaction", "-b", "/dev/sdb1"}));
}

class FormatRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tmp / "save");
        addCard("sdb1", false, 16000000000);
    }
    FakeCard& addCard(const std::string& dev, bool whole, uint64_t size, bool mounted = true) {
        return machine.addCard(tmp.path(), dev, whole, size, mounted);
    }
    FormatOutcome run(const std::string& dev) {
        const DiskDiscovery discovery([this] { return std::optional<std::string>(machine.lsblk()); });
        FormatHooks hooks;
        hooks.writeDefaultSettingsFile = [this](const std::string& path) -> std::optional<std::string> {
            defaultWrites.push_back(path);
            if (defaultError)
                return defaultError;
            const auto failure = safeWriteFile(path, std::string(500, 'D'));
            return failure ? std::optional<std::string>(failure->detail) : std::nullopt;
        };
        hooks.writeFile = [this](const std::string& path, std::string_view bytes) -> std::optional<Failure> {
            if (path.rfind(failWritesUnder, 0) == 0 && !failWritesUnder.empty())
                return Failure::io(path, ENOSPC);
            return safeWriteFile(path, bytes);
        };
        FormatOptions options;
        options.tempDir = saveDir;
        options.useUdisks = false;
        options.fallbackMountDir = (tmp / "fallback").string();
        options.deviceReadable = [](const std::string&) { return false; };
        options.deviceReadOnly = [this](const std::string& dev) { return machine.deviceReadOnly(dev); };
        FormatRun formatRun(machine, discovery, hooks, options);
        return formatRun.run(
            dev, [this](const std::string& s) { statuses.push_back(s); }, unkept);
    }
    fs::path configOn(const std::string& dev) { return machine.card(dev)->storage / "config.bin"; }
    // The alert for an outcome, with message keys left as they are.
    static AlertTexts alertOf(const FormatOutcome& o) {
        return formatAlertTexts(o, [](const char* k) { return std::string(k); });
    }

    test::TempDir tmp;
    std::string saveDir = (tmp / "save").string();
    FakeMachine machine;
    std::vector<std::string> statuses, defaultWrites;
    std::optional<std::string> defaultError;
    std::string failWritesUnder;
    UnkeptSettings unkept = UnkeptSettings::Stop;
    const std::string settings = std::string("\x26\x57\0\0", 4) + std::string(496, 'S');
};

TEST_F(FormatRunTest, KeepsTheCardsSettings) {
    const std::string mount = machine.cards[0].mount;
    tmp.write("card-sdb1/config.bin", settings);
    tmp.write("card-sdb1/DCIM/alwa_20240305_140709_F.MP4", "video");
    const FormatOutcome o = run("sdb1");
    ASSERT_EQ(o.result, FormatResult::Completed) << o.detail;
    EXPECT_EQ(statuses, (std::vector<std::string>{"unmount disk...", "formatting...", "try mount...",
                                                  "Format completed!"}));
    std::vector<std::pair<std::vector<std::string>, bool>> ran; // as administrator or not
    for (const auto& c : machine.calls)
        ran.emplace_back(c.argv, c.administrator);
    EXPECT_EQ(ran, (decltype(ran){{{"umount", "/dev/sdb1"}, false},
                                  {formatCommand("sdb1", 128, false), true},
                                  {{"mount", "/dev/sdb1", mount}, false}}));
    EXPECT_EQ(test::readFile(configOn("sdb1")), settings);
    EXPECT_FALSE(fs::exists(machine.card("sdb1")->storage / "DCIM"));
    EXPECT_TRUE(defaultWrites.empty());
    // The copy off the card is gone once it is back.
    EXPECT_TRUE(fs::is_empty(saveDir));
    EXPECT_TRUE(o.savedConfigPath.empty());
}

// A card that is not mounted is mounted to look for settings first, then run as a mounted one:
// its settings are kept, or it gets a default record.
TEST_F(FormatRunTest, UnmountedCardIsMountedToLookForSettings) {
    for (const bool withSettings : {false, true}) {
        SCOPED_TRACE(withSettings);
        machine.cards.clear();
        machine.calls.clear();
        defaultWrites.clear();
        addCard("sdc", true, 4000000000, false); // a whole-media card
        if (withSettings)
            tmp.write("card-sdc/config.bin", settings);
        const FormatOutcome o = run("sdc");
        ASSERT_EQ(o.result, FormatResult::Completed) << o.detail;
        EXPECT_EQ(machine.programs(), (std::vector<std::string>{"mount", "umount", "mkfs.fat", "mount"}));
        EXPECT_EQ(machine.calls[0].argv,
                  (std::vector<std::string>{"mount", "/dev/sdc", (tmp / "fallback").string()}));
        EXPECT_EQ(machine.calls[2].argv, formatCommand("sdc", 32, true));
        EXPECT_EQ(defaultWrites.size(), withSettings ? 0u : 1u);
        EXPECT_EQ(test::readFile(configOn("sdc")), withSettings ? settings : std::string(500, 'D'));
    }
}

// A card that cannot be mounted is looked at with mtools on the bare device (as administrator:
// the device is not readable by the user): settings are copied off it before anything is erased
// and kept while it does not come back; a card without them, blank or foreign, has nothing to keep.
TEST_F(FormatRunTest, CardThatCannotBeMountedIsReadWithMtools) {
    using V = std::vector<std::string>;
    const V searched{"mount", "mcopy", "mdir", "mdir", "mkfs.fat", "mount"}; // for settings, finding none
    const struct {
        const char* name;
        std::string fsType;
        bool fatReadable, withSettings;
        V programs;
    } cases[] = {
        {"FAT with settings", "vfat", true, true, {"mount", "mcopy", "mkfs.fat", "mount"}},
        {"FAT without settings", "vfat", true, false, searched},
        {"unknown to lsblk, FAT to mtools", "", true, false, searched},
        {"blank: mtools finds nothing", "", false, false, searched},
        {"no camera card file system", "ext4", false, false, {"mount", "mkfs.fat", "mount"}},
    };
    machine.mountWorks = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine.cards.clear();
        machine.calls.clear();
        FakeCard& card = addCard("sdb1", false, 16000000000, false);
        card.fsType = c.fsType;
        card.fatReadable = c.fatReadable;
        if (c.withSettings)
            tmp.write("card-sdb1/config.bin", settings);
        const FormatOutcome o = run("sdb1");
        EXPECT_EQ(o.result, FormatResult::NotFoundAfterFormat) << o.detail;
        EXPECT_EQ(machine.programs(), c.programs);
        EXPECT_TRUE(machine.calls[1].administrator);
        EXPECT_TRUE(defaultWrites.empty()) << "not mounted again: nowhere to write";
        if (c.withSettings) {
            ASSERT_FALSE(o.savedConfigPath.empty());
            EXPECT_EQ(machine.calls[1].argv,
                      (V{"mcopy", "-n", "-i", "/dev/sdb1", "::/config.bin", o.savedConfigPath}));
            EXPECT_EQ(test::readFile(o.savedConfigPath), settings);
            fs::remove_all(fs::path(o.savedConfigPath).parent_path()); // for the next case
        }
        EXPECT_TRUE(fs::is_empty(saveDir));
    }
}

TEST_F(FormatRunTest, CardWhoseFilesCannotBeReadIsNotErased) {
    machine.cards[0].mount.clear();
    machine.mountWorks = false;
    machine.cards[0].fatReadable = false;
    tmp.write("card-sdb1/config.bin", settings);
    FormatOutcome o = run("sdb1");
    EXPECT_EQ(o.result, FormatResult::SettingsUnreadable);
    EXPECT_EQ(machine.programs(), (std::vector<std::string>{"mount", "mcopy", "mdir", "mdir"}));
    EXPECT_TRUE(statuses.empty());
    EXPECT_EQ(test::readFile(configOn("sdb1")), settings);
    EXPECT_TRUE(fs::is_empty(saveDir));
    const AlertTexts alert = alertOf(o);
    EXPECT_EQ(alert.messageText, "msg.cannot_format");
    EXPECT_NE(alert.informativeText.find("cannot be read"), std::string::npos) << alert.informativeText;

    // The user gives the settings up: formatted, and a default record once it is mounted.
    machine.mountWorks = true;
    unkept = UnkeptSettings::GiveUp;
    // The mount to look works this time but the file cannot be read: also given up.
    fs::remove(configOn("sdb1"));
    fs::create_directory(configOn("sdb1"));
    o = run("sdb1");
    EXPECT_EQ(o.result, FormatResult::Completed) << o.detail;
    EXPECT_TRUE(o.settingsGivenUp);
    EXPECT_EQ(defaultWrites, std::vector<std::string>{configOn("sdb1").string()});
}

TEST_F(FormatRunTest, RefusesBeforeAnyCommand) {
    addCard("sdd1", false, 8000000000).readOnly = true;
    addCard("sde1", false, 8000000000).usb = false;  // SATA
    addCard("sdh1", false, 64000000000).mount = "/"; // a USB disk the system runs from
    const struct {
        const char* dev;
        FormatResult result;
    } cases[] = {{"", FormatResult::InvalidDeviceName}, {"../sdb1", FormatResult::InvalidDeviceName},
                 {"sdz9", FormatResult::NotUsbDisk},    {"sde1", FormatResult::NotUsbDisk},
                 {"sdh1", FormatResult::NotUsbDisk},    {"sdd1", FormatResult::WriteProtected}};
    for (const auto& c : cases) {
        const FormatOutcome o = run(c.dev);
        EXPECT_EQ(o.result, c.result) << c.dev;
        EXPECT_TRUE(machine.calls.empty()) << c.dev;
        EXPECT_TRUE(statuses.empty()) << c.dev;
    }
}

TEST_F(FormatRunTest, SettingsThatCannotBeSavedStopTheRun) {
    tmp.write("card-sdb1/config.bin", settings);
    saveDir = tmp.write("not-a-folder", "x").string(); // mkdtemp fails under a file
    const FormatOutcome o = run("sdb1");
    EXPECT_EQ(o.result, FormatResult::ConfigSaveFailed);
    EXPECT_FALSE(o.settingsGivenUp);
    EXPECT_NE(o.detail.find("Not a directory"), std::string::npos) << o.detail;
    EXPECT_TRUE(machine.calls.empty());
    EXPECT_EQ(test::readFile(configOn("sdb1")), settings);
    const AlertTexts alert = alertOf(o);
    EXPECT_EQ(alert.messageText, "msg.cannot_format");
    EXPECT_EQ(alert.informativeText.rfind("[15 GB] NO NAME <Reader>\nconfig.bin copy fail: ", 0), 0u);

    // The copy itself failing is the same stop.
    saveDir = (tmp / "save").string();
    failWritesUnder = saveDir;
    EXPECT_EQ(run("sdb1").result, FormatResult::ConfigSaveFailed);
    EXPECT_TRUE(machine.calls.empty());
    EXPECT_TRUE(fs::is_empty(saveDir));
}

TEST_F(FormatRunTest, DeviceIsCheckedAgainRightBeforeFormatting) {
    const struct {
        const char* name;
        std::function<void(FakeMachine&)> change;
        FormatResult result;
    } cases[] = {
        {"card pulled", [](FakeMachine& m) { m.cards.clear(); }, FormatResult::NotUsbDisk},
        {"another card took the name", [](FakeMachine& m) { m.cards[0].size = 2000000000; },
         FormatResult::NotUsbDisk},
        {"no longer USB", [](FakeMachine& m) { m.cards[0].usb = false; }, FormatResult::NotUsbDisk},
        {"locked", [](FakeMachine& m) { m.cards[0].readOnly = true; }, FormatResult::WriteProtected},
        // The unmount failed, or someone mounted it again.
        {"still mounted", [](FakeMachine& m) { m.cards[0].mount = "/media/x"; }, FormatResult::CannotFormat},
    };
    for (const auto& c : cases) {
        machine.cards.clear();
        machine.calls.clear();
        addCard("sdb1", false, 16000000000);
        tmp.write("card-sdb1/config.bin", settings);
        machine.afterUnmount = [&] { c.change(machine); };
        const FormatOutcome o = run("sdb1");
        EXPECT_EQ(o.result, c.result) << c.name;
        EXPECT_EQ(machine.programs(), std::vector<std::string>{"umount"}) << c.name;
        if (c.result == FormatResult::CannotFormat) {
            EXPECT_EQ(shellErrorMessage(o.error), "/dev/sdb1 is still mounted at /media/x");
        }
        // Nothing was erased, so no copy of the settings is left behind.
        EXPECT_TRUE(o.savedConfigPath.empty()) << c.name;
        EXPECT_TRUE(fs::is_empty(saveDir)) << c.name;
    }
}

// Status 1 is what mkfs.fat ends with on any error: only a device the kernel holds read-only
// is called write-protected.
TEST_F(FormatRunTest, FormatFailuresRemountAndReport) {
    const struct {
        ShellErrorDictionary error;
        bool locked;
        FormatResult result;
        const char* informative; // after the card's line
        bool ran;                // the command ran and may have erased part of the card: the copy is kept
    } cases[] = {
        {shellErrorForExit(1, "mkfs.fat: unable to open /dev/sdb1: Read-only file system"), true,
         FormatResult::WriteProtected, "msg.write_protected_disk", true},
        {shellErrorForExit(1, "mkfs.fat: /dev/sdb1 contains a mounted filesystem."), false,
         FormatResult::CannotFormat, "Error:mkfs.fat: /dev/sdb1 contains a mounted filesystem.", true},
        {shellErrorForExit(126, "Error executing command as another user: Request dismissed\n"), false,
         FormatResult::CannotFormat, "Error:Error executing command as another user: Request dismissed",
         false},
        {shellErrorForExit(2, "mkfs.fat: seek failed: Input/output error"), true, FormatResult::CannotFormat,
         "Error:mkfs.fat: seek failed: Input/output error", true},
    };
    tmp.write("card-sdb1/config.bin", settings);
    for (const auto& c : cases) {
        machine.calls.clear();
        statuses.clear();
        machine.formatError = c.error;
        machine.cards[0].lockedLater = c.locked;
        const FormatOutcome o = run("sdb1");
        EXPECT_EQ(o.result, c.result);
        EXPECT_EQ(machine.programs(), (std::vector<std::string>{"umount", "mkfs.fat", "mount"}));
        EXPECT_EQ(statuses, (std::vector<std::string>{"unmount disk...", "formatting..."}));
        ASSERT_TRUE(o.diskAfter); // remounted, so the window can select it again
        EXPECT_TRUE(o.diskAfter->isMounted());
        const std::string saved = c.ran ? "\n(config.bin is saved at " + o.savedConfigPath + ")" : "";
        EXPECT_EQ(alertOf(o).informativeText,
                  std::string("[15 GB] NO NAME <Reader>\n") + c.informative + saved);
        EXPECT_EQ(o.savedConfigPath.empty(), !c.ran);
        if (c.ran) {
            EXPECT_EQ(test::readFile(o.savedConfigPath), settings);
        }
        EXPECT_EQ(test::readFile(configOn("sdb1")), settings);
    }
}

// After formatting the settings go back only onto the card that was formatted: one that is not
// mounted again, or another card that got its name (told by size and whole/partition, as
// before erasing), receives nothing, and neither does a full one; the saved copy is kept and named.
TEST_F(FormatRunTest, NothingIsWrittenWhenTheCardDoesNotComeBack) {
    // A card of other marks in the formatted card's place, under its name.
    const auto swapIn = [this](bool whole, uint64_t size) {
        return [this, whole, size] {
            FakeCard& c = *machine.card("sdb1");
            c.whole = whole;
            c.size = size;
            c.storage = tmp / "swapped-in";
            fs::create_directories(c.storage);
        };
    };
    const struct {
        const char* name;
        bool mountWorks;
        std::function<void()> afterFormat;
        FormatResult result;
        const char* detail;
    } cases[] = {
        {"not mounted again", false, nullptr, FormatResult::NotFoundAfterFormat,
         "sdb1 was formatted but is not mounted"},
        {"another size", true, swapIn(false, 2000000000), FormatResult::NotFoundAfterFormat,
         "sdb1 is no longer the card that was formatted"},
        {"a whole disk now", true, swapIn(true, 16000000000), FormatResult::NotFoundAfterFormat,
         "sdb1 is no longer the card that was formatted"},
        {"full", true, [this] { failWritesUnder = (tmp / "card-sdb1").string(); },
         FormatResult::ConfigRestoreFailed, "No space left on device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine.cards.clear();
        failWritesUnder.clear();
        addCard("sdb1", false, 16000000000);
        const fs::path otherStorage = addCard("sdf1", false, 16000000000).storage; // another mounted USB disk
        tmp.write("card-sdb1/config.bin", settings);
        machine.mountWorks = c.mountWorks;
        machine.afterFormat = c.afterFormat;
        const FormatOutcome o = run("sdb1");
        EXPECT_EQ(o.result, c.result);
        EXPECT_NE(o.detail.find(c.detail), std::string::npos) << o.detail;
        for (const fs::path& place : {tmp / "card-sdb1", otherStorage, tmp / "swapped-in", tmp / "fallback"})
            EXPECT_FALSE(fs::exists(place / "config.bin")) << place;
        EXPECT_TRUE(defaultWrites.empty());
        ASSERT_FALSE(o.savedConfigPath.empty());
        EXPECT_EQ(test::readFile(o.savedConfigPath), settings);
        const AlertTexts alert = alertOf(o);
        EXPECT_EQ(alert.messageText, "config.bin copy fail");
        EXPECT_NE(alert.informativeText.find(o.savedConfigPath), std::string::npos);
    }
}

TEST_F(FormatRunTest, DefaultRecordThatCannotBeWrittenIsReported) {
    defaultError = "msg.file_open_fail";
    const FormatOutcome o = run("sdb1");
    EXPECT_EQ(o.result, FormatResult::ConfigRestoreFailed);
    EXPECT_EQ(alertOf(o).informativeText, "msg.file_open_fail");
}

} // namespace
