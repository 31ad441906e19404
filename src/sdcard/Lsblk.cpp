#include "sdcard/Lsblk.h"

#include "util/FileRead.h"
#include "util/Log.h"

#include <nlohmann/json.hpp>

namespace dcv {

namespace {

using nlohmann::json;

// Nesting deeper than this is no real device tree (disk, partition, mapping, mapping...).
constexpr int kMaxDepth = 16;

std::optional<std::string> text(const json& o, const char* key) {
    const auto it = o.find(key);
    if (it == o.end() || !it->is_string())
        return std::nullopt;
    return it->get<std::string>();
}

// lsblk before 2.33 printed flags as "0"/"1" and sizes as strings.
bool flag(const json& o, const char* key) {
    const auto it = o.find(key);
    if (it == o.end())
        return false;
    if (it->is_boolean())
        return it->get<bool>();
    if (it->is_number_integer())
        return it->get<int64_t>() != 0;
    if (it->is_string()) {
        const std::string& s = it->get_ref<const std::string&>();
        return s == "1" || s == "true";
    }
    return false;
}

uint64_t number(const json& o, const char* key) {
    const auto it = o.find(key);
    if (it == o.end())
        return 0;
    if (it->is_number_unsigned())
        return it->get<uint64_t>();
    if (it->is_number_integer())
        return it->get<int64_t>() < 0 ? 0 : uint64_t(it->get<int64_t>());
    if (it->is_string()) {
        const std::string& s = it->get_ref<const std::string&>();
        if (s.empty() || s.size() > 20)
            return 0;
        uint64_t v = 0;
        for (char c : s) {
            if (c < '0' || c > '9')
                return 0;
            const uint64_t d = uint64_t(c - '0');
            if (v > (UINT64_MAX - d) / 10)
                return 0;
            v = v * 10 + d;
        }
        return v;
    }
    return 0;
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n'))
        s.pop_back();
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

std::optional<std::string> nonEmpty(std::optional<std::string> s) {
    if (s)
        *s = trimmed(std::move(*s));
    if (s && s->empty())
        return std::nullopt;
    return s;
}

// util-linux 2.37 added "mountpoints" (a list); the first one stands for the volume.
std::optional<std::string> mountPointOf(const json& o) {
    if (auto m = nonEmpty(text(o, "mountpoint")))
        return m;
    const auto it = o.find("mountpoints");
    if (it != o.end() && it->is_array())
        for (const json& m : *it)
            if (m.is_string() && !m.get_ref<const std::string&>().empty())
                return m.get<std::string>();
    return std::nullopt;
}

struct DiskValues {
    std::string transport, name;
    std::optional<std::string> model;
    bool removable = false, mmc = false, system = false;
};

bool mountedAtSystemPath(const json& o) {
    if (auto m = text(o, "mountpoint"); m && isSystemMountPoint(*m))
        return true;
    const auto it = o.find("mountpoints");
    if (it != o.end() && it->is_array())
        for (const json& m : *it)
            if (m.is_string() && isSystemMountPoint(m.get_ref<const std::string&>()))
                return true;
    return false;
}

// Anywhere below the disk: a partition, or an encrypted or logical volume on one.
bool holdsSystemMount(const json& o, int depth) {
    if (!o.is_object() || depth > kMaxDepth)
        return false;
    if (mountedAtSystemPath(o))
        return true;
    const auto it = o.find("children");
    if (it != o.end() && it->is_array())
        for (const json& c : *it)
            if (holdsSystemMount(c, depth + 1))
                return true;
    return false;
}

// "block:mmc:mmc_host:pci" for a card slot or eMMC; lsblk before 2.33 has no such column, and
// the kernel names those disks mmcblkN.
bool onMmcHost(const json& o, const std::string& name) {
    const std::string subsystems = text(o, "subsystems").value_or("");
    size_t start = 0;
    while (start <= subsystems.size()) {
        size_t end = subsystems.find(':', start);
        if (end == std::string::npos)
            end = subsystems.size();
        if (subsystems.compare(start, end - start, "mmc") == 0)
            return true;
        start = end + 1;
    }
    return text(o, "tran").value_or("") == "mmc" || name.rfind("mmcblk", 0) == 0;
}

bool hasPartitions(const json& o) {
    const auto it = o.find("children");
    if (it == o.end() || !it->is_array())
        return false;
    for (const json& c : *it)
        if (c.is_object() && text(c, "type").value_or("") == "part")
            return true;
    return false;
}

LsblkVolume volumeOf(const json& o, const DiskValues& disk, bool whole) {
    LsblkVolume v;
    v.name = text(o, "kname").value_or(text(o, "name").value_or(""));
    v.path = text(o, "path").value_or(v.name.empty() ? "" : "/dev/" + v.name);
    v.type = text(o, "type").value_or("");
    v.transport = nonEmpty(text(o, "tran")).value_or(disk.transport);
    v.disk = disk.name;
    v.mmc = disk.mmc;
    v.systemDisk = disk.system;
    v.removable = flag(o, "rm") || flag(o, "hotplug") || disk.removable;
    v.readOnly = flag(o, "ro");
    v.whole = whole;
    v.size = number(o, "size");
    v.label = nonEmpty(text(o, "label"));
    v.model = disk.model;
    v.mountPoint = mountPointOf(o);
    v.fsType = nonEmpty(text(o, "fstype"));
    return v;
}

void collect(const json& o, const DiskValues& parent, int depth, std::vector<LsblkVolume>& out) {
    if (!o.is_object() || depth > kMaxDepth)
        return;
    const std::string type = text(o, "type").value_or("");
    DiskValues here = parent;
    if (depth == 0) {
        here.transport = nonEmpty(text(o, "tran")).value_or("");
        here.model = nonEmpty(text(o, "model"));
        here.removable = flag(o, "rm") || flag(o, "hotplug");
        here.name = text(o, "kname").value_or(text(o, "name").value_or(""));
        here.mmc = onMmcHost(o, here.name);
        here.system = holdsSystemMount(o, 0);
        if (type == "disk" && !hasPartitions(o))
            out.push_back(volumeOf(o, here, true));
    } else if (type == "part") {
        out.push_back(volumeOf(o, here, false));
    }
    const auto it = o.find("children");
    if (it != o.end() && it->is_array())
        for (const json& c : *it)
            collect(c, here, depth + 1, out);
}

} // namespace

std::vector<std::string> lsblkArguments() {
    return {
        "lsblk", "--json", "--bytes", "--output",
        "NAME,KNAME,PATH,TYPE,TRAN,SUBSYSTEMS,RM,HOTPLUG,RO,SIZE,LABEL,FSTYPE,MOUNTPOINT,MOUNTPOINTS,MODEL"};
}

std::vector<std::string> lsblkBasicArguments() {
    return {"lsblk", "--json", "--bytes", "--output",
            "NAME,KNAME,PATH,TYPE,TRAN,RM,HOTPLUG,RO,SIZE,LABEL,FSTYPE,MOUNTPOINT,MODEL"};
}

std::optional<std::vector<LsblkVolume>> parseLsblkJson(std::string_view text) {
    const json doc = json::parse(text.begin(), text.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object())
        return std::nullopt;
    const auto it = doc.find("blockdevices");
    if (it == doc.end() || !it->is_array())
        return std::nullopt;
    std::vector<LsblkVolume> out;
    for (const json& d : *it)
        collect(d, DiskValues{}, 0, out);
    return out;
}

bool isSystemMountPoint(std::string_view m) {
    static constexpr std::string_view kSystem[] = {"/", "/boot", "/home", "/usr", "/var", "[SWAP]"};
    for (std::string_view s : kSystem)
        if (m == s)
            return true;
    // Below /boot lives the EFI system partition.
    return m.starts_with("/boot/");
}

std::optional<std::string> sysfsAttribute(const std::string& path) {
    const Result<std::string> read = readRegularFileStart(path, 256);
    if (!read)
        return std::nullopt;
    std::string value = read->substr(0, read->find('\n'));
    while (!value.empty() && value.back() == ' ')
        value.pop_back();
    return value;
}

std::optional<std::string> sysfsMmcType(const std::string& disk) {
    if (disk.empty() || disk.find('/') != std::string::npos || disk.starts_with("."))
        return std::nullopt;
    return sysfsAttribute("/sys/block/" + disk + "/device/type");
}

namespace {

// mmcblk0boot0, mmcblk0boot1, mmcblk0rpmb: the hidden areas of an eMMC chip, never a card.
bool isEmmcArea(std::string_view name) {
    if (!name.starts_with("mmcblk"))
        return false;
    return name.find("boot") != std::string_view::npos || name.find("rpmb") != std::string_view::npos;
}

} // namespace

void markCardReaders(std::vector<LsblkVolume>& volumes, const MmcTypeSource& mmcType) {
    std::vector<std::pair<std::string, bool>> sdDisks; // one sysfs look-up per disk
    auto isSdCard = [&](const std::string& disk) {
        for (const auto& [name, sd] : sdDisks)
            if (name == disk)
                return sd;
        const auto type = mmcType ? mmcType(disk) : std::nullopt;
        const bool sd = type && *type == "SD";
        sdDisks.emplace_back(disk, sd);
        return sd;
    };
    for (auto& v : volumes) {
        v.cardReader = false;
        if (v.systemDisk || isEmmcArea(v.name) || isEmmcArea(v.disk))
            continue;
        if (v.mmc && !v.disk.empty() && isSdCard(v.disk)) {
            v.cardReader = true;
            v.removable = true; // SD slots often report RM 0, yet the card comes and goes
        } else {
            v.cardReader = v.transport == "usb" && !v.mmc;
        }
    }
}

std::vector<std::string> removableVolumeURLs(const std::vector<LsblkVolume>& volumes) {
    std::vector<std::string> urls;
    for (const auto& v : volumes)
        if (v.removable && v.mountPoint && !v.systemDisk)
            urls.push_back(*v.mountPoint);
    return urls;
}

std::vector<std::string> usbVolumeURLs(const std::vector<LsblkVolume>& volumes) {
    std::vector<std::string> urls;
    for (const auto& v : volumes)
        if (v.cardReader && v.removable && v.mountPoint)
            urls.push_back(*v.mountPoint);
    return urls;
}

namespace {

std::vector<TKUSBDiskEntity> entities(const std::vector<LsblkVolume>& volumes, bool mountedOnly) {
    std::vector<TKUSBDiskEntity> disks;
    for (const auto& v : volumes) {
        // An empty reader slot shows as a disk of size 0: no card, nothing to list.
        if (!v.cardReader || !v.removable || v.name.empty() || v.size == 0 || (mountedOnly && !v.mountPoint))
            continue;
        disks.emplace_back(v.label.value_or(""), v.mountPoint.value_or(""), v.name, v.model, v.size,
                           !v.readOnly, v.whole, v.path);
        if (mountedOnly)
            dcvLog("%s", v.mountPoint->c_str());
    }
    return disks;
}

} // namespace

std::vector<TKUSBDiskEntity> usbDiskEntities(const std::vector<LsblkVolume>& volumes) {
    return entities(volumes, true);
}

std::vector<TKUSBDiskEntity> cardReaderEntities(const std::vector<LsblkVolume>& volumes) {
    return entities(volumes, false);
}

} // namespace dcv
