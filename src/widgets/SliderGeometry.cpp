#include "widgets/SliderGeometry.h"

#include <algorithm>

namespace dcv::slider {

Rect barFrame(float frameWidth, float frameHeight) {
    const float width = barWidth(frameWidth);
    return {(frameWidth - width) / 2.0f, (frameHeight - kBarHeight) / 2.0f, width, kBarHeight};
}

Rect handleFrame(float ratio, float boundsWidth, float boundsHeight, float boundsOriginY) {
    const float centre = boundsHeight * 0.5f + boundsOriginY;
    return {ratio * barWidth(boundsWidth), centre - kHandleHeight / 2.0f, kHandleWidth, kHandleHeight};
}

Boundary boundaryForHandle(std::span<const Rect> frames, size_t index, float sliderWidth) {
    Boundary b{0.0f, sliderWidth};
    const Rect& self = frames[index];
    for (size_t i = 0; i < frames.size(); ++i) {
        if (i == index)
            continue;
        const Rect& other = frames[i];
        // Equal positions: the earlier handle counts as the left one.
        const bool left = other.x < self.x || (other.x == self.x && i < index);
        if (left)
            b.lower = std::max(b.lower, other.right());
        else
            b.upper = std::min(b.upper, other.x);
    }
    return b;
}

DragResult dragHandle(float pointerX, float handleWidth, Boundary boundary, float boundsWidth) {
    const float half = handleWidth / 2.0f;
    float x = pointerX;
    if (x - half < boundary.lower)
        x = boundary.lower + half;
    if (x + half > boundary.upper)
        x = boundary.upper - half;
    const float origin = x - half;
    return {origin, origin / barWidth(boundsWidth)};
}

std::vector<Rect> axisTicks(float boundsWidth) {
    std::vector<Rect> ticks;
    const float step = (boundsWidth + 32.0f) / 22.0f;
    for (int i = 0; i <= 21; ++i) {
        const float x = float(i) * step + 8.0f;
        if (x >= boundsWidth)
            break;
        const bool isLong = i == 0 || i == 10 || i == 21;
        ticks.push_back(isLong ? Rect{x, 3.0f, 1.0f, 8.0f} : Rect{x, 5.0f, 1.0f, 5.0f});
    }
    return ticks;
}

} // namespace dcv::slider
