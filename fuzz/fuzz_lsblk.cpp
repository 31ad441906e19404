// lsblk's output is text from another program: the parser must survive anything, and the card
// rules must hold whatever it says.
#include "sdcard/Lsblk.h"
#include "util/Log.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

// What the kernel would say of a disk on an MMC host: decided by the name, so both kinds occur.
std::optional<std::string> fakeType(const std::string& disk) {
    return disk.size() % 2 == 0 ? std::optional<std::string>("SD") : std::optional<std::string>("MMC");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        dcv::setLogSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto volumes = dcv::parseLsblkJson(text);
    if (!volumes)
        return 0;
    dcv::markCardReaders(*volumes, fakeType);
    const auto removable = dcv::removableVolumeURLs(*volumes);
    const auto usb = dcv::usbVolumeURLs(*volumes);
    const auto disks = dcv::usbDiskEntities(*volumes);
    const auto devices = dcv::cardReaderEntities(*volumes);
    // Card volumes are removable ones, entities at most one per volume, mounted ones a subset.
    check(usb.size() <= removable.size() && disks.size() <= devices.size() &&
          devices.size() <= volumes->size());
    for (const auto& v : *volumes)
        if (v.cardReader)
            check(!v.systemDisk && (v.transport == "usb" || v.mmc));
    for (const auto& d : disks) {
        check(!d.deviceFilePath().empty() && d.volumeSize() != 0 && d.isMounted());
        // "[" + size text (at most 7) + "] " + name + " " + optional "<model>"
        const size_t expected =
            1 + 7 + 2 + d.volumeName().size() + 1 + (d.deviceModel() ? d.deviceModel()->size() + 2 : 0);
        check(d.displayString().size() <= expected);
    }
    const auto camera = dcv::findCameraDisk(devices, [](const std::string&) { return false; });
    check(camera.has_value() == !disks.empty());
    check(!camera || camera->isMounted());
    return 0;
}
