#pragma once

// The value tables of the settings tabs and the pure rules around them. Each tab uses what it
// needs from here without holding another tab (the GPS tab converts ADAS speeds with the free
// functions below).

#include "settings/DCVValidator.h"
#include "settings/SettingsRecord.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dcv {

// How a segment or list item is labelled. The windows localise keys and fill formats.
struct ItemLabel {
    enum class Kind : uint8_t {
        Key,            // `text` is a string-table key
        Literal,        // `text` is shown as it is
        KeyFormat,      // `text` is the key of a format filled with `number` ("nSecond_fmt" with 10)
        LiteralWithKey, // `text` is a format ("1(%@)") filled with the localised `argumentKey`
    };
    Kind kind = Kind::Literal;
    const char* text = "";
    int32_t number = 0;
    const char* argumentKey = nullptr;

    static constexpr ItemLabel key(const char* k) { return {Kind::Key, k, 0, nullptr}; }
    static constexpr ItemLabel literal(const char* t) { return {Kind::Literal, t, 0, nullptr}; }
    static constexpr ItemLabel keyFormat(const char* k, int32_t n) {
        return {Kind::KeyFormat, k, n, nullptr};
    }
    static constexpr ItemLabel withKey(const char* format, const char* k) {
        return {Kind::LiteralWithKey, format, 0, k};
    }
};

template <typename V> struct LabeledValue {
    ItemLabel label;
    V value;
};

// The first index whose value equals `value`, else `fallback`.
template <typename V, size_t N>
constexpr int32_t indexOfValue(const std::array<LabeledValue<V>, N>& table, V value, int32_t fallback) {
    for (size_t i = 0; i < N; ++i)
        if (table[i].value == value)
            return int32_t(i);
    return fallback;
}

// ===== Basic tab

// Auto-parking waiting time: segment → alwaysModeTimeout in seconds.
inline constexpr std::array<LabeledValue<uint32_t>, 9> kAlwaysModeTimeoutItems = {{
    {ItemLabel::key("unuse"), 0},
    {ItemLabel::keyFormat("nSecond_fmt", 10), 10},
    {ItemLabel::keyFormat("nSecond_fmt", 30), 30},
    {ItemLabel::keyFormat("nMinute_fmt", 1), 60},
    {ItemLabel::keyFormat("nMinute_fmt", 2), 120},
    {ItemLabel::keyFormat("nMinute_fmt", 3), 180},
    {ItemLabel::keyFormat("nMinute_fmt", 5), 300},
    {ItemLabel::keyFormat("nMinute_fmt", 7), 420},
    {ItemLabel::keyFormat("nMinute_fmt", 10), 600},
}};
inline constexpr int32_t kAlwaysModeTimeoutDefaultIndex = 2;
int32_t findAlwaysModeTimeoutIndexByValue(uint32_t value);

// Impact-sensor presets in 0.01 g; segment 5 is custom values typed into the fields.
struct GsensorPreset {
    int32_t drivingX;
    int32_t drivingYZ;
    int32_t parking; // X, Y and Z alike
};
inline constexpr std::array<GsensorPreset, 5> kGsensorPresets = {
    {{70, 65, 25}, {60, 55, 20}, {50, 45, 15}, {40, 35, 12}, {30, 25, 8}}};
inline constexpr int32_t kGsensorCustomSegment = 5;
inline constexpr std::array<ItemLabel, 6> kGsensorSegmentLabels = {
    {ItemLabel::withKey("1(%@)", "insensitive"), ItemLabel::literal("2"), ItemLabel::literal("3"),
     ItemLabel::literal("4"), ItemLabel::withKey("5(%@)", "sensitive"),
     ItemLabel::key("setting.basic.customize")}};
// The preset whose X matches and whose Y/Z column matches both y and z, else 5 (custom).
int32_t findDrivingGsensorThresholdIndexByX(int32_t x, int32_t y, int32_t z);
// The preset whose parking value equals x, y and z, else 5 (custom).
int32_t findParkingGsensorThresholdIndexByX(int32_t x, int32_t y, int32_t z);
// A threshold field's text: value / 100 with "%.2f".
std::string gsensorThresholdText(int32_t value);
// A threshold field's number × 100, truncated toward zero (0.29 gives 28), clamped to 32 bits.
int32_t gsensorThresholdFromNumber(double number);
// Thresholds the window can store: trunc(t × 100) for t from 0.05 to 1.5, and the presets.
inline constexpr int32_t kGsensorThresholdStoredMin = 5;
inline constexpr int32_t kGsensorThresholdStoredMax = 150;

