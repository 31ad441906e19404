#include "platform/vlc/VLCMediaPlayer.h"

#include "platform/ImageFile.h"
#include "platform/vlc/VLCFrameBuffer.h"
#include "platform/vlc/VLCLibrary.h"
#include "platform/vlc/VLCVideoView.h"
#include "util/Log.h"

#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vlc/vlc.h>

namespace dcv {

namespace {

constexpr libvlc_event_type_t kEvents[] = {
    libvlc_MediaPlayerOpening,     libvlc_MediaPlayerPlaying,       libvlc_MediaPlayerPaused,
    libvlc_MediaPlayerStopped,     libvlc_MediaPlayerEndReached,    libvlc_MediaPlayerEncounteredError,
    libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerLengthChanged,
};

// Stops and releases libVLC players off the main thread, in the order they were handed over.
// Each job keeps what the player's callbacks use (its picture feed, the library) until the
// player is released.
class PlayerReaper {
public:
    static PlayerReaper& shared() {
        static PlayerReaper reaper;
        return reaper;
    }

    void retire(libvlc_media_player_t* player, std::shared_ptr<void> keepAlive) {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        m_jobs.push_back({player, std::move(keepAlive)});
        m_wake.notify_all();
    }

    // At exit the players still handed over are stopped before the thread ends.
    ~PlayerReaper() {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
            m_wake.notify_all();
        }
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    struct Job {
        libvlc_media_player_t* player;
        std::shared_ptr<void> keepAlive;
    };

    void run() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_quit || !m_jobs.empty(); });
            if (m_jobs.empty())
                return; // quitting with nothing left
            Job job = std::move(m_jobs.front());
            m_jobs.pop_front();
            lock.unlock();
            libvlc_media_player_stop(job.player);
            libvlc_media_player_release(job.player);
            job.keepAlive.reset();
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_quit = false;
    std::thread m_thread;
};

} // namespace

VLCMediaPlayer::VLCMediaPlayer(VLCVideoView* videoView, QObject* parent)
    : MediaPlayer(parent), m_library(VLCLibrary::sharedLibrary()), m_view(videoView) {
    if (videoView)
        m_frameBuffer = videoView->frameBuffer();
    makePlayer();
}

VLCMediaPlayer::~VLCMediaPlayer() {
    if (!m_player)
        return;
    // Nothing of this player arrives any more once it is cut off; the stop itself runs in the
    // background, so closing a window never waits for the decoder. Even a player that never
    // played goes that way here.
    m_started = true;
    retirePlayer();
    m_media.reset();
    m_frameBuffer.reset();
}

void VLCMediaPlayer::makePlayer() {
    m_player = m_library->instance() ? libvlc_media_player_new(m_library->instance()) : nullptr;
    m_started = false;
    if (!m_player)
        return;
    if (m_frameBuffer)
        m_feed = m_frameBuffer->attach(m_player);
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_player);
    for (libvlc_event_type_t type : kEvents)
        libvlc_event_attach(events, type, &VLCMediaPlayer::handleEvent, this);
    if (m_rate != 1.0f)
        libvlc_media_player_set_rate(m_player, m_rate);
}

void VLCMediaPlayer::retirePlayer() {
    if (!m_player || !m_started)
        return;
    // Detaching waits for an event callback in flight; pictures of the feed are dropped from
    // here on. Then the events still queued carry an old generation.
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_player);
    for (libvlc_event_type_t type : kEvents)
        libvlc_event_detach(events, type, &VLCMediaPlayer::handleEvent, this);
    if (m_frameBuffer)
        m_frameBuffer->detach(m_feed);
    ++m_generation;
    auto keepAlive =
        std::make_shared<std::pair<std::shared_ptr<VLCFrameBuffer::Feed>, std::shared_ptr<VLCLibrary>>>(
            std::move(m_feed), m_library);
    PlayerReaper::shared().retire(m_player, std::move(keepAlive));
    m_player = nullptr;
    m_feed.reset();
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
    self->m_events.post([self, e] { self->eventArrived(e); });
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
        m_restarting = false;
        applyPendingSeek();
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
    m_restarting = false;
    m_pendingTime = -1;
    m_pendingPosition = -1;
    // The old file is cut off at once; its late events and pictures are dropped.
    if (m_started) {
        retirePlayer();
        makePlayer();
    }
    if (!m_player)
        return;
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
    // Asked for at the size its video track gives, libVLC hands the decoded planes over as they
    // are. Read once per file, from the header the telemetry read has just gone through.
    if (!m_started && m_frameBuffer)
        m_frameBuffer->setSourceSize(m_media->videoSize());
    if (m_atEnd) {
        // libVLC's input has ended and would ignore a play: a fresh player plays the file again,
        // from the place a seek asked for once it plays.
        m_atEnd = false;
        m_restarting = true;
        replacePlayer();
    }
    m_started = true;
    libvlc_media_player_play(m_player);
    libvlc_audio_set_mute(m_player, m_muted);
    libvlc_audio_set_volume(m_player, m_volume);
}

void VLCMediaPlayer::applyPendingSeek() {
    if (!m_player)
        return;
    if (m_pendingTime >= 0)
        libvlc_media_player_set_time(m_player, m_pendingTime);
    else if (m_pendingPosition >= 0)
        libvlc_media_player_set_position(m_player, m_pendingPosition);
    m_pendingTime = -1;
    m_pendingPosition = -1;
}

void VLCMediaPlayer::replacePlayer() {
    if (!m_started)
        return;
    retirePlayer();
    makePlayer();
    if (m_player && m_media)
        libvlc_media_player_set_media(m_player, m_media->handle());
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
    m_restarting = false;
    m_pendingTime = -1;
    m_pendingPosition = -1;
    replacePlayer();
    ++m_generation;
    // The player is stopped now, whatever the old one's events still say.
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
    if (m_atEnd || m_restarting) {
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
    if (m_atEnd || m_restarting) {
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
    m_rate = rate;
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
    // libVLC's own snapshot has the decoder's full resolution (the frame buffer may hold a
    // picture scaled down to the screen); it always writes PNG, so it goes through a temporary
    // file and is saved again in the format the path asks for. Once a file has ended libVLC has
    // no picture left, and the frame buffer's last one is saved.
    QImage picture;
    if (m_player && !m_atEnd && hasVideoOut()) {
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("snapshot.png"));
        if (dir.isValid() &&
            libvlc_video_take_snapshot(m_player, 0, png.toLocal8Bit().constData(), 0, 0) == 0)
            picture.load(png);
        if (picture.isNull())
            dcvLog("snapshot by libVLC fail:%s; saving the picture shown", path.toUtf8().constData());
    }
    if (picture.isNull() && m_frameBuffer)
        picture = m_frameBuffer->copyPicture();
    if (picture.isNull())
        return false;
    if (width > 0 && height > 0)
        picture = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else if (width > 0 || height > 0)
        picture = width > 0 ? picture.scaledToWidth(width, Qt::SmoothTransformation)
                            : picture.scaledToHeight(height, Qt::SmoothTransformation);
    // Through the safe writer: something else in the file's place (a FIFO would block here, a
    // link would be followed) is refused, and a full disk leaves no torn picture.
    const QString error = writePictureFile(picture, path);
    if (error.isEmpty())
        return true;
    dcvLog("snapshot save fail:%s", error.toUtf8().constData());
    return false;
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
