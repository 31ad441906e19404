// The text beside a progress bar: the time-left table and the rate measured over a sliding
// window, on plain values and hand-made times.
#include "widgets/ProgressEstimate.h"

#include <gtest/gtest.h>
#include <vector>

using namespace dcv;

TEST(ProgressEstimateTest, SecondsLeftBecomeTheTableText) {
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {700, "About 12 minutes remaining"}, // 11.67 + 0.75, cut
        {616, "About 11 minutes remaining"},
        {615, "About ten minutes remaining"},
        {556, "About ten minutes remaining"},
        {555, "About nine minutes remaining"},
        {436, "About eight minutes remaining"},
        {376, "About seven minutes remaining"},
        {316, "About six minutes remaining"},
        {256, "About five minutes remaining"},
        {196, "About four minutes remaining"},
        {136, "About three minutes remaining"},
        {135, "About two minutes remaining"},
        {75.5, "About two minutes remaining"},
        {75, "About one minute remaining"},
        {10.1, "Less than a minute remaining"},
        {10, "About ten seconds remaining"},
        {5, "About five seconds remaining"},
        {-3, "About five seconds remaining"},
        {1e300, "About 2147483647 minutes remaining"}, // no overflow into a negative count
    };
    for (const auto& c : cases)
        EXPECT_EQ(remainingTimeText(c.seconds), c.text) << c.seconds;
}

TEST(ProgressEstimateTest, TextsFollowTheRecentRate) {
    struct Step {
        double time, value;
    };
    const std::optional<std::string> unchanged;
    const struct Case {
        const char* name;
        std::vector<Step> steps;
        bool percentage;
        std::optional<std::string> last; // the text after the last step
        double minimum = 0, maximum = 100;
        bool timeRemaining = true;
    } cases[] = {
        {"first value starts the clock", {{0, 20}}, false, ""},
        {"20 to 30 in 5 s: 35 s left", {{0, 20}, {5, 30}}, false, "Less than a minute remaining"},
        {"half a second is too early", {{0, 20}, {0.5, 25}}, false, unchanged},
        {"too early with percentage", {{0, 20}, {0.5, 25}}, true, "25 % completed"},
        {"just past half a second", {{0, 20}, {0.6, 21}}, false, "Less than a minute remaining"},
        {"700 s left", {{0, 29.5}, {5, 30}}, false, "About 12 minutes remaining"},
        {"no time left asked for", {{0, 20}, {5, 30}}, false, unchanged, 0, 100, false},
        {"stalled: no estimate", {{0, 40}, {2, 40}}, false, ""},
        {"gone back: no estimate", {{0, 40}, {2, 30}}, false, ""},
        // Fast for 4 s, then slow: the reference point moved to 4 s, so the slow rate counts
        // (measured from 0 s it would say about ten seconds).
        {"the reference point slides", {{0, 10}, {4, 50}, {7.6, 51}}, false, "About three minutes remaining"},
        {"back at the minimum starts again", {{0, 50}, {10, 0}}, false, ""},
        {"and measures from there", {{0, 50}, {10, 0}, {12, 10}}, false, "Less than a minute remaining"},
        {"a bar from 100 to 200",
         {{0, 120}, {5, 130}},
         true,
         "30 % completed - Less than a minute remaining",
         100,
         200},
        {"a bar without a range", {{0, 100}, {5, 100}}, true, "", 100, 100},
    };
    for (const Case& c : cases) {
        ProgressEstimate estimate;
        estimate.displayPercentage = c.percentage;
        estimate.displayTimeRemaining = c.timeRemaining;
        std::optional<std::string> text;
        for (const Step& s : c.steps)
            text = estimate.update({s.value, c.minimum, c.maximum, false}, s.time);
        EXPECT_EQ(text, c.last) << c.name;
    }
}
