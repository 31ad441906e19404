#pragma once

#include <optional>
#include <string>

// The text beside a progress bar: the share done and an estimate of the time left, measured
// from the recent rate of progress. Plain values in, text out; the caller hands in the time.
namespace dcv {

// "About two minutes remaining" and its kin for a number of seconds left.
std::string remainingTimeText(double seconds);

class ProgressEstimate {
public:
    struct Bar {
        double value = 0, minimum = 0, maximum = 100;
        bool indeterminate = false;
    };

    bool displayPercentage = false;
    bool displayTimeRemaining = true;

    // The text for the bar at `now` (seconds on a steady clock), or nothing when the text
    // shown is to stay as it is. The rate is measured against a reference point that slides
    // forward every 3.5 s, so it covers the last 3.5 to 7 seconds.
    // No estimate is made in the first half second, nor while the bar has not moved forward
    // since the reference point (the time left is then unknown).
    std::optional<std::string> update(const Bar& bar, double now);

private:
    std::optional<double> m_startTime, m_startTime2;
    double m_startFraction = 0, m_startFraction2 = 0;
};

} // namespace dcv
