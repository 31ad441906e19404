#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/Mp4Boxes.h"
#include "telemetry/TelemetryFormat.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dcv;
namespace fmt = dcv::telemetry_format;

namespace {

// A hand-laid file with the walk's boxes at fixed places, so that each hop can be broken:
//   0 ftyp(20) | 20 moov: 28 first child(16) | 44 X: 52 c3(8) | 60 Y: 68 c5, 76 c6, 84 c7 (8 each)
//   | 92 Z: 100 c9(8) | 108 table: N, 12 bytes, entries from 124 | records after the table.
constexpr uint32_t kPosC1 = 28, kPosC3 = 52, kPosC5 = 68, kPosC6 = 76, kPosC7 = 84, kPosC9 = 100;
constexpr uint32_t kPosTable = 108, kPosEntries = 124;

void put32(std::string& s, size_t at, uint32_t v) {
    if (s.size() < at + 4)
        s.resize(at + 4, '\0');
    fmt::writeBE32(reinterpret_cast<uint8_t*>(s.data() + at), v);
}

// A record of spaces with text placed at the given offsets.
std::string record(const std::vector<std::pair<size_t, std::string>>& fields) {
    std::string r(fmt::kRecordSize, ' ');
    r.replace(0, 3, "GPS");
    for (const auto& [at, text] : fields)
        r.replace(at, text.size(), text);
    return r.substr(0, fmt::kRecordSize);
}

std::string typical(int gx) {
    return record({{30, std::to_string(gx)}});
}

// Records follow the table; entries list them in order unless `offsets` is given.
std::string walkFile(const std::vector<std::string>& records, std::optional<uint32_t> count = {},
                     std::optional<std::vector<uint32_t>> offsets = {}) {
    std::string f;
    put32(f, 0, 20);
    f.replace(4, 16, "ftypisom\0\0\2\0isom", 16);
    put32(f, 20, 0); // moov size is not read
    f.replace(24, 4, "moov");
    put32(f, kPosC1, 16);
    f.replace(kPosC1 + 4, 4, "mvhd");
    f.resize(44, '\0');
    put32(f, 44, 0);
    f.replace(48, 4, "dcvm");
    for (uint32_t at : {kPosC3, kPosC5, kPosC6, kPosC7, kPosC9}) {
        put32(f, at, 8);
        f.replace(at + 4, 4, "free");
    }
    put32(f, 60, 0);
    f.replace(64, 4, "dcvs");
    put32(f, 92, 0);
    f.replace(96, 4, "dcvi");
    std::vector<uint32_t> offs;
    const uint32_t first = kPosEntries + 16 * uint32_t(offsets ? offsets->size() : records.size());
    for (size_t i = 0; i < records.size(); ++i)
        offs.push_back(first + uint32_t(i * fmt::kRecordSize));
    if (offsets)
        offs = *offsets;
    put32(f, kPosTable, count.value_or(uint32_t(offs.size())));
    f.resize(kPosEntries, '\0');
    for (size_t i = 0; i < offs.size(); ++i) {
        put32(f, kPosEntries + 16 * i, offs[i]);
        f.resize(kPosEntries + 16 * (i + 1), '\0');
    }
    for (const auto& r : records)
        f += r;
    return f;
}

struct Walked {
    bool ok;
    DCVBlackBoxData box;
};
Walked walk(const std::string& bytes) {
    Walked w{false, {}};
    w.ok = w.box.ExtractStreamInformation(MemoryByteSource(bytes));
    EXPECT_EQ(w.box.m_GSensors().size(), w.box.m_vGpsData().size());
    EXPECT_EQ(w.box.m_GSensors().size(), w.box.m_vGSensorData().size());
    return w;
}

TEST(BlackBoxWalkTest, FieldsReadLikeTheCLibrary) {
    struct {
        std::vector<std::pair<size_t, std::string>> fields;
        int32_t gx, gy;
        uint32_t satellites = 0;
        double hdop = 0;
        uint8_t unit = 0;
    } cases[] = {
        {{{30, "   12"}, {35, "+0034"}}, 12, 34},            // leading blanks
        {{{30, "12345"}, {35, "67890"}}, 1234567890, 67890}, // runs on into the next field
        {{{30, "99999"}, {35, "99999"}, {40, "99999"}}, int32_t(999999999999999L), int32_t(9999999999L)},
        {{{30, "abc"}, {35, "-"}}, 0, 0}, // garbage gives 0
        // Blanks are skipped across field borders: gx and gy find the satellites' digits.
        {{{52, "12"}, {55, "0x1p2"}, {61, "257"}}, 12, 12, 12, 4.0, 1}, // hex real; unit kept to 8 bits
        {{{52, "-1"}, {55, "1e39"}}, -1, -1, 0xFFFFFFFFu, double(HUGE_VALF), 0}, // out of float range
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields[0].second);
        const Walked w = walk(walkFile({record(c.fields)}));
        ASSERT_EQ(w.box.m_GSensors().size(), 1u);
        const auto& g = w.box.m_vGSensorData()[0].data();
        const auto& gps = w.box.m_vGpsData()[0].data();
        EXPECT_EQ(g.gx, c.gx);
        EXPECT_EQ(g.gy, c.gy);
        EXPECT_EQ(gps.satellites, c.satellites);
        EXPECT_EQ(gps.hdop, c.hdop);
        EXPECT_EQ(gps.speedUnit, c.unit);
    }
    // The last field runs to the end of the record and no further (the next record's digits).
    std::string digits(fmt::kRecordSize, '7');
    digits.replace(0, 3, "GPS");
    const Walked w = walk(walkFile({digits, digits}));
    ASSERT_EQ(w.box.m_vGpsData().size(), 2u);
    EXPECT_EQ(w.box.m_vGpsData()[0].data().longitude,
              double(std::strtof(std::string(111 - 82, '7').c_str(), nullptr)));
}

