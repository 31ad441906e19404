#pragma once

#include "recordings/DCVMediaList.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <memory>

class QLabel;
class QSlider;
class QTableView;
class QWidget;

namespace dcv {

class CustomBackgroundBox;
class CustomWindow;
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
// recordings and the map, shows the loading indicator and shuts down.
//
// Playback (the player and its video view, the play state, the table's rows, the controls'
// actions and the telemetry display) is built on top of this window: the views it needs are
// here, named as the layouts name them, and left without behaviour.
class DCVAppDelegate : public QObject, public DCVMediaListDelegate {
    Q_OBJECT
public:
    struct Options {
        bool deferMapPage = true; // load the map page after the first paint
        bool animateFrames = true;
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

    // Views of the window.
    std::unique_ptr<CustomWindow> window;
    TKColorBackgroundView *backgroundBox = nullptr, *headBox = nullptr, *bodyBox = nullptr, *bodyLeftBox = nullptr,
                          *bodyRightBox = nullptr, *videoBox = nullptr, *gsensorBox = nullptr,
                          *mediaControlBox = nullptr, *sideButtonBox = nullptr, *mediaListBox = nullptr;
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
    QSlider *videoPositionSlider = nullptr, *videoPositionSliderForFullScreen = nullptr, *volumeSlider = nullptr;
    DCVSideButtonView *recordButtonImageView = nullptr, *informationButtonImageView = nullptr;
    QWidget *mapContainerView = nullptr, *mapContainerTopView = nullptr, *mapContainerBottomView = nullptr;
    QPointer<DCVWebView> mapWebView;
    GraphView* graphView = nullptr;
    QLabel *gsensorXField = nullptr, *gsensorYField = nullptr, *gsensorZField = nullptr, *speedField = nullptr,
           *longitudeField = nullptr, *latitudeField = nullptr, *hdopField = nullptr, *sateliteField = nullptr;
    PMProgressIndicator* progressIndicator = nullptr;
    // Head box buttons: a borderless window brings its own close and minimise.
    TKImageButton *closeButton = nullptr, *minimizeButton = nullptr, *openFolderButton = nullptr,
                  *settingButton = nullptr, *timeSetupButton = nullptr, *captureButton = nullptr,
                  *printButton = nullptr;

signals:
    void mapPageLoadFinished(bool ok);

private:
    void buildWindow();
    void buildHeadBox();
    void buildVideoBox();
    void buildGsensorBox();
    void buildMediaControlBox();
    void buildRightColumn();
    static void centerViewHorizontally(QWidget* view, QWidget* over);

    Options m_options;
    int m_loadingTickMs = 300;
    int m_loadingTicks = 0;
    uint64_t m_loadingGeneration = 0;
    bool m_mapPageLoaded = false;
    bool m_died = false;
};

} // namespace dcv
