#pragma once

// One rule per editable field of the settings record: the values it may hold, how a control
// of a settings tab shows and stores it, and how a typed text is checked. The settings tabs and
// `dcv config set` both go through this table, so no rule is written down twice.

#include "settings/DCVValidator.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsTables.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dcv {

enum class SettingsRuleKind : uint8_t {
    Items,        // the value is an item index plus `first`: one segment, list item or cell per value
    Choice,       // the value comes from a table of labelled values (the ADAS speeds: the unit's table)
    Flag,         // a check box: stores 0 or 1, shows any non-zero value as on
    Threshold,    // an impact threshold in 0.01 g, typed in g
    Share,        // a card share in percent: each at least 10, the three adding up to 100
    CarNumber,    // up to 8 ASCII letters and digits
    WifiSsid,     // at least 5 printable ASCII characters without space
    WifiPassword, // at least 8 likewise
};

struct SettingsFieldRule {
    SettingsFieldDescriptor field;
    SettingsRuleKind kind;
    std::span<const ItemLabel> labels{};                  // Items
    int32_t first = 0;                                    // Items: the value of item 0
    bool noneStoresMinusOne = false;                      // Items: no item selected means -1 (time zone)
    std::span<const LabeledValue<uint32_t>> choices{};    // Choice; km/h for the speeds
    std::span<const LabeledValue<uint32_t>> mphChoices{}; // Choice: the table when speedDisplayUnit is 1
    int32_t fallbackItem = -1; // Items, Choice: the item shown for a value that has none; -1 shows none
};

namespace detail {
constexpr SettingsFieldDescriptor fieldNamed(std::string_view name) {
    for (const SettingsFieldDescriptor& f : kSettingsFields)
        if (f.name == name)
            return f;
    throw std::logic_error("no such settings field"); // a compile error in a constant expression
}
constexpr SettingsFieldRule items(std::string_view name, std::span<const ItemLabel> labels,
                                  int32_t fallbackItem = -1) {
    return {fieldNamed(name), SettingsRuleKind::Items, labels, 0, false, {}, {}, fallbackItem};
}
constexpr SettingsFieldRule choice(std::string_view name, std::span<const LabeledValue<uint32_t>> table,
                                   int32_t fallbackItem) {
    return {fieldNamed(name), SettingsRuleKind::Choice, {}, 0, false, table, {}, fallbackItem};
}
constexpr SettingsFieldRule speed(std::string_view name) {
    return {fieldNamed(name),   SettingsRuleKind::Choice, {}, 0, false,
            kAdasSpeedKmhItems, kAdasSpeedMphItems,       0};
}
constexpr SettingsFieldRule plain(std::string_view name, SettingsRuleKind kind) {
    return {fieldNamed(name), kind};
}
} // namespace detail

inline constexpr std::array kSettingsFieldRules = {
    // Video
    detail::items("frontVideoQuality", kVideoQualityKeys),
    detail::items("frontBrightness", kBrightnessLabels),
    // Basic
    detail::choice("alwaysModeTimeout", kAlwaysModeTimeoutItems, kAlwaysModeTimeoutDefaultIndex),
    detail::plain("gsensorEnable", SettingsRuleKind::Flag),
    detail::plain("drivingGsensorX", SettingsRuleKind::Threshold),
    detail::plain("drivingGsensorY", SettingsRuleKind::Threshold),
    detail::plain("drivingGsensorZ", SettingsRuleKind::Threshold),
    detail::plain("parkingGsensorX", SettingsRuleKind::Threshold),
    detail::plain("parkingGsensorY", SettingsRuleKind::Threshold),
    detail::plain("parkingGsensorZ", SettingsRuleKind::Threshold),
    detail::items("frontLED", kFrontLEDSegmentKeys),
    detail::items("rearLED", kRearLEDSegmentKeys),
    detail::plain("carNumber", SettingsRuleKind::CarNumber),
    detail::choice("powerVoltage", kPowerVoltageItems, kPowerVoltageDefaultIndex),
    detail::choice("powerTime", kPowerTimeItems, kPowerTimeDefaultIndex),
    SettingsFieldRule{detail::fieldNamed("cableVoltageLoss"),
                      SettingsRuleKind::Items,
                      kCableVoltageLossLabels,
                      1,
                      false,
                      {},
                      {},
                      kCableVoltageLossDefaultIndex},
    detail::items("segmentOption", kSegmentOptionKeys),
    // GPS
    detail::items("weeklyAlarmDay", kWeeklyAlarmDayKeys),
    detail::items("speedDisplayUnit", kSpeedUnitLabels),
    detail::items("osdSpeedDisplay", kOffOnKeys),
    SettingsFieldRule{detail::fieldNamed("timeZoneIndex"), SettingsRuleKind::Items, kTimeZoneItemLabels, 0,
                      true},
    detail::plain("summerTime", SettingsRuleKind::Flag),
    detail::items("gpsOnParkingMode", kOffOnKeys),
    // Motion
    detail::items("frontMotionSensitivity", kMotionSensitivityLabels),
    detail::items("rearMotionSensitivity", kMotionSensitivityLabels),
    // ADAS
    detail::items("ldwsSensitivity", kAdasSensitivityLabels),
    detail::speed("ldwsSpeed"),
    detail::items("fcwsSensitivity", kAdasSensitivityLabels),
    detail::speed("fcwsSpeed"),
    // Audio
    detail::items("micVolume", kVolumeLabels),
    detail::items("speakerVolume", kVolumeLabels),
    detail::items("voiceLanguage", kVoiceLanguageKeys),
    detail::plain("hourlyAlarm", SettingsRuleKind::Flag),
    // Auxiliary
    detail::plain("sdAlwaysRatio", SettingsRuleKind::Share),
    detail::plain("sdMotionRatio", SettingsRuleKind::Share),
    detail::plain("sdEventRatio", SettingsRuleKind::Share),
    detail::items("autoFormatPeriod", kAutoFormatPeriodKeys),
    detail::items("wifiStartMode", kWifiStartModeKeys),
    detail::plain("wifiSsid", SettingsRuleKind::WifiSsid),
    detail::plain("wifiPassword", SettingsRuleKind::WifiPassword),
    detail::items("wifiChannel", kWifiChannelItems),
    detail::items("powerFrequency", kPowerFrequencyLabels),
};

