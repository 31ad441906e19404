#pragma once

#include <QObject>

class QSlider;
class QWidget;

namespace dcv {

class TKImageButton;
class TKThreePartImageView;

// The controls under the video: position slider, jump back and forward, play/pause, volume,
// speed, size and full screen; and the position slider of the full-screen strip. They show what
// they are told and report what the user does; the rules are the controller's.
class DCVPlaybackControls : public QObject {
    Q_OBJECT
public:
    // Builds the controls into `box` and the full-screen strip as a hidden child of
    // `stripParent`; the window places both.
    DCVPlaybackControls(QWidget* box, QWidget* stripParent);

    TKThreePartImageView* fullScreenStrip() const { return m_strip; }

    // The value of the window's position slider, 0..1.
    double sliderValue() const;
    // Moves the window's slider without reporting a user's change.
    void setSliderValue(double value);
    // Both sliders show the play position, except one whose handle the user holds.
    void showPosition(double position);
    void showSpeed(double speed);
    void showScale(double scale);
    void showPlaying(bool playing);
    // Moves the volume slider without reporting a user's change.
    void showVolume(int volume);

signals:
    void playClicked();
    void jumpBackwardClicked();
    void jumpForwardClicked();
    void fullScreenClicked();
    void volumeMoved(int volume);
    // A click steps up, a right click or a click with Shift steps down.
    void speedClicked(bool down);
    void sizeClicked(bool down);
    // The user moved a position slider; `held` while the handle is still down.
    void positionEdited(double value, bool held);
    // The user let a position slider's handle go.
    void positionReleased();

private:
    void sliderChanged(QSlider* slider);

    QSlider *m_positionSlider, *m_stripSlider, *m_volumeSlider;
    TKImageButton *m_playButton, *m_speedButton, *m_sizeButton;
    TKThreePartImageView* m_strip;
    bool m_updatingSliders = false;
};

} // namespace dcv
