#pragma once

#include "telemetry/ByteSource.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace dcv {

// One ISO base media box header as found in a file.
struct Mp4Box {
    uint64_t offset = 0;     // of the size field
    uint64_t size = 0;       // whole box, header included
    uint32_t headerSize = 8; // 16 with a 64-bit size
    char type[4] = {};
    uint64_t end() const { return offset + size; }
    uint64_t contentOffset() const { return offset + headerSize; }
    bool is(std::string_view t) const { return t.size() == 4 && std::string_view(type, 4) == t; }
};

// The boxes laid end to end in [begin, end) of the source (a size of 0 runs to `end`). False
// when a header is cut short, a size is impossible, or more than maxBoxes are found; `out`
// then holds the boxes before the bad one.
bool listMp4Boxes(const ByteSource& src, uint64_t begin, uint64_t end, std::vector<Mp4Box>& out,
                  size_t maxBoxes = 1 << 16);

// Duration from the movie header (moov/mvhd) in seconds; none when there is no usable header.
std::optional<double> movieDurationSeconds(const ByteSource& src);

// The pictures' size as the first video sample entry gives it (moov/trak/mdia/minf/stbl/stsd,
// an entry of a track whose handler is "vide"): what the decoder shows, without the rows or
// columns it codes only to fill its blocks. None without such an entry or with a side of 0.
struct Mp4VideoSize {
    uint32_t width = 0, height = 0;
    friend bool operator==(const Mp4VideoSize&, const Mp4VideoSize&) = default;
};
std::optional<Mp4VideoSize> videoSampleSize(const ByteSource& src);

} // namespace dcv
