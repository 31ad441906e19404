#include "widgets/DCVScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace dcv::screen {

namespace {
bool g_displaysSpan = true;
unsigned g_options = 0;
} // namespace

bool displaysSpan() {
    return g_displaysSpan;
}
void setDisplaysSpan(bool span) {
    g_displaysSpan = span;
}

uint32_t displayID(const QScreen* screen) {
    if (screen == nullptr)
        return 0;
    // FNV-1a of the output name: stable while the screen is connected.
    uint32_t h = 2166136261u;
    for (const QChar c : screen->name()) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    return h;
}

QScreen* screenWithDisplayID(uint32_t id) {
    for (QScreen* s : QGuiApplication::screens())
        if (displayID(s) == id)
            return s;
    return nullptr;
}

bool isScreen(const QScreen* a, const QScreen* b) {
    return displayID(a) == displayID(b);
}

bool hasMenuBar(const QScreen* screen) {
    if (!g_displaysSpan)
        return true;
    const auto screens = QGuiApplication::screens();
    return !screens.isEmpty() && displayID(screen) == displayID(screens.first());
}

bool hasDock(const QRect& frame, const QRect& visible, bool menuBar) {
    if (frame.width() > visible.width())
        return true;
    const int menuBarThickness = menuBar ? std::max(0, visible.top() - frame.top()) : 0;
    return frame.height() > visible.height() + menuBarThickness;
}

bool hasDock(const QScreen* screen) {
    if (screen == nullptr)
        return false;
    return hasDock(screen->geometry(), screen->availableGeometry(), hasMenuBar(screen));
}

unsigned presentationOptions() {
    return g_options;
}
void setPresentationOptions(unsigned options) {
    g_options = options;
}

unsigned presentationOptionsFor(unsigned current, bool menuBar, bool dock, bool entering) {
    unsigned change = 0;
    if (menuBar)
        change |= AutoHideMenuBar;
    if (menuBar || dock)
        change |= AutoHideDock;
    return entering ? (current | change) : (current & ~change);
}

void setFullscreenPresentationOptions(const QScreen* screen) {
    g_options = presentationOptionsFor(g_options, hasMenuBar(screen), hasDock(screen), true);
}

void setNonFullscreenPresentationOptions(const QScreen* screen) {
    g_options = presentationOptionsFor(g_options, hasMenuBar(screen), hasDock(screen), false);
}

void centerInVisibleFrame(QWidget* window) {
    const QScreen* s = window->screen();
    if (!s)
        return;
    QRect frame = window->geometry();
    frame.moveCenter(s->availableGeometry().center());
    window->setGeometry(frame);
}

} // namespace dcv::screen
