#pragma once

#include "sdcard/CommandRunner.h"
#include "sdcard/Lsblk.h"
#include "sdcard/TKUSBDiskEntity.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dcv {

// Gives lsblk's JSON output, or none when lsblk cannot be run. Tests feed recorded outputs.
using LsblkSource = std::function<std::optional<std::string>()>;
LsblkSource lsblkSourceFrom(CommandRunner& runner);

// The volume enumeration over a fresh lsblk run per call; it keeps nothing between calls.
class DiskDiscovery {
public:
    explicit DiskDiscovery(LsblkSource source) : m_source(std::move(source)) {}

    // One lsblk run (a second one only when the first gave nothing readable); none when lsblk
    // cannot be run or prints something else. The lists below are empty in that case.
    std::optional<std::vector<LsblkVolume>> volumes() const;

    std::vector<std::string> removableVolumeURLs() const;
    std::vector<std::string> usbVolumeURLs() const;
    std::vector<TKUSBDiskEntity> usbDiskEntities() const;
    // The first USB volume whose mount path joined with the name exists.
    std::optional<std::string> usbVolumeWithFile(const std::string& fileName,
                                                 const FileExists& exists = fileExists) const;
    std::optional<TKUSBDiskEntity> findCameraDisk(const FileExists& exists = fileExists) const;

private:
    std::vector<LsblkVolume> volumesOrNone() const { return volumes().value_or(std::vector<LsblkVolume>{}); }
    LsblkSource m_source;
};

} // namespace dcv
