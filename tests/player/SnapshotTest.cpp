// Capture and print of the picture on screen, with real libVLC decoding of the sample card and
// scripted save panel, print dialog and viewer.
#include "app/DCVAppDelegate.h"
#include "platform/DCVStrings.h"
#include "platform/vlc/MediaPlayer.h"
#include "platform/vlc/VLCVideoView.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlaybackController.h"
#include "player/DCVSnapshotController.h"
#include "support/AppWindowTest.h"
#include "support/TestSupport.h"
#include "widgets/CustomWindow.h"
#include "widgets/TKImageButton.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>
#include <QPageSize>
#include <QPrinter>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace dcv;
using namespace dcv::test;
namespace fs = std::filesystem;

namespace {

class SnapshotTest : public AppWindowTest {
protected:
    void SetUp() override {
        services.services.temporaryFolder = QString::fromStdString(temporary.path().string());
        showWindow();
        snapshot = &delegate->snapshot();
    }

    void startRow(int row) {
        openFolder(sampleCardDir(), 6);
        ASSERT_TRUE(playback->playAtIndex(row));
        auto* video = view<VLCVideoView>("video1View");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return playback->player()->isPlaying() && video->paintedFrames() > 0; }, 8000));
    }
    void pause() {
        playback->player()->pause();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return playback->player()->state() == VLCMediaPlayerStatePaused; }, 4000));
    }
    bool captureEnabled() const { return view<TKImageButton>("captureButton")->isEnabled(); }
    bool printEnabled() const { return view<TKImageButton>("printButton")->isEnabled(); }
    QString tempSnapshot() const {
        return QString::fromStdString((temporary / "telvo_capture.jpg").string());
    }
    QString inFolder(const char* name) const { return QString::fromStdString((folder / name).string()); }
    // Asks for a capture, the user answering the save panel with `path` (empty: cancel).
    void capture(const QString& path) {
        const int answered = services.panels->answered;
        services.panels->answers.push_back(path);
        snapshot->captureVideo();
        ASSERT_TRUE(QTest::qWaitFor([&] { return services.panels->answered == answered + 1; }, 2000));
    }
    void print(bool accept) {
        const int answered = services.printDialog->answered;
        services.printDialog->accept = accept;
        snapshot->print();
        ASSERT_TRUE(QTest::qWaitFor([&] { return services.printDialog->answered == answered + 1; }, 2000));
    }

    TempDir temporary, folder;
    DCVSnapshotController* snapshot = nullptr;
};

} // namespace

TEST_F(SnapshotTest, CaptureWhilePlayingSavesTheDecodedPictureInTheFormatOfItsName) {
    startRow(1);
    EXPECT_TRUE(captureEnabled());
    EXPECT_TRUE(printEnabled());
    const struct {
        const char* name;
        QByteArray format; // empty: refused
    } cases[] = {
        {"shot.jpg", "jpeg"},
        {"shot.png", "png"}, // what the user asked for, not JPEG bytes named .png
        {"SHOT.JPEG", "jpeg"},
        {"shot.txt", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = inFolder(c.name);
        services.opened->clear();
        QSignalSpy saved(snapshot, &DCVSnapshotController::captureSaved);
        capture(path);
        if (c.format.isEmpty()) {
            EXPECT_EQ(saved.count(), 0);
            EXPECT_FALSE(QFile::exists(path));
            EXPECT_TRUE(services.opened->isEmpty());
            QMessageBox* alert = visibleAlert(window);
            ASSERT_TRUE(alert);
            alert->accept();
            continue;
        }
        ASSERT_EQ(saved.count(), 1);
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), c.format);
        EXPECT_EQ(reader.size(), QSize(640, 360)); // the recording's own size
        // The user's copy is opened, not the temporary file the next capture rewrites.
        EXPECT_EQ(*services.opened, QList<QUrl>{QUrl::fromLocalFile(path)});
        if (c.format == "jpeg") { // JPEG is the snapshot's own format: copied byte for byte
            EXPECT_EQ(readFile(path.toStdString()), readFile(tempSnapshot().toStdString()));
        }
    }
    // The panel proposes a JPEG name in a folder that is there (the Desktop when there is one).
    const QString request = services.panels->requests.first();
    ASSERT_TRUE(request.startsWith(QStringLiteral("saveFile Save Settings /"))) << request.toStdString();
    const QFileInfo suggested(request.section(u' ', 3));
    EXPECT_EQ(suggested.fileName(), QStringLiteral("telvo_capture.jpg"));
    EXPECT_TRUE(suggested.absoluteDir().exists());
    EXPECT_EQ(QImageReader(tempSnapshot()).format(), QByteArray("jpeg"));

    // The keys reach both actions; a cancelled panel saves nothing and leaves the snapshot where it is.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const int answered = services.panels->answered;
    QSignalSpy saved(snapshot, &DCVSnapshotController::captureSaved);
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return services.panels->answered == answered + 1; }, 2000));
    EXPECT_EQ(services.panels->requests.size(), 5);
    EXPECT_EQ(saved.count(), 0);
    EXPECT_TRUE(services.opened->isEmpty());
    EXPECT_TRUE(QFile::exists(tempSnapshot()));
    QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(services.printDialog->asked, 1);
}

