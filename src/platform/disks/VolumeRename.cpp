#include "platform/disks/VolumeRename.h"

#include "platform/shell/ShellScript.h"
#include "sdcard/FormatPlan.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

namespace dcv {

namespace {

const QString kUdisksService = QStringLiteral("org.freedesktop.UDisks2");

QVariantMap failure(int number, const QString& message) {
    return {{QString::fromLatin1(kShellErrorNumberKey), number},
            {QString::fromLatin1(kShellErrorMessageKey), message}};
}

bool udisksRuns() {
    QDBusConnection bus = QDBusConnection::systemBus();
    return bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(kUdisksService).value();
}

} // namespace

bool isValidVolumeLabel(const QString& label) {
    if (label.isEmpty() || label.size() > 11)
        return false;
    for (const QChar c : label)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '_' || c == '-'))
            return false;
    return true;
}

QVariantMap renameVolume(const TKUSBDiskEntity& disk, const QString& label, CommandRunner& runner,
                         const RenameOptions& options) {
    const std::string& dev = disk.deviceFilePath();
    if (!isValidDeviceName(dev))
        return failure(1, QStringLiteral("\"%1\" is not a device name").arg(QString::fromStdString(dev)));
    if (!isValidVolumeLabel(label))
        return failure(1, QStringLiteral("\"%1\" is not a volume label").arg(label));
    if (options.useUdisks && udisksRuns()) {
        QDBusInterface fs(kUdisksService,
                          QStringLiteral("/org/freedesktop/UDisks2/block_devices/") +
                              QString::fromStdString(dev),
                          QStringLiteral("org.freedesktop.UDisks2.Filesystem"), QDBusConnection::systemBus());
        const QDBusMessage reply = fs.call(QStringLiteral("SetLabel"), label, QVariantMap{});
        if (reply.type() != QDBusMessage::ErrorMessage)
            return {};
        if (!options.isRoot)
            return failure(1, reply.errorMessage());
    }
    if (options.isRoot)
        return toVariantMap(runner.runShellScript({"fatlabel", devicePath(dev), label.toStdString()}, false));
    return failure(1,
                   QStringLiteral("renaming %1 needs the UDisks2 service").arg(QString::fromStdString(dev)));
}

} // namespace dcv
