#include "sdcard/FormatRun.h"

#include "sdcard/FormatPlan.h"
#include "util/FileRead.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace dcv {

namespace {

std::string defaultTempDir() {
    std::error_code ec;
    const auto p = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : p.string();
}

// A fresh private folder for the copy of config.bin; empty with `error` set when it fails.
std::string makeSaveFolder(const std::string& tempDir, std::string& error) {
    std::string templ = joinPath(tempDir, "dcv-format-XXXXXX");
    if (::mkdtemp(templ.data()) == nullptr) {
        error = tempDir + ": " + std::strerror(errno);
        return {};
    }
    return templ;
}

void removeSaveFolder(const std::string& copyPath) {
    if (copyPath.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(copyPath).parent_path(), ec);
}

} // namespace

bool sysfsReadOnly(const std::string& deviceName) {
    if (!isValidDeviceName(deviceName))
        return false;
    return sysfsAttribute("/sys/class/block/" + deviceName + "/ro") == "1";
}

FormatRun::FormatRun(CommandRunner& runner, const DiskDiscovery& discovery, FormatHooks hooks,
                     FormatOptions options)
    : m_runner(runner), m_discovery(discovery), m_hooks(std::move(hooks)), m_options(std::move(options)) {
    if (m_options.tempDir.empty())
        m_options.tempDir = defaultTempDir();
}

std::optional<TKUSBDiskEntity> FormatRun::findDisk(const std::string& deviceName) const {
    for (auto& d : m_discovery.cardReaderEntities())
        if (d.deviceFilePath() == deviceName)
            return d;
    return std::nullopt;
}

bool FormatRun::udisks() const {
    return m_options.useUdisks && findExecutable("udisksctl").has_value();
}

void FormatRun::unmount(const TKUSBDiskEntity& disk) {
    // A card that is not mounted needs nothing; a failure shows up as a format failure.
    if (!disk.isMounted())
        return;
    if (udisks() && m_runner.runShellScript(unmountCommand(disk.deviceFilePath(), true), false).empty())
        return;
    m_runner.runShellScript(unmountCommand(disk.deviceFilePath(), false), false);
}

void FormatRun::mount(const TKUSBDiskEntity& disk) {
    if (udisks() && m_runner.runShellScript(mountCommand(disk.deviceFilePath(), true, {}), false).empty())
        return;
    const std::string dir = disk.isMounted() ? disk.mountedURL() : m_options.fallbackMountDir;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    // Never over a folder of our choosing that holds something (another card mounted there,
    // someone's files): they would be hidden while the card is mounted. It then stays unmounted.
    if (!disk.isMounted() &&
        (!std::filesystem::is_directory(dir, ec) || !std::filesystem::is_empty(dir, ec) || ec))
        return;
    m_runner.runShellScript(mountCommand(disk.deviceFilePath(), false, dir), false);
}

std::optional<std::pair<FormatResult, std::string>> FormatRun::saveSettings(const TKUSBDiskEntity& disk,
                                                                            FormatOutcome& out) {
    using Stop = std::pair<FormatResult, std::string>;
    std::optional<std::string> bytes;
    if (disk.isMounted()) {
        Result<std::string> read =
            readRegularFile(joinPath(disk.mountedURL(), kSettingsFileName), kMaxSmallFile);
        if (!read && read.failure().reason == Failure::Reason::Missing)
            return std::nullopt; // no settings on the card: a default record goes there afterwards
        if (!read)
            return Stop{FormatResult::ConfigSaveFailed, read.failure().detail};
        bytes = std::move(*read);
    }
    std::string error;
    const std::string folder = makeSaveFolder(m_options.tempDir, error);
    if (folder.empty())
        return Stop{FormatResult::ConfigSaveFailed, error};
    const std::string copy = joinPath(folder, kSettingsFileName);
    std::optional<Stop> stop;
    if (!bytes)
        stop = saveSettingsFromDevice(disk, copy, out);
    else if (auto failure = m_hooks.writeFile(copy, *bytes))
        stop = Stop{FormatResult::ConfigSaveFailed, failure->detail};
    else
        out.savedConfigPath = copy;
    if (out.savedConfigPath.empty())
        removeSaveFolder(copy);
    return stop;
}

