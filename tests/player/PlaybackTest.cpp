// Playback of the sample recordings with real libVLC decoding (dummy audio output), driven
// through the table and the controls of the main window.
#include "app/DCVAppDelegate.h"
#include "platform/vlc/MediaPlayer.h"
#include "platform/vlc/VLCVideoView.h"
#include "platform/web/DCVWebView.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlayInfo.h"
#include "support/TestSupport.h"
#include "telemetry/GraphView.h"
#include "telemetry/MapScripts.h"
#include "telemetry/TelemetryText.h"
#include "widgets/CustomWindow.h"
#include "widgets/PMProgressIndicator.h"
#include "widgets/TKImageButton.h"
#include "widgets/TKVideoBackgroundImageView.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dcv;
using namespace dcv::test;
namespace fs = std::filesystem;

namespace {

class RecordingScriptTarget : public DCVScriptTarget {
public:
    void evaluateScript(const QString& script) override { scripts << script; }
    QStringList scripts;
};

class PlaybackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (qEnvironmentVariableIsEmpty("DCV_VLC_ARGS"))
            qputenv("DCV_VLC_ARGS", "--aout=dummy");
    }
    void SetUp() override {
        DCVAppDelegate::Options options;
        options.animateFrames = false;
        options.withMapPage = false;
        options.playStartTimeoutMs = 4000;
        delegate = std::make_unique<DCVAppDelegate>(options);
        delegate->setMapScriptTarget(&map);
        delegate->window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window.get()));
    }
    void TearDown() override { delegate.reset(); }

    void openFolder(const fs::path& folder, int rows) {
        delegate->openDirectory(QString::fromStdString(folder.string()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->mediaListModel->rowCount() == rows; }, 5000));
    }
    void doubleClickRow(int row) {
        QTableView* table = delegate->mediaListTableView;
        const QRect r = table->visualRect(delegate->mediaListModel->index(row, 3));
        // The press before a double-click selects the row, as a real one does.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Started, first picture painted and playing.
    bool waitPlaying(int timeoutMs = 8000) {
        return QTest::qWaitFor(
            [&] {
                return !delegate->waitingForPlayStart && delegate->playInfo->isPlaying() &&
                       delegate->video1View->paintedFrames() > 0;
            },
            timeoutMs);
    }
    // Moves the position slider as a click on its groove does.
    void moveSliderTo(double v) {
        delegate->videoPositionSlider->setValue(int(v * DCVAppDelegate::kSliderSteps));
    }
    QString rowPath(int row) const {
        return QString::fromStdString(delegate->mediaListModel->mediaAtRow(row)->path());
    }

    RecordingScriptTarget map;
    std::unique_ptr<DCVAppDelegate> delegate;
};

// A recording of 24 s (longer than two jumps), without telemetry, made with ffmpeg.
fs::path makeLongRecording(const TempDir& dir) {
    const fs::path out = dir / "alwa_20210315_150000_F.MP4";
    const ProcessResult r = runProcess({"ffmpeg",  "-hide_banner", "-loglevel",
                                        "error",   "-y",           "-f",
                                        "lavfi",   "-i",           "testsrc=size=320x180:rate=30",
                                        "-t",      "24",           "-c:v",
                                        "libx264", "-preset",      "ultrafast",
                                        "-g",      "30",           "-pix_fmt",
                                        "yuv420p", out.string()});
    return r.exitCode == 0 ? out : fs::path();
}

} // namespace

