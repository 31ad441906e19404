// The play clock between the player's reports, driven by a scripted time.
#include "player/PlayClock.h"

#include <gtest/gtest.h>
#include <vector>

using namespace dcv;

namespace {

// One step of a script: at `now` something happens to the clock, then it reads `expected`.
struct Step {
    int64_t now;
    enum Kind { Report, Play, Pause, Seek, Rate, Read } kind;
    double value; // the time told, the seek target or the rate
    int64_t expected;
    bool running;
};

struct Script {
    const char* name;
    int64_t length;
    std::vector<Step> steps;
};

} // namespace

TEST(PlayClockTest, FollowsReportsPausesSeeksAndRatesWithinTheRecording) {
    using S = Step;
    const Script scripts[] = {
        // The player reports a little behind the clock, then a little ahead: the report wins.
        {"plain play",
         60000,
         {{1000, S::Play, 0, 0, true},
          {1350, S::Read, 0, 350, true},
          {1400, S::Report, 380, 380, true},
          {1500, S::Read, 0, 480, true},
          {1800, S::Report, 820, 820, true}}},
        // A report while paused (a seek shown paused) moves it without running.
        {"pause and resume",
         60000,
         {{0, S::Play, 5000, 5000, true},
          {400, S::Pause, 5390, 5390, false},
          {5000, S::Read, 0, 5390, false},
          {5100, S::Report, 7000, 7000, false},
          {6000, S::Play, 7000, 7000, true},
          {6250, S::Read, 0, 7250, true}}},
        // libVLC says playing again after a seek: the hold stays until a report from there.
        {"seek while playing",
         60000,
         {{0, S::Play, 1000, 1000, true},
          {300, S::Seek, 20000, 20000, false},
          {950, S::Play, 1950, 20000, false},
          {1000, S::Report, 20040, 20040, true},
          {1100, S::Read, 0, 20140, true}}},
        {"seek while paused",
         60000,
         {{0, S::Pause, 4000, 4000, false},
          {10, S::Seek, 2000, 2000, false},
          {500, S::Report, 2010, 2010, false}}},
        // A rate change keeps the time run so far; while paused it takes effect when play goes
        // on; no rate of 0 or below.
        {"1x then 2x then 1x",
         60000,
         {{0, S::Play, 0, 0, true},
          {1000, S::Rate, 2.0, 1000, true},
          {1500, S::Read, 0, 2000, true},
          {1600, S::Report, 2150, 2150, true},
          {1700, S::Read, 0, 2350, true},
          {2000, S::Rate, 1.0, 2950, true},
          {2100, S::Pause, 3050, 3050, false},
          {2200, S::Rate, 2.0, 3050, false},
          {3000, S::Play, 3050, 3050, true},
          {3100, S::Rate, 0.0, 3250, true},
          {3200, S::Read, 0, 3450, true}}},
        // Reports come late at the end; nothing leaves the recording.
        {"the end",
         10000,
         {{0, S::Play, 9800, 9800, true},
          {400, S::Read, 0, 10000, true},
          {420, S::Pause, 10000, 10000, false},
          {420, S::Seek, -50, 0, false},
          {430, S::Report, 12000, 10000, false}}},
        {"length unknown", 0, {{0, S::Play, 0, 0, true}, {70000, S::Read, 0, 70000, true}}},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        PlayClock clock;
        clock.setLength(script.length);
        for (size_t i = 0; i < script.steps.size(); ++i) {
            const Step& s = script.steps[i];
            switch (s.kind) {
            case S::Report:
                clock.report(int64_t(s.value), s.now);
                break;
            case S::Play:
                clock.play(int64_t(s.value), s.now);
                break;
            case S::Pause:
                clock.pause(int64_t(s.value));
                break;
            case S::Seek:
                clock.seek(int64_t(s.value));
                break;
            case S::Rate:
                clock.setRate(s.value, s.now);
                break;
            case S::Read:
                break;
            }
            EXPECT_EQ(clock.timeAt(s.now), s.expected) << "step " << i;
            EXPECT_EQ(clock.running(), s.running) << "step " << i;
        }
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
