// The play clock between the player's reports, driven by a scripted time.
#include "player/PlayClock.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace dcv;

namespace {

// One step of a script: at `now` something happens to the clock, then it reads `expected`. A new
// script name starts a new clock, of a 60 s recording unless a Length step says otherwise.
struct Step {
    const char* script;
    int64_t now;
    enum Kind { Length, Report, Play, Pause, Seek, Rate, Read } kind;
    double value; // the length, the time told, the seek target or the rate
    int64_t expected;
    bool running;
};

} // namespace

TEST(PlayClockTest, FollowsReportsPausesSeeksAndRatesWithinTheRecording) {
    using S = Step;
    const Step steps[] = {
        // The player reports a little behind the clock, then a little ahead: the report wins.
        {"play", 1000, S::Play, 0, 0, true},
        {"play", 1350, S::Read, 0, 350, true},
        {"play", 1400, S::Report, 380, 380, true},
        {"play", 1500, S::Read, 0, 480, true},
        {"play", 1800, S::Report, 820, 820, true},
        // A report while paused (a seek shown paused) moves it without running.
        {"pause", 0, S::Play, 5000, 5000, true},
        {"pause", 400, S::Pause, 5390, 5390, false},
        {"pause", 5000, S::Read, 0, 5390, false},
        {"pause", 5100, S::Report, 7000, 7000, false},
        {"pause", 6000, S::Play, 7000, 7000, true},
        {"pause", 6250, S::Read, 0, 7250, true},
        // libVLC says playing again after a seek: the hold stays until a report from there.
        {"seek", 0, S::Play, 1000, 1000, true},
        {"seek", 300, S::Seek, 20000, 20000, false},
        {"seek", 950, S::Play, 1950, 20000, false},
        {"seek", 1000, S::Report, 20040, 20040, true},
        {"seek", 1100, S::Read, 0, 20140, true},
        // A rate change keeps the time run so far; while paused it takes effect when play goes
        // on; no rate of 0 or below.
        {"rates", 0, S::Play, 0, 0, true},
        {"rates", 1000, S::Rate, 2.0, 1000, true},
        {"rates", 1500, S::Read, 0, 2000, true},
        {"rates", 1600, S::Report, 2150, 2150, true},
        {"rates", 1700, S::Read, 0, 2350, true},
        {"rates", 2000, S::Rate, 1.0, 2950, true},
        {"rates", 2100, S::Pause, 3050, 3050, false},
        {"rates", 2200, S::Rate, 2.0, 3050, false},
        {"rates", 3000, S::Play, 3050, 3050, true},
        {"rates", 3100, S::Rate, 0.0, 3250, true},
        {"rates", 3200, S::Read, 0, 3450, true},
        // Reports come late at the end; nothing leaves the recording, a seek while paused neither.
        {"end", 0, S::Length, 10000, 0, false},
        {"end", 0, S::Play, 9800, 9800, true},
        {"end", 400, S::Read, 0, 10000, true},
        {"end", 420, S::Pause, 10000, 10000, false},
        {"end", 420, S::Seek, -50, 0, false},
        {"end", 430, S::Report, 12000, 10000, false},
        {"no length", 0, S::Length, 0, 0, false},
        {"no length", 0, S::Play, 0, 0, true},
        {"no length", 70000, S::Read, 0, 70000, true},
    };
    std::optional<PlayClock> clock;
    std::string script;
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.script) + " at " + std::to_string(s.now));
        if (script != s.script) {
            script = s.script;
            clock.emplace();
            clock->setLength(60000);
        }
        switch (s.kind) {
        case S::Length:
            clock->setLength(int64_t(s.value));
            break;
        case S::Report:
            clock->report(int64_t(s.value), s.now);
            break;
        case S::Play:
            clock->play(int64_t(s.value), s.now);
            break;
        case S::Pause:
            clock->pause(int64_t(s.value));
            break;
        case S::Seek:
            clock->seek(int64_t(s.value));
            break;
        case S::Rate:
            clock->setRate(s.value, s.now);
            break;
        case S::Read:
            break;
        }
        EXPECT_EQ(clock->timeAt(s.now), s.expected);
        EXPECT_EQ(clock->running(), s.running);
    }
}

TEST(PlayClockTest, PositionIsTheShareOfTheLength) {
    PlayClock clock;
    EXPECT_EQ(clock.positionAt(0), 0.0);
    clock.setLength(8000);
    clock.play(2000, 0);
    EXPECT_DOUBLE_EQ(clock.positionAt(2000), 0.5);
    EXPECT_DOUBLE_EQ(clock.positionAt(9000), 1.0);
}
