#include "widgets/TKVideoBackgroundImageView.h"

#include <QMouseEvent>
#include <QPainter>

namespace dcv {

TKVideoBackgroundImageView::TKVideoBackgroundImageView(QWidget* parent) : QWidget(parent) {}

void TKVideoBackgroundImageView::setBackgroundNineImageName(const QString& name) {
    const auto part = [&name](const char* format) {
        return TKImage::imageNamed(QString::fromLatin1(format).arg(name));
    };
    m_topLeftConerImage = part("%1_top_left_corner");
    m_topRightConerImage = part("%1_top_right_corner");
    m_bottomLeftConerImage = part("%1_bottom_left_corner");
    m_bottomRightConerImage = part("%1_bottom_right_corner");
    m_leftEdgeFillImage = part("%1_left_edge_fill");
    m_rightEdgeFillImage = part("%1_right_edge_fill");
    m_topEdgeFillImage = part("%1_top_edge_fill");
    m_bottomEdgeFillImage = part("%1_bottom_edge_fill");
    m_centerFillImage = part("%1_center_fill");
    update();
}

void TKVideoBackgroundImageView::setLogoImage(const TKImage& image) {
    m_centerLogoImage = image;
    update();
}

QRectF TKVideoBackgroundImageView::logoRect(const QRectF& bounds, const QSizeF& logoSize) {
    const QPointF origin =
        bounds.topLeft() +
        QPointF(bounds.width() - logoSize.width(), bounds.height() - logoSize.height()) * 0.5;
    return QRectF(origin, logoSize);
}

void TKVideoBackgroundImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(1.0);
    const QRectF b = rect();
    // Corners at their sizes; edges stretched along their side; the centre stretched.
    const qreal l = std::max(m_topLeftConerImage.size().width(), m_bottomLeftConerImage.size().width());
    const qreal r = std::max(m_topRightConerImage.size().width(), m_bottomRightConerImage.size().width());
    const qreal t = std::max(m_topLeftConerImage.size().height(), m_topRightConerImage.size().height());
    const qreal bo =
        std::max(m_bottomLeftConerImage.size().height(), m_bottomRightConerImage.size().height());
    const qreal cw = std::max<qreal>(0, b.width() - l - r), ch = std::max<qreal>(0, b.height() - t - bo);
    m_topLeftConerImage.draw(painter, QRectF(b.left(), b.top(), l, t));
    m_topRightConerImage.draw(painter, QRectF(b.right() - r, b.top(), r, t));
    m_bottomLeftConerImage.draw(painter, QRectF(b.left(), b.bottom() - bo, l, bo));
    m_bottomRightConerImage.draw(painter, QRectF(b.right() - r, b.bottom() - bo, r, bo));
    m_topEdgeFillImage.draw(painter, QRectF(b.left() + l, b.top(), cw, t));
    m_bottomEdgeFillImage.draw(painter, QRectF(b.left() + l, b.bottom() - bo, cw, bo));
    m_leftEdgeFillImage.draw(painter, QRectF(b.left(), b.top() + t, l, ch));
    m_rightEdgeFillImage.draw(painter, QRectF(b.right() - r, b.top() + t, r, ch));
    m_centerFillImage.draw(painter, QRectF(b.left() + l, b.top() + t, cw, ch));
    if (!m_centerLogoImage.isNull())
        m_centerLogoImage.draw(painter, logoRect(b, m_centerLogoImage.size()));
}

DCVScrollableVideoContainerView::DCVScrollableVideoContainerView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
}

void DCVScrollableVideoContainerView::updateTrackingAreas() {
    m_mouseTrackingArea = rect().adjusted(-4, -4, 4, 4);
}

void DCVScrollableVideoContainerView::enterEvent(QEnterEvent* event) {
    emit mouseEntered();
    QWidget::enterEvent(event);
}

void DCVScrollableVideoContainerView::leaveEvent(QEvent* event) {
    emit mouseExited();
    QWidget::leaveEvent(event);
}

void DCVScrollableVideoContainerView::resizeEvent(QResizeEvent* event) {
    updateTrackingAreas();
    QWidget::resizeEvent(event);
}

void DCVScrollableVideoContainerView::mousePressEvent(QMouseEvent* event) {
    setInitialLocation(event->position().toPoint());
    event->ignore(); // the window is dragged by the video area too
}

} // namespace dcv
