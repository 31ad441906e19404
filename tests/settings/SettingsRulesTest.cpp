#include "settings/SettingsRules.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

_FILEDATA record() {
    return defaultSettingsRecord([] { return LocalTime{7, 5, 0}; });
}

// The field's value as the record holds it, read by offset so that the test does not go
// through the rule's own accessors.
int64_t storedValue(const _FILEDATA& r, const char* name) {
    const SettingsFieldDescriptor* f = findSettingsField(name);
    int32_t raw = 0;
    std::memcpy(&raw, reinterpret_cast<const char*>(&r) + f->offset, 4);
    return f->type == SettingsFieldType::I32 ? int64_t(raw) : int64_t(uint32_t(raw));
}

TEST(SettingsRulesTest, EveryEditableFieldHasOneRule) {
    size_t rules = 0;
    for (const SettingsFieldDescriptor& f : kSettingsFields) {
        const SettingsFieldRule* rule = findSettingsRule(f.name);
        if (rule == nullptr)
            continue;
        ++rules;
        EXPECT_FALSE(f.reserved) << f.name;
        EXPECT_EQ(rule->field.offset, f.offset) << f.name;
    }
    EXPECT_EQ(rules, kSettingsFieldRules.size());
    EXPECT_EQ(rules, 42u);
}

TEST(SettingsRulesTest, ItemShownForAStoredValueAndValueStoredForAnItem) {
    struct {
        const char* field;
        uint32_t speedUnit;
        int64_t stored;
        int32_t shown;      // item shown for `stored`
        int32_t chosen;     // item then chosen
        int64_t storedBack; // what the record holds after storing `chosen`
    } cases[] = {
        {"alwaysModeTimeout", 0, 45, 2, 2, 30}, // not in the table: the 30-second item, saved as 30
        {"alwaysModeTimeout", 0, 600, 8, 0, 0},   {"powerVoltage", 0, 12050, 8, 8, 12000},
        {"powerVoltage", 0, 10000, 2, 12, 12400}, {"powerTime", 0, 5, 0, 7, 48},
        {"cableVoltageLoss", 0, 0, 3, 3, 4}, // 0 shows and saves the default 0.3v
        {"cableVoltageLoss", 0, 9, 3, 3, 4},      {"timeZoneIndex", 0, 28, 28, 23, 23},
        {"timeZoneIndex", 0, -1, -1, -1, -1},     {"timeZoneIndex", 0, 34, -1, -1, -1},
        {"frontVideoQuality", 0, 7, -1, -1, 7}, // no item: the stored value stays
        {"frontVideoQuality", 0, 1, 1, 2, 2},     {"rearLED", 0, 0, 0, 1, 1},
        {"ldwsSpeed", 1, 45, 3, 6, 60},           {"ldwsSpeed", 0, 45, 0, 6, 100}, // 45 is not a km/h speed
        {"fcwsSpeed", 0, 65, 0, 2, 60},           {"gsensorEnable", 0, 5, 1, 0, 0},
        {"wifiChannel", 0, 13, 13, 99, 13}, // an item the list does not have changes nothing
    };
    for (const auto& c : cases) {
        const SettingsFieldRule& rule = *findSettingsRule(c.field);
        _FILEDATA r = record();
        r.speedDisplayUnit = c.speedUnit;
        setSettingsFieldInteger(r, rule.field, c.stored);
        EXPECT_EQ(settingsItemForRecord(rule, r), c.shown) << c.field << " " << c.stored;
        storeSettingsItem(rule, r, c.chosen);
        EXPECT_EQ(storedValue(r, c.field), c.storedBack) << c.field << " item " << c.chosen;
    }
}

