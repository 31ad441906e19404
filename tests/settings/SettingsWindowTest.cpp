#include "SettingsTabTest.h"

#include "platform/DCVStrings.h"
#include "platform/disks/UsbVolumes.h"
#include "settings/DCVSettingController.h"
#include "support/TestServices.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <atomic>
#include <cstring>
#include <latch>

using namespace dcv;
using namespace dcv::test;

namespace {

// One USB card reader whose card is mounted in a temporary folder; renaming changes the
// label the next listing reports.
struct FakeCard {
    TempDir dir;
    std::string label = "NO_NAME";
    bool present = true;
    int renames = 0;
    bool renameFails = false;

    std::string mount() const { return dir.path().string(); }
    std::string json() const { return present ? usbCardListing(mount(), label) : R"({"blockdevices": []})"; }
    void writeRecord(const _FILEDATA& r) const {
        const auto bytes = settingsRecordBytes(r);
        dir.write("config.bin", std::string(bytes.begin(), bytes.end()));
    }
};

struct Window {
    FakeCard card;
    TestServices test;
    CapturedLog log;
    DCVSettingController::Options options;
    std::unique_ptr<DCVSettingController> controller;

    Window() {
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.3"));
        test.services.volumes = std::make_shared<UsbVolumes>([this] { return std::optional(card.json()); });
        // 14:07:05 at +05:45 (time-zone index 23): the default Wi-Fi name is TelvoV-0705.
        const QTimeZone zone(20700);
        test.clock->set(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 5), zone));
        test.services.clock = std::make_shared<FixedClock>(test.clock->now(), zone);
        options.diskUtility = QString();
        options.loadingTickMs = 5;
        options.renameVolume = [this](const TKUSBDiskEntity& disk, const QString& label) {
            ++card.renames;
            EXPECT_EQ(disk.deviceFilePath(), "sdb1");
            if (card.renameFails)
                return QVariantMap{
                    {QStringLiteral("NSAppleScriptErrorMessage"), QStringLiteral("not allowed")}};
            card.label = label.toStdString();
            return QVariantMap{};
        };
    }

    // True once the save panel has been answered `count` times.
    bool savePanelAnswered(int count) {
        return QTest::qWaitFor([&] { return test.panels->answered >= count; }, 5000);
    }

    // Opens the window and waits until the loading sheet has gone.
    DCVSettingController& open() {
        controller = std::make_unique<DCVSettingController>(test.services, options);
        controller->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(controller.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !controller->isLoading(); }, 5000));
        return *controller;
    }
    void clickTab(int index) {
        QTest::mouseClick(controller->functionSegmentedControl()->segmentButton(index), Qt::LeftButton);
    }
    // The alert shown over the window, answered with OK; none when there is none.
    std::optional<Alert> answerAlert() { return test::answerAlert(controller.get()); }
};

_FILEDATA cardRecord() {
    _FILEDATA r = defaultRecord();
    r.frontVideoQuality = 2;
    r.timeZoneIndex = 5;
    std::memcpy(r.carNumber, "XY99", 4);
    return r;
}

// The saved file holds `expected` with its car number marked as set, and a checksum that makes
// words 1 to 124 XOR to 0.
void expectSaved(const std::filesystem::path& file, _FILEDATA expected) {
    const std::string saved = readFile(file);
    ASSERT_EQ(saved.size(), 500u);
    uint32_t x = 0;
    for (size_t offset = 4; offset < 500; offset += 4)
        x ^= uint32_t(uint8_t(saved[offset])) | uint32_t(uint8_t(saved[offset + 1])) << 8 |
             uint32_t(uint8_t(saved[offset + 2])) << 16 | uint32_t(uint8_t(saved[offset + 3])) << 24;
    EXPECT_EQ(x, 0u);
    expected.carNumberSet = 1;
    const auto e = settingsRecordBytes(expected);
    EXPECT_EQ(saved.substr(0, 4), std::string(e.begin(), e.begin() + 4));
    EXPECT_EQ(saved.substr(8), std::string(e.begin() + 8, e.end()));
}

