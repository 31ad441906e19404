// The clock-setting window, driven offscreen through its widgets.
#include "platform/DCVStrings.h"
#include "platform/disks/UsbVolumes.h"
#include "sdcard/DCVTimeSetupController.h"
#include "support/TestServices.h"
#include "support/TestSupport.h"
#include "support/Views.h"
#include "widgets/ClockFacePicker.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimeEdit>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace dcv;
using namespace dcv::test;

namespace {

struct ClockWindow {
    TestServices test;
    TempDir card;
    std::string listing = R"({"blockdevices": []})";
    std::unique_ptr<DCVTimeSetupController> controller;

    ClockWindow() {
        test.services.volumes = std::make_shared<UsbVolumes>([this] { return std::optional(listing); });
    }
    DCVTimeSetupController& open() {
        DCVTimeSetupController::Options options;
        options.todayResetMs = 0;
        controller = std::make_unique<DCVTimeSetupController>(test.services, options);
        controller->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(controller.get()));
        return *controller;
    }
    template <class T = QWidget> T* widget(const char* name) const { return view<T>(controller.get(), name); }
    ClockFacePicker* face() const { return widget<ClockFacePicker>("clockTimePicker"); }
    QTimeEdit* timeEdit() const { return widget<QTimeEdit>("timePicker"); }
    void pick(QDate date, QTime time) {
        widget<QCalendarWidget>("datePicker")->setSelectedDate(date);
        timeEdit()->setTime(time);
    }
    // Clicks save and waits for the outcome; the alert that follows is left open.
    std::optional<bool> save() {
        QSignalSpy finished(controller.get(), &DCVTimeSetupController::saveFinished);
        QTest::mouseClick(widget<QPushButton>("saveButton"), Qt::LeftButton);
        if (finished.isEmpty() && !finished.wait(5000))
            return std::nullopt;
        return finished.first().first().toBool();
    }
};

