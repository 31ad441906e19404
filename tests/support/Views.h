#pragma once

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QWidget>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

// Texts in test messages as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

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

// An alert sheet as the user read it.
struct Alert {
    QString message, informative;
    friend bool operator==(const Alert&, const Alert&) = default;
    friend void PrintTo(const Alert& a, std::ostream* os) {
        *os << '"' << a.message.toStdString() << "\" / \"" << a.informative.toStdString() << '"';
    }
};

// The alert shown over `window`, without answering it; none when there is none.
inline QMessageBox* visibleAlert(const QWidget* window) {
    for (QMessageBox* box : window->findChildren<QMessageBox*>())
        if (box->isVisible())
            return box;
    return nullptr;
}

// The alert shown over `window`, answered with OK; none when there is none.
inline std::optional<Alert> answerAlert(const QWidget* window) {
    QMessageBox* box = visibleAlert(window);
    if (!box)
        return std::nullopt;
    const Alert shown{box->text(), box->informativeText()};
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return !box->isVisible(); }, 5000))
        throw std::runtime_error("the alert did not go away");
    return shown;
}

} // namespace dcv::test
