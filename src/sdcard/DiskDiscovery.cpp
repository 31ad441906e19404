#include "sdcard/DiskDiscovery.h"

namespace dcv {

LsblkSource lsblkSourceFrom(CommandRunner& runner) {
    return [&runner]() -> std::optional<std::string> {
        auto out = runner.readCommandOutput(lsblkArguments());
        if (out && parseLsblkJson(*out))
            return out;
        return runner.readCommandOutput(lsblkBasicArguments());
    };
}

std::optional<std::vector<LsblkVolume>> DiskDiscovery::volumes() const {
    if (!m_source)
        return std::nullopt;
    // lsblk can fail while a device comes or goes under it (a card just inserted): one more try.
    for (int attempt = 0; attempt < 2; ++attempt)
        if (const auto out = m_source())
            if (auto parsed = parseLsblkJson(*out)) {
                markCardReaders(*parsed, m_mmcType);
                return parsed;
            }
    return std::nullopt;
}

std::vector<std::string> DiskDiscovery::removableVolumeURLs() const {
    return dcv::removableVolumeURLs(volumesOrNone());
}

std::vector<std::string> DiskDiscovery::usbVolumeURLs() const {
    return dcv::usbVolumeURLs(volumesOrNone());
}

std::vector<TKUSBDiskEntity> DiskDiscovery::usbDiskEntities() const {
    return dcv::usbDiskEntities(volumesOrNone());
}

std::vector<TKUSBDiskEntity> DiskDiscovery::cardReaderEntities() const {
    return dcv::cardReaderEntities(volumesOrNone());
}

std::optional<std::string> DiskDiscovery::usbVolumeWithFile(const std::string& fileName,
                                                            const FileExists& exists) const {
    for (const auto& url : usbVolumeURLs())
        if (exists(joinPath(url, fileName)))
            return url;
    return std::nullopt;
}

std::optional<TKUSBDiskEntity> DiskDiscovery::findCameraDisk(const FileExists& exists) const {
    return dcv::findCameraDisk(usbDiskEntities(), exists);
}

} // namespace dcv
