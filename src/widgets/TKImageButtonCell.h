#pragma once

#include "widgets/TKImage.h"

#include <array>

class QPainter;

namespace dcv {

// The three-part background of a text button. The state-on look uses the plain
// "bg_bt_info_*" images, the state-off look and the highlight the "_pressed" ones.
class TKImageButtonCell {
public:
    bool state() const { return m_state; }
    void setState(bool on) { m_state = on; }

    // Names of the left, centre and right images the bezel uses in the current state.
    std::array<QString, 3> bezelImageNames() const;
    static std::array<QString, 3> pressedImageNames();

    void drawBezelWithFrame(QPainter& painter, const QRectF& frame) const;
    // While highlighted the pressed images are drawn; otherwise nothing.
    void highlight(bool flag, QPainter& painter, const QRectF& frame) const;

private:
    static void drawImages(QPainter& painter, const QRectF& frame, const std::array<QString, 3>& names);
    bool m_state = false;
};

} // namespace dcv
