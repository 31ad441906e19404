#pragma once

// The geometry of the multi-handle ratio slider and its tick axis, in points and in 32-bit
// floating point as the widget computes it. Handle views are 13 × 17; a handle's left edge sits
// at ratio × bar width, so the bar (13 narrower than the slider) runs under the handles' centres.

#include <cfloat>
#include <cstdint>
#include <span>
#include <vector>

namespace dcv::slider {

inline constexpr float kHandleWidth = 13.0f;
inline constexpr float kHandleHeight = 17.0f;
inline constexpr float kBarHeight = 4.0f;
inline constexpr float kBarInset = 13.0f; // the bar is this much narrower than the slider
inline constexpr int kHandleTag = 1002;
inline constexpr int kBarTag = 0;
// A ratio that moved by no more than this has not moved.
inline constexpr float kEpsilon = FLT_EPSILON;

struct Rect {
    float x = 0, y = 0, width = 0, height = 0;
    float right() const { return x + width; }
    bool contains(float px, float py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The free interval of a dragged handle: its frame must stay within [lower, upper].
struct Boundary {
    float lower = 0, upper = 0;
    friend bool operator==(const Boundary&, const Boundary&) = default;
};

inline float barWidth(float boundsWidth) {
    return boundsWidth - kBarInset;
}
inline bool ratioChanged(float a, float b) {
    return (a > b ? a - b : b - a) > kEpsilon;
}

// The bar, centred in the slider's frame.
Rect barFrame(float frameWidth, float frameHeight);
// A handle's frame for its ratio: left edge at ratio × bar width, centred on the bar's line.
Rect handleFrame(float ratio, float boundsWidth, float boundsHeight, float boundsOriginY = 0);
// The interval handle `index` may move in: from the right edge of its nearest neighbour on the
// left to the left edge of its nearest neighbour on the right, else the slider's ends. Neighbours
// are taken by position, so a handle never passes another one, even where two views overlap.
Boundary boundaryForHandle(std::span<const Rect> handleFrames, size_t index, float sliderWidth);

// Where a drag to pointer x puts the handle: its centre at x, kept inside the boundary (the
// upper limit wins when the two cross). Gives the new left edge and the ratio it stands for.
struct DragResult {
    float originX = 0;
    float ratio = 0;
};
DragResult dragHandle(float pointerX, float handleWidth, Boundary boundary, float boundsWidth);

// The tick marks of the axis beneath the slider: 22 ticks, (width + 32) / 22 apart from x 8,
// long ones (y 3, height 8) at 0, 10 and 21, short ones (y 5, height 5) between. Ticks beyond
// the right edge are left out, as they would be clipped.
std::vector<Rect> axisTicks(float boundsWidth);

} // namespace dcv::slider
