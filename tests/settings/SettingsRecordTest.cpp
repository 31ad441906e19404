#include "settings/SettingsRecord.h"
#include "support/TestSupport.h"
#include "util/Log.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

using namespace dcv;
using dcv::test::TempDir;

namespace {

struct Layout {
    size_t offset;
    const char* name;
    size_t size;
    SettingsFieldType type;
};

// The record's layout, field by field, as the camera's file format defines it.
const std::vector<Layout> kFieldLayout = {
    {0, "formatMarker", 4, SettingsFieldType::U32},
    {4, "checksum", 4, SettingsFieldType::U32},
    {8, "modelName", 12, SettingsFieldType::Text},
    {20, "frontVideoQuality", 4, SettingsFieldType::U32},
    {24, "reserved24", 4, SettingsFieldType::U32},
    {28, "frontBrightness", 4, SettingsFieldType::U32},
    {32, "reserved32", 4, SettingsFieldType::U32},
    {36, "reserved36", 4, SettingsFieldType::U32},
    {40, "reserved40", 4, SettingsFieldType::U32},
    {44, "powerFrequency", 4, SettingsFieldType::U32},
    {48, "reserved48", 4, SettingsFieldType::I32},
    {52, "reserved52", 4, SettingsFieldType::I32},
    {56, "reserved56", 4, SettingsFieldType::I32},
    {60, "gsensorEnable", 4, SettingsFieldType::U32},
    {64, "drivingGsensorX", 4, SettingsFieldType::I32},
    {68, "drivingGsensorY", 4, SettingsFieldType::I32},
    {72, "drivingGsensorZ", 4, SettingsFieldType::I32},
    {76, "parkingGsensorX", 4, SettingsFieldType::I32},
    {80, "parkingGsensorY", 4, SettingsFieldType::I32},
    {84, "parkingGsensorZ", 4, SettingsFieldType::I32},
    {88, "reserved88", 4, SettingsFieldType::I32},
    {92, "reserved92", 4, SettingsFieldType::I32},
    {96, "reserved96", 4, SettingsFieldType::I32},
    {100, "alwaysModeTimeout", 4, SettingsFieldType::U32},
    {104, "frontLED", 4, SettingsFieldType::U32},
    {108, "reserved108", 4, SettingsFieldType::U32},
    {112, "cableVoltageLoss", 4, SettingsFieldType::U32},
    {116, "powerVoltage", 4, SettingsFieldType::U32},
    {120, "powerTime", 4, SettingsFieldType::U32},
    {124, "reserved124", 4, SettingsFieldType::U32},
    {128, "carNumber", 8, SettingsFieldType::Text},
    {136, "rearLED", 4, SettingsFieldType::U32},
    {140, "weeklyAlarmDay", 4, SettingsFieldType::U32},
    {144, "speedDisplayUnit", 4, SettingsFieldType::U32},
    {148, "osdSpeedDisplay", 4, SettingsFieldType::I32},
    {152, "reserved152", 4, SettingsFieldType::U32},
    {156, "gpsOnParkingMode", 4, SettingsFieldType::U32},
    {160, "timeZoneIndex", 4, SettingsFieldType::I32},
    {164, "summerTime", 4, SettingsFieldType::U32},
    {168, "reserved168", 4, SettingsFieldType::U32},
    {172, "reserved172", 4, SettingsFieldType::I32},
    {176, "reserved176", 4, SettingsFieldType::I32},
    {180, "sdAlwaysRatio", 4, SettingsFieldType::U32},
    {184, "sdEventRatio", 4, SettingsFieldType::U32},
    {188, "sdMotionRatio", 4, SettingsFieldType::U32},
    {192, "autoFormatPeriod", 4, SettingsFieldType::U32},
    {196, "reserved196", 4, SettingsFieldType::I32},
    {200, "reserved200", 4, SettingsFieldType::I32},
    {204, "reserved204", 4, SettingsFieldType::I32},
    {208, "reserved208", 4, SettingsFieldType::I32},
    {212, "reserved212", 4, SettingsFieldType::I32},
    {216, "reserved216", 4, SettingsFieldType::I32},
    {220, "wifiStartMode", 4, SettingsFieldType::U32},
    {224, "wifiChannel", 4, SettingsFieldType::U32},
    {228, "wifiSsid", 16, SettingsFieldType::Text},
    {244, "wifiPassword", 16, SettingsFieldType::Text},
    {260, "reserved260", 4, SettingsFieldType::U32},
    {264, "reserved264", 4, SettingsFieldType::U32},
    {268, "apSsid", 16, SettingsFieldType::Text},
    {284, "apPassword", 16, SettingsFieldType::Text},
    {300, "reserved300", 4, SettingsFieldType::U32},
    {304, "frontMotionSensitivity", 4, SettingsFieldType::U32},
    {308, "rearMotionSensitivity", 4, SettingsFieldType::U32},
    {312, "reserved312", 4, SettingsFieldType::U32},
    {316, "reserved316", 4, SettingsFieldType::U32},
    {320, "reserved320", 4, SettingsFieldType::I32},
    {324, "reserved324", 4, SettingsFieldType::I32},
    {328, "reserved328", 4, SettingsFieldType::I32},
    {332, "reserved332", 4, SettingsFieldType::I32},
    {336, "reserved336", 4, SettingsFieldType::I32},
    {340, "reserved340", 4, SettingsFieldType::U32},
    {344, "ldwsSensitivity", 4, SettingsFieldType::U32},
    {348, "ldwsSpeed", 4, SettingsFieldType::U32},
    {352, "fcwsSensitivity", 4, SettingsFieldType::U32},
    {356, "fcwsSpeed", 4, SettingsFieldType::U32},
    {360, "reserved360", 4, SettingsFieldType::U32},
    {364, "reserved364", 4, SettingsFieldType::U32},
    {368, "reserved368", 4, SettingsFieldType::U32},
    {372, "reserved372", 4, SettingsFieldType::I32},
    {376, "reserved376", 4, SettingsFieldType::I32},
    {380, "micVolume", 4, SettingsFieldType::U32},
    {384, "speakerVolume", 4, SettingsFieldType::U32},
    {388, "voiceLanguage", 4, SettingsFieldType::U32},
    {392, "hourlyAlarm", 4, SettingsFieldType::U32},
    {396, "reserved396", 4, SettingsFieldType::I32},
    {400, "reserved400", 4, SettingsFieldType::I32},
    {404, "reserved404", 4, SettingsFieldType::I32},
    {408, "reserved408", 4, SettingsFieldType::I32},
    {412, "reserved412", 4, SettingsFieldType::I32},
    {416, "reserved416", 4, SettingsFieldType::I32},
    {420, "reserved420", 4, SettingsFieldType::U32},
    {424, "reserved424", 4, SettingsFieldType::U32},
    {428, "reserved428", 4, SettingsFieldType::U32},
    {432, "reserved432", 4, SettingsFieldType::U32},
    {436, "reserved436", 4, SettingsFieldType::U32},
    {440, "segmentOption", 4, SettingsFieldType::U32},
    {444, "reserved444", 4, SettingsFieldType::U32},
    {448, "carNumberSet", 4, SettingsFieldType::U32},
    {452, "reserved452", 4, SettingsFieldType::U32},
    {456, "reserved456", 4, SettingsFieldType::I32},
    {460, "reserved460", 4, SettingsFieldType::U32},
    {464, "reserved464", 4, SettingsFieldType::U32},
    {468, "reserved468", 4, SettingsFieldType::U32},
    {472, "reserved472", 4, SettingsFieldType::U32},
    {476, "reserved476", 4, SettingsFieldType::U32},
    {480, "reserved480", 4, SettingsFieldType::U32},
    {484, "reserved484", 4, SettingsFieldType::I32},
    {488, "reserved488", 4, SettingsFieldType::I32},
    {492, "reserved492", 4, SettingsFieldType::I32},
    {496, "reserved496", 4, SettingsFieldType::I32},
};

// Offset and value of every non-zero integer of a default record.
const std::vector<std::pair<size_t, uint32_t>> kDefaultIntegers = {
    {0, 22310}, {4, 65535},  {20, 1},     {24, 1},   {28, 2},   {32, 2},   {60, 1},   {64, 50},
    {68, 45},   {72, 45},    {76, 8},     {80, 8},   {84, 8},   {100, 10}, {112, 4},  {116, 12100},
    {148, 1},   {152, 1},    {160, 28},   {168, 1},  {180, 70}, {184, 10}, {188, 20}, {192, 2},
    {264, 5},   {304, 3},    {308, 3},    {312, 96}, {316, 96}, {360, 1},  {364, 1},  {368, 2},
    {380, 3},   {384, 2},    {388, 1},    {392, 1},  {420, 2},  {424, 2},  {436, 1},  {440, 1},
    {452, 1},   {464, 9216}, {468, 7168}, {472, 2},  {476, 2},  {480, 1}};

// The default record's texts; the Wi-Fi name's four digits come from the clock.
const std::vector<std::pair<size_t, std::string>> kDefaultTexts = {
    {8, "QX-4100N"}, {128, "Telvo"}, {244, "73950284"}, {268, "ZunaAP01"}, {284, "kvotrm52"}};

// A whole default record built from the tables above, independently of the code under test.
SettingsRecordBytes expectedDefaultBytes(const std::string& ssidDigits) {
    SettingsRecordBytes b{};
    for (const auto& [offset, value] : kDefaultIntegers)
        for (int k = 0; k < 4; ++k)
            b[offset + size_t(k)] = uint8_t(value >> (8 * k));
    for (const auto& [offset, text] : kDefaultTexts)
        std::memcpy(b.data() + offset, text.data(), text.size());
    const std::string ssid = "TelvoV-" + ssidDigits;
    std::memcpy(b.data() + 228, ssid.data(), ssid.size());
    return b;
}

LocalTimeSource clockAt(int minute, int second, int64_t offset = 0) {
    return [=] { return LocalTime{minute, second, offset}; };
}

uint32_t wordAt(const SettingsRecordBytes& b, size_t offset) {
    return uint32_t(b[offset]) | uint32_t(b[offset + 1]) << 8 | uint32_t(b[offset + 2]) << 16 |
           uint32_t(b[offset + 3]) << 24;
}

std::string asString(const SettingsRecordBytes& b) {
    return std::string(b.begin(), b.end());
}

TEST(SettingsRecordTest, DescriptorsFollowTheFileLayout) {
    ASSERT_EQ(kSettingsFields.size(), kFieldLayout.size());
    for (size_t i = 0; i < kFieldLayout.size(); ++i) {
        const SettingsFieldDescriptor& d = kSettingsFields[i];
        EXPECT_EQ(d.name, kFieldLayout[i].name) << i;
        EXPECT_EQ(d.offset, kFieldLayout[i].offset) << d.name;
        EXPECT_EQ(d.size, kFieldLayout[i].size) << d.name;
        EXPECT_EQ(d.type, kFieldLayout[i].type) << d.name;
        EXPECT_EQ(d.reserved, std::string_view(d.name).starts_with("reserved")) << d.name;
        EXPECT_EQ(findSettingsField(d.name), &d);
    }
    EXPECT_EQ(findSettingsField("nosuchfield"), nullptr);
    EXPECT_EQ(findSettingsField(""), nullptr);
}

TEST(SettingsRecordTest, DefaultRecordMatchesTheTableByteForByte) {
    struct {
        int minute, second;
        const char* digits;
    } cases[] = {{7, 5, "0705"}, {0, 0, "0000"}, {59, 59, "5959"}, {12, 60, "1260"}};
    for (const auto& c : cases) {
        const _FILEDATA r = defaultSettingsRecord(clockAt(c.minute, c.second));
        EXPECT_EQ(asString(settingsRecordBytes(r)), asString(expectedDefaultBytes(c.digits))) << c.digits;
    }
    // The other way round: bytes from the table read as the expected fields.
    const _FILEDATA r = settingsRecordFromBytes(expectedDefaultBytes("0705"));
    EXPECT_EQ(r.formatMarker, 22310u);
    EXPECT_EQ(r.checksum, 65535u);
    EXPECT_EQ(r.powerVoltage, 12100u);
    EXPECT_EQ(r.timeZoneIndex, 28);
    EXPECT_EQ(settingsText(r.wifiSsid), "TelvoV-0705");
    EXPECT_EQ(std::string(r.modelName, 12), std::string("QX-4100N\0\0\0\0", 12));
}

TEST(SettingsRecordTest, InitOverwritesEverythingThatWasThere) {
    _FILEDATA r;
    std::memset(&r, 0xA5, sizeof r);
    initDefaultSettingsRecord(r, clockAt(1, 2));
    EXPECT_EQ(asString(settingsRecordBytes(r)), asString(expectedDefaultBytes("0102")));
}

TEST(SettingsRecordTest, TwoDefaultRecordsDifferOnlyInTheSsidDigits) {
    const SettingsRecordBytes a = settingsRecordBytes(defaultSettingsRecord(clockAt(3, 4)));
    const SettingsRecordBytes b = settingsRecordBytes(defaultSettingsRecord(clockAt(58, 17)));
    for (size_t i = 0; i < a.size(); ++i) {
        if (i >= 228 + 7 && i < 228 + 11)
            EXPECT_NE(a[i], b[i]) << i;
        else
            EXPECT_EQ(a[i], b[i]) << i;
    }
    // The real clock gives four digits as well.
    const std::string ssid = settingsText(defaultSettingsRecord().wifiSsid);
    ASSERT_EQ(ssid.size(), 11u);
    EXPECT_TRUE(ssid.starts_with("TelvoV-"));
    EXPECT_EQ(ssid.find_first_not_of("0123456789", 7), std::string::npos) << ssid;
}

TEST(SettingsRecordTest, BytesAreLittleEndianWhateverTheValue) {
    _FILEDATA r = defaultSettingsRecord(clockAt(0, 0));
    r.powerVoltage = 0x11223344;
    r.timeZoneIndex = -1;
    const SettingsRecordBytes b = settingsRecordBytes(r);
    EXPECT_EQ(b[116], 0x44);
    EXPECT_EQ(b[117], 0x33);
    EXPECT_EQ(b[118], 0x22);
    EXPECT_EQ(b[119], 0x11);
    EXPECT_EQ(wordAt(b, 160), 0xFFFFFFFFu);
    // Every byte pattern survives the trip through the record.
    SettingsRecordBytes any{};
    for (size_t i = 0; i < any.size(); ++i)
        any[i] = uint8_t(i * 37 + 11);
    EXPECT_EQ(settingsRecordBytes(settingsRecordFromBytes(any)), any);
}

TEST(SettingsRecordTest, FieldAccessByDescriptor) {
    _FILEDATA r = defaultSettingsRecord(clockAt(0, 0));
    const SettingsFieldDescriptor& tz = *findSettingsField("timeZoneIndex");
    const SettingsFieldDescriptor& pv = *findSettingsField("powerVoltage");
    setSettingsFieldInteger(r, tz, -1);
    setSettingsFieldInteger(r, pv, 4294967295LL);
    EXPECT_EQ(r.timeZoneIndex, -1);
    EXPECT_EQ(settingsFieldInteger(r, tz), -1);
    EXPECT_EQ(r.powerVoltage, 4294967295u);
    EXPECT_EQ(settingsFieldInteger(r, pv), 4294967295LL); // unsigned: no sign extension
}

TEST(SettingsRecordTest, TextFieldsArePaddedAndCut) {
    struct {
        std::string text;
        std::string stored; // all 8 bytes
        std::string shown;
    } cases[] = {
        {"", std::string(8, '\0'), ""},
        {"AB", std::string("AB\0\0\0\0\0\0", 8), "AB"},
        {"12345678", "12345678", "12345678"},  // fills the field: no terminator
        {"123456789", "12345678", "12345678"}, // cut
    };
    for (const auto& c : cases) {
        _FILEDATA r = defaultSettingsRecord(clockAt(0, 0));
        setSettingsText(r.carNumber, c.text);
        EXPECT_EQ(std::string(r.carNumber, 8), c.stored) << c.text;
        EXPECT_EQ(settingsText(r.carNumber), c.shown) << c.text;
        EXPECT_EQ(r.rearLED, 0u) << "the neighbour is untouched";
    }
}

TEST(SettingsRecordTest, Checksum) {
    // All of words 2..124 zero: checksum 0, whatever words 0 and 1 held.
    SettingsRecordBytes zero{};
    zero[0] = 0x26, zero[1] = 0x57, zero[4] = 0xFF;
    _FILEDATA z = settingsRecordFromBytes(zero);
    settingsChecksum(z);
    EXPECT_EQ(z.checksum, 0u);
    EXPECT_EQ(z.formatMarker, 0x5726u);

    // One word set: the checksum is that word; the format marker takes no part.
    _FILEDATA one = settingsRecordFromBytes(zero);
    one.reserved496 = 0x01020304;
    one.formatMarker = 0xDEADBEEF;
    settingsChecksum(one);
    EXPECT_EQ(one.checksum, 0x01020304u);

    // Text bytes count as little-endian words: "QX-4" is 0x342D5851.
    _FILEDATA text = settingsRecordFromBytes(zero);
    std::memcpy(text.modelName, "QX-4", 4);
    EXPECT_EQ(computeSettingsChecksum(text), 0x342D5851u);

    // After a save of any record, words 1..124 of the file XOR to 0.
    for (int seed : {1, 2, 3}) {
        SettingsRecordBytes b{};
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = uint8_t((i + 1) * 131 * unsigned(seed) >> 3);
        _FILEDATA r = settingsRecordFromBytes(b);
        prepareSettingsRecordForSave(r);
        const SettingsRecordBytes saved = settingsRecordBytes(r);
        uint32_t x = 0;
        for (size_t off = 4; off < 500; off += 4)
            x ^= wordAt(saved, off);
        EXPECT_EQ(x, 0u) << seed;
    }
}

TEST(SettingsRecordTest, CarNumberSetFollowsTheFirstByte) {
    struct {
        const char* carNumber;
        uint32_t before, after;
    } cases[] = {{"", 1, 0}, {"A", 0, 1}, {"Telvo", 7, 1}};
    for (const auto& c : cases) {
        _FILEDATA r = defaultSettingsRecord(clockAt(0, 0));
        setSettingsText(r.carNumber, c.carNumber);
        r.carNumberSet = c.before;
        prepareSettingsRecordForSave(r);
        EXPECT_EQ(r.carNumberSet, c.after) << c.carNumber;
        EXPECT_EQ(r.checksum, computeSettingsChecksum(r));
    }
}

TEST(SettingsRecordTest, TimeZoneTableAndLabels) {
    ASSERT_EQ(timeZoneOffsetTable.size(), 34u);
    for (size_t i = 0; i < timeZoneOffsetTable.size(); ++i) {
        const int32_t v = timeZoneOffsetTable[i];
        char label[16];
        if (v == 0)
            std::snprintf(label, sizeof label, "00:00");
        else
            std::snprintf(label, sizeof label, "%c%02d:%02d", v < 0 ? '-' : '+', std::abs(v) / 100,
                          std::abs(v) % 100);
        EXPECT_STREQ(timeZoneLabels[i], label) << i;
        if (i > 0) {
            EXPECT_LT(timeZoneOffsetTable[i - 1], v) << i;
        }
        // Every entry is found again from its offset in seconds.
        const int64_t seconds = int64_t(v / 100) * 3600 + int64_t(v % 100) * 60;
        EXPECT_EQ(timeZoneIndexForOffset(seconds), int32_t(i)) << label;
    }
}

TEST(SettingsRecordTest, TimeZoneIndexFromOffset) {
    struct {
        int64_t seconds;
        int32_t index;
    } cases[] = {
        {19800, 22},      {-16200, 8}, {20700, 23},  {32400, 28}, {0, 14},          {-43200, 0}, {46800, 33},
        {31500, -1},      {50400, -1}, {-12600, 10}, {34200, 29}, {32400 + 59, 28}, // seconds are dropped
        {-16200 - 59, 8}, {-1800, -1}, {1800, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timeZoneIndexForOffset(c.seconds), c.index) << c.seconds;
        EXPECT_EQ(currentTimeZoneIndex(clockAt(0, 0, c.seconds)), c.index) << c.seconds;
    }
}

// The system clock path: the offset comes from the TZ environment variable.
TEST(SettingsRecordTest, TimeZoneIndexFromTheSystemZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    struct {
        const char* tz; // POSIX form: the sign is west of UTC
        int32_t index;
    } cases[] = {{"XXX-5:45", 23}, {"XXX4:30", 8},   {"XXX-9", 28},
                 {"UTC0", 14},     {"XXX-8:45", -1}, {"XXX-14", -1}};
    for (const auto& c : cases) {
        ::setenv("TZ", c.tz, 1);
        ::tzset();
        EXPECT_EQ(currentTimeZoneIndex(), c.index) << c.tz;
    }
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(SettingsRecordTest, WriteThenReadGivesTheSameRecord) {
    TempDir dir;
    const std::string path = (dir / "config.bin").string();
    _FILEDATA r = defaultSettingsRecord(clockAt(7, 5));
    r.timeZoneIndex = -1;
    setSettingsText(r.wifiSsid, "0123456789abcdef");
    prepareSettingsRecordForSave(r);
    ASSERT_EQ(writeSettingsRecord(r, path), std::nullopt);
    EXPECT_EQ(dcv::test::readFile(path), asString(settingsRecordBytes(r)));
    _FILEDATA back = defaultSettingsRecord(clockAt(0, 0));
    ASSERT_TRUE(readSettingsRecord(path, back));
    EXPECT_EQ(settingsRecordBytes(back), settingsRecordBytes(r));

    ASSERT_EQ(writeDefaultSettingsFile(path, clockAt(7, 5)), std::nullopt);
    EXPECT_EQ(dcv::test::readFile(path), asString(expectedDefaultBytes("0705")));
}

TEST(SettingsRecordTest, ReadFailuresLeaveTheRecordAsItWas) {
    TempDir dir;
    std::string longer = asString(expectedDefaultBytes("1111"));
    longer += "trailing bytes are ignored";
    struct {
        std::string name;
        std::optional<std::string> content; // none: no file
        bool ok;
    } cases[] = {
        {"missing", std::nullopt, false},
        {"empty", std::string(), false},
        {"short", std::string(499, 'x'), false},
        {"exact", asString(expectedDefaultBytes("2222")), true},
        {"longer", longer, true},
    };
    const SettingsRecordBytes before = settingsRecordBytes(defaultSettingsRecord(clockAt(9, 9)));
    for (const auto& c : cases) {
        const std::string path = (dir / c.name).string();
        if (c.content)
            dir.write(c.name, *c.content);
        _FILEDATA r = settingsRecordFromBytes(before);
        EXPECT_EQ(readSettingsRecord(path, r), c.ok) << c.name;
        if (c.ok)
            EXPECT_EQ(asString(settingsRecordBytes(r)), c.content->substr(0, 500)) << c.name;
        else
            EXPECT_EQ(settingsRecordBytes(r), before) << c.name;
    }
    _FILEDATA r = settingsRecordFromBytes(before);
    EXPECT_FALSE(readSettingsRecord(dir.path().string(), r)); // a folder
    EXPECT_EQ(settingsRecordBytes(r), before);
}

TEST(SettingsRecordTest, FailedWriteReturnsTheKeyAndLogsTheSystemError) {
    TempDir dir;
    dir.write("config.bin/inside", "x"); // a folder where the file should be
    std::vector<std::string> lines;
    ScopedLogSink sink([&](const std::string& line) { lines.push_back(line); });
    EXPECT_EQ(writeDefaultSettingsFile((dir / "config.bin").string()),
              std::optional<std::string>("msg.file_open_fail"));
    EXPECT_EQ(writeSettingsRecord(defaultSettingsRecord(), (dir / "no/such/folder/config.bin").string()),
              std::optional<std::string>("msg.file_open_fail"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(std::strerror(EISDIR)), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(std::strerror(ENOENT)), std::string::npos) << lines[1];
    EXPECT_TRUE(lines[0].starts_with("fopen fail:")) << lines[0];
}

} // namespace
