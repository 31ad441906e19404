// Driving logs come from whatever is on the card: any bytes, any length, any record count.
#include "sdcard/FlashData.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const dcv::FlashData d = dcv::FlashData::fromBytes(file);
    // Never more records than the header gives nor than the bytes hold.
    if (d.count() > d.headerCount())
        std::abort();
    if (size >= dcv::kFlashHeaderSize && d.count() * dcv::kFlashRecordSize > size - dcv::kFlashHeaderSize)
        std::abort();
    if (size < dcv::kFlashHeaderSize && d.count() != 0)
        std::abort();
    // Every record survives re-encoding byte for byte.
    for (size_t i = 0; i < d.count(); ++i) {
        uint8_t again[dcv::kFlashRecordSize];
        dcv::encodeDrvRecord(d.record(i), again);
        if (!std::equal(again, again + sizeof again, d.recordBytes().data() + i * dcv::kFlashRecordSize,
                        [](uint8_t a, char b) { return a == uint8_t(b); }))
            std::abort();
    }
    // The export: a header and one line per record, 17 fields each, every cell short.
    const std::string csv = dcv::flashDataCsvText(d, dcv::englishFlashDataTitles());
    if (size_t(std::count(csv.begin(), csv.end(), '\n')) != d.count() + 1)
        std::abort();
    if (size_t(std::count(csv.begin(), csv.end(), ',')) != (d.count() + 1) * (dcv::kFlashColumnCount - 1))
        std::abort();
    for (size_t row = 0; row < d.count(); ++row)
        for (size_t c = 0; c < dcv::kFlashColumnCount; ++c)
            if (dcv::stringForColumnIndex(d, c, row).size() > 16)
                std::abort();
    if (!dcv::stringForColumnIndex(d, 0, d.count()).empty())
        std::abort();
    return 0;
}
