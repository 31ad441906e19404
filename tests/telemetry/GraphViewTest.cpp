#include "telemetry/GraphView.h"

#include <QImage>
#include <QPaintEvent>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

QImage renderOf(GraphView& view) {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    view.render(&image);
    return image;
}

std::vector<DCVGSensor> drive(size_t n) {
    std::vector<DCVGSensor> v;
    for (size_t i = 0; i < n; ++i) {
        const float t = float(i) / float(n);
        v.emplace_back(std::sin(t * 40) * 0.6f, std::cos(t * 17) * 0.4f, 1.0f + std::sin(t * 90) * 0.1f);
    }
    return v;
}

// The largest difference of any channel between two pictures of the same size.
int maxDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

int countColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

} // namespace

TEST(GraphViewTest, WithoutSamplesOnlyGridAndLabelsAreDrawn) {
    GraphView view;
    view.resize(680, 130);
    const QImage image = renderOf(view);
    const QRgb grey = qRgb(204, 204, 204);
    // Five horizontal lines of the area's width at 8 + i × 28.5 from the bottom.
    for (int i = 0; i < 5; ++i) {
        const int y = 130 - 1 - int(8 + i * 28.5);
        EXPECT_EQ(image.pixel(300, y), grey) << i;
    }
    EXPECT_EQ(image.pixel(20, 60), grey); // the vertical line
    EXPECT_EQ(countColour(image, qRgb(255, 0, 0)), 0);
    EXPECT_EQ(countColour(image, qRgb(255, 255, 255)) > 0, true); // labels are white
    // No label reaches the area: they end two points left of it.
    for (int y = 0; y < 130; ++y)
        for (int x = 19; x < 680; ++x)
            ASSERT_NE(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
}

TEST(GraphViewTest, CurvesAndBarSitWhereTheGeometrySays) {
    GraphView view;
    view.resize(680, 130);
    // x = +0.5 everywhere: a red line 14.25 points above the zero line, off the grid lines.
    view.setGraphData(std::vector<DCVGSensor>(1800, DCVGSensor(0.5f, -2.0f, 0.0f)));
    struct {
        double position;
        int barX;
    } cases[] = {{0, 20}, {0.5, 340}, {1, 660}};
    for (const auto& c : cases) {
        view.updateTimePosition(c.position);
        const QImage image = renderOf(view);
        // The line's centre lies 130 − 79.25 = 50.75 from the top: on rows 50 and 51.
        int red = 0;
        for (int x = 30; x < 640; ++x) {
            const QColor p = image.pixelColor(x, 50), q = image.pixelColor(x, 51);
            red += p.red() + q.red() > 200 && p.green() < 60 && p.blue() < 60;
        }
        EXPECT_GT(red, 500) << c.position;
        // The white bar is two points wide over the area's height.
        for (int y : {20, 60, 110}) {
            EXPECT_EQ(image.pixel(c.barX, y), qRgb(255, 255, 255)) << c.position << " y " << y;
            EXPECT_EQ(image.pixel(c.barX + 1, y), qRgb(255, 255, 255)) << c.position << " y " << y;
        }
        EXPECT_NE(image.pixel(c.barX + 3, 60), qRgb(255, 255, 255)) << c.position;
    }
}

TEST(GraphViewTest, CachedDrawingGivesTheSamePixelsAsDrawingEverything) {
    for (const QSize size : {QSize(680, 130), QSize(540, 130), QSize(300, 90)}) {
        GraphView cached, direct;
        direct.setCachesCurves(false);
        for (GraphView* v : {&cached, &direct}) {
            v->resize(size);
            v->setGraphData(drive(1800));
        }
        for (double p : {0.0, 0.37, 0.999}) {
            cached.updateTimePosition(p);
            direct.updateTimePosition(p);
            EXPECT_LE(maxDifference(renderOf(cached), renderOf(direct)), 8) << size.width() << " at " << p;
        }
        // New data and a new size redraw the cache.
        cached.setGraphData(drive(120));
        direct.setGraphData(drive(120));
        EXPECT_LE(maxDifference(renderOf(cached), renderOf(direct)), 8) << size.width() << " new data";
        cached.resize(size + QSize(20, 0));
        direct.resize(size + QSize(20, 0));
        EXPECT_LE(maxDifference(renderOf(cached), renderOf(direct)), 8) << size.width() << " resized";
    }
}

TEST(GraphViewTest, SharesTheSamplesItIsGiven) {
    auto samples = std::make_shared<const std::vector<DCVGSensor>>(drive(10));
    GraphView view;
    view.setGraphData(samples);
    EXPECT_EQ(&view.values(), samples.get());
    view.setGraphData(GraphView::Samples{});
    EXPECT_TRUE(view.values().empty());
}
