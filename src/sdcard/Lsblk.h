#pragma once

#include "sdcard/TKUSBDiskEntity.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dcv {

// One block device of lsblk's output that can hold a card's file system: a partition, or a
// disk without partitions (a card formatted without partition table, or a blank one). Values
// of the disk it sits on (transport, model, removable) are carried down to it.
struct LsblkVolume {
    std::string name;      // kernel name, "sdb1"
    std::string path;      // "/dev/sdb1"
    std::string type;      // "part" or "disk"
    std::string transport; // "usb", "sata", "mmc", ... of the disk; empty when unknown
    std::string disk;      // kernel name of the disk it sits on, "sdb"; its own name for a disk
    bool mmc = false;      // the disk hangs off an MMC/SD host (a laptop's own card slot, or eMMC)
    bool removable = false;
    bool readOnly = false;
    bool whole = false;      // the volume is the whole media
    bool systemDisk = false; // its disk holds a mounted system path ("/", "/boot", "/home", swap...)
    bool cardReader = false; // set by markCardReaders: a card in a USB reader or in an SD slot
    uint64_t size = 0;
    std::optional<std::string> label, model, mountPoint, fsType;
    friend bool operator==(const LsblkVolume&, const LsblkVolume&) = default;
};

// The arguments of the lsblk run per enumeration. Older util-linux (before 2.37) refuses some
// of these columns; the basic set is what every version since 2.27 knows.
std::vector<std::string> lsblkArguments();
std::vector<std::string> lsblkBasicArguments();

// True for a mount point that belongs to the running system: a disk holding one is never a card.
bool isSystemMountPoint(std::string_view mountPoint);

// The first line of a sysfs attribute ("/sys/class/block/sdb1/ro"); none when it cannot be read.
// sysfs gives every attribute the size of a page, whatever it holds.
std::optional<std::string> sysfsAttribute(const std::string& path);

// The type the kernel gives a device on an MMC host ("SD" for a card, "MMC" for soldered eMMC,
// "SDIO"), by the disk's kernel name; none when unknown.
using MmcTypeSource = std::function<std::optional<std::string>(const std::string& disk)>;
// Reads /sys/block/NAME/device/type.
std::optional<std::string> sysfsMmcType(const std::string& disk);

// Marks the volumes that are cards in a card reader: a USB disk, or a disk on an MMC host whose
// type is "SD" (never eMMC, nor its boot and replay-protected areas), in either case only when
// the disk holds no mounted system path. A card in an SD slot counts as removable.
void markCardReaders(std::vector<LsblkVolume>& volumes, const MmcTypeSource& mmcType);

// Reads lsblk's JSON output (tree form, any util-linux since 2.27: values as JSON booleans and
// numbers or as the strings older versions print). None for text that is not such output.
std::optional<std::vector<LsblkVolume>> parseLsblkJson(std::string_view json);

// The enumeration rules over one marked lsblk listing, in its order. Only mounted volumes are
// volumes here: a device without a mount path is never offered for a file.
std::vector<std::string> removableVolumeURLs(const std::vector<LsblkVolume>& volumes);
std::vector<std::string> usbVolumeURLs(const std::vector<LsblkVolume>& volumes);
// One entity per mounted card-reader volume with a device name and a size. The path of each
// one goes to the diagnostic log.
std::vector<TKUSBDiskEntity> usbDiskEntities(const std::vector<LsblkVolume>& volumes);
// The same, mounted or not: the devices a format run may work on (it mounts and unmounts them
// itself).
std::vector<TKUSBDiskEntity> cardReaderEntities(const std::vector<LsblkVolume>& volumes);

} // namespace dcv
