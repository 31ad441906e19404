#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dcv {

// One USB volume as the disk discovery found it. Immutable: every value is given at creation.
class TKUSBDiskEntity {
public:
    TKUSBDiskEntity() = default;
    // The eight values in this order: label, mount path (empty when not mounted), kernel device
    // name ("sdb1", no "/dev/"), model of the reader (absent when the device reports none),
    // media size in bytes, writable, volume on the whole media, device path.
    TKUSBDiskEntity(std::string volumeName, std::string mountedURL, std::string deviceFilePath,
                    std::optional<std::string> deviceModel, uint64_t volumeSize, bool writable,
                    bool mediaWhole, std::string key);

    const std::string& volumeName() const { return m_volumeName; }
    // The mount path; files on the card are this path joined with their name.
    const std::string& mountedURL() const { return m_mountedURL; }
    bool isMounted() const { return !m_mountedURL.empty(); }
    const std::string& deviceFilePath() const { return m_deviceFilePath; }
    const std::optional<std::string>& deviceModel() const { return m_deviceModel; }
    uint64_t volumeSize() const { return m_volumeSize; }
    bool writable() const { return m_writable; }
    bool mediaWhole() const { return m_mediaWhole; }
    const std::string& key() const { return m_key; }

    // "[size] name <model>", or "[size] name " without a model.
    std::string displayString() const;

    friend bool operator==(const TKUSBDiskEntity&, const TKUSBDiskEntity&) = default;

private:
    std::string m_volumeName, m_mountedURL, m_deviceFilePath;
    std::optional<std::string> m_deviceModel;
    uint64_t m_volumeSize = 0;
    bool m_writable = false, m_mediaWhole = false;
    std::string m_key;
};

// Short size text in powers of 1024 ("1.5 kB", "15 GB"), never longer than 7 characters.
std::string byteSizeText(uint64_t bytes);
// A byte count written as decimal digits only (0 to 18446744073709551615); none for anything
// else: signs, blanks, other characters, or a number that does not fit.
std::optional<uint64_t> parseByteCount(std::string_view text);

bool isEmptyString(const std::string* text);
inline bool isEmptyString(std::string_view text) {
    return text.empty();
}

inline constexpr std::string_view kCameraVolumeName = "TELVO";
inline constexpr std::string_view kSettingsFileName = "config.bin";

using FileExists = std::function<bool(const std::string& path)>;
bool fileExists(const std::string& path);

// Picks the entity most likely to be the camera's card, in five passes over the mounted entities
// of the list: TELVO, writable and holding config.bin; TELVO and writable; TELVO; writable; the
// first one. Passes four and five may pick a volume that is not the camera's: callers check the
// card. An entity without a mount path is never picked.
std::optional<TKUSBDiskEntity> findCameraDisk(const std::vector<TKUSBDiskEntity>& disks,
                                              const FileExists& exists = fileExists);

// Joins a mount path and a file name with one slash.
std::string joinPath(std::string_view dir, std::string_view name);

} // namespace dcv
