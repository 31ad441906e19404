#include "settings/SettingsEditor.h"

#include "settings/DCVValidator.h"
#include "settings/SettingsTables.h"

#include <charconv>
#include <cstdio>
#include <set>
#include <vector>

namespace dcv {
namespace {

// ---- Listing

bool printable(uint32_t cp) {
    return cp >= 0x20 && cp != 0x7F && !(cp >= 0x80 && cp <= 0x9F);
}

// Length of the well-formed UTF-8 sequence at `i` and its code point; 0 when it is not one.
size_t utf8Sequence(std::string_view s, size_t i, uint32_t& cp) {
    const auto b0 = uint8_t(s[i]);
    size_t n;
    uint32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        n = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        const auto b = uint8_t(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = cp << 6 | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

// ---- Rules of the editable fields

enum class Rule { Range, List, AdasSpeed, Share, CarNumber, WifiSsid, WifiPassword };

struct FieldRule {
    std::string_view name;
    Rule rule;
    int64_t min = 0, max = 0;
};

constexpr int64_t last(size_t count) {
    return int64_t(count) - 1;
}

constexpr FieldRule kRules[] = {
    {"frontVideoQuality", Rule::Range, 0, last(kVideoQualityKeys.size())},
    {"frontBrightness", Rule::Range, 0, last(kBrightnessLabels.size())},
    {"powerFrequency", Rule::Range, 0, last(kPowerFrequencyLabels.size())},
    {"gsensorEnable", Rule::Range, 0, 1},
    {"drivingGsensorX", Rule::Range, kGsensorThresholdStoredMin, kGsensorThresholdStoredMax},
    {"drivingGsensorY", Rule::Range, kGsensorThresholdStoredMin, kGsensorThresholdStoredMax},
    {"drivingGsensorZ", Rule::Range, kGsensorThresholdStoredMin, kGsensorThresholdStoredMax},
    {"parkingGsensorX", Rule::Range, kGsensorThresholdStoredMin, kGsensorThresholdStoredMax},
    {"parkingGsensorY", Rule::Range, kGsensorThresholdStoredMin, kGsensorThresholdStoredMax},
    {"parkingGsensorZ", Rule::Range, kGsensorThresholdStoredMin, kGsensorThresholdStoredMax},
    {"alwaysModeTimeout", Rule::List},
    {"frontLED", Rule::Range, 0, last(kFrontLEDSegmentKeys.size())},
    {"cableVoltageLoss", Rule::Range, 1, int64_t(kCableVoltageLossLabels.size())},
    {"powerVoltage", Rule::List},
    {"powerTime", Rule::List},
    {"carNumber", Rule::CarNumber},
    {"rearLED", Rule::Range, 0, last(kRearLEDSegmentKeys.size())},
    {"weeklyAlarmDay", Rule::Range, 0, last(kWeeklyAlarmDayKeys.size())},
    {"speedDisplayUnit", Rule::Range, 0, last(kSpeedUnitLabels.size())},
    {"osdSpeedDisplay", Rule::Range, 0, last(kOffOnKeys.size())},
    {"gpsOnParkingMode", Rule::Range, 0, last(kOffOnKeys.size())},
    {"timeZoneIndex", Rule::Range, kTimeZoneNone, last(kTimeZoneCount)},
    {"summerTime", Rule::Range, 0, 1},
    {"sdAlwaysRatio", Rule::Share, DCVValidator::kSDCardSizeRatioMin,
     100 - 2 * DCVValidator::kSDCardSizeRatioMin},
    {"sdEventRatio", Rule::Share, DCVValidator::kSDCardSizeRatioMin,
     100 - 2 * DCVValidator::kSDCardSizeRatioMin},
    {"sdMotionRatio", Rule::Share, DCVValidator::kSDCardSizeRatioMin,
     100 - 2 * DCVValidator::kSDCardSizeRatioMin},
    {"autoFormatPeriod", Rule::Range, 0, last(kAutoFormatPeriodKeys.size())},
    {"wifiStartMode", Rule::Range, 0, last(kWifiStartModeKeys.size())},
    {"wifiChannel", Rule::Range, 0, last(kWifiChannelItems.size())},
    {"wifiSsid", Rule::WifiSsid},
    {"wifiPassword", Rule::WifiPassword},
    {"frontMotionSensitivity", Rule::Range, 0, last(kMotionSensitivityLabels.size())},
    {"rearMotionSensitivity", Rule::Range, 0, last(kMotionSensitivityLabels.size())},
    {"ldwsSensitivity", Rule::Range, 0, last(kAdasSensitivityLabels.size())},
    {"ldwsSpeed", Rule::AdasSpeed},
    {"fcwsSensitivity", Rule::Range, 0, last(kAdasSensitivityLabels.size())},
    {"fcwsSpeed", Rule::AdasSpeed},
    {"micVolume", Rule::Range, 0, last(kVolumeLabels.size())},
    {"speakerVolume", Rule::Range, 0, last(kVolumeLabels.size())},
    {"voiceLanguage", Rule::Range, 0, last(kVoiceLanguageKeys.size())},
    {"hourlyAlarm", Rule::Range, 0, 1},
    {"segmentOption", Rule::Range, 0, last(kSegmentOptionKeys.size())},
};

const FieldRule* ruleFor(std::string_view name) {
    for (const FieldRule& r : kRules)
        if (r.name == name)
            return &r;
    return nullptr;
}

std::vector<int64_t> listValues(std::string_view name) {
    std::vector<int64_t> values;
    auto add = [&](const auto& table) {
        for (const auto& item : table)
            values.push_back(int64_t(item.value));
    };
    if (name == "alwaysModeTimeout")
        add(kAlwaysModeTimeoutItems);
    else if (name == "powerVoltage")
        add(kPowerVoltageItems);
    else if (name == "powerTime")
        add(kPowerTimeItems);
    return values;
}

std::vector<int64_t> speedValues(uint32_t unit) {
    std::vector<int64_t> values;
    for (const auto& item : adasSpeedItems(unit))
        values.push_back(int64_t(item.value));
    return values;
}

std::string joinValues(const std::vector<int64_t>& values) {
    std::string s;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            s += i + 1 == values.size() ? " or " : ", ";
        s += std::to_string(values[i]);
    }
    return s;
}

bool contains(const std::vector<int64_t>& values, int64_t v) {
    for (const int64_t x : values)
        if (x == v)
            return true;
    return false;
}

std::optional<int64_t> parseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

bool valueAllowed(const FieldRule& rule, std::string_view text, uint32_t speedUnit) {
    switch (rule.rule) {
    case Rule::CarNumber:
        return filterCarNumber(text) == text;
    case Rule::WifiSsid:
        return text.size() <= sizeof(_FILEDATA::wifiSsid) && !checkWifiSsid(text);
    case Rule::WifiPassword:
        return text.size() <= sizeof(_FILEDATA::wifiPassword) && !checkWifiPassword(text);
    default:
        break;
    }
    const auto v = parseInteger(text);
    if (!v)
        return false;
    switch (rule.rule) {
    case Rule::List:
        return contains(listValues(rule.name), *v);
    case Rule::AdasSpeed:
        return contains(speedValues(speedUnit), *v);
    default:
        return *v >= rule.min && *v <= rule.max;
    }
}

void store(_FILEDATA& record, const SettingsFieldDescriptor& field, std::string_view text) {
    if (field.type == SettingsFieldType::Text) {
        setSettingsText(std::span<char>(reinterpret_cast<char*>(&record) + field.offset, field.size), text);
        return;
    }
    setSettingsFieldInteger(record, field, *parseInteger(text));
}

} // namespace

std::string escapeSettingsText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        uint32_t cp = 0;
        const size_t n = utf8Sequence(bytes, i, cp);
        if (n > 0 && printable(cp) && cp != '\\') {
            out.append(bytes.substr(i, n));
            i += n;
            continue;
        }
        // A printable character is never split: a bad sequence is escaped one byte at a time.
        const size_t count = n > 0 ? n : 1;
        for (size_t k = 0; k < count; ++k) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", unsigned(uint8_t(bytes[i + k])));
            out += esc;
        }
        i += count;
    }
    return out;
}

