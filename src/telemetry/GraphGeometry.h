#pragma once

#include "telemetry/TelemetrySamples.h"

#include <array>
#include <string_view>
#include <vector>

namespace dcv {

// Geometry of the G-sensor strip chart, in points with the origin at the bottom left and y
// growing upwards. The view toolkit only turns these numbers into pixels.
struct GraphPoint {
    double x = 0, y = 0;
    friend bool operator==(const GraphPoint&, const GraphPoint&) = default;
};
struct GraphRect {
    double x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const GraphRect&, const GraphRect&) = default;
};

enum class GraphAxis { X, Y, Z };

class GraphGeometry {
public:
    static constexpr double kLeft = 20, kBottom = 8;
    static constexpr std::array<std::string_view, 5> kLabels{"-2", "-1", "0", "+1", "+2"};

    GraphGeometry(double viewWidth, double viewHeight) : m_width(viewWidth), m_height(viewHeight) {}

    GraphPoint graphAreaLeftBottom() const { return {kLeft, kBottom}; }
    // May be zero or negative for a view smaller than its margins; nothing is drawn then.
    double areaWidth() const { return m_width - 2 * kLeft; }
    double areaHeight() const { return m_height - 2 * kBottom; }
    GraphPoint graphAreaZeroValuePoint() const { return {kLeft, kBottom + areaHeight() / 2}; }
    // One g in points: the area spans −2 … +2.
    double unitScale() const { return areaHeight() * 0.25; }

    // Five horizontal lines (bottom to top), one point high.
    std::array<GraphRect, 5> horizontalLines() const;
    GraphRect verticalLine() const;
    // Where each label of kLabels is anchored (right end, on its line).
    std::array<GraphPoint, 5> labelAnchors() const;
    // Origin (bottom left) of a text of the measured size drawn right-aligned to an anchor.
    static GraphPoint labelOrigin(GraphPoint anchor, double textWidth, double textHeight);

    // Number of polyline steps across the area: ten per point, plus one.
    double stepCount() const { return areaWidth() * 10 + 1; }
    // The polyline of one axis: the first sample at the left, then one vertex per step showing
    // the sample at the truncated step position. Empty without samples.
    std::vector<GraphPoint> curve(const std::vector<DCVGSensor>& samples, GraphAxis axis) const;
    // The white bar at a play position (0 … 1), two points wide over the area's height.
    GraphRect timePositionBar(double timePosition) const;

private:
    double m_width, m_height;
};

} // namespace dcv
