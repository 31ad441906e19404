#pragma once

#include "platform/LatestTask.h"
#include "platform/Services.h"
#include "player/DCVSnapshotController.h"
#include "player/PlaybackRules.h"
#include "recordings/DCVMediaList.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>

class QTableView;
class QWidget;

namespace dcv {

class CustomBackgroundBox;
class CustomWindow;
class DCVSettingController;
class DCVTimeSetupController;
class DCVLoadingIndicator;
class DCVMediaListModel;
class DCVPlaybackController;
class DCVPlaybackControls;
class DCVScriptTarget;
class DCVScrollableVideoContainerView;
class DCVSideButtonView;
class DCVTelemetryDisplay;
class DCVMapPage;
class DCVWebView;
class MediaPlayer;
class PMProgressIndicator;
class TKColorBackgroundView;
class TKImageButton;
class TKImageView;
class TKVideoBackgroundImageView;
class VLCVideoView;

// A window `dcv-viewer --open` asks for at start.
struct StartWindow {
    enum class Kind { Settings, Format, TimeSetup, DriveLog };
    Kind kind = Kind::Settings;
    int tab = 0; // of the settings window
    friend bool operator==(const StartWindow&, const StartWindow&) = default;
};
// "settings" or "settings:N" (tab N, 0 to 6), "format", "timeset", "drive-log"; none for
// anything else.
std::optional<StartWindow> startWindowFor(const QString& request);

// The application's controller: it owns the main window and every view in it, runs start-up
// in three steps (awakeFromNib, setupInitialValues, applicationDidFinishLaunching), lays the
// window out in its normal and full-screen forms, switches the right column between the
// recordings and the map, opens folders of recordings and the other windows, and shuts down.
// The playback (player, controls, telemetry display) is the playback controller's, which it
// makes and hands the views to. What it needs of the outside world comes in with the services.
class DCVAppDelegate : public QObject, public DCVMediaListDelegate {
    Q_OBJECT
public:
    struct Options {
        bool deferMapPage = true; // load the map page after the first paint
        bool withMapPage = true;  // tests of playback leave the browser engine out
        bool animateFrames = true;
        // Makes the player over the video view; the libVLC player when not set.
        std::function<std::unique_ptr<MediaPlayer>(VLCVideoView*)> makePlayer;
        PlaybackTimings timings;
    };
    explicit DCVAppDelegate(Services services);
    DCVAppDelegate(Services services, const Options& options);
    ~DCVAppDelegate() override;

    static QSize minWindowSize() { return {kMinWindowSize.width, kMinWindowSize.height}; }
    QRect minWindowFrame() const;
    QSize windowWillResize(const QSize& proposed) const { return proposed; }
    bool windowShouldZoom() const { return true; }
    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    CustomWindow* window() const { return m_window.get(); }
    DCVPlaybackController& playback() const { return *m_playback; }
    DCVSnapshotController& snapshot() const { return *m_snapshot; }

    // The right column: 0 the recordings, 1 the map.
    int32_t rightViewMode() const { return m_rightViewMode; }
    void clickMediaListViewButton();
    void clickMapViewButton();
    void toggleFullScreen();
    void closeWindow();

    // The recordings of a folder: the scan runs on a worker; a newer folder supersedes it.
    void openDirectory(const QString& path);
    // Asks for a folder with the open panel; the player stops when one is chosen.
    void openMediaDirectoryDialog();
    void mediaListChanged(DCVMediaList& list) override;
    // What a scan left out, as the lines of the alert shown after it; empty when nothing.
    static QString scanReportText(const RecordingScanReport& report);

    // The map page, loaded once the window has been painted (or at once without deferMapPage).
    DCVMapPage* mapPage() const;
    // Its view, made when the map is first shown.
    DCVWebView* mapWebView() const;
    // Where the map scripts go: the map view unless a test puts its own target here.
    void setMapScriptTarget(DCVScriptTarget* target);

