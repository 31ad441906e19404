#include "widgets/DCVMediaListTableView.h"

#include <QPainter>

namespace dcv {

DCVMediaListTableView::DCVMediaListTableView(QWidget* parent) : QTableView(parent) {}

void DCVMediaListTableView::setEmptyText(const QString& text) {
    m_emptyText = text;
    viewport()->update();
}

void DCVMediaListTableView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (m_emptyText.isEmpty() || (model() && model()->rowCount(rootIndex()) > 0))
        return;
    QPainter painter(viewport());
    QFont f = font();
    f.setPixelSize(12);
    painter.setFont(f);
    painter.setPen(QColor(0x5f, 0x67, 0x71));
    const QRect area = viewport()->rect().adjusted(24, 0, -24, 0);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}

} // namespace dcv
