#include "telemetry/GraphView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace dcv {

GraphView::GraphView(QWidget* parent)
    : QWidget(parent), m_values(std::make_shared<const std::vector<DCVGSensor>>()) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void GraphView::setGraphData(Samples values) {
    m_values = values ? std::move(values) : std::make_shared<const std::vector<DCVGSensor>>();
    m_cacheValid = false;
    update();
}

void GraphView::setGraphData(std::vector<DCVGSensor> values) {
    setGraphData(std::make_shared<const std::vector<DCVGSensor>>(std::move(values)));
}

void GraphView::setCachesCurves(bool on) {
    m_cachesCurves = on;
    m_cacheValid = false;
    m_cache = QPixmap();
    update();
}

QFont GraphView::labelFont() const {
    QFont f(QStringLiteral("Helvetica"));
    f.setPixelSize(12);
    return f;
}

QRectF GraphView::toView(const GraphRect& r) const {
    return QRectF(r.x, height() - (r.y + r.height), r.width, r.height);
}

QPointF GraphView::toView(const GraphPoint& p) const {
    return QPointF(p.x, height() - p.y);
}

void GraphView::drawBackgroundRect(QPainter& painter, const GraphGeometry& g) const {
    const QColor grey = QColor::fromRgbF(0.8f, 0.8f, 0.8f, 1.0f);
    for (const GraphRect& line : g.horizontalLines())
        painter.fillRect(toView(line), grey);
    painter.fillRect(toView(g.verticalLine()), grey);
    const auto anchors = g.labelAnchors();
    for (size_t i = 0; i < anchors.size(); ++i)
        drawString(painter,
                   QString::fromLatin1(GraphGeometry::kLabels[i].data(), GraphGeometry::kLabels[i].size()),
                   anchors[i]);
}

void GraphView::drawString(QPainter& painter, const QString& text, GraphPoint point) const {
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const double w = metrics.horizontalAdvance(text);
    const double h = metrics.height();
    const GraphPoint origin = GraphGeometry::labelOrigin(point, w, h);
    // The origin is the bottom left of the text's box; the baseline lies one descent above it.
    const QPointF bottomLeft = toView(origin);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(bottomLeft.x(), bottomLeft.y() - metrics.descent()), text);
}

void GraphView::drawGraphDataWithContext(QPainter& painter, const GraphGeometry& g) const {
    static const Qt::GlobalColor colours[] = {Qt::red, Qt::green, Qt::blue};
    static const GraphAxis axes[] = {GraphAxis::X, GraphAxis::Y, GraphAxis::Z};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int a = 0; a < 3; ++a) {
        const std::vector<GraphPoint> points = g.curve(*m_values, axes[a]);
        if (points.empty())
            continue;
        QPolygonF polyline;
        polyline.reserve(qsizetype(points.size()));
        for (const GraphPoint& p : points)
            polyline << toView(p);
        QPen pen(colours[a]);
        pen.setWidthF(1);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawPolyline(polyline);
    }
    painter.restore();
}

void GraphView::drawTimePositionVerticalBarWithContext(QPainter& painter, const GraphGeometry& g) const {
    painter.fillRect(toView(g.timePositionBar(m_timePosition)), Qt::white);
}

void GraphView::drawChartWithoutBar(QPainter& painter) const {
    const GraphGeometry g(width(), height());
    drawBackgroundRect(painter, g);
    if (!m_values->empty())
        drawGraphDataWithContext(painter, g);
}

void GraphView::drawRect(QPainter& painter) const {
    drawChartWithoutBar(painter);
    if (!m_values->empty())
        drawTimePositionVerticalBarWithContext(painter, GraphGeometry(width(), height()));
}

const QPixmap& GraphView::curveCache() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (!m_cacheValid || m_cache.size() != pixels || m_cache.devicePixelRatio() != ratio) {
        m_cache = QPixmap(pixels);
        m_cache.setDevicePixelRatio(ratio);
        m_cache.fill(Qt::transparent);
        QPainter painter(&m_cache);
        drawChartWithoutBar(painter);
        m_cacheValid = true;
    }
    return m_cache;
}

QRect GraphView::barRectInView(double position) const {
    // Whole pixels around the bar, one more on each side for antialiased edges.
    const GraphRect bar = GraphGeometry(width(), height()).timePositionBar(position);
    return toView(bar).toAlignedRect().adjusted(-1, -1, 1, 1);
}

void GraphView::updateTimePosition(double position) {
    if (position == m_timePosition)
        return;
    const double old = m_timePosition;
    m_timePosition = position;
    if (m_cachesCurves && m_cacheValid && !m_values->empty()) {
        update(barRectInView(old));
        update(barRectInView(position));
    } else {
        update();
    }
}

void GraphView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!m_cachesCurves) {
        drawRect(painter);
        return;
    }
    const QPixmap& cache = curveCache();
    const QRect dirty = event->rect();
    const qreal ratio = cache.devicePixelRatio();
    painter.drawPixmap(dirty, cache, QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio));
    if (!m_values->empty())
        drawTimePositionVerticalBarWithContext(painter, GraphGeometry(width(), height()));
}

void GraphView::resizeEvent(QResizeEvent* event) {
    m_cacheValid = false;
    QWidget::resizeEvent(event);
}

} // namespace dcv
