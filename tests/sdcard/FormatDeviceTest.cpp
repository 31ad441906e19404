// The format run on real block devices: a loop device over an image file, formatted by the
// real mkfs.fat and checked with fsck.fat, the boot sector and mtools. A loop device is not
// USB, so the discovery here is the real lsblk output with that one device marked as a USB
// card; mounting goes through fusefat, since the kernel may lack vfat. Needs root.
#include "sdcard/CommandRunner.h"
#include "sdcard/DiskDiscovery.h"
#include "sdcard/FormatRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace dcv;
using namespace dcv::test;

namespace {

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

class LoopCard {
public:
    // Attaches a new image of `size` bytes of zeros.
    LoopCard(const fs::path& image, uint64_t size, bool readOnly) {
        { std::ofstream(image.string()); }
        fs::resize_file(image, size);
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
        if (m_daemon > 0) { // the unmount failed: the daemon still holds the device
            ::kill(m_daemon, SIGTERM);
            ::waitpid(m_daemon, nullptr, 0);
        }
        if (!m_dev.empty())
            runProcess({"losetup", "-d", m_dev});
    }
    bool ok() const { return !m_dev.empty(); }
    const std::string& dev() const { return m_dev; }
    std::string name() const { return m_dev.substr(5); }
    const std::string& mountDir() const { return m_mountDir; }

    // fusefat runs in the foreground as this process's child: the mount is ready once the
    // kernel lists it, and the card is settled once the child has exited (it clears the dirty
    // bit and writes its last sectors on the way out), so both ends are waited on, not guessed.
    bool mount(const std::string& dir) {
        const int table = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
        if (table < 0)
            return false;
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execlp("fusefat", "fusefat", "-f", "-o", "rw+", m_dev.c_str(), dir.c_str(), nullptr);
            ::_exit(127);
        }
        const int pidfd = pid > 0 ? int(::syscall(SYS_pidfd_open, pid, 0)) : -1;
        bool listed = false;
        while (pidfd >= 0 && !(listed = mountListed(dir))) {
            // The table is pollable: each mount or unmount is reported once. A failed mount
            // ends the child; the time limit only bounds a daemon that hangs.
            pollfd events[2] = {{table, POLLPRI, 0}, {pidfd, POLLIN, 0}};
            if (::poll(events, 2, 20000) <= 0 || (events[1].revents & POLLIN))
                break;
        }
        ::close(table);
        if (pidfd >= 0)
            ::close(pidfd);
        if (!listed) {
            if (pid > 0) {
                ::kill(pid, SIGTERM);
                ::waitpid(pid, nullptr, 0);
            }
            return false;
        }
        m_daemon = pid;
        m_mountDir = dir;
        return true;
    }
    bool unmount() {
        if (m_mountDir.empty())
            return false;
        if (runProcess({"fusermount", "-u", m_mountDir}).exitCode != 0)
            return false;
        m_mountDir.clear();
        ::waitpid(m_daemon, nullptr, 0);
        m_daemon = -1;
        return true;
    }
    // A card as it comes from elsewhere: some other FAT layout, with `settings` on it.
    void preformat(const std::string& settings, const fs::path& scratch) {
        ASSERT_EQ(runProcess({"mkfs.fat", "-F", "32", "-n", "OLDCARD", "-s", "8", "-I", m_dev}).exitCode, 0);
        const fs::path src = scratch / "config.bin";
        std::ofstream(src, std::ios::binary) << settings;
        ASSERT_EQ(runProcess({"mcopy", "-i", m_dev, src.string(), "::config.bin"}).exitCode, 0);
        flush();
    }
    // Writes the device's cached sectors through to the image. Closing the device does that
    // only when no one else has it open, and lsblk in a test running beside this one may.
    void flush() const {
        const int fd = ::open(m_dev.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0) << m_dev;
        EXPECT_EQ(::fsync(fd), 0) << m_dev;
        ::close(fd);
    }
    std::optional<std::string> fileOnCard(const std::string& name) const {
        const auto r = runProcess({"mtype", "-i", m_dev, "::" + name});
        return r.exitCode == 0 ? std::optional<std::string>(r.out) : std::nullopt;
    }

private:
    static bool mountListed(const std::string& folder) {
        const std::string dir = fs::weakly_canonical(folder).string();
        std::ifstream table("/proc/self/mountinfo");
        for (std::string line; std::getline(table, line);) {
            // id parent major:minor root mountpoint ...
            std::istringstream fields(line);
            std::string field;
            for (int i = 0; i < 5 && fields >> field; ++i) {
            }
            if (field == dir)
                return true;
        }
        return false;
    }

    std::string m_dev, m_mountDir;
    pid_t m_daemon = -1;
};