TEST(BlackBoxWalkTest, BrokenFilesFailAtTheirStep) {
    const std::string good = walkFile({typical(1), typical(2)});
    struct Case {
        const char* name;
        std::function<void(std::string&)> mutate;
        const char* step; // expected start of the error
    };
    const Case cases[] = {
        {"empty", [](std::string& s) { s.clear(); }, "step 1"},
        {"not ftyp", [](std::string& s) { s.replace(4, 4, "ftyq"); }, "step 1"},
        {"brand", [](std::string& s) { s.replace(8, 4, "mp42"); }, "step 1"},
        {"no moov", [](std::string& s) { s.replace(24, 4, "mdat"); }, "step 2"},
        {"ftyp size past end", [](std::string& s) { put32(s, 0, 0x7FFFFFFF); }, "step 2"},
        {"c1 past end", [](std::string& s) { put32(s, kPosC1, 0x10000); }, "step 4"},
        {"c3 past end", [](std::string& s) { put32(s, kPosC3, 0xFFFFFF00); }, "step 6"},
        {"c5 past end", [](std::string& s) { put32(s, kPosC5, 0x80000000); }, "step 8"},
        {"c6 past end", [](std::string& s) { put32(s, kPosC6, 5000); }, "step 9"},
        {"c7 past end", [](std::string& s) { put32(s, kPosC7, 5000); }, "step 10"},
        {"c9 past end", [](std::string& s) { put32(s, kPosC9, 5000); }, "step 12"},
        // 32-bit wrap: 28 + 0xFFFFFFF4 is 16, inside ftyp, whose bytes lead past the end.
        {"c1 wraps", [](std::string& s) { put32(s, kPosC1, 0xFFFFFFF4); }, "step"},
    };
    for (const auto& c : cases) {
        std::string bytes = good;
        c.mutate(bytes);
        const Walked w = walk(bytes);
        EXPECT_FALSE(w.ok) << c.name;
        EXPECT_TRUE(w.box.m_GSensors().empty()) << c.name;
        EXPECT_EQ(w.box.extractError().rfind(c.step, 0), 0u) << c.name << ": " << w.box.extractError();
    }
}

