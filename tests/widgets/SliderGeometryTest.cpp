#include "widgets/SliderGeometry.h"

#include <gtest/gtest.h>
#include <vector>

using namespace dcv::slider;

namespace {

// A slider 273 wide has a bar of 260: a handle's left edge is at ratio × 260.
constexpr float kWidth = 273.0f;

TEST(SliderGeometryTest, BarAndHandleFrames) {
    EXPECT_EQ(barFrame(kWidth, 30.0f), (Rect{6.5f, 13.0f, 260.0f, 4.0f}));
    struct {
        float ratio, height, originY;
        Rect frame;
    } cases[] = {
        {0.0f, 30.0f, 0.0f, {0.0f, 6.5f, 13.0f, 17.0f}},
        {0.7f, 30.0f, 0.0f, {182.0f, 6.5f, 13.0f, 17.0f}},
        {1.0f, 17.0f, 0.0f, {260.0f, 0.0f, 13.0f, 17.0f}},
        {0.5f, 30.0f, 10.0f, {130.0f, 16.5f, 13.0f, 17.0f}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handleFrame(c.ratio, kWidth, c.height, c.originY), c.frame) << c.ratio;
}

TEST(SliderGeometryTest, DraggingStopsAtTheEndsAndAtTheNeighbours) {
    struct {
        const char* what;
        std::vector<float> ratios; // handles' ratios
        size_t dragged;
        float pointerX;
        float ratio; // where the dragged handle ends
    } cases[] = {
        {"one handle, far left", {0.5f}, 0, -500.0f, 0.0f},
        {"one handle, far right", {0.5f}, 0, 5000.0f, 1.0f},
        {"one handle, centre at 136.5", {0.2f}, 0, 136.5f, 0.5f},
        {"Low stops at High's left edge", {0.3f, 0.6f}, 0, 1000.0f, (156.0f - 13.0f) / 260.0f},
        {"High stops at Low's right edge", {0.3f, 0.6f}, 1, -100.0f, (78.0f + 13.0f) / 260.0f},
        {"High moves freely to the right end", {0.3f, 0.6f}, 1, 1000.0f, 1.0f},
        {"overlapping: the left one cannot pass", {0.30f, 0.31f}, 0, 1000.0f, (80.6f - 13.0f) / 260.0f},
        {"overlapping: the right one cannot pass", {0.30f, 0.31f}, 1, -1000.0f, (78.0f + 13.0f) / 260.0f},
    };
    for (const auto& c : cases) {
        std::vector<Rect> frames;
        for (const float r : c.ratios)
            frames.push_back(handleFrame(r, kWidth, 30.0f));
        const Boundary b = boundaryForHandle(frames, c.dragged, kWidth);
        const DragResult d = dragHandle(c.pointerX, kHandleWidth, b, kWidth);
        EXPECT_NEAR(d.ratio, c.ratio, 1e-5f) << c.what;
        EXPECT_FLOAT_EQ(d.originX, d.ratio * 260.0f) << c.what;
    }
}

TEST(SliderGeometryTest, MovesBelowTheFloatEpsilonDoNotCount) {
    EXPECT_FALSE(ratioChanged(0.5f, 0.5f));
    EXPECT_FALSE(ratioChanged(0.25f, 0.25f + 1.0e-8f));
    EXPECT_TRUE(ratioChanged(0.5f, 0.5001f));
    EXPECT_TRUE(ratioChanged(0.0f, 2.0e-7f));
    EXPECT_FALSE(ratioChanged(0.0f, 1.0e-7f));
}

TEST(SliderGeometryTest, AxisTicks) {
    const auto ticks = axisTicks(kWidth);
    // (273 + 32) / 22 = 13.8636 apart from x 8; ticks 20 and 21 fall beyond the right edge.
    ASSERT_EQ(ticks.size(), 20u);
    EXPECT_EQ(ticks[0], (Rect{8.0f, 3.0f, 1.0f, 8.0f}));
    EXPECT_NEAR(ticks[1].x, 21.8636f, 1e-3f);
    EXPECT_EQ(ticks[1].height, 5.0f);
    EXPECT_EQ(ticks[1].y, 5.0f);
    EXPECT_NEAR(ticks[10].x, 146.636f, 1e-3f);
    EXPECT_EQ(ticks[10].height, 8.0f);
    EXPECT_NEAR(ticks[19].x, 271.409f, 1e-3f);
    // A wide axis shows all 22, the last one long.
    const auto wide = axisTicks(1000.0f);
    ASSERT_EQ(wide.size(), 22u);
    EXPECT_EQ(wide[21].height, 8.0f);
    EXPECT_EQ(wide[20].height, 5.0f);
}

} // namespace
