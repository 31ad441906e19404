#include "sdcard/Lsblk.h"
#include "sdcard/DiskDiscovery.h"
#include "sdcard/FormatRun.h"
#include "support/TestSupport.h"
#include "util/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

std::string recorded(const std::string& name) {
    return dcv::test::readFile(dcv::test::sourceDir() / "tests" / "data" / "lsblk" / name);
}

struct Listing {
    const char* file;
    std::vector<std::string> removable;
    // One line per USB entity: display string | device | mount | writable | whole | key
    std::vector<std::string> entities;
    const char* camera; // "" for none
    // What /sys/block/NAME/device/type says on that machine (disks on an MMC host).
    std::map<std::string, std::string> mmcTypes = {};
};

dcv::MmcTypeSource typesOf(std::map<std::string, std::string> types) {
    return [types = std::move(types)](const std::string& disk) -> std::optional<std::string> {
        const auto it = types.find(disk);
        return it == types.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
}

std::string describe(const dcv::TKUSBDiskEntity& d) {
    return d.displayString() + "|" + d.deviceFilePath() + "|" + d.mountedURL() + "|" +
           (d.writable() ? "rw" : "ro") + "|" + (d.mediaWhole() ? "whole" : "part") + "|" + d.key();
}

// Recorded listings of real machines.
TEST(LsblkListingTest, GivesVolumesEntitiesAndCard) {
    const Listing cases[] = {
        // A reader with a partitioned card, an empty reader slot, a USB stick with two partitions
        // (one not mounted, so no volume), and an internal NVMe disk.
        {"usb-reader-partition.json",
         {"/media/anna/TELVO", "/media/anna/BACKUP"},
         {"[15 GB] TELVO <STORAGE DEVICE>|sda1|/media/anna/TELVO|rw|part|/dev/sda1",
          "[3.7 GB] BACKUP <Cruzer Blade>|sdc1|/media/anna/BACKUP|rw|part|/dev/sdc1"},
         "sda1"},
        // A card formatted without partition table: the volume is the whole disk.
        {"superfloppy.json",
         {"/run/media/ben/TELVO"},
         {"[7.4 GB] TELVO <SD/MMC>|sdd|/run/media/ben/TELVO|rw|whole|/dev/sdd"},
         "sdd"},
        // The locked TELVO card is still the card (pass 3 before pass 4).
        {"write-protected.json",
         {"/media/chris/TELVO", "/media/chris/KINGSTON"},
         {"[30 GB] TELVO <USB3.0 CRW   -SD>|sdb1|/media/chris/TELVO|ro|part|/dev/sdb1",
          "[3.8 GB] KINGSTON <Flash Disk>|sdc1|/media/chris/KINGSTON|rw|part|/dev/sdc1"},
         "sdb1"},
        // A built-in SD slot and a hot-plug SATA disk are removable but not USB; the slot's
        // card counts once the kernel says it is an SD card (lsblk before 2.33: known by name).
        {"non-usb-removable.json", {"/media/dana/TELVO", "/media/dana/Media"}, {}, ""},
        {"non-usb-removable.json",
         {"/media/dana/TELVO", "/media/dana/Media"},
         {"[15 GB] TELVO |mmcblk0p1|/media/dana/TELVO|rw|part|/dev/mmcblk0p1"},
         "mmcblk0p1",
         {{"mmcblk0", "SD"}}},
        // A laptop's own SD slot (reported neither removable nor hot-plug) next to the system disk.
        {"laptop-sd-slot.json",
         {"/media/frank/TELVO"},
         {"[30 GB] TELVO |mmcblk0p1|/media/frank/TELVO|rw|part|/dev/mmcblk0p1"},
         "mmcblk0p1",
         {{"mmcblk0", "SD"}}},
        // The same slot holding soldered eMMC: never a card.
        {"laptop-sd-slot.json", {}, {}, "", {{"mmcblk0", "MMC"}}},
        // A system on eMMC with its boot areas, and a card in the slot: only the card, even should the
        // kernel call them all SD.
        {"emmc-laptop.json",
         {"/media/gus/TELVO"},
         {"[7.4 GB] TELVO |mmcblk1|/media/gus/TELVO|rw|whole|/dev/mmcblk1"},
         "mmcblk1",
         {{"mmcblk0", "SD"}, {"mmcblk0boot0", "SD"}, {"mmcblk0boot1", "SD"}, {"mmcblk1", "SD"}}},
        // Booted from a USB disk, /home on an encrypted USB stick: neither is a card, the reader is.
        {"usb-system-disk.json",
         {"/media/hana/TELVO"},
         {"[30 GB] TELVO <USB3.0 CRW   -SD>|sdb1|/media/hana/TELVO|rw|part|/dev/sdb1"},
         "sdb1"},
        // Loop devices, an encrypted system disk and an empty reader slot: nothing.
        {"none.json", {}, {}, ""},
        // util-linux before 2.33: flags and sizes as strings, no PATH column.
        {"old-lsblk.json",
         {"/media/eve/NO NAME"},
         {"[3.7 GB] NO NAME <Card  Reader>|sdb1|/media/eve/NO NAME|rw|part|/dev/sdb1"},
         "sdb1"}};
    for (const Listing& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ", case " + std::to_string(&c - cases));
        const std::string json = recorded(c.file);
        const dcv::DiskDiscovery discovery([&] { return std::optional<std::string>(json); },
                                           typesOf(c.mmcTypes));
        EXPECT_EQ(discovery.removableVolumeURLs(), c.removable);
        std::vector<std::string> got, mounts;
        for (const auto& d : discovery.usbDiskEntities()) {
            got.push_back(describe(d));
            mounts.push_back(d.mountedURL());
        }
        EXPECT_EQ(got, c.entities);
        EXPECT_EQ(discovery.usbVolumeURLs(), mounts); // the USB volumes are the entities' mount points
        // No card holds config.bin here, so the choice comes from names and write protection.
        const auto camera = discovery.findCameraDisk([](const std::string&) { return false; });
        EXPECT_EQ(camera ? camera->deviceFilePath() : "", c.camera);
    }
}

