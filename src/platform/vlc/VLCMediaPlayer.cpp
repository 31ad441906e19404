#include "platform/vlc/VLCMediaPlayer.h"

#include "platform/vlc/VLCFrameBuffer.h"
#include "platform/vlc/VLCLibrary.h"
#include "platform/vlc/VLCVideoView.h"

#include <QImage>
#include <algorithm>
#include <vlc/vlc.h>

namespace dcv {

namespace {

constexpr libvlc_event_type_t kEvents[] = {
    libvlc_MediaPlayerOpening,     libvlc_MediaPlayerPlaying,       libvlc_MediaPlayerPaused,
    libvlc_MediaPlayerStopped,     libvlc_MediaPlayerEndReached,    libvlc_MediaPlayerEncounteredError,
    libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerLengthChanged,
};

} // namespace

VLCMediaPlayer::VLCMediaPlayer(VLCVideoView* videoView, QObject* parent)
    : MediaPlayer(parent), m_library(VLCLibrary::sharedLibrary()) {
    if (!m_library->instance())
        return;
    m_player = libvlc_media_player_new(m_library->instance());
    if (!m_player)
        return;
    if (videoView) {
        m_frameBuffer = videoView->frameBuffer();
        m_frameBuffer->attach(m_player);
    }
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_player);
    for (libvlc_event_type_t type : kEvents)
        libvlc_event_attach(events, type, &VLCMediaPlayer::handleEvent, this);
}

VLCMediaPlayer::~VLCMediaPlayer() {
    if (!m_player)
        return;
    // Stop first (it joins libVLC's threads), then no event can arrive once detached; the
    // frame buffer, held here, outlives the video thread.
    libvlc_media_player_stop(m_player);
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_player);
    for (libvlc_event_type_t type : kEvents)
        libvlc_event_detach(events, type, &VLCMediaPlayer::handleEvent, this);
    libvlc_media_player_release(m_player);
    m_player = nullptr;
    m_media.reset();
    m_frameBuffer.reset();
}

void VLCMediaPlayer::handleEvent(const libvlc_event_t* event, void* opaque) {
    // libVLC's thread: copy what is needed and post it; never call back into libVLC here.
    auto* self = static_cast<VLCMediaPlayer*>(opaque);
    Event e;
    e.type = event->type;
    e.generation = self->m_generation.load();
    if (event->type == libvlc_MediaPlayerTimeChanged)
        e.time = event->u.media_player_time_changed.new_time;
    else if (event->type == libvlc_MediaPlayerLengthChanged)
        e.time = event->u.media_player_length_changed.new_length;
    QMetaObject::invokeMethod(
        self, [self, e] { self->eventArrived(e); }, Qt::QueuedConnection);
}

void VLCMediaPlayer::setState(int state) {
    m_state = state;
    emit mediaPlayerStateChanged();
}

void VLCMediaPlayer::eventArrived(Event e) {
    if (e.generation != m_generation.load())
        return;
    switch (e.type) {
    case libvlc_MediaPlayerOpening:
        m_atEnd = false;
        setState(VLCMediaPlayerStateOpening);
        break;
    case libvlc_MediaPlayerPlaying:
        m_atEnd = false;
        setState(VLCMediaPlayerStatePlaying);
        break;
    case libvlc_MediaPlayerPaused:
        setState(VLCMediaPlayerStatePaused);
        break;
    case libvlc_MediaPlayerStopped:
        // The stop that follows the end of a file keeps the paused-at-end state.
        if (!m_atEnd)
            setState(VLCMediaPlayerStateStopped);
        break;
    case libvlc_MediaPlayerEndReached:
        // A file that failed stays failed.
        if (m_state == VLCMediaPlayerStateError)
            break;
        m_atEnd = true;
        setState(VLCMediaPlayerStatePaused);
        break;
    case libvlc_MediaPlayerEncounteredError:
        m_atEnd = false;
        setState(VLCMediaPlayerStateError);
        break;
    case libvlc_MediaPlayerLengthChanged:
        if (m_media && e.time > 0)
            m_media->setLength(VLCTime(e.time));
        break;
    case libvlc_MediaPlayerTimeChanged:
        // Late time events of a file that has ended or was stopped say nothing new.
        if (m_atEnd || m_state == VLCMediaPlayerStateStopped)
            break;
        if (m_frameBuffer && !m_frameBuffer->hasVisibleSize()) {
            unsigned w = 0, h = 0;
            if (libvlc_video_get_size(m_player, 0, &w, &h) == 0 && w > 0 && h > 0)
                m_frameBuffer->setVisibleSize(w, h);
        }
        emit mediaPlayerTimeChanged(this);
        break;
    default:
        break;
    }
}

void VLCMediaPlayer::setMedia(std::shared_ptr<VLCMedia> media) {
    const bool wasActive = m_state != VLCMediaPlayerStateStopped;
    m_media = std::move(media);
    m_atEnd = false;
    m_pendingTime = -1;
    m_pendingPosition = -1;
    if (!m_player)
        return;
    // Setting a media stops the old one at once; its late events are dropped.
    libvlc_media_player_set_media(m_player, m_media ? m_media->handle() : nullptr);
    ++m_generation;
    if (m_frameBuffer && m_media)
        m_frameBuffer->clear();
    if (wasActive)
        setState(VLCMediaPlayerStateStopped);
}

