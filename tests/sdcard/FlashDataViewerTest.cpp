// The driving-log viewer in the settings window, driven offscreen through its widgets.
#include "DrvSample.h"
#include "platform/DCVStrings.h"
#include "platform/disks/UsbVolumes.h"
#include "sdcard/DCVSettingForFlashDataViewController.h"
#include "sdcard/FlashData.h"
#include "settings/DCVSettingController.h"
#include "settings/SettingsRecord.h"
#include "support/TestServices.h"
#include "support/TestSupport.h"
#include "support/Views.h"
#include "telemetry/DCVMapWindowController.h"
#include "widgets/SegmentedControl.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace dcv;
using namespace dcv::test;

namespace {

// The sample record without a weekday, with status "F".
DrvRecord seoulStation() {
    DrvRecord r = sampleRecord();
    r.weekday = 7;
    r.status = 2;
    return r;
}

struct LogWindow {
    TestServices test;
    TempDir card;
    RecordingScriptTarget map;
    DCVSettingController::Options options;
    std::unique_ptr<DCVSettingController> settings;

    LogWindow() {
        options.diskUtility = QString();
        options.loadingTickMs = 5;
        options.driveInfo.alertDelayMs = 0;
        options.driveInfo.makeMapWindow = [this](QWidget* parent) {
            auto* window = new DCVMapWindowController(parent, false);
            window->setScriptTarget(&map);
            return window;
        };
    }
    void useCardFolder(const fs::path& folder) {
        test.services.cardFolder = QString::fromStdString(folder.string());
    }
    // The card as a USB volume with its settings, the way the camera leaves it.
    void useUsbCard() {
        const auto record = settingsRecordBytes(defaultSettingsRecord());
        card.write("config.bin", std::string(record.begin(), record.end()));
        test.services.volumes = std::make_shared<UsbVolumes>(
            [mount = card.path().string()] { return std::optional(usbCardListing(mount)); });
    }
    void writeLog(const std::string& bytes) { card.write("DrvInfo/telvo_000.drv", bytes); }

    // Opens the settings window and shows the driving log; waits for the card's log.
    DCVSettingForFlashDataViewController& open() {
        settings = std::make_unique<DCVSettingController>(test.services, options);
        settings->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(settings.get()));
        DCVSettingForFlashDataViewController* viewer = settings->createDriveInfoController();
        QSignalSpy loaded(viewer, &DCVSettingForFlashDataViewController::flashDataLoaded);
        QTest::mouseClick(settings->driveInfoButton(), Qt::LeftButton);
        EXPECT_EQ(settings->targetController(), viewer);
        EXPECT_TRUE(loaded.count() > 0 || loaded.wait(5000));
        return *viewer;
    }
    DCVSettingForFlashDataViewController& viewer() const { return *settings->createDriveInfoController(); }
    QTableView* table() const { return viewer().tableView(); }
    QString cell(int row, int column) const { return table()->model()->index(row, column).data().toString(); }
    void doubleClick(int row) {
        QTableView* t = table();
        t->scrollTo(t->model()->index(row, 3));
        const QPoint at = t->visualRect(t->model()->index(row, 3)).center();
        // As a user does it: the first click selects, the second is the double click.
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, at);
    }
    // Answers the next panel with `path`, clicks `button` and waits for `done`.
    template <class Signal> bool clickWithPanel(QPushButton* button, const fs::path& path, Signal done) {
        test.panels->answers.push_back(QString::fromStdString(path.string()));
        QSignalSpy spy(&viewer(), done);
        QTest::mouseClick(button, Qt::LeftButton);
        return spy.wait(5000);
    }
};