TEST(BlackBoxWalkTest, TruncatedAtEveryByte) {
    const std::string good = walkFile({typical(1), typical(2), typical(3)});
    const size_t recordsStart = kPosEntries + 3 * 16;
    for (size_t len = 0; len <= good.size(); ++len) {
        const Walked w = walk(good.substr(0, len));
        const bool reachesTable = len >= kPosTable + 4;
        EXPECT_EQ(w.ok, reachesTable) << len;
        // Whole records only; a table cut short ends the loop at the first unreadable entry.
        size_t want = 0;
        for (size_t i = 0; i < 3; ++i) {
            const bool entryRead = len >= kPosEntries + 16 * i + 4;
            if (!entryRead)
                break;
            if (len >= recordsStart + (i + 1) * fmt::kRecordSize)
                ++want;
        }
        EXPECT_EQ(w.box.m_GSensors().size(), want) << len;
    }
}

TEST(BlackBoxWalkTest, TableEdgeCasesAndWhatTheReportSaysWasLeftOut) {
    const uint32_t end = 5000; // past the end of every file below
    const std::string r = typical(5);
    using Offsets = std::vector<uint32_t>;
    std::string tableCut = walkFile({r, r, r});
    tableCut.resize(kPosEntries + 16 + 8); // the second entry keeps its offset, the third is gone
    const std::string pastEnd = "2 of the table's 4 records lie beyond the end of the file";
    const std::string onePastEnd = "1 of the table's 2 records lie beyond the end of the file";
    const std::string foreign =
        "an entry points at something that is not a telemetry record; the rest was not read";
    struct {
        const char* name;
        std::string bytes;
        size_t samples;
        std::optional<std::string> report; // none: not looked at
    } cases[] = {
        {"whole", walkFile({r, r}), 2, ""},
        {"count 0", walkFile({r, r}, 0), 0, ""},
        {"count 0xFFFFFFFF runs through the bytes after the table", walkFile({r, r}, 0xFFFFFFFF), 2, {}},
        {"count larger than entries", walkFile({r, r, r}, 7), 3, {}},
        {"first record not GPS", walkFile({"XPS" + r.substr(3), r}), 0, foreign},
        {"stops at the first record not GPS", walkFile({r, "gps" + r.substr(3), r}), 1, foreign},
        {"offsets past the end are skipped", walkFile({r, r}, 4, Offsets{end, 188, end, 299}), 2, pastEnd},
        {"offset 0xFFFFFFFF is skipped", walkFile({r}, 2, Offsets{0xFFFFFFFF, 156}), 1, onePastEnd},
        {"record cut by the end of file", walkFile({r, r.substr(0, 110)}), 1, onePastEnd},
        {"table cut", tableCut, 0,
         "the table lists 3 records, the file ends before 1 of them; 2 of the table's 3 records lie "
         "beyond the end of the file"},
        {"same record listed twice", walkFile({r}, 2, Offsets{156, 156}), 2, ""},
        {"backwards offsets", walkFile({r, r}, 3, Offsets{283, 172, 283}), 3, ""},
        {"record overlapping the table", walkFile({r}, 1, Offsets{0}), 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Walked w = walk(c.bytes);
        EXPECT_TRUE(w.ok) << w.box.extractError();
        EXPECT_EQ(w.box.m_GSensors().size(), c.samples);
        if (c.report) {
            EXPECT_EQ(w.box.readReport().text(), *c.report);
            EXPECT_EQ(w.box.readReport().complete(), c.report->empty());
        }
    }
}

TEST(BlackBoxWalkTest, HopsAddInThirtyTwoBits) {
    // c9 = 2^32 - 8 takes P9 = 100 back to P10 = 92 only when the sum wraps at 32 bits; the
    // count is then read at 92 and the first entry at 108, which point at the one record.
    std::string f = walkFile({typical(9)});
    put32(f, kPosC9, 0xFFFFFFF8);
    put32(f, 92, 1);
    put32(f, 108, kPosEntries + 16);
    const Walked w = walk(f);
    ASSERT_TRUE(w.ok) << w.box.extractError();
    ASSERT_EQ(w.box.m_vGSensorData().size(), 1u);
    EXPECT_EQ(w.box.m_vGSensorData()[0].data().gx, 9);
}

// A source that claims 8 GiB and returns "GPS" records and in-range entries everywhere.
class EndlessSource final : public ByteSource {
public:
    size_t readAt(uint64_t offset, void* dst, size_t n) const override {
        auto* p = static_cast<uint8_t*>(dst);
        for (size_t i = 0; i < n; ++i) {
            const uint64_t at = offset + i;
            if (at < 12) {
                p[i] = uint8_t("\0\0\0\x14"
                               "ftypisom"[at]);
            } else if (at >= 20 && at < 28) {
                p[i] = uint8_t("\0\0\0\x08moov"[at - 20]);
            } else {
                // Every size field reads 8, every count 0xFFFFFFFF-ish, every offset 0x47505320.
                p[i] = uint8_t("GPS "[at % 4]);
            }
        }
        return n;
    }
    uint64_t size() const override { return uint64_t(8) << 30; }
};

TEST(BlackBoxWalkTest, HugeTablesStopAtTheSampleLimit) {
    DCVBlackBoxData box;
    EXPECT_TRUE(box.ExtractStreamInformation(EndlessSource(), 5000));
    EXPECT_EQ(box.m_GSensors().size(), 5000u);
    EXPECT_TRUE(box.readReport().sampleLimitReached);
    EXPECT_NE(box.readReport().text().find("more records than one recording may hold"), std::string::npos);
}

// The lists are sized once from the table and fitted to what was kept: never the doubled
// capacity of growth, never room for entries that were skipped.
TEST(BlackBoxWalkTest, SamplesStayWithinTheirMemoryBudget) {
    const std::string r = typical(5);
    const uint32_t first = kPosEntries + 16 * 100000;
    const struct {
        const char* name;
        std::vector<uint32_t> offsets;
        size_t samples;
    } cases[] = {
        {"every entry names the one record", std::vector<uint32_t>(100000, first), 100000},
        {"all but ten past the end",
         [&] {
             std::vector<uint32_t> v(100000, 0xFFFFFF00);
             std::fill(v.begin(), v.begin() + 10, first);
             return v;
         }(),
         10},
    };
    for (const auto& c : cases) {
        const Walked w = walk(walkFile({r}, {}, c.offsets));
        ASSERT_EQ(w.box.m_GSensors().size(), c.samples) << c.name;
        EXPECT_LE(w.box.sampleMemoryBytes(), c.samples * DCVBlackBoxData::kBytesPerSample) << c.name;
        EXPECT_GE(w.box.sampleMemoryBytes(), c.samples * 40) << c.name; // it does count what is held
    }
}

TEST(BlackBoxDataTest, FileExtractionAndClearingOnFailure) {
    dcv::test::TempDir dir;
    const auto good = dir.write("alwa_20210315_142530_F.MP4", walkFile({typical(1), typical(2)}));
    const auto bad = dir.write("bad.MP4", "not a recording at all");
    DCVBlackBoxData box;
    ASSERT_TRUE(box.ExtractStreamInformation(good.c_str()));
    EXPECT_EQ(box.m_GSensors().size(), 2u);
    EXPECT_FALSE(box.ExtractStreamInformation(bad.c_str()));
    EXPECT_TRUE(box.m_GSensors().empty()); // the previous recording's lists are gone
    EXPECT_EQ(box.extractError().rfind("step 1", 0), 0u);
    EXPECT_FALSE(box.ExtractStreamInformation((dir / "missing.MP4").c_str()));
    EXPECT_EQ(box.extractError().rfind("cannot open", 0), 0u) << box.extractError();
    EXPECT_FALSE(box.ExtractStreamInformation(static_cast<const char*>(nullptr)));
}

TEST(BlackBoxDataTest, FrameCountAndFrameData) {
    DCVBlackBoxData box;
    const size_t counts[] = {0, 1, 2, 3, 10};
    const uint64_t frames[] = {1, 1, 1, 2, 9};
    for (size_t k = 0; k < 5; ++k) {
        box.clear();
        for (size_t i = 0; i < counts[k]; ++i) {
            DCVAviGSensorData::Data d{int32_t(i), 0, 0, 0};
            box.ParseGSensor(&d, sizeof d);
        }
        EXPECT_EQ(box.frameCount(), frames[k]) << counts[k];
    }
    const uint8_t frame[9] = {9, 9, 9, 9, 1, 9, 2, 3, 9};
    EXPECT_FALSE(box.ParseFrameData(frame, 7));
    EXPECT_FALSE(box.ParseFrameData(frame, 9));
    EXPECT_FALSE(box.ParseFrameData(nullptr, 8));
    EXPECT_EQ(box.m_udatSpeedDisplay(), 0);
    EXPECT_TRUE(box.ParseFrameData(frame, 8));
    EXPECT_EQ(box.m_udatSpeedDisplay(), 1);
    EXPECT_EQ(box.m_udatRecPark(), 2);
    EXPECT_EQ(box.m_udatIncludeEvent(), 3);
}

std::array<uint8_t, 16> timeRecord(uint32_t seconds, uint32_t type) {
    std::array<uint8_t, 16> r{};
    for (int i = 0; i < 4; ++i)
        r[i] = uint8_t(seconds >> (8 * i));
    fmt::writeBE32(r.data() + 12, type);
    return r;
}

TEST(BlackBoxDataTest, TimeRecordsMakeEventsOnTypeChanges) {
    DCVBlackBoxData box;
    const uint32_t types[] = {0, 2, 2, 1, 0, 1};
    const uint32_t t0 = 1615818330; // 2021-03-15 14:25:30 UTC
    for (uint32_t i = 0; i < 6; ++i) {
        const auto r = timeRecord(t0 + i, types[i]);
        EXPECT_TRUE(box.ParseTime(r.data(), r.size()));
    }
    ASSERT_EQ(box.m_TimeEvents().size(), 3u);
    const uint32_t at[] = {1, 3, 5}, e[] = {1, 0, 0};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(box.m_TimeEvents()[k].f(), at[k]);
        EXPECT_EQ(box.m_TimeEvents()[k].e(), e[k]);
    }
    EXPECT_EQ(box.m_TimeEvents()[0].t(), (_SYSTEMTIME{2021, 3, 0, 15, 14, 25, 31, 0}));
    EXPECT_EQ(box.m_Times().size(), 6u);
    EXPECT_EQ(box.m_Times()[5], int32_t(t0 + 5));
    EXPECT_EQ(box.m_LastTimeEventType(), 1u);
    const auto big = timeRecord(0xFFFFFFFF, 0);
    EXPECT_TRUE(box.ParseTime(big.data(), big.size()));
    EXPECT_EQ(box.m_Times().back(), -1);
    // Too short to hold a record: refused instead of read past its end.
    EXPECT_FALSE(box.ParseTime(big.data(), 15));
    EXPECT_FALSE(box.ParseTime(nullptr, 16));
}

