// The play clock between the player's reports, driven by a scripted time.
#include "player/PlayClock.h"

#include <gtest/gtest.h>
#include <string>
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

void runScript(const char* name, std::vector<Step> steps, int64_t length = 60000) {
    SCOPED_TRACE(name);
    PlayClock clock;
    clock.setLength(length);
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        switch (s.kind) {
        case Step::Report:
            clock.report(int64_t(s.value), s.now);
            break;
        case Step::Play:
            clock.play(int64_t(s.value), s.now);
            break;
        case Step::Pause:
            clock.pause(int64_t(s.value));
            break;
        case Step::Seek:
            clock.seek(int64_t(s.value));
            break;
        case Step::Rate:
            clock.setRate(s.value, s.now);
            break;
        case Step::Read:
            break;
        }
        EXPECT_EQ(clock.timeAt(s.now), s.expected) << "step " << i;
        EXPECT_EQ(clock.running(), s.running) << "step " << i;
    }
}

} // namespace

TEST(PlayClockTest, RunsBetweenReportsAndFollowsEachReport) {
    runScript("plain play", {
                                {1000, Step::Play, 0, 0, true},
                                {1100, Step::Read, 0, 100, true},
                                {1350, Step::Read, 0, 350, true},
                                // The player reports a little behind the clock: the report wins.
                                {1400, Step::Report, 380, 380, true},
                                {1500, Step::Read, 0, 480, true},
                                // ...and a little ahead.
                                {1800, Step::Report, 820, 820, true},
                                {1850, Step::Read, 0, 870, true},
                            });
}

TEST(PlayClockTest, StandsStillWhilePausedAndRunsOnFromThePausedTime) {
    runScript("pause and resume", {
                                      {0, Step::Play, 5000, 5000, true},
                                      {400, Step::Pause, 5390, 5390, false},
                                      {5000, Step::Read, 0, 5390, false},
                                      // A report while paused (a seek shown paused) moves it without running.
                                      {5100, Step::Report, 7000, 7000, false},
                                      {6000, Step::Read, 0, 7000, false},
                                      {6000, Step::Play, 7000, 7000, true},
                                      {6250, Step::Read, 0, 7250, true},
                                  });
}

TEST(PlayClockTest, HoldsASeekTargetUntilThePlayerReportsFromThere) {
    runScript("seek while playing", {
                                        {0, Step::Play, 1000, 1000, true},
                                        {300, Step::Seek, 20000, 20000, false},
                                        {900, Step::Read, 0, 20000, false},
                                        // libVLC says playing again after a seek: the hold stays.
                                        {950, Step::Play, 1950, 20000, false},
                                        {1000, Step::Report, 20040, 20040, true},
                                        {1100, Step::Read, 0, 20140, true},
                                    });
    runScript("seek while paused", {
                                       {0, Step::Pause, 4000, 4000, false},
                                       {10, Step::Seek, 2000, 2000, false},
                                       {500, Step::Report, 2010, 2010, false},
                                       {900, Step::Read, 0, 2010, false},
                                   });
}

TEST(PlayClockTest, ARateChangeKeepsTheTimeRunSoFar) {
    runScript("1x then 2x then 1x", {
                                        {0, Step::Play, 0, 0, true},
                                        {1000, Step::Rate, 2.0, 1000, true},
                                        {1500, Step::Read, 0, 2000, true},
                                        {1600, Step::Report, 2150, 2150, true},
                                        {1700, Step::Read, 0, 2350, true},
                                        {2000, Step::Rate, 1.0, 2950, true},
                                        {2100, Step::Read, 0, 3050, true},
                                        // A rate change while paused takes effect when play goes on.
                                        {2100, Step::Pause, 3050, 3050, false},
                                        {2200, Step::Rate, 2.0, 3050, false},
                                        {3000, Step::Play, 3050, 3050, true},
                                        {3100, Step::Read, 0, 3250, true},
                                        {3100, Step::Rate, 0.0, 3250, true}, // no rate of 0 or below
                                        {3200, Step::Read, 0, 3450, true},
                                    });
}

TEST(PlayClockTest, NeverLeavesTheRecording) {
    runScript("the end",
              {
                  {0, Step::Play, 9800, 9800, true},
                  {150, Step::Read, 0, 9950, true},
                  {400, Step::Read, 0, 10000, true}, // reports come late at the end
                  {420, Step::Pause, 10000, 10000, false},
                  {420, Step::Seek, -50, 0, false},
                  {430, Step::Report, 12000, 10000, false},
              },
              10000);
    runScript("length unknown",
              {
                  {0, Step::Play, 0, 0, true},
                  {70000, Step::Read, 0, 70000, true},
              },
              0);
}

TEST(PlayClockTest, PositionIsTheShareOfTheLength) {
    PlayClock clock;
    EXPECT_EQ(clock.positionAt(0), 0.0);
    clock.setLength(8000);
    clock.play(2000, 0);
    EXPECT_DOUBLE_EQ(clock.positionAt(0), 0.25);
    EXPECT_DOUBLE_EQ(clock.positionAt(2000), 0.5);
    EXPECT_DOUBLE_EQ(clock.positionAt(9000), 1.0);
}
