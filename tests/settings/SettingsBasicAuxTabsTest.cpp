#include "SettingsTabTest.h"

#include "platform/DCVStrings.h"
#include "settings/DCVSettingForAuxViewController.h"
#include "settings/DCVSettingForBasicViewController.h"
#include "widgets/VMMultiHandleSlider.h"

#include <QCheckBox>
#include <QLabel>
#include <cstring>

using namespace dcv;
using namespace dcv::test;

namespace {

const char* const kDrivingFields[] = {"gsensorSensitivityThresholdXDrivingField",
                                      "gsensorSensitivityThresholdYDrivingField",
                                      "gsensorSensitivityThresholdZDrivingField"};
const char* const kParkingFields[] = {"gsensorSensitivityThresholdXParkingField",
                                      "gsensorSensitivityThresholdYParkingField",
                                      "gsensorSensitivityThresholdZParkingField"};

QStringList texts(const QWidget* tab, const char* const (&fields)[3]) {
    QStringList out;
    for (const char* f : fields)
        out << child<QLineEdit>(tab, f)->text();
    return out;
}

bool allEnabled(const QWidget* tab, const char* const (&fields)[3], bool enabled) {
    for (const char* f : fields)
        if (child<QLineEdit>(tab, f)->isEnabled() != enabled)
            return false;
    return true;
}

// ---- Basic

TEST(SettingsBasicTabTest, ShowsTheDefaultRecord) {
    ShownTab<DCVSettingForBasicViewController> t;
    const QWidget* tab = &t.tab;
    EXPECT_EQ(child<SegmentedControl>(tab, "alwaysModeTimeoutSeg")->labelForSegment(1),
              infoText("nSecond_fmt").arg(10));
    EXPECT_EQ(selectedSegment(tab, "gsensorSensitivityDrivingSeg"), 2);
    EXPECT_EQ(selectedSegment(tab, "gsensorSensitivityParkingSeg"), 4);
    EXPECT_EQ(texts(tab, kDrivingFields), (QStringList{"0.50", "0.45", "0.45"}));
    EXPECT_EQ(texts(tab, kParkingFields), (QStringList{"0.08", "0.08", "0.08"}));
    EXPECT_TRUE(allEnabled(tab, kDrivingFields, false)) << "preset fields are not typed into";
    EXPECT_EQ(child<SegmentedControl>(tab, "gsensorSensitivityDrivingSeg")->labelForSegment(0),
              QStringLiteral("1(%1)").arg(infoText("insensitive")));
    EXPECT_EQ(t.tab.validateUserInput(), std::nullopt);
    // Shown and stored back unchanged (the controls bound to one field each show and store it
    // through the same rule).
    EXPECT_EQ(t.storedDiff(), "equal");
}

// Thresholds that match no preset show the custom segment with editable fields; with the sensor
// off the segments are off and only custom fields stay editable. Either is stored as it was.
TEST(SettingsBasicTabTest, RecordsWithoutPresets) {
    ShownTab<DCVSettingForBasicViewController> on([](_FILEDATA& r) { r.drivingGsensorZ = 40; });
    EXPECT_EQ(selectedSegment(&on.tab, "gsensorSensitivityDrivingSeg"), 5);
    EXPECT_EQ(texts(&on.tab, kDrivingFields), (QStringList{"0.50", "0.45", "0.40"}));
    EXPECT_TRUE(allEnabled(&on.tab, kDrivingFields, true));
    ShownTab<DCVSettingForBasicViewController> off(
        [](_FILEDATA& r) { r.gsensorEnable = 0, r.parkingGsensorX = 30; });
    EXPECT_FALSE(child<SegmentedControl>(&off.tab, "gsensorSensitivityDrivingSeg")->isEnabled());
    EXPECT_FALSE(child<SegmentedControl>(&off.tab, "gsensorSensitivityParkingSeg")->isEnabled());
    EXPECT_TRUE(allEnabled(&off.tab, kParkingFields, true));
    EXPECT_TRUE(allEnabled(&off.tab, kDrivingFields, false));
    for (auto* t : {&on, &off}) {
        const _FILEDATA shown = t->record;
        ASSERT_TRUE(t->tab.populate());
        EXPECT_EQ(bytesDiff(t->record, shown), "equal");
        EXPECT_TRUE(t->alerts.empty());
    }
}

TEST(SettingsBasicTabTest, ClicksAndTypedValuesGiveTheRecord) {
    ShownTab<DCVSettingForBasicViewController> t;
    const QWidget* tab = &t.tab;
    clickSegment(tab, "alwaysModeTimeoutSeg", 8);
    clickSegment(tab, "gsensorSensitivityDrivingSeg", 5);
    ASSERT_TRUE(allEnabled(tab, kDrivingFields, true));
    typeInto(tab, kDrivingFields[0], QStringLiteral("0.29")); // 0.29 × 100 is just below 29
    typeInto(tab, kDrivingFields[1], QStringLiteral("1.5"));
    typeInto(tab, kDrivingFields[2], QStringLiteral(" 0.05"));
    clickSegment(tab, "gsensorSensitivityParkingSeg", 0);
    EXPECT_EQ(texts(tab, kParkingFields), (QStringList{"0.25", "0.25", "0.25"}));
    clickSegment(tab, "frontLEDSeg", 1);
    clickSegment(tab, "rearLEDSeg", 1);
    typeInto(tab, "carNumberField", QStringLiteral("AB-12 34 567"));
    EXPECT_EQ(child<QLineEdit>(tab, "carNumberField")->text(), QStringLiteral("AB123456"))
        << "filtered on Return";
    chooseItem(tab, "powerVoltageCombo", 0);
    chooseItem(tab, "powerTimeCombo", 7);
    chooseItem(tab, "cableVoltageLossCombo", 6);
    clickSegment(tab, "segmentOptionSeg", 3);
    clickIndicator(child<QCheckBox>(tab, "gsensorEnableChk"));
    EXPECT_FALSE(child<SegmentedControl>(tab, "gsensorSensitivityParkingSeg")->isEnabled());
    EXPECT_EQ(t.storedDiff([](_FILEDATA& e) {
        e.alwaysModeTimeout = 600, e.gsensorEnable = 0;
        e.drivingGsensorX = 28, e.drivingGsensorY = 150, e.drivingGsensorZ = 5;
        e.parkingGsensorX = e.parkingGsensorY = e.parkingGsensorZ = 25;
        e.frontLED = 1, e.rearLED = 1;
        std::memcpy(e.carNumber, "AB123456", 8);
        e.powerVoltage = 0, e.powerTime = 48, e.cableVoltageLoss = 7, e.segmentOption = 3;
    }),
              "equal");
    EXPECT_TRUE(t.alerts.empty());
}

TEST(SettingsBasicTabTest, CarNumberIsFilteredAlsoWhenEditingDidNotEnd) {
    ShownTab<DCVSettingForBasicViewController> t;
    auto* field = child<QLineEdit>(&t.tab, "carNumberField");
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("x y-z"));
    QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QStringLiteral("\u00e9"), Qt::NoModifier);
    QTest::keyClicks(field, QStringLiteral("ABCDEFGH")); // no Return: still editing
    ASSERT_EQ(field->text(), QStringLiteral("x y-z\u00e9ABCDEFGH"));
    ASSERT_TRUE(t.tab.populate());
    EXPECT_EQ(std::string(t.record.carNumber, 8), "xyzABCDE");
}

