#pragma once

#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace dcv {

// An image of the application's resources, known by its name. Names may carry a ".png"
// extension as the layouts write them ("record_n.png"); the stem picks the resource, an SVG
// (rendered once at the screen's pixel ratio) or a PNG.
class TKImage {
public:
    TKImage() = default;
    static TKImage imageNamed(const QString& name);

    bool isNull() const { return m_pixmap.isNull(); }
    // The name as it was asked for, without extension; empty for a null image.
    const QString& name() const { return m_name; }
    // Size in points (device-independent pixels).
    QSize size() const;
    const QPixmap& pixmap() const { return m_pixmap; }

    // Draws the whole image into the rectangle (stretched when the sizes differ).
    void draw(QPainter& painter, const QRectF& target) const;

    friend bool operator==(const TKImage& a, const TKImage& b) { return a.m_name == b.m_name; }

private:
    QString m_name;
    QPixmap m_pixmap;
};

// Horizontal three-part drawing: left cap and right cap at their widths, the middle stretched,
// all three stretched to the frame's height.
void drawThreePartImage(QPainter& painter, const QRectF& frame, const TKImage& left, const TKImage& middle,
                        const TKImage& right);

} // namespace dcv