TEST(BlackBoxDataTest, ClearEmptiesEverything) {
    DCVBlackBoxData box;
    ASSERT_TRUE(box.ExtractStreamInformation(MemoryByteSource(walkFile({typical(1)}))));
    const uint8_t frame[8] = {0, 0, 0, 0, 1, 1, 1, 1};
    box.ParseFrameData(frame, 8);
    std::string nmea = "$GPGGA,1,3733.0,S,12701.0,W,1,08,0.9*00\n";
    box.ParseNMEA(nmea.data(), nmea.size());
    const auto t = timeRecord(100, 2);
    box.ParseTime(t.data(), t.size());
    DCVBlackBoxData moved = std::move(box); // handed from a worker to the main thread
    EXPECT_EQ(moved.m_GSensors().size(), 1u);
    moved.clear();
    EXPECT_TRUE(moved.m_GSensors().empty() && moved.m_vGpsData().empty() && moved.m_vGSensorData().empty());
    EXPECT_TRUE(moved.m_NMEAs().empty() && moved.m_Times().empty() && moved.m_TimeEvents().empty());
    EXPECT_EQ(moved.m_udatSpeedDisplay() | moved.m_udatRecPark() | moved.m_udatIncludeEvent(), 0);
    EXPECT_EQ(moved.m_LastTimeEventType(), 0u);
    EXPECT_EQ(moved.m_NMEAParser().m_Current(), DCVGpsData());
    auto holder = DCVBlackBoxData::aviGpsDataWithData(nullptr);
    EXPECT_EQ(holder->data(), DCVAviGpsData::Data{});
}

