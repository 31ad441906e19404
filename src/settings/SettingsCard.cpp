#include "settings/SettingsCard.h"

#include "settings/SettingsRecord.h"

#include <sys/stat.h>

namespace dcv {

std::optional<uint64_t> fileSizeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return uint64_t(st.st_size);
}

std::optional<std::string> folderSettingsFile(const std::string& folder, const FileSizeOf& sizeOf) {
    if (folder.empty())
        return std::nullopt;
    const std::string path = joinPath(folder, kSettingsFileName);
    if (sizeOf(path) != kSettingsRecordSize)
        return std::nullopt;
    return path;
}

std::optional<std::string> cardSettingsFile(const TKUSBDiskEntity& card, const FileSizeOf& sizeOf) {
    if (!card.isMounted())
        return std::nullopt;
    return folderSettingsFile(card.mountedURL(), sizeOf);
}

std::optional<std::string> fallbackSaveDestination(const std::optional<TKUSBDiskEntity>& found) {
    if (!found || !found->isMounted() || found->volumeName() != kCameraVolumeName)
        return std::nullopt;
    return joinPath(found->mountedURL(), kSettingsFileName);
}

} // namespace dcv