TEST(FlashDataViewerTest, TheSettingsWindowShowsTheCardsLogAndOpensAnother) {
    LogWindow w;
    w.useCardFolder(sampleCardDir());
    DCVSettingForFlashDataViewController& v = w.open();
    EXPECT_TRUE(w.settings->driveInfoButton()->isChecked());
    EXPECT_EQ(w.settings->functionSegmentedControl()->selectedSegment(), -1);
    EXPECT_EQ(v.flashDataFilePath().toStdString(), (sampleCardDir() / "DrvInfo" / "telvo_000.drv").string());
    QTableView* t = w.table();
    ASSERT_EQ(t->model()->rowCount(), 50);
    ASSERT_EQ(t->model()->columnCount(), 17);
    // At least the log's widths, and wide enough for every text: nothing is cut short.
    const int widths[17] = {38, 38, 86, 72, 70, 64, 72, 60, 60, 60, 48, 48, 48, 48, 60, 60, 60};
    for (int c = 0; c < 17; ++c) {
        EXPECT_GE(t->columnWidth(c), widths[c]) << c;
        EXPECT_GE(t->columnWidth(c), static_cast<const QAbstractItemView*>(t)->sizeHintForColumn(c)) << c;
        EXPECT_GE(t->columnWidth(c), t->horizontalHeader()->sectionSizeHint(c)) << c;
    }
    QStringList row;
    for (int c = 0; c < 17; ++c)
        row << w.cell(1, c);
    EXPECT_EQ(row.join('|'),
              "2|2|2024/03/05|14:08:09|TUE|3733.0197|12658.2240|0.2|18|21|A|+0.14|-0.01|+1.00|14.0| "
              "2.5|12.5");
    EXPECT_EQ(t->model()->index(1, 5).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(view<QLabel>(&v, "flashDataStatusField")->text(), "telvo_000.drv   50 records");
    // Back to a tab and to the log again: the records stay, nothing is read twice.
    QSignalSpy loaded(&v, &DCVSettingForFlashDataViewController::flashDataLoaded);
    QTest::mouseClick(w.settings->functionSegmentedControl()->segmentButton(2), Qt::LeftButton);
    EXPECT_FALSE(v.isVisible());
    EXPECT_FALSE(w.settings->driveInfoButton()->isChecked());
    QTest::mouseClick(w.settings->driveInfoButton(), Qt::LeftButton);
    EXPECT_TRUE(v.isVisible());
    EXPECT_EQ(t->model()->rowCount(), 50);
    EXPECT_EQ(loaded.count(), 0);

    // Another log is opened; one that cannot be read leaves the rows.
    const auto opened = &DCVSettingForFlashDataViewController::flashDataLoaded;
    fs::create_directories(w.card / "folder.drv");
    for (const fs::path& bad : {w.card / "missing.drv", w.card / "folder.drv"}) {
        ASSERT_TRUE(w.clickWithPanel(v.openButton(), bad, opened)) << bad;
        EXPECT_EQ(w.table()->model()->rowCount(), 50) << bad;
        const auto alert = answerAlert(w.settings.get());
        ASSERT_TRUE(alert) << bad;
        EXPECT_EQ(alert->message, "TELVO");
        EXPECT_TRUE(alert->informative.contains(QString::fromStdString(bad.string()))) << bad;
    }
    EXPECT_TRUE(w.test.panels->requests.first().startsWith("openFile Open Driving Log"));
    const fs::path other = w.card.write("other.drv", encodeFlashDataFile({seoulStation(), seoulStation()}));
    ASSERT_TRUE(w.clickWithPanel(v.openButton(), other, opened));
    EXPECT_EQ(w.table()->model()->rowCount(), 2);
    EXPECT_EQ(w.cell(1, 2), "2024/03/05");
    EXPECT_EQ(visibleAlert(w.settings.get()), nullptr);
}

// The log of a USB card: only whole records are shown, never more than the header announces;
// an empty log leaves nothing to export.
TEST(FlashDataViewerTest, ShortAndEmptyLogs) {
    const std::string three = encodeFlashDataFile({seoulStation(), seoulStation(), seoulStation()});
    std::string promisesFive = three + std::string(20, '\x01'); // and part of a fourth
    promisesFive[0] = 5;
    const struct {
        const char* name;
        std::string bytes;
        int rows;
        const char* status;
    } cases[] = {
        {"header promises more", promisesFive, 3,
         "telvo_000.drv   3 of the 5 records the log announces: the file ends there"},
        {"no records", encodeFlashDataFile({}), 0, "telvo_000.drv   0 records"},
    };
    for (const auto& c : cases) {
        LogWindow w;
        w.useUsbCard();
        w.writeLog(c.bytes);
        DCVSettingForFlashDataViewController& v = w.open();
        EXPECT_EQ(v.flashDataFilePath().toStdString(), (w.card / "DrvInfo" / "telvo_000.drv").string());
        EXPECT_EQ(w.table()->model()->rowCount(), c.rows) << c.name;
        EXPECT_EQ(view<QLabel>(&v, "flashDataStatusField")->text(), c.status) << c.name;
        EXPECT_EQ(v.exportButton()->isEnabled(), c.rows > 0) << c.name;
        v.onSaveCSVFile();
        EXPECT_EQ(w.test.panels->requests.isEmpty(), c.rows == 0) << c.name;
    }
}

TEST(FlashDataViewerTest, ExportWritesTheTableAsCommaSeparatedText) {
    LogWindow w;
    w.useCardFolder(w.card.path());
    w.writeLog(encodeFlashDataFile({seoulStation()}));
    DCVSettingForFlashDataViewController& v = w.open();
    const auto exported = &DCVSettingForFlashDataViewController::exportFinished;
    // The table's own titles; the values are the export's (FlashDataCsvTest).
    const std::string csv =
        "No.,Seq,Date,Time,Day,Latitude,Longitude,Dist.,Speed,Max,Status,X,Y,Z,Battery,TTC,DTC\n"
        "1,417,2024/03/05,14:07:09,-,3733.0056,12658.1234,12345.7,63,88,F,+1.00,-0.50,+0.00,12.5, "
        "0.5,-12.5\n";
    // The panel's name is the file written: a name typed with another extension is not given a
    // second one, so a file the panel never asked about stays.
    w.card.write("log.txt.csv", "not asked about");
    const struct {
        const char* typed;
        const char* written;
    } cases[] = {{"export", "export.csv"}, {"log.txt", "log.txt"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(w.clickWithPanel(v.exportButton(), w.card / c.typed, exported)) << c.typed;
        EXPECT_TRUE(w.test.panels->requests.last().endsWith("/telvo_000.csv"));
        EXPECT_EQ(readFile(w.card / c.written), csv) << c.typed;
        QTRY_VERIFY_WITH_TIMEOUT(visibleAlert(w.settings.get()), 5000);
        EXPECT_EQ(answerAlert(w.settings.get()), (Alert{"TELVO", infoText("msg.saved")}));
    }
    EXPECT_EQ(readFile(w.card / "log.txt.csv"), "not asked about");

    // A place that cannot be written is reported, not called saved.
    const fs::path nowhere = w.card / "no such folder" / "log.csv";
    QSignalSpy finished(&v, exported);
    ASSERT_TRUE(w.clickWithPanel(v.exportButton(), nowhere, exported));
    EXPECT_FALSE(finished.first().first().toBool());
    QTRY_VERIFY_WITH_TIMEOUT(visibleAlert(w.settings.get()), 5000);
    const auto alert = answerAlert(w.settings.get());
    ASSERT_TRUE(alert);
    EXPECT_TRUE(alert->informative.contains(QString::fromStdString(nowhere.string())))
        << alert->informative.toStdString();
    EXPECT_FALSE(fs::exists(nowhere));
}

// A double click on a row with a position shows it in the map window beside the settings
// window; a row without one shows nothing. Leaving the log or exporting closes the map.
TEST(FlashDataViewerTest, DoubleClickShowsThePositionInTheMapWindowBesideTheSettings) {
    LogWindow w;
    w.useCardFolder(w.card.path());
    DrvRecord noFix = seoulStation();
    noFix.latitudeWhole = noFix.latitudeFraction = 0;
    w.writeLog(encodeFlashDataFile({noFix, seoulStation()}));
    DCVSettingForFlashDataViewController& v = w.open();
    w.doubleClick(0);
    EXPECT_EQ(v.mapWindowController(), nullptr);
    EXPECT_TRUE(w.map.scripts.isEmpty());

    w.doubleClick(1);
    DCVMapWindowController* map = v.mapWindowController();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->isVisible());
    EXPECT_TRUE(map->isWindow());
    EXPECT_EQ(w.map.scripts, QStringList{"setLatLag('126.968723','37.550093')"});
    const QRect settings = w.settings->frameGeometry();
    EXPECT_EQ(map->frameGeometry().topLeft(), QPoint(settings.x() + settings.width(), settings.y()));
    // The same window again.
    w.doubleClick(1);
    EXPECT_EQ(v.mapWindowController(), map);
    EXPECT_EQ(w.map.scripts.size(), 2);

    QPointer<DCVMapWindowController> gone(map);
    QTest::mouseClick(w.settings->functionSegmentedControl()->segmentButton(0), Qt::LeftButton);
    EXPECT_TRUE(gone.isNull());
    QTest::mouseClick(w.settings->driveInfoButton(), Qt::LeftButton);
    w.doubleClick(1);
    gone = v.mapWindowController();
    ASSERT_FALSE(gone.isNull());
    w.test.panels->answers.push_back({}); // the export panel is cancelled
    QTest::mouseClick(v.exportButton(), Qt::LeftButton);
    EXPECT_TRUE(gone.isNull());
}

// The map window beside a frame (the double click's case above) that would leave the screen on
// the right is kept on it.
TEST(MapWindowTest, BesideAFrameAtTheScreensRightEdgeItStaysOnTheScreen) {
    DCVMapWindowController map(nullptr, false);
    map.resize(300, 200);
    map.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
    const QRect screen = map.screen()->availableGeometry();
    const QSize size = map.frameGeometry().size();
    map.moveWindowRightBy(QRect(screen.right() - 400, 50, 300, 300));
    EXPECT_EQ(map.frameGeometry().topLeft(), QPoint(screen.right() + 1 - size.width(), 50));
    EXPECT_EQ(map.frameGeometry().size(), size);
}

} // namespace
