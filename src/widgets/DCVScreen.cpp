#include "widgets/DCVScreen.h"

#include <QScreen>
#include <QWidget>

namespace dcv::screen {

void centerInVisibleFrame(QWidget* window) {
    const QScreen* s = window->screen();
    if (!s)
        return;
    QRect frame = window->geometry();
    frame.moveCenter(s->availableGeometry().center());
    window->setGeometry(frame);
}

} // namespace dcv::screen
