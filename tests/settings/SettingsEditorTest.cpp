#include "settings/SettingsEditor.h"
#include "settings/SettingsTables.h"

#include <cstring>
#include <gtest/gtest.h>
#include <sstream>

using namespace dcv;

namespace {

_FILEDATA record() {
    return defaultSettingsRecord([] { return LocalTime{7, 5, 0}; });
}

std::vector<std::string> split(const std::string& text, char at = '\n') {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l, at);)
        out.push_back(l);
    return out;
}

TEST(SettingsEditorTest, EscapesWhatIsNotPrintableUtf8) {
    struct {
        std::string bytes, shown;
    } cases[] = {
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {"\xEC\xB0\xA8\xEB\x9F\x89", "\xEC\xB0\xA8\xEB\x9F\x89"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"a\nb\tc", "a\\x0Ab\\x09c"},
        {"back\\slash", "back\\x5Cslash"},
        {"\x7F\x01", "\\x7F\\x01"},
        {"\xC2\x85", "\\xC2\\x85"}, // a C1 control character
        {"\xFF\xFE", "\\xFF\\xFE"},
        {"\xC3", "\\xC3"},                            // cut sequence
        {"\xC3!", "\\xC3!"},                          // cut, then a printable character
        {"\xC0\xAF", "\\xC0\\xAF"},                   // overlong "/"
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},          // a surrogate
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}, // beyond U+10FFFF
    };
    for (const auto& c : cases)
        EXPECT_EQ(escapeSettingsText(c.bytes), c.shown) << c.shown;
}

// The checksum line's three forms are checked through `dcv config check`.
TEST(SettingsEditorTest, ListingHasEveryFieldInOrderWithEdgeValues) {
    _FILEDATA r = record();
    r.timeZoneIndex = -1;
    r.powerVoltage = 4000000000u;
    std::memcpy(r.wifiPassword, "0123456789abcdef", 16); // no terminator
    r.carNumber[2] = '\n';
    const auto out = split(settingsRecordListing(r));
    ASSERT_EQ(out.size(), 111u);
    for (size_t i = 0; i < kSettingsFields.size(); ++i)
        EXPECT_TRUE(out[i].starts_with(std::string(kSettingsFields[i].name) + "=")) << out[i];
    for (const char* line : {"timeZoneIndex=-1", "powerVoltage=4000000000", "wifiPassword=0123456789abcdef",
                             "wifiSsid=TelvoV-0705", "carNumber=Te\\x0Avo", "reserved464=9216"})
        EXPECT_NE(std::find(out.begin(), out.end(), line), out.end()) << line;
    EXPECT_EQ(out[110], "checksum=not-computed stored=65535");
}

// Each refusal names the assignment refused (the last one given) and why, on one line.
TEST(SettingsEditorTest, RefusesWhatTheWindowCouldNotStore) {
    struct Case {
        std::vector<std::string> args;
        std::string why; // the start of it
    };
    std::vector<Case> cases = {
        {{"alwaysModeTimeout=45"}, "alwaysModeTimeout takes 0, 10, 30, 60, 120, 180, 300, 420 or 600"},
        {{"drivingGsensorX=4"}, "drivingGsensorX takes 5 to 150"},
        {{"parkingGsensorZ=151"}, "parkingGsensorZ takes 5 to 150"},
        {{"timeZoneIndex=34"}, "timeZoneIndex takes -1 to 33"},
        {{"timeZoneIndex=-2"}, "timeZoneIndex takes -1 to 33"},
        {{"sdAlwaysRatio=9"}, "sdAlwaysRatio takes 10 to 80"},
        {{"sdAlwaysRatio=60"},
         "sdAlwaysRatio, sdMotionRatio and sdEventRatio must add up to 100, not 60+20+10=90"},
        {{"wifiSsid=abcd"}, "wifiSsid takes 5 to 16 characters"},
        {{"wifiPassword=1234567"}, "wifiPassword takes 8 to 16"},
        {{"carNumber=12-34"}, "carNumber takes up to 8 ASCII letters and digits"},
        {{"ldwsSpeed=45"}, "ldwsSpeed takes 0, 50, 60, 70, 80, 90 or 100 (km/h"},
        {{"speedDisplayUnit=1", "ldwsSpeed=80"}, "ldwsSpeed takes 0, 30, 40, 45, 50, 55 or 60 (mi/h"},
        {{"frontVideoQuality=3"}, "frontVideoQuality takes 0, 1 or 2"},
        {{"gsensorEnable=2"}, "gsensorEnable takes 0 or 1"},
        {{"cableVoltageLoss=0"}, "cableVoltageLoss takes 1 to 7"},
        {{"checksum=0"}, "checksum is computed"},
        {{"carNumberSet=1"}, "carNumberSet is computed"},
        {{"formatMarker=1"}, "formatMarker is not edited"},
        {{"apSsid=abcdefgh"}, "apSsid is not edited"},
        {{"reserved24=1"}, "reserved24 is reserved"},
        {{"nosuch=1"}, "no field is called \"nosuch\""},
        {{"=1"}, "no field is called \"\""},
        {{"micVolume"}, "expected name=value"},
        {{"micVolume=1", "micVolume=2"}, "micVolume is given more than once"},
        {{"micVolume=1", "reserved24=5"}, "reserved24 is reserved"},
    };
    // Values of the wrong form for their field.
    for (const std::string a :
         {"wifiSsid=abc de", "wifiSsid=01234567890123456", "carNumber=123456789",
          "micVolume=", "micVolume= 1", "micVolume=1.0", "micVolume=99999999999999999999"})
        cases.push_back({{a}, a.substr(0, a.find('=')) + " takes"});
    for (const auto& c : cases) {
        _FILEDATA r = record();
        const auto before = settingsRecordBytes(r);
        const std::string expected = c.args.back() + ": " + c.why;
        const auto refusal = applySettingsAssignments(r, c.args);
        ASSERT_TRUE(refusal) << expected;
        EXPECT_TRUE(refusal->message().starts_with(expected))
            << refusal->message() << "\nexpected " << expected;
        EXPECT_EQ(refusal->message().find('\n'), std::string::npos);
        EXPECT_EQ(settingsRecordBytes(r), before) << "nothing changes: " << expected;
    }
}

