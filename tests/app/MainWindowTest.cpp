// The main window: start-up frame, the fixed sizes of its boxes in the normal and full-screen
// forms, the right column's switch, dragging, the head buttons.
#include "app/DCVAppDelegate.h"
#include "player/DCVPlaybackController.h"
#include "sdcard/DCVFormatWindowController.h"
#include "sdcard/DCVTimeSetupController.h"
#include "settings/DCVSettingController.h"
#include "support/AppWindowTest.h"
#include "support/TestSupport.h"
#include "widgets/CustomWindow.h"
#include "widgets/DCVSideButtonView.h"
#include "widgets/TKImageButton.h"
#include "widgets/TKViews.h"

#include <QApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QPointer>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace dcv;
using dcv::test::rectInWindow;

namespace {

class MainWindowTest : public test::AppWindowTest {
protected:
    void SetUp() override {
        showWindow();
        settle();
    }
    void settle() {
        QCoreApplication::processEvents();
        if (auto* l = window->layout())
            l->activate();
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(MainWindowTest, StartsAtTheMinimumSizeCentredInTheVisibleArea) {
    const QRect visible = window->screen()->availableGeometry();
    const QRect expected(visible.x() + (visible.width() - 1020) / 2,
                         visible.y() + (visible.height() - 640) / 2, 1020, 640);
    EXPECT_EQ(window->geometry(), expected);
    EXPECT_EQ(window->initialFrame(), expected);
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    // The layout boxes lose their diagnostic tints at start-up.
    for (const char* name : {"backgroundBox", "headBox", "bodyBox", "mediaListBox", "sideButtonBox"})
        EXPECT_EQ(view<TKColorBackgroundView>(name)->backgroundColor().value_or(Qt::red).alpha(), 0) << name;
    const QAbstractItemModel* table = view<QTableView>("mediaListTableView")->model();
    QStringList columns;
    for (int c = 0; c < table->columnCount(); ++c)
        columns << table->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(columns, (QStringList{"Type", "Date", "Time", "File"}));
}

TEST_F(MainWindowTest, NormalFormHasTheFixedSizesOfHeadColumnsAndBoxes) {
    window->setGeometry(QRect(QPoint(20, 20), QSize(1020, 640)));
    settle();
    struct {
        QWidget* view;
        QRect rect;
    } cases[] = {
        {view("headBox"), {0, 0, 1020, 50}},           {view("bodyBox"), {0, 50, 1020, 590}},
        {view("bodyLeftBox"), {10, 50, 656, 582}},     {view("bodyRightBox"), {676, 50, 334, 582}},
        {view("videoBox"), {10, 50, 656, 372}},        {view("gsensorBox"), {10, 426, 656, 130}},
        {view("mediaControlBox"), {10, 560, 656, 72}}, {view("sideButtonBox"), {676, 50, 334, 32}},
        {view("mediaListBox"), {676, 82, 334, 550}},   {view("mediaListScrollView"), {676, 82, 334, 550}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.view->isVisible()) << c.view->objectName().toStdString();
        EXPECT_EQ(rectInWindow(c.view), c.rect) << c.view->objectName().toStdString();
    }
    EXPECT_FALSE(view("mediaControlBoxForFullScreen")->isVisible());
    EXPECT_FALSE(view("mapContainerView")->isVisible());

    // A bigger window gives the room to the video and keeps the other sizes.
    window->setGeometry(QRect(QPoint(20, 20), QSize(1224, 768)));
    settle();
    EXPECT_EQ(rectInWindow(view("videoBox")), QRect(10, 50, 860, 500));
    EXPECT_EQ(rectInWindow(view("bodyRightBox")), QRect(880, 50, 334, 710));
    EXPECT_EQ(view("gsensorBox")->height(), 130);
}

TEST_F(MainWindowTest, FullScreenFillsTheScreenWithVideoAndStripAndEscapeReturnsToStartFrame) {
    const QRect start = window->initialFrame();
    // Whatever size the window had, leaving full screen returns to the start-up frame.
    window->setGeometry(QRect(start.topLeft(), QSize(1224, 768)));
    view<TKImageButton>("fullScreenButton")->click();
    settle();
    const QRect screen = window->screen()->geometry();
    ASSERT_TRUE(window->isFullScreen());
    EXPECT_EQ(window->geometry(), screen);
    for (const char* gone : {"headBox", "bodyRightBox", "gsensorBox", "mediaControlBox"})
        EXPECT_FALSE(view(gone)->isVisible()) << gone;
    EXPECT_EQ(rectInWindow(view("videoBox")), QRect(0, 0, screen.width(), screen.height() - 2 - 36));
    EXPECT_EQ(rectInWindow(view("mediaControlBoxForFullScreen")),
              QRect(0, screen.height() - 2 - 36, screen.width() - 2, 36));
    // Entering again changes nothing, not even the frame to return to.
    window->enterFullscreen();
    EXPECT_EQ(window->initialFrame(), start);

    QTest::keyClick(window, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_EQ(window->geometry(), start);
    EXPECT_EQ(rectInWindow(view("videoBox")), QRect(10, 50, 656, 372)); // the other boxes back at their sizes
    EXPECT_TRUE(view("headBox")->isVisible());
    EXPECT_FALSE(view("mediaControlBoxForFullScreen")->isVisible());

    // Escape in the normal form leaves the window as it is.
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_EQ(window->geometry(), start);
}

TEST_F(MainWindowTest, RightColumnSwitchesBetweenListAndMapAndKeepsTheMapOverFullScreen) {
    window->setGeometry(QRect(QPoint(20, 20), QSize(1020, 640)));
    settle();
    // The list button again, the map button twice, back to the list, the map again.
    for (const int mode : {0, 1, 1, 0, 1}) {
        SCOPED_TRACE(mode);
        QTest::mouseClick(view(mode ? "informationButtonImageView" : "recordButtonImageView"),
                          Qt::LeftButton);
        settle();
        EXPECT_EQ(delegate->rightViewMode(), mode);
        EXPECT_EQ(view<DCVSideButtonView>("recordButtonImageView")->image().name(),
                  QString::fromLatin1(mode ? "record_n" : "record_p"));
        EXPECT_EQ(view<DCVSideButtonView>("informationButtonImageView")->image().name(),
                  QString::fromLatin1(mode ? "information_p" : "information_n"));
        EXPECT_EQ(view("mapContainerView")->isVisible(), mode == 1);
        EXPECT_EQ(view("mediaListScrollView")->isVisible(), mode == 0);
    }
    // Full screen and back returns to the map, at its sizes.
    window->enterFullscreen();
    settle();
    window->leaveFullscreen();
    settle();
    EXPECT_TRUE(view("mapContainerView")->isVisible());
    EXPECT_EQ(rectInWindow(view("mapContainerView")), QRect(676, 82, 334, 550));
    EXPECT_EQ(rectInWindow(view("mapContainerTopView")), QRect(676, 82, 334, 452));
    EXPECT_EQ(rectInWindow(view("mapContainerBottomView")), QRect(676, 534, 334, 98));
}

TEST_F(MainWindowTest, ANewRecordingListBringsTheListBack) {
    dcv::test::TempDir dir;
    dir.write("alwa_20240102_030405_F.MP4", "x");
    delegate->clickMapViewButton();
    ASSERT_EQ(delegate->rightViewMode(), 1);
    delegate->openDirectory(QString::fromStdString(dir.path().string()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->rightViewMode() == 0; }, 5000));
    EXPECT_TRUE(view("mediaListScrollView")->isVisibleTo(window));
    EXPECT_EQ(view<QTableView>("mediaListTableView")->model()->rowCount(), 1);
}

TEST_F(MainWindowTest, DraggingMovesTheWindowButNeverAboveTheVisibleArea) {
    CustomWindow& w = *window;
    const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
    struct {
        QPoint move;     // mouse move in global coordinates
        QPoint expected; // window origin after it
    } cases[] = {
        {{50, 30}, {visible.left() + 150, visible.top() + 130}},
        {{-300, 10}, {visible.left() - 200, visible.top() + 110}},
        {{0, -99}, {visible.left() + 100, visible.top() + 1}},
        {{0, -100}, {visible.left() + 100, visible.top()}},
    };
    const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, w.mapFromGlobal(global), global, button, held, Qt::NoModifier);
        QApplication::sendEvent(&w, &event);
    };
    for (const auto& c : cases) {
        w.move(visible.topLeft() + QPoint(100, 100));
        const QPoint down(300, 20), global = w.mapToGlobal(down);
        send(QEvent::MouseButtonPress, global, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, global + c.move, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, global + c.move, Qt::LeftButton, Qt::NoButton);
        EXPECT_EQ(w.pos(), c.expected) << c.move.x() << "," << c.move.y();
    }
    // Moving the mouse without a button held moves nothing.
    const QPoint before = w.pos();
    send(QEvent::MouseMove, w.mapToGlobal(QPoint(400, 400)), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(w.pos(), before);
}

TEST_F(MainWindowTest, CloseButtonClosesTheWindow) {
    QTest::mouseClick(view("closeButton"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}

// The settings and clock buttons each open their window window-modal over the main window; the
// window opened next replaces it.
TEST_F(MainWindowTest, HeadButtonsOpenTheirWindowsOverTheMainWindow) {
    const struct {
        const char* button;
        const char* controller;
    } cases[] = {{"settingButton", "dcv::DCVSettingController"},
                 {"timeSetupButton", "dcv::DCVTimeSetupController"}};
    QPointer<QDialog> previous;
    for (const auto& c : cases) {
        QTest::mouseClick(view(c.button), Qt::LeftButton);
        auto* dialog = qobject_cast<QDialog*>(delegate->lastDialogController());
        ASSERT_NE(dialog, nullptr) << c.button;
        EXPECT_STREQ(dialog->metaObject()->className(), c.controller);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->isVisible(); }, 5000)) << c.button;
        EXPECT_EQ(dialog->parentWidget(), window);
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        EXPECT_TRUE(previous.isNull()) << "the next window replaces the one before";
        dialog->close();
        previous = dialog;
    }
}

TEST_F(MainWindowTest, WindowsAskedForAtStartOpenOverTheMainWindow) {
    using K = StartWindow::Kind;
    const auto settingsFor = [&](StartWindow start) {
        delegate->openStartWindow(start);
        auto* settings = qobject_cast<DCVSettingController*>(delegate->lastDialogController());
        if (!settings)
            throw std::runtime_error("no settings window");
        return settings;
    };
    EXPECT_EQ(settingsFor({K::Settings, 3})->lastSelectedTabIndex(), 3);
    DCVSettingController* settings = settingsFor({K::DriveLog});
    EXPECT_EQ(settings->lastSelectedTabIndex(), DCVSettingController::kDriveInfoIndex);
    EXPECT_EQ(settings->targetController(), settings->createDriveInfoController());
    auto* format = qobject_cast<DCVFormatWindowController*>(settingsFor({K::Format})->lastDialogController());
    ASSERT_NE(format, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return format->isVisible() && !format->isSearching(); }, 5000));
    delegate->openStartWindow({K::TimeSetup});
    auto* clock = qobject_cast<DCVTimeSetupController*>(delegate->lastDialogController());
    ASSERT_NE(clock, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clock->isVisible(); }, 5000));
}