// A camera card is renamed, found again and read; the Video tab, shown before the read ended,
// then shows its record. Without a usable card the defaults and the computer's zone are shown.
TEST(SettingsWindowTest, TheCardFoundIsRenamedAndReadElseTheDefaultsAreShown) {
    struct {
        const char* what;
        bool present;
        size_t fileSize; // 0: no config.bin
        bool renameFails;
        int renames; // 0: no card chosen
        std::string label;
    } cases[] = {
        {"a camera card", true, 500, false, 1, "TELVO"},
        {"a failed rename keeps the card", true, 500, true, 2, "NO_NAME"}, // tried when made and when shown
        {"no USB volume", false, 500, false, 0, ""},
        {"a 499-byte config.bin", true, 499, false, 0, ""},
        {"no config.bin", true, 0, false, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        w.card.present = c.present;
        w.card.renameFails = c.renameFails;
        if (c.fileSize == 500)
            w.card.writeRecord(cardRecord());
        else if (c.fileSize > 0)
            w.card.dir.write("config.bin", std::string(c.fileSize, '\x01'));
        DCVSettingController& win = w.open();
        const bool chosen = c.renames > 0;
        EXPECT_EQ(w.card.renames, c.renames);
        EXPECT_EQ(win.selectedUSBDisk() ? win.selectedUSBDisk()->volumeName() : "", c.label);
        EXPECT_EQ(w.log.count("no removable devices") > 0, !c.present);
        EXPECT_EQ(w.log.count("error=not allowed") > 0, c.renameFails);
        const QString path =
            chosen ? QString::fromStdString((w.card.dir / "config.bin").string()) : QString();
        EXPECT_EQ(win.settingFilePath(), path);
        const QString title = QStringLiteral("%1[Ver 1.2.3]").arg(infoText("setting.window_title"));
        EXPECT_EQ(win.windowTitle(), chosen ? title + QStringLiteral(" : ") + path : title);
        EXPECT_EQ(win.lastSelectedTabIndex(), 0);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return selectedSegment(win.targetController(), "videoQuality") == (chosen ? 2 : 1); },
            5000));
        w.clickTab(2);
        EXPECT_EQ(child<QComboBox>(win.targetController(), "timeGmtCombo")->currentIndex(), chosen ? 5 : 23);
    }
}

// Without a card (none at all, or a USB stick without config.bin, never taken for one) the
// save panel asks where; cancelled, nothing happens.
TEST(SettingsWindowTest, SavingWithoutACardAsksWhereAndACancelDoesNothing) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    for (const bool stick : {false, true}) {
        Window w;
        w.card.present = stick;
        w.card.label = "USBSTICK";
        DCVSettingController& c = w.open();
        EXPECT_TRUE(c.settingFilePath().isEmpty());
        QTest::mouseClick(c.saveButton(), Qt::LeftButton);
        ASSERT_TRUE(w.savePanelAnswered(1)) << stick;
        EXPECT_EQ(w.test.panels->requests,
                  QStringList{QStringLiteral("saveFile Save Settings %1/config.bin").arg(documents)});
        EXPECT_EQ(w.answerAlert(), std::nullopt);
        EXPECT_TRUE(c.isVisible());
        EXPECT_FALSE(std::filesystem::exists(w.card.dir / "config.bin"));
    }
}

