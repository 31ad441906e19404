#include "widgets/PMProgressIndicator.h"

#include "widgets/PMProgressIndicatorController.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace dcv {

namespace {

// A value this close to either end counts as the end: the bar leaves the icon.
constexpr double kAtEnd = 0.00001;

} // namespace

PMProgressIndicator::PMProgressIndicator(QWidget* parent)
    : QWidget(parent), m_animationTimer(new QTimer(this)), m_clock([] {
          using namespace std::chrono;
          return duration<double>(steady_clock::now().time_since_epoch()).count();
      }) {
    m_animationTimer->setInterval(16);
    connect(m_animationTimer, &QTimer::timeout, this, [this] {
        m_phase = (m_phase + 1) % 90;
        update();
    });
}

PMProgressIndicator::~PMProgressIndicator() {
    if (m_controller)
        m_controller->removeProgressIndicator(this);
}

PMProgressIndicatorController* PMProgressIndicator::controller() {
    if (!m_controller)
        m_controller = PMProgressIndicatorController::sharedInstance();
    return m_controller;
}

void PMProgressIndicator::setController(PMProgressIndicatorController* controller) {
    if (m_controller && m_controller != controller)
        m_controller->removeProgressIndicator(this);
    m_controller = controller;
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
    // Whole steps only: a bar of 0 to 100 is redrawn, and its estimate recomputed, at most a
    // hundred times.
    const double whole = std::trunc(std::trunc(v) + 0.5);
    const int32_t rounded =
        std::isfinite(whole) ? int32_t(std::clamp(whole, -2147483648.0, 2147483647.0)) : 0;
    if (rounded == m_lastValue)
        return;
    m_value = v;
    m_lastValue = rounded;
    update();
    if (m_drawDockProgress) {
        if (PMProgressIndicatorController* c = controller()) {
            c->addProgressIndicator(this);
            const double f = (v - m_min) / (m_max - m_min);
            if (!(f <= 1 - kAtEnd && f >= kAtEnd))
                c->removeProgressIndicator(this);
        }
    }
    if (m_progressText)
        updateProgressText();
}

void PMProgressIndicator::setIndeterminate(bool flag) {
    m_indeterminate = flag;
    update();
    if (m_controller && m_controller->contains(this))
        m_controller->setNeedsDisplay();
}

void PMProgressIndicator::setProgressText(QLabel* label) {
    m_progressText = label;
}

QLabel* PMProgressIndicator::progressText() const {
    return m_progressText;
}

void PMProgressIndicator::updateProgressText() {
    if (!m_progressText)
        return;
    const auto text = m_estimate.update({m_value, m_min, m_max, m_indeterminate}, m_clock());
    if (text)
        m_progressText->setText(QString::fromStdString(*text));
}

void PMProgressIndicator::setDrawDockProgress(bool flag) {
    m_drawDockProgress = flag;
    if (PMProgressIndicatorController* c = controller()) {
        if (flag)
            c->addProgressIndicator(this);
        else
            c->removeProgressIndicator(this);
    }
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
