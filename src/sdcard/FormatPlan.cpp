#include "sdcard/FormatPlan.h"

namespace dcv {

bool isValidDeviceName(std::string_view name) {
    if (name.empty() || name.size() > 32)
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

int64_t clusterSizeByVolumeSizeInKB(uint64_t volumeSizeBytes) {
    return (volumeSizeBytes >> 30) < 7 ? 32 : 128;
}

std::string devicePath(std::string_view deviceName) {
    return "/dev/" + std::string(deviceName);
}

std::vector<std::string> formatCommand(std::string_view deviceName, int64_t sectorsPerCluster,
                                       bool mediaWhole) {
    // -a: without it mkfs.fat rounds the reserved sectors up to a whole cluster (128 with
    // 128-sector clusters), and the camera wants exactly 32.
    std::vector<std::string> argv{"mkfs.fat", "-F", "32", "-n", "TELVO", "-f",
                                  "2",        "-b", "6",  "-R", "32",    "-s"};
    argv.push_back(std::to_string(sectorsPerCluster));
    argv.emplace_back("-a");
    if (mediaWhole)
        argv.emplace_back("-I");
    argv.push_back(devicePath(deviceName));
    return argv;
}

std::vector<std::string> unmountCommand(std::string_view deviceName, bool udisks) {
    if (udisks)
        return {"udisksctl", "unmount", "--no-user-interaction", "-b", devicePath(deviceName)};
    return {"umount", devicePath(deviceName)};
}

std::vector<std::string> mountCommand(std::string_view deviceName, bool udisks, const std::string& mountDir) {
    if (udisks)
        return {"udisksctl", "mount", "--no-user-interaction", "-b", devicePath(deviceName)};
    return {"mount", devicePath(deviceName), mountDir};
}

} // namespace dcv
