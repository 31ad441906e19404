#pragma once

#include <QWidget>
#include <stdexcept>
#include <string>

namespace dcv::test {

// The view of a window with that object name; a missing view fails the test (by exception,
// which GoogleTest reports) instead of crashing it.
template <class T = QWidget> T* view(const QWidget* window, const char* name) {
    if (T* v = window->findChild<T*>(QLatin1String(name)))
        return v;
    throw std::runtime_error(std::string("no view named ") + name);
}

// Where a view lies in its window's coordinates.
inline QRect rectInWindow(const QWidget* view) {
    return QRect(view->mapTo(view->window(), QPoint(0, 0)), view->size());
}

} // namespace dcv::test
