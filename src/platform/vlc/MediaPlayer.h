#pragma once

#include "platform/vlc/VLCMedia.h"
#include "platform/vlc/VLCTime.h"

#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <memory>

namespace dcv {

// Player states, numbered as the controller's rules expect them: a file that has ended is
// reported as Paused (6) on its last picture, never as Ended.
enum VLCMediaPlayerState : int {
    VLCMediaPlayerStateStopped = 0,
    VLCMediaPlayerStateOpening = 1,
    VLCMediaPlayerStateBuffering = 2,
    VLCMediaPlayerStateEnded = 3,
    VLCMediaPlayerStateError = 4,
    VLCMediaPlayerStatePlaying = 5,
    VLCMediaPlayerStatePaused = 6,
};

class MediaPlayer;

// The audio side of a player.
class VLCAudio {
public:
    explicit VLCAudio(MediaPlayer& player) : m_player(player) {}
    void setMute(bool mute);
    void setVolume(int volume); // 0..200
    int volume() const;
    bool isMuted() const;

private:
    MediaPlayer& m_player;
};

// What the main window needs of a media player. The libVLC player implements it; tests drive
// the controller with a scripted one. Events are emitted on the main thread only.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MediaPlayer() override = default;

    virtual std::shared_ptr<VLCMedia> media() const = 0;
    virtual void setMedia(std::shared_ptr<VLCMedia> media) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    // The player's own flag: it is playing now.
    virtual bool isPlaying() const = 0;
    virtual int state() const = 0;
    virtual float position() const = 0;
    virtual void setPosition(float position) = 0;
    virtual VLCTime time() const = 0;
    virtual VLCTime remainingTime() const = 0;
    virtual void setTime(VLCTime time) = 0;
    virtual float rate() const = 0;
    virtual void setRate(float rate) = 0;
    virtual void jumpForward(int seconds) = 0;
    virtual QList<int> audioTrackIndexes() const = 0;
    virtual bool hasVideoOut() const = 0;
    virtual QSize videoSize() const = 0;
    virtual bool saveVideoSnapshotAt(const QString& path, int width, int height) = 0;

    virtual void setAudioMute(bool mute) = 0;
    virtual bool audioMuted() const = 0;
    virtual void setAudioVolume(int volume) = 0;
    virtual int audioVolume() const = 0;
    VLCAudio audio() { return VLCAudio(*this); }

signals:
    void mediaPlayerStateChanged();
    // The object of the notification is the player.
    void mediaPlayerTimeChanged(dcv::MediaPlayer* player);
};

inline void VLCAudio::setMute(bool mute) {
    m_player.setAudioMute(mute);
}
inline void VLCAudio::setVolume(int volume) {
    m_player.setAudioVolume(volume);
}
inline int VLCAudio::volume() const {
    return m_player.audioVolume();
}
inline bool VLCAudio::isMuted() const {
    return m_player.audioMuted();
}

} // namespace dcv
