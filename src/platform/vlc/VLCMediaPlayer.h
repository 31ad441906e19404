#pragma once

#include "platform/MainThreadQueue.h"
#include "platform/vlc/MediaPlayer.h"
#include "platform/vlc/VLCFrameBuffer.h"

#include <QPointer>
#include <atomic>
#include <memory>

struct libvlc_media_player_t;
struct libvlc_event_t;

namespace dcv {

class VLCLibrary;
class VLCVideoView;

// The libVLC media player. libVLC raises its events on its own threads; each one is copied
// and posted to this object's (the main) thread, where the state is kept and the signals
// are emitted. Nothing calls libVLC from inside a callback.
//
// Stopping a libVLC player joins its threads, which takes tens of milliseconds while it decodes.
// So a stop (or a new file) of a player that has played hands the libVLC player to a background
// thread that stops and releases it, and a fresh one takes its place at once: its events and
// pictures are cut off first, so nothing of the old file arrives afterwards.
//
// At the end of a file libVLC stops its input; this player reports that as paused (state 6)
// on the last picture, with position 1 and the time at the length. Play from there starts the
// file again, at the time or position set meanwhile.
class VLCMediaPlayer : public MediaPlayer {
    Q_OBJECT
public:
    // The pictures go to the view's frame buffer; without a view they are not decoded to memory.
    explicit VLCMediaPlayer(VLCVideoView* videoView, QObject* parent = nullptr);
    ~VLCMediaPlayer() override;

    std::shared_ptr<VLCMedia> media() const override { return m_media; }
    void setMedia(std::shared_ptr<VLCMedia> media) override;
    void play() override;
    void pause() override;
    void stop() override;
    bool isPlaying() const override;
    int state() const override { return m_state; }
    float position() const override;
    void setPosition(float position) override;
    VLCTime time() const override;
    VLCTime remainingTime() const override;
    void setTime(VLCTime time) override;
    float rate() const override;
    void setRate(float rate) override;
    void jumpForward(int seconds) override;
    QList<int> audioTrackIndexes() const override;
    bool hasVideoOut() const override;
    QSize videoSize() const override;
    bool saveVideoSnapshotAt(const QString& path, int width, int height) override;
    void setAudioMute(bool mute) override;
    bool audioMuted() const override;
    void setAudioVolume(int volume) override;
    int audioVolume() const override;

    // False when libVLC could not be initialised (no plugins).
    bool isValid() const { return m_player != nullptr; }

private:
    struct Event {
        int type = 0;
        int64_t time = 0;
        float position = 0;
        uint64_t generation = 0;
    };
    static void handleEvent(const libvlc_event_t* event, void* opaque);
    void eventArrived(Event event);
    void setState(int state);
    void applyPendingSeek();
    void makePlayer();
    // Cuts the current libVLC player off and hands it to the background thread, if it has
    // played; a player that never played is kept.
    void retirePlayer();
    // retirePlayer, then a fresh player with the same media.
    void replacePlayer();

    std::shared_ptr<VLCLibrary> m_library;
    std::shared_ptr<VLCFrameBuffer> m_frameBuffer;
    QPointer<VLCVideoView> m_view;
    libvlc_media_player_t* m_player = nullptr;
    std::shared_ptr<VLCFrameBuffer::Feed> m_feed;
    // The current libVLC player has been asked to play since it was made.
    bool m_started = false;
    std::shared_ptr<VLCMedia> m_media;
    int m_state = VLCMediaPlayerStateStopped;
    bool m_atEnd = false;
    // Playing again after the end: seeks wait for the fresh player to play.
    bool m_restarting = false;
    // A seek asked for while the file had ended; applied once it plays again.
    int64_t m_pendingTime = -1;
    float m_pendingPosition = -1;
    // Raised by every stop and new media: events of the file before, still queued, are dropped.
    std::atomic<uint64_t> m_generation{0};
    // Where libVLC's threads hand their events to the main thread.
    MainThreadQueue m_events;
    int m_volume = 100;
    bool m_muted = false;
    float m_rate = 1.0f;
};

} // namespace dcv
