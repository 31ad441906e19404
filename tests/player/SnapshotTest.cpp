// Capture and print of the picture on screen, with real libVLC decoding of the sample card and
// scripted save panel, print dialog and viewer.
#include "app/DCVAppDelegate.h"
#include "platform/vlc/MediaPlayer.h"
#include "platform/vlc/VLCVideoView.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlaybackController.h"
#include "player/DCVSnapshotController.h"
#include "support/TestSupport.h"
#include "support/Views.h"
#include "util/Log.h"
#include "widgets/CustomWindow.h"
#include "widgets/TKImageButton.h"

#include <QDialog>
#include <QFile>
#include <QImageReader>
#include <QPageSize>
#include <QPrinter>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>

using namespace dcv;
using namespace dcv::test;
namespace fs = std::filesystem;

namespace {

// Save panel, print dialog and viewer as the test scripts them; each answers at once.
struct ScriptedDesktop {
    QList<SavePanelRequest> saveRequests;
    QString saveAnswer; // the path the user picks; empty to cancel
    QList<QPrinter*> printPanels;
    std::function<void(QPrinter&)> userInPrintPanel = [](QPrinter&) {};
    int printAnswer = QDialog::Accepted;
    QList<QUrl> opened;

    SnapshotServices services(const TempDir& temporary, const TempDir& desktop) {
        SnapshotServices s;
        s.savePanel = [this](QWidget*, const SavePanelRequest& request,
                             std::function<void(const QString&)> done) {
            saveRequests << request;
            done(saveAnswer);
        };
        s.printPanel = [this](QWidget*, QPrinter& printer, std::function<void(int)> done) {
            printPanels << &printer;
            userInPrintPanel(printer);
            done(printAnswer);
        };
        s.openUrl = [this](const QUrl& url) { opened << url; };
        s.temporaryFolder = QString::fromStdString(temporary.path().string());
        s.desktopFolder = QString::fromStdString(desktop.path().string());
        return s;
    }
};

// The lines written to the log meanwhile.
class LogLines {
public:
    LogLines()
        : m_sink([this](const std::string& line) {
              std::lock_guard lock(m_mutex);
              m_lines.push_back(line);
          }) {}
    int count(const std::string& line) const {
        std::lock_guard lock(m_mutex);
        return int(std::count(m_lines.begin(), m_lines.end(), line));
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    ScopedLogSink m_sink;
};

class SnapshotTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (qEnvironmentVariableIsEmpty("DCV_VLC_ARGS"))
            qputenv("DCV_VLC_ARGS", "--aout=dummy");
    }
    void SetUp() override {
        DCVAppDelegate::Options options;
        options.animateFrames = false;
        options.withMapPage = false;
        options.snapshotServices = desktop.services(temporary, desktopFolder);
        delegate = std::make_unique<DCVAppDelegate>(options);
        window = delegate->window();
        playback = &delegate->playback();
        snapshot = &delegate->snapshot();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override { delegate.reset(); }

    void startRow(int row) {
        QSignalSpy reloaded(delegate.get(), &DCVAppDelegate::mediaListReloaded);
        delegate->openDirectory(QString::fromStdString(sampleCardDir().string()));
        ASSERT_TRUE(reloaded.wait(5000));
        ASSERT_TRUE(playback->playAtIndex(row));
        auto* video = view<VLCVideoView>(window, "video1View");
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return playback->player()->isPlaying() && video->paintedFrames() > 0; }, 8000));
    }
    void pause() {
        playback->player()->pause();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return playback->player()->state() == VLCMediaPlayerStatePaused; }, 4000));
    }
    bool captureEnabled() const { return view<TKImageButton>(window, "captureButton")->isEnabled(); }
    bool printEnabled() const { return view<TKImageButton>(window, "printButton")->isEnabled(); }
    QString tempSnapshot() const {
        return QString::fromStdString((temporary / "telvo_capture.jpg").string());
    }
    QString inDesktop(const char* name) const {
        return QString::fromStdString((desktopFolder / name).string());
    }

    TempDir temporary, desktopFolder;
    ScriptedDesktop desktop;
    std::unique_ptr<DCVAppDelegate> delegate;
    CustomWindow* window = nullptr;
    DCVPlaybackController* playback = nullptr;
    DCVSnapshotController* snapshot = nullptr;
};

} // namespace

TEST_F(SnapshotTest, WithNothingLoadedNeitherButtonIsLiveAndNothingIsWritten) {
    EXPECT_FALSE(captureEnabled());
    EXPECT_FALSE(printEnabled());
    snapshot->captureVideo();
    snapshot->print();
    EXPECT_TRUE(desktop.saveRequests.isEmpty());
    EXPECT_TRUE(desktop.printPanels.isEmpty());
    EXPECT_FALSE(QFile::exists(tempSnapshot()));
}

