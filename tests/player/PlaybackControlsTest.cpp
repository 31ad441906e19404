// The controller's rules with a scripted player: which time events publish, jumps and their
// settling window, volume, speed and size bounds, the play button at the end.
#include "ScriptedPlayer.h"
#include "app/DCVAppDelegate.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlayInfo.h"
#include "recordings/MediaCellText.h"
#include "support/TestSupport.h"
#include "widgets/CustomWindow.h"
#include "widgets/TKImageButton.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace dcv;
using namespace dcv::test;

namespace {

class PlaybackControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        DCVAppDelegate::Options options;
        options.animateFrames = false;
        options.withMapPage = false;
        options.playStartTimeoutMs = 600;
        options.makePlayer = [this](VLCVideoView*) {
            auto p = std::make_unique<ScriptedPlayer>();
            player = p.get();
            return p;
        };
        delegate = std::make_unique<DCVAppDelegate>(options);
        delegate->window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window.get()));
        delegate->openDirectory(QString::fromStdString(sampleCardDir().string()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->mediaListModel->rowCount() == 6; }, 5000));
    }
    // Starts a row and lets the scripted player report playing and one time change.
    void startRow(int row) {
        QSignalSpy handed(delegate.get(), &DCVAppDelegate::telemetryHandedOver);
        ASSERT_TRUE(delegate->playAtIndex(row));
        ASSERT_TRUE(handed.wait(5000));
        player->enter(VLCMediaPlayerStatePlaying, true);
        ASSERT_FALSE(delegate->waitingForPlayStart);
        player->tick(player->timeMs, player->positionValue);
        player->calls.clear();
    }
    void at(int64_t ms) {
        player->timeMs = ms;
        player->positionValue = float(double(ms) / double(player->lengthMs));
    }

    ScriptedPlayer* player = nullptr;
    std::unique_ptr<DCVAppDelegate> delegate;
};

} // namespace

TEST_F(PlaybackControlsTest, TimeEventsPublishTheFirstAfterASeekAndEveryThirdAfterIt) {
    startRow(0);
    std::vector<double> published;
    QObject::connect(delegate->playInfo.get(), &DCVPlayInfo::positionChanged, delegate.get(),
                     [&] { published.push_back(delegate->playInfo->position()); });
    // During a seek every event publishes the target and the counter restarts.
    delegate->moving = true;
    delegate->movingPosition = 0.25;
    player->tick(1000, 0.01f);
    player->tick(1100, 0.02f);
    EXPECT_EQ(DCVAppDelegate::timeChangeCounter(), -1);
    delegate->moving = false;
    for (int i = 1; i <= 7; ++i)
        player->tick(1000 + i * 100, 0.1f * float(i));
    ASSERT_EQ(published.size(), 5u);
    EXPECT_DOUBLE_EQ(published[0], 0.25);
    EXPECT_DOUBLE_EQ(published[1], 0.25);
    EXPECT_NEAR(published[2], 0.1, 1e-6);
    EXPECT_NEAR(published[3], 0.4, 1e-6);
    EXPECT_NEAR(published[4], 0.7, 1e-6);
    // A seek target of 0 is not published: the player's own reports stay held back.
    published.clear();
    delegate->moving = true;
    delegate->movingPosition = 0;
    player->tick(2000, 0.5f);
    EXPECT_TRUE(published.empty());
}

TEST_F(PlaybackControlsTest, JumpsFollowTheirRules) {
    struct Case {
        const char* name;
        int64_t timeMs;
        bool moving;
        bool forward;
        QStringList calls;      // made at once
        QStringList laterCalls; // made within the settling window
        bool movingAfter;
        double movingPosition; // when moving
    } cases[] = {
        {"forward with 30 s left", 70000, false, true, {"jumpForward 10"}, {}, true, 0.8},
        {"forward with 8 s left goes to the end", 92000, false, true, {"setTime 100000"}, {}, false, 0},
        {"forward inside the settling window", 50000, true, true, {}, {}, true, 0},
        {"backward from 50 s", 50000, false, false, {"setPosition 0.400"}, {"setPosition 0.400"}, true, 0.4},
        {"backward from 5 s goes to the start",
         5000,
         false,
         false,
         {"setTime 0", "setPosition 0.000"},
         {"setPosition 0.000"},
         false,
         0},
        {"backward inside the settling window", 50000, true, false, {}, {}, true, 0},
    };
    startRow(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->moving; }, 2000));
        at(c.timeMs);
        delegate->moving = c.moving;
        player->calls.clear();
        c.forward ? delegate->jumpForward() : delegate->jumpBackward();
        EXPECT_EQ(player->calls, c.calls);
        EXPECT_EQ(delegate->moving, c.movingAfter);
        if (c.movingAfter && !c.moving) {
            EXPECT_NEAR(delegate->movingPosition, c.movingPosition, 1e-6);
            if (c.forward) {
                EXPECT_EQ(delegate->videoPositionSlider->value(), int(c.movingPosition * 10000));
            }
        }
        // The window settles by itself (0.3 s); backward moves are applied a second time.
        if (c.moving)
            delegate->moving = false;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !delegate->moving && player->calls.size() >= c.calls.size() + c.laterCalls.size(); },
            2000));
        QTest::qWait(50);
        EXPECT_EQ(player->calls.mid(c.calls.size()), c.laterCalls);
    }
}

