#pragma once

#include <QObject>
#include <cstdint>

namespace dcv {

// The observable play state. Every set notifies, also when the value stays the same: a
// publication of the same position still drives the telemetry display once.
class DCVPlayInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isPlaying READ isPlaying WRITE setIsPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(int audioMediaDirection READ audioMediaDirection WRITE setAudioMediaDirection NOTIFY
                   audioMediaDirectionChanged)
    Q_PROPERTY(double position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(double speed READ speed WRITE setSpeed NOTIFY speedChanged)
    Q_PROPERTY(double scale READ scale WRITE setScale NOTIFY scaleChanged)
public:
    using QObject::QObject;

    bool isPlaying() const { return m_isPlaying; }
    int32_t audioMediaDirection() const { return m_audioMediaDirection; }
    double position() const { return m_position; }
    double speed() const { return m_speed; }
    double scale() const { return m_scale; }

    void setIsPlaying(bool v) {
        m_isPlaying = v;
        emit isPlayingChanged();
    }
    void setAudioMediaDirection(int32_t v) {
        m_audioMediaDirection = v;
        emit audioMediaDirectionChanged();
    }
    void setPosition(double v) {
        m_position = v;
        emit positionChanged();
    }
    void setSpeed(double v) {
        m_speed = v;
        emit speedChanged();
    }
    void setScale(double v) {
        m_scale = v;
        emit scaleChanged();
    }

signals:
    void isPlayingChanged();
    void audioMediaDirectionChanged();
    void positionChanged();
    void speedChanged();
    void scaleChanged();

private:
    bool m_isPlaying = false;
    int32_t m_audioMediaDirection = 0;
    double m_position = 0;
    double m_speed = 0;
    double m_scale = 0;
};

} // namespace dcv