TEST(SettingsBasicTabTest, BadThresholdsRefuseWithTheValidatorsMessageAndFocus) {
    const QString outOfRange = infoText("msg.gsensor_outofrange_fmt").arg(0.05).arg(1.5);
    const QString invalid = infoText("msg.input_value_invalid_format");
    struct {
        bool driving;
        const char* x;
        const char* y;
        const char* z;
        int badField;
        QString message;
    } cases[] = {
        {true, "0.5", "1.51", "0.5", 1, outOfRange},
        {true, "0.04", "abc", "0.5", 0, outOfRange}, // the first bad field counts
        {false, "0.5", "0.5", "", 2, invalid},       // an emptied field would store 0 g
    };
    for (const auto& c : cases) {
        ShownTab<DCVSettingForBasicViewController> t;
        const char* seg = c.driving ? "gsensorSensitivityDrivingSeg" : "gsensorSensitivityParkingSeg";
        const auto& fields = c.driving ? kDrivingFields : kParkingFields;
        clickSegment(&t.tab, seg, 5);
        typeInto(&t.tab, fields[0], QString::fromLatin1(c.x));
        typeInto(&t.tab, fields[1], QString::fromLatin1(c.y));
        typeInto(&t.tab, fields[2], QString::fromLatin1(c.z));
        child<QComboBox>(&t.tab, "powerTimeCombo")->setFocus();
        const _FILEDATA before = t.record;
        EXPECT_EQ(t.tab.validateUserInput(), c.message) << c.x << " " << c.y << " " << c.z;
        QLineEdit* bad = child<QLineEdit>(&t.tab, fields[c.badField]);
        EXPECT_TRUE(QTest::qWaitFor([&] { return bad->hasFocus(); }, 5000)) << fields[c.badField];
        EXPECT_FALSE(t.tab.populate());
        EXPECT_EQ(bytesDiff(t.record, before), "equal") << "nothing stored";
    }
}

