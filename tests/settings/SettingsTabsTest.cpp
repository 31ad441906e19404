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
    ShownTab<DCVSettingForVideoViewController> t;
    EXPECT_EQ(selectedSegment(&t.tab, "videoQuality"), 1);
    EXPECT_EQ(child<SegmentedControl>(&t.tab, "videoBrightness")->labelForSegment(2),
              QStringLiteral("3(%1)").arg(infoText("default")));
    // The rear brightness has no field: it is not offered and changes nothing.
    auto* rear = child<SegmentedControl>(&t.tab, "videoBrightnessRear");
    EXPECT_FALSE(rear->isEnabled());
    EXPECT_EQ(rear->segmentCount(), 5);
    QTest::mouseClick(rear->segmentButton(4), Qt::LeftButton);

    clickSegment(&t.tab, "videoQuality", 2);
    clickSegment(&t.tab, "videoBrightness", 4);
    EXPECT_EQ(t.storedDiff([](_FILEDATA& e) { e.frontVideoQuality = 2, e.frontBrightness = 4; }), "equal");
}

TEST(SettingsTabsTest, MotionSegmentsAreTheSensitivities) {
    ShownTab<DCVSettingForMotionViewController> t;
    EXPECT_EQ(selectedSegment(&t.tab, "frontSensitivitySeg"), 3);
    EXPECT_EQ(selectedSegment(&t.tab, "rearSensitivitySeg"), 3);
    EXPECT_EQ(child<SegmentedControl>(&t.tab, "rearSensitivitySeg")->labelForSegment(0), infoText("unuse"));
    clickSegment(&t.tab, "rearSensitivitySeg", 0);
    clickSegment(&t.tab, "frontSensitivitySeg", 5);
    EXPECT_EQ(t.storedDiff([](_FILEDATA& e) { e.rearMotionSensitivity = 0, e.frontMotionSensitivity = 5; }),
              "equal");
}

// A value the controls have no item for selects none and is kept (for a list, the fields'
// rules keep it).
TEST(SettingsTabsTest, AValueWithoutAnItemShowsNoneAndIsKept) {
    ShownTab<DCVSettingForVideoViewController> video([](_FILEDATA& r) { r.frontVideoQuality = 7; });
    EXPECT_EQ(selectedSegment(&video.tab, "videoQuality"), -1);
    ASSERT_TRUE(video.tab.populate());
    EXPECT_EQ(video.record.frontVideoQuality, 7u);
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
    };
    for (const auto& c : cases) {
        ShownTab<DCVSettingForAdasViewController> t([&](_FILEDATA& r) {
            r.speedDisplayUnit = c.unit;
            r.ldwsSpeed = c.ldwsSpeed;
        });
        EXPECT_EQ(selectedSegment(&t.tab, "adasLdwsSpeedSeg"), c.shown) << c.ldwsSpeed;
        EXPECT_EQ(child<SegmentedControl>(&t.tab, "adasLdwsSpeedSeg")->labelForSegment(3),
                  QLatin1String(c.label));
        clickSegment(&t.tab, "adasLdwsSpeedSeg", c.chosen);
        clickSegment(&t.tab, "adasFcwsSensSeg", 2);
        EXPECT_EQ(t.storedDiff([&](_FILEDATA& e) {
            e.speedDisplayUnit = c.unit, e.ldwsSpeed = c.stored, e.fcwsSensitivity = 2;
        }),
                  "equal");
    }
}

// ---- GPS: the unit converts the ADAS speeds at once; the time zone may be none.

