// The playback controller in the main window with a scripted player: what reaches the player
// and what the window shows for seeks, the play button, volume, speed and size, the end of a
// recording, starts that never play, keys, dropped folders and the open-folder dialog.
#include "ScriptedPlayer.h"
#include "app/DCVAppDelegate.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlayInfo.h"
#include "player/DCVPlaybackController.h"
#include "support/AppWindowTest.h"
#include "support/TestSupport.h"
#include "telemetry/GraphView.h"
#include "widgets/AlertSheet.h"
#include "widgets/CustomWindow.h"
#include "widgets/TKImageButton.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace dcv;
using namespace dcv::test;

namespace {

// The rules' delays, short: tests wait on the controller's signals, not on the clock.
PlaybackTimings shortTimings() {
    return {.endCheckInterval = 5,
            .playNextDelay = 5,
            .resumeDelay = 5,
            .sliderReseekDelay = 5,
            .jumpReseekDelay = 5,
            .settleAfterForward = 10,
            .settleAfterSliderBack = 10,
            .settleAfterJumpBack = 10,
            .loadingTick = 5,
            .playStartTimeout = 300,
            .publishInterval = 2};
}

class PlaybackControlsTest : public AppWindowTest {
protected:
    void SetUp() override {
        DCVAppDelegate::Options options = quietOptions();
        options.timings = shortTimings();
        options.timings.clock = [this] { return clockMs; };
        options.makePlayer = [this](VLCVideoView*) {
            auto p = std::make_unique<ScriptedPlayer>();
            player = p.get();
            return p;
        };
        showWindow(options);
        openFolder(sampleCardDir(), 6);
    }
    // Starts a row and lets the scripted player report playing and one time change.
    void startRow(int row) {
        QSignalSpy handed(playback, &DCVPlaybackController::telemetryHandedOver);
        ASSERT_TRUE(playback->playAtIndex(row));
        ASSERT_TRUE(handed.wait(5000));
        player->enter(VLCMediaPlayerStatePlaying, true);
        ASSERT_FALSE(playback->waitingForPlayStart());
        player->tick(player->timeMs, player->positionValue);
        player->calls.clear();
    }
    void at(int64_t ms) {
        player->timeMs = ms;
        player->positionValue = float(double(ms) / double(player->lengthMs));
    }
    // Waits until the repeating end-of-recording check has run `n` more times.
    void waitEndChecks(int n) {
        QTimer* check = nullptr;
        for (QTimer* t : playback->findChildren<QTimer*>())
            if (t->isActive() && !t->isSingleShot() && t->interval() == shortTimings().endCheckInterval)
                check = t;
        ASSERT_TRUE(check);
        QSignalSpy ticks(check, &QTimer::timeout);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= n; }, 2000));
    }
    // Waits until the seeking window of the last jump or slider move has closed.
    void waitSettled() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !playback->moving(); }, 2000));
    }
    QSlider* positionSlider() const { return view<QSlider>("videoPositionSlider"); }

    int64_t clockMs = 0; // the play clock's time, set by the tests
    ScriptedPlayer* player = nullptr;
};

} // namespace

TEST_F(PlaybackControlsTest, ThePublishedPositionRunsWithThePlayClock) {
    // Once the play clock's ticks have published it.
    const auto expectPublished = [&](double expected) {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return std::abs(playback->playInfo()->position() - expected) < 1e-9; }, 1000))
            << playback->playInfo()->position() << " instead of " << expected;
    };
    startRow(0);   // 100 s long, playing from 0 at clock 0
    clockMs = 500; // the clock runs between reports
    expectPublished(0.005);
    player->tick(400, 0.004f); // a report sets it right
    expectPublished(0.004);
    view<TKImageButton>("speedTextButton")->click(); // twice as fast at 2x
    clockMs = 1000;
    expectPublished(0.014);
    at(1750); // a pause stops it where the player is
    player->enter(VLCMediaPlayerStatePaused, false);
    clockMs = 5000;
    expectPublished(0.0175);
    player->enter(VLCMediaPlayerStatePlaying, true); // play runs it on
    clockMs = 5100;
    expectPublished(0.0195);
}

