#include "platform/disks/UsbVolumes.h"

namespace dcv {

namespace {

QList<QUrl> urls(const std::vector<std::string>& paths) {
    QList<QUrl> list;
    for (const auto& p : paths)
        list << QUrl::fromLocalFile(QString::fromStdString(p));
    return list;
}

} // namespace

UsbVolumes::UsbVolumes(std::shared_ptr<CommandRunner> runner)
    : m_runner(std::move(runner)), m_discovery(lsblkSourceFrom(*m_runner)) {}

UsbVolumes::UsbVolumes(LsblkSource source) : m_discovery(std::move(source)) {}

QList<QUrl> UsbVolumes::removableVolumeURLs() const {
    return urls(m_discovery.removableVolumeURLs());
}

QList<QUrl> UsbVolumes::usbVolumeURLs() const {
    return urls(m_discovery.usbVolumeURLs());
}

std::vector<TKUSBDiskEntity> UsbVolumes::usbDiskEntities() const {
    return m_discovery.usbDiskEntities();
}

QUrl UsbVolumes::usbVolumeWithFile(const QString& fileName) const {
    const auto found = m_discovery.usbVolumeWithFile(fileName.toStdString());
    return found ? QUrl::fromLocalFile(QString::fromStdString(*found)) : QUrl();
}

std::optional<TKUSBDiskEntity> UsbVolumes::findCameraDisk() const {
    return m_discovery.findCameraDisk();
}

QUrl mountedURL(const TKUSBDiskEntity& disk) {
    return disk.isMounted() ? QUrl::fromLocalFile(QString::fromStdString(disk.mountedURL())) : QUrl();
}

} // namespace dcv
