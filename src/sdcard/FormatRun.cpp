#include "sdcard/FormatRun.h"

#include "sdcard/FormatPlan.h"

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

FormatRun::FormatRun(CommandRunner& runner, const DiskDiscovery& discovery, FormatHooks hooks,
                     FormatOptions options)
    : m_runner(runner), m_discovery(discovery), m_hooks(std::move(hooks)), m_options(std::move(options)) {
    if (m_options.tempDir.empty())
        m_options.tempDir = defaultTempDir();
}

std::optional<TKUSBDiskEntity> FormatRun::findDisk(const std::string& deviceName) const {
    for (auto& d : m_discovery.usbDiskEntities())
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
    m_runner.runShellScript(mountCommand(disk.deviceFilePath(), false, dir), false);
}

FormatOutcome FormatRun::run(const std::string& deviceName, const StatusCallback& status) {
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
    // mounted has no file system to read them from.
    if (!disk->isMounted()) {
        mount(*disk);
        const auto mounted = findDisk(deviceName);
        if (mounted && mounted->isMounted() && mounted->volumeSize() == disk->volumeSize())
            disk = mounted;
    }

    // Save the settings off the card. If they are there but cannot be saved, stop: formatting
    // would erase them for good.
    if (disk->isMounted()) {
        const std::string onCard = joinPath(disk->mountedURL(), kSettingsFileName);
        if (fileExists(onCard)) {
            std::string error;
            const auto bytes = readWholeFile(onCard, &error);
            std::string folder;
            if (bytes)
                folder = makeSaveFolder(m_options.tempDir, error);
            if (!folder.empty()) {
                out.savedConfigPath = joinPath(folder, kSettingsFileName);
                if (auto e = m_hooks.writeFile(out.savedConfigPath, *bytes))
                    error = *e;
                else
                    error.clear();
            }
            if (!bytes || folder.empty() || !error.empty()) {
                removeSaveFolder(out.savedConfigPath);
                out.savedConfigPath.clear();
                out.result = FormatResult::ConfigSaveFailed;
                out.detail = error;
                return out;
            }
        }
    }

    report(kStatusUnmount);
    unmount(*disk);
    const int64_t clusterSize = clusterSizeByVolumeSizeInKB(disk->volumeSize());

    // Look again right before erasing: the card may have been pulled and another device may
    // have taken its name, or the unmount may have failed.
    const auto now = findDisk(deviceName);
    if (!now || now->volumeSize() != disk->volumeSize() || now->mediaWhole() != disk->mediaWhole() ||
        !now->writable()) {
        out.result = now && !now->writable() ? FormatResult::WriteProtected : FormatResult::NotUsbDisk;
        out.detail = deviceName + " is no longer the USB disk it was";
        return out;
    }
    if (now->isMounted()) {
        out.result = FormatResult::CannotFormat;
        out.error = {
            {kShellErrorMessageKey, devicePath(deviceName) + " is still mounted at " + now->mountedURL()}};
        return out;
    }

    report(kStatusFormatting);
    out.error = m_runner.runShellScript(formatCommand(deviceName, clusterSize, disk->mediaWhole()), true);
    if (!out.error.empty()) {
        mount(*disk);
        out.diskAfter = findDisk(deviceName);
        out.result =
            shellErrorNumber(out.error) == 1 ? FormatResult::WriteProtected : FormatResult::CannotFormat;
        return out;
    }

    report(kStatusTryMount);
    mount(*disk);
    report(kStatusCompleted);

    // Put the settings back only onto this very card, freshly mounted; never onto another disk.
    out.diskAfter = findDisk(deviceName);
    if (!out.diskAfter || !out.diskAfter->isMounted()) {
        out.result = FormatResult::NotFoundAfterFormat;
        out.detail = deviceName + " was formatted but is not mounted: config.bin was not written";
        if (!out.savedConfigPath.empty())
            out.detail += " (the saved copy is " + out.savedConfigPath + ")";
        return out;
    }
    const std::string target = joinPath(out.diskAfter->mountedURL(), kSettingsFileName);
    std::optional<std::string> error;
    if (!out.savedConfigPath.empty()) {
        std::string readError;
        const auto bytes = readWholeFile(out.savedConfigPath, &readError);
        error = bytes ? m_hooks.writeFile(target, *bytes) : std::optional<std::string>(readError);
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
    switch (o.result) {
    case FormatResult::Completed:
        return {tr("msg.format_complete"), o.diskAfter ? o.diskAfter->displayString() : before};
    case FormatResult::WriteProtected:
        return {tr("msg.cannot_format"), before + "\n" + tr("msg.write_protected_disk")};
    case FormatResult::CannotFormat:
        return {tr("msg.cannot_format"), before + "\nError:" + shellErrorMessage(o.error)};
    case FormatResult::InvalidDeviceName:
    case FormatResult::NotUsbDisk:
        return {tr("msg.cannot_format"), before + "\nError:" + o.detail};
    case FormatResult::ConfigSaveFailed:
        return {tr("msg.cannot_format"), before + "\nconfig.bin copy fail: " + o.detail};
    case FormatResult::NotFoundAfterFormat:
    case FormatResult::ConfigRestoreFailed:
        return {"config.bin copy fail", o.detail};
    }
    return {};
}

} // namespace dcv
