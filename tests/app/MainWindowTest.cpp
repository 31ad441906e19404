#include "app/DCVAppDelegate.h"
#include "support/TestSupport.h"
#include "widgets/CustomWindow.h"
#include "widgets/DCVSideButtonView.h"
#include "widgets/PMProgressIndicator.h"
#include "widgets/TKImageButton.h"
#include "widgets/TKViews.h"

#include <QApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        DCVAppDelegate::Options options;
        options.animateFrames = false;
        delegate = std::make_unique<DCVAppDelegate>(options);
        delegate->window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window.get()));
        settle();
    }
    void settle() {
        QCoreApplication::processEvents();
        if (auto* l = delegate->window->layout())
            l->activate();
        QCoreApplication::processEvents();
    }
    QRect inWindow(QWidget* w) const {
        return QRect(w->mapTo(delegate->window.get(), QPoint(0, 0)), w->size());
    }
    std::unique_ptr<DCVAppDelegate> delegate;
};

} // namespace

TEST_F(MainWindowTest, StartsAtTheMinimumSizeCentredInTheVisibleArea) {
    const QRect visible = delegate->window->screen()->availableGeometry();
    const QRect expected(visible.x() + (visible.width() - 1020) / 2, visible.y() + (visible.height() - 640) / 2, 1020,
                         640);
    EXPECT_EQ(delegate->minWindowFrame(), expected);
    EXPECT_EQ(delegate->window->geometry(), expected);
    EXPECT_EQ(delegate->window->initialFrame(), expected);
    EXPECT_EQ(delegate->mediaIndex, -1);
    EXPECT_EQ(delegate->rightViewMode, 0);
    EXPECT_TRUE(delegate->window->windowFlags() & Qt::FramelessWindowHint);
    // The layout boxes lose their diagnostic tints at start-up.
    for (TKColorBackgroundView* box : {delegate->backgroundBox, delegate->headBox, delegate->bodyBox,
                                       delegate->mediaListBox, delegate->sideButtonBox})
        EXPECT_EQ(box->backgroundColor().value_or(Qt::red).alpha(), 0) << box->objectName().toStdString();
    EXPECT_EQ(delegate->columnNames, (QStringList{"Type", "Date", "Time", "File"}));
}

TEST_F(MainWindowTest, NormalFormHasTheFixedSizesOfHeadColumnsAndBoxes) {
    delegate->window->setGeometry(QRect(QPoint(20, 20), QSize(1020, 640)));
    settle();
    struct {
        QWidget* view;
        QRect rect;
    } cases[] = {
        {delegate->headBox, {0, 0, 1020, 50}},          {delegate->bodyBox, {0, 50, 1020, 590}},
        {delegate->bodyLeftBox, {10, 50, 656, 582}},    {delegate->bodyRightBox, {676, 50, 334, 582}},
        {delegate->videoBox, {10, 50, 656, 372}},       {delegate->gsensorBox, {10, 426, 656, 130}},
        {delegate->mediaControlBox, {10, 560, 656, 72}}, {delegate->sideButtonBox, {676, 50, 334, 32}},
        {delegate->mediaListBox, {676, 82, 334, 550}},  {delegate->mediaListScrollView, {676, 82, 334, 550}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.view->isVisible()) << c.view->objectName().toStdString();
        EXPECT_EQ(inWindow(c.view), c.rect) << c.view->objectName().toStdString();
    }
    EXPECT_FALSE(delegate->mediaControlBoxForFullScreen->isVisible());
    EXPECT_FALSE(delegate->mapContainerView->isVisible());

    // A bigger window gives the room to the video and keeps the other sizes.
    delegate->window->setGeometry(QRect(QPoint(20, 20), QSize(1224, 768)));
    settle();
    EXPECT_EQ(inWindow(delegate->videoBox), QRect(10, 50, 860, 500));
    EXPECT_EQ(inWindow(delegate->bodyRightBox), QRect(880, 50, 334, 710));
    EXPECT_EQ(delegate->gsensorBox->height(), 130);
}

