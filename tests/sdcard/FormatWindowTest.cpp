// The format window, driven offscreen through its widgets against a scripted machine.
#include "FakeMachine.h"
#include "platform/DCVStrings.h"
#include "platform/disks/UsbVolumes.h"
#include "sdcard/DCVFormatWindowController.h"
#include "support/TestServices.h"
#include "support/TestSupport.h"
#include "support/Views.h"
#include "widgets/PMProgressIndicator.h"
#include "widgets/PMProgressIndicatorController.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <future>
#include <gtest/gtest.h>

using namespace dcv;
using namespace dcv::test;

namespace {

const std::string kSettings = std::string("\x26\x57\0\0", 4) + std::string(496, 'S');

struct FormatWindow {
    TempDir tmp;
    std::shared_ptr<FakeMachine> machine = std::make_shared<FakeMachine>();
    TestServices test;
    DCVFormatWindowController::Options options;
    std::unique_ptr<DCVFormatWindowController> window;
    QStringList statuses;

    FormatWindow() {
        test.services.commandRunner = machine;
        test.services.volumes =
            std::make_shared<UsbVolumes>([m = machine] { return std::optional(m->lsblk()); });
        options.progressTickMs = 1;
        options.format.tempDir = (tmp / "save").string();
        fs::create_directories(tmp / "save");
        options.format.useUdisks = false;
        options.format.fallbackMountDir = (tmp / "fallback").string();
        options.format.deviceReadable = [](const std::string&) { return false; };
        options.format.deviceReadOnly = [m = machine](const std::string& dev) {
            return m->deviceReadOnly(dev);
        };
    }
    FakeCard& addCard(const std::string& dev, uint64_t size = 16000000000, bool mounted = true) {
        return machine->addCard(tmp.path(), dev, false, size, mounted);
    }
    DCVFormatWindowController& open() {
        window = std::make_unique<DCVFormatWindowController>(test.services, options);
        QObject::connect(window.get(), &DCVFormatWindowController::statusChanged,
                         [this](const QString& s) { statuses << s; });
        window->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isSearching(); }, 5000));
        return *window;
    }
    template <class T = QWidget> T* widget(const char* name) const { return view<T>(window.get(), name); }
    QString field(const char* name) const { return widget<QLabel>(name)->text(); }
    QMessageBox* sheet(const char* name) const {
        for (QMessageBox* box : window->findChildren<QMessageBox*>(QLatin1String(name)))
            if (box->isVisible())
                return box;
        return nullptr;
    }
    // Answers a question sheet: its destructive button, or Cancel.
    void answer(QMessageBox* box, bool act) {
        QAbstractButton* button = box->button(QMessageBox::Cancel);
        if (act)
            for (QAbstractButton* b : box->buttons())
                if (box->buttonRole(b) == QMessageBox::DestructiveRole)
                    button = b;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Clicks Format, confirms, and waits for the run to end; the ending alert is left open.
    bool formatConfirmed() {
        QSignalSpy finished(window.get(), &DCVFormatWindowController::formatFinished);
        QTest::mouseClick(widget<QPushButton>("formatButton"), Qt::LeftButton);
        QMessageBox* confirm = sheet("confirmSheet");
        if (!confirm)
            return false;
        answer(confirm, true);
        return finished.wait(5000);
    }
};

TEST(FormatWindowTest, ListsTheCardsWithTheirFields) {
    FormatWindow w;
    w.addCard("sdb1").label = "TELVO";
    w.addCard("sdc1", 4000000000, false).label = "OLD";
    DCVFormatWindowController& c = w.open();
    auto* combo = w.widget<QComboBox>("usbDiskCombo");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "[15 GB] TELVO <Reader>");
    EXPECT_EQ(combo->itemText(1), "[3.7 GB] OLD <Reader>");
    const struct {
        int index;
        QString path, allocation;
    } rows[] = {
        // 128 sectors of 512 bytes from 7 GiB on, 32 below.
        {0, QStringLiteral("sdb1   %1").arg(QString::fromStdString((w.tmp / "card-sdb1").string())), "64 KB"},
        {1, "sdc1   -", "16 KB"},
    };
    for (const auto& r : rows) {
        combo->setFocus();
        QTest::keyClick(combo, r.index == 0 ? Qt::Key_Up : Qt::Key_Down);
        ASSERT_EQ(combo->currentIndex(), r.index);
        EXPECT_EQ(w.field("pathField"), r.path);
        EXPECT_EQ(w.field("allocationUnitField"), r.allocation);
        EXPECT_EQ(c.selectedUSBDisk()->deviceFilePath(), w.machine->cards[size_t(r.index)].dev);
    }
    EXPECT_TRUE(w.widget<QPushButton>("cancelButton")->isEnabled()); // the others are used above
}

