#include "sdcard/TKUSBDiskEntity.h"

#include <cinttypes>
#include <cstdio>
#include <sys/stat.h>

namespace dcv {

TKUSBDiskEntity::TKUSBDiskEntity(std::string volumeName, std::string mountedURL, std::string deviceFilePath,
                                 std::optional<std::string> deviceModel, uint64_t volumeSize, bool writable,
                                 bool mediaWhole, std::string key)
    : m_volumeName(std::move(volumeName)), m_mountedURL(std::move(mountedURL)),
      m_deviceFilePath(std::move(deviceFilePath)), m_deviceModel(std::move(deviceModel)),
      m_volumeSize(volumeSize), m_writable(writable), m_mediaWhole(mediaWhole), m_key(std::move(key)) {}

std::string TKUSBDiskEntity::displayString() const {
    std::string s = "[" + byteSizeText(m_volumeSize) + "] " + m_volumeName + " ";
    if (m_deviceModel)
        s += "<" + *m_deviceModel + ">";
    return s;
}

std::string byteSizeText(uint64_t bytes) {
    char buf[32];
    if (bytes < 1024) {
        std::snprintf(buf, sizeof buf, "%" PRIu64 " B", bytes);
        return buf;
    }
    static constexpr char kUnits[] = "kMGTPEZY";
    uint64_t q = bytes, r = 0;
    bool sticky = false;
    int divisions = 0;
    do {
        sticky = sticky || r != 0; // any remainder before this division
        r = q % 1024;
        q /= 1024;
        ++divisions;
    } while (q >= 1024);
    const char unit = kUnits[divisions - 1];
    if (q >= 10) {
        if (r > 512 || (r == 512 && ((q & 1) != 0 || sticky)))
            ++q;
        if (q == 1024)
            std::snprintf(buf, sizeof buf, "1.0 %cB", kUnits[divisions]);
        else
            std::snprintf(buf, sizeof buf, "%" PRIu64 " %cB", q, unit);
        return buf;
    }
    if (r >= 950) {
        if (q == 9)
            std::snprintf(buf, sizeof buf, "10 %cB", unit);
        else
            std::snprintf(buf, sizeof buf, "%" PRIu64 ".0 %cB", q + 1, unit);
        return buf;
    }
    uint64_t t = r / 100;
    const uint64_t m = r % 100;
    if (m > 50 || (m == 50 && ((t & 1) != 0 || sticky)))
        ++t;
    std::snprintf(buf, sizeof buf, "%" PRIu64 ".%" PRIu64 " %cB", q, t, unit);
    return buf;
}

std::optional<uint64_t> parseByteCount(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const uint64_t d = uint64_t(c - '0');
        if (v > (UINT64_MAX - d) / 10)
            return std::nullopt;
        v = v * 10 + d;
    }
    return v;
}

bool isEmptyString(const std::string* text) {
    return text == nullptr || text->empty();
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string p(dir);
    if (p.empty() || p.back() != '/')
        p += '/';
    p += name;
    return p;
}

std::optional<TKUSBDiskEntity> findCameraDisk(const std::vector<TKUSBDiskEntity>& disks,
                                              const FileExists& exists) {
    // A device without a mount path has no place for config.bin: joined with an empty path the
    // name would land on the system disk ("/config.bin"). No pass takes one.
    auto first = [&](auto&& pass) -> const TKUSBDiskEntity* {
        for (const auto& d : disks)
            if (d.isMounted() && pass(d))
                return &d;
        return nullptr;
    };
    auto telvo = [](const TKUSBDiskEntity& d) { return d.volumeName() == kCameraVolumeName; };
    const TKUSBDiskEntity* found = first([&](const TKUSBDiskEntity& d) {
        return telvo(d) && d.writable() && exists(joinPath(d.mountedURL(), kSettingsFileName));
    });
    if (!found)
        found = first([&](const TKUSBDiskEntity& d) { return telvo(d) && d.writable(); });
    if (!found)
        found = first(telvo);
    if (!found)
        found = first([](const TKUSBDiskEntity& d) { return d.writable(); });
    if (!found)
        found = first([](const TKUSBDiskEntity&) { return true; });
    if (!found)
        return std::nullopt;
    return *found;
}

} // namespace dcv