TEST_F(PlaybackControlsTest, VolumeStaysWithinItsRangeAndReachesThePlayer) {
    struct Case {
        quint64 start;
        bool up;
        quint64 expected;
    } cases[] = {{195, true, 200}, {200, true, 200}, {70, true, 80},
                 {5, false, 0},    {0, false, 0},    {70, false, 60}};
    EXPECT_EQ(delegate->volume(), 70u);
    for (const Case& c : cases) {
        delegate->setVolume(c.start);
        c.up ? delegate->volumeUp() : delegate->volumeDown();
        EXPECT_EQ(delegate->volume(), c.expected) << c.start << (c.up ? " up" : " down");
        EXPECT_EQ(player->volume, int(c.expected));
        EXPECT_FALSE(player->muted);
        EXPECT_EQ(delegate->volumeSlider->value(), int(c.expected));
    }
    // Keys: up and down step the volume too.
    delegate->setVolume(100);
    QTest::keyClick(delegate->mediaListTableView, Qt::Key_Up);
    EXPECT_EQ(delegate->volume(), 110u);
    QTest::keyClick(delegate->mediaListTableView, Qt::Key_Down);
    QTest::keyClick(delegate->mediaListTableView, Qt::Key_Down);
    EXPECT_EQ(delegate->volume(), 90u);
}

TEST_F(PlaybackControlsTest, SpeedStepsBetweenOneAndTwo) {
    startRow(0);
    struct Case {
        bool increase;
        double speed;
        const char* title;
    } cases[] = {{true, 2.0, "2.0x"}, {true, 2.0, "2.0x"}, {false, 1.0, "1.0x"}, {false, 1.0, "1.0x"}};
    for (const Case& c : cases) {
        c.increase ? delegate->increaseSpeed() : delegate->decreaseSpeed();
        EXPECT_DOUBLE_EQ(delegate->playInfo->speed(), c.speed);
        EXPECT_FLOAT_EQ(player->rateValue, float(c.speed));
        EXPECT_EQ(delegate->speedTextButton->text(), QLatin1String(c.title));
    }
}

TEST_F(PlaybackControlsTest, SizeStepsGrowUpToTheScreenAndNeverShrinkBelowTheMinimum) {
    startRow(0);
    const QRect screen = delegate->window->screen()->geometry();
    ASSERT_GE(screen.height(), 1000) << "the tests run on a 1920 x 1080 offscreen screen";
    const QPoint origin(10, 10);
    delegate->window->setFrame(QRect(origin, QSize(1020, 640)), false);
    delegate->sizeUp();
    EXPECT_EQ(delegate->window->geometry(), QRect(origin, QSize(1224, 768)));
    delegate->sizeDown();
    delegate->sizeDown();
    EXPECT_EQ(delegate->window->geometry(), QRect(origin, QSize(1020, 640)));
    // Growing past the screen's height less 100 points enters full screen instead.
    delegate->window->setFrame(QRect(origin, QSize(1224, screen.height() - 200)), false);
    delegate->sizeUp();
    EXPECT_TRUE(delegate->window->isFullScreen());
    delegate->sizeUp();
    EXPECT_TRUE(delegate->window->isFullScreen());
    delegate->sizeDown();
    EXPECT_FALSE(delegate->window->isFullScreen());
    // Only a playing player changes the size.
    player->playing = false;
    const QRect before = delegate->window->geometry();
    delegate->sizeUp();
    EXPECT_EQ(delegate->window->geometry(), before);
}

