#include "widgets/CustomWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

namespace dcv {

namespace {
int g_animationMs = 160;
} // namespace

void CustomWindow::setAnimationDuration(int milliseconds) {
    g_animationMs = std::max(0, milliseconds);
}

CustomWindow::CustomWindow(const QRect& contentRect, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setFocusPolicy(Qt::StrongFocus);
    if (contentRect.isValid())
        resize(contentRect.size());
    if (QScreen* s = screen()) {
        const QRect visible = s->availableGeometry();
        move(visible.topLeft() + QPoint((visible.width() - width()) / 2, (visible.height() - height()) / 2));
    }
}

void CustomWindow::setFrame(const QRect& frame, bool animate) {
    if (m_animation) {
        m_animation->stop();
        delete m_animation;
        m_animation = nullptr;
    }
    if (!animate || g_animationMs == 0 || !isVisible()) {
        setGeometry(frame);
        update();
        return;
    }
    m_animation = new QPropertyAnimation(this, "geometry", this);
    m_animation->setDuration(g_animationMs);
    m_animation->setStartValue(geometry());
    m_animation->setEndValue(frame);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    m_animation->start();
}

void CustomWindow::enterFullscreen() {
    if (m_isFullScreen)
        return;
    m_isFullScreen = true;
    emit isFullScreenChanged(true);
    if (m_initialFrame.width() == 0 || m_initialFrame.height() == 0)
        m_initialFrame = geometry();
    if (const QScreen* s = screen())
        setFrame(s->geometry(), true);
}

void CustomWindow::leaveFullscreen() {
    if (!m_isFullScreen)
        return;
    m_isFullScreen = false;
    emit isFullScreenChanged(false);
    setFrame(m_initialFrame, true);
}

void CustomWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_isFullScreen) {
        leaveFullscreen();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CustomWindow::mouseDown(const QPoint& locationInWindow) {
    m_initialLocation = locationInWindow;
}

QPoint CustomWindow::draggedOrigin(const QPoint& globalLocation, const QPoint& initialLocation,
                                   const QSize& frameSize, const QRect& visibleArea) {
    Q_UNUSED(frameSize);
    // The window's origin plus the mouse's move in the window is the mouse's global place
    // less where it went down in the window.
    QPoint origin = globalLocation - initialLocation;
    if (origin.y() < visibleArea.top())
        origin.setY(visibleArea.top());
    return origin;
}

void CustomWindow::mouseDragged(const QPoint& globalLocation) {
    if (m_isFullScreen)
        return;
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRect visible = primary ? primary->availableGeometry() : QRect();
    move(draggedOrigin(globalLocation, m_initialLocation, size(), visible));
}

void CustomWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        mouseDown(event->position().toPoint());
        m_dragging = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CustomWindow::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        mouseDragged(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void CustomWindow::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void CustomWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_painted) {
        m_painted = true;
        // After this paint has reached the screen.
        QTimer::singleShot(0, this, &CustomWindow::firstPaint);
    }
}

} // namespace dcv

namespace dcv {

void CustomWindow::closeEvent(QCloseEvent* event) {
    emit windowWillClose();
    QWidget::closeEvent(event);
}

void CustomWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit contentResized();
}

} // namespace dcv
