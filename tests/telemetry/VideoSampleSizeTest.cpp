// The pictures' size from a recording's video sample entry.
#include "telemetry/Mp4Boxes.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace dcv;

namespace {

std::string be32(uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string box(const char* type, const std::string& content) {
    return be32(uint32_t(content.size() + 8)) + type + content;
}

// A track with a handler of `handler` and one sample entry of `entryType` with a size.
std::string track(const char* handler, const char* entryType, uint16_t width, uint16_t height) {
    const std::string hdlr = box("hdlr", std::string(8, '\0') + handler + std::string(12, '\0'));
    std::string entry = std::string(24, '\0') + char(width >> 8) + char(width) + char(height >> 8) +
                        char(height) + std::string(50, '\0');
    const std::string stsd = box("stsd", std::string(4, '\0') + be32(1) + box(entryType, entry));
    return box("trak",
               box("tkhd", std::string(84, '\0')) + box("mdia", hdlr + box("minf", box("stbl", stsd))));
}

} // namespace

TEST(VideoSampleSizeTest, TheFirstVideoTracksEntryGivesTheSize) {
    const std::string ftyp = box("ftyp", "isom" + be32(0));
    const std::string mdat = box("mdat", std::string(100, 'x'));
    const struct {
        const char* name;
        std::string file;
        std::optional<Mp4VideoSize> size;
    } cases[] = {
        {"video after sound",
         ftyp + mdat + box("moov", track("soun", "mp4a", 2, 16000) + track("vide", "avc1", 1920, 1080)),
         Mp4VideoSize{1920, 1080}},
        {"no video track", ftyp + box("moov", track("soun", "mp4a", 2, 16000)), std::nullopt},
        {"a side of 0", ftyp + box("moov", track("vide", "avc1", 1920, 0)), std::nullopt},
        {"no moov", ftyp + mdat, std::nullopt},
        {"entry cut short",
         ftyp +
             box("moov",
                 box("trak",
                     box("mdia",
                         box("hdlr", std::string(8, '\0') + "vide") +
                             box("minf", box("stbl", box("stsd", std::string(8, '\0') +
                                                                     box("avc1", std::string(20, '\0')))))))),
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(videoSampleSize(MemoryByteSource(c.file)), c.size);
        // A cut file gives no size or the whole file's, never one read from past its end.
        for (size_t cut = 0; cut < c.file.size(); cut += 7) {
            const auto size = videoSampleSize(MemoryByteSource(c.file.data(), cut));
            EXPECT_TRUE(!size || size == c.size) << cut;
        }
    }
}
