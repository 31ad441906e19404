#pragma once

#include "sdcard/CommandRunner.h"
#include "sdcard/DiskDiscovery.h"
#include "sdcard/TKUSBDiskEntity.h"
#include "settings/SettingsRecord.h"
#include "util/SafeFile.h"

#include <functional>
#include <optional>
#include <string>
#include <unistd.h>

namespace dcv {

// Whether the kernel reports the block device ("sdb1") read-only (its sysfs "ro" flag).
bool sysfsReadOnly(const std::string& deviceName);

// Status texts of the run, in the order they are reported.
inline constexpr const char* kStatusUnmount = "unmount disk...";
inline constexpr const char* kStatusFormatting = "formatting...";
inline constexpr const char* kStatusTryMount = "try mount...";
inline constexpr const char* kStatusCompleted = "Format completed!";

// What the run needs from the settings code and the file layer.
struct FormatHooks {
    // Writes a default settings record to the path; a message key or text on failure.
    std::function<std::optional<std::string>(const std::string& path)> writeDefaultSettingsFile =
        [](const std::string& path) { return dcv::writeDefaultSettingsFile(path); };
    // Writes a whole file safely (the saved config.bin back onto the card).
    FileWriter writeFile = writeFileSafely;
};

struct FormatOptions {
    // Where the saved config.bin is kept while the card is formatted.
    std::string tempDir;
    // Mount folder for a card that had none, when udisks is not there to choose one.
    std::string fallbackMountDir = "/media/TELVO";
    // Use udisksctl for unmount and mount when it is installed (falling back to umount/mount).
    bool useUdisks = true;
    // Whether this process may read a device node ("/dev/sdb1") itself; mtools runs with
    // administrator rights otherwise.
    std::function<bool(const std::string& devicePath)> deviceReadable = [](const std::string& path) {
        return ::access(path.c_str(), R_OK) == 0;
    };
    // Whether the kernel holds a device ("sdb1") read-only: a locked card.
    std::function<bool(const std::string& deviceName)> deviceReadOnly = sysfsReadOnly;
};

enum class FormatResult {
    Completed,
    InvalidDeviceName,   // the name is not a kernel device name
    NotUsbDisk,          // the discovery does not list it as a USB disk (or no longer does)
    WriteProtected,      // a locked card (also when the format command failed on one)
    CannotFormat,        // the format command failed otherwise (also a dismissed authorisation)
    ConfigSaveFailed,    // config.bin is on the card but could not be saved off it: nothing erased
    SettingsUnreadable,  // the card's files cannot be read at all (not mounted, no FAT mtools can
                         // read): whether it holds settings is unknown, so nothing erased
    NotFoundAfterFormat, // formatted, but the card is not mounted again: nothing written anywhere
    ConfigRestoreFailed, // the saved or default config.bin could not be written to the card
};

struct FormatOutcome {
    FormatResult result = FormatResult::CannotFormat;
    std::string deviceName;
    std::optional<TKUSBDiskEntity> diskBefore; // as found before formatting
    std::optional<TKUSBDiskEntity> diskAfter;  // as found after remounting
    ShellErrorDictionary error;                // of the format command
    std::string detail;                        // a file error, or why the run stopped
    std::string savedConfigPath;               // the copy of config.bin kept off the card, if any
    bool settingsGivenUp = false;              // formatted though the card's settings could not be kept
    bool succeeded() const { return result == FormatResult::Completed; }
};

// The alert a window shows for an outcome; `tr` looks up message keys.
struct AlertTexts {
    std::string messageText, informativeText;
};
AlertTexts formatAlertTexts(const FormatOutcome& outcome, const std::function<std::string(const char*)>& tr);

// The format run: save config.bin off the card, unmount, format, mount, put config.bin back
// (or write a default one). It acts only on a device that the discovery lists as a USB disk,
// and checks that again right before the format command.
// When the card's settings cannot be kept (ConfigSaveFailed, SettingsUnreadable): stop before
// erasing, or, when the user has said so, format anyway and write a default record.
enum class UnkeptSettings { Stop, GiveUp };

class FormatRun {
public:
    using StatusCallback = std::function<void(const std::string& status)>;

    FormatRun(CommandRunner& runner, const DiskDiscovery& discovery, FormatHooks hooks,
              FormatOptions options = {});

    FormatOutcome run(const std::string& deviceName, const StatusCallback& status = {},
                      UnkeptSettings unkept = UnkeptSettings::Stop);

private:
    std::optional<TKUSBDiskEntity> findDisk(const std::string& deviceName) const;
    // Copies config.bin off the card into a fresh save folder. Sets out.savedConfigPath when the
    // card had one; a failure when it could not be copied or the card could not be read.
    std::optional<std::pair<FormatResult, std::string>> saveSettings(const TKUSBDiskEntity& disk,
                                                                     FormatOutcome& out);
    // The same from the unmounted FAT file system, with mtools, to `copy`.
    std::optional<std::pair<FormatResult, std::string>>
    saveSettingsFromDevice(const TKUSBDiskEntity& disk, const std::string& copy, FormatOutcome& out);
    void unmount(const TKUSBDiskEntity& disk);
    void mount(const TKUSBDiskEntity& disk);
    bool udisks() const;

    CommandRunner& m_runner;
    const DiskDiscovery& m_discovery;
    FormatHooks m_hooks;
    FormatOptions m_options;
};

} // namespace dcv
