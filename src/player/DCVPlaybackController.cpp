#include "player/DCVPlaybackController.h"

#include "platform/DCVStrings.h"
#include "platform/vlc/MediaPlayer.h"
#include "platform/vlc/VLCVideoView.h"
#include "player/DCVLoadingIndicator.h"
#include "player/DCVPlayInfo.h"
#include "player/DCVPlaybackControls.h"
#include "player/DCVTelemetryDisplay.h"
#include "recordings/DCVMediaList.h"
#include "telemetry/TelemetrySamples.h"
#include "util/Log.h"
#include "widgets/AlertSheet.h"
#include "widgets/CustomWindow.h"
#include "widgets/TKImage.h"
#include "widgets/TKVideoBackgroundImageView.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <climits>
#include <cmath>

namespace dcv {

namespace {

const char* const kTag = "D ";

} // namespace

DCVPlaybackController::DCVPlaybackController(DCVMediaList& mediaList, std::unique_ptr<MediaPlayer> player,
                                             const DCVPlaybackViews& views, PlaybackTimings timings,
                                             QObject* parent)
    : QObject(parent), m_mediaList(mediaList), m_player1(std::move(player)),
      m_playInfo(std::make_unique<DCVPlayInfo>()), m_views(views), m_timings(std::move(timings)) {
    connect(m_player1.get(), &MediaPlayer::mediaPlayerStateChanged, this,
            &DCVPlaybackController::mediaPlayerStateChanged);
    connect(m_player1.get(), &MediaPlayer::mediaPlayerTimeChanged, this,
            &DCVPlaybackController::mediaPlayerTimeChanged);

    // Both sliders show playInfo.position (bound first, so the observation below sees them
    // moved); a user's change writes it back.
    DCVPlaybackControls* controls = m_views.controls;
    connect(m_playInfo.get(), &DCVPlayInfo::positionChanged, controls,
            [this, controls] { controls->showPosition(m_playInfo->position()); });
    connect(controls, &DCVPlaybackControls::positionEdited, this, &DCVPlaybackController::positionEdited);
    connect(controls, &DCVPlaybackControls::positionReleased, this,
            &DCVPlaybackController::videoPositionSliderMoved);
    connect(controls, &DCVPlaybackControls::playClicked, this, &DCVPlaybackController::clickPlayButton);
    connect(controls, &DCVPlaybackControls::jumpBackwardClicked, this, &DCVPlaybackController::jumpBackward);
    connect(controls, &DCVPlaybackControls::jumpForwardClicked, this, &DCVPlaybackController::jumpForward);
    connect(controls, &DCVPlaybackControls::volumeMoved, this,
            [this](int volume) { setVolume(quint64(std::max(0, volume))); });
    connect(controls, &DCVPlaybackControls::speedClicked, this, &DCVPlaybackController::speedClicked);
    connect(controls, &DCVPlaybackControls::sizeClicked, this,
            [this](bool down) { down ? sizeDown() : sizeUp(); });

    const auto observe = [this](auto signal, const char* keyPath) {
        connect(m_playInfo.get(), signal, this,
                [this, keyPath] { observeValueForKeyPath(QLatin1String(keyPath)); });
    };
    observe(&DCVPlayInfo::speedChanged, "playInfo.speed");
    observe(&DCVPlayInfo::scaleChanged, "playInfo.scale");
    observe(&DCVPlayInfo::isPlayingChanged, "playInfo.isPlaying");
    observe(&DCVPlayInfo::positionChanged, "playInfo.position");
    observe(&DCVPlayInfo::audioMediaDirectionChanged, "playInfo.audioMediaDirection");
    connect(this, &DCVPlaybackController::volumeChanged, this,
            [this] { observeValueForKeyPath(QStringLiteral("volume")); });

    m_publishTimer = new QTimer(this);
    m_publishTimer->setSingleShot(true);
    m_publishTimer->setTimerType(Qt::PreciseTimer);
    connect(m_publishTimer, &QTimer::timeout, this, &DCVPlaybackController::publishPlayPosition);

    setVolume(kVolumeStart);
    m_playInfo->setIsPlaying(false);
    m_views.video1View->hide();
}

DCVPlaybackController::~DCVPlaybackController() {
    die();
}

const std::shared_ptr<const DCVBlackBoxData>& DCVPlaybackController::blackBoxData() const {
    return m_views.telemetry->telemetry();
}

// ---------------------------------------------------------------------------------------------
// The observed values.

void DCVPlaybackController::observeValueForKeyPath(const QString& keyPath) {
    DCVPlaybackControls& controls = *m_views.controls;
    if (keyPath == QLatin1String("playInfo.speed")) {
        controls.showSpeed(m_playInfo->speed());
    } else if (keyPath == QLatin1String("playInfo.scale")) {
        controls.showScale(m_playInfo->scale());
    } else if (keyPath == QLatin1String("playInfo.isPlaying")) {
        controls.showPlaying(m_playInfo->isPlaying());
    } else if (keyPath == QLatin1String("playInfo.position")) {
        if (m_playInfo->position() >= 1.0)
            controls.setSliderValue(1.0);
        if (m_player1) {
            // The graph's bar follows the published position too, so that it moves with the texts.
            m_views.telemetry->updateGsensorUIByPlayPositon(m_playInfo->position(), m_playInfo->position());
            m_views.telemetry->updateGpsUIByPlayPosition(m_playInfo->position());
        }
    } else if (keyPath == QLatin1String("playInfo.audioMediaDirection") ||
               keyPath == QLatin1String("volume")) {
        updateAudioUI();
    }
}

// ---------------------------------------------------------------------------------------------
// Starting a recording.

bool DCVPlaybackController::playAtIndex(int64_t index) {
    const int64_t count = m_mediaList.count();
    if (!m_player1 || count == 0 || m_waitingForPlayStart)
        return false;
    index = std::clamp<int64_t>(index, 0, count - 1);
    m_waitingForPlayStart = true;
    m_playRequested = false;
    m_startConfirmed = false;
    ++m_startGeneration;
    ++m_advanceGeneration;
    m_player1->stop();
    m_player1->setMedia(nullptr);
    m_playInfo->setIsPlaying(false);
    // Until the new telemetry is handed over, the display shows none rather than the old file's.
    m_views.telemetry->forgetTelemetry();
    m_mediaIndex = index;
    m_views.mediaListTableView->selectRow(int(index));
    m_preparingPlayNext = false;
    startTimerPlayNext();
    updateVideoUI();
    m_views.loading->showLoading(QStringLiteral("Loading..."));

    // The worker fills a fresh object that nothing else sees until it is handed over here.
    const QByteArray path = m_player1->media() ? m_player1->media()->path().toUtf8() : QByteArray();
    m_telemetryRead.run(
        [path](const std::atomic<bool>&) {
            auto data = std::make_shared<DCVBlackBoxData>();
            if (!data->ExtractStreamInformation(path.constData()))
                dcvLog("telemetry read fail:%s %s", path.constData(), data->extractError().c_str());
            return std::shared_ptr<const DCVBlackBoxData>(std::move(data));
        },
        [this](std::shared_ptr<const DCVBlackBoxData> data) { blackBoxDataRead(std::move(data)); });
    return true;
}

void DCVPlaybackController::blackBoxDataRead(std::shared_ptr<const DCVBlackBoxData> data) {
    if (!m_player1 || !m_waitingForPlayStart)
        return;
    const uint64_t generation = m_startGeneration;
    // A file deleted since the scan: no player can tell more than that it failed. A FIFO or a
    // device under a recording's name would have libVLC wait or read without end: refused as
    // the telemetry reader refuses it.
    if (m_player1->media()) {
        const QFileInfo file(m_player1->media()->path());
        if (!file.exists() || !file.isFile()) {
            failStart(file.exists() ? "not a regular file" : "missing");
            return;
        }
    }
    m_views.telemetry->setTelemetry(std::move(data));
    initMediaControlView();
    m_player1->play();
    m_playRequested = true;
    emit telemetryHandedOver(m_mediaIndex);
    QTimer::singleShot(m_timings.playStartTimeout, this, [this, generation] {
        if (generation == m_startGeneration && m_playRequested && !m_startConfirmed)
            failStart("no time change in time");
    });
}

void DCVPlaybackController::failStart(const char* reason) {
    const QString path = m_player1->media() ? m_player1->media()->path() : QString();
    dcvLog("play fail:%s (%s)", path.toUtf8().constData(), reason);
    m_waitingForPlayStart = false;
    m_playRequested = false;
    m_startConfirmed = true; // nothing more to fail for this start
    m_views.loading->hideLoading();
    m_player1->stop();
    m_views.video1View->hide();
    m_publishTimer->stop();
    m_playInfo->setIsPlaying(false);
    const bool missing = !path.isEmpty() && !QFileInfo::exists(path);
    showAlertSheet(m_views.window, QStringLiteral("TELVO"),
                   infoText(missing ? "msg.file_missing" : "msg.file_open_fail"));
    emit playFailed(m_mediaIndex);
}

bool DCVPlaybackController::playNext() {
    if (const auto next = nextRow(m_mediaIndex, m_mediaList.count()))
        return playAtIndex(*next);
    return false;
}

void DCVPlaybackController::changeAndPlay() {
    const QItemSelectionModel* selection = m_views.mediaListTableView->selectionModel();
    const QModelIndexList rows = selection ? selection->selectedRows() : QModelIndexList();
    const long selectedRow = rows.isEmpty() ? -1 : rows.first().row();
    dcvLog("selectedRow=%ld,mediaIndex=%ld,isPlaying=%d,count=%ld", selectedRow, long(m_mediaIndex),
           int(m_player1->isPlaying()), long(m_mediaList.count()));
    if (selectedRow == m_mediaIndex) {
        // A start still pending is not to be asked to play a second time.
        if (m_waitingForPlayStart)
            return;
        if (m_player1->state() == VLCMediaPlayerStatePaused) {
            m_player1->setPosition(0);
            seekStarted(0, false);
        }
        m_player1->play();
        return;
    }
    // Another row while one is loading is not taken: the selection goes back to the row that
    // will play.
    if (!playAtIndex(selectedRow) && m_waitingForPlayStart)
        m_views.mediaListTableView->selectRow(int(m_mediaIndex));
}

void DCVPlaybackController::stopPlay() {
    if (!m_player1)
        return;
    m_player1->pause();
    m_player1->setMedia(nullptr);
}

void DCVPlaybackController::closeRecording() {
    if (!m_player1)
        return;
    m_telemetryRead.cancel();
    ++m_startGeneration;
    ++m_advanceGeneration;
    m_waitingForPlayStart = false;
    m_playRequested = false;
    m_startConfirmed = true;
    m_moving = false;
    m_preparingPlayNext = false;
    m_views.loading->hideLoading();
    m_player1->stop();
    m_player1->setMedia(nullptr);
    m_mediaIndex = -1;
    m_publishTimer->stop();
    m_clock.pause(0);
    m_views.telemetry->setTelemetry(std::make_shared<const DCVBlackBoxData>(), false);
    m_views.telemetry->reset();
    m_playInfo->setIsPlaying(false);
    m_playInfo->setPosition(0);
    m_views.controls->setSliderValue(0);
    m_views.video1View->hide();
}

void DCVPlaybackController::die() {
    if (m_died)
        return;
    m_died = true;
    // A telemetry read still running would post back to this object: let it finish first.
    m_telemetryRead.cancel();
    m_telemetryRead.waitForFinished();
    if (m_playStopTimer)
        m_playStopTimer->stop();
    m_publishTimer->stop();
    stopPlay();
    // The player stops and lets go of libVLC before its view and frame buffer go.
    m_player1.reset();
}

bool DCVPlaybackController::isPlaying(const MediaPlayer* player) {
    return player && player->media() && player->isPlaying() &&
           player->remainingTime().stringValue() != QLatin1String("00:00");
}

bool DCVPlaybackController::hasAudio(const MediaPlayer* player) {
    return player && player->media() && !player->audioTrackIndexes().isEmpty();
}

void DCVPlaybackController::chooseAudioAuto() {
    if (hasAudio(m_player1.get()))
        m_playInfo->setAudioMediaDirection(mediaDirection(m_player1->media()->path().toStdString()));
    else
        m_playInfo->setAudioMediaDirection(MediaDirectionUnknown);
}

void DCVPlaybackController::updateVideoUI() {
    if (const DCVMediaPtr media = m_mediaList.mediaAtIndex(m_mediaIndex))
        m_player1->setMedia(VLCMedia::mediaWithPath(QString::fromStdString(media->path())));
    m_views.player1BackgroundView->setLogoImage(TKImage::imageNamed(QStringLiteral("v1_front_logo")));
}

void DCVPlaybackController::initMediaControlView() {
    m_waitingForPlayStart = true;
    m_views.controls->setSliderValue(0);
    setVideoScaleIndex(0);
    emit preparingRecording();
    m_playInfo->setSpeed(1.0);
    m_player1->setRate(1.0f);
    m_clock.setRate(1.0, now());
    m_clock.pause(0);
    m_clock.setLength(lengthMs());
    m_playInfo->setPosition(0);
    m_views.telemetry->reset();
}

// ---------------------------------------------------------------------------------------------
// Player events.

void DCVPlaybackController::updateVideoVisibility() {
    const bool playing = m_player1->media() && m_player1->isPlaying();
    m_views.video1View->setVisible(playing || m_player1->state() == VLCMediaPlayerStatePaused);
}

void DCVPlaybackController::mediaPlayerStateChanged() {
    const int state = m_player1->state();
    const bool playing = m_player1->media() && m_player1->isPlaying();
    updateVideoVisibility();
    if (!m_player1->media())
        return;
    // A file that cannot be opened or decoded reports an error, or "plays" to its end without
    // a single time change (libVLC says playing for a file it cannot demultiplex).
    if (m_playRequested && !m_startConfirmed &&
        (state == VLCMediaPlayerStateError ||
         hasEnded(state == VLCMediaPlayerStatePaused, m_player1->position()))) {
        failStart(state == VLCMediaPlayerStateError ? "error state" : "ended before playing");
        return;
    }
    m_clock.setLength(lengthMs());
    if (playing) {
        m_clock.play(m_player1->time().intValue(), now());
        m_publishTimer->start(0);
    } else {
        m_clock.pause(m_player1->time().intValue());
        m_publishTimer->stop();
    }
    if (state == VLCMediaPlayerStatePaused) {
        didFinishPlay();
    } else if (playing) {
        if (m_waitingForPlayStart) {
            m_waitingForPlayStart = false;
            didStartPlayer();
        } else {
            updateAudioUI();
        }
    }
}

void DCVPlaybackController::didStartPlayer() {
    if (!m_player1->media())
        return;
    m_playInfo->setSpeed(m_player1->rate());
    m_playInfo->setIsPlaying(isPlaying(m_player1.get()));
    chooseAudioAuto();
    if (m_player1->hasVideoOut() && m_player1->videoSize().width() > 0 &&
        m_player1->videoSize() != m_scaledVideoSize)
        updatePlayInfoScale();
}

void DCVPlaybackController::didFinishPlay() {
    m_playInfo->setPosition(m_player1->position());
    m_playInfo->setIsPlaying(isPlaying(m_player1.get()));
}

void DCVPlaybackController::mediaPlayerTimeChanged(MediaPlayer* object) {
    updateVideoVisibility();
    m_preparingPlayNext = false;
    if (m_playRequested)
        m_startConfirmed = true;
    // The video size is known only once the first pictures are decoded; each file has its own.
    if (m_player1->hasVideoOut() && m_player1->videoSize().height() > 0 &&
        m_player1->videoSize() != m_scaledVideoSize)
        updatePlayInfoScale();
    if (!m_views.loading->stopVideoLoadingView()) {
        m_views.loading->hideLoading();
        chooseAudioAuto();
    }
    m_playInfo->setIsPlaying(isPlaying(m_player1.get()));
    if (object != m_player1.get())
        return;
    m_clock.setLength(lengthMs());
    // While a seek settles the player still reports from before it: the target is shown. Else
    // the report sets the play clock right; the clock's own ticks publish the position.
    if (m_moving) {
        if (m_movingPosition > 0)
            m_playInfo->setPosition(m_movingPosition);
        return;
    }
    m_clock.report(m_player1->time().intValue(), now());
    // The first report after a seek sets the clock going again.
    if (m_clock.running() && !m_publishTimer->isActive())
        m_publishTimer->start(0);
}

int64_t DCVPlaybackController::now() const {
    if (m_timings.clock)
        return m_timings.clock();
    static const QElapsedTimer steady = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return steady.elapsed();
}

int64_t DCVPlaybackController::lengthMs() const {
    const auto media = m_player1 ? m_player1->media() : nullptr;
    return media ? std::max<int64_t>(0, media->length().intValue()) : 0;
}

void DCVPlaybackController::publishPlayPosition() {
    // A clock that stands still has published its time already; the next report or play
    // starts the ticks again.
    if (!m_player1 || !m_clock.running())
        return;
    // Nothing is published while a seek settles or a start is pending.
    if (!m_moving && !m_waitingForPlayStart)
        m_playInfo->setPosition(m_clock.length() > 0 ? m_clock.positionAt(now())
                                                     : double(m_player1->position()));
    m_publishTimer->start(nextPublishDelay());
}

int DCVPlaybackController::nextPublishDelay() const {
    // The next publication comes when the play clock reaches the next telemetry sample, so the
    // sample shown changes with the picture; never later than the publish interval (the slider
    // of a recording without telemetry moves on too).
    const size_t samples = m_views.telemetry->telemetry()->m_GSensors().size();
    const int64_t length = m_clock.length();
    if (samples == 0 || length <= 0)
        return m_timings.publishInterval;
    const int64_t at = m_clock.timeAt(now());
    size_t index = sampleIndexForPosition(double(at) / double(length), samples).value_or(0);
    const auto sampleStart = [&](size_t i) {
        return int64_t(std::ceil(double(i) * double(length) / double(samples)));
    };
    int64_t next = sampleStart(index + 1);
    // The index rule truncates: make sure the time found really is in the next sample.
    while (next <= at)
        next = sampleStart(++index + 1);
    const double wall = std::ceil(double(next - at) / m_clock.rate());
    return int(std::clamp(wall, 1.0, double(m_timings.publishInterval)));
}

bool DCVPlaybackController::hasEndedNow() const {
    return hasEnded(m_player1->state() == VLCMediaPlayerStatePaused, m_player1->position());
}

void DCVPlaybackController::seekStarted(double position, bool ended) {
    position = std::clamp(position, 0.0, 1.0);
    m_clock.seek(int64_t(std::llround(position * double(lengthMs()))));
    // The controls and the telemetry show the new place at once.
    m_playInfo->setPosition(position);
    ++m_advanceGeneration;
    // A seek back into a recording that has ended plays from there; the advance is called off.
    if (m_preparingPlayNext) {
        m_preparingPlayNext = false;
        emit playNextCancelled(m_mediaIndex);
    }
    if (ended && position < kEndZone)
        m_player1->play();
}

void DCVPlaybackController::startTimerPlayNext() {
    if (m_playStopTimer) {
        m_playStopTimer->stop();
        m_playStopTimer->deleteLater();
    }
    m_playStopTimer = new QTimer(this);
    m_playStopTimer->setInterval(m_timings.endCheckInterval);
    connect(m_playStopTimer, &QTimer::timeout, this, &DCVPlaybackController::timerPlayNext);
    m_playStopTimer->start();
}

void DCVPlaybackController::timerPlayNext() {
    // After a seek back from the end the player stands at its end until it plays from there,
    // while the position shown is already the new place: only both at the end mean ended.
    if (!m_player1 || m_preparingPlayNext || !hasEndedNow() || m_playInfo->position() < kEndOfRecording)
        return;
    m_preparingPlayNext = true;
    const int64_t ended = m_mediaIndex;
    emit playNextScheduled(ended);
    QTimer::singleShot(m_timings.playNextDelay, this, [this, ended, generation = m_advanceGeneration] {
        if (generation != m_advanceGeneration)
            return;
        const bool started = playNext();
        emit playNextTried(ended, started);
    });
}

// ---------------------------------------------------------------------------------------------
// Controls.

void DCVPlaybackController::positionEdited(double value, bool held) {
    // The telemetry of a pending start is not there yet.
    if (m_waitingForPlayStart) {
        m_views.controls->setSliderValue(m_playInfo->position());
        return;
    }
    m_playInfo->setPosition(value);
    if (!held)
        videoPositionSliderMoved();
}

void DCVPlaybackController::clickPlayButton() {
    if (!m_player1->media() || m_waitingForPlayStart)
        return;
    switch (playButton(m_playInfo->isPlaying(), isPlaying(m_player1.get()), m_player1->position(),
                       m_views.controls->sliderValue())) {
    case PlayButton::Nothing:
        break;
    case PlayButton::Pause:
        m_player1->pause();
        break;
    case PlayButton::Restart:
        m_player1->setMedia(nullptr);
        playAtIndex(m_mediaIndex);
        break;
    case PlayButton::ResumeFromSlider: {
        const VLCTime length = m_player1->media()->length();
        m_player1->setTime(VLCTime(int64_t(m_views.controls->sliderValue() * double(length.intValue()))));
        seekStarted(m_views.controls->sliderValue(), false);
        QTimer::singleShot(m_timings.resumeDelay, this, [this] {
            if (m_player1)
                m_player1->play();
        });
        break;
    }
    case PlayButton::Play:
        m_player1->play();
        break;
    }
}

void DCVPlaybackController::videoPositionSliderMoved() {
    const double v = m_views.controls->sliderValue();
    dcvLog("[%s] position slider moved:%lf <=> %lf", kTag, m_playInfo->position(), v);
    if (!m_player1->media() || m_waitingForPlayStart)
        return;
    m_playInfo->setIsPlaying(isPlaying(m_player1.get()));
    const bool ended = hasEndedNow();
    const SliderMove move = sliderMove(v, m_player1->position());
    if (move == SliderMove::ToEnd) {
        m_player1->setTime(m_player1->media()->length());
        seekStarted(1.0, ended);
        return;
    }
    // Until the player has settled its reports are from before the move.
    m_moving = true;
    m_movingPosition = v;
    m_player1->setPosition(float(v));
    seekStarted(v, ended);
    if (move == SliderMove::Forward) {
        syncVideoPositionDelay(m_timings.settleAfterForward);
        return;
    }
    QTimer::singleShot(m_timings.sliderReseekDelay, this, [this] {
        if (!m_player1)
            return;
        m_player1->setPosition(float(m_movingPosition));
        syncVideoPositionDelay(m_timings.settleAfterSliderBack);
    });
}

void DCVPlaybackController::syncVideoPositionDelay(int milliseconds) {
    if (!m_player1 || !m_player1->media())
        return;
    QTimer::singleShot(milliseconds, this, [this] {
        m_moving = false;
        emit settled();
    });
}

void DCVPlaybackController::jumpForward() {
    if (!m_player1)
        return;
    dcvLog("[%s] _player1.time=%s,remainingTime.stringValue=%s", kTag,
           m_player1->time().stringValue().toUtf8().constData(),
           m_player1->remainingTime().stringValue().toUtf8().constData());
    if (!m_player1->media())
        return;
    const int64_t length = m_player1->media()->length().intValue();
    const Jump jump =
        dcv::jumpForward(m_moving, m_player1->remainingTime().intValue(), length, m_player1->position());
    const bool ended = hasEndedNow();
    if (jump.kind == JumpKind::ToEnd) {
        m_player1->setTime(m_player1->media()->length());
        seekStarted(1.0, ended);
    } else if (jump.kind == JumpKind::Seek) {
        m_moving = true;
        m_movingPosition = jump.target;
        m_views.controls->setSliderValue(jump.target);
        m_player1->jumpForward(int(kJumpSeconds));
        seekStarted(jump.target, ended);
        syncVideoPositionDelay(m_timings.settleAfterForward);
    }
}

void DCVPlaybackController::jumpBackward() {
    if (!m_player1 || !m_player1->media())
        return;
    const int64_t length = m_player1->media()->length().intValue();
    const Jump jump =
        dcv::jumpBackward(m_moving, m_player1->time().intValue(), length, m_player1->position());
    if (jump.kind == JumpKind::Ignored)
        return;
    const bool ended = hasEndedNow();
    // libVLC often lands after a backward target at first: the position is set again a little later.
    int reseekDelay = 0;
    if (jump.kind == JumpKind::ToStart) {
        m_player1->setTime(VLCTime(0));
    } else {
        m_moving = true;
        m_movingPosition = jump.target;
        reseekDelay = m_timings.jumpReseekDelay;
    }
    m_player1->setPosition(float(jump.target));
    seekStarted(jump.target, ended);
    QTimer::singleShot(reseekDelay, this, [this, target = jump.target] {
        if (!m_player1)
            return;
        m_player1->setPosition(float(target));
        syncVideoPositionDelay(m_timings.settleAfterJumpBack);
    });
}

void DCVPlaybackController::setVolume(quint64 volume) {
    m_volume = volume;
    emit volumeChanged();
}

void DCVPlaybackController::volumeUp() {
    setVolume(dcv::volumeUp(m_volume));
}

void DCVPlaybackController::volumeDown() {
    setVolume(dcv::volumeDown(m_volume));
}

void DCVPlaybackController::updateAudioUI() {
    if (m_player1) {
        m_player1->audio().setMute(false);
        m_player1->audio().setVolume(int(m_volume));
    }
    m_views.controls->showVolume(int(m_volume));
}

void DCVPlaybackController::speedClicked(bool down) {
    if (!down && fasterSpeed(m_playInfo->speed()))
        increaseSpeed();
    else
        decreaseSpeed();
}

void DCVPlaybackController::increaseSpeed() {
    if (const auto speed = fasterSpeed(m_playInfo->speed())) {
        m_player1->setRate(m_player1->rate() + float(kSpeedStep));
        m_clock.setRate(*speed, now());
        if (m_publishTimer->isActive())
            m_publishTimer->start(0);
        m_playInfo->setSpeed(*speed);
    }
}

void DCVPlaybackController::decreaseSpeed() {
    if (const auto speed = slowerSpeed(m_playInfo->speed())) {
        m_player1->setRate(m_player1->rate() - float(kSpeedStep));
        m_clock.setRate(*speed, now());
        if (m_publishTimer->isActive())
            m_publishTimer->start(0);
        m_playInfo->setSpeed(*speed);
    }
}

void DCVPlaybackController::updatePlayInfoScale() {
    if (!m_player1 || !m_player1->isPlaying() || !m_player1->hasVideoOut())
        return;
    const QSize video = m_player1->videoSize();
    if (video.height() <= 0)
        return;
    m_scaledVideoSize = video;
    m_playInfo->setScale(double(m_views.videoContainerView->height()) / double(video.height()));
}

void DCVPlaybackController::sizeUp() {
    if (m_player1 && m_player1->isPlaying())
        setVideoScaleIndex(+1);
}

void DCVPlaybackController::sizeDown() {
    if (m_player1 && m_player1->isPlaying())
        setVideoScaleIndex(-1);
}

void DCVPlaybackController::setVideoScaleIndex(int step) {
    CustomWindow& window = *m_views.window;
    const QRect frame = window.geometry();
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(INT_MAX / 2, INT_MAX / 2);
    const SizeStep next = sizeStep({frame.width(), frame.height()}, step,
                                   {screenSize.width(), screenSize.height()}, window.isFullScreen());
    switch (next.kind) {
    case SizeStepKind::Nothing:
        break;
    case SizeStepKind::EnterFullScreen:
        window.enterFullscreen();
        break;
    case SizeStepKind::LeaveFullScreen:
        window.leaveFullscreen();
        break;
    case SizeStepKind::Resize:
        window.setFrame(QRect(frame.topLeft(), QSize(next.size.width, next.size.height)), true);
        break;
    }
}

} // namespace dcv