TEST_F(PlaybackTest, ADoubleClickStartsTheRowOnceItsTelemetryIsRead) {
    openFolder(sampleCardDir(), 6);
    struct AtHandOver {
        int calls = 0;
        uint64_t paintedFrames = 0;
        bool playerPlaying = true;
        size_t samples = 0, graphValues = 0;
    } at;
    QObject::connect(delegate.get(), &DCVAppDelegate::telemetryHandedOver, delegate.get(), [&] {
        ++at.calls;
        at.paintedFrames = delegate->video1View->paintedFrames();
        at.playerPlaying = delegate->player1->isPlaying();
        at.samples = delegate->blackBoxData->m_GSensors().size();
        at.graphValues = delegate->graphView->values().size();
    });
    doubleClickRow(1);
    EXPECT_TRUE(delegate->waitingForPlayStart);
    EXPECT_EQ(delegate->mediaIndex, 1);
    EXPECT_TRUE(delegate->progressIndicator->isVisible());
    ASSERT_TRUE(waitPlaying());
    // The telemetry came before the player started: no picture yet, and the graph had it.
    EXPECT_EQ(at.calls, 1);
    EXPECT_EQ(at.paintedFrames, 0u);
    EXPECT_FALSE(at.playerPlaying);
    EXPECT_GT(at.samples, 50u);
    EXPECT_EQ(at.graphValues, at.samples);
    EXPECT_EQ(delegate->player1->media()->path(), rowPath(1));
    EXPECT_EQ(delegate->mediaListTableView->selectionModel()->selectedRows().value(0).row(), 1);
    EXPECT_TRUE(delegate->video1View->isVisible());
    EXPECT_EQ(delegate->playButton->image().name(), QStringLiteral("icon_pause_n"));
    EXPECT_DOUBLE_EQ(delegate->playInfo->speed(), 1.0);
    // The sample recordings carry sound: the channel of the file is the one heard.
    EXPECT_EQ(delegate->playInfo->audioMediaDirection(), mediaDirection(rowPath(1).toStdString()));
    EXPECT_EQ(delegate->player1->audioVolume(), 70);
    // The scale waits for the video size, known with the first decoded pictures.
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->playInfo->scale() > 0; }, 3000));
    EXPECT_NEAR(delegate->playInfo->scale(), delegate->videoContainerView->height() / 360.0, 1e-9);
    EXPECT_EQ(delegate->sizeTextButton->text(), QString::asprintf("%.2fx", delegate->playInfo->scale()));
    // The first time event takes the loading indicator down.
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->stopVideoLoadingView; }, 3000));
}

TEST_F(PlaybackTest, TheTextsFollowThePublishedPosition) {
    openFolder(sampleCardDir(), 6);
    int timeEvents = 0, publications = 0, mismatches = 0;
    QObject::connect(delegate->player1.get(), &MediaPlayer::mediaPlayerTimeChanged, delegate.get(),
                     [&] { ++timeEvents; });
    // Connected after the window's own observation, so it sees the texts that one just set.
    QObject::connect(delegate->playInfo.get(), &DCVPlayInfo::positionChanged, delegate.get(), [&] {
        if (delegate->waitingForPlayStart || delegate->blackBoxData->m_GSensors().empty())
            return;
        ++publications;
        const double p = delegate->playInfo->position();
        const auto& g = delegate->blackBoxData->m_GSensors();
        const auto& gps = delegate->blackBoxData->m_vGpsData();
        const DCVGSensor& s = g[*sampleIndexForPosition(p, g.size())];
        const GpsTexts t = gpsTexts(gps[*sampleIndexForPosition(p, gps.size())].data());
        const bool same = delegate->gsensorXField->text().toStdString() == gsensorAxisText('X', s.x()) &&
                          delegate->gsensorYField->text().toStdString() == gsensorAxisText('Y', s.y()) &&
                          delegate->gsensorZField->text().toStdString() == gsensorAxisText('Z', s.z()) &&
                          delegate->latitudeField->text().toStdString() == t.latitudeText &&
                          delegate->longitudeField->text().toStdString() == t.longitudeText &&
                          delegate->speedField->text().toStdString() == t.speedText &&
                          delegate->hdopField->text().toStdString() == t.hdopText &&
                          delegate->sateliteField->text().toStdString() == t.satelliteText &&
                          map.scripts.value(map.scripts.size() - 1) ==
                              QString::fromStdString(setLatLagScript(t.longitude, t.latitude));
        if (!same)
            ++mismatches;
    });
    doubleClickRow(0);
    ASSERT_TRUE(waitPlaying());
    const int eventsAtStart = timeEvents, publicationsAtStart = publications;
    ASSERT_TRUE(QTest::qWaitFor([&] { return publications - publicationsAtStart >= 6; }, 8000));
    EXPECT_EQ(mismatches, 0);
    // Plain playback publishes on every third time event only.
    EXPECT_LE(publications - publicationsAtStart, (timeEvents - eventsAtStart) / 3 + 1);
    // The texts moved on with the drive: the graph's bar follows the player.
    EXPECT_GT(delegate->graphView->timePosition(), 0.0);
    EXPECT_NE(delegate->speedField->text(), QString());
    EXPECT_TRUE(delegate->latitudeField->text().startsWith(QLatin1Char('-')))
        << "the drive is south of the equator";
}