// The rule of the field called `name`; in a constant expression an unknown name does not compile.
constexpr const SettingsFieldRule& settingsRule(std::string_view name) {
    for (const SettingsFieldRule& r : kSettingsFieldRules)
        if (r.field.name == name)
            return r;
    throw std::logic_error("no rule for this settings field");
}
// The rule of a field, or none for a field no tab edits.
const SettingsFieldRule* findSettingsRule(std::string_view name);

// ---- Controls with items (Items, Choice, Flag)

// The labels of a control's items; the speeds follow `speedUnit`. Flags have none.
std::vector<ItemLabel> settingsItemLabels(const SettingsFieldRule& rule, uint32_t speedUnit);
// The item that shows the field's value, or -1 for none. The speeds are read in the record's unit;
// a flag gives 1 for any non-zero value.
int32_t settingsItemForRecord(const SettingsFieldRule& rule, const _FILEDATA& record);
// Stores the value of `item`. Without an item (-1, or an index the control does not have) the
// stored value stays, except that the time zone then becomes -1, "none".
void storeSettingsItem(const SettingsFieldRule& rule, _FILEDATA& record, int32_t item);

// ---- Typed texts (Threshold, CarNumber, WifiSsid, WifiPassword)

// What a text field shows: a threshold in g ("0.50"), a text field's bytes up to the first NUL.
std::string settingsFieldText(const SettingsFieldRule& rule, const _FILEDATA& record);
// Why the text cannot be stored, or none. A car number is filtered, never refused.
ValidationResult validateSettingsText(const SettingsFieldRule& rule, std::string_view text);
// Stores a text that passed: a threshold as its number × 100 truncated toward zero, a car
// number through its filter, a Wi-Fi text cut to its field; texts are UTF-8.
void storeSettingsText(const SettingsFieldRule& rule, _FILEDATA& record, std::string_view text);

// ---- Values given by number or text from the command line

// The stored range of a threshold or a share.
struct SettingsRange {
    int64_t min, max;
};
SettingsRange settingsRange(const SettingsFieldRule& rule);
// A whole decimal integer with an optional sign; none for anything else.
std::optional<int64_t> parseSettingsInteger(std::string_view text);
// True when the window could have stored this value: an integer in decimal for numeric fields
// (with the speeds in the table of `speedUnit`), or a text that the field holds whole and that
// passes its checks.
bool settingsValueAllowed(const SettingsFieldRule& rule, std::string_view value, uint32_t speedUnit);
// Stores a value that settingsValueAllowed accepted.
void storeSettingsValue(const SettingsFieldRule& rule, _FILEDATA& record, std::string_view value);
// The values a field takes, as a phrase for messages ("0, 10 or 30", "5 to 150").
std::string allowedSettingsValues(const SettingsFieldRule& rule, uint32_t speedUnit);
// The three shares after an edit: each at least 10 percent, in the order always, motion, event,
// and together 100. Empty when they are fine.
std::string sdSharesProblem(const _FILEDATA& record);

} // namespace dcv
