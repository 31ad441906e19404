// Recording names come from whatever is on the card: any bytes, any length.
#include "recordings/DCVMedia.h"
#include "recordings/DCVMediaList.h"
#include "recordings/RecordingScan.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    dcv::DCVMedia m(path);
    const std::string stamp = m.yyyymmddhhmiss();
    const bool accepted = dcv::DCVMediaList::createMediaByPath(path) != nullptr;
    // Whatever the name, an accepted recording has a timestamp of 14 digits, all zero or in bounds.
    if (accepted && stamp.size() != 14)
        std::abort();
    if (m.mediaDivision() < 0 || m.mediaDivision() > 2)
        std::abort();
    dcv::DCVMedia other("/x/alwa_20210315_142530_F.MP4");
    const int64_t a = m.compareDate(other), b = other.compareDate(m);
    if ((a < 0) != (b > 0) || (a == 0) != (b == 0))
        std::abort();
    (void)dcv::mediaDirection(std::string_view(path));
    (void)dcv::DCVMediaList::groupNameForPath(path);
    return 0;
}