TEST_F(PlaybackTest, ASeekHoldsThePublishedPositionAtItsTarget) {
    TempDir dir;
    const fs::path file = makeLongRecording(dir);
    if (file.empty())
        GTEST_SKIP() << "ffmpeg could not make the recording";
    openFolder(dir.path(), 1);
    std::vector<double> heldWhileMoving;
    QObject::connect(delegate->playInfo.get(), &DCVPlayInfo::positionChanged, delegate.get(), [&] {
        if (delegate->moving)
            heldWhileMoving.push_back(delegate->playInfo->position());
    });
    doubleClickRow(0);
    ASSERT_TRUE(waitPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->player1->time().intValue() > 500; }, 5000));

    const double startPosition = delegate->player1->position();
    delegate->jumpForward();
    ASSERT_TRUE(delegate->moving);
    const double forwardTarget = delegate->movingPosition;
    EXPECT_NEAR(forwardTarget, startPosition + 10.0 / 24.0, 0.01);
    EXPECT_NEAR(delegate->videoPositionSlider->value() / 10000.0, forwardTarget, 1e-4);
    // A second jump inside the settling window is ignored.
    delegate->jumpForward();
    EXPECT_DOUBLE_EQ(delegate->movingPosition, forwardTarget);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->moving; }, 2000));
    for (double p : heldWhileMoving)
        EXPECT_DOUBLE_EQ(p, forwardTarget);
    // The player got there.
    size_t held = heldWhileMoving.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->player1->time().intValue() > 11000; }, 4000));
    EXPECT_NEAR(delegate->player1->position(), forwardTarget, 0.1);

    heldWhileMoving.clear();
    delegate->jumpBackward();
    ASSERT_TRUE(delegate->moving);
    const double backwardTarget = delegate->movingPosition;
    EXPECT_LT(backwardTarget, forwardTarget);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->moving; }, 2000));
    for (double p : heldWhileMoving)
        EXPECT_DOUBLE_EQ(p, backwardTarget);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return std::abs(delegate->player1->position() - backwardTarget) < 0.1; }, 2000));
    // Time changes come several times a second: the two windows saw at least one of them.
    held += heldWhileMoving.size();
    EXPECT_GE(held, 1u);
}

TEST_F(PlaybackTest, TheEndOfAFileStartsTheNextRowAndTheLastRowStaysPaused) {
    openFolder(sampleCardDir(), 6);
    doubleClickRow(4);
    ASSERT_TRUE(waitPlaying());
    QSignalSpy handedOver(delegate.get(), &DCVAppDelegate::telemetryHandedOver);
    moveSliderTo(0.9);
    ASSERT_TRUE(handedOver.wait(6000)) << "the next row did not start";
    EXPECT_EQ(handedOver.first().first().toLongLong(), 5);
    EXPECT_EQ(delegate->player1->media()->path(), rowPath(5));
    ASSERT_TRUE(waitPlaying());

    moveSliderTo(0.9);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return delegate->player1->state() == VLCMediaPlayerStatePaused; }, 4000));
    EXPECT_GE(delegate->player1->position(), 0.988f);
    // Nothing comes after the last row: give the end timer time for two turns.
    EXPECT_FALSE(handedOver.wait(3000));
    EXPECT_EQ(delegate->mediaIndex, 5);
    EXPECT_EQ(delegate->player1->state(), VLCMediaPlayerStatePaused);
    EXPECT_FALSE(delegate->playInfo->isPlaying());
    EXPECT_EQ(delegate->playButton->image().name(), QStringLiteral("icon_play_n"));
    // The last picture stays on screen.
    EXPECT_TRUE(delegate->video1View->isVisible());
    EXPECT_FALSE(delegate->video1View->frameBuffer()->copyPicture().isNull());

    // Play at the end with the slider at the end starts the recording again.
    delegate->clickPlayButton();
    EXPECT_TRUE(delegate->waitingForPlayStart);
    ASSERT_TRUE(waitPlaying());
    EXPECT_EQ(delegate->mediaIndex, 5);
    EXPECT_LT(delegate->player1->position(), 0.5f);
}