std::optional<std::pair<FormatResult, std::string>>
FormatRun::saveSettingsFromDevice(const TKUSBDiskEntity& disk, const std::string& copy, FormatOutcome& out) {
    using Stop = std::pair<FormatResult, std::string>;
    // What the device holds, as lsblk (udev) knows it without reading the device. Another file
    // system than FAT is none the camera keeps settings on.
    std::optional<std::string> fsType;
    if (const auto volumes = m_discovery.volumes())
        for (const auto& v : *volumes)
            if (v.name == disk.deviceFilePath())
                fsType = v.fsType;
    const bool fat = fsType && (*fsType == "vfat" || *fsType == "msdos");
    if (fsType && !fat)
        return std::nullopt;
    // Reading the bare device needs rights an ordinary user rarely has: ask for them only then.
    const std::string dev = devicePath(disk.deviceFilePath());
    const bool administrator = m_options.deviceReadable ? !m_options.deviceReadable(dev) : true;
    const ShellErrorDictionary copied = m_runner.runShellScript(
        {"mcopy", "-n", "-i", dev, "::/" + std::string(kSettingsFileName), copy}, administrator);
    if (copied.empty()) {
        const Result<std::string> bytes = readRegularFile(copy, kMaxSmallFile);
        if (!bytes)
            return Stop{FormatResult::ConfigSaveFailed, bytes.failure().detail};
        out.savedConfigPath = copy;
        return std::nullopt;
    }
    // Not copied: either the card has no config.bin, or its file system cannot be read. Only a
    // file system that mtools lists, without that file in it, is a card without settings.
    if (m_runner
            .runShellScript({"mdir", "-b", "-i", dev, "::/" + std::string(kSettingsFileName)}, administrator)
            .empty())
        return Stop{FormatResult::ConfigSaveFailed, shellErrorMessage(copied)};
    const ShellErrorDictionary listed =
        m_runner.runShellScript({"mdir", "-b", "-i", dev, "::/"}, administrator);
    // A device lsblk knows no file system on, and mtools cannot read either, is blank.
    if (!listed.empty() && fat)
        return Stop{FormatResult::SettingsUnreadable,
                    dev + " is not mounted and its files cannot be read: " + shellErrorMessage(listed)};
    return std::nullopt;
}

