// The progress bar's estimate label and its mirror on the application's icon: pixels of the
// drawn bars, rows of several bars, coalesced redraws and the plain icon back at either end.
#include "widgets/PMProgressIndicator.h"
#include "widgets/PMProgressIndicatorController.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace dcv;

namespace {

class ProgressIndicatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        QPixmap white(128, 128);
        white.fill(Qt::white);
        plainIcon = QIcon(white);
        controller = std::make_unique<PMProgressIndicatorController>(plainIcon, [this] { return now; });
    }
    std::unique_ptr<PMProgressIndicator> makeBar() {
        auto bar = std::make_unique<PMProgressIndicator>();
        bar->setController(controller.get());
        bar->setClock([this] { return now; });
        return bar;
    }
    static QImage appIcon() { return QGuiApplication::windowIcon().pixmap(QSize(128, 128), 1.0).toImage(); }
    bool iconIsPlain() const { return appIcon().pixelColor(64, 127) == QColor(Qt::white); }

    double now = 1000;
    QIcon plainIcon;
    std::unique_ptr<PMProgressIndicatorController> controller;
};

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
           std::abs(a.blue() - b.blue()) <= 2;
}

} // namespace

TEST_F(ProgressIndicatorTest, TheBarIsDrawnInBandsOverTheIcon) {
    // Over white at opacity 0.78: the filled part blue, the rest grey; the bottom band alone
    // at the row's foot, four bands over each other in its middle, the top hairlines above.
    const QColor blueFoot(157, 215, 255), greyFoot(244, 244, 244), blueMiddle(81, 154, 234),
        blueHairline(129, 171, 222), white(Qt::white);
    const struct {
        double value;
        int x, y;
        QColor expected;
    } cases[] = {
        {50, 32, 127, blueFoot},     {50, 96, 127, greyFoot}, {50, 10, 122, blueMiddle},
        {50, 10, 116, blueHairline}, {50, 10, 114, white},    {50, 10, 0, white},
        {0, 1, 127, greyFoot},       {0, 126, 127, greyFoot}, {100, 1, 127, blueFoot},
        {100, 126, 127, blueFoot},   {25, 31, 127, blueFoot}, {25, 33, 127, greyFoot},
    };
    auto bar = makeBar();
    bar->setDrawDockProgress(false);
    for (const auto& c : cases) {
        bar->setDoubleValue(c.value + 1); // a value that differs from the last one shown
        bar->setDoubleValue(c.value);
        controller->addProgressIndicator(bar.get());
        controller->drawProgressIndicators();
        const QColor got = appIcon().pixelColor(c.x, c.y);
        EXPECT_TRUE(near(got, c.expected))
            << c.value << " at " << c.x << "," << c.y << ": " << got.name().toStdString() << " not "
            << c.expected.name().toStdString();
    }
}

TEST_F(ProgressIndicatorTest, ABarBetweenItsEndsIsMirroredAndLeavesTheIconAtEitherEnd) {
    auto bar = makeBar();
    QSignalSpy changes(controller.get(), &PMProgressIndicatorController::iconChanged);
    for (double v : {10.0, 20.0, 30.0, 40.0, 50.0})
        bar->setDoubleValue(v);
    EXPECT_TRUE(controller->contains(bar.get()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->isRedrawPending(); }, 2000));
    // Five values, one redraw, showing the last.
    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(iconIsPlain());
    EXPECT_TRUE(near(appIcon().pixelColor(60, 127), QColor(157, 215, 255)));
    EXPECT_TRUE(near(appIcon().pixelColor(68, 127), QColor(244, 244, 244)));

    for (double end : {100.0, 0.0}) {
        bar->setDoubleValue(50);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->isRedrawPending(); }, 2000));
        ASSERT_FALSE(iconIsPlain());
        bar->setDoubleValue(end);
        EXPECT_FALSE(controller->contains(bar.get())) << end;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->isRedrawPending(); }, 2000));
        EXPECT_TRUE(iconIsPlain()) << end;
        EXPECT_TRUE(controller->composedIcon().isNull()) << end;
    }
}

TEST_F(ProgressIndicatorTest, OnlyANewWholeValueIsShown) {
    auto bar = makeBar();
    bar->setDoubleValue(3.2);
    bar->setDoubleValue(3.9);
    EXPECT_DOUBLE_EQ(bar->doubleValue(), 3.2);
    bar->setDoubleValue(4.1);
    EXPECT_DOUBLE_EQ(bar->doubleValue(), 4.1);
}

TEST_F(ProgressIndicatorTest, BarsTakeRowsUpwardsInTheirOrderAndTheLastOneGoneRestoresTheIcon) {
    auto first = makeBar(), second = makeBar();
    first->setDoubleValue(100 - 1); // nearly full: blue
    second->setDoubleValue(1);      // nearly empty: grey
    controller->drawProgressIndicators();
    EXPECT_EQ(controller->numProgressIndicators(), 2);
    EXPECT_TRUE(near(appIcon().pixelColor(64, 127), QColor(157, 215, 255)));
    EXPECT_TRUE(near(appIcon().pixelColor(64, 127 - 16), QColor(244, 244, 244)));
    EXPECT_EQ(appIcon().pixelColor(64, 127 - 32), QColor(Qt::white));

    first.reset(); // a bar that goes away leaves its row
    controller->drawProgressIndicators();
    EXPECT_TRUE(near(appIcon().pixelColor(64, 127), QColor(244, 244, 244)));
    EXPECT_EQ(appIcon().pixelColor(64, 127 - 16), QColor(Qt::white));
    second->setDrawDockProgress(false);
    controller->drawProgressIndicators();
    EXPECT_EQ(controller->numProgressIndicators(), 0);
    EXPECT_TRUE(iconIsPlain());
}

TEST_F(ProgressIndicatorTest, AnIndeterminateBarMovesItsStripesWithTheClock) {
    auto bar = makeBar();
    bar->setIndeterminate(true);
    bar->setDoubleValue(10);
    controller->drawProgressIndicators();
    EXPECT_TRUE(controller->isRedrawPending()); // it goes on stepping by itself
    const QImage before = controller->composedIcon();
    now += 0.25; // a quarter second moves the stripes 12 points to the right
    controller->drawProgressIndicators();
    const QImage after = controller->composedIcon();
    int differing = 0;
    for (int x = 20; x < 100; ++x) {
        EXPECT_EQ(after.pixel(x, 122), before.pixel(x - 12, 122)) << x;
        differing += after.pixel(x, 122) != before.pixel(x, 122);
    }
    EXPECT_GT(differing, 10); // the stripes are there and did move
}

TEST_F(ProgressIndicatorTest, TheLabelShowsTheEstimate) {
    auto bar = makeBar();
    QLabel label;
    bar->setProgressText(&label);
    bar->setDisplayPercentage(true);
    bar->setDoubleValue(20);
    EXPECT_EQ(label.text(), QStringLiteral("20 % completed"));
    now += 5;
    bar->setDoubleValue(30);
    EXPECT_EQ(label.text(), QStringLiteral("30 % completed - Less than a minute remaining"));
    bar->setIndeterminate(true);
    bar->setDoubleValue(40);
    EXPECT_EQ(label.text(), QString());
}
