// The loading indicator: 50 ticks at most, gone at the tick after hideLoading, and one timer so
// a restart leaves no tick of the earlier start behind; its bar shows on the icon meanwhile.
#include "player/DCVLoadingIndicator.h"
#include "widgets/PMProgressIndicator.h"
#include "widgets/PMProgressIndicatorController.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

class LoadingIndicatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        head.resize(1020, 50);
        bar = new PMProgressIndicator(&head);
        bar->setGeometry(0, 22, 220, 6);
        bar->hide();
        head.show();
        loading = new DCVLoadingIndicator(bar, &head, 1);
    }
    QWidget head;
    PMProgressIndicator* bar = nullptr;
    DCVLoadingIndicator* loading = nullptr;
};

} // namespace

TEST_F(LoadingIndicatorTest, EndsAtTheTickAfterHideOrAfterFiftyTicksCountedFromTheLastStart) {
    QSignalSpy finished(loading, &DCVLoadingIndicator::finished);
    auto* icon = PMProgressIndicatorController::sharedInstance();
    loading->showLoading(QStringLiteral("Loading..."));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->isIndeterminate());
    EXPECT_TRUE(bar->isAnimating());
    EXPECT_EQ(bar->x(), (1020 - 220) / 2);
    EXPECT_FALSE(loading->stopVideoLoadingView());
    ASSERT_TRUE(QTest::qWaitFor([&] { return loading->ticks() >= 3; }, 5000));
    // Meanwhile its bar moves on the application's icon.
    EXPECT_TRUE(icon->contains(bar));
    icon->drawProgressIndicators();
    EXPECT_FALSE(icon->composedIcon().isNull());
    EXPECT_TRUE(icon->isRedrawPending());
    loading->hideLoading();
    const int ticks = loading->ticks();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(loading->ticks(), ticks + 1);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(icon->contains(bar));
    EXPECT_TRUE(QTest::qWaitFor([&] { return icon->composedIcon().isNull(); }, 5000));

    loading->showLoading(QStringLiteral("Loading..."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loading->ticks() >= 10; }, 5000));
    loading->showLoading(QStringLiteral("Loading..."));
    EXPECT_EQ(loading->ticks(), 0);
    ASSERT_TRUE(finished.wait(10000));
    // Counted from the restart, with nothing of the first start left to come.
    EXPECT_EQ(loading->ticks(), 50);
    EXPECT_DOUBLE_EQ(loading->progress(), 100);
    EXPECT_TRUE(loading->stopVideoLoadingView());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(bar->isAnimating());
    EXPECT_EQ(bar->doubleValue(), bar->minValue());
    EXPECT_FALSE(loading->isTicking());
    EXPECT_EQ(finished.count(), 2);
}
