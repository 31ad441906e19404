#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// The rules of the playback controls as plain functions: what a jump, a slider move, the play
// button, the volume, speed and size steps and the end of a recording do, decided from plain
// values. The controller applies the decisions to the player and the window.
namespace dcv {

inline constexpr double kJumpSeconds = 10;
inline constexpr uint64_t kVolumeStep = 10, kVolumeMax = 200, kVolumeStart = 70;
inline constexpr double kSpeedStep = 1.0, kSpeedMin = 1.0, kSpeedMax = 2.0;
// A player position or slider value at or after this is the end of the recording.
inline constexpr double kEndZone = 0.998;
// Paused at or after this position, a recording has ended (a user's pause this late counts too).
inline constexpr double kEndOfRecording = 0.988;
// One size step is this share of the smallest window; growing stops this far from the screen's
// bottom and goes to full screen instead.
inline constexpr double kSizeStepRatio = 0.2;
inline constexpr int kScreenMargin = 100;
// Resolution of the position sliders (their range is 0 .. this).
inline constexpr int kPositionSliderSteps = 10000;

struct WindowSize {
    int width = 0, height = 0;
    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};
inline constexpr WindowSize kMinWindowSize{1020, 640};

// The delays of the playback rules, in milliseconds. Tests shorten them and wait on signals.
struct PlaybackTimings {
    int endCheckInterval = 1000;  // the repeating end-of-recording check
    int playNextDelay = 1000;     // from a detected end to the start of the next row
    int resumeDelay = 100;        // play after the time was set on an ended recording
    int sliderReseekDelay = 100;  // a backward slider move is applied a second time
    int jumpReseekDelay = 200;    // so is a backward jump
    int settleAfterForward = 300; // the seeking window after a forward move or jump
    int settleAfterSliderBack = 200;
    int settleAfterJumpBack = 100;
    int loadingTick = 300;        // the loading indicator's step
    int playStartTimeout = 10000; // a start without a time change by then has failed
    // The play position is published this often while playing (the telemetry's own rate is
    // 10 samples per second).
    int publishInterval = 100; // at the longest; else when the next telemetry sample begins
    // A steady clock in milliseconds for the play clock; the process's own when empty.
    std::function<int64_t()> clock;
};

// The recording has ended: paused, at or after the end-of-recording position.
bool hasEnded(bool paused, double position);
// The row that follows an ended one; none after the last.
std::optional<int64_t> nextRow(int64_t index, int64_t count);

enum class JumpKind {
    Ignored, // a seek is still settling, or there is no recording
    ToEnd,   // fewer than 10 s left (or no length known): go to the end
    ToStart, // fewer than 10 s played: go to the start
    Seek,    // a seek to `target`
};
struct Jump {
    JumpKind kind = JumpKind::Ignored;
    double target = 0;
    friend bool operator==(const Jump&, const Jump&) = default;
};
// Times in milliseconds; the remaining time is negative, as the player reports it.
Jump jumpForward(bool moving, int64_t remainingMs, int64_t lengthMs, double position);
Jump jumpBackward(bool moving, int64_t timeMs, int64_t lengthMs, double position);

// A position slider let go at `value` while the player was at `oldPosition`.
enum class SliderMove {
    ToEnd,    // at the end zone: the player goes to the end of the recording
    Forward,  // one seek
    Backward, // a seek applied twice (libVLC often lands after the target at first)
};
SliderMove sliderMove(double value, double oldPosition);

enum class PlayButton {
    Nothing,
    Pause,
    Restart,          // ended with the slider at the end: the recording starts again
    ResumeFromSlider, // ended with the slider moved back: play from the slider's place
    Play,
};
// `shownPlaying` is the play state the button shows, `playerPlaying` what the player says.
PlayButton playButton(bool shownPlaying, bool playerPlaying, double playerPosition, double sliderValue);

uint64_t volumeUp(uint64_t volume);
uint64_t volumeDown(uint64_t volume);
// None when the speed is already at its bound.
std::optional<double> fasterSpeed(double speed);
std::optional<double> slowerSpeed(double speed);

enum class SizeStepKind { Nothing, EnterFullScreen, LeaveFullScreen, Resize };
struct SizeStep {
    SizeStepKind kind = SizeStepKind::Nothing;
    WindowSize size;
    friend bool operator==(const SizeStep&, const SizeStep&) = default;
};
// A window of `frame` grown (step > 0) or shrunk by size steps on a screen of `screen`. Step 0
// re-applies the size, or leaves full screen.
SizeStep sizeStep(WindowSize frame, int step, WindowSize screen, bool fullScreen);

} // namespace dcv
