#include "widgets/TKImageButtonCell.h"

namespace dcv {

std::array<QString, 3> TKImageButtonCell::bezelImageNames() const {
    if (m_state)
        return {QStringLiteral("bg_bt_info_left.png"), QStringLiteral("bg_bt_info_center.png"),
                QStringLiteral("bg_bt_info_right.png")};
    return pressedImageNames();
}

std::array<QString, 3> TKImageButtonCell::pressedImageNames() {
    return {QStringLiteral("bg_bt_info_left_pressed.png"), QStringLiteral("bg_bt_info_center_pressed.png"),
            QStringLiteral("bg_bt_info_right_pressed.png")};
}

void TKImageButtonCell::drawImages(QPainter& painter, const QRectF& frame,
                                   const std::array<QString, 3>& names) {
    drawThreePartImage(painter, frame, TKImage::imageNamed(names[0]), TKImage::imageNamed(names[1]),
                       TKImage::imageNamed(names[2]));
}

void TKImageButtonCell::drawBezelWithFrame(QPainter& painter, const QRectF& frame) const {
    drawImages(painter, frame, bezelImageNames());
}

void TKImageButtonCell::highlight(bool flag, QPainter& painter, const QRectF& frame) const {
    if (flag)
        drawImages(painter, frame, pressedImageNames());
}

} // namespace dcv
