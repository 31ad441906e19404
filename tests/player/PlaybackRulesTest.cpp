// The rules of the playback controls on plain values.
#include "player/PlaybackRules.h"

#include <gtest/gtest.h>

using namespace dcv;

TEST(PlaybackRulesTest, ARecordingHasEndedWhenPausedInItsLastPercent) {
    struct Case {
        bool paused;
        double position;
        bool ended;
    } cases[] = {{true, 0.988, true}, {true, 0.9879, false}, {true, 1.0, true}, {false, 0.999, false}};
    for (const Case& c : cases)
        EXPECT_EQ(hasEnded(c.paused, c.position), c.ended) << c.paused << " " << c.position;

    EXPECT_EQ(nextRow(3, 6), 4);
    EXPECT_EQ(nextRow(5, 6), std::nullopt);
    EXPECT_EQ(nextRow(-1, 0), std::nullopt);
}

// The plain jumps each way are seen reaching the player in the controls' tests; here the edges.
TEST(PlaybackRulesTest, JumpsGoTenSecondsOrToTheEnds) {
    struct Case {
        const char* name;
        bool forward, moving;
        int64_t timeMs, lengthMs;
        double position;
        Jump expected;
    } cases[] = {
        {"forward with exactly 10 s left", true, false, 90000, 100000, 0.9, {JumpKind::Seek, 1.0}},
        {"forward without a length", true, false, 0, 0, 0, {JumpKind::ToEnd, 1.0}},
        {"forward while settling", true, true, 50000, 100000, 0.5, {}},
        {"backward never before 0", false, false, 12000, 100000, 0.05, {JumpKind::Seek, 0}},
        {"backward while settling", false, true, 50000, 100000, 0.5, {}},
    };
    for (const Case& c : cases) {
        const Jump j = c.forward ? jumpForward(c.moving, c.timeMs - c.lengthMs, c.lengthMs, c.position)
                                 : jumpBackward(c.moving, c.timeMs, c.lengthMs, c.position);
        EXPECT_EQ(j.kind, c.expected.kind) << c.name;
        EXPECT_NEAR(j.target, c.expected.target, 1e-9) << c.name;
    }
}

TEST(PlaybackRulesTest, SliderMovesAndThePlayButton) {
    EXPECT_EQ(sliderMove(0.998, 0.2), SliderMove::ToEnd);
    EXPECT_EQ(sliderMove(0.5, 0.2), SliderMove::Forward);
    EXPECT_EQ(sliderMove(0.5, 0.5), SliderMove::Forward);
    EXPECT_EQ(sliderMove(0.2, 0.5), SliderMove::Backward);

    struct Case {
        bool shownPlaying, playerPlaying;
        double position, slider;
        PlayButton expected;
    } cases[] = {
        {true, true, 0.5, 0.5, PlayButton::Pause},
        {true, false, 0.5, 0.5, PlayButton::Nothing}, // shown playing, the player has stopped at 00:00
        {false, false, 0.999, 0.998, PlayButton::Restart},
        {false, false, 0.998, 0.25, PlayButton::ResumeFromSlider},
        {false, false, 0.997, 0.999, PlayButton::Play},
    };
    for (const Case& c : cases)
        EXPECT_EQ(playButton(c.shownPlaying, c.playerPlaying, c.position, c.slider), c.expected)
            << c.shownPlaying << c.playerPlaying << " " << c.position << " " << c.slider;
}

TEST(PlaybackRulesTest, VolumeAndSpeedStayWithinTheirBounds) {
    struct {
        uint64_t volume, up, down;
    } volumes[] = {{195, 200, 185}, {200, 200, 190}, {70, 80, 60}, {5, 15, 0}, {0, 10, 0}, {10, 20, 0}};
    for (const auto& v : volumes) {
        EXPECT_EQ(volumeUp(v.volume), v.up) << v.volume;
        EXPECT_EQ(volumeDown(v.volume), v.down) << v.volume;
    }
    EXPECT_EQ(fasterSpeed(1.0), 2.0);
    EXPECT_EQ(fasterSpeed(2.0), std::nullopt);
    EXPECT_EQ(slowerSpeed(2.0), 1.0);
    EXPECT_EQ(slowerSpeed(1.0), std::nullopt);
}

TEST(PlaybackRulesTest, SizeStepsGrowUpToTheScreenAndNeverShrinkBelowTheMinimum) {
    const WindowSize screen{1920, 1080};
    struct Case {
        const char* name;
        WindowSize frame;
        int step;
        bool fullScreen;
        SizeStep expected;
    } cases[] = {
        {"one step down", {1224, 768}, -1, false, {SizeStepKind::Resize, {1020, 640}}},
        {"never below the minimum", {1100, 700}, -1, false, {SizeStepKind::Resize, {1020, 640}}},
        {"step 0 re-applies", {1100, 700}, 0, false, {SizeStepKind::Resize, {1100, 700}}},
        {"past the screen's height less 100", {1224, 880}, 1, false, {SizeStepKind::EnterFullScreen, {}}},
        {"up to the screen's height less 100", {1224, 852}, 1, false, {SizeStepKind::Resize, {1428, 980}}},
        {"past the screen's width", {1800, 640}, 1, false, {SizeStepKind::EnterFullScreen, {}}},
        {"up in full screen", {1920, 1080}, 1, true, {}},
        {"a new recording in full screen", {1920, 1080}, 0, true, {SizeStepKind::LeaveFullScreen, {}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sizeStep(c.frame, c.step, screen, c.fullScreen), c.expected) << c.name;
}
