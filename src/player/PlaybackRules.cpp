#include "player/PlaybackRules.h"

#include <algorithm>
#include <cmath>

namespace dcv {

bool hasEnded(bool paused, double position) {
    return paused && position >= kEndOfRecording;
}

std::optional<int64_t> nextRow(int64_t index, int64_t count) {
    if (index + 1 < count)
        return index + 1;
    return std::nullopt;
}

Jump jumpForward(bool moving, int64_t remainingMs, int64_t lengthMs, double position) {
    if (moving)
        return {};
    if (double(remainingMs) / 1000.0 > -kJumpSeconds || lengthMs <= 0)
        return {JumpKind::ToEnd, 1.0};
    return {JumpKind::Seek, position + kJumpSeconds * 1000.0 / double(lengthMs)};
}

Jump jumpBackward(bool moving, int64_t timeMs, int64_t lengthMs, double position) {
    if (moving)
        return {};
    if (double(timeMs) / 1000.0 < kJumpSeconds || lengthMs <= 0)
        return {JumpKind::ToStart, 0.0};
    return {JumpKind::Seek, std::max(0.0, position - kJumpSeconds * 1000.0 / double(lengthMs))};
}

SliderMove sliderMove(double value, double oldPosition) {
    if (value >= kEndZone)
        return SliderMove::ToEnd;
    return oldPosition > value ? SliderMove::Backward : SliderMove::Forward;
}

PlayButton playButton(bool shownPlaying, bool playerPlaying, double playerPosition, double sliderValue) {
    if (shownPlaying)
        return playerPlaying ? PlayButton::Pause : PlayButton::Nothing;
    if (playerPosition >= kEndZone)
        return sliderValue >= kEndZone ? PlayButton::Restart : PlayButton::ResumeFromSlider;
    return PlayButton::Play;
}

uint64_t volumeUp(uint64_t volume) {
    return std::min(kVolumeMax, volume + kVolumeStep);
}

uint64_t volumeDown(uint64_t volume) {
    return volume > kVolumeStep ? volume - kVolumeStep : 0;
}

std::optional<double> fasterSpeed(double speed) {
    if (speed + kSpeedStep <= kSpeedMax)
        return speed + kSpeedStep;
    return std::nullopt;
}

std::optional<double> slowerSpeed(double speed) {
    if (speed > kSpeedMin)
        return speed - kSpeedStep;
    return std::nullopt;
}

SizeStep sizeStep(WindowSize frame, int step, WindowSize screen, bool fullScreen) {
    WindowSize size{frame.width + int(std::lround(kMinWindowSize.width * kSizeStepRatio * step)),
                    frame.height + int(std::lround(kMinWindowSize.height * kSizeStepRatio * step))};
    if (step > 0) {
        if (fullScreen)
            return {};
        if (size.width > screen.width || size.height > screen.height - kScreenMargin)
            return {SizeStepKind::EnterFullScreen, {}};
    } else if (fullScreen) {
        return {SizeStepKind::LeaveFullScreen, {}};
    }
    if (size.width < kMinWindowSize.width || size.height < kMinWindowSize.height)
        size = kMinWindowSize;
    return {SizeStepKind::Resize, size};
}

} // namespace dcv
