#pragma once

#include "platform/LatestTask.h"
#include "player/PlayClock.h"
#include "player/PlaybackRules.h"
#include "telemetry/DCVBlackBoxData.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <memory>

class QTableView;
class QTimer;
class QWidget;

namespace dcv {

class CustomWindow;
class DCVLoadingIndicator;
class DCVMediaList;
class DCVPlayInfo;
class DCVPlaybackControls;
class DCVTelemetryDisplay;
class MediaPlayer;
class TKVideoBackgroundImageView;
class VLCVideoView;

// The views of the main window the playback works on; the window owns them all.
struct DCVPlaybackViews {
    CustomWindow* window = nullptr; // size steps, full screen, alerts
    QWidget* videoContainerView = nullptr;
    VLCVideoView* video1View = nullptr;
    TKVideoBackgroundImageView* player1BackgroundView = nullptr;
    QTableView* mediaListTableView = nullptr;
    DCVPlaybackControls* controls = nullptr;
    DCVTelemetryDisplay* telemetry = nullptr;
    DCVLoadingIndicator* loading = nullptr;
};

// Drives the one player of the main window: starts a row once its telemetry has been read on a
// worker, turns the player's events into the observable play state (`playInfo`) that the
// controls and the telemetry display follow, moves on to the next row at the end of a
// recording, and carries out the controls' actions by the rules of PlaybackRules.h.
class DCVPlaybackController : public QObject {
    Q_OBJECT
    Q_PROPERTY(quint64 volume READ volume WRITE setVolume NOTIFY volumeChanged)
public:
    DCVPlaybackController(DCVMediaList& mediaList, std::unique_ptr<MediaPlayer> player,
                          const DCVPlaybackViews& views, PlaybackTimings timings, QObject* parent = nullptr);
    ~DCVPlaybackController() override;

    // Starting and stopping.
    bool playAtIndex(int64_t index);
    bool playNext();
    // The table's double-click: the selected row starts, or the loaded one plays on.
    void changeAndPlay();
    void stopPlay();
    // Lets go of the loaded recording (another folder was opened): the player, the controls,
    // the graph and the texts return to their state without a recording; a pending start is
    // dropped.
    void closeRecording();
    // Stops the player for good and lets go of it; the video view may go after this.
    void die();
    static bool isPlaying(const MediaPlayer* player);
    static bool hasAudio(const MediaPlayer* player);

    // Actions of the controls and the keys.
    void clickPlayButton();
    void videoPositionSliderMoved();
    void jumpForward();
    void jumpBackward();
    void volumeUp();
    void volumeDown();
    void increaseSpeed();
    void decreaseSpeed();
    void sizeUp();
    void sizeDown();
    // The scale of the picture after the video area changed its size.
    void updatePlayInfoScale();

    quint64 volume() const { return m_volume; }
    void setVolume(quint64 volume);

    // What the window shows, for the window and for tests.
    MediaPlayer* player() const { return m_player1.get(); }
    DCVPlayInfo* playInfo() const { return m_playInfo.get(); }
    const std::shared_ptr<const DCVBlackBoxData>& blackBoxData() const;
    int64_t mediaIndex() const { return m_mediaIndex; }
    bool waitingForPlayStart() const { return m_waitingForPlayStart; }
    // A seek is settling; the player's own positions are held back until it has.
    bool moving() const { return m_moving; }
    double movingPosition() const { return m_movingPosition; }
    // The play time between the player's reports, which the published position follows.
    const PlayClock& playClock() const { return m_clock; }

signals:
    void volumeChanged();
    // The telemetry of a started row has been handed over and play was asked for.
    void telemetryHandedOver(qint64 index);
    // A started row never played.
    void playFailed(qint64 index);
    // The controls are being prepared for a new recording.
    void preparingRecording();
    // The seeking window of a jump or slider move has closed.
    void settled();
    // The end-of-recording check found row `index` ended and tried the next one.
    void playNextTried(qint64 index, bool started);
    // Row `index` was found ended; the next one is tried after the delay unless a seek comes.
    void playNextScheduled(qint64 index);
    // A seek after the end of row `index` called off its scheduled advance.
    void playNextCancelled(qint64 index);

private:
    void observeValueForKeyPath(const QString& keyPath);
    void blackBoxDataRead(std::shared_ptr<const DCVBlackBoxData> data);
    void failStart(const char* reason);
    void updateVideoUI();
    void initMediaControlView();
    void chooseAudioAuto();
    void updateAudioUI();
    void mediaPlayerStateChanged();
    void mediaPlayerTimeChanged(MediaPlayer* object);
    void didStartPlayer();
    void didFinishPlay();
    void startTimerPlayNext();
    void timerPlayNext();
    void positionEdited(double value, bool held);
    void syncVideoPositionDelay(int milliseconds);
    void setVideoScaleIndex(int step);
    void speedClicked(bool down);
    void updateVideoVisibility();
    int64_t now() const;
    int64_t lengthMs() const;
    void publishPlayPosition();
    // Milliseconds until the play clock reaches the next telemetry sample, at most the publish
    // interval.
    int nextPublishDelay() const;
    // A seek to `position` was asked for: the published position holds there until the player
    // reports from it; an ended recording plays on from there.
    void seekStarted(double position, bool ended);
    // Paused at the end of the recording (a user's pause in its last percent counts too).
    bool hasEndedNow() const;
    void failStartAlert();

    DCVMediaList& m_mediaList;
    std::unique_ptr<MediaPlayer> m_player1;
    std::unique_ptr<DCVPlayInfo> m_playInfo;
    DCVPlaybackViews m_views;
    PlaybackTimings m_timings;
    QTimer* m_playStopTimer = nullptr;

    int64_t m_mediaIndex = -1;
    bool m_waitingForPlayStart = false;
    bool m_preparingPlayNext = false;
    bool m_moving = false;
    double m_movingPosition = 0;
    quint64 m_volume = 0;
    PlayClock m_clock;
    QTimer* m_publishTimer = nullptr;
    // Raised by every seek and start: an advance scheduled before it is called off.
    uint64_t m_advanceGeneration = 0;
    // The video size the scale was last computed for.
    QSize m_scaledVideoSize;
    // One per start: the time limit of an earlier start is ignored.
    uint64_t m_startGeneration = 0;
    bool m_playRequested = false;
    // A time change came after the play request: the file really plays.
    bool m_startConfirmed = true;
    LatestTask<std::shared_ptr<const DCVBlackBoxData>> m_telemetryRead;
    bool m_died = false;
};

} // namespace dcv
