#include "widgets/TKViews.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace dcv {

TKThreePartImageView::TKThreePartImageView(QWidget* parent) : QWidget(parent) {}

void TKThreePartImageView::setImagesLeft(const TKImage& left, const TKImage& middle, const TKImage& right) {
    m_left = left;
    m_middle = middle;
    m_right = right;
    update();
}

void TKThreePartImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawThreePartImage(painter, rect(), m_left, m_middle, m_right);
}

TKColorBackgroundView::TKColorBackgroundView(QWidget* parent) : QWidget(parent) {}

void TKColorBackgroundView::setBackgroundColor(const QColor& color) {
    m_bgcolor = color;
    update();
}

void TKColorBackgroundView::paintEvent(QPaintEvent* event) {
    if (m_bgcolor && m_bgcolor->alpha() > 0) {
        QPainter painter(this);
        painter.fillRect(event->rect(), *m_bgcolor);
    }
}

CustomBackgroundBox::CustomBackgroundBox(QWidget* parent) : QWidget(parent) {}

void CustomBackgroundBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), fillColor());
}

TKImageView::TKImageView(QWidget* parent) : QWidget(parent) {}

void TKImageView::setImage(const TKImage& image) {
    m_image = image;
    updateGeometry();
    update();
}

QSize TKImageView::sizeHint() const {
    return m_image.isNull() ? QSize(0, 0) : m_image.size();
}

void TKImageView::paintEvent(QPaintEvent*) {
    if (m_image.isNull())
        return;
    QPainter painter(this);
    const QSizeF s = m_image.size();
    m_image.draw(painter, QRectF(QRectF(rect()).center() - QPointF(s.width() / 2, s.height() / 2), s));
}

void TKImageView::mousePressEvent(QMouseEvent* event) {
    if (receivers(SIGNAL(clicked())) > 0)
        event->accept();
    else
        event->ignore(); // let a plain image view drag the window
}

void TKImageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        receivers(SIGNAL(clicked())) > 0)
        emit clicked();
    else
        event->ignore();
}

} // namespace dcv
