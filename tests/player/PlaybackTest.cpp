// Playback of the sample recordings with real libVLC decoding (dummy audio output), driven
// through the table and the controls of the main window.
#include "app/DCVAppDelegate.h"
#include "platform/vlc/MediaPlayer.h"
#include "platform/vlc/VLCLibrary.h"
#include "platform/vlc/VLCVideoView.h"
#include "platform/web/DCVWebView.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlayInfo.h"
#include "player/DCVPlaybackController.h"
#include "support/AppWindowTest.h"
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
#include <QMessageBox>
#include <QRegion>
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

class PlaybackTest : public AppWindowTest {
protected:
    void SetUp() override {
        DCVAppDelegate::Options options = quietOptions();
        options.timings.playStartTimeout = 4000;
        options.timings.endCheckInterval = 100;
        options.timings.playNextDelay = 100;
        // Seeking windows long enough to see libVLC's time events (a few a second) inside them.
        options.timings.settleAfterForward = 1000;
        options.timings.settleAfterJumpBack = 1000;
        showWindow(options);
        delegate->setMapScriptTarget(&map);
        player = playback->player();
        video = view<VLCVideoView>("video1View");
    }
    QString text(const char* field) const { return view<QLabel>(field)->text(); }

    void doubleClickRow(int row) {
        auto* table = view<QTableView>("mediaListTableView");
        const QRect r = table->visualRect(model->index(row, 3));
        // The press before a double-click selects the row, as a real one does.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Started, first picture painted and playing.
    bool waitPlaying(int timeoutMs = 8000) {
        return QTest::qWaitFor(
            [&] {
                return !playback->waitingForPlayStart() && playback->playInfo()->isPlaying() &&
                       video->paintedFrames() > 0;
            },
            timeoutMs);
    }
    // Moves the position slider as a click on its groove does.
    void moveSliderTo(double v) {
        view<QSlider>("videoPositionSlider")->setValue(int(v * kPositionSliderSteps));
    }
    QString rowPath(int row) const { return QString::fromStdString(model->mediaAtRow(row)->path()); }

    test::RecordingScriptTarget map;
    MediaPlayer* player = nullptr;
    VLCVideoView* video = nullptr;
};

} // namespace