// LEDs: the stored value is the segment index, and the two controls order their segments
// the opposite way.
inline constexpr std::array<ItemLabel, 2> kFrontLEDSegmentKeys = {
    {ItemLabel::key("setting.basic.LED_use"), ItemLabel::key("setting.basic.LED_notuse")}};
inline constexpr std::array<ItemLabel, 2> kRearLEDSegmentKeys = {
    {ItemLabel::key("setting.basic.LED_notuse"), ItemLabel::key("setting.basic.LED_use")}};

// Cut-off voltage: item → powerVoltage.
inline constexpr std::array<LabeledValue<uint32_t>, 13> kPowerVoltageItems = {{
    {ItemLabel::key("unuse"), 0},
    {ItemLabel::key("auto"), 1},
    {ItemLabel::key("externpower"), 10000},
    {ItemLabel::literal("11.5v / 23.0v"), 11500},
    {ItemLabel::literal("11.6v / 23.2v"), 11600},
    {ItemLabel::literal("11.7v / 23.4v"), 11700},
    {ItemLabel::literal("11.8v / 23.6v"), 11800},
    {ItemLabel::literal("11.9v / 23.8v"), 11900},
    {ItemLabel::literal("12.0v / 24.0v"), 12000},
    {ItemLabel::literal("12.1v / 24.2v"), 12100},
    {ItemLabel::literal("12.2v / 24.4v"), 12200},
    {ItemLabel::literal("12.3v / 24.6v"), 12300},
    {ItemLabel::literal("12.4v / 24.8v"), 12400},
}};
inline constexpr int32_t kPowerVoltageDefaultIndex = 8;
// Selecting the external-power item warns with "msg.use_external_power_10v".
inline constexpr int32_t kPowerVoltageExternalPowerIndex = 2;
int32_t findPowerVoltageIndexByValue(uint32_t value);

// Parking power timer: item → powerTime in hours.
inline constexpr std::array<LabeledValue<uint32_t>, 8> kPowerTimeItems = {{
    {ItemLabel::key("unuse"), 0},
    {ItemLabel::keyFormat("nHour_fmt", 3), 3},
    {ItemLabel::keyFormat("nHour_fmt", 6), 6},
    {ItemLabel::keyFormat("nHour_fmt", 9), 9},
    {ItemLabel::keyFormat("nHour_fmt", 12), 12},
    {ItemLabel::keyFormat("nHour_fmt", 24), 24},
    {ItemLabel::keyFormat("nHour_fmt", 36), 36},
    {ItemLabel::keyFormat("nHour_fmt", 48), 48},
}};
inline constexpr int32_t kPowerTimeDefaultIndex = 0;
int32_t findPowerTimeIndexByValue(uint32_t value);

// Cable voltage loss: item i → cableVoltageLoss i + 1.
inline constexpr std::array<ItemLabel, 7> kCableVoltageLossLabels = {
    {ItemLabel::key("none"), ItemLabel::literal("0.1v"), ItemLabel::literal("0.2v"),
     ItemLabel::literal("0.3v"), ItemLabel::literal("0.4v"), ItemLabel::literal("0.5v"),
     ItemLabel::literal("0.6v")}};
// A stored value without an item (0 among them) shows 0.3v, the default.
inline constexpr int32_t kCableVoltageLossDefaultIndex = 3;

inline constexpr std::array<ItemLabel, 4> kSegmentOptionKeys = {
    {ItemLabel::key("setting.basic.segment_option_1"), ItemLabel::key("setting.basic.segment_option_2"),
     ItemLabel::key("setting.basic.segment_option_3"), ItemLabel::key("setting.basic.segment_option_4")}};

// ===== GPS tab

// The time-zone list: the labels of timeZoneOffsetTable, in its order.
inline constexpr std::array<ItemLabel, kTimeZoneCount> kTimeZoneItemLabels = [] {
    std::array<ItemLabel, kTimeZoneCount> labels{};
    for (size_t i = 0; i < kTimeZoneCount; ++i)
        labels[i] = ItemLabel::literal(timeZoneLabels[i]);
    return labels;
}();

inline constexpr std::array<ItemLabel, 8> kWeeklyAlarmDayKeys = {
    {ItemLabel::key("none"), ItemLabel::key("mon"), ItemLabel::key("tue"), ItemLabel::key("wed"),
     ItemLabel::key("thu"), ItemLabel::key("fri"), ItemLabel::key("sat"), ItemLabel::key("sun")}};