// The committed sample card: every recording is 640 by 360 and carries 10 samples per second of
// one drive.
TEST(SampleCardTest, RecordingsCarryThePlausibleDrive) {
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dcv::test::sampleCardDir())) {
        if (e.path().extension() != ".MP4")
            continue;
        ++files;
        const std::string name = e.path().filename().string();
        FileByteSource src;
        ASSERT_TRUE(src.open(e.path().c_str())) << name;
        EXPECT_LT(src.size(), 600u * 1024) << name;
        EXPECT_EQ(videoSampleSize(src), (Mp4VideoSize{640, 360})) << name;
        DCVBlackBoxData box;
        ASSERT_TRUE(box.ExtractStreamInformation(src)) << name << ": " << box.extractError();
        const auto duration = movieDurationSeconds(src);
        ASSERT_TRUE(duration.has_value()) << name;
        EXPECT_EQ(box.m_vGpsData().size(), size_t(std::lround(*duration * 10))) << name;
        double minG = 0, maxSpeed = 0;
        for (size_t i = 0; i < box.m_vGpsData().size(); ++i) {
            const auto& g = box.m_vGpsData()[i].data();
            EXPECT_EQ(g.ns, 'S') << name;
            EXPECT_EQ(g.ew, 'W') << name;
            EXPECT_GT(g.satellites, 3u) << name;
            maxSpeed = std::max<double>(maxSpeed, g.speed);
            minG = std::min<double>(minG, box.m_GSensors()[i].y());
            double lat = g.latitude, lon = g.longitude;
            nmeaToDegrees(&lat, &lon);
            EXPECT_NEAR(lat, 34.6, 0.05) << name; // Buenos Aires
            EXPECT_NEAR(lon, 58.38, 0.05) << name;
            if (i > 0) { // smooth: even the hard stop changes at most 5 km/h per 0.1 s (1.4 g)
                EXPECT_LT(std::fabs(g.speed - box.m_vGpsData()[i - 1].data().speed), 5.0) << name << " " << i;
            }
        }
        EXPECT_LE(maxSpeed, 82.0) << name;
        EXPECT_GT(maxSpeed, 20.0) << name;
        // Only the event recording holds the hard stop.
        if (name.rfind("event_", 0) == 0)
            EXPECT_LT(minG, -0.8) << name;
        else
            EXPECT_GT(minG, -0.5) << name;
    }
    EXPECT_EQ(files, 6u);
}

} // namespace
