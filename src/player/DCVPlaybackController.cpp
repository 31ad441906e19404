// Playback of the main window: starting a row, the player's events, the end of a recording,
// the controls and the telemetry display of the play position.
#include "app/DCVAppDelegate.h"

#include "platform/DCVLog.h"
#include "platform/DCVStrings.h"
#include "platform/vlc/MediaPlayer.h"
#include "platform/vlc/VLCVideoView.h"
#include "platform/web/DCVWebView.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlayInfo.h"
#include "telemetry/GraphView.h"
#include "telemetry/MapScripts.h"
#include "telemetry/TelemetryText.h"
#include "widgets/CustomWindow.h"
#include "widgets/TKImageButton.h"
#include "widgets/TKVideoBackgroundImageView.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSlider>
#include <QTableView>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace dcv {

int32_t DCVAppDelegate::s_timeChangeCounter = -1;

namespace {

const char* const kTag = "D ";

} // namespace

// ---------------------------------------------------------------------------------------------
// Starting a recording.

bool DCVAppDelegate::playAtIndex(int64_t index) {
    const int64_t count = mediaList->count();
    if (!player1 || count == 0 || waitingForPlayStart)
        return false;
    index = std::clamp<int64_t>(index, 0, count - 1);
    waitingForPlayStart = true;
    m_playRequested = false;
    m_startConfirmed = false;
    const uint64_t generation = ++m_startGeneration;
    player1->stop();
    player1->setMedia(nullptr);
    // Until the new telemetry is handed over, the display shows none rather than the old file's.
    blackBoxData = std::make_shared<const DCVBlackBoxData>();
    mediaIndex = index;
    mediaListTableView->selectRow(int(index));
    preparingPlayNext = false;
    startTimerPlayNext();
    updateVideoUI();
    showLoading(QStringLiteral("Loading..."));

    // The worker fills a fresh object that nothing else sees until it is handed over here.
    const QByteArray path = player1->media() ? player1->media()->path().toUtf8() : QByteArray();
    m_telemetryRead = QtConcurrent::run([this, generation, path] {
        auto data = std::make_shared<DCVBlackBoxData>();
        if (!data->ExtractStreamInformation(path.constData()))
            dcvLog("telemetry read fail:%s %s", path.constData(), data->extractError().c_str());
        QMetaObject::invokeMethod(
            this,
            [this, generation, data = std::shared_ptr<const DCVBlackBoxData>(std::move(data))] {
                blackBoxDataRead(generation, data);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void DCVAppDelegate::blackBoxDataRead(uint64_t generation, std::shared_ptr<const DCVBlackBoxData> data) {
    if (!player1 || generation != m_startGeneration || !waitingForPlayStart)
        return;
    blackBoxData = std::move(data);
    graphView->setGraphData(GraphView::Samples(blackBoxData, &blackBoxData->m_GSensors()));
    if ((mapWebView && m_mapPageLoaded) || m_mapScriptTarget) {
        DCVScriptTarget& target = m_mapScriptTarget ? *m_mapScriptTarget : *mapWebView;
        DCVMapBridge(target).setTrack(mapTrack(blackBoxData->m_vGpsData()));
    }
    initMediaControlView();
    player1->play();
    m_playRequested = true;
    emit telemetryHandedOver(mediaIndex);
    QTimer::singleShot(m_options.playStartTimeoutMs, this, [this, generation] {
        if (generation == m_startGeneration && m_playRequested && !m_startConfirmed)
            failStart("no time change in time");
    });
}

void DCVAppDelegate::failStart(const char* reason) {
    const QString path = player1->media() ? player1->media()->path() : QString();
    dcvLog("play fail:%s (%s)", path.toUtf8().constData(), reason);
    waitingForPlayStart = false;
    m_playRequested = false;
    m_startConfirmed = true; // nothing more to fail for this start
    hideLoading();
    player1->stop();
    video1View->hide();
    showAlertSheet(QStringLiteral("TELVO"), infoText("msg.file_open_fail"));
    emit playFailed(mediaIndex);
}

bool DCVAppDelegate::playNext() {
    if (mediaIndex + 1 < mediaList->count())
        return playAtIndex(mediaIndex + 1);
    return false;
}

void DCVAppDelegate::changeAndPlay() {
    const QModelIndexList rows = mediaListTableView->selectionModel()
                                     ? mediaListTableView->selectionModel()->selectedRows()
                                     : QModelIndexList();
    const long selectedRow = rows.isEmpty() ? -1 : rows.first().row();
    dcvLog("selectedRow=%ld,mediaIndex=%ld,isPlaying=%d,count=%ld", selectedRow, long(mediaIndex),
           int(player1->isPlaying()), long(mediaList->count()));
    if (selectedRow == mediaIndex) {
        // A start still pending is not to be asked to play a second time.
        if (waitingForPlayStart)
            return;
        if (player1->state() == VLCMediaPlayerStatePaused)
            player1->setPosition(0);
        player1->play();
        return;
    }
    playAtIndex(selectedRow);
}

void DCVAppDelegate::stopPlay() {
    if (!player1)
        return;
    player1->pause();
    player1->setMedia(nullptr);
}

bool DCVAppDelegate::isPlaying(const MediaPlayer* player) {
    return player && player->media() && player->isPlaying() &&
           player->remainingTime().stringValue() != QLatin1String("00:00");
}

bool DCVAppDelegate::hasAudio(const MediaPlayer* player) {
    return player && player->media() && !player->audioTrackIndexes().isEmpty();
}

void DCVAppDelegate::chooseAudioAuto() {
    if (hasAudio(player1.get()))
        playInfo->setAudioMediaDirection(mediaDirection(player1->media()->path().toStdString()));
    else
        playInfo->setAudioMediaDirection(MediaDirectionUnknown);
}

void DCVAppDelegate::updateVideoUI() {
    const DCVMediaPtr media = mediaList->mediaAtIndex(mediaIndex);
    if (media)
        player1->setMedia(VLCMedia::mediaWithPath(QString::fromStdString(media->path())));
    player1BackgroundView->setLogoImage(TKImage::imageNamed(QStringLiteral("v1_front_logo")));
}

void DCVAppDelegate::initMediaControlView() {
    waitingForPlayStart = true;
    setSliderValue(0);
    setVideoScaleIndex(0);
    updateSideViewButton();
    playInfo->setSpeed(1.0);
    player1->setRate(1.0f);
    playInfo->setPosition(0);
    gsensorXField->setText(QStringLiteral("X=+0.00"));
    gsensorYField->setText(QStringLiteral("Y=+0.00"));
    gsensorZField->setText(QStringLiteral("Z=+0.00"));
    for (QLabel* f : {speedField, longitudeField, latitudeField, hdopField, sateliteField})
        f->clear();
}

// ---------------------------------------------------------------------------------------------
// Player events.

void DCVAppDelegate::mediaPlayerStateChanged() {
    const int state = player1->state();
    const bool playing = player1->media() && player1->isPlaying();
    video1View->setVisible(playing || state == VLCMediaPlayerStatePaused);
    if (!player1->media())
        return;
    // A file that cannot be opened or decoded reports an error, or "plays" to its end without
    // a single time change (libVLC says playing for a file it cannot demultiplex).
    if (m_playRequested && !m_startConfirmed &&
        (state == VLCMediaPlayerStateError ||
         (state == VLCMediaPlayerStatePaused && player1->position() >= kEndOfRecording))) {
        failStart(state == VLCMediaPlayerStateError ? "error state" : "ended before playing");
        return;
    }
    if (state == VLCMediaPlayerStatePaused) {
        didFinishPlay();
    } else if (playing) {
        if (waitingForPlayStart) {
            waitingForPlayStart = false;
            didStartPlayer();
        } else {
            updateAudioUI();
        }
    }
}

void DCVAppDelegate::didStartPlayer() {
    if (!player1->media())
        return;
    playInfo->setSpeed(player1->rate());
    playInfo->setIsPlaying(isPlaying(player1.get()));
    chooseAudioAuto();
    if (playInfo->scale() == 0 && player1->hasVideoOut() && player1->videoSize().width() > 0)
        updatePlayInfoScale();
}

void DCVAppDelegate::didFinishPlay() {
    playInfo->setPosition(player1->position());
    playInfo->setIsPlaying(isPlaying(player1.get()));
}

void DCVAppDelegate::mediaPlayerTimeChanged(MediaPlayer* object) {
    const bool playing = player1->media() && player1->isPlaying();
    video1View->setVisible(playing || player1->state() == VLCMediaPlayerStatePaused);
    preparingPlayNext = false;
    if (m_playRequested)
        m_startConfirmed = true;
    // The video size is known only once the first pictures are decoded.
    if (playInfo->scale() == 0 && player1->hasVideoOut() && player1->videoSize().height() > 0)
        updatePlayInfoScale();
    if (!stopVideoLoadingView) {
        hideLoading();
        chooseAudioAuto();
    }
    playInfo->setIsPlaying(isPlaying(player1.get()));
    if (moving) {
        s_timeChangeCounter = -1;
        if (movingPosition > 0)
            playInfo->setPosition(movingPosition);
    } else if (object == player1.get()) {
        s_timeChangeCounter = (s_timeChangeCounter + 1) % 3;
        if (s_timeChangeCounter == 0)
            playInfo->setPosition(player1->position());
    }
}

void DCVAppDelegate::startTimerPlayNext() {
    if (playStopTimer) {
        playStopTimer->stop();
        playStopTimer->deleteLater();
    }
    playStopTimer = new QTimer(this);
    playStopTimer->setInterval(1000);
    connect(playStopTimer, &QTimer::timeout, this, &DCVAppDelegate::timerPlayNext);
    playStopTimer->start();
}

void DCVAppDelegate::timerPlayNext() {
    if (player1 && !preparingPlayNext && player1->state() == VLCMediaPlayerStatePaused &&
        player1->position() >= kEndOfRecording) {
        preparingPlayNext = true;
        QTimer::singleShot(1000, this, [this] { playNext(); });
    }
}

// ---------------------------------------------------------------------------------------------
// Controls.

double DCVAppDelegate::sliderValue() const {
    return double(videoPositionSlider->value()) / kSliderSteps;
}

void DCVAppDelegate::setSliderValue(double value) {
    m_updatingSliders = true;
    videoPositionSlider->setValue(int(std::lround(std::clamp(value, 0.0, 1.0) * kSliderSteps)));
    m_updatingSliders = false;
}

void DCVAppDelegate::bindPositionSliders() {
    // Both sliders show playInfo.position; a user's change writes it back, and the action
    // runs when the handle is let go (or at once for a click on the groove).
    connect(playInfo.get(), &DCVPlayInfo::positionChanged, this, [this] {
        m_updatingSliders = true;
        const int v = int(std::lround(std::clamp(playInfo->position(), 0.0, 1.0) * kSliderSteps));
        for (QSlider* s : {videoPositionSlider, videoPositionSliderForFullScreen})
            if (!s->isSliderDown())
                s->setValue(v);
        m_updatingSliders = false;
    });
    for (QSlider* s : {videoPositionSlider, videoPositionSliderForFullScreen}) {
        connect(s, &QSlider::valueChanged, this, [this, s] { positionSliderChanged(s); });
        connect(s, &QSlider::sliderReleased, this, [this, s] {
            if (s != videoPositionSlider)
                setSliderValue(double(s->value()) / kSliderSteps);
            videoPositionSliderMoved();
        });
    }
}

void DCVAppDelegate::positionSliderChanged(QSlider* slider) {
    if (m_updatingSliders)
        return;
    // The telemetry lists of a pending start are not there yet.
    if (waitingForPlayStart) {
        setSliderValue(playInfo->position());
        return;
    }
    playInfo->setPosition(double(slider->value()) / kSliderSteps);
    if (!slider->isSliderDown())
        videoPositionSliderMoved();
}

void DCVAppDelegate::clickPlayButton() {
    if (!player1->media() || waitingForPlayStart)
        return;
    if (playInfo->isPlaying()) {
        if (isPlaying(player1.get()))
            player1->pause();
        return;
    }
    if (player1->position() >= kEndZone) {
        if (sliderValue() >= kEndZone) {
            player1->setMedia(nullptr);
            playAtIndex(mediaIndex);
        } else {
            const VLCTime length = player1->media()->length();
            player1->setTime(VLCTime(int64_t(sliderValue() * double(length.intValue()))));
            QTimer::singleShot(100, this, [this] { player1->play(); });
        }
        return;
    }
    player1->play();
}

void DCVAppDelegate::videoPositionSliderMoved() {
    const double v = sliderValue();
    dcvLog("[%s] position slider moved:%lf <=> %lf", kTag, playInfo->position(), v);
    if (!player1->media() || waitingForPlayStart)
        return;
    playInfo->setIsPlaying(isPlaying(player1.get()));
    if (v >= kEndZone) {
        player1->setTime(player1->media()->length());
        return;
    }
    const double old = player1->position();
    movingPosition = v;
    player1->setPosition(float(v));
    if (old > v) {
        QTimer::singleShot(100, this, [this] {
            player1->setPosition(float(movingPosition));
            syncVideoPositionDelay(0.2);
        });
    } else {
        syncVideoPositionDelay(0.3);
    }
}

void DCVAppDelegate::syncVideoPositionDelay(double seconds) {
    if (!player1 || !player1->media())
        return;
    QTimer::singleShot(int(std::lround(seconds * 1000)), this, [this] { moving = false; });
}

void DCVAppDelegate::jumpForward() {
    dcvLog("[%s] _player1.time=%s,remainingTime.stringValue=%s", kTag,
           player1->time().stringValue().toUtf8().constData(),
           player1->remainingTime().stringValue().toUtf8().constData());
    if (moving || !player1->media())
        return;
    const double remaining = double(player1->remainingTime().intValue()) / 1000.0;
    const int64_t length = player1->media()->length().intValue();
    if (remaining > -kJumpSeconds || length <= 0) {
        player1->setTime(player1->media()->length());
        return;
    }
    moving = true;
    movingPosition = player1->position() + kJumpSeconds * 1000.0 / double(length);
    setSliderValue(movingPosition);
    player1->jumpForward(int(kJumpSeconds));
    syncVideoPositionDelay(0.3);
}

void DCVAppDelegate::jumpBackward() {
    if (moving || !player1->media())
        return;
    const double t = double(player1->time().intValue()) / 1000.0;
    const int64_t length = player1->media()->length().intValue();
    if (t < kJumpSeconds || length <= 0) {
        player1->setTime(VLCTime(0));
        player1->setPosition(0);
        QTimer::singleShot(0, this, [this] {
            player1->setPosition(0);
            syncVideoPositionDelay(0.1);
        });
        return;
    }
    moving = true;
    const double p = std::max(0.0, player1->position() - kJumpSeconds * 1000.0 / double(length));
    movingPosition = p;
    player1->setPosition(float(p));
    QTimer::singleShot(200, this, [this, p] {
        player1->setPosition(float(p));
        syncVideoPositionDelay(0.1);
    });
}

void DCVAppDelegate::setVolume(quint64 volume) {
    m_volume = volume;
    emit volumeChanged();
}

void DCVAppDelegate::volumeSliderMoved() {
    setVolume(quint64(std::max(0, volumeSlider->value())));
}

void DCVAppDelegate::volumeUp() {
    setVolume(std::min(kVolumeMax, m_volume + kVolumeStep));
}

void DCVAppDelegate::volumeDown() {
    setVolume(m_volume > kVolumeStep ? m_volume - kVolumeStep : 0);
}

void DCVAppDelegate::updateAudioUI() {
    player1->audio().setMute(false);
    player1->audio().setVolume(int(m_volume));
    const QSignalBlocker blocker(volumeSlider);
    volumeSlider->setValue(int(m_volume));
}

void DCVAppDelegate::increaseSpeed() {
    if (playInfo->speed() + kSpeedStep <= kSpeedMax) {
        player1->setRate(player1->rate() + float(kSpeedStep));
        playInfo->setSpeed(playInfo->speed() + kSpeedStep);
    }
}

void DCVAppDelegate::decreaseSpeed() {
    if (playInfo->speed() > kSpeedMin) {
        player1->setRate(player1->rate() - float(kSpeedStep));
        playInfo->setSpeed(playInfo->speed() - kSpeedStep);
    }
}

void DCVAppDelegate::updatePlayInfoScale() {
    if (!player1 || !player1->isPlaying() || !player1->hasVideoOut())
        return;
    const QSize video = player1->videoSize();
    if (video.height() <= 0)
        return;
    playInfo->setScale(double(videoContainerView->height()) / double(video.height()));
}

void DCVAppDelegate::sizeUp() {
    if (player1->isPlaying())
        setVideoScaleIndex(+1);
}

void DCVAppDelegate::sizeDown() {
    if (player1->isPlaying())
        setVideoScaleIndex(-1);
}

void DCVAppDelegate::setVideoScaleIndex(int step) {
    const QRect frame = window->geometry();
    const QSize base = minWindowSize();
    QSize size(frame.width() + int(std::lround(base.width() * kSizeStepRatio * step)),
               frame.height() + int(std::lround(base.height() * kSizeStepRatio * step)));
    if (step > 0) {
        if (window->isFullScreen())
            return;
        const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        const QRect s = screen ? screen->geometry() : QRect(QPoint(0, 0), size);
        if (size.width() > s.width() || size.height() > s.height() - kScreenMargin) {
            window->enterFullscreen();
            return;
        }
    } else if (window->isFullScreen()) {
        window->leaveFullscreen();
        return;
    }
    if (size.width() < base.width() || size.height() < base.height())
        size = base;
    window->setFrame(QRect(frame.topLeft(), size), m_options.animateFrames);
}

// ---------------------------------------------------------------------------------------------
// Telemetry display.

void DCVAppDelegate::updateGsensorUIByPlayPositon() {
    graphView->updateTimePosition(player1->position());
    const auto& samples = blackBoxData->m_GSensors();
    const auto index = sampleIndexForPosition(playInfo->position(), samples.size());
    if (!index)
        return;
    const DCVGSensor& g = samples[*index];
    gsensorXField->setText(QString::fromStdString(gsensorAxisText('X', g.x())));
    gsensorYField->setText(QString::fromStdString(gsensorAxisText('Y', g.y())));
    gsensorZField->setText(QString::fromStdString(gsensorAxisText('Z', g.z())));
}

void DCVAppDelegate::updateGpsUIByPlayPosition() {
    // Scripts sent before the page has loaded find no functions; the page gets the track and
    // the position once it has loaded.
    DCVScriptTarget* target = m_mapScriptTarget ? m_mapScriptTarget
                                                : (m_mapPageLoaded ? mapWebView.data() : nullptr);
    const auto& samples = blackBoxData->m_vGpsData();
    const auto index = sampleIndexForPosition(playInfo->position(), samples.size());
    if (!index) {
        if (target)
            DCVMapBridge(*target).debugNoGpsData();
        return;
    }
    const GpsTexts t = gpsTexts(samples[*index].data());
    if (target)
        DCVMapBridge(*target).updateMapLat(t.latitude, t.longitude);
    longitudeField->setText(QString::fromStdString(t.longitudeText));
    latitudeField->setText(QString::fromStdString(t.latitudeText));
    speedField->setText(QString::fromStdString(t.speedText));
    hdopField->setText(QString::fromStdString(t.hdopText));
    sateliteField->setText(QString::fromStdString(t.satelliteText));
}

// ---------------------------------------------------------------------------------------------
// Alerts, keys and dropped folders.

void DCVAppDelegate::showAlertSheet(const QString& message, const QString& informative) {
    auto* box = new QMessageBox(QMessageBox::Warning, message, message, QMessageBox::Ok, window.get());
    box->setInformativeText(informative);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_lastAlert = box;
    box->open();
}

bool DCVAppDelegate::handleKey(int key) {
    if (!player1)
        return false;
    switch (key) {
    case Qt::Key_Space:
        clickPlayButton();
        return true;
    case Qt::Key_Left:
        jumpBackward();
        return true;
    case Qt::Key_Right:
        jumpForward();
        return true;
    case Qt::Key_Up:
        volumeUp();
        return true;
    case Qt::Key_Down:
        volumeDown();
        return true;
    case Qt::Key_F:
        toggleFullScreen();
        return true;
    case Qt::Key_Escape:
        if (!window->isFullScreen())
            return false;
        window->leaveFullscreen();
        return true;
    default:
        return false;
    }
}

bool DCVAppDelegate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Keys typed anywhere in the main window (the table takes the focus) drive the player;
        // an alert over the window keeps its own keys.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window.get() || (m_lastAlert && m_lastAlert->isVisible()))
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        return handleKey(key->key());
    }
    case QEvent::DragEnter:
        if (watched == window.get()) {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (drag->mimeData()->hasUrls())
                drag->acceptProposedAction();
            return true;
        }
        return false;
    case QEvent::Drop:
        if (watched == window.get()) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = drop->mimeData()->urls();
            if (!urls.isEmpty() && urls.first().isLocalFile()) {
                openDroppedFolder(urls.first().toLocalFile());
                drop->acceptProposedAction();
            }
            return true;
        }
        return false;
    default:
        return false;
    }
}

void DCVAppDelegate::openDroppedFolder(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    player1->stop();
    openDirectory(folder);
}

} // namespace dcv
