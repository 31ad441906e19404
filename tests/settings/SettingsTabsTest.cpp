#include "SettingsTabTest.h"

#include "platform/DCVStrings.h"
#include "settings/DCVSettingForAdasViewController.h"
#include "settings/DCVSettingForAudioViewController.h"
#include "settings/DCVSettingForGpsViewController.h"
#include "settings/DCVSettingForMotionViewController.h"
#include "settings/DCVSettingForVideoViewController.h"

#include <QCheckBox>
#include <QRadioButton>

using namespace dcv;
using namespace dcv::test;

namespace {

// ---- Video and Motion: segments straight into fields.

TEST(SettingsTabsTest, VideoShowsTheDefaultsAndStoresTheFrontSegments) {
    _FILEDATA r = defaultRecord();
    ShownTab<DCVSettingForVideoViewController> t;
    t.tab.setFileData(&r);
    EXPECT_EQ(selectedSegment(&t.tab, "videoQuality"), 1);
    EXPECT_EQ(selectedLabel(&t.tab, "videoQuality"), infoText("setting.video.quality_high"));
    EXPECT_EQ(selectedLabel(&t.tab, "videoBrightness"), QStringLiteral("3(%1)").arg(infoText("default")));
    // The rear brightness has no field: it is not offered and changes nothing.
    auto* rear = child<SegmentedControl>(&t.tab, "videoBrightnessRear");
    EXPECT_FALSE(rear->isEnabled());
    EXPECT_EQ(rear->segmentCount(), 5);
    QTest::mouseClick(rear->segmentButton(4), Qt::LeftButton);

    clickSegment(&t.tab, "videoQuality", 2);
    clickSegment(&t.tab, "videoBrightness", 4);
    ASSERT_TRUE(t.tab.populate());
    _FILEDATA expected = defaultRecord();
    expected.frontVideoQuality = 2;
    expected.frontBrightness = 4;
    EXPECT_EQ(bytesDiff(r, expected), "equal");
    EXPECT_EQ(t.tab.validateUserInput(), std::nullopt);
}

TEST(SettingsTabsTest, MotionSegmentsAreTheSensitivities) {
    _FILEDATA r = defaultRecord();
    ShownTab<DCVSettingForMotionViewController> t;
    t.tab.setFileData(&r);
    EXPECT_EQ(selectedSegment(&t.tab, "frontSensitivitySeg"), 3);
    EXPECT_EQ(selectedSegment(&t.tab, "rearSensitivitySeg"), 3);
    EXPECT_EQ(child<SegmentedControl>(&t.tab, "rearSensitivitySeg")->labelForSegment(0), infoText("unuse"));
    clickSegment(&t.tab, "rearSensitivitySeg", 0);
    clickSegment(&t.tab, "frontSensitivitySeg", 5);
    ASSERT_TRUE(t.tab.populate());
    _FILEDATA expected = defaultRecord();
    expected.rearMotionSensitivity = 0;
    expected.frontMotionSensitivity = 5;
    EXPECT_EQ(bytesDiff(r, expected), "equal");
}

TEST(SettingsTabsTest, AValueWithoutASegmentShowsNoneAndIsKept) {
    _FILEDATA r = defaultRecord();
    r.frontVideoQuality = 7; // not a quality the window knows
    ShownTab<DCVSettingForVideoViewController> t;
    t.tab.setFileData(&r);
    EXPECT_EQ(selectedSegment(&t.tab, "videoQuality"), -1);
    ASSERT_TRUE(t.tab.populate());
    EXPECT_EQ(r.frontVideoQuality, 7u);
}

// ---- ADAS: the speed tables follow the record's unit.

TEST(SettingsTabsTest, AdasSpeedsInTheRecordsUnit) {
    struct {
        uint32_t unit, ldwsSpeed;
        int shown;
        const char* label; // of segment 3
        int chosen;
        uint32_t stored;
    } cases[] = {
        {0, 0, 0, "70Km/h", 6, 100},
        {1, 45, 3, "45Mi/h", 6, 60},
        {0, 45, 0, "70Km/h", 2, 60}, // 45 is no km/h speed
        {1, 60, 6, "45Mi/h", 0, 0},
    };
    for (const auto& c : cases) {
        _FILEDATA r = defaultRecord();
        r.speedDisplayUnit = c.unit;
        r.ldwsSpeed = c.ldwsSpeed;
        DCVSettingForAdasViewController tab(&r);
        tab.resize(860, 480);
        tab.show();
        tab.setFileData(&r);
        EXPECT_EQ(selectedSegment(&tab, "adasLdwsSpeedSeg"), c.shown) << c.ldwsSpeed;
        EXPECT_EQ(child<SegmentedControl>(&tab, "adasLdwsSpeedSeg")->labelForSegment(3),
                  QLatin1String(c.label));
        EXPECT_EQ(child<SegmentedControl>(&tab, "adasFcwsSpeedSeg")->labelForSegment(0),
                  infoText("setting.aux.auto_format_notuse"));
        EXPECT_EQ(selectedLabel(&tab, "adasLdwsSensSeg"),
                  QStringLiteral("0(%1)").arg(infoText("insensitive")));
        clickSegment(&tab, "adasLdwsSpeedSeg", c.chosen);
        clickSegment(&tab, "adasFcwsSensSeg", 2);
        ASSERT_TRUE(tab.populate());
        _FILEDATA expected = defaultRecord();
        expected.speedDisplayUnit = c.unit;
        expected.ldwsSpeed = c.stored;
        expected.fcwsSensitivity = 2;
        EXPECT_EQ(bytesDiff(r, expected), "equal");
    }
}

// ---- GPS: the unit converts the ADAS speeds at once; the time zone may be none.

TEST(SettingsTabsTest, GpsShowsTheRecordAndStoresItsControls) {
    _FILEDATA r = defaultRecord();
    ShownTab<DCVSettingForGpsViewController> t;
    t.tab.setFileData(&r);
    auto* zone = child<QComboBox>(&t.tab, "timeGmtCombo");
    EXPECT_EQ(zone->count(), 34);
    EXPECT_EQ(zone->currentText(), QStringLiteral("+09:00"));
    EXPECT_EQ(selectedLabel(&t.tab, "speedDisplayUnitSeg"), QStringLiteral("Km/h"));
    EXPECT_EQ(selectedSegment(&t.tab, "osdSpeedDisplaySeg"), 1);
    EXPECT_FALSE(child<QCheckBox>(&t.tab, "summerTimeChk")->isChecked());

    clickSegment(&t.tab, "drivingDaySeg", 7);
    chooseItem(&t.tab, "timeGmtCombo", 23);
    clickIndicator(child<QCheckBox>(&t.tab, "summerTimeChk"));
    clickSegment(&t.tab, "osdSpeedDisplaySeg", 0);
    clickSegment(&t.tab, "nightTimeSeg", 1);
    ASSERT_TRUE(t.tab.populate());
    _FILEDATA expected = defaultRecord();
    expected.weeklyAlarmDay = 7;
    expected.timeZoneIndex = 23;
    expected.summerTime = 1;
    expected.osdSpeedDisplay = 0;
    expected.gpsOnParkingMode = 1;
    EXPECT_EQ(bytesDiff(r, expected), "equal");
}

TEST(SettingsTabsTest, GpsWithoutTimeZoneKeepsNone) {
    _FILEDATA r = defaultRecord();
    r.timeZoneIndex = -1;
    ShownTab<DCVSettingForGpsViewController> t;
    t.tab.setFileData(&r);
    EXPECT_EQ(child<QComboBox>(&t.tab, "timeGmtCombo")->currentIndex(), -1);
    ASSERT_TRUE(t.tab.populate());
    EXPECT_EQ(r.timeZoneIndex, -1);
}

TEST(SettingsTabsTest, GpsUnitChangeConvertsTheAdasSpeedsAtOnce) {
    struct {
        uint32_t unit, ldws, fcws;
        std::vector<int> clicks; // unit segments clicked in turn
        std::vector<uint32_t> ldwsAfterEach, fcwsAfterEach;
    } cases[] = {
        {0, 80, 60, {1, 0, 1, 0, 1, 0}, {50, 80, 50, 80, 50, 80}, {40, 60, 40, 60, 40, 60}},
        {0, 0, 100, {1, 0}, {0, 0}, {60, 100}},
        {0, 65, 70, {1}, {0}, {45}},             // 65 is no km/h speed: position 0
        {1, 45, 30, {1, 0}, {45, 70}, {30, 50}}, // the unit in force changes nothing
    };
    for (const auto& c : cases) {
        _FILEDATA r = defaultRecord();
        r.speedDisplayUnit = c.unit;
        r.ldwsSpeed = c.ldws;
        r.fcwsSpeed = c.fcws;
        ShownTab<DCVSettingForGpsViewController> t;
        t.tab.setFileData(&r);
        for (size_t i = 0; i < c.clicks.size(); ++i) {
            clickSegment(&t.tab, "speedDisplayUnitSeg", c.clicks[i]);
            EXPECT_EQ(r.ldwsSpeed, c.ldwsAfterEach[i]) << c.ldws << " click " << i;
            EXPECT_EQ(r.fcwsSpeed, c.fcwsAfterEach[i]) << c.fcws << " click " << i;
            EXPECT_EQ(r.speedDisplayUnit, c.unit) << "the unit is stored by populate only";
        }
        ASSERT_TRUE(t.tab.populate());
        EXPECT_EQ(r.speedDisplayUnit, uint32_t(c.clicks.back()));
    }
}

// ---- Audio: the language grid's cell ↔ index rule.

TEST(SettingsTabsTest, AudioShowsTheDefaultsAndStoresTheLanguageOnClick) {
    _FILEDATA r = defaultRecord();
    ShownTab<DCVSettingForAudioViewController> t;
    t.tab.setFileData(&r);
    EXPECT_EQ(selectedSegment(&t.tab, "micSeg"), 3);
    EXPECT_EQ(selectedLabel(&t.tab, "micSeg"),
              QStringLiteral("3(%1)").arg(infoText("setting.aux.volume_up")));
    EXPECT_EQ(selectedSegment(&t.tab, "speakerSeg"), 2);
    EXPECT_TRUE(child<QCheckBox>(&t.tab, "useEveryHourNoticeChk")->isChecked());
    ASSERT_EQ(t.tab.columns(), 4);
    QRadioButton* english = t.tab.cellAt({0, 1});
    ASSERT_NE(english, nullptr);
    EXPECT_TRUE(english->isChecked());
    EXPECT_EQ(english->text(), infoText("English"));

    struct {
        GridCell cell;
        const char* key;
        uint32_t language;
    } cells[] = {{{2, 1}, "French", 9}, {{3, 3}, "Portuguese", 15}, {{0, 0}, "Korean", 0}};
    for (const auto& c : cells) {
        QRadioButton* cell = t.tab.cellAt(c.cell);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(), infoText(c.key));
        clickIndicator(cell);
        EXPECT_EQ(r.voiceLanguage, c.language) << c.key << ": stored at once";
    }
    clickSegment(&t.tab, "micSeg", 0);
    clickIndicator(child<QCheckBox>(&t.tab, "useEveryHourNoticeChk"));
    ASSERT_TRUE(t.tab.populate());
    _FILEDATA expected = defaultRecord();
    expected.voiceLanguage = 0;
    expected.micVolume = 0;
    expected.hourlyAlarm = 0;
    EXPECT_EQ(bytesDiff(r, expected), "equal");

    // A language beyond the grid selects no cell and is kept.
    r.voiceLanguage = 16;
    t.tab.setFileData(&r);
    EXPECT_EQ(t.tab.selectedCell(), std::nullopt);
    ASSERT_TRUE(t.tab.populate());
    EXPECT_EQ(r.voiceLanguage, 16u);
}

} // namespace