TEST_F(PlaybackControlsTest, ThePlayButtonAtTheEndRestartsOrResumesFromTheSlider) {
    startRow(2);
    const QString path = player->media()->path();
    // Playing: the button pauses.
    player->tick(50000, 0.5f);
    ASSERT_TRUE(delegate->playInfo->isPlaying());
    delegate->clickPlayButton();
    EXPECT_EQ(player->calls, QStringList{"pause"});

    // Paused at the end with the slider at the end: the recording starts again.
    player->calls.clear();
    at(100000);
    player->positionValue = 0.999f;
    player->enter(VLCMediaPlayerStatePaused, false);
    ASSERT_FALSE(delegate->playInfo->isPlaying());
    ASSERT_GE(delegate->videoPositionSlider->value(), 9980);
    QSignalSpy handed(delegate.get(), &DCVAppDelegate::telemetryHandedOver);
    delegate->clickPlayButton();
    EXPECT_EQ(player->calls.value(0), QStringLiteral("setMedia none"));
    EXPECT_TRUE(delegate->waitingForPlayStart);
    ASSERT_TRUE(handed.wait(5000));
    EXPECT_EQ(handed.first().first().toLongLong(), 2);
    EXPECT_EQ(player->media()->path(), path);
    player->enter(VLCMediaPlayerStatePlaying, true);
    player->tick(0, 0);

    // At the end with the slider moved back: play resumes from the slider 0.1 s later.
    player->positionValue = 0.999f;
    player->timeMs = 100000;
    player->enter(VLCMediaPlayerStatePaused, false);
    delegate->moving = true; // keep the slider where the test puts it
    delegate->videoPositionSlider->blockSignals(true);
    delegate->videoPositionSlider->setValue(2500);
    delegate->videoPositionSlider->blockSignals(false);
    player->calls.clear();
    const int plays = player->plays;
    delegate->clickPlayButton();
    EXPECT_EQ(player->calls, QStringList{"setTime 25000"});
    EXPECT_EQ(player->plays, plays);
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->plays == plays + 1; }, 1000));

    // In the middle, paused: plain play.
    player->positionValue = 0.5f;
    player->calls.clear();
    delegate->clickPlayButton();
    EXPECT_EQ(player->calls, QStringList{"play"});
}

TEST_F(PlaybackControlsTest, AnEndedRecordingStartsTheNextRowUnlessItIsTheLast) {
    struct Case {
        int row;
        float position;
        bool advances;
    } cases[] = {{3, 0.99f, true}, {3, 0.98f, false}, {5, 1.0f, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        delegate->waitingForPlayStart = false;
        startRow(c.row);
        QSignalSpy handed(delegate.get(), &DCVAppDelegate::telemetryHandedOver);
        player->positionValue = c.position;
        player->enter(VLCMediaPlayerStatePaused, false);
        // One turn of the one-second timer and the one-second delay: within about 2 s.
        EXPECT_EQ(handed.wait(3000), c.advances);
        EXPECT_EQ(delegate->mediaIndex, c.advances ? c.row + 1 : c.row);
    }
}

TEST_F(PlaybackControlsTest, AStartThatNeverPlaysIsGivenUp) {
    struct Case {
        const char* name;
        int state; // reported after the play request; -1 for none
    } cases[] = {{"error state", VLCMediaPlayerStateError}, {"no event at all", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QSignalSpy handed(delegate.get(), &DCVAppDelegate::telemetryHandedOver);
        QSignalSpy failed(delegate.get(), &DCVAppDelegate::playFailed);
        ASSERT_TRUE(delegate->playAtIndex(1));
        ASSERT_TRUE(handed.wait(5000));
        // Refused while the start is pending.
        EXPECT_FALSE(delegate->playAtIndex(2));
        if (c.state >= 0)
            player->enter(c.state, false);
        ASSERT_TRUE(failed.count() == 1 || failed.wait(2000));
        EXPECT_FALSE(delegate->waitingForPlayStart);
        ASSERT_TRUE(delegate->lastAlert());
        EXPECT_TRUE(delegate->lastAlert()->isVisible());
        delegate->lastAlert()->accept();
        // The next start is taken.
        EXPECT_TRUE(delegate->playAtIndex(2));
        ASSERT_TRUE(handed.wait(5000));
        player->enter(VLCMediaPlayerStatePlaying, true);
        player->tick(100, 0.01f);
        EXPECT_FALSE(delegate->waitingForPlayStart);
        delegate->waitingForPlayStart = false;
    }
}

TEST_F(PlaybackControlsTest, KeysDriveThePlayerAndFullScreen) {
    startRow(0);
    player->tick(50000, 0.5f);
    QTest::keyClick(delegate->mediaListTableView, Qt::Key_Space);
    EXPECT_EQ(player->calls.value(0), QStringLiteral("pause"));
    player->calls.clear();
    at(50000);
    QTest::keyClick(delegate->mediaListTableView, Qt::Key_Right);
    EXPECT_EQ(player->calls, QStringList{"jumpForward 10"});
    QTest::keyClick(delegate->mediaListTableView, Qt::Key_F);
    EXPECT_TRUE(delegate->window->isFullScreen());
    QTest::keyClick(delegate->mediaListTableView, Qt::Key_Escape);
    EXPECT_FALSE(delegate->window->isFullScreen());
}

TEST_F(PlaybackControlsTest, TheTableShowsKindDateTimeAndFileOfEveryRow) {
    DCVMediaListModel* model = delegate->mediaListModel;
    ASSERT_EQ(model->columnCount(), 4);
    EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("File"));
    for (int row = 0; row < model->rowCount(); ++row) {
        const DCVMediaPtr media = model->mediaAtRow(row);
        const MediaKind kind = mediaKind(*media);
        EXPECT_EQ(model->data(model->index(row, 0), Qt::DisplayRole).toString(),
                  QCoreApplication::translate("InfoPlist", kind.textKey));
        EXPECT_EQ(model->kindImageName(row), QString::fromStdString(mediaKindImageName(kind)));
        EXPECT_FALSE(model->data(model->index(row, 0), Qt::DecorationRole).value<QPixmap>().isNull());
        EXPECT_EQ(model->data(model->index(row, 3), Qt::DisplayRole).toString(),
                  QString::fromStdString(media->fileName()));
        EXPECT_EQ(model->data(model->index(row, 3), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                      Qt::AlignLeft,
                  Qt::AlignLeft);
        EXPECT_EQ(model->data(model->index(row, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                      Qt::AlignHCenter,
                  Qt::AlignHCenter);
    }
    // A new list brings the list side back.
    delegate->clickMapViewButton();
    delegate->openDirectory(QString::fromStdString(sampleCardDir().string()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->rightViewMode == 0; }, 5000));
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
        QCoreApplication::sendEvent(delegate->window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(500, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(delegate->window.get(), &drop);
        ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->mediaListModel->rowCount() == 1; }, 5000));
        EXPECT_EQ(delegate->mediaListModel->mediaAtRow(0)->path(), file.string());
        delegate->openDirectory(QString::fromStdString(sampleCardDir().string()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->mediaListModel->rowCount() == 6; }, 5000));
    }
}

