#pragma once

#include "widgets/TKImage.h"

#include <QWidget>

namespace dcv {

// The decorated background behind the video: a nine-part frame over the whole bounds and the
// product logo at its own size in the middle. Seen whenever no video is shown.
class TKVideoBackgroundImageView : public QWidget {
    Q_OBJECT
public:
    explicit TKVideoBackgroundImageView(QWidget* parent = nullptr);

    // Loads "<name>_top_left_corner" … "<name>_center_fill".
    void setBackgroundNineImageName(const QString& name);
    void setLogoImage(const TKImage& image);

    const TKImage& topLeftConerImage() const { return m_topLeftConerImage; }
    const TKImage& topRightConerImage() const { return m_topRightConerImage; }
    const TKImage& bottomLeftConerImage() const { return m_bottomLeftConerImage; }
    const TKImage& bottomRightConerImage() const { return m_bottomRightConerImage; }
    const TKImage& leftEdgeFillImage() const { return m_leftEdgeFillImage; }
    const TKImage& rightEdgeFillImage() const { return m_rightEdgeFillImage; }
    const TKImage& topEdgeFillImage() const { return m_topEdgeFillImage; }
    const TKImage& bottomEdgeFillImage() const { return m_bottomEdgeFillImage; }
    const TKImage& centerFillImage() const { return m_centerFillImage; }
    const TKImage& centerLogoImage() const { return m_centerLogoImage; }

    // Where the logo goes: its own size, centred in the bounds (may reach outside them).
    static QRectF logoRect(const QRectF& bounds, const QSizeF& logoSize);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TKImage m_topLeftConerImage, m_topRightConerImage, m_bottomLeftConerImage, m_bottomRightConerImage;
    TKImage m_leftEdgeFillImage, m_rightEdgeFillImage, m_topEdgeFillImage, m_bottomEdgeFillImage;
    TKImage m_centerFillImage, m_centerLogoImage;
};

// The container of the video view: it knows when the mouse is over it (with a margin of 4).
class DCVScrollableVideoContainerView : public QWidget {
    Q_OBJECT
public:
    explicit DCVScrollableVideoContainerView(QWidget* parent = nullptr);

    QRect mouseTrackingArea() const { return m_mouseTrackingArea; }
    void updateTrackingAreas();
    QPoint initialLocation() const { return m_initialLocation; }
    void setInitialLocation(QPoint p) { m_initialLocation = p; }

signals:
    void mouseEntered();
    void mouseExited();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect m_mouseTrackingArea;
    QPoint m_initialLocation;
};

} // namespace dcv