TEST_F(PlaybackControlsTest, JumpsReachThePlayerAndBackwardOnesAreAppliedTwice) {
    struct Case {
        const char* name;
        int64_t timeMs;
        bool forward;
        QStringList calls; // in order, the settling window included
        bool seeks;
    } cases[] = {
        {"forward with 30 s left", 70000, true, {"jumpForward 10"}, true},
        {"forward with 8 s left goes to the end", 92000, true, {"setTime 100000"}, false},
        {"backward from 50 s", 50000, false, {"setPosition 0.400", "setPosition 0.400"}, true},
        {"backward to the start",
         5000,
         false,
         {"setTime 0", "setPosition 0.000", "setPosition 0.000"},
         false},
    };
    startRow(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        at(c.timeMs);
        player->calls.clear();
        QSignalSpy settled(playback, &DCVPlaybackController::settled);
        c.forward ? playback->jumpForward() : playback->jumpBackward();
        EXPECT_EQ(playback->moving(), c.seeks);
        // A second jump inside the settling window is ignored.
        const QStringList atOnce = player->calls;
        if (c.seeks) {
            c.forward ? playback->jumpForward() : playback->jumpBackward();
            EXPECT_EQ(player->calls, atOnce);
        }
        if (c.forward && c.seeks) {
            EXPECT_NEAR(positionSlider()->value(), playback->movingPosition() * kPositionSliderSteps, 1);
        }
        // Every jump ends with its settling window, once the repeated move (if any) was made.
        if (c.calls.size() > 1 || c.seeks) {
            ASSERT_TRUE(settled.wait(2000));
        }
        EXPECT_FALSE(playback->moving());
        EXPECT_EQ(player->calls, c.calls);
    }
}

TEST_F(PlaybackControlsTest, VolumeSpeedAndSizeReachThePlayerTheControlsAndTheWindow) {
    // Volume: keys step it, the slider and the player follow, unmuted.
    playback->setVolume(195);
    QTest::keyClick(view("mediaListTableView"), Qt::Key_Up); // to 200, the most
    QTest::keyClick(view("mediaListTableView"), Qt::Key_Down);
    EXPECT_EQ(playback->volume(), 190u);
    EXPECT_EQ(player->volume, 190);
    EXPECT_FALSE(player->muted);
    EXPECT_EQ(view<QSlider>("volumeSlider")->value(), 190);
    view<QSlider>("volumeSlider")->setValue(40);
    EXPECT_EQ(player->volume, 40);

    // Speed: a click steps up, at 2.0 it steps down.
    startRow(0);
    auto* speed = view<TKImageButton>("speedTextButton");
    for (const char* title : {"2.0x", "1.0x", "2.0x"}) {
        speed->click();
        EXPECT_EQ(speed->text(), QLatin1String(title));
        EXPECT_FLOAT_EQ(player->rateValue, float(playback->playInfo()->speed()));
    }

    // Size: one step grows the window, past the screen it becomes full screen; only while playing.
    const QRect screen = window->screen()->geometry();
    ASSERT_GE(screen.height(), 1000) << "the tests run on a 1920 x 1080 offscreen screen";
    const QPoint origin(10, 10);
    window->setFrame(QRect(origin, QSize(1020, 640)), false);
    auto* size = view<TKImageButton>("sizeTextButton");
    size->click();
    EXPECT_EQ(window->geometry(), QRect(origin, QSize(1224, 768)));
    window->setFrame(QRect(origin, QSize(1224, screen.height() - 200)), false);
    playback->sizeUp();
    EXPECT_TRUE(window->isFullScreen());
    playback->sizeDown();
    EXPECT_FALSE(window->isFullScreen());
    player->playing = false;
    const QRect before = window->geometry();
    size->click();
    EXPECT_EQ(window->geometry(), before);
}