TEST_F(PlaybackTest, ADoubleClickStartsTheRowOnceItsTelemetryIsRead) {
    openFolder(sampleCardDir(), 6);
    struct AtHandOver {
        int calls = 0;
        uint64_t paintedFrames = 0;
        bool playerPlaying = true;
        size_t samples = 0, graphValues = 0;
    } at;
    QObject::connect(playback, &DCVPlaybackController::telemetryHandedOver, playback, [&] {
        ++at.calls;
        at.paintedFrames = video->paintedFrames();
        at.playerPlaying = player->isPlaying();
        at.samples = playback->blackBoxData()->m_GSensors().size();
        at.graphValues = view<GraphView>("graphView")->values().size();
    });
    doubleClickRow(1);
    EXPECT_TRUE(playback->waitingForPlayStart());
    EXPECT_TRUE(view("progressIndicator")->isVisible());
    EXPECT_EQ(view<QTableView>("mediaListTableView")->selectionModel()->selectedRows().value(0).row(), 1);
    doubleClickRow(3); // ignored while the row is loading, and the loading row stays selected
    EXPECT_EQ(playback->mediaIndex(), 1);
    EXPECT_EQ(view<QTableView>("mediaListTableView")->selectionModel()->selectedRows().value(0).row(), 1);
    ASSERT_TRUE(waitPlaying());
    // The telemetry came before the player started: no picture yet, and the graph had it.
    EXPECT_EQ(at.calls, 1);
    EXPECT_EQ(at.paintedFrames, 0u);
    EXPECT_FALSE(at.playerPlaying);
    EXPECT_GT(at.samples, 50u);
    EXPECT_EQ(at.graphValues, at.samples);
    EXPECT_EQ(player->media()->path(), rowPath(1));
    EXPECT_TRUE(video->isVisible());
    // The picture in the middle, the bars beside it painted black (over a red canvas, which
    // shows what the view leaves unpainted).
    QImage shot(video->size(), QImage::Format_RGB32);
    shot.fill(Qt::red);
    video->render(&shot, {}, {}, QWidget::DrawChildren);
    const QRect picture = VLCVideoView::pictureRect(video->frameBuffer()->pictureSize(), video->size());
    const QRegion bars = QRegion(video->rect()).subtracted(picture);
    ASSERT_FALSE(bars.isEmpty()) << "the view has the picture's shape";
    for (const QRect& bar : bars)
        for (const QPoint p : {bar.topLeft(), bar.center(), bar.bottomRight()})
            EXPECT_EQ(shot.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    const QRgb middle = shot.pixel(picture.center());
    EXPECT_TRUE(middle != qRgb(255, 0, 0) && qGray(middle) > 24) << std::hex << middle;
    EXPECT_EQ(view<TKImageButton>("playButton")->image().name(), QStringLiteral("icon_pause_n"));
    // The sample recordings carry sound: the channel of the file is the one heard.
    EXPECT_EQ(playback->playInfo()->audioMediaDirection(), mediaDirection(rowPath(1).toStdString()));
    EXPECT_EQ(player->audioVolume(), 70);
    // The scale waits for the video size, known with the first decoded pictures.
    EXPECT_TRUE(QTest::qWaitFor([&] { return playback->playInfo()->scale() > 0; }, 3000));
    EXPECT_NEAR(playback->playInfo()->scale(), view("videoContainerView")->height() / 360.0, 1e-9);
    EXPECT_EQ(view<TKImageButton>("sizeTextButton")->text(),
              QString::asprintf("%.2fx", playback->playInfo()->scale()));
    // The first time event takes the loading indicator down.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view("progressIndicator")->isVisible(); }, 3000));
    // Once it plays, a double-click on another row starts that one.
    doubleClickRow(3);
    EXPECT_EQ(playback->mediaIndex(), 3);
    ASSERT_TRUE(waitPlaying());
    EXPECT_EQ(player->media()->path(), rowPath(3));
}

TEST_F(PlaybackTest, TheTextsFollowThePublishedPosition) {
    openFolder(sampleCardDir(), 6);
    int timeEvents = 0, publications = 0, mismatches = 0;
    QObject::connect(player, &MediaPlayer::mediaPlayerTimeChanged, delegate.get(), [&] { ++timeEvents; });
    // Connected after the window's own observation, so it sees the texts that one just set.
    QObject::connect(playback->playInfo(), &DCVPlayInfo::positionChanged, delegate.get(), [&] {
        if (playback->waitingForPlayStart() || playback->blackBoxData()->m_GSensors().empty())
            return;
        ++publications;
        const double p = playback->playInfo()->position();
        const auto& g = playback->blackBoxData()->m_GSensors();
        const auto& gps = playback->blackBoxData()->m_vGpsData();
        const DCVGSensor& s = g[*sampleIndexForPosition(p, g.size())];
        const GpsTexts t = gpsTexts(gps[*sampleIndexForPosition(p, gps.size())].data());
        const bool same = text("gsensorXField").toStdString() == gsensorAxisText('X', s.x()) &&
                          text("gsensorYField").toStdString() == gsensorAxisText('Y', s.y()) &&
                          text("gsensorZField").toStdString() == gsensorAxisText('Z', s.z()) &&
                          text("latitudeField").toStdString() == t.latitudeText &&
                          text("longitudeField").toStdString() == t.longitudeText &&
                          text("speedField").toStdString() == t.speedText &&
                          text("hdopField").toStdString() == t.hdopText &&
                          text("sateliteField").toStdString() == t.satelliteText &&
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
    EXPECT_GT(timeEvents, eventsAtStart);
    // The marker moves when the position does (once a second), not at every publication.
    const QStringList markers = map.scripts.filter(QStringLiteral("setLatLag("));
    EXPECT_LT(markers.size(), publications);
    for (qsizetype i = 1; i < markers.size(); ++i)
        EXPECT_NE(markers[i], markers[i - 1]) << "the marker was put twice in one place";
    // The texts moved on with the drive: the graph's bar follows the player.
    EXPECT_GT(view<GraphView>("graphView")->timePosition(), 0.0);
    EXPECT_NE(text("speedField"), QString());
    EXPECT_TRUE(text("latitudeField").startsWith(QLatin1Char('-'))) << "the drive is south of the equator";
}

TEST_F(PlaybackTest, ASeekHoldsThePublishedPositionAtItsTarget) {
    // A recording of 24 s, longer than two jumps (made by tools/make-sample-card --long).
    openFolder(sourceDir() / "tests" / "data" / "long", 1);
    std::vector<double> heldWhileMoving;
    QObject::connect(playback->playInfo(), &DCVPlayInfo::positionChanged, delegate.get(), [&] {
        if (playback->moving())
            heldWhileMoving.push_back(playback->playInfo()->position());
    });
    doubleClickRow(0);
    ASSERT_TRUE(waitPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->time().intValue() > 500; }, 5000));

    const double startPosition = player->position();
    double forwardTarget = 0;
    for (const bool forward : {true, false}) {
        SCOPED_TRACE(forward ? "forward" : "backward");
        heldWhileMoving.clear();
        forward ? playback->jumpForward() : playback->jumpBackward();
        ASSERT_TRUE(playback->moving());
        const double target = playback->movingPosition();
        if (forward) {
            forwardTarget = target;
            EXPECT_NEAR(target, startPosition + 10.0 / 24.0, 0.01);
        } else {
            EXPECT_LT(target, forwardTarget);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !playback->moving(); }, 3000));
        EXPECT_GE(heldWhileMoving.size(), 1u);
        for (double p : heldWhileMoving)
            EXPECT_DOUBLE_EQ(p, target);
        // The player got there.
        EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(player->position() - target) < 0.1; }, 4000));
    }
}

