#include "telemetry/GraphGeometry.h"

namespace dcv {

std::array<GraphRect, 5> GraphGeometry::horizontalLines() const {
    std::array<GraphRect, 5> lines{};
    for (int i = 0; i < 5; ++i)
        lines[i] = {kLeft, kBottom + i * areaHeight() / 4, areaWidth(), 1};
    return lines;
}

GraphRect GraphGeometry::verticalLine() const {
    return {kLeft, kBottom, 1, areaHeight()};
}

std::array<GraphPoint, 5> GraphGeometry::labelAnchors() const {
    std::array<GraphPoint, 5> anchors{};
    for (int i = 0; i < 5; ++i)
        anchors[i] = {kLeft, kBottom + i * areaHeight() / 4};
    return anchors;
}

GraphPoint GraphGeometry::labelOrigin(GraphPoint anchor, double textWidth, double textHeight) {
    return {anchor.x - (textWidth + 2), anchor.y - (textHeight * 0.5 - 2)};
}

static float axisValue(const DCVGSensor& s, GraphAxis axis) {
    switch (axis) {
    case GraphAxis::X:
        return s.x();
    case GraphAxis::Y:
        return s.y();
    case GraphAxis::Z:
        return s.z();
    }
    return 0;
}

std::vector<GraphPoint> GraphGeometry::curve(const std::vector<DCVGSensor>& samples, GraphAxis axis) const {
    std::vector<GraphPoint> points;
    const size_t n = samples.size();
    if (n == 0)
        return points;
    const GraphPoint zero = graphAreaZeroValuePoint();
    const double s = unitScale();
    const double p = stepCount();
    const double step = double(n) / p;
    points.reserve(p > 1 ? size_t(p) + 1 : 1);
    points.push_back({zero.x + 1, axisValue(samples[0], axis) * s + zero.y});
    for (size_t k = 1; double(k) < p; ++k) {
        const double position = step * double(k);
        if (position >= double(n))
            break;
        const size_t index = size_t(position);
        points.push_back({zero.x + 1 + double(k) * 0.1, axisValue(samples[index], axis) * s + zero.y});
    }
    return points;
}

GraphRect GraphGeometry::timePositionBar(double timePosition) const {
    return {kLeft + areaWidth() * timePosition, kBottom, 2, areaHeight()};
}

} // namespace dcv