TEST_F(SnapshotTest, CaptureWhilePlayingSavesTheDecodedPictureInTheFormatOfItsName) {
    startRow(1);
    EXPECT_TRUE(captureEnabled());
    EXPECT_TRUE(printEnabled());
    QFile::copy(QString::fromStdString((sampleCardDir() / "config.bin").string()), inDesktop("old.jpg"));
    const struct {
        const char* chosen;
        const char* saved;
        QByteArray format;
    } cases[] = {
        {"shot.jpg", "shot.jpg", "jpeg"},
        {"shot.png", "shot.png", "png"}, // what the user asked for, not JPEG bytes named .png
        {"SHOT.JPEG", "SHOT.JPEG", "jpeg"},
        {"shot.txt", "shot.txt.jpg", "jpeg"},
        {"old.jpg", "old.jpg", "jpeg"}, // confirmed in the panel: replaced
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        desktop.saveAnswer = inDesktop(c.chosen);
        desktop.opened.clear();
        QSignalSpy saved(snapshot, &DCVSnapshotController::captureSaved);
        snapshot->captureVideo();
        ASSERT_EQ(saved.count(), 1);
        const QString path = inDesktop(c.saved);
        EXPECT_EQ(saved.first().first().toString(), path);
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), c.format);
        EXPECT_EQ(reader.size(), QSize(640, 360)); // the recording's own size
        // The user's copy is opened, not the temporary file the next capture rewrites.
        EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(path)});
        if (c.format == "jpeg") { // JPEG is the snapshot's own format: copied byte for byte
            EXPECT_EQ(readFile(path.toStdString()), readFile(tempSnapshot().toStdString()));
        }
    }
    const SavePanelRequest& request = desktop.saveRequests.first();
    EXPECT_EQ(request.folder, QString::fromStdString(desktopFolder.path().string()));
    EXPECT_EQ(request.suggestedName, QStringLiteral("telvo_capture.jpg"));
    EXPECT_TRUE(request.showHiddenFiles);
    EXPECT_TRUE(request.canCreateDirectories);
    EXPECT_EQ(QImageReader(tempSnapshot()).format(), QByteArray("jpeg"));
}

TEST_F(SnapshotTest, ACancelledPanelSavesNothingAndKeysReachBothActions) {
    startRow(2);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    desktop.saveAnswer.clear();
    QSignalSpy saved(snapshot, &DCVSnapshotController::captureSaved);
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(desktop.saveRequests.size(), 1);
    EXPECT_EQ(saved.count(), 0);
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_TRUE(QFile::exists(tempSnapshot())); // the snapshot stays in the temporary folder

    desktop.printAnswer = QDialog::Rejected;
    QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(desktop.printPanels.size(), 1);
}

TEST_F(SnapshotTest, WhilePausedOnlyPrintIsLive) {
    startRow(3);
    pause();
    EXPECT_FALSE(captureEnabled());
    EXPECT_TRUE(printEnabled());
    snapshot->captureVideo();
    EXPECT_TRUE(desktop.saveRequests.isEmpty());
    EXPECT_FALSE(QFile::exists(tempSnapshot()));
    desktop.printAnswer = QDialog::Rejected;
    snapshot->print();
    EXPECT_EQ(desktop.printPanels.size(), 1);
    EXPECT_EQ(QImageReader(tempSnapshot()).size(), QSize(640, 360));
}

TEST_F(SnapshotTest, PrintsGoOnlyToPrintersAndKeepTheSettingsChosen) {
    startRow(4);
    pause();
    LogLines log;
    const std::string notAPrinter =
        "Either got an error from PMSessionGetDestinationType or the print destination "
        "wasn't kPMDestinationPrinter";
    // The user picks a PDF file: not a printer, nothing is written there.
    const QString pdf = QString::fromStdString((temporary / "out.pdf").string());
    desktop.userInPrintPanel = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A5));
        printer.setPageOrientation(QPageLayout::Landscape);
    };
    snapshot->print();
    EXPECT_EQ(log.count(notAPrinter), 1);
    EXPECT_FALSE(QFile::exists(pdf));

    // The next print opens on the paper chosen before; cancelled, it does nothing.
    QPageSize pageSeen;
    QPageLayout::Orientation orientationSeen = QPageLayout::Portrait;
    desktop.userInPrintPanel = [&](QPrinter& printer) {
        pageSeen = printer.pageLayout().pageSize();
        orientationSeen = printer.pageLayout().orientation();
    };
    desktop.printAnswer = QDialog::Rejected;
    snapshot->print();
    ASSERT_EQ(desktop.printPanels.size(), 2);
    EXPECT_EQ(desktop.printPanels[0], desktop.printPanels[1]);
    EXPECT_EQ(pageSeen.id(), QPageSize::A5);
    EXPECT_EQ(orientationSeen, QPageLayout::Landscape);
    EXPECT_EQ(log.count(notAPrinter), 1);
    EXPECT_FALSE(QFile::exists(pdf));
}