TEST_F(MainWindowTest, FullScreenFillsTheScreenWithVideoAndStripAndEscapeReturnsToStartFrame) {
    const QRect start = delegate->window->initialFrame();
    // Whatever size the window had, leaving full screen returns to the start-up frame.
    delegate->window->setGeometry(QRect(start.topLeft(), QSize(1224, 768)));
    delegate->window->enterFullscreen();
    settle();
    const QRect screen = delegate->window->screen()->geometry();
    ASSERT_TRUE(delegate->window->isFullScreen());
    EXPECT_EQ(delegate->window->geometry(), screen);
    for (QWidget* gone : {static_cast<QWidget*>(delegate->headBox), static_cast<QWidget*>(delegate->bodyRightBox),
                          static_cast<QWidget*>(delegate->gsensorBox), static_cast<QWidget*>(delegate->mediaControlBox)})
        EXPECT_FALSE(gone->isVisible()) << gone->objectName().toStdString();
    EXPECT_EQ(inWindow(delegate->videoBox), QRect(0, 0, screen.width(), screen.height() - 2 - 36));
    EXPECT_EQ(inWindow(delegate->mediaControlBoxForFullScreen),
              QRect(0, screen.height() - 2 - 36, screen.width() - 2, 36));
    // Entering again changes nothing, not even the frame to return to.
    delegate->window->enterFullscreen();
    EXPECT_EQ(delegate->window->initialFrame(), start);

    QTest::keyClick(delegate->window.get(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(delegate->window->isFullScreen());
    EXPECT_EQ(delegate->window->geometry(), start);
    EXPECT_EQ(delegate->bodyRightBox->width(), 334);
    EXPECT_EQ(delegate->gsensorBox->height(), 130);
    EXPECT_EQ(delegate->mediaControlBox->height(), 72);
    EXPECT_TRUE(delegate->headBox->isVisible());
    EXPECT_FALSE(delegate->mediaControlBoxForFullScreen->isVisible());

    // Escape in the normal form leaves the window as it is.
    QTest::keyClick(delegate->window.get(), Qt::Key_Escape);
    EXPECT_FALSE(delegate->window->isFullScreen());
    EXPECT_EQ(delegate->window->geometry(), start);
}

TEST_F(MainWindowTest, FullScreenAfterTheMapWasShownReturnsToTheMap) {
    delegate->clickMapViewButton();
    delegate->window->enterFullscreen();
    settle();
    delegate->window->leaveFullscreen();
    settle();
    EXPECT_TRUE(delegate->mapContainerView->isVisible());
    EXPECT_EQ(delegate->mapContainerBottomView->height(), 98);
}

TEST_F(MainWindowTest, RightColumnSwitchesBetweenListAndMap) {
    delegate->window->setGeometry(QRect(QPoint(20, 20), QSize(1020, 640)));
    settle();
    struct {
        const char* step;
        int clicks; // 0: the list button, 1: the map button
        int mode;
        const char* recordImage;
        const char* informationImage;
    } steps[] = {
        {"list again", 0, 0, "record_p", "information_n"},
        {"to map", 1, 1, "record_n", "information_p"},
        {"map again", 1, 1, "record_n", "information_p"},
        {"back to list", 0, 0, "record_p", "information_n"},
    };
    for (const auto& s : steps) {
        DCVSideButtonView* button = s.clicks ? delegate->informationButtonImageView : delegate->recordButtonImageView;
        QTest::mouseClick(button, Qt::LeftButton);
        settle();
        EXPECT_EQ(delegate->rightViewMode, s.mode) << s.step;
        EXPECT_EQ(delegate->recordButtonImageView->image().name(), QString::fromLatin1(s.recordImage)) << s.step;
        EXPECT_EQ(delegate->informationButtonImageView->image().name(), QString::fromLatin1(s.informationImage))
            << s.step;
        EXPECT_EQ(delegate->mapContainerView->isVisible(), s.mode == 1) << s.step;
        EXPECT_EQ(delegate->mediaListScrollView->isVisible(), s.mode == 0) << s.step;
        if (s.mode == 1) {
            EXPECT_EQ(inWindow(delegate->mapContainerView), QRect(676, 82, 334, 550)) << s.step;
            EXPECT_EQ(inWindow(delegate->mapContainerTopView), QRect(676, 82, 334, 452)) << s.step;
            EXPECT_EQ(inWindow(delegate->mapContainerBottomView), QRect(676, 534, 334, 98)) << s.step;
        }
    }
}

TEST_F(MainWindowTest, ANewRecordingListBringsTheListBack) {
    dcv::test::TempDir dir;
    dir.write("alwa_20240102_030405_F.MP4", "x");
    delegate->clickMapViewButton();
    ASSERT_EQ(delegate->rightViewMode, 1);
    delegate->openDirectory(QString::fromStdString(dir.path().string()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->rightViewMode == 0; }, 5000));
    EXPECT_TRUE(delegate->mediaListScrollView->isVisibleTo(delegate->window.get()));
    EXPECT_EQ(delegate->mediaList->count(), 1);
}

TEST_F(MainWindowTest, DraggingMovesTheWindowButNeverAboveTheVisibleArea) {
    CustomWindow& w = *delegate->window;
    const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
    struct {
        QPoint move;     // mouse move in global coordinates
        QPoint expected; // window origin after it
    } cases[] = {
        {{50, 30}, {visible.left() + 150, visible.top() + 130}},
        {{-300, 10}, {visible.left() - 200, visible.top() + 110}},
        {{0, -99}, {visible.left() + 100, visible.top() + 1}},
        {{0, -100}, {visible.left() + 100, visible.top()}},
        {{40, -5000}, {visible.left() + 140, visible.top()}},
    };
    for (const auto& c : cases) {
        w.move(visible.topLeft() + QPoint(100, 100));
        const QPoint down(300, 20);
        const QPoint global = w.mapToGlobal(down);
        QMouseEvent press(QEvent::MouseButtonPress, down, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &press);
        EXPECT_EQ(w.initialLocation(), down);
        const QPoint to = global + c.move;
        QMouseEvent drag(QEvent::MouseMove, w.mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drag);
        QMouseEvent release(QEvent::MouseButtonRelease, w.mapFromGlobal(to), to, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(&w, &release);
        EXPECT_EQ(w.pos(), c.expected) << c.move.x() << "," << c.move.y();
    }
    // Moving the mouse without a button held moves nothing.
    const QPoint before = w.pos();
    QMouseEvent hover(QEvent::MouseMove, QPoint(10, 10), w.mapToGlobal(QPoint(400, 400)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&w, &hover);
    EXPECT_EQ(w.pos(), before);
}

TEST_F(MainWindowTest, LoadingIndicatorGoesAwayAfterFiftyTicks) {
    delegate->setLoadingTickInterval(1);
    delegate->showLoading(QStringLiteral("Loading..."));
    PMProgressIndicator* bar = delegate->progressIndicator;
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->isIndeterminate());
    EXPECT_TRUE(bar->isAnimating());
    EXPECT_EQ(bar->x(), (delegate->headBox->width() - bar->width()) / 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->stopVideoLoadingView; }, 10000));
    EXPECT_EQ(delegate->loadingTicks(), 50);
    EXPECT_DOUBLE_EQ(delegate->progress, 100);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(bar->isAnimating());
    EXPECT_EQ(bar->doubleValue(), bar->minValue());
}

