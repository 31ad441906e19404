#include "widgets/DCVSideButtonView.h"

#include <QMouseEvent>
#include <QPainter>

namespace dcv {

DCVSideButtonView::DCVSideButtonView(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void DCVSideButtonView::setImage(const TKImage& image) {
    m_image = image;
    update();
}

void DCVSideButtonView::setTitle(const QString& title) {
    m_title = title;
    update();
}

QSize DCVSideButtonView::sizeHint() const {
    return m_image.isNull() ? QSize(166, 32) : m_image.size();
}

void DCVSideButtonView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_image.draw(painter, rect());
    // The title stands right of the icon, which the images put left of the middle.
    const bool selected = m_image.name().endsWith(QLatin1String("_p"));
    QFont f = font();
    f.setPixelSize(12);
    f.setBold(selected);
    painter.setFont(f);
    painter.setPen(selected ? QColor(0xe6, 0xe9, 0xed) : QColor(0x7c, 0x85, 0x91));
    painter.drawText(QRect(width() / 2 - 14, 0, width() / 2 + 14, height()), Qt::AlignVCenter | Qt::AlignLeft,
                     m_title);
}

void DCVSideButtonView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void DCVSideButtonView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace dcv
