#include "telemetry/Mp4Boxes.h"

#include "telemetry/TelemetryFormat.h"

#include <algorithm>
#include <cstring>

namespace dcv {

namespace fmt = telemetry_format;

bool listMp4Boxes(const ByteSource& src, uint64_t begin, uint64_t end, std::vector<Mp4Box>& out,
                  size_t maxBoxes) {
    out.clear();
    end = std::min(end, src.size());
    uint64_t at = begin;
    while (at < end) {
        if (out.size() >= maxBoxes || end - at < 8)
            return false;
        uint8_t h[16];
        if (src.readAt(at, h, 8) != 8)
            return false;
        Mp4Box box;
        box.offset = at;
        std::memcpy(box.type, h + 4, 4);
        const uint32_t size32 = fmt::readBE32(h);
        if (size32 == 1) {
            if (end - at < 16 || src.readAt(at + 8, h + 8, 8) != 8)
                return false;
            box.headerSize = 16;
            box.size = fmt::readBE64(h + 8);
        } else if (size32 == 0) {
            box.size = end - at;
        } else {
            box.size = size32;
        }
        if (box.size < box.headerSize || box.size > end - at)
            return false;
        out.push_back(box);
        at += box.size;
    }
    return true;
}

std::optional<double> movieDurationSeconds(const ByteSource& src) {
    std::vector<Mp4Box> top, children;
    listMp4Boxes(src, 0, src.size(), top); // a damaged tail does not hide a good moov
    for (const Mp4Box& moov : top) {
        if (!moov.is("moov"))
            continue;
        listMp4Boxes(src, moov.contentOffset(), moov.end(), children);
        for (const Mp4Box& b : children) {
            if (!b.is("mvhd"))
                continue;
            uint8_t h[32];
            const uint64_t c = b.contentOffset();
            const size_t avail = size_t(std::min<uint64_t>(sizeof h, b.end() - c));
            if (src.readAt(c, h, avail) != avail || avail < 20)
                return std::nullopt;
            uint32_t timescale;
            uint64_t duration;
            if (h[0] == 1) {
                if (avail < 32)
                    return std::nullopt;
                timescale = fmt::readBE32(h + 20);
                duration = fmt::readBE64(h + 24);
                if (duration == UINT64_MAX)
                    return std::nullopt;
            } else {
                timescale = fmt::readBE32(h + 12);
                duration = fmt::readBE32(h + 16);
                if (duration == UINT32_MAX)
                    return std::nullopt; // "unknown"
            }
            if (timescale == 0 || duration == 0)
                return std::nullopt;
            return double(duration) / double(timescale);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

namespace {

// The first child of `parent` with the type, if any.
std::optional<Mp4Box> child(const ByteSource& src, const Mp4Box& parent, std::string_view type) {
    std::vector<Mp4Box> boxes;
    listMp4Boxes(src, parent.contentOffset(), parent.end(), boxes, 256);
    for (const Mp4Box& b : boxes)
        if (b.is(type))
            return b;
    return std::nullopt;
}

} // namespace

std::optional<Mp4VideoSize> videoSampleSize(const ByteSource& src) {
    std::vector<Mp4Box> top, traks;
    listMp4Boxes(src, 0, src.size(), top);
    for (const Mp4Box& moov : top) {
        if (!moov.is("moov"))
            continue;
        listMp4Boxes(src, moov.contentOffset(), moov.end(), traks, 256);
        for (const Mp4Box& trak : traks) {
            if (!trak.is("trak"))
                continue;
            const auto mdia = child(src, trak, "mdia");
            const auto hdlr = mdia ? child(src, *mdia, "hdlr") : std::nullopt;
            uint8_t handler[12];
            if (!hdlr || hdlr->end() < hdlr->contentOffset() + sizeof handler ||
                src.readAt(hdlr->contentOffset(), handler, sizeof handler) != sizeof handler ||
                std::string_view(reinterpret_cast<const char*>(handler + 8), 4) != "vide")
                continue;
            const auto minf = child(src, *mdia, "minf");
            const auto stbl = minf ? child(src, *minf, "stbl") : std::nullopt;
            const auto stsd = stbl ? child(src, *stbl, "stsd") : std::nullopt;
            // stsd: version and flags, entry count, then the entries; in a visual entry the
            // width and height follow 24 bytes of reserved and reference fields.
            std::vector<Mp4Box> entries;
            if (!stsd || !listMp4Boxes(src, stsd->contentOffset() + 8, stsd->end(), entries, 16) ||
                entries.empty())
                continue;
            uint8_t sizes[4];
            const Mp4Box& e = entries.front();
            if (e.end() < e.contentOffset() + 28 || src.readAt(e.contentOffset() + 24, sizes, 4) != 4)
                continue;
            const Mp4VideoSize size{uint32_t(sizes[0]) << 8 | sizes[1], uint32_t(sizes[2]) << 8 | sizes[3]};
            if (size.width == 0 || size.height == 0)
                continue;
            return size;
        }
    }
    return std::nullopt;
}

} // namespace dcv