FormatOutcome FormatRun::run(const std::string& deviceName, const StatusCallback& status,
                             UnkeptSettings unkept) {
    auto report = [&](const char* text) {
        if (status)
            status(text);
    };
    FormatOutcome out;
    out.deviceName = deviceName;
    if (!isValidDeviceName(deviceName)) {
        out.result = FormatResult::InvalidDeviceName;
        out.detail = "\"" + deviceName + "\" is not a device name";
        return out;
    }
    auto disk = findDisk(deviceName);
    if (!disk) {
        out.result = FormatResult::NotUsbDisk;
        out.detail = deviceName + " is not a USB disk";
        return out;
    }
    out.diskBefore = disk;
    if (!disk->writable()) {
        out.result = FormatResult::WriteProtected;
        return out;
    }

    // A card that is not mounted may still hold settings: mount it to look. One that cannot be
    // mounted is read with mtools.
    if (!disk->isMounted()) {
        mount(*disk);
        const auto mounted = findDisk(deviceName);
        if (mounted && mounted->isMounted() && mounted->volumeSize() == disk->volumeSize())
            disk = mounted;
    }

    // Save the settings off the card. If they may be there but cannot be saved, stop: formatting
    // would erase them for good. Only the user can give them up.
    if (auto stop = saveSettings(*disk, out)) {
        if (unkept != UnkeptSettings::GiveUp) {
            out.result = stop->first;
            out.detail = stop->second;
            return out;
        }
        out.settingsGivenUp = true;
    }

    // Until the format command runs the card keeps its settings: the copy is not needed then.
    auto untouched = [&](FormatResult result) {
        removeSaveFolder(out.savedConfigPath);
        out.savedConfigPath.clear();
        out.result = result;
        return out;
    };

    report(kStatusUnmount);
    unmount(*disk);
    const int64_t clusterSize = clusterSizeByVolumeSizeInKB(disk->volumeSize());

    // Look again right before erasing: the card may have been pulled and another device may
    // have taken its name, or the unmount may have failed.
    const auto now = findDisk(deviceName);
    if (!now || now->volumeSize() != disk->volumeSize() || now->mediaWhole() != disk->mediaWhole() ||
        !now->writable()) {
        out.detail = deviceName + " is no longer the USB disk it was";
        return untouched(now && !now->writable() ? FormatResult::WriteProtected : FormatResult::NotUsbDisk);
    }
    if (now->isMounted()) {
        out.error = {
            {kShellErrorMessageKey, devicePath(deviceName) + " is still mounted at " + now->mountedURL()}};
        return untouched(FormatResult::CannotFormat);
    }

    report(kStatusFormatting);
    out.error = m_runner.runShellScript(formatCommand(deviceName, clusterSize, disk->mediaWhole()), true);
    if (!out.error.empty()) {
        mount(*disk);
        out.diskAfter = findDisk(deviceName);
        const int status = shellErrorNumber(out.error);
        // mkfs.fat ends with 1 on every error (a busy device, a size it cannot lay out …): the
        // card is called write-protected only when the kernel says it is.
        const bool locked = status == 1 && m_options.deviceReadOnly && m_options.deviceReadOnly(deviceName);
        const FormatResult result = locked ? FormatResult::WriteProtected : FormatResult::CannotFormat;
        // Refused authorisation (126, 127): the command never ran. Otherwise it may have erased
        // part of the card before it failed (a card pulled half-way): the copy stays, and is named.
        if (status == kCommandNotStarted || status == 126)
            return untouched(result);
        out.result = result;
        return out;
    }

    report(kStatusTryMount);
    mount(*disk);
    report(kStatusCompleted);

    // Put the settings back only onto this very card, freshly mounted; never onto another disk
    // that took its name meanwhile (it is told by the same marks as before erasing).
    out.diskAfter = findDisk(deviceName);
    const bool sameCard = out.diskAfter && out.diskAfter->volumeSize() == disk->volumeSize() &&
                          out.diskAfter->mediaWhole() == disk->mediaWhole();
    if (!sameCard || !out.diskAfter->isMounted()) {
        out.result = FormatResult::NotFoundAfterFormat;
        out.detail = deviceName +
                     (sameCard || !out.diskAfter ? " was formatted but is not mounted"
                                                 : " is no longer the card that was formatted") +
                     ": config.bin was not written";
        if (!out.savedConfigPath.empty())
            out.detail += " (the saved copy is " + out.savedConfigPath + ")";
        return out;
    }
    const std::string target = joinPath(out.diskAfter->mountedURL(), kSettingsFileName);
    std::optional<std::string> error;
    if (!out.savedConfigPath.empty()) {
        const Result<std::string> bytes = readRegularFile(out.savedConfigPath, kMaxSmallFile);
        const auto failure = bytes ? m_hooks.writeFile(target, *bytes) : bytes.error();
        if (failure)
            error = failure->detail;
    } else if (m_hooks.writeDefaultSettingsFile) {
        error = m_hooks.writeDefaultSettingsFile(target);
    } else {
        error = "no default settings record to write";
    }
    if (error) {
        out.result = FormatResult::ConfigRestoreFailed;
        out.detail = *error;
        if (!out.savedConfigPath.empty())
            out.detail += " (the saved copy is " + out.savedConfigPath + ")";
        return out;
    }
    removeSaveFolder(out.savedConfigPath);
    out.savedConfigPath.clear();
    out.result = FormatResult::Completed;
    return out;
}

AlertTexts formatAlertTexts(const FormatOutcome& o, const std::function<std::string(const char*)>& tr) {
    const std::string before = o.diskBefore ? o.diskBefore->displayString() : o.deviceName;
    // A failed format command may have erased part of the card: where its settings are kept.
    const std::string savedCopy =
        o.savedConfigPath.empty() ? std::string() : "\n(config.bin is saved at " + o.savedConfigPath + ")";
    switch (o.result) {
    case FormatResult::Completed:
        return {tr("msg.format_complete"), o.diskAfter ? o.diskAfter->displayString() : before};
    case FormatResult::WriteProtected:
        return {tr("msg.cannot_format"), before + "\n" + tr("msg.write_protected_disk") + savedCopy};
    case FormatResult::CannotFormat:
        return {tr("msg.cannot_format"), before + "\nError:" + shellErrorMessage(o.error) + savedCopy};
    case FormatResult::InvalidDeviceName:
    case FormatResult::NotUsbDisk:
        return {tr("msg.cannot_format"), before + "\nError:" + o.detail};
    case FormatResult::ConfigSaveFailed:
    case FormatResult::SettingsUnreadable:
        return {tr("msg.cannot_format"), before + "\nconfig.bin copy fail: " + o.detail};
    case FormatResult::NotFoundAfterFormat:
    case FormatResult::ConfigRestoreFailed:
        return {"config.bin copy fail", o.detail};
    }
    return {};
}

} // namespace dcv