TEST(SettingsTabsTest, GpsShowsTheRecordAndStoresItsControls) {
    ShownTab<DCVSettingForGpsViewController> t;
    EXPECT_EQ(child<QComboBox>(&t.tab, "timeGmtCombo")->currentText(), QStringLiteral("+09:00"));
    EXPECT_EQ(selectedSegment(&t.tab, "osdSpeedDisplaySeg"), 1);
    EXPECT_FALSE(child<QCheckBox>(&t.tab, "summerTimeChk")->isChecked());

    clickSegment(&t.tab, "drivingDaySeg", 7);
    chooseItem(&t.tab, "timeGmtCombo", 23);
    clickIndicator(child<QCheckBox>(&t.tab, "summerTimeChk"));
    clickSegment(&t.tab, "osdSpeedDisplaySeg", 0);
    clickSegment(&t.tab, "nightTimeSeg", 1);
    EXPECT_EQ(t.storedDiff([](_FILEDATA& e) {
        e.weeklyAlarmDay = 7, e.timeZoneIndex = 23, e.summerTime = 1;
        e.osdSpeedDisplay = 0, e.gpsOnParkingMode = 1;
    }),
              "equal");
}

// Each click on the unit converts the speeds (the conversion itself is the tables' own); the
// unit is stored by populate only.
TEST(SettingsTabsTest, GpsUnitChangeConvertsTheAdasSpeedsAtOnce) {
    ShownTab<DCVSettingForGpsViewController> t([](_FILEDATA& r) { r.ldwsSpeed = 80, r.fcwsSpeed = 60; });
    const struct {
        int unit;
        uint32_t ldws, fcws;
    } clicks[] = {{1, 50, 40}, {1, 50, 40}, {0, 80, 60}, {1, 50, 40}};
    for (const auto& c : clicks) {
        clickSegment(&t.tab, "speedDisplayUnitSeg", c.unit);
        EXPECT_EQ(t.record.ldwsSpeed, c.ldws) << c.unit;
        EXPECT_EQ(t.record.fcwsSpeed, c.fcws) << c.unit;
        EXPECT_EQ(t.record.speedDisplayUnit, 0u);
    }
    ASSERT_TRUE(t.tab.populate());
    EXPECT_EQ(t.record.speedDisplayUnit, 1u);
}

// ---- Audio: the language grid's cell ↔ index rule.

TEST(SettingsTabsTest, AudioShowsTheDefaultsAndStoresTheLanguageOnClick) {
    ShownTab<DCVSettingForAudioViewController> t;
    EXPECT_EQ(selectedSegment(&t.tab, "micSeg"), 3);
    EXPECT_TRUE(child<QCheckBox>(&t.tab, "useEveryHourNoticeChk")->isChecked());
    ASSERT_EQ(t.tab.columns(), 4);
    QRadioButton* english = t.tab.cellAt({0, 1});
    ASSERT_NE(english, nullptr);
    EXPECT_TRUE(english->isChecked());
    EXPECT_EQ(english->text(), infoText("English"));
    const struct {
        GridCell cell;
        const char* key;
        uint32_t language;
    } cells[] = {{{2, 1}, "French", 9}, {{3, 3}, "Portuguese", 15}, {{0, 0}, "Korean", 0}};
    for (const auto& c : cells) {
        QRadioButton* cell = t.tab.cellAt(c.cell);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(), infoText(c.key));
        clickIndicator(cell);
        EXPECT_EQ(t.record.voiceLanguage, c.language) << c.key << ": stored at once";
    }
    clickSegment(&t.tab, "micSeg", 0);
    clickIndicator(child<QCheckBox>(&t.tab, "useEveryHourNoticeChk"));
    EXPECT_EQ(t.storedDiff([](_FILEDATA& e) { e.voiceLanguage = 0, e.micVolume = 0, e.hourlyAlarm = 0; }),
              "equal");

    // A language beyond the grid selects no cell and is kept.
    t.record.voiceLanguage = 16;
    t.tab.setFileData(&t.record);
    EXPECT_EQ(t.tab.selectedCell(), std::nullopt);
    ASSERT_TRUE(t.tab.populate());
    EXPECT_EQ(t.record.voiceLanguage, 16u);
}

} // namespace