TEST(SettingsWindowTest, ResetThenSaveWritesTheDefaultsWithTheirChecksum) {
    Window w;
    w.card.writeRecord(cardRecord());
    DCVSettingController& c = w.open();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return selectedSegment(c.targetController(), "videoQuality") == 2; }, 5000));
    QTest::mouseClick(c.resetButton(), Qt::LeftButton);
    EXPECT_EQ(selectedSegment(c.targetController(), "videoQuality"), 1) << "the tab shows the defaults";
    QTest::mouseClick(c.saveButton(), Qt::LeftButton);
    EXPECT_TRUE(w.test.panels->requests.isEmpty());

    // The defaults, time zone 28 and the Wi-Fi name of the reset's moment (TelvoV-0705) included.
    expectSaved(w.card.dir / "config.bin", defaultRecord());

    ASSERT_TRUE(c.isVisible());
    const QString path = QString::fromStdString((w.card.dir / "config.bin").string());
    EXPECT_EQ(w.answerAlert(), (Alert{path, infoText("msg.saved")}));
    EXPECT_FALSE(c.isVisible()) << "answering the saved message closes the window";
}

TEST(SettingsWindowTest, AFailedWriteWarnsAndKeepsTheWindowOpen) {
    Window w;
    w.card.present = false;
    const QString chosen = QString::fromStdString((w.card.dir / "missing-folder" / "config.bin").string());
    w.test.panels->answers = {chosen, chosen};
    DCVSettingController& c = w.open();
    QTest::mouseClick(c.saveButton(), Qt::LeftButton);
    ASSERT_TRUE(w.savePanelAnswered(1));
    EXPECT_EQ(w.answerAlert(), (Alert{QStringLiteral("Warn"), infoText("msg.write_protected_disk")}));
    EXPECT_TRUE(c.isVisible());
    // The chosen file saves once the folder is there.
    std::filesystem::create_directories(w.card.dir / "missing-folder");
    QTest::mouseClick(c.saveButton(), Qt::LeftButton);
    ASSERT_TRUE(w.savePanelAnswered(2));
    EXPECT_EQ(w.answerAlert(), (Alert{chosen, infoText("msg.saved")}));
    EXPECT_EQ(readFile(chosen.toStdString()).size(), 500u);
}

TEST(SettingsWindowTest, RefusedInputKeepsTheTabAndWritesNothing) {
    Window w;
    w.card.writeRecord(cardRecord());
    DCVSettingController& c = w.open();
    const std::string before = readFile(w.card.dir / "config.bin");

    // A bad custom threshold: the switch is refused under "TELVO" and the selector stays.
    w.clickTab(1);
    DCVSettingControllerDelegate* basic = c.targetController();
    clickSegment(basic, "gsensorSensitivityDrivingSeg", 5);
    typeInto(basic, "gsensorSensitivityThresholdXDrivingField", QStringLiteral("2"));
    w.clickTab(3);
    EXPECT_EQ(c.targetController(), basic);
    EXPECT_EQ(c.lastSelectedTabIndex(), 1);
    EXPECT_EQ(c.functionSegmentedControl()->selectedSegment(), 1);
    EXPECT_EQ(w.answerAlert(),
              (Alert{QStringLiteral("TELVO"), infoText("msg.gsensor_outofrange_fmt").arg(0.05).arg(1.5)}));
    typeInto(basic, "gsensorSensitivityThresholdXDrivingField", QStringLiteral("0.7"));

    // A 4-character Wi-Fi name: the Aux tab warns itself, nothing is written.
    w.clickTab(3);
    ASSERT_EQ(c.lastSelectedTabIndex(), 3);
    typeInto(c.targetController(), "ssidLabel", QStringLiteral("abcd"));
    QTest::mouseClick(c.saveButton(), Qt::LeftButton);
    EXPECT_EQ(w.answerAlert(), (Alert{QStringLiteral("Warning"), infoText("setting.aux.ssid_length")}));
    EXPECT_EQ(readFile(w.card.dir / "config.bin"), before);
    EXPECT_TRUE(c.isVisible());
    w.clickTab(6);
    EXPECT_EQ(c.lastSelectedTabIndex(), 3) << "the same refusal holds for a switch";
    EXPECT_EQ(w.answerAlert(), (Alert{QStringLiteral("Warning"), infoText("setting.aux.ssid_length")}));
}

