#include "widgets/TKImage.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace dcv {

namespace {

QString stemOf(const QString& name) {
    QString stem = name;
    if (stem.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ||
        stem.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        stem.chop(4);
    return stem;
}

QPixmap loadPixmap(const QString& stem) {
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const QString svgPath = QStringLiteral(":/images/%1.svg").arg(stem);
    if (QFile::exists(svgPath)) {
        QSvgRenderer renderer(svgPath);
        if (!renderer.isValid())
            return {};
        const QSize points = renderer.defaultSize();
        QPixmap pixmap(points * ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(points * ratio)));
        painter.end();
        pixmap.setDevicePixelRatio(ratio);
        return pixmap;
    }
    QPixmap pixmap(QStringLiteral(":/images/%1.png").arg(stem));
    return pixmap;
}

} // namespace

TKImage TKImage::imageNamed(const QString& name) {
    const QString stem = stemOf(name);
    if (stem.isEmpty())
        return {};
    // Images are immutable and used by many views: load each name once.
    static QHash<QString, TKImage> cache;
    auto it = cache.constFind(stem);
    if (it != cache.constEnd())
        return *it;
    TKImage image;
    image.m_pixmap = loadPixmap(stem);
    if (!image.m_pixmap.isNull())
        image.m_name = stem;
    cache.insert(stem, image);
    return image;
}

QSize TKImage::size() const {
    if (m_pixmap.isNull())
        return {};
    return (QSizeF(m_pixmap.size()) / m_pixmap.devicePixelRatio()).toSize();
}

void TKImage::draw(QPainter& painter, const QRectF& target) const {
    if (m_pixmap.isNull())
        return;
    painter.drawPixmap(target, m_pixmap, QRectF(QPointF(0, 0), QSizeF(m_pixmap.size())));
}

void drawThreePartImage(QPainter& painter, const QRectF& frame, const TKImage& left, const TKImage& middle,
                        const TKImage& right) {
    const qreal lw = left.isNull() ? 0 : left.size().width();
    const qreal rw = right.isNull() ? 0 : right.size().width();
    // Caps wider than the frame share it, as the platform's three-part drawing does.
    qreal l = lw, r = rw;
    if (l + r > frame.width() && l + r > 0) {
        l = frame.width() * lw / (lw + rw);
        r = frame.width() - l;
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(1.0);
    left.draw(painter, QRectF(frame.left(), frame.top(), l, frame.height()));
    middle.draw(painter, QRectF(frame.left() + l, frame.top(), frame.width() - l - r, frame.height()));
    right.draw(painter, QRectF(frame.right() - r, frame.top(), r, frame.height()));
}

} // namespace dcv