std::string settingsFieldValueText(const _FILEDATA& record, const SettingsFieldDescriptor& field) {
    if (field.type == SettingsFieldType::Text) {
        const auto bytes = settingsFieldBytes(record, field);
        return escapeSettingsText(
            settingsText(std::span<const char>(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    }
    return std::to_string(settingsFieldInteger(record, field));
}

SettingsChecksumState settingsChecksumState(const _FILEDATA& record) {
    if (settingsChecksumMatches(record))
        return SettingsChecksumState::Ok;
    return record.checksum == kUncomputedChecksum ? SettingsChecksumState::NotComputed
                                                  : SettingsChecksumState::Mismatch;
}

std::string settingsChecksumLine(const _FILEDATA& record) {
    const uint32_t computed = computeSettingsChecksum(record);
    switch (settingsChecksumState(record)) {
    case SettingsChecksumState::Ok:
        return "checksum=ok\n";
    case SettingsChecksumState::NotComputed:
        return "checksum=not-computed stored=" + std::to_string(kUncomputedChecksum) + "\n";
    case SettingsChecksumState::Mismatch:
        break;
    }
    return "checksum=mismatch stored=" + std::to_string(record.checksum) +
           " computed=" + std::to_string(computed) + "\n";
}

std::string settingsRecordListing(const _FILEDATA& record) {
    std::string out;
    out.reserve(4096);
    for (const SettingsFieldDescriptor& f : kSettingsFields) {
        out += f.name;
        out += '=';
        out += settingsFieldValueText(record, f);
        out += '\n';
    }
    out += settingsChecksumLine(record);
    return out;
}

SettingsFieldAccess settingsFieldAccess(const SettingsFieldDescriptor& field) {
    if (field.reserved)
        return SettingsFieldAccess::Reserved;
    if (field.name == "checksum" || field.name == "carNumberSet")
        return SettingsFieldAccess::Computed;
    if (ruleFor(field.name) == nullptr)
        return SettingsFieldAccess::Fixed;
    return SettingsFieldAccess::Editable;
}

std::string allowedSettingsValues(const SettingsFieldDescriptor& field, uint32_t speedUnit) {
    const FieldRule* rule = ruleFor(field.name);
    if (rule == nullptr)
        return "no value";
    switch (rule->rule) {
    case Rule::Range:
        if (rule->max - rule->min <= 2) {
            std::vector<int64_t> values;
            for (int64_t v = rule->min; v <= rule->max; ++v)
                values.push_back(v);
            return joinValues(values);
        }
        return std::to_string(rule->min) + " to " + std::to_string(rule->max);
    case Rule::List:
        return joinValues(listValues(rule->name));
    case Rule::AdasSpeed:
        return joinValues(speedValues(speedUnit)) +
               (speedUnit == kSpeedUnitMph ? " (mi/h, speedDisplayUnit=1)" : " (km/h, speedDisplayUnit=0)");
    case Rule::Share:
        return std::to_string(rule->min) + " to " + std::to_string(rule->max) +
               ", with sdAlwaysRatio, sdMotionRatio and sdEventRatio adding up to 100";
    case Rule::CarNumber:
        return "up to 8 ASCII letters and digits";
    case Rule::WifiSsid:
        return "5 to 16 characters from ! to ~ (no spaces)";
    case Rule::WifiPassword:
        return "8 to 16 characters from ! to ~ (no spaces)";
    }
    return {};
}

std::optional<SettingsRefusal> applySettingsAssignments(_FILEDATA& record,
                                                        std::span<const std::string> arguments) {
    struct Parsed {
        const std::string* argument;
        const SettingsFieldDescriptor* field;
        std::string_view value;
    };
    std::vector<Parsed> parsed;
    std::set<std::string_view> seen;
    uint32_t unit = record.speedDisplayUnit;
    for (const std::string& argument : arguments) {
        const size_t eq = argument.find('=');
        if (eq == std::string::npos)
            return SettingsRefusal{argument, "expected name=value"};
        const std::string_view name = std::string_view(argument).substr(0, eq);
        const std::string_view value = std::string_view(argument).substr(eq + 1);
        const SettingsFieldDescriptor* field = findSettingsField(name);
        if (field == nullptr)
            return SettingsRefusal{argument, "no field is called \"" + escapeSettingsText(name) + "\""};
        const std::string n(name);
        switch (settingsFieldAccess(*field)) {
        case SettingsFieldAccess::Reserved:
            return SettingsRefusal{argument, n + " is reserved and cannot be set"};
        case SettingsFieldAccess::Computed:
            return SettingsRefusal{argument, n + " is computed when the file is saved and cannot be set"};
        case SettingsFieldAccess::Fixed:
            return SettingsRefusal{argument, n + " is not edited by the settings window and cannot be set"};
        case SettingsFieldAccess::Editable:
            break;
        }
        if (!seen.insert(field->name).second)
            return SettingsRefusal{argument, n + " is given more than once"};
        parsed.push_back({&argument, field, value});
        if (name == "speedDisplayUnit") {
            if (const auto v = parseInteger(value); v && *v >= 0 && *v <= 1)
                unit = uint32_t(*v);
        }
    }
    for (const Parsed& p : parsed) {
        if (!valueAllowed(*ruleFor(p.field->name), p.value, unit))
            return SettingsRefusal{*p.argument, std::string(p.field->name) + " takes " +
                                                    allowedSettingsValues(*p.field, unit)};
    }

    _FILEDATA edited = record;
    // The unit first, converting the speeds as the GPS tab does; speeds given explicitly win.
    SpeedUnitState speeds = captureSpeedUnitState(edited);
    changeSpeedUnit(speeds, edited, unit);
    const Parsed* firstShare = nullptr;
    for (const Parsed& p : parsed) {
        store(edited, *p.field, p.value);
        if (!firstShare && ruleFor(p.field->name)->rule == Rule::Share)
            firstShare = &p;
    }
    if (firstShare) {
        const uint64_t sum = uint64_t(edited.sdAlwaysRatio) + edited.sdMotionRatio + edited.sdEventRatio;
        if (sum != 100)
            return SettingsRefusal{*firstShare->argument,
                                   "sdAlwaysRatio, sdMotionRatio and sdEventRatio must add up to 100, not " +
                                       std::to_string(edited.sdAlwaysRatio) + "+" +
                                       std::to_string(edited.sdMotionRatio) + "+" +
                                       std::to_string(edited.sdEventRatio) + "=" + std::to_string(sum)};
    }
    record = edited;
    return std::nullopt;
}

} // namespace dcv