TEST_F(PlaybackControlsTest, DraggingAPositionSliderSeeksOnlyWhenTheHandleIsLetGo) {
    QSlider* sliders[] = {delegate->videoPositionSlider, delegate->videoPositionSliderForFullScreen};
    for (QSlider* slider : sliders) {
        SCOPED_TRACE(slider->objectName().toStdString());
        at(10000);
        startRow(0);
        slider->setSliderDown(true);
        for (double v : {0.3, 0.45, 0.6}) {
            slider->setSliderPosition(int(v * DCVAppDelegate::kSliderSteps));
            // The texts follow the handle while it is dragged...
            EXPECT_NEAR(delegate->playInfo->position(), v, 1e-9);
        }
        // ...and the player's own time events do not pull the handle back.
        for (int i = 0; i < 3; ++i)
            player->tick(10000 + 100 * i, 0.1f);
        EXPECT_EQ(slider->value(), int(0.6 * DCVAppDelegate::kSliderSteps));
        EXPECT_FALSE(player->calls.join(' ').contains(QLatin1String("setPosition")));
        slider->setSliderDown(false);
        EXPECT_TRUE(player->calls.contains(QStringLiteral("setPosition 0.600"))) << player->calls.join(", ").toStdString();
        EXPECT_EQ(delegate->videoPositionSlider->value(), int(0.6 * DCVAppDelegate::kSliderSteps));
        QTest::qWait(400); // the settling window of the seek
    }
}

TEST_F(PlaybackControlsTest, TheOpenFolderDialogStopsThePlayerAndOpensTheChosenFolder) {
    struct Case {
        const char* name;
        bool choose;
    } cases[] = {{"a folder is chosen", true}, {"the dialog is cancelled", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::filesystem::copy_file(sampleCardDir() / "event_20210315_142546_F.MP4", dir / "event_20210315_142546_F.MP4");
        startRow(0);
        bool answered = false;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || answered)
                return;
            answered = true;
            EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
            if (c.choose) {
                dialog->setDirectory(QString::fromStdString(dir.path().string()));
                dialog->selectFile(QString::fromStdString(dir.path().string()));
                QMetaObject::invokeMethod(dialog, "accept");
            } else {
                dialog->reject();
            }
        });
        answer.start(20);
        delegate->openFolderButton->click();
        EXPECT_TRUE(answered);
        const int rows = c.choose ? 1 : 6;
        EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->mediaListModel->rowCount() == rows; }, 5000));
        EXPECT_EQ(player->calls.contains(QStringLiteral("stop")), c.choose);
        if (c.choose) {
            EXPECT_EQ(delegate->mediaListModel->mediaAtRow(0)->path(), (dir / "event_20210315_142546_F.MP4").string());
            delegate->openDirectory(QString::fromStdString(sampleCardDir().string()));
            ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->mediaListModel->rowCount() == 6; }, 5000));
        }
    }
}