TEST(SettingsEditorTest, AppliesEveryAcceptedValue) {
    _FILEDATA r = record();
    const std::vector<std::string> args = split(
        "alwaysModeTimeout=600 drivingGsensorX=5 parkingGsensorY=150 timeZoneIndex=-1 sdAlwaysRatio=10 "
        "sdMotionRatio=80 sdEventRatio=10 wifiSsid=0123456789abcdef wifiPassword=!~!~!~!~ carNumber= "
        "frontLED=1 rearLED=1 powerVoltage=10000 powerTime=+48 cableVoltageLoss=7 segmentOption=3 "
        "voiceLanguage=15 micVolume=0 hourlyAlarm=0 weeklyAlarmDay=7 frontVideoQuality=2 frontBrightness=4 "
        "powerFrequency=1 wifiChannel=13 frontMotionSensitivity=0 rearMotionSensitivity=5 ldwsSensitivity=2 "
        "fcwsSpeed=100",
        ' ');
    ASSERT_EQ(applySettingsAssignments(r, args), std::nullopt);
    EXPECT_EQ(r.alwaysModeTimeout, 600u);
    EXPECT_EQ(r.drivingGsensorX, 5);
    EXPECT_EQ(r.parkingGsensorY, 150);
    EXPECT_EQ(r.timeZoneIndex, -1);
    EXPECT_EQ(r.sdMotionRatio, 80u);
    EXPECT_EQ(std::string(r.wifiSsid, 16), "0123456789abcdef");
    EXPECT_EQ(settingsText(r.wifiPassword), "!~!~!~!~");
    EXPECT_EQ(std::string(r.carNumber, 8), std::string(8, '\0'));
    EXPECT_EQ(r.powerTime, 48u);
    EXPECT_EQ(r.fcwsSpeed, 100u);
    EXPECT_EQ(r.rearMotionSensitivity, 5u);
    EXPECT_EQ(r.checksum, 65535u) << "the checksum is left to the save";
    EXPECT_EQ(r.carNumberSet, 0u);
    // Everything else is as it was.
    const _FILEDATA d = record();
    EXPECT_EQ(r.reserved464, d.reserved464);
    EXPECT_EQ(settingsText(r.modelName), "QX-4100N");
}

// The unit converts the speeds first (as the GPS tab does); a speed given as well wins, in
// either order.
TEST(SettingsEditorTest, UnitChangeConvertsTheSpeedsThatAreNotGiven) {
    for (const auto& args : {std::vector<std::string>{"speedDisplayUnit=1", "ldwsSpeed=45"},
                             std::vector<std::string>{"ldwsSpeed=45", "speedDisplayUnit=1"}}) {
        _FILEDATA r = record();
        r.ldwsSpeed = 80, r.fcwsSpeed = 60;
        ASSERT_EQ(applySettingsAssignments(r, args), std::nullopt) << args[0];
        EXPECT_EQ(r.ldwsSpeed, 45u) << args[0];
        EXPECT_EQ(r.fcwsSpeed, 40u) << args[0];
    }
}

} // namespace