TEST_F(MainWindowTest, HideLoadingEndsAtTheNextTickAndARestartSupersedesOldTicks) {
    delegate->setLoadingTickInterval(5);
    delegate->showLoading(QStringLiteral("Loading..."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->loadingTicks() >= 3; }, 5000));
    delegate->hideLoading();
    const int ticks = delegate->loadingTicks();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->progressIndicator->isVisible(); }, 5000));
    EXPECT_EQ(delegate->loadingTicks(), ticks + 1);

    delegate->setLoadingTickInterval(1);
    delegate->showLoading(QStringLiteral("Loading..."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->loadingTicks() >= 10; }, 5000));
    delegate->showLoading(QStringLiteral("Loading..."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->stopVideoLoadingView; }, 10000));
    QTest::qWait(30); // a tick of the first start would still arrive now
    EXPECT_EQ(delegate->loadingTicks(), 50);
    EXPECT_DOUBLE_EQ(delegate->progress, 100);
}

TEST_F(MainWindowTest, CloseButtonClosesTheWindowAndLaterButtonsWaitDisabled) {
    EXPECT_FALSE(delegate->settingButton->isEnabled());
    EXPECT_FALSE(delegate->timeSetupButton->isEnabled());
    EXPECT_TRUE(delegate->openFolderButton->isEnabled());
    QTest::mouseClick(delegate->closeButton, Qt::LeftButton);
    EXPECT_FALSE(delegate->window->isVisible());
}

TEST(MainWindowAnimationTest, AnimatedFullScreenEndsOnTheScreenAndBackOnTheStartFrame) {
    DCVAppDelegate::Options options;
    options.animateFrames = true;
    DCVAppDelegate delegate(options);
    delegate.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate.window.get()));
    const QRect start = delegate.window->geometry();
    const QRect screen = delegate.window->screen()->geometry();
    delegate.window->enterFullscreen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate.window->geometry() == screen; }, 3000));
    // Leaving while the frame is still moving ends on the start frame all the same.
    delegate.window->leaveFullscreen();
    delegate.window->enterFullscreen();
    delegate.window->leaveFullscreen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate.window->geometry() == start; }, 3000));
    QTest::qWait(250);
    EXPECT_EQ(delegate.window->geometry(), start);
}
