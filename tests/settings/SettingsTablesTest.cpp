#include "settings/SettingsTables.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

_FILEDATA record() {
    return defaultSettingsRecord([] { return LocalTime{0, 0, 0}; });
}

// Which item a stored value shows is checked through the fields' rules; the voltage table's
// values, from 11500 on, are 100 apart.
TEST(SettingsTablesTest, PowerVoltagesStepBy100) {
    for (size_t i = 4; i < kPowerVoltageItems.size(); ++i)
        EXPECT_EQ(kPowerVoltageItems[i].value, kPowerVoltageItems[i - 1].value + 100) << i;
}

TEST(SettingsTablesTest, ImpactSensorPresets) {
    struct {
        bool driving;
        int32_t x, y, z;
        int32_t segment;
    } cases[] = {
        {true, 50, 45, 45, 2},  {true, 50, 45, 40, 5}, {true, 70, 65, 65, 0},  {true, 30, 25, 25, 4},
        {true, 45, 50, 50, 5},  {true, 50, 50, 45, 5}, // X and Y columns are not interchangeable
        {false, 8, 8, 8, 4},    {false, 8, 8, 9, 5},   {false, 25, 25, 25, 0}, {false, 15, 15, 15, 2},
        {false, 50, 45, 45, 5},
    };
    for (const auto& c : cases) {
        const int32_t got = c.driving ? findDrivingGsensorThresholdIndexByX(c.x, c.y, c.z)
                                      : findParkingGsensorThresholdIndexByX(c.x, c.y, c.z);
        EXPECT_EQ(got, c.segment) << (c.driving ? "driving " : "parking ") << c.x << "/" << c.y << "/" << c.z;
    }
}

TEST(SettingsTablesTest, ThresholdTextsAndNumbers) {
    struct {
        double number;
        int32_t stored;
    } toStored[] = {{0.29, 28},   {0.05, 5},         {1.5, 150},         {0.7, 70},        {0.57, 56},
                    {-0.019, -1}, {1e12, INT32_MAX}, {-1e12, INT32_MIN}, {std::nan(""), 0}};
    for (const auto& c : toStored)
        EXPECT_EQ(gsensorThresholdFromNumber(c.number), c.stored) << c.number;
    struct {
        int32_t value;
        const char* text;
    } toText[] = {{50, "0.50"}, {8, "0.08"}, {150, "1.50"}, {0, "0.00"}, {-5, "-0.05"}};
    for (const auto& c : toText)
        EXPECT_EQ(gsensorThresholdText(c.value), c.text) << c.value;
}

TEST(SettingsTablesTest, SpeedUnitChangeKeepsThePositionInTheTable) {
    struct {
        uint32_t unit, ldws, fcws;
        std::vector<uint32_t> switches;                  // unit segments chosen in turn
        std::vector<std::pair<uint32_t, uint32_t>> seen; // ldws, fcws after each
    } cases[] = {
        {0, 80, 100, {1, 0, 1, 0}, {{50, 60}, {80, 100}, {50, 60}, {80, 100}}},
        {0, 0, 60, {1, 0}, {{0, 40}, {0, 60}}},
        {0, 65, 50, {1}, {{0, 30}}},               // 65 is not a km/h speed: position 0
        {0, 80, 80, {0, 0}, {{80, 80}, {80, 80}}}, // the unit in force: nothing changes
        {1, 45, 55, {0, 1}, {{70, 90}, {45, 55}}},
        {3, 80, 80, {1, 0}, {{80, 80}, {80, 80}}}, // a unit of neither kind converts nothing
    };
    for (const auto& c : cases) {
        _FILEDATA r = record();
        r.speedDisplayUnit = c.unit;
        r.ldwsSpeed = c.ldws;
        r.fcwsSpeed = c.fcws;
        SpeedUnitState state = captureSpeedUnitState(r);
        for (size_t i = 0; i < c.switches.size(); ++i) {
            changeSpeedUnit(state, r, c.switches[i]);
            EXPECT_EQ(r.ldwsSpeed, c.seen[i].first) << c.ldws << " step " << i;
            EXPECT_EQ(r.fcwsSpeed, c.seen[i].second) << c.fcws << " step " << i;
        }
        EXPECT_EQ(r.speedDisplayUnit, c.unit) << "only the tab's populate stores the unit";
    }
}

