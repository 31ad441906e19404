#pragma once

#include "telemetry/GraphGeometry.h"
#include "telemetry/TelemetrySamples.h"

#include <QPixmap>
#include <QWidget>
#include <memory>
#include <vector>

namespace dcv {

// The strip chart of the three G-sensor axes of a whole recording with a white bar at the
// play position. The grid and the curves are drawn once into a cached picture and drawn
// again only when the samples or the size change, so a position change repaints just the
// strips the bar leaves and enters.
class GraphView : public QWidget {
    Q_OBJECT
public:
    using Samples = std::shared_ptr<const std::vector<DCVGSensor>>;

    explicit GraphView(QWidget* parent = nullptr);

    // The samples are shared with their owner, never copied.
    void setGraphData(Samples values);
    void setGraphData(std::vector<DCVGSensor> values);
    const std::vector<DCVGSensor>& values() const { return *m_values; }

    void updateTimePosition(double position);
    double timePosition() const { return m_timePosition; }

    // With the cache off every paint draws the grid and all curves again.
    void setCachesCurves(bool on);
    bool cachesCurves() const { return m_cachesCurves; }

    // Text measured and placed as the grid labels are (for the labels' positions).
    QFont labelFont() const;

    // Toolkit coordinates (top left origin) of a chart rectangle or point.
    QRectF toView(const GraphRect& r) const;
    QPointF toView(const GraphPoint& p) const;

    // The whole chart drawn directly, as every paint does without the cache.
    void drawRect(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawBackgroundRect(QPainter& painter, const GraphGeometry& g) const;
    void drawString(QPainter& painter, const QString& text, GraphPoint point) const;
    void drawGraphDataWithContext(QPainter& painter, const GraphGeometry& g) const;
    void drawTimePositionVerticalBarWithContext(QPainter& painter, const GraphGeometry& g) const;
    void drawChartWithoutBar(QPainter& painter) const;
    QRect barRectInView(double position) const;
    const QPixmap& curveCache();

    Samples m_values;
    double m_timePosition = 0;
    bool m_cachesCurves = true;
    QPixmap m_cache;
    bool m_cacheValid = false;
};

} // namespace dcv
