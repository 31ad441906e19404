#pragma once

class QWidget;

namespace dcv::screen {

// Centres a window in the visible area of its screen (the part the desktop's panels leave).
void centerInVisibleFrame(QWidget* window);

} // namespace dcv::screen
