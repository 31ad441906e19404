#pragma once

#include "util/Failure.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace dcv {

// The camera's settings, the 500 bytes of "config.bin" at the root of its card. Integers are
// held in host order here and are little-endian in the file: settingsRecordBytes and
// settingsRecordFromBytes convert, so the layout below is also the file's layout. Text fields
// are NUL-padded byte arrays without a terminator when the text fills them. The reserved
// fields mean something to the camera only; they keep what the file or the defaults gave them.
// The layout reads as a table, offsets aligned: the formatter leaves it be.
// clang-format off
#pragma pack(push, 1)
struct _FILEDATA {
    uint32_t formatMarker;              //   0 fixed marker; never changed
    uint32_t checksum;                  //   4 XOR check word (settingsChecksum)
    char modelName[12];                 //   8 device model text
    uint32_t frontVideoQuality;         //  20 0 normal, 1 high, 2 highest
    uint32_t reserved24;                //  24
    uint32_t frontBrightness;           //  28 0..4 (labels 1..5, 3 is the default)
    uint32_t reserved32;                //  32
    uint32_t reserved36;                //  36
    uint32_t reserved40;                //  40
    uint32_t powerFrequency;            //  44 0 = 60 Hz, 1 = 50 Hz
    int32_t reserved48;                 //  48
    int32_t reserved52;                 //  52
    int32_t reserved56;                 //  56
    uint32_t gsensorEnable;             //  60 0 off, 1 on
    int32_t drivingGsensorX;            //  64 driving impact threshold, X axis, in 0.01 g
    int32_t drivingGsensorY;            //  68 driving threshold, Y axis, 0.01 g
    int32_t drivingGsensorZ;            //  72 driving threshold, Z axis, 0.01 g
    int32_t parkingGsensorX;            //  76 parking impact threshold, X axis, 0.01 g
    int32_t parkingGsensorY;            //  80 parking threshold, Y axis, 0.01 g
    int32_t parkingGsensorZ;            //  84 parking threshold, Z axis, 0.01 g
    int32_t reserved88;                 //  88
    int32_t reserved92;                 //  92
    int32_t reserved96;                 //  96
    uint32_t alwaysModeTimeout;         // 100 auto-parking waiting time, seconds (kAlwaysModeTimeoutItems)
    uint32_t frontLED;                  // 104 0 = LED used, 1 = LED not used
    uint32_t reserved108;               // 108
    uint32_t cableVoltageLoss;          // 112 1 none, 2..7 = 0.1 V..0.6 V
    uint32_t powerVoltage;              // 116 cut-off voltage code (kPowerVoltageItems)
    uint32_t powerTime;                 // 120 parking power timer, hours (kPowerTimeItems)
    uint32_t reserved124;               // 124
    char carNumber[8];                  // 128 car number text
    uint32_t rearLED;                   // 136 0 = LED not used, 1 = LED used
    uint32_t weeklyAlarmDay;            // 140 0 none, 1 Monday .. 7 Sunday
    uint32_t speedDisplayUnit;          // 144 0 km/h, 1 mi/h
    int32_t osdSpeedDisplay;            // 148 0 off, 1 on
    uint32_t reserved152;               // 152
    uint32_t gpsOnParkingMode;          // 156 0 off, 1 on
    int32_t timeZoneIndex;              // 160 index 0..33 into timeZoneOffsetTable; -1 = none
    uint32_t summerTime;                // 164 0 off, 1 on
    uint32_t reserved168;               // 168
    int32_t reserved172;                // 172
    int32_t reserved176;                // 176
    uint32_t sdAlwaysRatio;             // 180 card share of always recording, percent
    uint32_t sdEventRatio;              // 184 card share of event recording, percent
    uint32_t sdMotionRatio;             // 188 card share of motion recording, percent
    uint32_t autoFormatPeriod;          // 192 0 not used, 1..4 = 4, 8, 16, 32 weeks
    int32_t reserved196;                // 196
    int32_t reserved200;                // 200
    int32_t reserved204;                // 204
    int32_t reserved208;                // 208
    int32_t reserved212;                // 212
    int32_t reserved216;                // 216
    uint32_t wifiStartMode;             // 220 0 off, 1 on
    uint32_t wifiChannel;               // 224 0 automatic, 1..13 channel
    char wifiSsid[16];                  // 228 Wi-Fi network name
    char wifiPassword[16];              // 244 Wi-Fi password
    uint32_t reserved260;               // 260
    uint32_t reserved264;               // 264
    char apSsid[16];                    // 268 access-point network name; not edited
    char apPassword[16];                // 284 access-point password; not edited
    uint32_t reserved300;               // 300
    uint32_t frontMotionSensitivity;    // 304 0 not used, 1 (least sensitive) .. 5 (most sensitive)
    uint32_t rearMotionSensitivity;     // 308 as front
    uint32_t reserved312;               // 312
    uint32_t reserved316;               // 316
    int32_t reserved320;                // 320
    int32_t reserved324;                // 324
    int32_t reserved328;                // 328
    int32_t reserved332;                // 332
    int32_t reserved336;                // 336
    uint32_t reserved340;               // 340
    uint32_t ldwsSensitivity;           // 344 0 (least sensitive), 1, 2 (most sensitive)
    uint32_t ldwsSpeed;                 // 348 minimum speed in the unit of speedDisplayUnit, 0 off
    uint32_t fcwsSensitivity;           // 352 as ldwsSensitivity
    uint32_t fcwsSpeed;                 // 356 as ldwsSpeed
    uint32_t reserved360;               // 360
    uint32_t reserved364;               // 364
    uint32_t reserved368;               // 368
    int32_t reserved372;                // 372
    int32_t reserved376;                // 376
    uint32_t micVolume;                 // 380 0 not used, 1 (low), 2, 3 (high)
    uint32_t speakerVolume;             // 384 0 not used, 1 (low), 2, 3 (high)
    uint32_t voiceLanguage;             // 388 voice-guidance language, 0..15 (kVoiceLanguageKeys)
    uint32_t hourlyAlarm;               // 392 0 off, 1 on
    int32_t reserved396;                // 396
    int32_t reserved400;                // 400
    int32_t reserved404;                // 404
    int32_t reserved408;                // 408
    int32_t reserved412;                // 412
    int32_t reserved416;                // 416
    uint32_t reserved420;               // 420
    uint32_t reserved424;               // 424
    uint32_t reserved428;               // 428
    uint32_t reserved432;               // 432
    uint32_t reserved436;               // 436
    uint32_t segmentOption;             // 440 0..3 (kSegmentOptionKeys)
    uint32_t reserved444;               // 444
    uint32_t carNumberSet;              // 448 1 when carNumber is not empty (set on save)
    uint32_t reserved452;               // 452
    int32_t reserved456;                // 456
    uint32_t reserved460;               // 460
    uint32_t reserved464;               // 464
    uint32_t reserved468;               // 468
    uint32_t reserved472;               // 472
    uint32_t reserved476;               // 476
    uint32_t reserved480;               // 480
    int32_t reserved484;                // 484
    int32_t reserved488;                // 488
    int32_t reserved492;                // 492
    int32_t reserved496;                // 496
};
#pragma pack(pop)
// clang-format on