TEST(SettingsRulesTest, ItemLabelsFollowTheTablesAndTheSpeedUnit) {
    struct {
        const char* field;
        uint32_t unit;
        size_t count;
        size_t index;
        const char* text;
    } cases[] = {
        {"ldwsSpeed", 0, 7, 6, "100Km/h"},
        {"ldwsSpeed", 1, 7, 3, "45Mi/h"},
        {"fcwsSpeed", 1, 7, 0, "setting.aux.auto_format_notuse"},
        {"timeZoneIndex", 0, 34, 23, "+05:45"},
        {"powerVoltage", 0, 13, 2, "externpower"},
        {"cableVoltageLoss", 0, 7, 0, "none"},
        {"frontLED", 0, 2, 0, "setting.basic.LED_use"},
        {"rearLED", 0, 2, 0, "setting.basic.LED_notuse"},
        {"wifiChannel", 0, 14, 10, "  10"},
        {"gsensorEnable", 0, 0, 0, nullptr},
    };
    for (const auto& c : cases) {
        const auto labels = settingsItemLabels(*findSettingsRule(c.field), c.unit);
        ASSERT_EQ(labels.size(), c.count) << c.field;
        if (c.text) {
            EXPECT_STREQ(labels[c.index].text, c.text) << c.field;
        }
    }
}

// Which texts pass is the validator's and the Wi-Fi rules' own; here each kind of field
// reaches its check and stores what the text means.
TEST(SettingsRulesTest, TypedTexts) {
    struct {
        const char* field;
        std::string text;
        std::optional<std::string> refusal; // the message key
        std::string stored;                 // the field's text after storing
    } cases[] = {
        {"parkingGsensorZ", "0.7g", std::nullopt, "0.70"},
        {"parkingGsensorZ", "1.51", "msg.gsensor_outofrange_fmt", ""},
        {"parkingGsensorX", "abc", "msg.input_value_invalid_format", ""},
        {"parkingGsensorX", "", "msg.input_value_invalid_format", ""}, // an emptied field would store 0 g
        {"carNumber", "12 Ga-3456 x", std::nullopt, "12Ga3456"},
        {"carNumber", "", std::nullopt, ""},
        {"wifiSsid", "01234567890123456789", std::nullopt, "0123456789012345"}, // cut, shown whole
        {"wifiSsid", "abcd", "setting.aux.ssid_length", ""},
        {"wifiPassword", "1234567", "setting.aux.password_length", ""},
    };
    for (const auto& c : cases) {
        const SettingsFieldRule& rule = *findSettingsRule(c.field);
        const ValidationResult refusal = validateSettingsText(rule, c.text);
        EXPECT_EQ(refusal ? std::optional(refusal->key) : std::nullopt, c.refusal)
            << c.field << " " << c.text;
        if (refusal)
            continue;
        _FILEDATA r = record();
        storeSettingsText(rule, r, c.text);
        EXPECT_EQ(settingsFieldText(rule, r), c.stored) << c.field << " " << c.text;
    }
    _FILEDATA r = record();
    storeSettingsText(settingsRule("wifiSsid"), r, "0123456789abcdefXYZ");
    EXPECT_EQ(std::string(r.wifiPassword, 8), "73950284") << "the neighbour is untouched";
}

TEST(SettingsRulesTest, StoredRangesOfThresholdsFollowTheValidator) {
    const SettingsRange range = settingsRange(settingsRule("drivingGsensorX"));
    EXPECT_EQ(range.min, gsensorThresholdFromNumber(DCVValidator::kGsensorThresholdMin));
    EXPECT_EQ(range.max, gsensorThresholdFromNumber(DCVValidator::kGsensorThresholdMax));
    for (const GsensorPreset& p : kGsensorPresets)
        for (const int32_t v : {p.drivingX, p.drivingYZ, p.parking})
            EXPECT_TRUE(v >= range.min && v <= range.max) << v;
}

TEST(SettingsRulesTest, SharesMustEachBeTenAndAddUpToHundred) {
    struct {
        uint32_t always, motion, event;
        const char* problem; // start of the message, empty when fine
    } cases[] = {
        {70, 20, 10, ""},
        {10, 80, 10, ""},
        {9, 81, 10, "each of"},
        {60, 20, 10, "sdAlwaysRatio, sdMotionRatio and sdEventRatio must add up to 100, not 60+20+10=90"},
        {80, 20, 10, "sdAlwaysRatio, sdMotionRatio and sdEventRatio must add up to 100, not 80+20+10=110"},
    };
    for (const auto& c : cases) {
        _FILEDATA r = record();
        r.sdAlwaysRatio = c.always, r.sdMotionRatio = c.motion, r.sdEventRatio = c.event;
        EXPECT_TRUE(sdSharesProblem(r).starts_with(c.problem)) << sdSharesProblem(r);
        EXPECT_EQ(sdSharesProblem(r).empty(), *c.problem == '\0');
    }
}

} // namespace
