#pragma once

#include <cstdint>

namespace dcv {

// The play time between the player's own reports. libVLC tells the time only a few times a
// second; the telemetry of the picture on screen needs it ten times a second or more. So the
// clock runs from the last report at the play rate and is set right again by every report.
// It stands still while the player is paused or a seek settles, and never leaves 0 .. length.
// All times are in milliseconds; `now` is any steady clock the caller keeps.
class PlayClock {
public:
    // The recording's length; 0 while unknown (no upper bound then).
    void setLength(int64_t lengthMs) { m_length = lengthMs; }
    int64_t length() const { return m_length; }

    // The player says it is at `timeMs`. While a seek settles the first report after it ends
    // the hold.
    void report(int64_t timeMs, int64_t now);
    // The player plays (again) from `timeMs`.
    void play(int64_t timeMs, int64_t now);
    // The player stands at `timeMs` (paused, stopped, or at the end with the length).
    void pause(int64_t timeMs);
    // A seek to `targetMs` was asked for: the clock holds there until the next report.
    void seek(int64_t targetMs);
    // The rate changes from now on; the time run so far at the old rate is kept.
    void setRate(double rate, int64_t now);

    bool running() const { return m_playing && !m_holding; }
    double rate() const { return m_rate; }
    int64_t timeAt(int64_t now) const;
    // timeAt as a share of the length (0 .. 1); 0 while the length is unknown.
    double positionAt(int64_t now) const;

private:
    int64_t clamp(int64_t t) const;

    int64_t m_anchorTime = 0; // the time at m_anchorNow
    int64_t m_anchorNow = 0;
    int64_t m_length = 0;
    double m_rate = 1.0;
    bool m_playing = false;
    bool m_holding = false;
};

} // namespace dcv