TEST_F(PlaybackTest, DoubleClicksWhileARowIsLoadingAreIgnored) {
    openFolder(sampleCardDir(), 6);
    QSignalSpy handedOver(delegate.get(), &DCVAppDelegate::telemetryHandedOver);
    doubleClickRow(0);
    ASSERT_TRUE(delegate->waitingForPlayStart);
    doubleClickRow(3);
    doubleClickRow(2);
    EXPECT_EQ(delegate->mediaIndex, 0);
    ASSERT_TRUE(waitPlaying());
    EXPECT_EQ(handedOver.count(), 1);
    EXPECT_EQ(delegate->player1->media()->path(), rowPath(0));
    // Once it plays, a double-click on another row starts that one.
    doubleClickRow(3);
    EXPECT_EQ(delegate->mediaIndex, 3);
    ASSERT_TRUE(waitPlaying());
    EXPECT_EQ(delegate->player1->media()->path(), rowPath(3));
}

TEST_F(PlaybackTest, ADamagedFileDoesNotBlockLaterPlays) {
    TempDir dir;
    std::string noise(256 * 1024, '\0');
    uint32_t x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    dir.write("alwa_20210315_142500_F.MP4", noise);
    fs::copy_file(sampleCardDir() / "alwa_20210315_142530_F.MP4", dir / "alwa_20210315_142530_F.MP4");
    openFolder(dir.path(), 2);
    QSignalSpy failed(delegate.get(), &DCVAppDelegate::playFailed);
    doubleClickRow(0);
    ASSERT_TRUE(failed.wait(8000));
    EXPECT_FALSE(delegate->waitingForPlayStart);
    ASSERT_TRUE(delegate->lastAlert());
    EXPECT_TRUE(delegate->lastAlert()->isVisible());
    EXPECT_EQ(delegate->lastAlert()->informativeText(),
              QCoreApplication::translate("InfoPlist", "msg.file_open_fail"));
    EXPECT_FALSE(delegate->video1View->isVisible());
    delegate->lastAlert()->accept();

    doubleClickRow(1);
    EXPECT_EQ(delegate->mediaIndex, 1);
    ASSERT_TRUE(waitPlaying());
    EXPECT_EQ(delegate->player1->media()->path(), rowPath(1));
}

TEST_F(PlaybackTest, SnapshotsHaveTheRecordingsOwnSizeWhilePlayingAndOnceItHasEnded) {
    openFolder(sampleCardDir(), 6);
    doubleClickRow(5);
    ASSERT_TRUE(waitPlaying());
    TempDir dir;
    struct Case {
        const char* file;
        int width, height;
        QSize expected;
        const char* format;
    } cases[] = {
        {"full.jpg", 0, 0, {640, 360}, "jpeg"},
        {"half.png", 320, 0, {320, 180}, "png"},
        {"box.png", 200, 100, {200, 100}, "png"},
    };
    auto check = [&](const char* when) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(when) + " " + c.file);
            const QString path = QString::fromStdString((dir / c.file).string());
            QFile::remove(path);
            ASSERT_TRUE(delegate->player1->saveVideoSnapshotAt(path, c.width, c.height));
            QImageReader reader(path);
            EXPECT_EQ(reader.format(), QByteArray(c.format));
            const QImage image = reader.read();
            EXPECT_EQ(image.size(), c.expected);
            // A picture of the drive, not a black frame.
            const QImage small = image.scaled(8, 8);
            int lit = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    lit += qGray(small.pixel(x, y)) > 24;
            EXPECT_GT(lit, 16);
        }
    };
    check("playing");
    // At the end libVLC has no picture left; the last one shown is saved.
    moveSliderTo(0.9);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return delegate->player1->state() == VLCMediaPlayerStatePaused; }, 4000));
    check("ended");
}
