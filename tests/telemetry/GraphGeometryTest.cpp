#include "telemetry/GraphGeometry.h"

#include <gtest/gtest.h>

using namespace dcv;

namespace {
std::vector<DCVGSensor> ramp(size_t n) {
    std::vector<DCVGSensor> v;
    for (size_t i = 0; i < n; ++i)
        v.emplace_back(float(i), -float(i), 0.5f);
    return v;
}
} // namespace

TEST(GraphGeometryTest, AreaGridAndLabelsFollowTheMargins) {
    // The area's size and scale are seen in the curves below, the grid lines on the drawn view.
    const auto anchors = GraphGeometry(680, 130).labelAnchors();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(anchors[i], (GraphPoint{20, 8 + i * 28.5})) << i;
    // Right-aligned two points left of the anchor, centred on the line and raised by 2.
    EXPECT_EQ(GraphGeometry::labelOrigin({20, 65}, 14, 12), (GraphPoint{4, 61}));
}

TEST(GraphGeometryTest, CurveSpreadsSamplesAcrossTheAreaByTruncatedSteps) {
    const GraphGeometry g(60, 216); // W = 20, H = 200: P = 201 steps, one g = 50 points
    struct {
        size_t samples;
        size_t k;           // vertex
        size_t sampleIndex; // sample it shows: trunc(n / P × k)
    } cases[] = {
        {1, 0, 0},    {1, 200, 0},                       // one sample repeated over every step
        {201, 1, 1},  {201, 200, 200},                   // one sample per step
        {1000, 1, 4}, {1000, 2, 9},    {1000, 200, 995}, // more samples than steps: some skipped
        {50, 5, 1},   {50, 200, 49},                     // fewer: each repeated
    };
    for (const auto& c : cases) {
        const auto samples = ramp(c.samples);
        const auto curve = g.curve(samples, GraphAxis::X);
        ASSERT_EQ(curve.size(), 201u) << c.samples;
        EXPECT_DOUBLE_EQ(curve[c.k].x, 21 + c.k * 0.1) << c.samples << " k " << c.k;
        EXPECT_DOUBLE_EQ(curve[c.k].y, double(c.sampleIndex) * 50 + 108) << c.samples << " k " << c.k;
    }
}

TEST(GraphGeometryTest, AxesScaleAndEdgeCases) {
    const GraphGeometry g(60, 216);
    const std::vector<DCVGSensor> one{DCVGSensor(1.0f, -1.0f, 2.5f)};
    // +1 lies 50 points above the zero line of a 200-point area; beyond ±2 is not clipped.
    EXPECT_DOUBLE_EQ(g.curve(one, GraphAxis::X).back().y, 158);
    EXPECT_DOUBLE_EQ(g.curve(one, GraphAxis::Y).back().y, 58);
    EXPECT_DOUBLE_EQ(g.curve(one, GraphAxis::Z).back().y, 233);
    EXPECT_TRUE(g.curve({}, GraphAxis::X).empty());
    // A view narrower than its margins draws only the first vertex.
    EXPECT_EQ(GraphGeometry(30, 100).curve(one, GraphAxis::X).size(), 1u);
}