TEST(SettingsBasicTabTest, ExternalPowerWarnsOnlyWhenTheUserChoosesIt) {
    ShownTab<DCVSettingForBasicViewController> t([](_FILEDATA& r) { r.powerVoltage = 10000; });
    EXPECT_EQ(child<QComboBox>(&t.tab, "powerVoltageCombo")->currentIndex(), 2);
    EXPECT_TRUE(t.alerts.empty()) << "showing the record does not warn";
    chooseItem(&t.tab, "powerVoltageCombo", 4); // passes item 2 on the way
    chooseItem(&t.tab, "powerVoltageCombo", 2);
    const Alert warning{QStringLiteral("Warning"), infoText("msg.use_external_power_10v")};
    EXPECT_EQ(t.alerts, (std::vector<Alert>{warning, warning})) << "once on each choice of it";
    EXPECT_EQ(child<QComboBox>(&t.tab, "powerVoltageCombo")->currentIndex(), 2) << "the choice stays";
    ASSERT_TRUE(t.tab.populate());
    EXPECT_EQ(t.record.powerVoltage, 10000u);
}

// ---- Auxiliary

VMMultiHandleSlider* sliderOf(const QWidget* tab) {
    return child<VMMultiHandleSlider>(tab, "multiHandleSlider");
}

QPoint handleCentre(const VMMultiHandleSlider* slider, const char* name) {
    return slider->handle(QString::fromLatin1(name))->handleView->geometry().center();
}

// Drags a handle with the mouse so that it stands a little past `percent`.
void dragHandle(VMMultiHandleSlider* slider, const char* name, int percent) {
    const double bar = slider->width() - 13.0;
    const QPoint from = handleCentre(slider, name);
    const QPoint to(int(std::lround(6.5 + (percent + 0.4) / 100.0 * bar)), from.y());
    QTest::mousePress(slider, Qt::LeftButton, {}, from);
    QTest::mouseMove(slider, QPoint((from.x() + to.x()) / 2, from.y()));
    QTest::mouseMove(slider, to);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
}

QStringList shares(const QWidget* tab) {
    return {child<QLabel>(tab, "alwaysField")->text(), child<QLabel>(tab, "motionField")->text(),
            child<QLabel>(tab, "eventField")->text()};
}

TEST(SettingsAuxTabTest, ShowsTheDefaultRecord) {
    ShownTab<DCVSettingForAuxViewController> t;
    const QWidget* tab = &t.tab;
    EXPECT_EQ(shares(tab), (QStringList{"70%", "20%", "10%"}));
    VMMultiHandleSlider* slider = sliderOf(tab);
    EXPECT_FLOAT_EQ(slider->handle("Low")->curRatio, 0.70f);
    EXPECT_FLOAT_EQ(slider->handle("High")->curRatio, 0.90f);
    EXPECT_EQ(slider->handle("Low")->handleView->x(), std::lround(0.70 * (slider->width() - 13)));
    EXPECT_FALSE(child<QLabel>(tab, "sdcardCapacityWarningLabel")->isVisible());
    EXPECT_EQ(t.storedDiff(), "equal");
}

TEST(SettingsAuxTabTest, DraggingTheHandlesSetsTheShares) {
    ShownTab<DCVSettingForAuxViewController> t;
    dragHandle(sliderOf(&t.tab), "Low", 20);
    dragHandle(sliderOf(&t.tab), "High", 60);
    EXPECT_EQ(shares(&t.tab), (QStringList{"20%", "40%", "40%"}));
    EXPECT_EQ(t.tab.validateUserInput(), std::nullopt);
    EXPECT_EQ(
        t.storedDiff([](_FILEDATA& e) { e.sdAlwaysRatio = 20, e.sdMotionRatio = 40, e.sdEventRatio = 40; }),
        "equal");
    // A share under 10 % is refused, and nothing is stored.
    dragHandle(sliderOf(&t.tab), "High", 95);
    EXPECT_EQ(shares(&t.tab), (QStringList{"20%", "75%", "5%"}));
    EXPECT_EQ(t.tab.validateUserInput(), infoText("msg.sdcard_ratio_too_low"));
    const _FILEDATA before = t.record;
    EXPECT_FALSE(t.tab.populate());
    EXPECT_EQ(bytesDiff(t.record, before), "equal");
}

// Where a dragged handle stops is the slider geometry's; the slider hands it its neighbours.
TEST(SettingsAuxTabTest, HandlesStopAtTheirNeighbours) {
    ShownTab<DCVSettingForAuxViewController> t;
    VMMultiHandleSlider* slider = sliderOf(&t.tab);
    const float bar = float(slider->width() - 13);
    dragHandle(slider, "Low", 99);
    EXPECT_NEAR(slider->handle("Low")->curRatio, 0.90f - 13.0f / bar, 1e-5f) << "Low stops at High";
    dragHandle(slider, "High", 0);
    EXPECT_NEAR(slider->handle("High")->curRatio, slider->handle("Low")->curRatio + 13.0f / bar, 1e-5f);
}

