#pragma once

#include "recordings/DCVMediaList.h"
#include "telemetry/DCVBlackBoxData.h"

#include <QFuture>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>

class QLabel;

class QSlider;
class QTableView;
class QTimer;
class QWidget;

namespace dcv {

class CustomBackgroundBox;
class CustomWindow;
class DCVMediaListModel;
class DCVPlayInfo;
class DCVScriptTarget;
class MediaPlayer;
class VLCVideoView;
class DCVScrollableVideoContainerView;
class DCVSideButtonView;
class DCVWebView;
class GraphView;
class PMProgressIndicator;
class TKColorBackgroundView;
class TKImageButton;
class TKImageView;
class TKThreePartImageView;
class TKVideoBackgroundImageView;

// The application's controller: it owns the main window and every view in it, runs start-up
// in three steps (awakeFromNib, setupInitialValues, applicationDidFinishLaunching), lays the
// window out in its normal and full-screen forms, switches the right column between the
// recordings and the map, shows the loading indicator and shuts down. It is also the
// recordings table's data source, drives the one player (start, events, auto-advance), turns
// the play state into the controls' looks and shows the telemetry of the play position.
class DCVAppDelegate : public QObject, public DCVMediaListDelegate {
    Q_OBJECT
    Q_PROPERTY(quint64 volume READ volume WRITE setVolume NOTIFY volumeChanged)
public:
    struct Options {
        bool deferMapPage = true; // load the map page after the first paint
        bool withMapPage = true;  // tests of playback leave the browser engine out
        bool animateFrames = true;
        // Makes the player over the video view; the libVLC player when not set.
        std::function<std::unique_ptr<MediaPlayer>(VLCVideoView*)> makePlayer;
        // A start that has not played after this long counts as failed.
        int playStartTimeoutMs = 10000;
    };
    DCVAppDelegate();
    explicit DCVAppDelegate(const Options& options);
    ~DCVAppDelegate() override;

    // Start-up, in this order (the constructor runs all three).
    void awakeFromNib();
    void setupInitialValues();
    void applicationDidFinishLaunching();

    static QSize minWindowSize() { return {1020, 640}; }
    QRect minWindowFrame() const;

    void layoutWindow();
    void layoutBodyBox();
    void layoutMapContainer();

    void updateSideViewButton();
    void clickMediaListViewButton();
    void clickMapViewButton();

    void showLoading(const QString& text);
    void updateLoadingWindow(double durationSeconds);
    void hideLoading();
    // The loading indicator's tick (0.3 s); tests shorten it.
    void setLoadingTickInterval(int milliseconds) { m_loadingTickMs = milliseconds; }
    int loadingTicks() const { return m_loadingTicks; }

    void closeWindow();
    void windowWillClose();
    void applicationWillTerminate();
    void die();

    void toggleFullScreen();
    void showFrameIfDebugging();
    QSize windowWillResize(const QSize& proposed) const { return proposed; }
    bool windowShouldZoom() const { return true; }
    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }
    void contentResized();
    // The one handler of observed changes ("window.isFullScreen", …).
    void observeValueForKeyPath(const QString& keyPath);

    // Loads "map2_eng.htm" (or "map2.htm" for a Korean build) into the map view.
    void loadMapPage();
    bool mapPageLoaded() const { return m_mapPageLoaded; }

    // The recordings of a folder: the scan runs on a worker.
    void openDirectory(const QString& path);
    void openMediaDirectoryDialog();
    void mediaListChanged(DCVMediaList& list) override;
    void initMediaListTableView();

    // Playback (start, events, end of a recording).
    bool playAtIndex(int64_t index);
    bool playNext();
    void changeAndPlay();
    void stopPlay();
    static bool isPlaying(const MediaPlayer* player);
    static bool hasAudio(const MediaPlayer* player);
    void chooseAudioAuto();
    void updateVideoUI();
    void initMediaControlView();
    void startTimerPlayNext();
    void timerPlayNext();
    void didStartPlayer();
    void didFinishPlay();
    void mediaPlayerStateChanged();
    void mediaPlayerTimeChanged(MediaPlayer* object);
    // Which time events publish the position; one value for the whole process.
    static int32_t timeChangeCounter() { return s_timeChangeCounter; }

    // Controls.
    void clickPlayButton();
    void videoPositionSliderMoved();
    void jumpForward();
    void jumpBackward();
    void volumeSliderMoved();
    void volumeUp();
    void volumeDown();
    void increaseSpeed();
    void decreaseSpeed();
    void sizeUp();
    void sizeDown();
    void syncVideoPositionDelay(double seconds);
    void updateAudioUI();
    void updatePlayInfoScale();
    void setVideoScaleIndex(int step);
    quint64 volume() const { return m_volume; }
    void setVolume(quint64 volume);

    // Telemetry display of the play position.
    void updateGsensorUIByPlayPositon();
    void updateGpsUIByPlayPosition();
    // Where the map scripts go: the map view unless a test puts its own target here.
    void setMapScriptTarget(DCVScriptTarget* target) { m_mapScriptTarget = target; }

    // One-button alert over the window; returns at once.
    void showAlertSheet(const QString& message, const QString& informative);
    QMessageBox* lastAlert() const { return m_lastAlert; }

    bool eventFilter(QObject* watched, QEvent* event) override;