// Something else in the snapshot file's place is refused, not waited on, and left as it was;
// the user is told instead of a panel or print dialog opening on nothing. (Which places the
// picture writer refuses is tested without a player.)
TEST_F(SnapshotTest, ASnapshotPlaceThatIsNoWritableFileIsToldAndLeftAlone) {
    startRow(1);
    const fs::path place = temporary / "telvo_capture.jpg";
    const struct {
        const char* what;
        std::function<void()> make;
        std::function<bool()> unchanged;
    } cases[] = {
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(place.c_str(), 0600), 0); }, [&] { return fs::is_fifo(place); }},
        {"a folder", [&] { fs::create_directory(place); }, [&] { return fs::is_directory(place); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        for (const bool printing : {false, true}) {
            printing ? snapshot->print() : snapshot->captureVideo();
            QMessageBox* alert = visibleAlert(window);
            ASSERT_TRUE(alert);
            EXPECT_TRUE(alert->informativeText().startsWith(infoText("msg.capture_save_fail")))
                << alert->informativeText().toStdString();
            alert->accept();
            EXPECT_TRUE(c.unchanged());
        }
        EXPECT_TRUE(services.panels->requests.isEmpty());
        EXPECT_EQ(services.printDialog->asked, 0);
        fs::remove(place);
    }
}

// Nothing loaded: neither button is live. Paused: only print, which takes the picture on show and
// goes only to printers, keeping the paper chosen.
TEST_F(SnapshotTest, WhilePausedOnlyPrintWhichGoesOnlyToPrintersAndKeepsTheSettingsChosen) {
    EXPECT_FALSE(captureEnabled());
    EXPECT_FALSE(printEnabled());
    snapshot->captureVideo();
    snapshot->print();
    EXPECT_EQ(services.printDialog->asked, 0);
    startRow(4);
    pause();
    EXPECT_FALSE(captureEnabled());
    EXPECT_TRUE(printEnabled());
    snapshot->captureVideo();
    EXPECT_TRUE(services.panels->requests.isEmpty());
    EXPECT_FALSE(QFile::exists(tempSnapshot()));
    CapturedLog log;
    const std::string notAPrinter =
        "Either got an error from PMSessionGetDestinationType or the print destination "
        "wasn't kPMDestinationPrinter";
    // The user picks a PDF file: not a printer, nothing is written there.
    const QString pdf = inFolder("out.pdf");
    services.printDialog->user = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageOrientation(QPageLayout::Landscape);
    };
    print(true);
    EXPECT_EQ(QImageReader(tempSnapshot()).size(), QSize(640, 360));
    EXPECT_EQ(log.count(notAPrinter), 1);
    EXPECT_FALSE(QFile::exists(pdf));
    // The next print opens on the paper chosen before; cancelled, it does nothing.
    QPageSize pageSeen;
    QPageLayout::Orientation orientationSeen = QPageLayout::Portrait;
    services.printDialog->user = [&](QPrinter& printer) {
        pageSeen = printer.pageLayout().pageSize();
        orientationSeen = printer.pageLayout().orientation();
    };
    print(false);
    ASSERT_EQ(services.printDialog->printers.size(), 2);
    EXPECT_EQ(services.printDialog->printers[0], services.printDialog->printers[1]);
    EXPECT_EQ(pageSeen.id(), QPageSize::A5);
    EXPECT_EQ(orientationSeen, QPageLayout::Landscape);
    EXPECT_EQ(log.count(notAPrinter), 1);
    EXPECT_FALSE(QFile::exists(pdf));
}
