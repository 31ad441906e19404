#include "widgets/ProgressEstimate.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace dcv {

namespace {

constexpr double kAtEnd = 0.00001;
constexpr double kSlideSeconds = 3.5;
constexpr double kFirstEstimateSeconds = 0.5;

std::string percentText(double fraction, const std::optional<std::string>& estimate) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f %% completed", fraction * 100);
    std::string text = buffer;
    if (estimate)
        text += " - " + *estimate;
    return text;
}

} // namespace

std::string remainingTimeText(double seconds) {
    if (seconds > 615) {
        // Whole minutes, rounded up from a quarter past; an absurd wait still gives a number.
        const double minutes = std::floor(seconds / 60 + 0.75);
        const int shown =
            minutes < std::numeric_limits<int>::max() ? int(minutes) : std::numeric_limits<int>::max();
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "About %d minutes remaining", shown);
        return buffer;
    }
    static const struct {
        double above;
        const char* text;
    } rows[] = {
        {555, "About ten minutes remaining"},   {495, "About nine minutes remaining"},
        {435, "About eight minutes remaining"}, {375, "About seven minutes remaining"},
        {315, "About six minutes remaining"},   {255, "About five minutes remaining"},
        {195, "About four minutes remaining"},  {135, "About three minutes remaining"},
        {75, "About two minutes remaining"},    {50, "About one minute remaining"},
        {10, "Less than a minute remaining"},   {5, "About ten seconds remaining"},
    };
    for (const auto& row : rows)
        if (seconds > row.above)
            return row.text;
    return "About five seconds remaining";
}

std::optional<std::string> ProgressEstimate::update(const Bar& bar, double now) {
    const double span = bar.maximum - bar.minimum;
    // A moving stripe has no share done; neither has a bar without a range or a value.
    if (bar.indeterminate || !(span > 0) || !std::isfinite(bar.value))
        return std::string();
    // The reference fraction is measured like the current one, so a bar whose minimum is not
    // 0 gets a true rate.
    const double fraction = (bar.value - bar.minimum) / span;
    std::optional<std::string> text;
    if (bar.value < bar.minimum + kAtEnd) {
        m_startTime.reset();
        m_startTime2.reset();
    }
    if (!m_startTime) {
        m_startTime = now;
        m_startFraction = fraction;
        text = std::string();
    }
    if (now - *m_startTime > kSlideSeconds && !m_startTime2) {
        m_startTime2 = now;
        m_startFraction2 = fraction;
    }
    if (m_startTime2 && now - *m_startTime2 > kSlideSeconds) {
        m_startTime = m_startTime2;
        m_startFraction = m_startFraction2;
        m_startTime2.reset();
    }
    const double elapsed = now - *m_startTime;
    std::optional<std::string> estimate;
    bool unknown = false;
    if (elapsed > kFirstEstimateSeconds && displayTimeRemaining) {
        const double rate = (fraction - m_startFraction) / elapsed;
        if (rate > 0)
            estimate = remainingTimeText((1 - fraction) / rate);
        else
            unknown = true; // stalled or gone back: an old estimate would be a false promise
    }
    if (displayPercentage)
        return percentText(fraction, estimate);
    if (estimate)
        return estimate;
    if (unknown)
        return std::string();
    return text;
}

} // namespace dcv
