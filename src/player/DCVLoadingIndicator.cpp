#include "player/DCVLoadingIndicator.h"

#include "widgets/PMProgressIndicator.h"

#include <QTimer>

namespace dcv {

DCVLoadingIndicator::DCVLoadingIndicator(PMProgressIndicator* bar, QWidget* over, int tickMilliseconds)
    : QObject(bar), m_bar(bar), m_over(over), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setInterval(tickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, [this] { updateLoadingWindow(kDurationSeconds); });
}

bool DCVLoadingIndicator::isTicking() const {
    return m_timer->isActive();
}

void DCVLoadingIndicator::showLoading(const QString& text) {
    Q_UNUSED(text);
    m_bar->setIndeterminate(true);
    m_bar->setUsesThreadedAnimation(true);
    m_stopVideoLoadingView = false;
    m_progress = 0;
    m_ticks = 0;
    m_bar->show();
    m_bar->raise();
    m_bar->setDoubleValue(m_bar->minValue());
    m_bar->move((m_over->width() - m_bar->width()) / 2, m_bar->y());
    if (m_bar->isIndeterminate())
        m_bar->startAnimation();
    m_timer->start();
}

void DCVLoadingIndicator::updateLoadingWindow(double durationSeconds) {
    ++m_ticks;
    m_progress += 100.0 / (durationSeconds / 0.3);
    m_bar->setDoubleValue(m_progress);
    if (m_progress < 100 && !m_stopVideoLoadingView) {
        m_timer->start();
        return;
    }
    m_bar->setDoubleValue(m_bar->minValue());
    m_bar->stopAnimation();
    m_bar->hide();
    m_stopVideoLoadingView = true;
    emit finished();
}

} // namespace dcv
