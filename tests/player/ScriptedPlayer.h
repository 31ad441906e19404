#pragma once

#include "platform/vlc/MediaPlayer.h"

#include <QStringList>

namespace dcv::test {

// A player whose state the test sets and whose calls it reads back. Events are emitted only
// when the test asks for them.
class ScriptedPlayer : public MediaPlayer {
    Q_OBJECT
public:
    std::shared_ptr<VLCMedia> media() const override { return m_media; }
    void setMedia(std::shared_ptr<VLCMedia> media) override {
        m_media = std::move(media);
        if (m_media && m_media->length().isNull())
            m_media->setLength(VLCTime(lengthMs));
        calls << (m_media ? QStringLiteral("setMedia") : QStringLiteral("setMedia none"));
    }
    void play() override {
        calls << QStringLiteral("play");
        ++plays;
    }
    void pause() override { calls << QStringLiteral("pause"); }
    void stop() override { calls << QStringLiteral("stop"); }
    bool isPlaying() const override { return playing; }
    int state() const override { return stateValue; }
    float position() const override { return positionValue; }
    void setPosition(float p) override {
        positionValue = p;
        calls << QStringLiteral("setPosition %1").arg(double(p), 0, 'f', 3);
    }
    VLCTime time() const override { return m_media ? VLCTime(timeMs) : VLCTime(); }
    VLCTime remainingTime() const override {
        return m_media ? VLCTime(timeMs - m_media->length().intValue()) : VLCTime();
    }
    void setTime(VLCTime t) override {
        timeMs = t.intValue();
        calls << QStringLiteral("setTime %1").arg(t.intValue());
    }
    float rate() const override { return rateValue; }
    void setRate(float r) override { rateValue = r; }
    void jumpForward(int seconds) override { calls << QStringLiteral("jumpForward %1").arg(seconds); }
    QList<int> audioTrackIndexes() const override { return audioTracks; }
    bool hasVideoOut() const override { return videoOut; }
    QSize videoSize() const override { return video; }
    bool saveVideoSnapshotAt(const QString&, int, int) override { return false; }
    void setAudioMute(bool mute) override { muted = mute; }
    bool audioMuted() const override { return muted; }
    void setAudioVolume(int v) override { volume = v; }
    int audioVolume() const override { return volume; }

    // Puts the player in a state and tells the controller.
    void enter(int state, bool isPlayingNow) {
        stateValue = state;
        playing = isPlayingNow;
        emit mediaPlayerStateChanged();
    }
    void tick(int64_t ms, float position) {
        timeMs = ms;
        positionValue = position;
        emit mediaPlayerTimeChanged(this);
    }

    QStringList calls;
    int plays = 0;
    int stateValue = VLCMediaPlayerStateStopped;
    bool playing = false;
    float positionValue = 0;
    int64_t timeMs = 0;
    int64_t lengthMs = 100000;
    float rateValue = 1;
    QList<int> audioTracks{1};
    bool videoOut = true;
    QSize video{640, 360};
    bool muted = true;
    int volume = 0;

private:
    std::shared_ptr<VLCMedia> m_media;
};

} // namespace dcv::test