inline constexpr std::array<ItemLabel, 2> kSpeedUnitLabels = {
    {ItemLabel::literal("Km/h"), ItemLabel::literal("Mi/h")}}; // not localised
inline constexpr std::array<ItemLabel, 2> kOffOnKeys = {{ItemLabel::key("off"), ItemLabel::key("on")}};
inline constexpr uint32_t kSpeedUnitKmh = 0;
inline constexpr uint32_t kSpeedUnitMph = 1;

// What the GPS tab keeps to convert the ADAS speeds when the unit segment changes: the unit
// the record's speeds are in now and their positions in that unit's table.
struct SpeedUnitState {
    uint32_t speedUnit = kSpeedUnitKmh;
    int32_t ldwsSpeedIndex = 0;
    int32_t fcwsSpeedIndex = 0;
};
SpeedUnitState captureSpeedUnitState(const _FILEDATA& record);
// The unit segment became `unit`: from km/h to mi/h or back, both speeds take the value at the
// same position in the other table. Any other change leaves everything as it is.
void changeSpeedUnit(SpeedUnitState& state, _FILEDATA& record, uint32_t unit);

// ===== Video tab

inline constexpr std::array<ItemLabel, 3> kVideoQualityKeys = {
    {ItemLabel::key("setting.video.quality_normal"), ItemLabel::key("setting.video.quality_high"),
     ItemLabel::key("setting.video.quality_highest")}};
inline constexpr std::array<ItemLabel, 5> kBrightnessLabels = {
    {ItemLabel::literal("1"), ItemLabel::literal("2"), ItemLabel::withKey("3(%@)", "default"),
     ItemLabel::literal("4"), ItemLabel::literal("5")}};

// ===== Motion tab

inline constexpr std::array<ItemLabel, 6> kMotionSensitivityLabels = {
    {ItemLabel::key("unuse"), ItemLabel::withKey("1(%@)", "insensitive"), ItemLabel::literal("2"),
     ItemLabel::literal("3"), ItemLabel::literal("4"), ItemLabel::withKey("5(%@)", "sensitive")}};

// ===== ADAS tab

inline constexpr std::array<ItemLabel, 3> kAdasSensitivityLabels = {
    {ItemLabel::withKey("0(%@)", "insensitive"), ItemLabel::literal("1"),
     ItemLabel::withKey("2(%@)", "sensitive")}};

// LDWS and FCWS share the speed tables; segment 0 is "not used" and stores 0.
inline constexpr std::array<LabeledValue<uint32_t>, 7> kAdasSpeedKmhItems = {{
    {ItemLabel::key("setting.aux.auto_format_notuse"), 0},
    {ItemLabel::literal("50Km/h"), 50},
    {ItemLabel::literal("60Km/h"), 60},
    {ItemLabel::literal("70Km/h"), 70},
    {ItemLabel::literal("80Km/h"), 80},
    {ItemLabel::literal("90Km/h"), 90},
    {ItemLabel::literal("100Km/h"), 100},
}};
inline constexpr std::array<LabeledValue<uint32_t>, 7> kAdasSpeedMphItems = {{
    {ItemLabel::key("setting.aux.auto_format_notuse"), 0},
    {ItemLabel::literal("30Mi/h"), 30},
    {ItemLabel::literal("40Mi/h"), 40},
    {ItemLabel::literal("45Mi/h"), 45},
    {ItemLabel::literal("50Mi/h"), 50},
    {ItemLabel::literal("55Mi/h"), 55},
    {ItemLabel::literal("60Mi/h"), 60},
}};

// Value → index in the km/h or mi/h table; 0 when absent.
int32_t FindLdwsSpeed(uint32_t value);
int32_t FindLdwsSpeedMile(uint32_t value);
int32_t FindFcwsSpeed(uint32_t value);
int32_t FindFcwsSpeedMile(uint32_t value);
// The value at `index` in the mi/h table when `unit` is non-zero, else in the km/h table; 0
// for an index outside the table.
uint32_t getLdwsSpeed(int32_t index, uint32_t unit);
uint32_t getFcwsSpeed(int32_t index, uint32_t unit);

// ===== Audio tab

inline constexpr std::array<ItemLabel, 4> kVolumeLabels = {
    {ItemLabel::key("unuse"), ItemLabel::withKey("1(%@)", "setting.aux.volume_low"), ItemLabel::literal("2"),
     ItemLabel::withKey("3(%@)", "setting.aux.volume_up")}};
