#include "widgets/TKImageButton.h"
#include "widgets/TKVideoBackgroundImageView.h"
#include "widgets/TKViews.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

QImage renderOf(QWidget& w) {
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool near(QColor a, QColor b, int tolerance = 6) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

std::string describe(QColor c) {
    return c.name().toStdString() + " alpha " + std::to_string(c.alpha());
}

} // namespace

TEST(TKImageButtonTest, RollOverAndPressedImagesComeFromTheNormalImagesName) {
    struct {
        const char* image;
        const char* rollover; // "" when there is no such image
        const char* pressed;
    } cases[] = {
        {"icon_play_n", "icon_play_f", "icon_play_p"},
        {"btn_close_n.png", "btn_close_f", "btn_close_p"},
        {"ci_no_bg", "", ""},   // "ci_no" + "_f" does not exist
        {"dcv-viewer", "", ""}, // neither does "dcv-view_f"
        {"no_such_image_n", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        TKImageButton button(QString::fromLatin1(c.image));
        EXPECT_EQ(button.rolloverImage().name(), QString::fromLatin1(c.rollover));
        EXPECT_EQ(button.pressedImage().name(), QString::fromLatin1(c.pressed));
        // Entering shows the roll-over image, pressing the pressed one; else the normal one.
        const QString normal = button.image().name();
        button.mouseEntered();
        EXPECT_EQ(button.displayedImage().name(), *c.rollover ? QString::fromLatin1(c.rollover) : normal);
        button.setDown(true);
        EXPECT_EQ(button.displayedImage().name(), *c.pressed ? QString::fromLatin1(c.pressed) : normal);
    }
    // A new image name brings its own variants.
    TKImageButton play(QStringLiteral("icon_play_n"));
    play.setImageName(QStringLiteral("icon_pause_n"));
    EXPECT_EQ(play.rolloverImage().name(), QStringLiteral("icon_pause_f"));
}

TEST(TKImageButtonTest, CapturesCountEntriesAndExitsAndNeverGoBelowZero) {
    TKImageButton button(QStringLiteral("icon_play_n"));
    struct {
        const char* step;
        int enterOrExit; // +1 enter, -1 exit
        qint64 captures;
        const char* shown;
    } steps[] = {
        {"enter", +1, 1, "icon_play_f"},      {"enter again", +1, 2, "icon_play_f"},
        {"exit", -1, 1, "icon_play_f"},       {"exit again", -1, 0, "icon_play_n"},
        {"extra exit", -1, 0, "icon_play_n"}, {"enter", +1, 1, "icon_play_f"},
    };
    for (const auto& s : steps) {
        if (s.enterOrExit > 0) {
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QApplication::sendEvent(&button, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&button, &leave);
        }
        EXPECT_EQ(button.numberOfCaptures(), s.captures) << s.step;
        EXPECT_EQ(button.displayedImage().name(), QString::fromLatin1(s.shown)) << s.step;
    }
    // Disabled, the button never shows its roll-over image, even with the mouse over it.
    button.setEnabled(false);
    EXPECT_EQ(button.displayedImage().name(), QStringLiteral("icon_play_n"));
    button.mouseEntered();
    EXPECT_EQ(button.displayedImage().name(), QStringLiteral("icon_play_n"));
    button.setEnabled(true);
    EXPECT_EQ(button.displayedImage().name(), QStringLiteral("icon_play_f"));
    button.resetMouseCaptures();
    EXPECT_EQ(button.numberOfCaptures(), 0);
    EXPECT_EQ(button.displayedImage().name(), QStringLiteral("icon_play_n"));
    // The tracking area is the bounds grown by 4, following the button's size.
    button.show();
    button.resize(44, 44);
    EXPECT_EQ(button.mouseTrackingArea(), QRect(-4, -4, 52, 52));
}

TEST(TKImageButtonCellTest, OffStateAndHighlightUsePressedImagesOnStateThePlainOnes) {
    // Drawn, the two looks differ: dark for off, amber-tinted for on; a highlight paints the
    // off look over the on look, and no highlight paints nothing.
    const QRectF frame(0, 0, 60, 24);
    const auto centre = [&](bool on, int highlight) {
        QImage image(60, 24, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        TKImageButtonCell c;
        c.setState(on);
        if (highlight >= 0)
            c.highlight(highlight == 1, p, frame);
        else
            c.drawBezelWithFrame(p, frame);
        p.end();
        return image.pixelColor(30, 12);
    };
    EXPECT_TRUE(near(centre(false, -1), QColor("#22262d"))) << describe(centre(false, -1));
    EXPECT_TRUE(near(centre(true, -1), QColor("#3b2b0f"))) << describe(centre(true, -1));
    EXPECT_TRUE(near(centre(true, 1), QColor("#22262d"))) << describe(centre(true, 1));
    EXPECT_EQ(centre(true, 0).alpha(), 0);
}

TEST(TKViewsTest, ThreePartImageKeepsCapsAndStretchesTheMiddle) {
    TKThreePartImageView view;
    view.resize(100, 18);
    view.setImagesLeft(TKImage::imageNamed("car_event"), TKImage::imageNamed("car_motion"),
                       TKImage::imageNamed("car_alwa"));
    const QImage image = renderOf(view);
    struct {
        int x;
        const char* colour;
    } samples[] = {{4, "#e0483e"}, {30, "#5a9cf0"}, {70, "#5a9cf0"}, {96, "#3fb7a5"}};
    for (const auto& s : samples)
        EXPECT_TRUE(near(image.pixelColor(s.x, 15), QColor(s.colour)))
            << s.x << " " << describe(image.pixelColor(s.x, 15));
}

TEST(TKViewsTest, BackgroundViewsFillWithTheirColours) {
    TKColorBackgroundView plain;
    plain.resize(10, 10);
    EXPECT_EQ(renderOf(plain).pixelColor(5, 5).alpha(), 0);
    plain.setBackgroundColor(QColor(10, 200, 30));
    EXPECT_EQ(renderOf(plain).pixelColor(5, 5), QColor(10, 200, 30));

    CustomBackgroundBox box;
    box.resize(10, 10);
    EXPECT_EQ(renderOf(box).pixelColor(3, 3), QColor(106, 95, 91));
}

TEST(TKVideoBackgroundImageViewTest, NinePartsLoadByNameAndTheLogoIsCentredAtItsOwnSize) {
    TKVideoBackgroundImageView view;
    view.setBackgroundNineImageName(QStringLiteral("v1"));
    for (const TKImage* part :
         {&view.topLeftConerImage(), &view.topRightConerImage(), &view.bottomLeftConerImage(),
          &view.bottomRightConerImage(), &view.leftEdgeFillImage(), &view.rightEdgeFillImage(),
          &view.topEdgeFillImage(), &view.bottomEdgeFillImage(), &view.centerFillImage()})
        EXPECT_FALSE(part->isNull());
    view.setBackgroundNineImageName(QStringLiteral("none"));
    EXPECT_TRUE(view.topLeftConerImage().isNull());

    // A logo larger than the view sticks out by equal parts; the view's origin counts.
    EXPECT_EQ(TKVideoBackgroundImageView::logoRect({0, 0, 200, 100}, {300, 170}), QRectF(-50, -35, 300, 170));
    EXPECT_EQ(TKVideoBackgroundImageView::logoRect({10, 20, 300, 170}, {300, 170}), QRectF(10, 20, 300, 170));

    // Drawn: the logo's lens ring (amber) sits in the middle, the frame's dark fill at the edge.
    view.setBackgroundNineImageName(QStringLiteral("v1"));
    view.setLogoImage(TKImage::imageNamed(QStringLiteral("v1_front_logo")));
    view.resize(656, 372);
    const QImage image = renderOf(view);
    // The 300 × 170 logo at (178, 101); its ring is 0.72 × 40 points from the lens centre at
    // (150, 52) of the logo.
    EXPECT_TRUE(near(image.pixelColor(178 + 150, int(101 + 52 - 28.8)), QColor("#ffa41b"), 40));
    EXPECT_TRUE(near(image.pixelColor(30, 186), QColor("#0a0c0f"), 12));
}