inline constexpr size_t kSettingsRecordSize = 500;
static_assert(sizeof(_FILEDATA) == kSettingsRecordSize);
static_assert(std::is_trivially_copyable_v<_FILEDATA> && std::is_standard_layout_v<_FILEDATA>);
static_assert(offsetof(_FILEDATA, formatMarker) == 0);
static_assert(offsetof(_FILEDATA, checksum) == 4);
static_assert(offsetof(_FILEDATA, modelName) == 8);
static_assert(offsetof(_FILEDATA, frontVideoQuality) == 20);
static_assert(offsetof(_FILEDATA, reserved24) == 24);
static_assert(offsetof(_FILEDATA, frontBrightness) == 28);
static_assert(offsetof(_FILEDATA, reserved32) == 32);
static_assert(offsetof(_FILEDATA, reserved36) == 36);
static_assert(offsetof(_FILEDATA, reserved40) == 40);
static_assert(offsetof(_FILEDATA, powerFrequency) == 44);
static_assert(offsetof(_FILEDATA, reserved48) == 48);
static_assert(offsetof(_FILEDATA, reserved52) == 52);
static_assert(offsetof(_FILEDATA, reserved56) == 56);
static_assert(offsetof(_FILEDATA, gsensorEnable) == 60);
static_assert(offsetof(_FILEDATA, drivingGsensorX) == 64);
static_assert(offsetof(_FILEDATA, drivingGsensorY) == 68);
static_assert(offsetof(_FILEDATA, drivingGsensorZ) == 72);
static_assert(offsetof(_FILEDATA, parkingGsensorX) == 76);
static_assert(offsetof(_FILEDATA, parkingGsensorY) == 80);
static_assert(offsetof(_FILEDATA, parkingGsensorZ) == 84);
static_assert(offsetof(_FILEDATA, reserved88) == 88);
static_assert(offsetof(_FILEDATA, reserved92) == 92);
static_assert(offsetof(_FILEDATA, reserved96) == 96);
static_assert(offsetof(_FILEDATA, alwaysModeTimeout) == 100);
static_assert(offsetof(_FILEDATA, frontLED) == 104);
static_assert(offsetof(_FILEDATA, reserved108) == 108);
static_assert(offsetof(_FILEDATA, cableVoltageLoss) == 112);
static_assert(offsetof(_FILEDATA, powerVoltage) == 116);
static_assert(offsetof(_FILEDATA, powerTime) == 120);
static_assert(offsetof(_FILEDATA, reserved124) == 124);
static_assert(offsetof(_FILEDATA, carNumber) == 128);
static_assert(offsetof(_FILEDATA, rearLED) == 136);
static_assert(offsetof(_FILEDATA, weeklyAlarmDay) == 140);
static_assert(offsetof(_FILEDATA, speedDisplayUnit) == 144);
static_assert(offsetof(_FILEDATA, osdSpeedDisplay) == 148);
static_assert(offsetof(_FILEDATA, reserved152) == 152);
static_assert(offsetof(_FILEDATA, gpsOnParkingMode) == 156);
static_assert(offsetof(_FILEDATA, timeZoneIndex) == 160);
static_assert(offsetof(_FILEDATA, summerTime) == 164);
static_assert(offsetof(_FILEDATA, reserved168) == 168);
static_assert(offsetof(_FILEDATA, reserved172) == 172);
static_assert(offsetof(_FILEDATA, reserved176) == 176);
static_assert(offsetof(_FILEDATA, sdAlwaysRatio) == 180);
static_assert(offsetof(_FILEDATA, sdEventRatio) == 184);
static_assert(offsetof(_FILEDATA, sdMotionRatio) == 188);
static_assert(offsetof(_FILEDATA, autoFormatPeriod) == 192);
static_assert(offsetof(_FILEDATA, reserved196) == 196);
static_assert(offsetof(_FILEDATA, reserved200) == 200);
static_assert(offsetof(_FILEDATA, reserved204) == 204);
static_assert(offsetof(_FILEDATA, reserved208) == 208);
static_assert(offsetof(_FILEDATA, reserved212) == 212);
static_assert(offsetof(_FILEDATA, reserved216) == 216);
static_assert(offsetof(_FILEDATA, wifiStartMode) == 220);
static_assert(offsetof(_FILEDATA, wifiChannel) == 224);
static_assert(offsetof(_FILEDATA, wifiSsid) == 228);
static_assert(offsetof(_FILEDATA, wifiPassword) == 244);
static_assert(offsetof(_FILEDATA, reserved260) == 260);
static_assert(offsetof(_FILEDATA, reserved264) == 264);
static_assert(offsetof(_FILEDATA, apSsid) == 268);
static_assert(offsetof(_FILEDATA, apPassword) == 284);
static_assert(offsetof(_FILEDATA, reserved300) == 300);
static_assert(offsetof(_FILEDATA, frontMotionSensitivity) == 304);
static_assert(offsetof(_FILEDATA, rearMotionSensitivity) == 308);
static_assert(offsetof(_FILEDATA, reserved312) == 312);
static_assert(offsetof(_FILEDATA, reserved316) == 316);
static_assert(offsetof(_FILEDATA, reserved320) == 320);
static_assert(offsetof(_FILEDATA, reserved324) == 324);
static_assert(offsetof(_FILEDATA, reserved328) == 328);
static_assert(offsetof(_FILEDATA, reserved332) == 332);
static_assert(offsetof(_FILEDATA, reserved336) == 336);
static_assert(offsetof(_FILEDATA, reserved340) == 340);
static_assert(offsetof(_FILEDATA, ldwsSensitivity) == 344);
static_assert(offsetof(_FILEDATA, ldwsSpeed) == 348);
static_assert(offsetof(_FILEDATA, fcwsSensitivity) == 352);
static_assert(offsetof(_FILEDATA, fcwsSpeed) == 356);
static_assert(offsetof(_FILEDATA, reserved360) == 360);
static_assert(offsetof(_FILEDATA, reserved364) == 364);
static_assert(offsetof(_FILEDATA, reserved368) == 368);
static_assert(offsetof(_FILEDATA, reserved372) == 372);
static_assert(offsetof(_FILEDATA, reserved376) == 376);
static_assert(offsetof(_FILEDATA, micVolume) == 380);
static_assert(offsetof(_FILEDATA, speakerVolume) == 384);
static_assert(offsetof(_FILEDATA, voiceLanguage) == 388);
static_assert(offsetof(_FILEDATA, hourlyAlarm) == 392);
static_assert(offsetof(_FILEDATA, reserved396) == 396);
static_assert(offsetof(_FILEDATA, reserved400) == 400);
static_assert(offsetof(_FILEDATA, reserved404) == 404);
static_assert(offsetof(_FILEDATA, reserved408) == 408);
static_assert(offsetof(_FILEDATA, reserved412) == 412);
static_assert(offsetof(_FILEDATA, reserved416) == 416);
static_assert(offsetof(_FILEDATA, reserved420) == 420);
static_assert(offsetof(_FILEDATA, reserved424) == 424);
static_assert(offsetof(_FILEDATA, reserved428) == 428);
static_assert(offsetof(_FILEDATA, reserved432) == 432);
static_assert(offsetof(_FILEDATA, reserved436) == 436);
static_assert(offsetof(_FILEDATA, segmentOption) == 440);
static_assert(offsetof(_FILEDATA, reserved444) == 444);
static_assert(offsetof(_FILEDATA, carNumberSet) == 448);
static_assert(offsetof(_FILEDATA, reserved452) == 452);
static_assert(offsetof(_FILEDATA, reserved456) == 456);
static_assert(offsetof(_FILEDATA, reserved460) == 460);
static_assert(offsetof(_FILEDATA, reserved464) == 464);
static_assert(offsetof(_FILEDATA, reserved468) == 468);
static_assert(offsetof(_FILEDATA, reserved472) == 472);
static_assert(offsetof(_FILEDATA, reserved476) == 476);
static_assert(offsetof(_FILEDATA, reserved480) == 480);
static_assert(offsetof(_FILEDATA, reserved484) == 484);
static_assert(offsetof(_FILEDATA, reserved488) == 488);
static_assert(offsetof(_FILEDATA, reserved492) == 492);
static_assert(offsetof(_FILEDATA, reserved496) == 496);