TEST(SettingsAuxTabTest, APressBesideTheHandlesDragsNothing) {
    ShownTab<DCVSettingForAuxViewController> t;
    VMMultiHandleSlider* slider = sliderOf(&t.tab);
    const VMMultiHandleSlider::Values before = slider->values();
    const QPoint between((handleCentre(slider, "Low").x() + handleCentre(slider, "High").x()) / 2,
                         handleCentre(slider, "Low").y());
    QTest::mousePress(slider, Qt::LeftButton, {}, between);
    QTest::mouseMove(slider, QPoint(5, between.y()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(5, between.y()));
    EXPECT_EQ(slider->values(), before);
    EXPECT_EQ(shares(&t.tab), (QStringList{"70%", "20%", "10%"}));
    // Pressing a handle and letting go where it is moves nothing either.
    const QPoint low = handleCentre(slider, "Low");
    QTest::mousePress(slider, Qt::LeftButton, {}, low);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, low);
    EXPECT_EQ(slider->values(), before);
}

TEST(SettingsAuxTabTest, ResetMovesTheHandlesToTheRecordWithoutHoldingThemBack) {
    ShownTab<DCVSettingForAuxViewController> t(
        [](_FILEDATA& r) { r.sdAlwaysRatio = 10, r.sdMotionRatio = 10, r.sdEventRatio = 80; });
    VMMultiHandleSlider* slider = sliderOf(&t.tab);
    EXPECT_FLOAT_EQ(slider->handle("Low")->curRatio, 0.10f);
    EXPECT_FLOAT_EQ(slider->handle("High")->curRatio, 0.20f);
    // Showing another record moves both handles past each other's old places.
    _FILEDATA d = defaultRecord();
    t.tab.setFileData(&d);
    EXPECT_FLOAT_EQ(slider->handle("Low")->curRatio, 0.70f);
    EXPECT_FLOAT_EQ(slider->handle("High")->curRatio, 0.90f);
    EXPECT_EQ(shares(&t.tab), (QStringList{"70%", "20%", "10%"}));
    EXPECT_EQ(t.tab.ratios(), (SdRatios{70, 90}));
}

// The Wi-Fi texts are checked when the tab stores the record (the rules themselves are the
// tables'): the first refusal is an alert and the Wi-Fi fields are left as they were.
TEST(SettingsAuxTabTest, WifiNameAndPasswordRules) {
    struct {
        const char* ssid;
        const char* password;
        std::optional<const char*> refusalKey;
    } cases[] = {
        {"ab de", "1234567", "setting.aux.ssid_invalid"}, // the name is checked first
        {"abcde", "1234 5678", "setting.aux.password_invalid"},
        {"abcdefghij0123456789", "!~!~!~!~", std::nullopt}, // the name is cut to 16 bytes
    };
    for (const auto& c : cases) {
        ShownTab<DCVSettingForAuxViewController> t;
        clickSegment(&t.tab, "autoFormatAlarmSeg", 4);
        typeInto(&t.tab, "ssidLabel", QString::fromLatin1(c.ssid));
        typeInto(&t.tab, "passwordLabel", QString::fromLatin1(c.password));
        chooseItem(&t.tab, "wifiChannelCombo", 13);
        clickSegment(&t.tab, "wifiStartModeSeg", 1);
        clickSegment(&t.tab, "powerFrequencySeg", 1);
        EXPECT_EQ(t.tab.validateUserInput(), std::nullopt) << "the Wi-Fi rules are checked on populate";
        EXPECT_EQ(t.tab.populate(), !c.refusalKey) << c.ssid;
        const _FILEDATA expected = defaultRecordWith([&](_FILEDATA& e) {
            e.autoFormatPeriod = 4; // stored before the Wi-Fi checks
            if (c.refusalKey)
                return;
            std::memcpy(e.wifiSsid, "abcdefghij012345", 16);
            std::memset(e.wifiPassword, 0, 16);
            std::memcpy(e.wifiPassword, "!~!~!~!~", 8);
            e.wifiChannel = 13, e.wifiStartMode = 1, e.powerFrequency = 1;
        });
        EXPECT_EQ(bytesDiff(t.record, expected), "equal") << c.ssid;
        const std::vector<Alert> alerts =
            c.refusalKey ? std::vector<Alert>{{QStringLiteral("Warning"), infoText(*c.refusalKey)}}
                         : std::vector<Alert>{};
        EXPECT_EQ(t.alerts, alerts) << c.ssid;
    }
}

} // namespace