// The first `bytes` of the bare device.
std::string deviceStart(const std::string& dev, size_t bytes = 512) {
    std::string b(bytes, '\0');
    const int fd = ::open(dev.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(::pread(fd, b.data(), bytes, 0), ssize_t(bytes)) << dev;
    ::close(fd);
    return b;
}

// Plays the engine's mount commands on the loop card with fusefat; everything else is real.
class DeviceRunner : public CommandRunner {
public:
    DeviceRunner(LoopCard& card, PrivilegeOptions privileges)
        : m_card(card), m_inner(std::move(privileges)) {}
    bool mountFails = false;

    ShellErrorDictionary runShellScript(const std::vector<std::string>& argv, bool administrator) override {
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
        if (!whole) // a partition: the reader is its disk
            d = nlohmann::json{{"kname", "disk" + card.name()},
                               {"type", "disk"},
                               {"rm", true},
                               {"size", d["size"]},
                               {"children", {d}}};
        d["tran"] = "usb";
        d["model"] = "Loop Reader";
    }
    return doc.dump();
}

// Why loop devices cannot be formatted here; empty when they can.
std::string loopDevicesUnavailable() {
    if (::geteuid() != 0)
        return "formatting a loop device needs root";
    if (!fs::exists("/dev/loop-control"))
        return "no loop devices on this machine";
    for (const char* tool : {"losetup", "mkfs.fat", "fsck.fat", "lsblk", "blkid", "mcopy", "mdir", "mtype",
                             "fusefat", "fusermount"})
        if (!findExecutable(tool))
            return std::string(tool) + " is not installed (scripts/setup-deps installs it)";
    return {};
}

// The file system the camera wants, checked on the bare device. fsck.fat checks it is sound;
// the fields below are the ones the format command chooses.
void expectCameraLayout(const std::string& dev, int sectorsPerCluster) {
    const auto fsck = runProcess({"fsck.fat", "-n", dev});
    EXPECT_EQ(fsck.exitCode, 0) << fsck.out << fsck.err;
    const std::string b = deviceStart(dev);
    const auto u16 = [&](size_t o) { return uint8_t(b[o]) | uint8_t(b[o + 1]) << 8; };
    EXPECT_EQ(b.substr(82, 8), "FAT32   ");
    EXPECT_EQ(b.substr(71, 11), "TELVO      ");
    EXPECT_EQ(b[13], char(sectorsPerCluster)); // sectors per cluster
    EXPECT_EQ(u16(14), 32);                    // reserved sectors
    EXPECT_EQ(b[16], 2);                       // FATs
    EXPECT_EQ(u16(50), 6);                     // the backup boot sector
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
        card = std::make_unique<LoopCard>(tmp / "card.img", size, readOnly);
        if (!card->ok())
            return false;
        runner.emplace(*card, PrivilegeOptions{true, FAKE_PKEXEC_PATH});
        return true;
    }
    FormatOutcome format(bool whole, bool claimWritable = false) {
        const DiskDiscovery discovery([&] { return usbListing(*card, whole, claimWritable); });
        FormatHooks hooks;
        hooks.writeDefaultSettingsFile = [](const std::string& path) {
            return writeDefaultSettingsFile(path, fixedClock);
        };
        FormatOptions options;
        options.tempDir = (tmp / "save").string();
        options.useUdisks = false;
        options.fallbackMountDir = (tmp / "fallback").string();
        FormatRun run(*runner, discovery, hooks, options);
        return run.run(card->name());
    }
    test::TempDir tmp;
    std::unique_ptr<LoopCard> card;
    std::optional<DeviceRunner> runner;
    const std::string settings = [] { // every byte value: no text conversion may touch it
        std::string s(500, '\0');
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = char(i * 7);
        return s;
    }();
    static LocalTime fixedClock() { return LocalTime{7, 9, 0}; }
};

// The card's settings come back onto it through the real mount.
TEST_F(FormatDeviceTest, FormatsWholeMediaAndPutsConfigBack) {
    if (!makeCard(1200ull << 20))
        GTEST_SKIP() << "no free loop device";
    card->preformat(settings, tmp.path());
    ASSERT_TRUE(card->mount((tmp / "mnt").string())) << "fusefat cannot mount here";
    const FormatOutcome o = format(true);
    ASSERT_EQ(o.result, FormatResult::Completed) << o.detail << shellErrorMessage(o.error);
    // The restored file is readable through the mount, then on the bare device.
    EXPECT_EQ(test::readFile(tmp / "mnt" / "config.bin"), settings);
    ASSERT_TRUE(card->unmount());
    expectCameraLayout(card->dev(), 32);
    EXPECT_EQ(card->fileOnCard("config.bin"), settings);
}
TEST_F(FormatDeviceTest, BlankCardOnAPartitionGetsADefaultRecord) {
    // No file system yet: the mount to look for settings fails, mtools finds no FAT either,
    // nothing is saved, and the card is mounted at the fallback folder afterwards.
    if (!makeCard(1200ull << 20))
        GTEST_SKIP() << "no free loop device";
    const FormatOutcome o = format(false);
    ASSERT_EQ(o.result, FormatResult::Completed) << o.detail << shellErrorMessage(o.error);
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
    card->preformat(settings, tmp.path());
    runner->mountFails = true;
    const FormatOutcome o = format(true);
    EXPECT_EQ(o.result, FormatResult::NotFoundAfterFormat) << o.detail << " / " << shellErrorMessage(o.error);
    ASSERT_FALSE(o.savedConfigPath.empty());
    EXPECT_EQ(test::readFile(o.savedConfigPath), settings);
    expectCameraLayout(card->dev(), 128);
    EXPECT_FALSE(card->fileOnCard("config.bin"));
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
        EXPECT_NE(shellErrorMessage(o.error).find("mkfs.fat"), std::string::npos)
            << shellErrorMessage(o.error);
    }
}

} // namespace
