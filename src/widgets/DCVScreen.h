#pragma once

#include <QRect>
#include <cstdint>

class QScreen;
class QWidget;

namespace dcv::screen {

// Whether all displays share one menu bar (true, the default) or each display has its own.
bool displaysSpan();
void setDisplaysSpan(bool span);

// A number that names a screen for the whole session (from its name).
uint32_t displayID(const QScreen* screen);
QScreen* screenWithDisplayID(uint32_t id);
bool isScreen(const QScreen* a, const QScreen* b);

// The screen with the desktop's top bar: every screen when each has its own, otherwise the
// first screen of the list.
bool hasMenuBar(const QScreen* screen);
// A panel at a side, or at the bottom (more height taken than the top bar's thickness).
bool hasDock(const QScreen* screen);
// The same rule on plain rectangles; the top bar's thickness is what the visible area leaves
// free above it when the screen has the menu bar.
bool hasDock(const QRect& frame, const QRect& visible, bool menuBar);

// What full screen asks of the desktop's bars. Linux desktops hide their panels under a
// full-screen window by themselves, so the options are kept as state for the window to read.
enum PresentationOption : unsigned { AutoHideMenuBar = 1u << 0, AutoHideDock = 1u << 1 };
unsigned presentationOptions();
void setPresentationOptions(unsigned options);
void setFullscreenPresentationOptions(const QScreen* screen);
void setNonFullscreenPresentationOptions(const QScreen* screen);
// The rule itself: options after entering (true) or leaving (false) full screen.
unsigned presentationOptionsFor(unsigned current, bool menuBar, bool dock, bool entering);

// Centres a window in the visible area of its screen.
void centerInVisibleFrame(QWidget* window);

} // namespace dcv::screen
