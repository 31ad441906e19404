#pragma once

#include "sdcard/DiskDiscovery.h"
#include "sdcard/TKUSBDiskEntity.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>
#include <vector>

namespace dcv {

// The volume enumeration as the windows use it: file URLs, one lsblk run per call. lsblk runs
// through the runner handed in (kept alive here); tests give recorded outputs instead.
class UsbVolumes {
public:
    explicit UsbVolumes(std::shared_ptr<CommandRunner> runner);
    explicit UsbVolumes(LsblkSource source);

    QList<QUrl> removableVolumeURLs() const;
    QList<QUrl> usbVolumeURLs() const;
    std::vector<TKUSBDiskEntity> usbDiskEntities() const;
    // The first USB volume holding the file at its root; an empty URL when none does.
    QUrl usbVolumeWithFile(const QString& fileName) const;
    std::optional<TKUSBDiskEntity> findCameraDisk() const;

    const DiskDiscovery& discovery() const { return m_discovery; }

private:
    std::shared_ptr<CommandRunner> m_runner;
    DiskDiscovery m_discovery;
};

// The mount location of an entity as a file URL; empty when it is not mounted.
QUrl mountedURL(const TKUSBDiskEntity& disk);

} // namespace dcv
