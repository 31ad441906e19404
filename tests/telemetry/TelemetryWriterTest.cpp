#include "telemetry/TelemetryWriter.h"
#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/Mp4Boxes.h"
#include "telemetry/TelemetryFormat.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dcv;
namespace fmt = dcv::telemetry_format;

namespace {

// Values chosen to be exact in float and in the record's decimals, so they come back equal.
std::vector<TelemetrySample> samples(size_t n) {
    std::vector<TelemetrySample> v(n);
    for (size_t i = 0; i < n; ++i) {
        auto& s = v[i];
        const int k = int(i);
        s.gsensor = {(k * 7) % 5000 - 300, -k, 256 + k, 9999 - k};
        s.gps.latitude = 3733.125 + k * 0.03125;
        s.gps.longitude = 12701.5 - k * 0.0625;
        s.gps.hdop = 0.75 + (k % 4) * 0.25;
        s.gps.speed = k * 0.5;
        s.gps.ns = (k % 2) ? 'S' : 'N';
        s.gps.ew = (k % 3) ? 'E' : 'W';
        s.gps.satellites = uint32_t(k % 100);
        s.gps.speedUnit = uint8_t(k % 2);
    }
    return v;
}

void expectSamples(const DCVBlackBoxData& box, const std::vector<TelemetrySample>& want) {
    ASSERT_EQ(box.m_vGpsData().size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(box.m_vGSensorData()[i].data(), want[i].gsensor) << i;
        EXPECT_EQ(box.m_vGpsData()[i].data(), want[i].gps) << i;
        const auto& g = want[i].gsensor;
        EXPECT_EQ(box.m_GSensors()[i], DCVGSensor(float(g.gx) / 256, float(g.gy) / 256, float(g.gz) / 256))
            << i;
    }
}

TEST(TelemetryWriterTest, StandaloneFileWalksBackToTheSamples) {
    for (size_t n : {0, 1, 2, 600, 1800}) {
        std::string file;
        const auto in = samples(n);
        ASSERT_TRUE(buildTelemetryFile(in, 60.0, file));
        DCVBlackBoxData box;
        ASSERT_TRUE(box.ExtractStreamInformation(MemoryByteSource(file))) << box.extractError();
        expectSamples(box, in);
        EXPECT_EQ(movieDurationSeconds(MemoryByteSource(file)), 60.0);
    }
}

TEST(TelemetryWriterTest, ValuesComeBackAtTheRecordsPrecision) {
    TelemetrySample s;
    s.gps.latitude = 3733.123456; // five decimals written, float precision read
    s.gps.longitude = 12701.98765;
    s.gps.hdop = 1.234;
    s.gps.speed = 87.65;
    std::string file;
    ASSERT_TRUE(buildTelemetryFile({s}, 1, file));
    DCVBlackBoxData box;
    ASSERT_TRUE(box.ExtractStreamInformation(MemoryByteSource(file)));
    const auto& d = box.m_vGpsData()[0].data();
    EXPECT_EQ(d.latitude, double(3733.12346f));
    EXPECT_EQ(d.longitude, double(12701.98765f));
    EXPECT_EQ(d.hdop, double(1.23f));
    EXPECT_EQ(d.speed, double(87.7f));
}

TEST(TelemetryWriterTest, RecordLayoutAndRangeChecks) {
    char r[111];
    TelemetrySample s;
    s.gsensor = {-1024, 12, 9999, -9999};
    s.gps = {3733.5, 12701.25, 1.5, 80.0, 'N', 'E', 7, 0};
    ASSERT_TRUE(formatTelemetryRecord(s, 3, r));
    const std::string text(r, 111);
    EXPECT_EQ(text.substr(0, 3), "GPS");
    EXPECT_EQ(text.substr(30, 20), "-1024+0012+9999-9999");
    EXPECT_EQ(text.substr(52, 44), "07, 1.50,0, 80.0,3733.50000,N,12701.25000,E,");
    struct {
        const char* name;
        void (*change)(TelemetrySample&);
    } bad[] = {
        {"gx", [](TelemetrySample& t) { t.gsensor.gx = 10000; }},
        {"gw", [](TelemetrySample& t) { t.gsensor.gw = -10000; }},
        {"satellites", [](TelemetrySample& t) { t.gps.satellites = 100; }},
        {"hdop", [](TelemetrySample& t) { t.gps.hdop = 100; }},
        {"speed", [](TelemetrySample& t) { t.gps.speed = 1000; }},
        {"latitude", [](TelemetrySample& t) { t.gps.latitude = 10000; }},
        {"longitude", [](TelemetrySample& t) { t.gps.longitude = -1; }},
        {"unit", [](TelemetrySample& t) { t.gps.speedUnit = 10; }},
        {"nan", [](TelemetrySample& t) { t.gps.speed = std::nan(""); }},
    };
    for (const auto& b : bad) {
        TelemetrySample t = s;
        b.change(t);
        std::string error;
        EXPECT_FALSE(formatTelemetryRecord(t, 0, r, &error)) << b.name;
        EXPECT_FALSE(error.empty()) << b.name;
        std::string file;
        EXPECT_FALSE(buildTelemetryFile({s, t}, 1, file)) << b.name;
    }
}

// A small faststart MP4 with a track whose chunk offsets point into mdat.
struct FakeMp4 {
    std::string bytes;
    std::vector<uint64_t> chunkOffsets;
};

std::string be32(uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
std::string mkbox(const char* type, const std::string& content) {
    return be32(uint32_t(content.size() + 8)) + type + content;
}

FakeMp4 fakeMp4(const char* brand = "isom") {
    const std::string ftyp = mkbox("ftyp", std::string(brand) + std::string("\0\0\2\0isommp41", 12));
    std::string mvhd(100, '\0');
    mvhd[15] = char(0xE8), mvhd[14] = 3; // timescale 1000
    mvhd[19] = 100;                      // duration 100 ms
    // Offsets are relative to mdat's content until the moov size is known.
    const std::vector<uint32_t> rel = {0, 40, 100};
    auto build = [&](uint64_t base) {
        const std::string zero(4, '\0');
        const std::string stco =
            zero + be32(2) + be32(uint32_t(base + rel[0])) + be32(uint32_t(base + rel[1]));
        const std::string co64 = zero + be32(1) + be32(0) + be32(uint32_t(base + rel[2]));
        const std::string stbl = mkbox("stbl", mkbox("stsd", std::string(8, '\0')) + mkbox("stco", stco));
        const std::string trak1 =
            mkbox("trak", mkbox("tkhd", std::string(84, '\0')) + mkbox("mdia", mkbox("minf", stbl)));
        const std::string trak2 =
            mkbox("trak", mkbox("mdia", mkbox("minf", mkbox("stbl", mkbox("co64", co64)))));
        return mkbox("moov", mkbox("mvhd", mvhd) + trak1 + trak2 + mkbox("udta", std::string(12, 'u')));
    };
    const uint64_t base = ftyp.size() + build(0).size() + 8 + 8; // after ftyp, moov, free, mdat header
    std::string media;
    for (int i = 0; i < 160; ++i)
        media += char('A' + i % 26);
    FakeMp4 f;
    f.bytes = ftyp + build(base) + mkbox("free", "") + mkbox("mdat", media);
    for (uint32_t r : rel)
        f.chunkOffsets.push_back(base + r);
    return f;
}

std::vector<uint64_t> chunkOffsets(const std::string& mp4) {
    // stco then co64 entries, in file order, found by their box types.
    std::vector<uint64_t> v;
    for (const char* type : {"stco", "co64"}) {
        const size_t at = mp4.find(type);
        if (at == std::string::npos)
            continue;
        const auto* p = reinterpret_cast<const uint8_t*>(mp4.data()) + at + 4;
        const uint32_t n = fmt::readBE32(p + 4);
        for (uint32_t i = 0; i < n; ++i)
            v.push_back(std::string(type) == "co64" ? fmt::readBE64(p + 8 + 8 * i)
                                                    : fmt::readBE32(p + 8 + 4 * i));
    }
    return v;
}

TEST(TelemetryWriterTest, InsertKeepsChunkOffsetsOnTheirMedia) {
    const FakeMp4 before = fakeMp4();
    ASSERT_EQ(chunkOffsets(before.bytes), before.chunkOffsets);
    std::string after = before.bytes;
    const auto in = samples(25);
    std::string error;
    ASSERT_TRUE(insertTelemetry(after, in, &error)) << error;

    const auto moved = chunkOffsets(after);
    ASSERT_EQ(moved.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_GT(moved[i], before.chunkOffsets[i]);
        EXPECT_EQ(after.substr(moved[i], 20), before.bytes.substr(before.chunkOffsets[i], 20)) << i;
    }
    // The top-level boxes still tile the file; moov grew by exactly what was inserted.
    std::vector<Mp4Box> top;
    ASSERT_TRUE(listMp4Boxes(MemoryByteSource(after), 0, after.size(), top));
    ASSERT_EQ(top.size(), 5u);
    EXPECT_TRUE(top[1].is("moov") && top[3].is("mdat") && top[4].is("dcvb"));
    std::vector<Mp4Box> kids;
    ASSERT_TRUE(listMp4Boxes(MemoryByteSource(after), top[1].contentOffset(), top[1].end(), kids));
    ASSERT_EQ(kids.size(), 5u);
    EXPECT_TRUE(kids[0].is("mvhd") && kids[1].is("dcvm") && kids[2].is("trak") && kids[4].is("udta"));
    EXPECT_EQ(movieDurationSeconds(MemoryByteSource(after)), 0.1);

    DCVBlackBoxData box;
    ASSERT_TRUE(box.ExtractStreamInformation(MemoryByteSource(after))) << box.extractError();
    expectSamples(box, in);
    EXPECT_FALSE(insertTelemetry(after, in, &error)); // only once
}

TEST(TelemetryWriterTest, InsertRefusesFilesItCannotKeepValid) {
    struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"brand", fakeMp4("mp42").bytes},
        {"moov last",
         [] {
             const std::string f = fakeMp4().bytes;
             const auto* u = reinterpret_cast<const uint8_t*>(f.data());
             const size_t moovAt = fmt::readBE32(u), moovSize = fmt::readBE32(u + moovAt);
             return f.substr(0, moovAt) + f.substr(moovAt + moovSize) + f.substr(moovAt, moovSize);
         }()},
        {"cut short", fakeMp4().bytes.substr(0, 200)},
        {"first child of moov sized to its end",
         [] {
             std::string f = fakeMp4().bytes;
             const size_t child = fmt::readBE32(reinterpret_cast<const uint8_t*>(f.data())) + 8;
             f.replace(child, 4, std::string(4, '\0'));
             return f;
         }()},
        {"stco count too large",
         [] {
             std::string f = fakeMp4().bytes;
             f[f.find("stco") + 11] = char(0x7F);
             return f;
         }()},
    };
    for (const auto& c : cases) {
        std::string bytes = c.bytes;
        std::string error;
        EXPECT_FALSE(insertTelemetry(bytes, samples(2), &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_EQ(bytes, c.bytes) << c.name; // untouched on failure
    }
}

TEST(Mp4BoxesTest, ListingStopsAtImpossibleSizes) {
    std::string f = mkbox("ftyp", "isom") + mkbox("free", "xx");
    std::vector<Mp4Box> boxes;
    EXPECT_TRUE(listMp4Boxes(MemoryByteSource(f), 0, f.size(), boxes));
    EXPECT_EQ(boxes.size(), 2u);
    struct {
        uint32_t size32;
        uint64_t size64;
        bool ok;
        size_t count;
    } cases[] = {{4, 0, false, 1}, {0, 0, true, 2},      {1, 16, true, 2},
                 {1, 8, false, 1}, {1, ~0ull, false, 1}, {0x7FFFFFFF, 0, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.size32) + "/" + std::to_string(c.size64));
        std::string g = mkbox("ftyp", "isom");
        g += be32(c.size32);
        g += "free";
        if (c.size32 == 1) {
            g += be32(uint32_t(c.size64 >> 32));
            g += be32(uint32_t(c.size64));
        }
        EXPECT_EQ(listMp4Boxes(MemoryByteSource(g), 0, g.size(), boxes), c.ok);
        EXPECT_EQ(boxes.size(), c.count);
    }
    EXPECT_EQ(movieDurationSeconds(MemoryByteSource(f)), std::nullopt);
}

// A track with a handler of `handler` and one sample entry of `entryType` with a size.
std::string track(const char* handler, const char* entryType, uint16_t width, uint16_t height) {
    const std::string hdlr = mkbox("hdlr", std::string(8, '\0') + handler + std::string(12, '\0'));
    std::string entry = std::string(24, '\0') + char(width >> 8) + char(width) + char(height >> 8) +
                        char(height) + std::string(50, '\0');
    const std::string stsd = mkbox("stsd", std::string(4, '\0') + be32(1) + mkbox(entryType, entry));
    return mkbox("trak", mkbox("tkhd", std::string(84, '\0')) +
                             mkbox("mdia", hdlr + mkbox("minf", mkbox("stbl", stsd))));
}

// The pictures' size from a recording's video sample entry.
TEST(VideoSampleSizeTest, TheFirstVideoTracksEntryGivesTheSize) {
    const std::string ftyp = mkbox("ftyp", "isom" + be32(0));
    const std::string mdat = mkbox("mdat", std::string(100, 'x'));
    const struct {
        const char* name;
        std::string file;
        std::optional<Mp4VideoSize> size;
    } cases[] = {
        {"video after sound",
         ftyp + mdat + mkbox("moov", track("soun", "mp4a", 2, 16000) + track("vide", "avc1", 1920, 1080)),
         Mp4VideoSize{1920, 1080}},
        {"no video track", ftyp + mkbox("moov", track("soun", "mp4a", 2, 16000)), std::nullopt},
        {"a side of 0", ftyp + mkbox("moov", track("vide", "avc1", 1920, 0)), std::nullopt},
        {"no moov", ftyp + mdat, std::nullopt},
        {"entry cut short",
         ftyp +
             mkbox("moov",
                   mkbox("trak",
                         mkbox("mdia",
                               mkbox("hdlr", std::string(8, '\0') + "vide") +
                                   mkbox("minf",
                                         mkbox("stbl",
                                               mkbox("stsd", std::string(8, '\0') +
                                                                 mkbox("avc1", std::string(20, '\0')))))))),
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

} // namespace