TEST(SettingsWindowTest, ChoosingTheShownTabDoesNothing) {
    Window w;
    w.card.present = false;
    DCVSettingController& c = w.open();
    DCVSettingControllerDelegate* video = c.targetController();
    clickSegment(video, "videoQuality", 0); // not stored until the tab is left or saved
    w.clickTab(0);
    EXPECT_EQ(c.targetController(), video);
    EXPECT_EQ(c.filedata()->frontVideoQuality, 1u) << "not populated";
    EXPECT_EQ(selectedSegment(video, "videoQuality"), 0) << "not shown again";
    w.clickTab(4);
    EXPECT_EQ(c.filedata()->frontVideoQuality, 0u) << "leaving the tab stores it";
    EXPECT_EQ(c.targetController()->windowTitle(), infoText("setting.motion"));
}

TEST(SettingsWindowTest, TheLoadingSheetClosesAfterFifteenSecondsOfTicksAtMost) {
    Window w;
    w.card.writeRecord(cardRecord());
    auto release = std::make_shared<std::latch>(1);
    auto reads = std::make_shared<std::atomic<int>>(0);
    w.options.readRecord = [release, reads](const std::string& path, _FILEDATA& r) {
        if (reads->fetch_add(1) > 0) // the construction's own read goes through
            release->wait();
        return readSettingsRecord(path, r);
    };
    w.controller = std::make_unique<DCVSettingController>(w.test.services, w.options);
    DCVSettingController& c = *w.controller;
    QSignalSpy loaded(&c, &DCVSettingController::settingsLoaded);
    c.showWindow();
    EXPECT_TRUE(c.isLoading());
    auto* panel = c.findChild<QDialog*>(QStringLiteral("progressPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c.isLoading(); }, 10000));
    EXPECT_EQ(c.loadingTicks(), 30) << "100 / (2 × 15) a tick";
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(c.filedata()->frontVideoQuality, 1u) << "nothing published yet";
    release->count_down();
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_EQ(c.filedata()->frontVideoQuality, 2u);
    EXPECT_EQ(selectedSegment(c.targetController(), "videoQuality"), 2);
}

TEST(SettingsWindowTest, AFolderGivenAsTheCardIsReadAndSavedWithoutRenaming) {
    Window w; // the card's folder given, while the card itself would be renamed if looked for
    w.card.writeRecord(cardRecord());
    w.test.services.cardFolder = QString::fromStdString(w.card.mount());
    DCVSettingController& c = w.open();
    EXPECT_EQ(w.card.renames, 0);
    EXPECT_EQ(c.settingFilePath(), QString::fromStdString((w.card.dir / "config.bin").string()));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return selectedSegment(c.targetController(), "videoQuality") == 2; }, 5000));
    clickSegment(c.targetController(), "videoBrightness", 0);
    QTest::mouseClick(c.saveButton(), Qt::LeftButton);
    _FILEDATA expected = cardRecord();
    expected.frontBrightness = 0;
    expectSaved(w.card.dir / "config.bin", expected);
}

TEST(SettingsWindowTest, ButtonsAndSelector) {
    Window w;
    w.card.present = false;
    DCVSettingController& c = w.open();
    EXPECT_FALSE(c.diskUtilButton()->isEnabled()) << "none installed here";
    ASSERT_EQ(c.functionSegmentedControl()->segmentCount(), 7);
    for (int i = 0; i < 7; ++i) {
        w.clickTab(i);
        EXPECT_EQ(c.lastSelectedTabIndex(), i);
    }
    // The format button opens the format window over the settings.
    QTest::mouseClick(c.sdcardFormatButton(), Qt::LeftButton);
    auto* format = qobject_cast<DCVFormatWindowController*>(c.lastDialogController());
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->parentWidget(), &c);
    EXPECT_EQ(format->windowModality(), Qt::WindowModal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !format->isSearching(); }, 5000));
    format->close();
    QTest::mouseClick(c.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(c.isVisible());
}

} // namespace