    static constexpr double kJumpSeconds = 10;
    static constexpr quint64 kVolumeStep = 10, kVolumeMax = 200, kVolumeStart = 70;
    static constexpr double kSpeedStep = 1.0, kSpeedMin = 1.0, kSpeedMax = 2.0;
    static constexpr double kEndZone = 0.998;
    static constexpr double kEndOfRecording = 0.988;
    static constexpr double kSizeStepRatio = 0.2;
    static constexpr int kScreenMargin = 100;
    static constexpr int kSliderSteps = 10000;

    // Fields of the window controller.
    int64_t mediaIndex = 0;
    bool preparingPlayNext = false;
    double progress = 0;
    bool stopVideoLoadingView = false;
    bool waitingForPlayStart = false;
    bool moving = false;
    double movingPosition = 0;
    int32_t rightViewMode = 0;
    QStringList columnNames;

    std::unique_ptr<DCVMediaList> mediaList;
    std::unique_ptr<DCVPlayInfo> playInfo;
    // Replaced, never changed, when a recording starts: a worker fills the new one.
    std::shared_ptr<const DCVBlackBoxData> blackBoxData;
    std::unique_ptr<MediaPlayer> player1;
    VLCVideoView* video1View = nullptr;
    QTimer* playStopTimer = nullptr;
    DCVMediaListModel* mediaListModel = nullptr;

    // Views of the window.
    std::unique_ptr<CustomWindow> window;
    TKColorBackgroundView *backgroundBox = nullptr, *headBox = nullptr, *bodyBox = nullptr,
                          *bodyLeftBox = nullptr, *bodyRightBox = nullptr, *videoBox = nullptr,
                          *gsensorBox = nullptr, *mediaControlBox = nullptr, *sideButtonBox = nullptr,
                          *mediaListBox = nullptr;
    DCVScrollableVideoContainerView* videoContainerView = nullptr;
    TKVideoBackgroundImageView* player1BackgroundView = nullptr;
    TKThreePartImageView* mediaControlBoxForFullScreen = nullptr;
    TKImageView* ci_no_bg = nullptr;
    CustomBackgroundBox* headDivider = nullptr;
    QTableView* mediaListTableView = nullptr;
    QWidget* mediaListScrollView = nullptr;
    TKImageButton *speedTextButton = nullptr, *sizeTextButton = nullptr, *playButton = nullptr;
    TKImageButton *jumpBackwardButton = nullptr, *jumpForwardButton = nullptr, *volumeButton = nullptr,
                  *fullScreenButton = nullptr;
    QSlider *videoPositionSlider = nullptr, *videoPositionSliderForFullScreen = nullptr,
            *volumeSlider = nullptr;
    DCVSideButtonView *recordButtonImageView = nullptr, *informationButtonImageView = nullptr;
    QWidget *mapContainerView = nullptr, *mapContainerTopView = nullptr, *mapContainerBottomView = nullptr;
    QPointer<DCVWebView> mapWebView;
    GraphView* graphView = nullptr;
    QLabel *gsensorXField = nullptr, *gsensorYField = nullptr, *gsensorZField = nullptr,
           *speedField = nullptr, *longitudeField = nullptr, *latitudeField = nullptr, *hdopField = nullptr,
           *sateliteField = nullptr;
    PMProgressIndicator* progressIndicator = nullptr;
    // Head box buttons: a borderless window brings its own close and minimise.
    TKImageButton *closeButton = nullptr, *minimizeButton = nullptr, *openFolderButton = nullptr,
                  *settingButton = nullptr, *timeSetupButton = nullptr, *captureButton = nullptr,
                  *printButton = nullptr;

signals:
    void mapPageLoadFinished(bool ok);
    void volumeChanged();
    // The table holds a new list.
    void mediaListReloaded();
    // The telemetry of a started row has been handed over and play was asked for.
    void telemetryHandedOver(qint64 index);
    // A started row never played.
    void playFailed(qint64 index);

private:
    void buildWindow();
    void buildHeadBox();
    void buildVideoBox();
    void buildGsensorBox();
    void buildMediaControlBox();
    void buildRightColumn();
    static void centerViewHorizontally(QWidget* view, QWidget* over);

    void bindPositionSliders();
    void positionSliderChanged(QSlider* slider);
    void blackBoxDataRead(uint64_t generation, std::shared_ptr<const DCVBlackBoxData> data);
    void failStart(const char* reason);
    double sliderValue() const;
    void setSliderValue(double value);
    bool handleKey(int key);
    void openDroppedFolder(const QString& path);

    Options m_options;
    quint64 m_volume = 0;
    static int32_t s_timeChangeCounter;
    // One per start: late results and time limits of an earlier start are ignored.
    uint64_t m_startGeneration = 0;
    bool m_playRequested = false;
    // A time change came after the play request: the file really plays.
    bool m_startConfirmed = true;
    QFuture<void> m_telemetryRead;
    bool m_updatingSliders = false;
    DCVScriptTarget* m_mapScriptTarget = nullptr;
    QPointer<QMessageBox> m_lastAlert;
    int m_loadingTickMs = 300;
    int m_loadingTicks = 0;
    uint64_t m_loadingGeneration = 0;
    bool m_mapPageLoaded = false;
    bool m_died = false;
};

} // namespace dcv