TEST(LsblkParserTest, RefusesWhatIsNotItsOutput) {
    for (const char* text :
         {"", "not json", "[]", "{}", "{\"blockdevices\": 3}", "{\"blockdevices\": [1,", "\"blockdevices\""})
        EXPECT_FALSE(dcv::parseLsblkJson(text)) << text;
    const auto empty = dcv::parseLsblkJson("{\"blockdevices\": []}");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(LsblkParserTest, OddValuesDoNotBreakTheListing) {
    // Wrong types, negative and overlong sizes, entries that are not objects, a mount point list.
    const auto v = dcv::parseLsblkJson(R"({"blockdevices": [
        7, null, "sda",
        {"kname": "sdq", "type": "disk", "tran": "usb", "rm": 1, "ro": "yes", "size": -5, "label": 12},
        {"kname": "sdr", "type": "disk", "tran": "usb", "hotplug": true, "size": "99999999999999999999999",
         "mountpoints": [null, "/media/x"]},
        {"name": "sds", "type": "disk", "tran": "usb", "rm": true, "size": 2048, "model": "   ",
         "children": {"not": "a list"}}]})");
    ASSERT_TRUE(v);
    ASSERT_EQ(v->size(), 3u);
    EXPECT_EQ((*v)[0].name, "sdq");
    EXPECT_TRUE((*v)[0].removable);
    EXPECT_FALSE((*v)[0].readOnly);
    EXPECT_EQ((*v)[0].size, 0u);
    EXPECT_FALSE((*v)[0].label);
    EXPECT_EQ((*v)[1].mountPoint, "/media/x");
    EXPECT_EQ((*v)[1].size, 0u);
    EXPECT_EQ((*v)[2].path, "/dev/sds");
    EXPECT_FALSE((*v)[2].model); // blank model counts as none
    // Entities need a size: only sds is one; being unmounted, it is a device to format, no volume.
    auto marked = *v;
    dcv::markCardReaders(marked, {});
    const auto disks = dcv::cardReaderEntities(marked);
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].displayString(), "[2.0 kB]  ");
    EXPECT_TRUE(dcv::usbDiskEntities(marked).empty());
}