// Declined, the confirmation runs nothing; accepted, the card is formatted with its settings
// kept, and the window closes with the alert. While the run is on (here held in its unmount),
// nothing starts another one and the window stays.
TEST(FormatWindowTest, FormatsAfterOneConfirmationKeepingTheSettings) {
    FormatWindow w;
    w.addCard("sdb1");
    w.tmp.write("card-sdb1/config.bin", kSettings);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    w.machine->afterUnmount = [released] { released.wait(); };
    DCVFormatWindowController& c = w.open();
    QTest::mouseClick(w.widget<QPushButton>("formatButton"), Qt::LeftButton);
    QMessageBox* confirm = w.sheet("confirmSheet");
    ASSERT_NE(confirm, nullptr);
    QTest::keyClick(confirm, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!w.sheet("confirmSheet"), 5000);
    EXPECT_TRUE(w.machine->calls.empty());
    EXPECT_TRUE(w.widget<QPushButton>("formatButton")->isEnabled());

    QTest::mouseClick(w.widget<QPushButton>("formatButton"), Qt::LeftButton);
    confirm = w.sheet("confirmSheet");
    ASSERT_NE(confirm, nullptr);
    EXPECT_TRUE(confirm->text().contains("[15 GB] NO NAME <Reader>")) << confirm->text().toStdString();
    EXPECT_TRUE(confirm->informativeText().contains(QLocale().toString(qulonglong(16000000000))));
    EXPECT_TRUE(confirm->informativeText().contains("/dev/sdb1"));
    EXPECT_EQ(confirm->defaultButton(), confirm->button(QMessageBox::Cancel));
    EXPECT_FALSE(w.widget<QPushButton>("formatButton")->isEnabled()) << "one question at a time";
    QSignalSpy finished(&c, &DCVFormatWindowController::formatFinished);
    w.answer(confirm, true);
    QTRY_COMPARE_WITH_TIMEOUT(c.statusText(), QStringLiteral("unmount disk..."), 5000);
    EXPECT_TRUE(c.isFormatting());
    for (const char* name : {"formatButton", "cancelButton", "usbDiskCombo"})
        EXPECT_FALSE(w.widget(name)->isEnabled()) << name;
    c.close();
    QTest::keyClick(&c, Qt::Key_Escape);
    c.cancel();
    EXPECT_TRUE(c.isVisible());
    release.set_value();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(c.isFormatting());
    EXPECT_EQ(w.statuses, (QStringList{"Formatting...", "unmount disk...", "formatting...", "try mount...",
                                       "Format completed!", "Disk searching..."}));
    EXPECT_FALSE(c.isProgressShown());
    EXPECT_EQ(w.widget<QComboBox>("usbDiskCombo")->currentText(), "[15 GB] TELVO <Reader>");
    EXPECT_EQ(answerAlert(&c), (Alert{infoText("msg.format_complete"), "[15 GB] TELVO <Reader>"}));
    QTRY_VERIFY_WITH_TIMEOUT(!c.isVisible(), 5000);
}

// Every way a request is refused before the confirmation, with the alert each shows.
TEST(FormatWindowTest, EveryRefusalHasItsAlert) {
    const struct {
        const char* name;
        QString message, informative;               // the informative text contains this
        std::function<void(FormatWindow&)> prepare; // after the card is added
    } cases[] = {
        {"no USB drive", "TELVO", "There is no USB drive.",
         [](FormatWindow& w) {
             w.machine->cards.clear();
             w.open();
             EXPECT_EQ(w.field("pathField") + w.field("allocationUnitField"), "--") << "the fields say so";
         }},
        {"none selected", "TELVO", "Please select USB drive.",
         [](FormatWindow& w) {
             w.open();
             w.widget<QComboBox>("usbDiskCombo")->setCurrentIndex(-1);
         }},
        {"locked card", infoText("msg.cannot_format"),
         "[15 GB] NO NAME <Reader>\n" + infoText("msg.write_protected_disk"),
         [](FormatWindow& w) { w.machine->cards[0].readOnly = true; }},
    };
    for (const auto& c : cases) {
        FormatWindow w;
        w.addCard("sdb1");
        c.prepare(w);
        if (!w.window)
            w.open();
        QTest::mouseClick(w.widget<QPushButton>("formatButton"), Qt::LeftButton);
        EXPECT_EQ(w.sheet("confirmSheet"), nullptr) << c.name;
        const auto alert = answerAlert(w.window.get());
        ASSERT_TRUE(alert) << c.name;
        EXPECT_EQ(alert->message, c.message) << c.name;
        EXPECT_TRUE(alert->informative.contains(c.informative))
            << c.name << ": " << alert->informative.toStdString();
        EXPECT_TRUE(w.window->isVisible()) << c.name;
        EXPECT_TRUE(w.widget<QPushButton>("formatButton")->isEnabled()) << c.name;
    }
}