inline constexpr std::array<ItemLabel, 16> kVoiceLanguageKeys = {
    {ItemLabel::key("Korean"), ItemLabel::key("English"), ItemLabel::key("Japanese"),
     ItemLabel::key("Chinese"), ItemLabel::key("Cantonese"), ItemLabel::key("Malaysia"),
     ItemLabel::key("BahasaIndonesia"), ItemLabel::key("Thai"), ItemLabel::key("Vietnamese"),
     ItemLabel::key("French"), ItemLabel::key("Spanish.Europe"), ItemLabel::key("Arabic"),
     ItemLabel::key("Russian"), ItemLabel::key("German"), ItemLabel::key("Italian"),
     ItemLabel::key("Portuguese")}};
// Cells are filled row by row, so the language of a cell depends only on the order.
struct GridCell {
    int32_t row = 0;
    int32_t column = 0;
    friend bool operator==(const GridCell&, const GridCell&) = default;
};
uint32_t voiceLanguageForCell(GridCell cell, int32_t columns);
GridCell cellForVoiceLanguage(uint32_t voiceLanguage, int32_t columns);

// ===== Auxiliary tab

inline constexpr std::array<ItemLabel, 5> kAutoFormatPeriodKeys = {
    {ItemLabel::key("setting.aux.auto_format_notuse"), ItemLabel::key("setting.aux.auto_format_4week"),
     ItemLabel::key("setting.aux.auto_format_8week"), ItemLabel::key("setting.aux.auto_format_16week"),
     ItemLabel::key("setting.aux.auto_format_32week")}};
inline constexpr std::array<ItemLabel, 2> kWifiStartModeKeys = {
    {ItemLabel::key("setting.aux.wifi_start_off"), ItemLabel::key("setting.aux.wifi_start_on")}};
inline constexpr std::array<ItemLabel, 2> kPowerFrequencyLabels = {
    {ItemLabel::literal("60Hz"), ItemLabel::literal("50Hz")}};
// Item i is channel i; item 0 lets the camera choose. Padded so the numbers line up.
inline constexpr std::array<ItemLabel, 14> kWifiChannelItems = {
    {ItemLabel::literal("   0(Auto)"), ItemLabel::literal("   1"), ItemLabel::literal("   2"),
     ItemLabel::literal("   3"), ItemLabel::literal("   4"), ItemLabel::literal("   5"),
     ItemLabel::literal("   6"), ItemLabel::literal("   7"), ItemLabel::literal("   8"),
     ItemLabel::literal("   9"), ItemLabel::literal("  10"), ItemLabel::literal("  11"),
     ItemLabel::literal("  12"), ItemLabel::literal("  13")}};

// Wi-Fi names and passwords: printable ASCII without space.
inline constexpr char kWifiFirstAllowedChar = '!';
inline constexpr char kWifiLastAllowedChar = '~';
inline constexpr size_t kWifiSsidMinLength = 5;
inline constexpr size_t kWifiPasswordMinLength = 8;
// True when every byte is from "!" to "~"; the empty text passes.
bool validString(std::string_view text);
// The number of characters of a UTF-8 text as the window's text fields count them (UTF-16 units).
size_t wifiTextLength(std::string_view utf8);
// The key of the first rule the text breaks ("setting.aux.ssid_length", "setting.aux.ssid_invalid"),
// or none.
std::optional<std::string> checkWifiSsid(std::string_view utf8);
// "setting.aux.password_length", "setting.aux.password_invalid", or none.
std::optional<std::string> checkWifiPassword(std::string_view utf8);

// The card's shares. The slider's two handles give lowRatio and highRatio (percent): always is
// lowRatio, motion highRatio - lowRatio, event 100 - highRatio.
struct SdRatios {
    int32_t lowRatio = 0;
    int32_t highRatio = 0;
    friend bool operator==(const SdRatios&, const SdRatios&) = default;
};
SdRatios sdRatiosFromRecord(const _FILEDATA& record);
// A handle's value (0..1) as percent: truncated, computed in single precision as the slider does.
int32_t sdRatioFromHandleValue(float value);
// Where the handles go for a record: "Low" at always / 100, "High" at (100 - event) / 100.
float lowHandleRatio(const _FILEDATA& record);
float highHandleRatio(const _FILEDATA& record);
// The first share under 10 percent, checked in the order always, motion, event.
ValidationResult validateSdRatios(SdRatios ratios);
// Stores the three shares; event is 100 minus the two others.
void storeSdRatios(_FILEDATA& record, SdRatios ratios);

} // namespace dcv
