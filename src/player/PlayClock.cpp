#include "player/PlayClock.h"

#include <algorithm>
#include <cmath>

namespace dcv {

int64_t PlayClock::clamp(int64_t t) const {
    t = std::max<int64_t>(0, t);
    return m_length > 0 ? std::min(t, m_length) : t;
}

void PlayClock::report(int64_t timeMs, int64_t now) {
    m_anchorTime = clamp(timeMs);
    m_anchorNow = now;
    m_holding = false;
}

void PlayClock::play(int64_t timeMs, int64_t now) {
    m_playing = true;
    // A seek still settling keeps its target until the player reports from there.
    if (!m_holding)
        report(timeMs, now);
}

void PlayClock::pause(int64_t timeMs) {
    m_playing = false;
    m_holding = false;
    m_anchorTime = clamp(timeMs);
}

void PlayClock::seek(int64_t targetMs) {
    m_anchorTime = clamp(targetMs);
    m_holding = true;
}

void PlayClock::setRate(double rate, int64_t now) {
    if (rate <= 0)
        return;
    if (running()) {
        m_anchorTime = timeAt(now);
        m_anchorNow = now;
    }
    m_rate = rate;
}

int64_t PlayClock::timeAt(int64_t now) const {
    if (!running())
        return m_anchorTime;
    const double elapsed = double(std::max<int64_t>(0, now - m_anchorNow)) * m_rate;
    return clamp(m_anchorTime + int64_t(std::llround(elapsed)));
}

double PlayClock::positionAt(int64_t now) const {
    if (m_length <= 0)
        return 0;
    return double(timeAt(now)) / double(m_length);
}

} // namespace dcv