// A run that fails, here as the card is pulled before formatting (which failure gives which
// alert is the run's own): the alert, the window stays, and the other card is selected.
TEST(FormatWindowTest, ARunThatLosesTheCardSelectsAnother) {
    FormatWindow w;
    w.addCard("sdb1");
    w.tmp.write("card-sdb1/config.bin", kSettings);
    w.addCard("sdf1"); // another USB disk
    w.machine->afterUnmount = [m = w.machine.get()] { m->cards.erase(m->cards.begin()); };
    DCVFormatWindowController& window = w.open();
    ASSERT_TRUE(w.formatConfirmed());
    EXPECT_EQ(window.selectedUSBDisk() ? window.selectedUSBDisk()->deviceFilePath() : "", "sdf1");
    const auto alert = answerAlert(&window);
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message, infoText("msg.cannot_format"));
    EXPECT_TRUE(alert->informative.contains("sdb1")) << alert->informative.toStdString();
    EXPECT_TRUE(window.isVisible()) << "only success closes the window";
    EXPECT_FALSE(window.isProgressShown());
    EXPECT_TRUE(w.widget<QPushButton>("formatButton")->isEnabled());
}

// Settings on the card that cannot be saved off it stop the run before anything is erased; the
// window asks whether to give them up, with keeping them as the default.
TEST(FormatWindowTest, SettingsThatCannotBeKeptAreGivenUpOnlyWhenTheUserSaysSo) {
    for (const bool giveUp : {false, true}) {
        FormatWindow w;
        w.addCard("sdb1");
        fs::create_directories(w.tmp / "card-sdb1" / "config.bin"); // no file to copy
        DCVFormatWindowController& c = w.open();
        ASSERT_TRUE(w.formatConfirmed());
        QMessageBox* question = w.sheet("giveUpSettingsSheet");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->defaultButton(), question->button(QMessageBox::Cancel));
        EXPECT_TRUE(question->text().contains("[15 GB] NO NAME <Reader>"));
        EXPECT_TRUE(w.machine->programs().empty()) << "nothing erased before the answer";
        QSignalSpy finished(&c, &DCVFormatWindowController::formatFinished);
        w.answer(question, giveUp);
        if (!giveUp) {
            QTRY_VERIFY_WITH_TIMEOUT(!w.sheet("giveUpSettingsSheet"), 5000);
            EXPECT_TRUE(w.machine->programs().empty());
            EXPECT_FALSE(c.isFormatting());
            continue;
        }
        ASSERT_TRUE(finished.wait(5000));
        EXPECT_EQ(finished.first().first().value<FormatResult>(), FormatResult::Completed);
    }
}

// The progress ticks while shown and stops when hidden; "Disk searching..." is taken down only
// by the search that showed it.
TEST(FormatWindowTest, ProgressDisplay) {
    FormatWindow w;
    w.addCard("sdb1");
    DCVFormatWindowController& c = w.open();
    auto* bar = w.widget<PMProgressIndicator>("progressBar");
    PMProgressIndicatorController icon(QIcon(), [] { return 0.0; });
    bar->setController(&icon);
    c.showProgressBar(QStringLiteral("Formatting..."));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->isAnimating());
    EXPECT_TRUE(icon.contains(bar)) << "a run shows on the application's icon";
    QTRY_VERIFY_WITH_TIMEOUT(c.progress() > 0, 5000);
    QSignalSpy loaded(&c, &DCVFormatWindowController::disksLoaded);
    c.loadUSBVolumes();
    EXPECT_EQ(c.statusText(), "Disk searching...");
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_TRUE(c.isProgressShown()) << "a display the search did not show stays";
    c.hideProgressBar();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(icon.contains(bar));
    QTRY_VERIFY_WITH_TIMEOUT(!bar->isAnimating(), 5000);
    c.loadUSBVolumes();
    EXPECT_TRUE(c.isProgressShown());
    EXPECT_EQ(c.progress(), 0) << "a new display starts from zero";
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_FALSE(c.isProgressShown()) << "the search that showed it hides it";
}

} // namespace