void VLCMediaPlayer::play() {
    if (!m_player || !m_media)
        return;
    libvlc_media_player_play(m_player);
    if (m_atEnd) {
        m_atEnd = false;
        applyPendingSeek();
    }
    libvlc_audio_set_mute(m_player, m_muted);
    libvlc_audio_set_volume(m_player, m_volume);
}

void VLCMediaPlayer::applyPendingSeek() {
    if (m_pendingTime >= 0)
        libvlc_media_player_set_time(m_player, m_pendingTime);
    else if (m_pendingPosition >= 0)
        libvlc_media_player_set_position(m_player, m_pendingPosition);
    m_pendingTime = -1;
    m_pendingPosition = -1;
}

void VLCMediaPlayer::pause() {
    if (m_player && !m_atEnd)
        libvlc_media_player_set_pause(m_player, 1);
}

void VLCMediaPlayer::stop() {
    if (!m_player)
        return;
    const bool wasActive = m_state != VLCMediaPlayerStateStopped;
    m_atEnd = false;
    libvlc_media_player_stop(m_player);
    ++m_generation;
    // The stop is synchronous; the player is stopped now, whatever its events still say.
    if (wasActive)
        setState(VLCMediaPlayerStateStopped);
    else
        m_state = VLCMediaPlayerStateStopped;
}

bool VLCMediaPlayer::isPlaying() const {
    return m_state == VLCMediaPlayerStatePlaying;
}

float VLCMediaPlayer::position() const {
    if (m_atEnd)
        return 1.0f;
    if (!m_player)
        return 0;
    return std::max(0.0f, libvlc_media_player_get_position(m_player));
}

void VLCMediaPlayer::setPosition(float position) {
    if (!m_player || !m_media)
        return;
    position = std::clamp(position, 0.0f, 1.0f);
    if (m_atEnd) {
        m_pendingPosition = position;
        m_pendingTime = -1;
        return;
    }
    libvlc_media_player_set_position(m_player, position);
}

VLCTime VLCMediaPlayer::time() const {
    if (!m_media)
        return VLCTime();
    if (m_atEnd)
        return VLCTime(m_media->length().intValue());
    if (!m_player)
        return VLCTime(0);
    return VLCTime(std::max<int64_t>(0, libvlc_media_player_get_time(m_player)));
}

VLCTime VLCMediaPlayer::remainingTime() const {
    if (!m_media)
        return VLCTime();
    const VLCTime length = m_media->length();
    if (length.isNull())
        return VLCTime();
    return VLCTime(std::min<int64_t>(0, time().intValue() - length.intValue()));
}

void VLCMediaPlayer::setTime(VLCTime time) {
    if (!m_player || !m_media || time.isNull())
        return;
    if (m_atEnd) {
        m_pendingTime = std::max<int64_t>(0, time.intValue());
        m_pendingPosition = -1;
        return;
    }
    libvlc_media_player_set_time(m_player, std::max<int64_t>(0, time.intValue()));
}

float VLCMediaPlayer::rate() const {
    return m_player ? libvlc_media_player_get_rate(m_player) : 1.0f;
}

void VLCMediaPlayer::setRate(float rate) {
    if (m_player)
        libvlc_media_player_set_rate(m_player, rate);
}

void VLCMediaPlayer::jumpForward(int seconds) {
    if (!m_player || !m_media || m_atEnd)
        return;
    libvlc_media_player_set_time(m_player, time().intValue() + int64_t(seconds) * 1000);
}

QList<int> VLCMediaPlayer::audioTrackIndexes() const {
    QList<int> ids;
    if (!m_player)
        return ids;
    libvlc_track_description_t* list = libvlc_audio_get_track_description(m_player);
    // The list begins with the "Disable" entry (-1), which is not a track.
    for (libvlc_track_description_t* t = list; t; t = t->p_next)
        if (t->i_id >= 0)
            ids << t->i_id;
    if (list)
        libvlc_track_description_list_release(list);
    return ids;
}

bool VLCMediaPlayer::hasVideoOut() const {
    return m_player && libvlc_media_player_has_vout(m_player) > 0;
}

QSize VLCMediaPlayer::videoSize() const {
    unsigned w = 0, h = 0;
    if (m_player && libvlc_video_get_size(m_player, 0, &w, &h) == 0 && w > 0 && h > 0)
        return QSize(int(w), int(h));
    return m_frameBuffer ? m_frameBuffer->pictureSize() : QSize();
}

bool VLCMediaPlayer::saveVideoSnapshotAt(const QString& path, int width, int height) {
    if (!m_frameBuffer)
        return false;
    QImage picture = m_frameBuffer->copyPicture();
    if (picture.isNull())
        return false;
    if (width > 0 && height > 0)
        picture = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else if (width > 0 || height > 0)
        picture = width > 0 ? picture.scaledToWidth(width, Qt::SmoothTransformation)
                            : picture.scaledToHeight(height, Qt::SmoothTransformation);
    return picture.save(path);
}

void VLCMediaPlayer::setAudioMute(bool mute) {
    m_muted = mute;
    if (m_player)
        libvlc_audio_set_mute(m_player, mute);
}

bool VLCMediaPlayer::audioMuted() const {
    return m_muted;
}

void VLCMediaPlayer::setAudioVolume(int volume) {
    m_volume = std::clamp(volume, 0, 200);
    if (m_player)
        libvlc_audio_set_volume(m_player, m_volume);
}

int VLCMediaPlayer::audioVolume() const {
    return m_volume;
}

} // namespace dcv