// The window opens on the clock's wall time; "today" then puts back the date only, and unticks.
TEST(TimeSetupWindowTest, OpensOnTheClocksWallTimeAndTodayResetsTheDateOnly) {
    ClockWindow w;
    // 23:30:41 UTC is already the next day at +02:00.
    const auto clock = std::make_shared<FixedClock>(
        QDateTime(QDate(2024, 6, 30), QTime(23, 30, 41, 900), QTimeZone::utc()), QTimeZone(7200));
    w.test.services.clock = clock;
    DCVTimeSetupController& c = w.open();
    EXPECT_EQ(c.selectedDate(), QDate(2024, 7, 1));
    EXPECT_EQ(c.selectedTime(), QTime(1, 30, 41));
    EXPECT_EQ(w.widget<QCalendarWidget>("datePicker")->selectedDate(), QDate(2024, 7, 1));
    EXPECT_EQ(w.timeEdit()->time(), QTime(1, 30, 41));
    EXPECT_EQ(w.face()->time(), QTime(1, 30, 41));
    EXPECT_EQ(w.widget<QLabel>("dateField")->text(),
              QLocale().toString(QDate(2024, 7, 1), QLocale::LongFormat));
    auto* today = w.widget<QCheckBox>("nowDaySettingChk");
    const QString label = today->text();
    EXPECT_TRUE(label.startsWith(infoText("today") + "(")) << label.toStdString();
    EXPECT_TRUE(label.endsWith(QStringLiteral("2024)"))) << label.toStdString();
    EXPECT_FALSE(label.contains(QLocale().dayName(1))) << "the medium date has no weekday";

    w.pick(QDate(2023, 12, 24), QTime(8, 0, 0));
    EXPECT_EQ(w.widget<QLabel>("dateField")->text(),
              QLocale().toString(QDate(2023, 12, 24), QLocale::LongFormat));
    clock->set(QDateTime(QDate(2024, 3, 9), QTime(10, 0), QTimeZone::utc()));
    QTest::mouseClick(today, Qt::LeftButton);
    EXPECT_TRUE(today->isChecked());
    EXPECT_EQ(c.selectedDate(), QDate(2024, 3, 9));
    EXPECT_EQ(w.widget<QCalendarWidget>("datePicker")->selectedDate(), QDate(2024, 3, 9));
    EXPECT_EQ(w.widget<QLabel>("dateField")->text(),
              QLocale().toString(QDate(2024, 3, 9), QLocale::LongFormat));
    EXPECT_EQ(c.selectedTime(), QTime(8, 0, 0));
    EXPECT_EQ(w.timeEdit()->time(), QTime(8, 0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(!today->isChecked(), 5000);
    EXPECT_EQ(c.selectedDate(), QDate(2024, 3, 9)) << "turning itself off changes nothing";
}

// Whichever picker the user moves, the other follows, and the face announces only the user's
// own moves.
TEST(TimeSetupWindowTest, TimePickersStayInStep) {
    ClockWindow w;
    DCVTimeSetupController& c = w.open(); // 14:07:09
    QSignalSpy faceEdits(w.face(), &ClockFacePicker::timeEdited);
    const struct {
        const char* action;
        std::function<void()> act;
        QTime expected;
        int faceEdits;
    } steps[] = {
        {"hour stepped up in the text field",
         [&] {
             w.timeEdit()->setFocus();
             w.timeEdit()->setCurrentSection(QDateTimeEdit::HourSection);
             QTest::keyClick(w.timeEdit(), Qt::Key_Up);
         },
         QTime(15, 7, 9), 0},
        {"minute hand put on 30",
         [&] { QTest::mouseClick(w.face(), Qt::LeftButton, {}, w.face()->minuteHandTip(QTime(0, 30))); },
         QTime(15, 30, 9), 1},
        {"hour hand put on 5, afternoon kept",
         [&] { QTest::mouseClick(w.face(), Qt::LeftButton, {}, w.face()->hourHandTip(QTime(5, 0))); },
         QTime(17, 30, 9), 2},
        {"minutes stepped back with the arrow key on the face",
         [&] {
             w.face()->setFocus();
             QTest::keyClick(w.face(), Qt::Key_Left);
         },
         QTime(17, 29, 9), 3},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(c.selectedTime(), s.expected) << s.action;
        EXPECT_EQ(w.timeEdit()->time(), s.expected) << s.action;
        EXPECT_EQ(w.face()->time(), s.expected) << s.action;
        EXPECT_EQ(faceEdits.count(), s.faceEdits) << s.action;
    }
}

// Where the file goes: onto the card that carries one (a USB volume or a folder given as the
// card), replacing a longer old file whole; the window closes when the alert is dismissed. The
// time picked is one the local zone skips (02:30 on the night clocks go forward): it is written
// as picked.
TEST(TimeSetupWindowTest, SavesOntoTheCardThatCarriesTheFile) {
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    for (const bool folderAsCard : {false, true}) {
        ClockWindow w;
        w.test.services.clock = std::make_shared<FixedClock>(w.test.clock->now(), berlin);
        w.card.write("timeset.cfg", "2000/01/01 00:00:00 and an old tail");
        if (folderAsCard)
            w.test.services.cardFolder = QString::fromStdString(w.card.path().string());
        else
            w.listing = usbCardListing(w.card.path().string());
        DCVTimeSetupController& c = w.open();
        EXPECT_EQ(c.settingFilePath().toStdString(), (w.card / "timeset.cfg").string());
        w.pick(QDate(2024, 3, 31), QTime(2, 30, 0));
        ASSERT_EQ(w.save(), true) << folderAsCard;
        EXPECT_TRUE(w.test.panels->requests.isEmpty()) << "no panel for a card that has the file";
        EXPECT_EQ(readFile(w.card / "timeset.cfg"), "2024/03/31 02:30:00");
        EXPECT_EQ(answerAlert(&c), (Alert{"TELVO", infoText("time.filesave")}));
        QTRY_VERIFY_WITH_TIMEOUT(!c.isVisible(), 5000);
    }
}

TEST(TimeSetupWindowTest, WithoutACardTheSavePanelChoosesThePlace) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // Cancelled: nothing written, no alert, the window stays.
    {
        ClockWindow w;
        DCVTimeSetupController& c = w.open();
        QTest::mouseClick(w.widget<QPushButton>("saveButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(w.test.panels->answered, 1, 5000);
        EXPECT_EQ(w.test.panels->requests,
                  QStringList{QStringLiteral("saveFile Save Clock File %1/timeset.cfg").arg(documents)});
        EXPECT_EQ(visibleAlert(&c), nullptr);
        EXPECT_TRUE(c.isVisible());
    }
    // A name without the type gets it from the panel; one typed with another extension is
    // written as typed, and a file the panel never asked about stays.
    const struct {
        const char* typed;
        const char* written;
    } cases[] = {{"clock", "clock.cfg"}, {"clock.txt", "clock.txt"}};
    for (const auto& c : cases) {
        ClockWindow w;
        w.card.write("clock.txt.cfg", "not asked about");
        w.test.panels->answers.push_back(QString::fromStdString((w.card / c.typed).string()));
        w.open();
        w.pick(QDate(2031, 12, 31), QTime(23, 59, 59));
        ASSERT_EQ(w.save(), true) << c.typed;
        EXPECT_EQ(readFile(w.card / c.written), "2031/12/31 23:59:59") << c.typed;
        EXPECT_EQ(readFile(w.card / "clock.txt.cfg"), "not asked about") << c.typed;
    }
}

// A write that fails (here a folder in the way; the ways a write fails are the file's own) is
// reported with the place and the reason, and the window stays open.
TEST(TimeSetupWindowTest, FailedWriteIsReportedAndTheWindowStays) {
    ClockWindow w;
    const fs::path target = w.card / "timeset.cfg";
    fs::create_directories(target / "inside");
    w.listing = usbCardListing(w.card.path().string());
    DCVTimeSetupController& window = w.open();
    ASSERT_EQ(w.save(), false);
    const auto alert = answerAlert(&window);
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message, "TELVO");
    EXPECT_TRUE(alert->informative.startsWith(
        infoText("time.filesave_fail").arg(window.settingFilePath(), QString())))
        << alert->informative.toStdString();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(fs::is_directory(target / "inside"));
}

} // namespace