TEST(SettingsTablesTest, WifiRules) {
    struct {
        std::string text;
        bool valid;
        std::optional<std::string> ssid, password;
    } cases[] = {
        {"abcd", true, "setting.aux.ssid_length", "setting.aux.password_length"},
        {"abcde", true, std::nullopt, "setting.aux.password_length"},
        {"ab de", false, "setting.aux.ssid_invalid", "setting.aux.password_length"},
        {"abcdefg", true, std::nullopt, "setting.aux.password_length"},
        {"!bcdefg~", true, std::nullopt, std::nullopt},
        {"abcdefgh\x7f", false, "setting.aux.ssid_invalid", "setting.aux.password_invalid"},
        {"caf\xC3\xA9zbcd", false, "setting.aux.ssid_invalid", "setting.aux.password_invalid"},
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", false, "setting.aux.ssid_length", "setting.aux.password_length"},
        {"01234567890123456789", true, std::nullopt, std::nullopt}, // longer texts are cut on store
    };
    for (const auto& c : cases) {
        EXPECT_EQ(validString(c.text), c.valid) << c.text;
        EXPECT_EQ(checkWifiSsid(c.text), c.ssid) << c.text;
        EXPECT_EQ(checkWifiPassword(c.text), c.password) << c.text;
    }
    // 94 characters pass, from "!" to "~".
    int allowed = 0;
    for (int ch = 0; ch < 256; ++ch)
        allowed += validString(std::string(1, char(ch)));
    EXPECT_EQ(allowed, 94);
    EXPECT_EQ(wifiTextLength("\xF0\x9F\x98\x80z"), 3u); // outside the basic plane: two units
}

TEST(SettingsTablesTest, CardSharesFromHandlesAndRecord) {
    struct {
        float low, high;
        SdRatios ratios;
        std::optional<std::string> refused;
        uint32_t always, motion, event;
    } cases[] = {
        {0.70f, 0.90f, {70, 90}, std::nullopt, 70, 20, 10},
        {0.05f, 0.50f, {5, 50}, "msg.sdcard_ratio_too_low", 0, 0, 0},
        {0.30f, 0.95f, {30, 95}, "msg.sdcard_ratio_too_low", 0, 0, 0},
        {0.40f, 0.45f, {40, 45}, "msg.sdcard_ratio_too_low", 0, 0, 0},
        {0.10f, 0.90f, {10, 90}, std::nullopt, 10, 80, 10},
        {0.57f, 0.58f, {57, 58}, "msg.sdcard_ratio_too_low", 0, 0, 0},
        {0.33f, 0.66f, {33, 66}, std::nullopt, 33, 33, 34},
    };
    for (const auto& c : cases) {
        const SdRatios got{sdRatioFromHandleValue(c.low), sdRatioFromHandleValue(c.high)};
        EXPECT_EQ(got, c.ratios) << c.low << "/" << c.high;
        const ValidationResult v = validateSdRatios(got);
        EXPECT_EQ(v ? std::optional<std::string>(v->key) : std::nullopt, c.refused) << c.low << "/" << c.high;
        if (!v) {
            _FILEDATA r = record();
            storeSdRatios(r, got);
            EXPECT_EQ(r.sdAlwaysRatio, c.always);
            EXPECT_EQ(r.sdMotionRatio, c.motion);
            EXPECT_EQ(r.sdEventRatio, c.event);
            EXPECT_EQ(sdRatiosFromRecord(r), got) << "a stored record shows the same handles";
        }
    }
}

} // namespace
