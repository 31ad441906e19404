#include "widgets/PMProgressIndicator.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace dcv {

PMProgressIndicator::PMProgressIndicator(QWidget* parent)
    : QWidget(parent), m_animationTimer(new QTimer(this)) {
    m_animationTimer->setInterval(16);
    connect(m_animationTimer, &QTimer::timeout, this, [this] {
        m_phase = (m_phase + 1) % 90;
        update();
    });
}

void PMProgressIndicator::setMinValue(double v) {
    m_min = v;
    update();
}

void PMProgressIndicator::setMaxValue(double v) {
    m_max = v;
    update();
}

void PMProgressIndicator::setDoubleValue(double v) {
    m_value = v;
    update();
}

void PMProgressIndicator::setIndeterminate(bool flag) {
    m_indeterminate = flag;
    update();
}

void PMProgressIndicator::startAnimation() {
    if (m_indeterminate)
        m_animationTimer->start();
}

void PMProgressIndicator::stopAnimation() {
    m_animationTimer->stop();
    update();
}

bool PMProgressIndicator::isAnimating() const {
    return m_animationTimer->isActive();
}

void PMProgressIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    QPainterPath clip;
    clip.addRoundedRect(track, radius, radius);
    painter.fillPath(clip, QColor(0x2a, 0x2e, 0x35));
    painter.setClipPath(clip);
    const QColor accent(0xff, 0xa4, 0x1b);
    if (m_indeterminate) {
        // A short bar sweeping across, faded at both ends.
        const qreal w = track.width() * 0.35;
        const qreal x = track.left() - w + (track.width() + w) * (m_phase / 89.0);
        QLinearGradient g(x, 0, x + w, 0);
        g.setColorAt(0, QColor(accent.red(), accent.green(), accent.blue(), 0));
        g.setColorAt(0.5, accent);
        g.setColorAt(1, QColor(accent.red(), accent.green(), accent.blue(), 0));
        painter.fillRect(QRectF(x, track.top(), w, track.height()), g);
    } else if (m_max > m_min) {
        const qreal f = std::clamp((m_value - m_min) / (m_max - m_min), 0.0, 1.0);
        painter.fillRect(QRectF(track.left(), track.top(), track.width() * f, track.height()), accent);
    }
}

} // namespace dcv
