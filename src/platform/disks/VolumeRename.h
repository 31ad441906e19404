#pragma once

#include "sdcard/CommandRunner.h"
#include "sdcard/TKUSBDiskEntity.h"

#include <QString>
#include <QVariantMap>

namespace dcv {

struct RenameOptions {
    bool useUdisks = true;
    bool isRoot = PrivilegeOptions::current().isRoot;
};

// Gives a card's FAT volume a new label: through UDisks2 (Filesystem.SetLabel over the system
// bus) when its daemon runs, which needs no password for a removable disk; with fatlabel when
// running as root; otherwise it fails. Never asks for a password. Returns the error dictionary,
// empty on success.
QVariantMap renameVolume(const TKUSBDiskEntity& disk, const QString& label, CommandRunner& runner,
                         const RenameOptions& options = {});

// A label mkfs.fat and fatlabel take: 1 to 11 upper-case letters, digits, blanks, '_' or '-'.
bool isValidVolumeLabel(const QString& label);

} // namespace dcv