TEST(LsblkParserTest, SystemMountPoints) {
    for (const char* m : {"/", "/boot", "/boot/efi", "/home", "/usr", "/var", "[SWAP]"})
        EXPECT_TRUE(dcv::isSystemMountPoint(m)) << m;
    for (const char* m :
         {"/media/anna/TELVO", "/run/media/ben/TELVO", "/mnt", "/homework", "/var2", "", "/boots"})
        EXPECT_FALSE(dcv::isSystemMountPoint(m)) << m;
}

TEST(LsblkParserTest, DeepNestingIsCutOff) {
    std::string json =
        R"({"blockdevices": [{"kname": "sda", "type": "disk", "tran": "usb", "rm": true, "size": 9)";
    for (int i = 0; i < 200; ++i)
        json += R"(, "children": [{"kname": "p", "type": "part", "size": 1)";
    for (int i = 0; i < 200; ++i)
        json += "}]";
    json += "}]}";
    const auto v = dcv::parseLsblkJson(json);
    ASSERT_TRUE(v);
    EXPECT_LE(v->size(), 20u);
}

// lsblk runs once a call; a run that fails or gives what cannot be read is tried once more.
TEST(DiskDiscoveryTest, OneLsblkRunPerCallAndOneMoreAfterAFailure) {
    int runs = 0;
    const std::string good = recorded("superfloppy.json");
    std::vector<std::optional<std::string>> next; // what the next runs give, then `good`
    const dcv::DiskDiscovery discovery([&] {
        ++runs;
        if (next.empty())
            return std::optional(good);
        std::optional<std::string> output = next.front();
        next.erase(next.begin());
        return output;
    });
    EXPECT_EQ(discovery.findCameraDisk()->deviceFilePath(), "sdd");
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(discovery.usbVolumeWithFile("config.bin", [](const std::string&) { return false; }));
    EXPECT_EQ(
        discovery.usbVolumeWithFile(
            "timeset.cfg", [](const std::string& p) { return p == "/run/media/ben/TELVO/timeset.cfg"; }),
        "/run/media/ben/TELVO");
    EXPECT_EQ(runs, 3);
    next = {std::nullopt, std::nullopt};
    EXPECT_FALSE(discovery.volumes());
    EXPECT_EQ(runs, 5);
    next = {"{\"blockdev"}; // cut short, then whole
    EXPECT_EQ(discovery.usbDiskEntities().size(), 1u);
    EXPECT_EQ(runs, 7);
}

TEST(DiskDiscoveryTest, ThePathOfEveryVolumeFoundIsLogged) {
    const std::string json = recorded("usb-reader-partition.json");
    const dcv::DiskDiscovery discovery([&] { return std::optional<std::string>(json); });
    const dcv::test::CapturedLog log;
    EXPECT_EQ(discovery.usbDiskEntities().size(), 2u);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"/media/anna/TELVO", "/media/anna/BACKUP"}));
}

} // namespace

// sysfs attributes claim the size of a page whatever they hold: they are read by their content.
TEST(SysfsTest, AttributesOfTheMachinesBlockDevicesAreRead) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int devices = 0;
    for (const auto& entry : fs::directory_iterator("/sys/class/block", ec)) {
        const std::string name = entry.path().filename().string();
        const auto ro = dcv::sysfsAttribute(entry.path() / "ro");
        ASSERT_TRUE(ro) << name;
        EXPECT_TRUE(*ro == "0" || *ro == "1") << name << ": " << *ro;
        EXPECT_EQ(dcv::sysfsReadOnly(name), *ro == "1") << name;
        ++devices;
    }
    if (devices == 0)
        GTEST_SKIP() << "no block devices in /sys/class/block here";
    EXPECT_FALSE(dcv::sysfsAttribute("/sys/class/block/no-such-device/ro"));
    EXPECT_FALSE(dcv::sysfsReadOnly("../../kernel"));
}
