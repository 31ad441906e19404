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
// lsblk through the runner; an lsblk too old for the full column set is asked for the basic one.
LsblkSource lsblkSourceFrom(CommandRunner& runner);

// The volume enumeration over a fresh lsblk run per call; it keeps nothing between calls.
class DiskDiscovery {
public:
    explicit DiskDiscovery(LsblkSource source, MmcTypeSource mmcType = sysfsMmcType)
        : m_source(std::move(source)), m_mmcType(std::move(mmcType)) {}

    // One lsblk run (a second one only when the first gave nothing readable), with the card
    // readers marked; none when lsblk cannot be run or prints something else. The lists below
    // are empty in that case.
    std::optional<std::vector<LsblkVolume>> volumes() const;

    std::vector<std::string> removableVolumeURLs() const;
    std::vector<std::string> usbVolumeURLs() const;
    // Mounted card-reader volumes only.
    std::vector<TKUSBDiskEntity> usbDiskEntities() const;
    // Card-reader volumes mounted or not, for the format run.
    std::vector<TKUSBDiskEntity> cardReaderEntities() const;
    // The first USB volume whose mount path joined with the name exists.
    std::optional<std::string> usbVolumeWithFile(const std::string& fileName,
                                                 const FileExists& exists = fileExists) const;
    std::optional<TKUSBDiskEntity> findCameraDisk(const FileExists& exists = fileExists) const;

private:
    std::vector<LsblkVolume> volumesOrNone() const { return volumes().value_or(std::vector<LsblkVolume>{}); }
    LsblkSource m_source;
    MmcTypeSource m_mmcType;
};

} // namespace dcv
