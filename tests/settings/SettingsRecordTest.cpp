#include "settings/SettingsRecord.h"
#include "support/TestSupport.h"
#include "util/Log.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace dcv;
using dcv::test::TempDir;

namespace {

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

// The field table is built from the record's own declaration and checked when compiled; here
// each field is found by its name.
TEST(SettingsRecordTest, FieldsAreFoundByName) {
    for (const SettingsFieldDescriptor& d : kSettingsFields)
        EXPECT_EQ(findSettingsField(d.name), &d) << d.name;
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
    // Initialising a record overwrites everything that was there.
    _FILEDATA used;
    std::memset(&used, 0xA5, sizeof used);
    initDefaultSettingsRecord(used, clockAt(1, 2));
    EXPECT_EQ(asString(settingsRecordBytes(used)), asString(expectedDefaultBytes("0102")));
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
    EXPECT_EQ(wordAt(b, 116), 0x11223344u); // read back little-endian
    EXPECT_EQ(wordAt(b, 160), 0xFFFFFFFFu);
    // Every byte pattern survives the trip through the record.
    SettingsRecordBytes any{};
    for (size_t i = 0; i < any.size(); ++i)
        any[i] = uint8_t(i * 37 + 11);
    EXPECT_EQ(settingsRecordBytes(settingsRecordFromBytes(any)), any);
}

TEST(SettingsRecordTest, Checksum) {
    // One word set: the checksum is that word; neither the format marker nor the old checksum
    // takes part.
    const SettingsRecordBytes zero{};
    _FILEDATA one = settingsRecordFromBytes(zero);
    one.reserved496 = 0x01020304;
    one.formatMarker = 0xDEADBEEF;
    one.checksum = 0xFF;
    settingsChecksum(one);
    EXPECT_EQ(one.checksum, 0x01020304u);
    EXPECT_EQ(one.formatMarker, 0xDEADBEEFu);

    // Text bytes count as little-endian words: "QX-4" is 0x342D5851.
    _FILEDATA text = settingsRecordFromBytes(zero);
    std::memcpy(text.modelName, "QX-4", 4);
    EXPECT_EQ(computeSettingsChecksum(text), 0x342D5851u);
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

TEST(SettingsRecordTest, TimeZoneTableLabelsAndOffsets) {
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
    const struct {
        int64_t seconds;
        int32_t index;
    } offsets[] = {{31500, -1}, {50400, -1},      {-1800, -1},
                   {1800, -1},  {32400 + 59, 28}, {-16200 - 59, 8}}; // seconds are dropped
    for (const auto& c : offsets) {
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

TEST(SettingsRecordTest, ReadFailuresLeaveTheRecordAsItWas) {
    TempDir dir;
    ::mkfifo((dir / "fifo").c_str(), 0644);
    std::string longer = asString(expectedDefaultBytes("1111"));
    longer += "trailing bytes are ignored";
    struct {
        std::string name;                   // under the folder
        std::optional<std::string> content; // written there first
        bool ok;
    } cases[] = {
        {"missing", std::nullopt, false},
        {"empty", std::string(), false},
        {"short", std::string(499, 'x'), false},
        {"exact", asString(expectedDefaultBytes("2222")), true},
        {"longer", longer, true},
        {"", std::nullopt, false},          // the folder itself
        {"fifo", std::nullopt, false},      // a plain open would wait for a writer for ever
        {"/dev/zero", std::nullopt, false}, // a device without end
    };
    const SettingsRecordBytes before = settingsRecordBytes(defaultSettingsRecord(clockAt(9, 9)));
    for (const auto& c : cases) {
        const std::string path = (dir / c.name).string();
        if (c.content)
            dir.write(c.name, *c.content);
        _FILEDATA r = settingsRecordFromBytes(before);
        EXPECT_EQ(readSettingsRecord(path, r), c.ok) << path;
        if (c.ok)
            EXPECT_EQ(asString(settingsRecordBytes(r)), c.content->substr(0, 500)) << path;
        else
            EXPECT_EQ(settingsRecordBytes(r), before) << path;
    }
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