TEST(MainWindowStartTest, WindowsAskedForAtStart) {
    using K = StartWindow::Kind;
    const struct {
        const char* request;
        std::optional<StartWindow> window;
    } cases[] = {{"settings", StartWindow{K::Settings, 0}},
                 {"settings:0", StartWindow{K::Settings, 0}},
                 {"settings:6", StartWindow{K::Settings, 6}},
                 {"format", StartWindow{K::Format}},
                 {"timeset", StartWindow{K::TimeSetup}},
                 {"drive-log", StartWindow{K::DriveLog}},
                 {"settings:7", std::nullopt},
                 {"settings:", std::nullopt},
                 {"settings:-1", std::nullopt},
                 {"settings:99999999999", std::nullopt},
                 {"Settings", std::nullopt},
                 {"Format", std::nullopt},
                 {"drive-log ", std::nullopt},
                 {"", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(startWindowFor(QString::fromLatin1(c.request)), c.window) << c.request;
}

TEST(MainWindowStartTest, TheCardIsLookedForOnceAfterTheFirstPicture) {
    test::CapturedLog log;
    DCVAppDelegate::Options options;
    options.withMapPage = false;
    test::TestServices services; // no USB volume
    DCVAppDelegate delegate(services.services, options);
    EXPECT_EQ(log.count("no removable devices"), 0) << "nothing before the window is painted";
    delegate.window()->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.count("no removable devices") == 1; }, 5000));
    EXPECT_EQ(delegate.lastDialogController(), nullptr) << "the controller made at start is dropped";
}

TEST(MainWindowAnimationTest, AnimatedFullScreenEndsOnTheScreenAndBackOnTheStartFrame) {
    DCVAppDelegate::Options options;
    options.withMapPage = false;
    test::TestServices services;
    DCVAppDelegate delegate(services.services, options);
    CustomWindow* window = delegate.window();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QRect start = window->geometry();
    const QRect screen = window->screen()->geometry();
    const auto atRest = [window](const QRect& frame) {
        const auto* animation = window->findChild<QPropertyAnimation*>();
        return window->geometry() == frame &&
               (!animation || animation->state() == QAbstractAnimation::Stopped);
    };
    window->enterFullscreen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return atRest(screen); }, 3000));
    // Leaving while the frame is still moving ends on the start frame all the same.
    window->leaveFullscreen();
    window->enterFullscreen();
    window->leaveFullscreen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return atRest(start); }, 3000));
}