// ---- Field descriptors: one table, in file order, used for showing, editing and (de)serialising.

enum class SettingsFieldType : uint8_t { U32, I32, Text };

struct SettingsFieldDescriptor {
    std::string_view name;
    uint16_t offset;
    uint16_t size;
    SettingsFieldType type;
    bool reserved; // never interpreted, never edited
};

namespace detail {
template <typename T> constexpr SettingsFieldType settingsFieldTypeOf() {
    if constexpr (std::is_same_v<T, uint32_t>)
        return SettingsFieldType::U32;
    else if constexpr (std::is_same_v<T, int32_t>)
        return SettingsFieldType::I32;
    else {
        static_assert(std::is_array_v<T> && std::is_same_v<std::remove_extent_t<T>, char>);
        return SettingsFieldType::Text;
    }
}
} // namespace detail

// One entry per field, in record order (the formatter would give each a line of its own).
// clang-format off
#define DCV_FIELD(name)                                                                                     \
    SettingsFieldDescriptor {                                                                              \
        #name, uint16_t(offsetof(_FILEDATA, name)), uint16_t(sizeof(_FILEDATA::name)),                     \
            detail::settingsFieldTypeOf<decltype(_FILEDATA::name)>(), std::string_view(#name).starts_with("reserved") \
    }
inline constexpr std::array kSettingsFields = {
    DCV_FIELD(formatMarker), DCV_FIELD(checksum), DCV_FIELD(modelName), DCV_FIELD(frontVideoQuality),
    DCV_FIELD(reserved24), DCV_FIELD(frontBrightness), DCV_FIELD(reserved32), DCV_FIELD(reserved36),
    DCV_FIELD(reserved40), DCV_FIELD(powerFrequency), DCV_FIELD(reserved48), DCV_FIELD(reserved52),
    DCV_FIELD(reserved56), DCV_FIELD(gsensorEnable), DCV_FIELD(drivingGsensorX), DCV_FIELD(drivingGsensorY),
    DCV_FIELD(drivingGsensorZ), DCV_FIELD(parkingGsensorX), DCV_FIELD(parkingGsensorY),
    DCV_FIELD(parkingGsensorZ), DCV_FIELD(reserved88), DCV_FIELD(reserved92), DCV_FIELD(reserved96),
    DCV_FIELD(alwaysModeTimeout), DCV_FIELD(frontLED), DCV_FIELD(reserved108), DCV_FIELD(cableVoltageLoss),
    DCV_FIELD(powerVoltage), DCV_FIELD(powerTime), DCV_FIELD(reserved124), DCV_FIELD(carNumber),
    DCV_FIELD(rearLED), DCV_FIELD(weeklyAlarmDay), DCV_FIELD(speedDisplayUnit), DCV_FIELD(osdSpeedDisplay),
    DCV_FIELD(reserved152), DCV_FIELD(gpsOnParkingMode), DCV_FIELD(timeZoneIndex), DCV_FIELD(summerTime),
    DCV_FIELD(reserved168), DCV_FIELD(reserved172), DCV_FIELD(reserved176), DCV_FIELD(sdAlwaysRatio),
    DCV_FIELD(sdEventRatio), DCV_FIELD(sdMotionRatio), DCV_FIELD(autoFormatPeriod), DCV_FIELD(reserved196),
    DCV_FIELD(reserved200), DCV_FIELD(reserved204), DCV_FIELD(reserved208), DCV_FIELD(reserved212),
    DCV_FIELD(reserved216), DCV_FIELD(wifiStartMode), DCV_FIELD(wifiChannel), DCV_FIELD(wifiSsid),
    DCV_FIELD(wifiPassword), DCV_FIELD(reserved260), DCV_FIELD(reserved264), DCV_FIELD(apSsid),
    DCV_FIELD(apPassword), DCV_FIELD(reserved300), DCV_FIELD(frontMotionSensitivity),
    DCV_FIELD(rearMotionSensitivity), DCV_FIELD(reserved312), DCV_FIELD(reserved316), DCV_FIELD(reserved320),
    DCV_FIELD(reserved324), DCV_FIELD(reserved328), DCV_FIELD(reserved332), DCV_FIELD(reserved336),
    DCV_FIELD(reserved340), DCV_FIELD(ldwsSensitivity), DCV_FIELD(ldwsSpeed), DCV_FIELD(fcwsSensitivity),
    DCV_FIELD(fcwsSpeed), DCV_FIELD(reserved360), DCV_FIELD(reserved364), DCV_FIELD(reserved368),
    DCV_FIELD(reserved372), DCV_FIELD(reserved376), DCV_FIELD(micVolume), DCV_FIELD(speakerVolume),
    DCV_FIELD(voiceLanguage), DCV_FIELD(hourlyAlarm), DCV_FIELD(reserved396), DCV_FIELD(reserved400),
    DCV_FIELD(reserved404), DCV_FIELD(reserved408), DCV_FIELD(reserved412), DCV_FIELD(reserved416),
    DCV_FIELD(reserved420), DCV_FIELD(reserved424), DCV_FIELD(reserved428), DCV_FIELD(reserved432),
    DCV_FIELD(reserved436), DCV_FIELD(segmentOption), DCV_FIELD(reserved444), DCV_FIELD(carNumberSet),
    DCV_FIELD(reserved452), DCV_FIELD(reserved456), DCV_FIELD(reserved460), DCV_FIELD(reserved464),
    DCV_FIELD(reserved468), DCV_FIELD(reserved472), DCV_FIELD(reserved476), DCV_FIELD(reserved480),
    DCV_FIELD(reserved484), DCV_FIELD(reserved488), DCV_FIELD(reserved492), DCV_FIELD(reserved496),
};
#undef DCV_FIELD
// clang-format on

namespace detail {
// The table covers every byte of the record once, in order, with 4-byte integers.
constexpr bool settingsFieldsTileRecord() {
    size_t next = 0;
    for (const SettingsFieldDescriptor& f : kSettingsFields) {
        if (f.offset != next || f.size == 0 || (f.type != SettingsFieldType::Text && f.size != 4))
            return false;
        next += f.size;
    }
    return next == kSettingsRecordSize;
}
constexpr bool settingsFieldNamesUnique() {
    for (size_t i = 0; i < kSettingsFields.size(); ++i)
        for (size_t j = i + 1; j < kSettingsFields.size(); ++j)
            if (kSettingsFields[i].name == kSettingsFields[j].name)
                return false;
    return true;
}
} // namespace detail
static_assert(kSettingsFields.size() == 110);
static_assert(detail::settingsFieldsTileRecord());
static_assert(detail::settingsFieldNamesUnique());

// The descriptor of the field called `name`, or none.
const SettingsFieldDescriptor* findSettingsField(std::string_view name);

// ---- Integer and text access through a descriptor.

// The integer value of a U32 or I32 field (an I32 sign-extended).
int64_t settingsFieldInteger(const _FILEDATA& record, const SettingsFieldDescriptor& field);
// Stores `value` into a U32 or I32 field, truncated to 32 bits.
void setSettingsFieldInteger(_FILEDATA& record, const SettingsFieldDescriptor& field, int64_t value);
// The raw bytes of a field as held in the record (integers in host order).
std::span<const uint8_t> settingsFieldBytes(const _FILEDATA& record, const SettingsFieldDescriptor& field);

// A text field's bytes up to the first NUL (all of them when there is none).
std::string settingsText(std::span<const char> field);
template <size_t N> std::string settingsText(const char (&field)[N]) {
    return settingsText(std::span<const char>(field, N));
}
// Stores the first bytes of `text` that fit and pads the rest with NUL.
void setSettingsText(std::span<char> field, std::string_view text);
template <size_t N> void setSettingsText(char (&field)[N], std::string_view text) {
    setSettingsText(std::span<char>(field, N), text);
}

// ---- The file image.

using SettingsRecordBytes = std::array<uint8_t, kSettingsRecordSize>;
SettingsRecordBytes settingsRecordBytes(const _FILEDATA& record);
_FILEDATA settingsRecordFromBytes(std::span<const uint8_t, kSettingsRecordSize> bytes);

// ---- Clock and time zone, injectable for tests.

struct LocalTime {
    int minute = 0;               // 0..59
    int second = 0;               // 0..60
    int64_t utcOffsetSeconds = 0; // offset of the local zone from UTC now, daylight saving included
};
using LocalTimeSource = std::function<LocalTime()>;
// The computer's clock and zone (the TZ environment variable applies).
LocalTime systemLocalTime();

// ---- Time-zone table: offsets from UTC in signed hhmm form, and the labels the GPS tab shows.

inline constexpr size_t kTimeZoneCount = 34;
// Offsets and their labels side by side.
// clang-format off
inline constexpr std::array<int32_t, kTimeZoneCount> timeZoneOffsetTable = {
    -1200, -1100, -1000, -900, -800, -700, -600, -500, -430, -400, -330, -300, -200, -100, 0,   100, 200,
    300,   330,   400,   430,  500,  530,  545,  600,  630,  700,  800,  900,  930,  1000, 1100, 1200, 1300};
inline constexpr std::array<const char*, kTimeZoneCount> timeZoneLabels = {
    "-12:00", "-11:00", "-10:00", "-09:00", "-08:00", "-07:00", "-06:00", "-05:00", "-04:30",
    "-04:00", "-03:30", "-03:00", "-02:00", "-01:00", "00:00",  "+01:00", "+02:00", "+03:00",
    "+03:30", "+04:00", "+04:30", "+05:00", "+05:30", "+05:45", "+06:00", "+06:30", "+07:00",
    "+08:00", "+09:00", "+09:30", "+10:00", "+11:00", "+12:00", "+13:00"};
// clang-format on
inline constexpr int32_t kTimeZoneNone = -1;
inline constexpr int32_t kDefaultTimeZoneIndex = 28; // +09:00

// The index of an offset from UTC (seconds) in timeZoneOffsetTable, or -1.
int32_t timeZoneIndexForOffset(int64_t utcOffsetSeconds);
// The index of the computer's current offset from UTC, or -1.
int32_t currentTimeZoneIndex(const LocalTimeSource& clock = systemLocalTime);

// ---- Record operations.

inline constexpr uint32_t kSettingsFormatMarker = 22310; // 0x5726
inline constexpr uint32_t kUncomputedChecksum = 65535;   // a default record before its first save

// Factory defaults; the Wi-Fi name takes the minute and second of `clock` ("TelvoV-mmss").
void initDefaultSettingsRecord(_FILEDATA& record, const LocalTimeSource& clock = systemLocalTime);
_FILEDATA defaultSettingsRecord(const LocalTimeSource& clock = systemLocalTime);

// The check word of a record: the XOR of the little-endian words 2 to 124 (offsets 8..496).
uint32_t computeSettingsChecksum(const _FILEDATA& record);
// Stores computeSettingsChecksum in `checksum`.
void settingsChecksum(_FILEDATA& record);
// The two steps every save runs first: carNumberSet from carNumber, then the checksum.
void updateCarNumberSet(_FILEDATA& record);
void prepareSettingsRecordForSave(_FILEDATA& record);

// Reads the first 500 bytes of the file into `record`. False when the file cannot be opened, is
// not a regular file (a FIFO is never waited on) or is shorter; the record is then left exactly
// as it was.
bool readSettingsRecord(const std::string& path, _FILEDATA& record);
// Reads a settings file that must be exactly one record: a regular file of 500 bytes.
Result<_FILEDATA> loadSettingsFile(const std::string& path);

// Saves the record with safeWriteFile. On failure the old file stays, the system's error text
// is logged and the result is "msg.file_open_fail"; none on success.
std::optional<std::string> writeSettingsRecord(const _FILEDATA& record, const std::string& path);
// Writes a default record (checksum left at 65535); the same result as writeSettingsRecord.
std::optional<std::string> writeDefaultSettingsFile(const std::string& path,
                                                    const LocalTimeSource& clock = systemLocalTime);

inline constexpr const char* kMsgFileOpenFail = "msg.file_open_fail";

} // namespace dcv