TEST_F(PlaybackControlsTest, ThePlayButtonAtTheEndRestartsOrResumesFromTheSlider) {
    startRow(2);
    auto* playButton = view<TKImageButton>("playButton");
    const QString path = player->media()->path();
    // (Playing, it pauses: the space key's test.) Paused at the end with the slider at the end:
    // the recording is opened again.
    at(100000);
    player->positionValue = 0.999f;
    player->enter(VLCMediaPlayerStatePaused, false);
    QSignalSpy handed(playback, &DCVPlaybackController::telemetryHandedOver);
    playButton->click();
    EXPECT_EQ(player->calls.value(0), QStringLiteral("setMedia none"));
    ASSERT_TRUE(handed.wait(5000));
    EXPECT_EQ(player->media()->path(), path);
    player->enter(VLCMediaPlayerStatePlaying, true);
    player->tick(0, 0);

    // At the end with the slider dragged back: play resumes from the slider a moment later.
    at(100000);
    player->positionValue = 0.999f;
    player->enter(VLCMediaPlayerStatePaused, false);
    QSignalSpy settled(playback, &DCVPlaybackController::settled);
    positionSlider()->setSliderDown(true);
    positionSlider()->setSliderPosition(2500);
    positionSlider()->setSliderDown(false);
    ASSERT_TRUE(settled.wait(2000));
    player->positionValue = 0.999f; // an ended player stays at its end until it plays again
    player->calls.clear();
    const int plays = player->plays;
    QSignalSpy scheduled(playback, &DCVPlaybackController::playNextScheduled);
    playButton->click();
    EXPECT_EQ(player->calls, QStringList{"setTime 25000"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->plays == plays + 1; }, 1000));
    // The end checks while the player still stands at its end start no advance.
    waitEndChecks(2);
    EXPECT_EQ(scheduled.count(), 0);
    EXPECT_EQ(playback->mediaIndex(), 2);

    // In the middle, paused: plain play.
    player->positionValue = 0.5f;
    player->calls.clear();
    playButton->click();
    EXPECT_EQ(player->calls, QStringList{"play"});
}

TEST_F(PlaybackControlsTest, KeysDriveThePlayerAndFullScreenUnlessAnAlertIsUp) {
    startRow(0);
    QWidget* table = view("mediaListTableView");
    player->tick(50000, 0.5f);
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_EQ(player->calls.value(0), QStringLiteral("pause"));
    player->calls.clear();
    at(50000);
    QTest::keyClick(table, Qt::Key_Right);
    EXPECT_EQ(player->calls, QStringList{"jumpForward 10"});
    QTest::keyClick(table, Qt::Key_F);
    EXPECT_TRUE(window->isFullScreen());
    QTest::keyClick(table, Qt::Key_Escape);
    EXPECT_FALSE(window->isFullScreen());
    // An alert over the window keeps the keys to itself.
    waitSettled();
    QMessageBox* alert = showAlertSheet(window, QStringLiteral("TELVO"), QStringLiteral("x"));
    player->calls.clear();
    QTest::keyClick(table, Qt::Key_Right);
    QTest::keyClick(table, Qt::Key_F);
    EXPECT_TRUE(player->calls.isEmpty());
    EXPECT_FALSE(window->isFullScreen());
    alert->accept();
}