TEST_F(PlaybackTest, TheEndOfAFileStartsTheNextRowAndTheLastRowStaysPaused) {
    openFolder(sampleCardDir(), 6);
    doubleClickRow(4);
    ASSERT_TRUE(waitPlaying());
    QSignalSpy handedOver(playback, &DCVPlaybackController::telemetryHandedOver);
    moveSliderTo(0.9);
    ASSERT_TRUE(handedOver.wait(6000)) << "the next row did not start";
    EXPECT_EQ(handedOver.first().first().toLongLong(), 5);
    EXPECT_EQ(player->media()->path(), rowPath(5));
    ASSERT_TRUE(waitPlaying());

    moveSliderTo(0.9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->state() == VLCMediaPlayerStatePaused; }, 4000));
    EXPECT_GE(player->position(), 0.988f);
    // Nothing comes after the last row.
    QSignalSpy tried(playback, &DCVPlaybackController::playNextTried);
    ASSERT_TRUE(tried.wait(3000));
    EXPECT_EQ(tried.first().value(1).toBool(), false);
    EXPECT_EQ(handedOver.count(), 1);
    EXPECT_EQ(playback->mediaIndex(), 5);
    EXPECT_EQ(player->state(), VLCMediaPlayerStatePaused);
    EXPECT_FALSE(playback->playInfo()->isPlaying());
    EXPECT_EQ(view<TKImageButton>("playButton")->image().name(), QStringLiteral("icon_play_n"));
    // The last picture stays on screen.
    EXPECT_TRUE(video->isVisible());
    EXPECT_FALSE(video->frameBuffer()->copyPicture().isNull());

    // Play at the end with the slider at the end starts the recording again.
    playback->clickPlayButton();
    EXPECT_TRUE(playback->waitingForPlayStart());
    ASSERT_TRUE(waitPlaying());
    EXPECT_EQ(playback->mediaIndex(), 5);
    EXPECT_LT(player->position(), 0.5f);
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
    QSignalSpy failed(playback, &DCVPlaybackController::playFailed);
    doubleClickRow(0);
    ASSERT_TRUE(failed.wait(8000));
    EXPECT_FALSE(playback->waitingForPlayStart());
    QMessageBox* alert = visibleAlert(window);
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->informativeText(), QCoreApplication::translate("InfoPlist", "msg.file_open_fail"));
    EXPECT_FALSE(video->isVisible());
    alert->accept();

    doubleClickRow(1);
    EXPECT_EQ(playback->mediaIndex(), 1);
    ASSERT_TRUE(waitPlaying());
    EXPECT_EQ(player->media()->path(), rowPath(1));
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
            ASSERT_TRUE(player->saveVideoSnapshotAt(path, c.width, c.height));
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
    // The pictures come from the decoder itself through the viewer's video output module when
    // it is in the plugin folder, else through libVLC's memory output (a second run of this
    // test points libVLC at an empty folder).
    const auto pictures = video->frameBuffer();
    const bool module = QFile::exists(VLCLibrary::pluginFolder() + QStringLiteral("/libdcvmem_plugin.so"));
    EXPECT_TRUE(module || qEnvironmentVariableIsSet("DCV_VLC_PLUGIN_PATH")) << "the module was not built";
    EXPECT_GT(pictures->frameCount(), 0u);
    EXPECT_EQ(pictures->directFrameCount(), module ? pictures->frameCount() : 0u);
    // At the end libVLC has no picture left; the last one shown is saved.
    moveSliderTo(0.9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->state() == VLCMediaPlayerStatePaused; }, 4000));
    check("ended");
    // Also once the player has given its pictures back.
    player->stop();
    EXPECT_EQ(pictures->copyPicture().size(), QSize(640, 360));
}
