#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dcv {

// A kernel device name as the disk commands take it: lower-case letters and digits only, so
// that no name can reach another path ("../", "/dev/...") or look like an option.
bool isValidDeviceName(std::string_view name);

// Sectors per cluster for the card: 32 below 7 GiB of media, 128 from there on.
int64_t clusterSizeByVolumeSizeInKB(uint64_t volumeSizeBytes);

std::string devicePath(std::string_view deviceName);

// FAT32, label TELVO, 2 FATs, backup boot sector 6, exactly 32 reserved sectors,
// `sectorsPerCluster`; a volume on the whole media also needs -I (mkfs.fat refuses whole disks
// by default).
std::vector<std::string> formatCommand(std::string_view deviceName, int64_t sectorsPerCluster,
                                       bool mediaWhole);
std::vector<std::string> unmountCommand(std::string_view deviceName, bool udisks);
// udisks picks the mount folder itself; plain mount needs one.
std::vector<std::string> mountCommand(std::string_view deviceName, bool udisks, const std::string& mountDir);

} // namespace dcv
