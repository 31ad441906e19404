// The format run on real block devices: a loop device over an image file, formatted by the
// real mkfs.fat and checked with fsck.fat, the boot sector and mtools. A loop device is not
// USB, so the discovery here is the real lsblk output with that one device marked as a USB
// card; mounting goes through fusefat, since the kernel may lack vfat. Needs root.
#include "sdcard/FormatPlan.h"
#include "sdcard/FormatRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace dcv;
using dcv::test::runProcess;

namespace {

std::string missingTool() {
    for (const char* tool : {"losetup", "mkfs.fat", "fsck.fat", "lsblk", "blkid", "mcopy", "mdir", "mtype",
                             "mmd", "fusefat", "fusermount"})
        if (!findExecutable(tool))
            return tool;
    return {};
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

class LoopCard {
public:
    // Attaches the image, first making it `size` bytes of zeros unless it is there already.
    LoopCard(const fs::path& image, uint64_t size, bool readOnly) {
        if (!fs::exists(image)) {
            { std::ofstream(image.string()); }
            fs::resize_file(image, size);
        }
        std::vector<std::string> argv{"losetup", "-f", "--show"};
        if (readOnly)
            argv.push_back("-r");
        argv.push_back(image.string());
        const auto r = runProcess(argv);
        if (r.exitCode == 0)
            m_dev = trimmed(r.out);
    }
    ~LoopCard() {
        unmount();
        if (!m_dev.empty())
            runProcess({"losetup", "-d", m_dev});
    }
    bool ok() const { return !m_dev.empty(); }
    const std::string& dev() const { return m_dev; }
    std::string name() const { return m_dev.substr(5); }
    const std::string& mountDir() const { return m_mountDir; }

    bool mount(const std::string& dir) {
        if (runProcess({"fusefat", "-o", "rw+", m_dev, dir}).exitCode != 0)
            return false;
        m_mountDir = dir;
        return true;
    }
    bool unmount() {
        if (m_mountDir.empty())
            return false;
        const bool ok = runProcess({"fusermount", "-u", m_mountDir}).exitCode == 0;
        if (ok)
            m_mountDir.clear();
        // fusermount returns before the fusefat daemon has written its last sectors (it clears
        // the dirty bit on the way out): wait for the daemon to end before reading the device.
        for (int i = 0; ok && i < 500; ++i) {
            if (runProcess({"pgrep", "-f", "^fusefat -o rw\\+ " + m_dev + " "}).exitCode != 0)
                break;
            ::usleep(10000);
        }
        return ok;
    }
    // A card as it comes from elsewhere: some other FAT layout with files on it.
    void preformat(const std::map<std::string, std::string>& files, const fs::path& scratch) {
        ASSERT_EQ(runProcess({"mkfs.fat", "-F", "32", "-n", "OLDCARD", "-s", "8", "-I", m_dev}).exitCode, 0);
        for (const auto& [name, bytes] : files) {
            const fs::path src = scratch / "upload";
            std::ofstream(src, std::ios::binary) << bytes;
            if (name.find('/') != std::string::npos) {
                ASSERT_EQ(runProcess({"mmd", "-i", m_dev, "::" + name.substr(0, name.find('/'))}).exitCode,
                          0);
            }
            ASSERT_EQ(runProcess({"mcopy", "-i", m_dev, src.string(), "::" + name}).exitCode, 0) << name;
        }
    }
    std::optional<std::string> fileOnCard(const std::string& name) const {
        const auto r = runProcess({"mtype", "-i", m_dev, "::" + name});
        return r.exitCode == 0 ? std::optional<std::string>(r.out) : std::nullopt;
    }

private:
    std::string m_dev, m_mountDir;
};

struct BootSector {
    uint16_t bytesPerSector = 0, reservedSectors = 0, rootEntries = 0, fat16Size = 0, backupBootSector = 0,
             signature = 0;
    uint8_t sectorsPerCluster = 0, fats = 0;
    uint32_t fat32Size = 0;
    std::string label, fsType;
};

BootSector readBootSector(const std::string& dev) {
    uint8_t b[512] = {};
    const int fd = ::open(dev.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::pread(fd, b, sizeof b, 0), 512);
    ::close(fd);
    auto u16 = [&](int o) { return uint16_t(b[o] | b[o + 1] << 8); };
    BootSector s;
    s.bytesPerSector = u16(11);
    s.sectorsPerCluster = b[13];
    s.reservedSectors = u16(14);
    s.fats = b[16];
    s.rootEntries = u16(17);
    s.fat16Size = u16(22);
    s.fat32Size = uint32_t(u16(36)) | uint32_t(u16(38)) << 16;
    s.backupBootSector = u16(50);
    s.label.assign(reinterpret_cast<char*>(b + 71), 11);
    s.fsType.assign(reinterpret_cast<char*>(b + 82), 8);
    s.signature = u16(510);
    return s;
}

// Plays the engine's mount commands on the loop card with fusefat; everything else is real.
class DeviceRunner : public CommandRunner {
public:
    DeviceRunner(LoopCard& card, PrivilegeOptions privileges)
        : m_card(card), m_inner(std::move(privileges)) {}
    std::vector<std::vector<std::string>> calls;
    bool mountFails = false;

    ShellErrorDictionary runShellScript(const std::vector<std::string>& argv, bool administrator) override {
        calls.push_back(argv);
        if (argv.size() == 2 && argv[0] == "umount" && argv[1] == m_card.dev())
            return m_card.unmount() ? ShellErrorDictionary{} : shellErrorForExit(32, "umount: not mounted");
        if (argv.size() == 3 && argv[0] == "mount" && argv[1] == m_card.dev())
            return !mountFails && m_card.mount(argv[2]) ? ShellErrorDictionary{}
                                                        : shellErrorForExit(32, "mount: failed");
        return m_inner.runShellScript(argv, administrator);
    }
    std::optional<std::string> readCommandOutput(const std::vector<std::string>& argv) override {
        return m_inner.readCommandOutput(argv);
    }

private:
    LoopCard& m_card;
    SpawnCommandRunner m_inner;
};

// The real lsblk listing, with the loop card shown as a USB card (partition or whole media).
std::optional<std::string> usbListing(const LoopCard& card, bool whole, bool claimWritable) {
    const auto out = SpawnCommandRunner().readCommandOutput(lsblkArguments());
    if (!out)
        return std::nullopt;
    auto doc = nlohmann::json::parse(*out, nullptr, false);
    if (doc.is_discarded())
        return std::nullopt;
    nlohmann::json& devices = doc["blockdevices"];
    for (auto& d : devices) {
        if (d.value("kname", "") != card.name())
            continue;
        d["type"] = whole ? "disk" : "part";
        d["rm"] = true;
        const auto label = trimmed(runProcess({"blkid", "-p", "-o", "value", "-s", "LABEL", card.dev()}).out);
        d["label"] = label.empty() ? nlohmann::json() : nlohmann::json(label);
        d["mountpoint"] = card.mountDir().empty() ? nlohmann::json() : nlohmann::json(card.mountDir());
        if (claimWritable)
            d["ro"] = false;
        if (whole) {
            d["tran"] = "usb";
            d["model"] = "Loop Reader";
        } else {
            d = nlohmann::json{{"kname", "disk" + card.name()},
                               {"type", "disk"},
                               {"tran", "usb"},
                               {"rm", true},
                               {"size", d["size"]},
                               {"model", "Loop Reader"},
                               {"children", {d}}};
        }
    }
    return doc.dump();
}

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
        if (::geteuid() != 0)
            GTEST_SKIP() << "formatting a loop device needs root";
        if (!fs::exists("/dev/loop-control"))
            GTEST_SKIP() << "no loop devices on this machine";
        if (const auto tool = missingTool(); !tool.empty())
            GTEST_SKIP() << tool << " is not installed (scripts/setup-deps installs it)";
        fs::create_directories(tmp / "mnt");
        fs::create_directories(tmp / "save");
    }
    std::unique_ptr<LoopCard> makeCard(uint64_t size, bool readOnly = false) {
        auto card = std::make_unique<LoopCard>(tmp / "card.img", size, readOnly);
        if (!card->ok())
            return nullptr;
        return card;
    }
    FormatOutcome format(LoopCard& card, DeviceRunner& runner, bool whole, bool claimWritable = false) {
        const DiskDiscovery discovery([&] { return usbListing(card, whole, claimWritable); });
        FormatHooks hooks;
        hooks.writeDefaultSettingsFile = [this](const std::string& path) {
            defaultWrites.push_back(path);
            return writeDefaultSettingsFile(path, fixedClock);
        };
        FormatOptions options;
        options.tempDir = (tmp / "save").string();
        options.useUdisks = false;
        options.fallbackMountDir = (tmp / "fallback").string();
        FormatRun run(runner, discovery, hooks, options);
        return run.run(card.name(), [this](const std::string& s) { statuses.push_back(s); });
    }
    static void expectCameraLayout(const std::string& dev, int sectorsPerCluster) {
        const auto fsck = runProcess({"fsck.fat", "-n", dev});
        EXPECT_EQ(fsck.exitCode, 0) << fsck.out << fsck.err;
        const BootSector b = readBootSector(dev);
        EXPECT_EQ(b.fsType, "FAT32   ");
        EXPECT_EQ(b.label, "TELVO      ");
        EXPECT_EQ(b.fats, 2);
        EXPECT_EQ(b.backupBootSector, 6);
        EXPECT_EQ(b.reservedSectors, 32);
        EXPECT_EQ(b.sectorsPerCluster, sectorsPerCluster);
        EXPECT_EQ(b.bytesPerSector, 512);
        EXPECT_EQ(b.rootEntries, 0); // FAT32: no fixed root folder, FAT size in the 32-bit field
        EXPECT_EQ(b.fat16Size, 0);
        EXPECT_GT(b.fat32Size, 0u);
        EXPECT_EQ(b.signature, 0xAA55);
        // The backup boot sector at 6 is a copy of the first.
        uint8_t first[90], backup[90];
        const int fd = ::open(dev.c_str(), O_RDONLY);
        ASSERT_EQ(::pread(fd, first, sizeof first, 0), ssize_t(sizeof first));
        ASSERT_EQ(::pread(fd, backup, sizeof backup, 6 * 512), ssize_t(sizeof backup));
        ::close(fd);
        EXPECT_EQ(0, std::memcmp(first, backup, sizeof first));
        // The volume label in the root folder (what file managers show) is TELVO too.
        const auto mdir = runProcess({"mdir", "-i", dev, "::"});
        EXPECT_NE(mdir.out.find("Volume in drive : is TELVO"), std::string::npos) << mdir.out;
    }