TEST_F(PlaybackControlsTest, TheTableShowsKindDateTimeAndFileOfTheRows) {
    const auto cells = [&](int row) {
        QStringList texts;
        for (int c = 0; c < 4; ++c)
            texts << model->data(model->index(row, c), Qt::DisplayRole).toString();
        return texts;
    };
    // The cells' texts are the recordings' own tests; here they reach the table.
    EXPECT_EQ(cells(5), (QStringList{"Event", "2021-03-15", "14:25:46", "event_20210315_142546_R.MP4"}));
    EXPECT_FALSE(model->data(model->index(5, 0), Qt::DecorationRole).value<QPixmap>().isNull());
    // Date and time centred, the file name left.
    const auto alignment = [&](int column) {
        return model->data(model->index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_TRUE(alignment(1).testFlag(Qt::AlignHCenter));
    EXPECT_TRUE(alignment(3).testFlag(Qt::AlignLeft));
}

TEST_F(PlaybackControlsTest, AFolderDroppedOnTheWindowIsOpened) {
    struct Case {
        const char* name;
        bool dropTheFile; // a file stands for its folder
    } cases[] = {{"the folder", false}, {"a file in it", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto file = dir / "event_20210315_142546_F.MP4";
        std::filesystem::copy_file(sampleCardDir() / "event_20210315_142546_F.MP4", file);
        QMimeData mime;
        mime.setUrls(
            {QUrl::fromLocalFile(QString::fromStdString((c.dropTheFile ? file : dir.path()).string()))});
        QDragEnterEvent enter(QPoint(500, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QSignalSpy reloaded(delegate.get(), &DCVAppDelegate::mediaListReloaded);
        QDropEvent drop(QPointF(500, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window, &drop);
        ASSERT_TRUE(reloaded.wait(5000));
        ASSERT_EQ(model->rowCount(), 1);
        EXPECT_EQ(model->mediaAtRow(0)->path(), file.string());
    }
}

// A drag seeks once, when the handle is let go; a click on the groove jumps there and seeks once.
TEST_F(PlaybackControlsTest, APositionSliderSeeksOnceWhenLetGoOrClicked) {
    for (const char* name : {"videoPositionSlider", "videoPositionSliderForFullScreen"}) {
        SCOPED_TRACE(name);
        const bool strip = QByteArray(name).contains("FullScreen");
        auto* slider = view<QSlider>(name);
        at(10000);
        startRow(0);
        if (strip)
            view<TKImageButton>("fullScreenButton")->click();
        slider->setSliderDown(true);
        for (double v : {0.3, 0.45, 0.6}) {
            slider->setSliderPosition(int(v * kPositionSliderSteps));
            // The texts follow the handle while it is dragged...
            EXPECT_NEAR(playback->playInfo()->position(), v, 1e-9);
        }
        // ...and the player's own time events do not pull the handle back.
        for (int i = 0; i < 3; ++i)
            player->tick(10000 + 100 * i, 0.1f);
        EXPECT_EQ(slider->value(), int(0.6 * kPositionSliderSteps));
        EXPECT_FALSE(player->calls.join(' ').contains(QLatin1String("setPosition")));
        slider->setSliderDown(false);
        EXPECT_EQ(player->calls, QStringList{"setPosition 0.600"});
        EXPECT_EQ(positionSlider()->value(), int(0.6 * kPositionSliderSteps));
        waitSettled();

        at(10000);
        player->calls.clear();
        ASSERT_TRUE(slider->isVisible());
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() * 3 / 4, slider->height() / 2));
        // Where the click was, give or take the handle's half width.
        EXPECT_NEAR(slider->value(), 7500, 300);
        ASSERT_EQ(player->calls.size(), 1) << player->calls.join(',').toStdString();
        EXPECT_TRUE(player->calls[0].startsWith(QLatin1String("setPosition")));
        EXPECT_NEAR(player->calls[0].section(' ', 1).toDouble(), slider->value() / 10000.0, 1e-3);
        waitSettled();
        if (strip)
            view<TKImageButton>("fullScreenButton")->click();
    }
}

TEST_F(PlaybackControlsTest, TheOpenFolderPanelStopsThePlayerAndOpensTheChosenFolder) {
    struct Case {
        const char* name;
        bool choose;
    } cases[] = {{"a folder is chosen", true}, {"the panel is cancelled", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::filesystem::copy_file(sampleCardDir() / "event_20210315_142546_F.MP4",
                                   dir / "event_20210315_142546_F.MP4");
        startRow(0);
        player->tick(50000, 0.5f);
        clockMs += 1000;
        ASSERT_TRUE(QTest::qWaitFor([&] { return positionSlider()->value() > 4000; }, 1000));
        const QString speedShown = view<QLabel>("speedField")->text();
        ASSERT_FALSE(speedShown.isEmpty());
        services.panels->answers.push_back(c.choose ? QString::fromStdString(dir.path().string())
                                                    : QString());
        services.panels->requests.clear();
        const int answered = services.panels->answered;
        QSignalSpy reloaded(delegate.get(), &DCVAppDelegate::mediaListReloaded);
        view<TKImageButton>("openFolderButton")->click();
        EXPECT_EQ(services.panels->requests, QStringList{"openFolder Open a folder of recordings"});
        // The panel answers after the click has returned.
        EXPECT_TRUE(player->calls.isEmpty());
        if (c.choose) {
            ASSERT_TRUE(reloaded.wait(5000));
            ASSERT_EQ(model->rowCount(), 1);
            EXPECT_EQ(model->mediaAtRow(0)->path(), (dir / "event_20210315_142546_F.MP4").string());
            // Nothing of the old folder's recording is left on show.
            EXPECT_EQ(player->calls, (QStringList{"stop", "setMedia none"}));
            EXPECT_EQ(playback->mediaIndex(), -1);
            EXPECT_EQ(view<TKImageButton>("playButton")->image().name(), QStringLiteral("icon_play_n"));
            EXPECT_EQ(positionSlider()->value(), 0);
            EXPECT_TRUE(view<GraphView>("graphView")->values().empty());
            EXPECT_EQ(view<QLabel>("gsensorXField")->text(), QStringLiteral("X=+0.00"));
            EXPECT_EQ(view<QLabel>("speedField")->text(), QString());
            EXPECT_FALSE(view("video1View")->isVisible());
            openFolder(sampleCardDir(), 6);
        } else {
            ASSERT_TRUE(QTest::qWaitFor([&] { return services.panels->answered == answered + 1; }, 1000));
            EXPECT_TRUE(player->calls.isEmpty());
            EXPECT_EQ(model->rowCount(), 6);
            EXPECT_EQ(view<QLabel>("speedField")->text(), speedShown);
        }
    }
}

TEST_F(PlaybackControlsTest, ASeekAfterTheEndPlaysFromThereAndCallsOffTheAdvance) {
    struct Case {
        const char* name;
        std::function<void()> seek;
        double target;
    } cases[] = {
        {"a click on the slider",
         [&] {
             QSlider* s = positionSlider();
             QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(s->width() / 4, s->height() / 2));
         },
         0.25},
        {"a jump back", [&] { playback->jumpBackward(); }, 0.9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startRow(2);
        QSignalSpy scheduled(playback, &DCVPlaybackController::playNextScheduled);
        QSignalSpy cancelled(playback, &DCVPlaybackController::playNextCancelled);
        QSignalSpy tried(playback, &DCVPlaybackController::playNextTried);
        at(100000);
        player->positionValue = 1.0f;
        player->enter(VLCMediaPlayerStatePaused, false);
        ASSERT_TRUE(scheduled.wait(2000));
        const int plays = player->plays;
        c.seek();
        EXPECT_EQ(cancelled.count(), 1);
        EXPECT_EQ(player->plays, plays + 1);
        EXPECT_NEAR(player->positionValue, c.target, 0.02);
        // The position shown is the new place, not the end.
        EXPECT_NEAR(playback->playInfo()->position(), c.target, 0.02);
        player->enter(VLCMediaPlayerStatePlaying, true);
        waitSettled();
        player->tick(int64_t(c.target * 100000), float(c.target));
        EXPECT_EQ(tried.count(), 0);
        EXPECT_EQ(playback->mediaIndex(), 2);
        EXPECT_FALSE(playback->waitingForPlayStart());
    }
}

// A start that ends in the error state or reports nothing until its timeout is given up; a file
// deleted since the scan is called missing; a FIFO (or anything but a file) in its place never
// reaches the player (libVLC would wait on a FIFO for a writer). Either way the next start is taken.
TEST_F(PlaybackControlsTest, AStartThatCannotPlayIsToldAndTheNextOneIsTaken) {
    using Path = const std::filesystem::path&;
    const struct {
        const char* what;
        std::function<void(Path)> replace; // none: the file stays
        int state;                         // what the player reports; -1: nothing
        const char* key;
    } cases[] = {
        {"the error state", nullptr, VLCMediaPlayerStateError, "msg.file_open_fail"},
        {"no report", nullptr, -1, "msg.file_open_fail"},
        {"deleted", [](Path) {}, -1, "msg.file_missing"},
        {"a FIFO", [](Path p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, -1, "msg.file_open_fail"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        for (const char* name : {"alwa_20210315_142530_F.MP4", "motion_20210315_142538_F.MP4"})
            std::filesystem::copy_file(sampleCardDir() / name, dir / name);
        openFolder(dir.path(), 2);
        startRow(0);
        player->tick(4000, 0.5f);
        if (c.replace) {
            std::filesystem::remove(dir / "motion_20210315_142538_F.MP4");
            c.replace(dir / "motion_20210315_142538_F.MP4");
        }
        const int plays = player->plays;
        QSignalSpy handed(playback, &DCVPlaybackController::telemetryHandedOver);
        QSignalSpy failed(playback, &DCVPlaybackController::playFailed);
        ASSERT_TRUE(playback->playAtIndex(1));
        if (c.state >= 0) {
            ASSERT_TRUE(handed.wait(5000));
            player->enter(c.state, false);
        }
        ASSERT_TRUE(failed.count() == 1 || failed.wait(5000));
        if (c.replace) {
            EXPECT_EQ(player->plays, plays);
        }
        QMessageBox* alert = visibleAlert(window);
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->informativeText(), QCoreApplication::translate("InfoPlist", c.key));
        EXPECT_FALSE(playback->playInfo()->isPlaying());
        EXPECT_EQ(view<TKImageButton>("playButton")->image().name(), QStringLiteral("icon_play_n"));
        alert->accept();
        EXPECT_FALSE(playback->waitingForPlayStart());
        startRow(0);
    }
}

TEST_F(PlaybackControlsTest, TheZoomLabelIsThatOfEachFile) {
    auto* label = view<TKImageButton>("sizeTextButton");
    const double height = view("videoContainerView")->height();
    for (QSize video : {QSize(640, 360), QSize(1920, 1080), QSize(1280, 720)}) {
        SCOPED_TRACE(video.height());
        player->video = video;
        startRow(1);
        EXPECT_EQ(label->text(), QString::asprintf("%.2fx", height / video.height()));
    }
}

TEST_F(PlaybackControlsTest, TheTableShowsTheDistinctPartOfEveryFileName) {
    // One folder with every kind and both channels, plus a long foreign name.
    auto* table = view<QTableView>("mediaListTableView");
    const QFontMetrics metrics(model->data(model->index(0, 3), Qt::FontRole).value<QFont>());
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    const int available = table->columnWidth(3) - 2 * margin;
    // The column takes what the other columns leave of the table.
    int others = 0;
    for (int c = 0; c < 3; ++c)
        others += table->columnWidth(c);
    EXPECT_GE(table->columnWidth(3) + others, table->viewport()->width() - 1);
    QSet<QString> shown;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString name = model->data(model->index(row, 3), Qt::DisplayRole).toString();
        const QString text = metrics.elidedText(name, table->textElideMode(), available);
        // The time, the channel and the extension: "142530_F.MP4".
        EXPECT_TRUE(text.endsWith(name.right(12))) << text.toStdString();
        shown << text;
    }
    EXPECT_EQ(shown.size(), model->rowCount());
}

TEST_F(PlaybackControlsTest, AScanThatLeftFoldersOutSaysWhich) {
    delegate->openDirectory(QStringLiteral("/nonexistent/dcv/card"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return visibleAlert(window) != nullptr; }, 5000));
    QMessageBox* alert = visibleAlert(window);
    EXPECT_EQ(alert->text(), QCoreApplication::translate("InfoPlist", "msg.scan_incomplete"));
    EXPECT_EQ(alert->informativeText(),
              QCoreApplication::translate("InfoPlist", "msg.scan_unreadable") +
                  QStringLiteral("\n/nonexistent/dcv/card: No such file or directory"));
    alert->accept();

    // Many folders are named up to a bound; the limit has its own line.
    RecordingScanReport report;
    for (int i = 0; i < 11; ++i)
        report.unreadableFolders.push_back("/card/" + std::to_string(i) + ": Permission denied");
    report.limitReached = true;
    const QStringList lines = DCVAppDelegate::scanReportText(report).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[8], QStringLiteral("/card/7: Permission denied"));
    EXPECT_EQ(lines[9], QStringLiteral("… (+3)"));
    EXPECT_EQ(lines[10], QStringLiteral("Only the first 15,000 recordings are listed."));
    EXPECT_EQ(DCVAppDelegate::scanReportText({}), QString());
}

TEST_F(PlaybackControlsTest, TheTelemetryPanelSaysWhenARecordingsTelemetryIsMissingOrIncomplete) {
    TempDir dir;
    const std::filesystem::path sample = sampleCardDir() / "alwa_20210315_142530_F.MP4";
    std::filesystem::copy_file(sample, dir / "alwa_20210315_142530_F.MP4");
    // Cut inside its telemetry records.
    std::filesystem::copy_file(sample, dir / "alwa_20210315_142531_F.MP4");
    std::filesystem::resize_file(dir / "alwa_20210315_142531_F.MP4",
                                 std::filesystem::file_size(sample) - 200);
    dir.write("alwa_20210315_142532_F.MP4", std::string(4096, 'x'));
    openFolder(dir.path(), 3);
    auto* note = view<QLabel>("telemetryNoteField");
    const struct {
        int row;
        const char* key; // none: no note
    } cases[] = {{0, nullptr}, {1, "main.telemetry_incomplete"}, {2, "main.telemetry_none"}, {0, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        startRow(c.row);
        EXPECT_EQ(note->isVisible(), c.key != nullptr);
        if (c.key) {
            EXPECT_EQ(note->text(), QCoreApplication::translate("InfoPlist", c.key));
        }
    }
    // No alert for any of them.
    EXPECT_EQ(visibleAlert(window), nullptr);
}