    // The other windows (settings, clock setting, driving log …) have a controller each, made
    // on demand: the one opened last is kept here, and opening the next one lets it go. Each
    // opens its window window-modal over the main window with open().
    template <class Controller> Controller& openDialogController(std::unique_ptr<Controller> controller) {
        Controller& opened = *controller;
        m_lastDialogController = std::move(controller);
        return opened;
    }
    QObject* lastDialogController() const { return m_lastDialogController.get(); }
    // Opens a new settings window over the main window.
    DCVSettingController& showSettingPanel();
    // Opens a new clock-setting window over the main window.
    DCVTimeSetupController& showTimeSetupPanel();
    // Opens what `--open` asked for: the format window and the driving log open in the
    // settings window, which opens them.
    void openStartWindow(const StartWindow& request);

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void mapPageLoadFinished(bool ok);
    // The table holds a new list.
    void mediaListReloaded();

private:
    // Start-up, in this order (the constructor runs all three).
    void awakeFromNib();
    void setupInitialValues();
    void applicationDidFinishLaunching();

    void buildWindow();
    void buildHeadBox();
    void buildVideoBox();
    void buildRightColumn();
    void initMediaListTableView();
    // Sizes the table's columns to what they show, the file names first.
    void fitMediaListColumns();
    // Loads "map2_eng.htm" (or "map2.htm" for a Korean build) into the map view.
    void loadMapPage();
    // Puts the map page in a view, the first time the map is shown.
    void showMapPage();

    void layoutWindow();
    void layoutBodyBox();
    void layoutMapContainer();
    void showFrameIfDebugging();
    void updateSideViewButton();
    // The one handler of the window's observed changes ("window.isFullScreen").
    void observeValueForKeyPath(const QString& keyPath);
    void contentResized();

    void windowWillClose();
    void applicationWillTerminate();
    void die();

    bool handleKey(int key);
    void openDroppedFolder(const QString& path);

    Services m_services;
    Options m_options;
    std::unique_ptr<DCVMediaList> m_mediaList;
    LatestTask<RecordingScan> m_scan;
    std::unique_ptr<CustomWindow> m_window;
    DCVPlaybackController* m_playback = nullptr;
    DCVSnapshotController* m_snapshot = nullptr;
    DCVPlaybackControls* m_controls = nullptr;
    DCVTelemetryDisplay* m_telemetry = nullptr;
    DCVLoadingIndicator* m_loading = nullptr;
    DCVMediaListModel* m_mediaListModel = nullptr;
    int32_t m_rightViewMode = 0;
    bool m_died = false;
    std::unique_ptr<QObject> m_lastDialogController;

    // Views of the window.
    TKColorBackgroundView *m_backgroundBox = nullptr, *m_headBox = nullptr, *m_bodyBox = nullptr,
                          *m_bodyLeftBox = nullptr, *m_bodyRightBox = nullptr, *m_videoBox = nullptr,
                          *m_gsensorBox = nullptr, *m_mediaControlBox = nullptr, *m_sideButtonBox = nullptr,
                          *m_mediaListBox = nullptr;
    DCVScrollableVideoContainerView* m_videoContainerView = nullptr;
    VLCVideoView* m_video1View = nullptr;
    TKVideoBackgroundImageView* m_player1BackgroundView = nullptr;
    QWidget* m_mediaControlBoxForFullScreen = nullptr;
    TKImageView* m_ci_no_bg = nullptr;
    CustomBackgroundBox* m_headDivider = nullptr;
    QTableView* m_mediaListTableView = nullptr;
    QWidget* m_mediaListScrollView = nullptr;
    DCVSideButtonView *m_recordButtonImageView = nullptr, *m_informationButtonImageView = nullptr;
    QWidget *m_mapContainerView = nullptr, *m_mapContainerTopView = nullptr,
            *m_mapContainerBottomView = nullptr;
    QPointer<DCVMapPage> m_mapPage;
    QPointer<DCVWebView> m_mapWebView;
    PMProgressIndicator* m_progressIndicator = nullptr;
    // Head box buttons: a borderless window brings its own close and minimise.
    TKImageButton *m_closeButton = nullptr, *m_minimizeButton = nullptr, *m_openFolderButton = nullptr,
                  *m_settingButton = nullptr, *m_timeSetupButton = nullptr, *m_captureButton = nullptr,
                  *m_printButton = nullptr;
};

} // namespace dcv