    test::TempDir tmp;
    std::vector<std::string> statuses, defaultWrites;
    const std::string settings = randomBytes(500);
    static LocalTime fixedClock() {
        LocalTime t;
        t.minute = 7;
        t.second = 9;
        return t;
    }
    static std::string defaultRecord() {
        const SettingsRecordBytes bytes = settingsRecordBytes(defaultSettingsRecord(fixedClock));
        return std::string(bytes.begin(), bytes.end());
    }
};

struct Privilege {
    const char* name;
    bool viaPkexec; // as a user whose pkexec authorises the command
};

void PrintTo(const Privilege& p, std::ostream* os) {
    *os << p.name;
}

class FormatDeviceKeepsSettings : public FormatDeviceTest, public ::testing::WithParamInterface<Privilege> {};

TEST_P(FormatDeviceKeepsSettings, FormatsWholeMediaAndPutsConfigBack) {
    auto card = makeCard(1200ull << 20);
    if (!card)
        GTEST_SKIP() << "no free loop device";
    card->preformat({{"config.bin", settings}, {"DCIM/old.mp4", "old video"}}, tmp.path());
    ASSERT_TRUE(card->mount((tmp / "mnt").string())) << "fusefat cannot mount here";

    PrivilegeOptions privileges{true, FAKE_PKEXEC_PATH};
    const std::string log = (tmp / "pkexec.log").string();
    if (GetParam().viaPkexec) {
        privileges.isRoot = false;
        ::setenv("FAKE_PKEXEC_EXIT", "exec", 1);
        ::setenv("FAKE_PKEXEC_LOG", log.c_str(), 1);
    }
    DeviceRunner runner(*card, privileges);
    const FormatOutcome o = format(*card, runner, true);
    ::unsetenv("FAKE_PKEXEC_EXIT");
    ::unsetenv("FAKE_PKEXEC_LOG");

    ASSERT_EQ(o.result, FormatResult::Completed) << o.detail << shellErrorMessage(o.error);
    EXPECT_EQ(statuses, (std::vector<std::string>{"unmount disk...", "formatting...", "try mount...",
                                                  "Format completed!"}));
    ASSERT_EQ(runner.calls.size(), 3u);
    EXPECT_EQ(runner.calls[1], formatCommand(card->name(), 32, true));
    if (GetParam().viaPkexec) { // pkexec got the full path of mkfs.fat and the same arguments
        EXPECT_EQ(test::readFile(log).substr(0, test::readFile(log).find('\n')), *findExecutable("mkfs.fat"));
    }
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

INSTANTIATE_TEST_SUITE_P(Privileges, FormatDeviceKeepsSettings,
                         ::testing::Values(Privilege{"root", false}, Privilege{"pkexec", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormatDeviceTest, BlankCardOnAPartitionGetsADefaultRecord) {
    // No file system yet: the mount to look for settings fails, nothing is saved, and the card
    // is mounted at the fallback folder afterwards.
    auto card = makeCard(1200ull << 20);
    if (!card)
        GTEST_SKIP() << "no free loop device";
    DeviceRunner runner(*card, PrivilegeOptions{true, FAKE_PKEXEC_PATH});
    const FormatOutcome o = format(*card, runner, false);
    ASSERT_EQ(o.result, FormatResult::Completed) << o.detail << shellErrorMessage(o.error);
    const std::vector<std::string> mount{"mount", card->dev(), (tmp / "fallback").string()};
    ASSERT_EQ(runner.calls.size(), 3u);
    EXPECT_EQ(runner.calls[0], mount);
    EXPECT_EQ(runner.calls[1], formatCommand(card->name(), 32, false)); // no -I on a partition
    EXPECT_EQ(runner.calls[2], mount);
    EXPECT_EQ(defaultWrites, std::vector<std::string>{(tmp / "fallback" / "config.bin").string()});
    ASSERT_TRUE(card->unmount());
    expectCameraLayout(card->dev(), 32);
    EXPECT_EQ(card->fileOnCard("config.bin"), defaultRecord());
}

TEST_F(FormatDeviceTest, LargeCardGetsBigClustersAndNothingIsWrittenWhenItDoesNotComeBack) {
    // Exactly 7 GiB: the first size with 128 sectors per cluster. Its mount fails afterwards
    // (fusefat cannot handle 64 KB clusters anyway), so config.bin must be written nowhere.
    auto card = makeCard(7ull << 30);
    if (!card)
        GTEST_SKIP() << "no free loop device";
    card->preformat({{"config.bin", settings}}, tmp.path());
    ASSERT_TRUE(card->mount((tmp / "mnt").string())) << "fusefat cannot mount here";
    DeviceRunner runner(*card, PrivilegeOptions{true, FAKE_PKEXEC_PATH});
    runner.mountFails = true;
    const FormatOutcome o = format(*card, runner, true);
    EXPECT_EQ(o.result, FormatResult::NotFoundAfterFormat) << o.detail << " / " << shellErrorMessage(o.error);
    EXPECT_EQ(runner.calls.at(1), formatCommand(card->name(), 128, true));
    expectCameraLayout(card->dev(), 128);
    EXPECT_FALSE(card->fileOnCard("config.bin"));
    EXPECT_TRUE(defaultWrites.empty());
    EXPECT_FALSE(fs::exists(tmp / "fallback" / "config.bin"));
    EXPECT_FALSE(fs::exists(tmp / "mnt" / "config.bin"));
    ASSERT_FALSE(o.savedConfigPath.empty());
    EXPECT_EQ(test::readFile(o.savedConfigPath), settings);
}

TEST_F(FormatDeviceTest, FormatCommandFailingWithStatusOneReadsAsWriteProtected) {
    // The device is read-only but the listing claims otherwise: mkfs.fat itself fails.
    auto card = makeCard(1200ull << 20);
    if (!card)
        GTEST_SKIP() << "no free loop device";
    card->preformat({{"config.bin", settings}}, tmp.path());
    runProcess({"losetup", "-d", card->dev()});
    card.reset();
    auto locked = std::make_unique<LoopCard>(tmp / "card.img", 1200ull << 20, true);
    ASSERT_TRUE(locked->ok());
    DeviceRunner runner(*locked, PrivilegeOptions{true, FAKE_PKEXEC_PATH});
    const FormatOutcome o = format(*locked, runner, true, /*claimWritable=*/true);
    EXPECT_EQ(o.result, FormatResult::WriteProtected) << o.detail << " / " << shellErrorMessage(o.error);
    EXPECT_EQ(shellErrorNumber(o.error), 1);
    EXPECT_NE(shellErrorMessage(o.error).find("mkfs.fat"), std::string::npos) << shellErrorMessage(o.error);
    EXPECT_EQ(readBootSector(locked->dev()).label, "OLDCARD    ");
    EXPECT_EQ(locked->fileOnCard("config.bin"), settings);
}

TEST_F(FormatDeviceTest, LockedCardIsNotTouched) {
    auto card = makeCard(1200ull << 20, /*readOnly=*/true);
    if (!card)
        GTEST_SKIP() << "no free loop device";
    DeviceRunner runner(*card, PrivilegeOptions{true, FAKE_PKEXEC_PATH});
    const FormatOutcome o = format(*card, runner, true);
    EXPECT_EQ(o.result, FormatResult::WriteProtected) << o.detail << " / " << shellErrorMessage(o.error);
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_TRUE(statuses.empty());
}

TEST_F(FormatDeviceTest, LoopDeviceIsNoUsbDiskToTheRealDiscovery) {
    auto card = makeCard(64ull << 20);
    if (!card)
        GTEST_SKIP() << "no free loop device";
    SpawnCommandRunner runner;
    const DiskDiscovery discovery(lsblkSourceFrom(runner));
    FormatRun run(runner, discovery, FormatHooks{});
    const FormatOutcome o = run.run(card->name());
    EXPECT_EQ(o.result, FormatResult::NotUsbDisk);
    EXPECT_EQ(readBootSector(card->dev()).signature, 0); // still all zero
}

} // namespace
