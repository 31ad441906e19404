#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

class QPropertyAnimation;

namespace dcv {

// The borderless main window: dragged by its background, never above the top of the visible
// area; full screen is its own geometry (the whole screen), left again with Escape.
class CustomWindow : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool isFullScreen READ isFullScreen NOTIFY isFullScreenChanged)
public:
    explicit CustomWindow(const QRect& contentRect = {}, QWidget* parent = nullptr);

    QRect initialFrame() const { return m_initialFrame; }
    void setInitialFrame(const QRect& frame) { m_initialFrame = frame; }
    QPoint initialLocation() const { return m_initialLocation; }

    bool isFullScreen() const { return m_isFullScreen; }
    void enterFullscreen();
    void leaveFullscreen();

    // Sets the frame, redisplaying; animated unless animations are off.
    void setFrame(const QRect& frame, bool animate);
    // Length of frame animations; 0 sets frames at once (tests use it).
    static void setAnimationDuration(int milliseconds);

    void mouseDown(const QPoint& locationInWindow);
    void mouseDragged(const QPoint& globalLocation);
    // The drag rule on plain rectangles: the origin for a drag that moved the mouse to a
    // global location, kept below the top of the visible area.
    static QPoint draggedOrigin(const QPoint& globalLocation, const QPoint& initialLocation,
                                const QSize& frameSize, const QRect& visibleArea);

    // A borderless window must still take keyboard input.
    bool canBecomeKeyWindow() const { return true; }

signals:
    void isFullScreenChanged(bool fullScreen);
    // Emitted once, after the first paint of the window.
    void firstPaint();
    void windowWillClose();
    void contentResized();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect m_initialFrame;
    QPoint m_initialLocation;
    bool m_isFullScreen = false;
    bool m_dragging = false;
    bool m_painted = false;
    QPropertyAnimation* m_animation = nullptr;
};

} // namespace dcv
