// lsblk's output is text from another program: the parser must survive anything.
#include "sdcard/Lsblk.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto volumes = dcv::parseLsblkJson(text);
    if (!volumes)
        return 0;
    const auto removable = dcv::removableVolumeURLs(*volumes);
    const auto usb = dcv::usbVolumeURLs(*volumes);
    const auto disks = dcv::usbDiskEntities(*volumes);
    // USB volumes are a subset of the removable ones, entities at most one per volume.
    if (usb.size() > removable.size() || disks.size() > volumes->size())
        std::abort();
    for (const auto& d : disks) {
        if (d.deviceFilePath().empty() || d.volumeSize() == 0)
            std::abort();
        // "[" + size text (at most 7) + "] " + name + " " + optional "<model>"
        const size_t expected =
            1 + 7 + 2 + d.volumeName().size() + 1 + (d.deviceModel() ? d.deviceModel()->size() + 2 : 0);
        if (d.displayString().size() > expected)
            std::abort();
    }
    const auto camera = dcv::findCameraDisk(disks, [](const std::string&) { return false; });
    if (camera.has_value() != !disks.empty())
        std::abort();
    return 0;
}
