#pragma once

#include "sdcard/TKUSBDiskEntity.h"

#include <cstdint>
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
    bool removable = false;
    bool readOnly = false;
    bool whole = false; // the volume is the whole media
    uint64_t size = 0;
    std::optional<std::string> label, model, mountPoint, fsType;
    friend bool operator==(const LsblkVolume&, const LsblkVolume&) = default;
};

// The arguments of the one lsblk run per enumeration.
std::vector<std::string> lsblkArguments();

// Reads lsblk's JSON output (tree form, any util-linux since 2.27: values as JSON booleans and
// numbers or as the strings older versions print). None for text that is not such output.
std::optional<std::vector<LsblkVolume>> parseLsblkJson(std::string_view json);

// The enumeration rules over one lsblk listing, in its order.
std::vector<std::string> removableVolumeURLs(const std::vector<LsblkVolume>& volumes);
std::vector<std::string> usbVolumeURLs(const std::vector<LsblkVolume>& volumes);
// One entity per removable USB volume with a device name and a size, mounted or not.
std::vector<TKUSBDiskEntity> usbDiskEntities(const std::vector<LsblkVolume>& volumes);

} // namespace dcv
