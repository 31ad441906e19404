#include "app/DCVAppDelegate.h"

#include "platform/DCVStrings.h"
#include "platform/vlc/VLCMediaPlayer.h"
#include "platform/vlc/VLCVideoView.h"
#include "platform/web/DCVWebView.h"
#include "player/DCVLoadingIndicator.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlaybackController.h"
#include "player/DCVPlaybackControls.h"
#include "player/DCVTelemetryDisplay.h"
#include "recordings/RecordingScan.h"
#include "sdcard/DCVTimeSetupController.h"
#include "settings/DCVSettingController.h"
#include "util/Log.h"
#include "widgets/AlertSheet.h"
#include "widgets/CustomWindow.h"
#include "widgets/DCVMediaListTableView.h"
#include "widgets/DCVSideButtonView.h"
#include "widgets/PMProgressIndicator.h"
#include "widgets/TKImageButton.h"
#include "widgets/TKVideoBackgroundImageView.h"
#include "widgets/TKViews.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStackedLayout>
#include <QTableView>

namespace dcv {

namespace {

// Replaces a box's layout (the widgets stay where they are) with an empty one.
template <class Layout> Layout* resetLayout(QWidget* box, const QMargins& margins = {}) {
    delete box->layout();
    auto* layout = new Layout(box);
    layout->setContentsMargins(margins);
    layout->setSpacing(0);
    return layout;
}

// The diagnostic tints a box has before showFrameIfDebugging clears them.
TKColorBackgroundView* makeBox(QWidget* parent, const char* name, QColor tint) {
    auto* box = new TKColorBackgroundView(parent);
    box->setObjectName(QLatin1String(name));
    tint.setAlpha(70);
    box->setBackgroundColor(tint);
    return box;
}

TKImageButton* makeHeadButton(QWidget* parent, const char* name, const char* image, const char* tooltipKey) {
    auto* button = new TKImageButton(QLatin1String(image), parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(32, 32);
    button->setToolTip(infoText(tooltipKey));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

DCVAppDelegate::DCVAppDelegate(Services services) : DCVAppDelegate(std::move(services), Options{}) {}

DCVAppDelegate::DCVAppDelegate(Services services, const Options& options)
    : m_services(std::move(services)), m_options(options) {
    CustomWindow::setAnimationDuration(options.animateFrames ? 160 : 0);
    DCVWebView::composeInSoftware();
    m_mediaList = DCVMediaList::mediaList();
    buildWindow();
    awakeFromNib();
    applicationDidFinishLaunching();
}

DCVAppDelegate::~DCVAppDelegate() {
    if (qApp)
        qApp->removeEventFilter(this);
    m_scan.cancel();
    m_scan.waitForFinished();
    die();
    m_mediaList->setDelegate(nullptr);
}

// ---------------------------------------------------------------------------------------------
// The window description: every box and view, placed inside its box. The boxes themselves are
// placed by layoutWindow.

void DCVAppDelegate::buildWindow() {
    m_window = std::make_unique<CustomWindow>(QRect(QPoint(0, 0), minWindowSize()));
    m_window->setObjectName(QStringLiteral("window"));
    m_window->setWindowTitle(infoText("main.window_title"));
    m_backgroundBox = makeBox(m_window.get(), "backgroundBox", Qt::gray);
    m_headBox = makeBox(m_backgroundBox, "headBox", Qt::blue);
    m_bodyBox = makeBox(m_backgroundBox, "bodyBox", Qt::green);
    m_bodyLeftBox = makeBox(m_bodyBox, "bodyLeftBox", Qt::yellow);
    m_bodyRightBox = makeBox(m_bodyBox, "bodyRightBox", Qt::cyan);
    m_videoBox = makeBox(m_bodyLeftBox, "videoBox", Qt::black);
    m_gsensorBox = makeBox(m_bodyLeftBox, "gsensorBox", Qt::red);
    m_mediaControlBox = makeBox(m_bodyLeftBox, "mediaControlBox", Qt::magenta);
    m_sideButtonBox = makeBox(m_bodyRightBox, "sideButtonBox", Qt::darkBlue);
    m_mediaListBox = makeBox(m_bodyRightBox, "mediaListBox", Qt::darkGreen);
    // The G-sensor panel keeps its own fill; it is not one of the layout boxes.
    m_gsensorBox->setBackgroundColor(QColor(0x18, 0x1b, 0x20));

    auto* content = resetLayout<QVBoxLayout>(m_window.get());
    content->setSizeConstraint(QLayout::SetNoConstraint);
    content->addWidget(m_backgroundBox);

    buildHeadBox();
    buildVideoBox();
    buildRightColumn();
    m_controls = new DCVPlaybackControls(m_mediaControlBox, m_bodyLeftBox);
    m_mediaControlBoxForFullScreen = m_controls->fullScreenStrip();
    m_telemetry = new DCVTelemetryDisplay(m_gsensorBox, m_mapContainerBottomView);
    m_loading = new DCVLoadingIndicator(m_progressIndicator, m_headBox, m_options.timings.loadingTick);
}

void DCVAppDelegate::buildHeadBox() {
    QWidget* head = m_headBox;
    m_ci_no_bg = new TKImageView(head);
    m_ci_no_bg->setObjectName(QStringLiteral("ci_no_bg"));
    m_closeButton =
        makeHeadButton(head, "closeButton", "btn_close_n", QT_TRANSLATE_NOOP("InfoPlist", "main.close"));
    m_minimizeButton = makeHeadButton(head, "minimizeButton", "btn_minimize_n",
                                      QT_TRANSLATE_NOOP("InfoPlist", "main.minimize"));
    m_openFolderButton = makeHeadButton(head, "openFolderButton", "btn_open_n",
                                        QT_TRANSLATE_NOOP("InfoPlist", "main.open_folder"));
    m_settingButton = makeHeadButton(head, "settingButton", "btn_setting_n",
                                     QT_TRANSLATE_NOOP("InfoPlist", "main.settings"));
    m_timeSetupButton = makeHeadButton(head, "timeSetupButton", "btn_clock_n",
                                       QT_TRANSLATE_NOOP("InfoPlist", "main.time_setup"));
    m_captureButton = makeHeadButton(head, "captureButton", "btn_capture_n",
                                     QT_TRANSLATE_NOOP("InfoPlist", "main.capture"));
    m_printButton =
        makeHeadButton(head, "printButton", "btn_print_n", QT_TRANSLATE_NOOP("InfoPlist", "main.print"));
    // Capture and print follow their actions (awakeFromNib).
    connect(m_settingButton, &QAbstractButton::clicked, this, [this] { showSettingPanel(); });
    connect(m_timeSetupButton, &QAbstractButton::clicked, this, [this] { showTimeSetupPanel(); });
    connect(m_closeButton, &QAbstractButton::clicked, this, &DCVAppDelegate::closeWindow);
    connect(m_minimizeButton, &QAbstractButton::clicked, m_window.get(), &QWidget::showMinimized);
    connect(m_openFolderButton, &QAbstractButton::clicked, this, &DCVAppDelegate::openMediaDirectoryDialog);

    auto* column = new QVBoxLayout(head);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    column->addLayout(row, 1);
    row->setContentsMargins(14, 0, 10, 0);
    row->setSpacing(2);
    row->addWidget(m_ci_no_bg, 0, Qt::AlignVCenter);
    row->addStretch(1);
    const auto separator = [head, row] {
        auto* line = new QWidget(head);
        line->setFixedSize(1, 18);
        line->setStyleSheet(QStringLiteral("background:#2f343c"));
        row->addSpacing(8);
        row->addWidget(line, 0, Qt::AlignVCenter);
        row->addSpacing(8);
    };
    for (QWidget* b : {m_openFolderButton, m_captureButton, m_printButton})
        row->addWidget(b, 0, Qt::AlignVCenter);
    separator();
    for (QWidget* b : {m_settingButton, m_timeSetupButton})
        row->addWidget(b, 0, Qt::AlignVCenter);
    separator();
    for (QWidget* b : {m_minimizeButton, m_closeButton})
        row->addWidget(b, 0, Qt::AlignVCenter);

    // A hairline under the head in the frames' warm grey.
    m_headDivider = new CustomBackgroundBox(head);
    m_headDivider->setObjectName(QStringLiteral("headDivider"));
    m_headDivider->setFixedHeight(1);
    column->addWidget(m_headDivider);

    m_progressIndicator = new PMProgressIndicator(head);
    m_progressIndicator->setObjectName(QStringLiteral("progressIndicator"));
    m_progressIndicator->setGeometry(0, 22, 220, 6);
    m_progressIndicator->hide();
}

void DCVAppDelegate::buildVideoBox() {
    m_player1BackgroundView = new TKVideoBackgroundImageView(m_videoBox);
    m_player1BackgroundView->setObjectName(QStringLiteral("player1BackgroundView"));
    m_videoContainerView = new DCVScrollableVideoContainerView(m_videoBox);
    m_videoContainerView->setObjectName(QStringLiteral("videoContainerView"));
    // The video view goes in here, filling it.
    auto* videoLayout = new QVBoxLayout(m_videoContainerView);
    videoLayout->setContentsMargins(0, 0, 0, 0);
    auto* stack = new QStackedLayout(m_videoBox);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(m_videoContainerView);
    stack->addWidget(m_player1BackgroundView);
    m_videoContainerView->raise();
}

void DCVAppDelegate::buildRightColumn() {
    m_recordButtonImageView = new DCVSideButtonView(m_sideButtonBox);
    m_recordButtonImageView->setObjectName(QStringLiteral("recordButtonImageView"));
    m_recordButtonImageView->setTitle(infoText("main.recordings"));
    m_informationButtonImageView = new DCVSideButtonView(m_sideButtonBox);
    m_informationButtonImageView->setObjectName(QStringLiteral("informationButtonImageView"));
    m_informationButtonImageView->setTitle(infoText("main.map"));
    connect(m_recordButtonImageView, &DCVSideButtonView::clicked, this,
            &DCVAppDelegate::clickMediaListViewButton);
    connect(m_informationButtonImageView, &DCVSideButtonView::clicked, this,
            &DCVAppDelegate::clickMapViewButton);
    auto* tabs = new QHBoxLayout(m_sideButtonBox);
    tabs->setContentsMargins(0, 0, 0, 0);
    tabs->setSpacing(2);
    tabs->addWidget(m_recordButtonImageView);
    tabs->addWidget(m_informationButtonImageView);

    m_mediaListScrollView = new QWidget(m_mediaListBox);
    m_mediaListScrollView->setObjectName(QStringLiteral("mediaListScrollView"));
    auto* table = new DCVMediaListTableView(m_mediaListScrollView);
    table->setEmptyText(infoText("main.no_recordings"));
    m_mediaListTableView = table;
    m_mediaListTableView->setObjectName(QStringLiteral("mediaListTableView"));
    m_mediaListTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_mediaListTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_mediaListTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_mediaListTableView->setShowGrid(false);
    m_mediaListTableView->verticalHeader()->hide();
    m_mediaListTableView->verticalHeader()->setDefaultSectionSize(24);
    m_mediaListTableView->horizontalHeader()->setHighlightSections(false);
    auto* listLayout = new QVBoxLayout(m_mediaListScrollView);
    listLayout->setContentsMargins(0, 4, 0, 0);
    listLayout->addWidget(m_mediaListTableView);

    m_mapContainerView = new QWidget(m_bodyRightBox);
    m_mapContainerView->setObjectName(QStringLiteral("mapContainerView"));
    m_mapContainerTopView = new QWidget(m_mapContainerView);
    m_mapContainerTopView->setObjectName(QStringLiteral("mapContainerTopView"));
    auto* mapLayout = new QVBoxLayout(m_mapContainerTopView);
    mapLayout->setContentsMargins(0, 4, 0, 0);
    // The GPS values of the play position go under the map.
    m_mapContainerBottomView = new QWidget(m_mapContainerView);
    m_mapContainerBottomView->setObjectName(QStringLiteral("mapContainerBottomView"));
}

// ---------------------------------------------------------------------------------------------
// Start-up.

void DCVAppDelegate::awakeFromNib() {
    m_video1View = new VLCVideoView(m_videoContainerView);
    m_video1View->setObjectName(QStringLiteral("video1View"));
    m_video1View->resize(m_videoBox->size());
    m_video1View->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_videoContainerView->layout()->addWidget(m_video1View);
    std::unique_ptr<MediaPlayer> player = m_options.makePlayer
                                              ? m_options.makePlayer(m_video1View)
                                              : std::make_unique<VLCMediaPlayer>(m_video1View);
    DCVPlaybackViews views;
    views.window = m_window.get();
    views.videoContainerView = m_videoContainerView;
    views.video1View = m_video1View;
    views.player1BackgroundView = m_player1BackgroundView;
    views.mediaListTableView = m_mediaListTableView;
    views.controls = m_controls;
    views.telemetry = m_telemetry;
    views.loading = m_loading;
    m_playback = new DCVPlaybackController(*m_mediaList, std::move(player), views, m_options.timings, this);
    m_snapshot = new DCVSnapshotController(*m_playback, m_window.get(), m_services, this);
    for (auto [button, action] : {std::pair{m_captureButton, m_snapshot->captureAction()},
                                  std::pair{m_printButton, m_snapshot->printAction()}}) {
        m_window->addAction(action);
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
        connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
    }
    // The map belongs to the right column's list box.
    m_mapContainerView->setParent(m_mediaListBox);
    m_player1BackgroundView->setBackgroundNineImageName(QStringLiteral("v1"));
    m_player1BackgroundView->setLogoImage(TKImage::imageNamed(QStringLiteral("v1_front_logo")));
    m_ci_no_bg->setImage(TKImage::imageNamed(QStringLiteral("ci_no_bg")));
    initMediaListTableView();
    setupInitialValues();
}

void DCVAppDelegate::setupInitialValues() {
    if (qApp)
        qApp->installEventFilter(this);
    m_window->setAcceptDrops(true);
    m_mediaList->setDelegate(this);
    connect(m_playback, &DCVPlaybackController::preparingRecording, this,
            &DCVAppDelegate::updateSideViewButton);
    connect(m_controls, &DCVPlaybackControls::fullScreenClicked, this, &DCVAppDelegate::toggleFullScreen);
    connect(m_window.get(), &CustomWindow::isFullScreenChanged, this,
            [this] { observeValueForKeyPath(QStringLiteral("window.isFullScreen")); });
    connect(m_window.get(), &CustomWindow::windowWillClose, this, &DCVAppDelegate::windowWillClose);
    connect(m_window.get(), &CustomWindow::contentResized, this, &DCVAppDelegate::contentResized);
    if (qApp)
        connect(qApp, &QCoreApplication::aboutToQuit, this, &DCVAppDelegate::applicationWillTerminate);
    m_rightViewMode = 0;
    updateSideViewButton();
    showFrameIfDebugging();
    // The page is loaded once the window has been painted, so Chromium's start does not hold
    // up the first picture.
    if (m_options.deferMapPage)
        connect(m_window.get(), &CustomWindow::firstPaint, this, &DCVAppDelegate::loadMapPage,
                Qt::QueuedConnection);
    else
        loadMapPage();
    // One settings controller is made and dropped at start: its card search names a camera
    // card "TELVO". It runs after the first picture, so that it does not hold it up.
    connect(
        m_window.get(), &CustomWindow::firstPaint, this, [this] { DCVSettingController probe(m_services); },
        Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    layoutWindow();
}

DCVSettingController& DCVAppDelegate::showSettingPanel() {
    DCVSettingController& settings =
        openDialogController(std::make_unique<DCVSettingController>(m_services, m_window.get()));
    settings.showWindow();
    return settings;
}

DCVTimeSetupController& DCVAppDelegate::showTimeSetupPanel() {
    DCVTimeSetupController& timeSetup =
        openDialogController(std::make_unique<DCVTimeSetupController>(m_services, m_window.get()));
    timeSetup.showWindow();
    return timeSetup;
}

void DCVAppDelegate::openStartWindow(const StartWindow& request) {
    switch (request.kind) {
    case StartWindow::Kind::Settings:
        showSettingPanel().changeViewController(request.tab);
        break;
    case StartWindow::Kind::Format:
        showSettingPanel().onFormat();
        break;
    case StartWindow::Kind::TimeSetup:
        showTimeSetupPanel();
        break;
    case StartWindow::Kind::DriveLog:
        showSettingPanel().showDriveInfo();
        break;
    }
}

std::optional<StartWindow> startWindowFor(const QString& request) {
    if (const auto tab = settingsTabToOpen(request))
        return StartWindow{StartWindow::Kind::Settings, *tab};
    if (request == QLatin1String("format"))
        return StartWindow{StartWindow::Kind::Format};
    if (request == QLatin1String("timeset"))
        return StartWindow{StartWindow::Kind::TimeSetup};
    if (request == QLatin1String("drive-log"))
        return StartWindow{StartWindow::Kind::DriveLog};
    return std::nullopt;
}

void DCVAppDelegate::applicationDidFinishLaunching() {
    if (QLatin1String(kBuildLanguage) != QLatin1String("auto")) {
        QSettings settings;
        for (const QString& language : settings.value(QStringLiteral("AppleLanguages")).toStringList())
            dcvLog("SUPPORT_LANGUAGE=%s", language.toUtf8().constData());
        settings.setValue(QStringLiteral("AppleLanguages"), QStringList{QLatin1String(kBuildLanguage)});
    }
    const QRect frame = minWindowFrame();
    m_window->setFrame(frame, false);
    m_window->setInitialFrame(frame);
    connect(m_mediaListTableView, &QAbstractItemView::doubleClicked, m_playback,
            &DCVPlaybackController::changeAndPlay);
}

QRect DCVAppDelegate::minWindowFrame() const {
    QScreen* s = m_window && m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    const QRect visible = s ? s->availableGeometry() : QRect(QPoint(0, 0), minWindowSize());
    const QSize size = minWindowSize();
    return QRect(visible.topLeft() + QPoint(int((visible.width() - size.width()) * 0.5),
                                            int((visible.height() - size.height()) * 0.5)),
                 size);
}

void DCVAppDelegate::initMediaListTableView() {
    static const char* const keys[] = {
        QT_TRANSLATE_NOOP("InfoPlist", "filelist.mode"), QT_TRANSLATE_NOOP("InfoPlist", "filelist.date"),
        QT_TRANSLATE_NOOP("InfoPlist", "filelist.time"), QT_TRANSLATE_NOOP("InfoPlist", "filelist.file")};
    QStringList columnNames;
    for (const char* key : keys)
        columnNames << infoText(key);
    if (!m_mediaListModel) {
        m_mediaListModel = new DCVMediaListModel(*m_mediaList, m_mediaListTableView);
        m_mediaListTableView->setModel(m_mediaListModel);
    }
    m_mediaListModel->setColumnNames(columnNames);
    auto* header = m_mediaListTableView->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(true);
    header->setDefaultAlignment(Qt::AlignCenter);
    // The file name takes the rest of the row. When it does not fit, its start goes: the kind
    // and the date it begins with are in the columns before it, while the time, the channel
    // letter and the extension at its end are what tell the rows apart.
    m_mediaListTableView->setTextElideMode(Qt::ElideLeft);
    fitMediaListColumns();
}

void DCVAppDelegate::fitMediaListColumns() {
    // The kind's icon and word, the date and the time as wide as they are; the name has the rest.
    for (int column = 0; column < 3; ++column)
        m_mediaListTableView->resizeColumnToContents(column);
}

// ---------------------------------------------------------------------------------------------
// Layout.

void DCVAppDelegate::layoutWindow() {
    QSettings().setValue(QStringLiteral("NSConstraintBasedLayoutVisualizeMutuallyExclusiveConstraints"),
                         true);
    const bool full = m_window->isFullScreen();
    auto* column = resetLayout<QVBoxLayout>(m_backgroundBox);
    if (!full) {
        m_headBox->setFixedHeight(50);
        column->addWidget(m_headBox);
        m_headBox->show();
    } else {
        m_headBox->hide();
    }
    column->addWidget(m_bodyBox, 1);
    layoutBodyBox();
}

void DCVAppDelegate::layoutBodyBox() {
    const bool full = m_window->isFullScreen();
    if (full) {
        m_bodyRightBox->hide();
        auto* row = resetLayout<QHBoxLayout>(m_bodyBox, QMargins(0, 0, 0, 2));
        row->addWidget(m_bodyLeftBox);
    } else {
        auto* row = resetLayout<QHBoxLayout>(m_bodyBox, QMargins(10, 0, 10, 8));
        row->setSpacing(10);
        row->addWidget(m_bodyLeftBox, 1);
        m_bodyRightBox->setFixedWidth(334);
        row->addWidget(m_bodyRightBox);
        m_bodyRightBox->show();
    }

    auto* left = resetLayout<QVBoxLayout>(m_bodyLeftBox);
    if (full) {
        m_gsensorBox->hide();
        m_mediaControlBox->hide();
        left->addWidget(m_videoBox, 1);
        m_mediaControlBoxForFullScreen->setFixedHeight(36);
        auto* strip = new QHBoxLayout;
        strip->setContentsMargins(0, 0, 2, 0);
        strip->addWidget(m_mediaControlBoxForFullScreen);
        left->addLayout(strip);
        m_mediaControlBoxForFullScreen->show();
    } else {
        m_mediaControlBoxForFullScreen->hide();
        left->addWidget(m_videoBox, 1);
        left->addSpacing(4);
        m_gsensorBox->setFixedHeight(130);
        left->addWidget(m_gsensorBox);
        left->addSpacing(4);
        m_mediaControlBox->setFixedHeight(72);
        left->addWidget(m_mediaControlBox);
        m_gsensorBox->show();
        m_mediaControlBox->show();

        auto* right = resetLayout<QVBoxLayout>(m_bodyRightBox);
        m_sideButtonBox->setFixedHeight(32);
        right->addWidget(m_sideButtonBox);
        right->addWidget(m_mediaListBox, 1);
    }
    layoutMapContainer();
}

void DCVAppDelegate::layoutMapContainer() {
    if (m_window->isFullScreen())
        return;
    auto* box = resetLayout<QVBoxLayout>(m_mediaListBox);
    if (m_rightViewMode != 0) {
        box->addWidget(m_mapContainerView);
        m_mapContainerView->resize(m_mediaListBox->size());
        auto* map = resetLayout<QVBoxLayout>(m_mapContainerView);
        map->addWidget(m_mapContainerTopView, 1);
        m_mapContainerBottomView->setFixedHeight(98);
        map->addWidget(m_mapContainerBottomView);
    } else {
        box->addWidget(m_mediaListScrollView);
    }
}

void DCVAppDelegate::showFrameIfDebugging() {
    // DCV_SHOW_FRAMES=1 keeps the boxes' diagnostic tints to see the layout.
    if (qEnvironmentVariableIntValue("DCV_SHOW_FRAMES") == 1)
        return;
    for (TKColorBackgroundView* box : {m_backgroundBox, m_headBox, m_bodyBox, m_bodyLeftBox, m_bodyRightBox,
                                       m_mediaControlBox, m_sideButtonBox, m_mediaListBox})
        box->setBackgroundColor(Qt::transparent);
}

// ---------------------------------------------------------------------------------------------
// The right column.

void DCVAppDelegate::updateSideViewButton() {
    const bool map = m_rightViewMode != 0;
    m_recordButtonImageView->setImage(
        TKImage::imageNamed(map ? QStringLiteral("record_n.png") : QStringLiteral("record_p.png")));
    m_informationButtonImageView->setImage(
        TKImage::imageNamed(map ? QStringLiteral("information_p.png") : QStringLiteral("information_n.png")));
    m_mapContainerView->setHidden(m_rightViewMode != 1);
    m_mediaListScrollView->setHidden(m_rightViewMode != 0);
    if (m_rightViewMode == 1)
        showMapPage();
    m_telemetry->setMapShown(m_rightViewMode == 1);
    layoutMapContainer();
}

void DCVAppDelegate::clickMediaListViewButton() {
    if (m_rightViewMode == 0)
        return;
    m_rightViewMode = 0;
    updateSideViewButton();
}

void DCVAppDelegate::clickMapViewButton() {
    if (m_rightViewMode == 1)
        return;
    m_rightViewMode = 1;
    updateSideViewButton();
}

// ---------------------------------------------------------------------------------------------
// Observation, map page, recordings folder.

void DCVAppDelegate::toggleFullScreen() {
    if (m_window->isFullScreen())
        m_window->leaveFullscreen();
    else
        m_window->enterFullscreen();
}

void DCVAppDelegate::contentResized() {
    m_playback->updatePlayInfoScale();
}

void DCVAppDelegate::observeValueForKeyPath(const QString& keyPath) {
    if (keyPath == QLatin1String("window.isFullScreen"))
        layoutWindow();
}

void DCVAppDelegate::loadMapPage() {
    if (m_mapPage || !m_options.withMapPage)
        return;
    m_mapPage = new DCVMapPage(this);
    m_telemetry->setMapPage(m_mapPage);
    connect(m_mapPage, &QWebEnginePage::loadFinished, this, &DCVAppDelegate::mapPageLoadFinished);
    m_mapPage->loadMapPage(QLatin1String(kBuildLanguage));
    if (m_rightViewMode == 1)
        showMapPage();
}

void DCVAppDelegate::showMapPage() {
    if (m_mapWebView || !m_mapPage)
        return;
    m_mapWebView = new DCVWebView(m_mapPage, m_mapContainerTopView);
    m_mapWebView->setObjectName(QStringLiteral("mapWebView"));
    m_mapContainerTopView->layout()->addWidget(m_mapWebView);
    m_mapWebView->show();
}

DCVMapPage* DCVAppDelegate::mapPage() const {
    return m_mapPage;
}

DCVWebView* DCVAppDelegate::mapWebView() const {
    return m_mapWebView;
}

void DCVAppDelegate::setMapScriptTarget(DCVScriptTarget* target) {
    m_telemetry->setMapScriptTarget(target);
}

void DCVAppDelegate::openDirectory(const QString& path) {
    if (path.isEmpty())
        return;
    const std::string directory = path.toStdString();
    m_mediaList->setDirectoryPath(directory);
    m_scan.run(
        [directory](const std::atomic<bool>& cancelled) {
            return scanRecordingsWithReport(directory, &cancelled);
        },
        [this](RecordingScan found) {
            m_mediaList->publish(std::move(found.medias), std::move(found.report));
        });
}

void DCVAppDelegate::openMediaDirectoryDialog() {
    QPointer<DCVAppDelegate> self(this);
    // The recording of the old folder goes, with everything the window showed of it.
    const auto open = [self](const QString& path) {
        if (!self || path.isEmpty() || !self->m_playback->player())
            return;
        self->m_playback->closeRecording();
        self->openDirectory(path);
    };
    m_services.filePanels->openFolder(m_window.get(), infoText("main.open_folder"), open);
}

void DCVAppDelegate::mediaListChanged(DCVMediaList&) {
    // The new list was published on the main thread.
    m_rightViewMode = 0;
    updateSideViewButton();
    m_mediaListModel->reload();
    fitMediaListColumns();
    emit mediaListReloaded();
    const QString skipped = scanReportText(m_mediaList->scanReport());
    if (!skipped.isEmpty())
        showAlertSheet(m_window.get(), infoText("msg.scan_incomplete"), skipped);
}

QString DCVAppDelegate::scanReportText(const RecordingScanReport& report) {
    // A card with thousands of unreadable folders must not make a box taller than the screen.
    constexpr size_t kFoldersNamed = 8;
    QStringList lines;
    if (!report.unreadableFolders.empty()) {
        lines << infoText("msg.scan_unreadable");
        for (size_t i = 0; i < std::min(kFoldersNamed, report.unreadableFolders.size()); ++i)
            lines << QString::fromStdString(report.unreadableFolders[i]);
        if (report.unreadableFolders.size() > kFoldersNamed)
            lines << QStringLiteral("… (+%1)").arg(report.unreadableFolders.size() - kFoldersNamed);
    }
    if (report.limitReached)
        lines << infoText("msg.scan_limit");
    return lines.join(QLatin1Char('\n'));
}

// ---------------------------------------------------------------------------------------------
// Keys and dropped folders.

bool DCVAppDelegate::handleKey(int key) {
    if (!m_playback->player())
        return false;
    switch (key) {
    case Qt::Key_Space:
        m_playback->clickPlayButton();
        return true;
    case Qt::Key_Left:
        m_playback->jumpBackward();
        return true;
    case Qt::Key_Right:
        m_playback->jumpForward();
        return true;
    case Qt::Key_Up:
        m_playback->volumeUp();
        return true;
    case Qt::Key_Down:
        m_playback->volumeDown();
        return true;
    case Qt::Key_F:
        toggleFullScreen();
        return true;
    case Qt::Key_Escape:
        if (!m_window->isFullScreen())
            return false;
        m_window->leaveFullscreen();
        return true;
    default:
        return false;
    }
}

bool DCVAppDelegate::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Keys typed anywhere in the main window (the table takes the focus) drive the player;
        // a dialog or alert over the window keeps its own keys.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != m_window.get() || QApplication::activeModalWidget())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        return handleKey(key->key());
    }
    case QEvent::DragEnter:
        if (watched == m_window.get()) {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (drag->mimeData()->hasUrls())
                drag->acceptProposedAction();
            return true;
        }
        return false;
    case QEvent::Drop:
        if (watched == m_window.get()) {
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
    m_playback->closeRecording();
    openDirectory(folder);
}

// ---------------------------------------------------------------------------------------------
// Shutdown.

void DCVAppDelegate::closeWindow() {
    m_window->close();
}

void DCVAppDelegate::windowWillClose() {
    m_playback->stopPlay();
}

void DCVAppDelegate::applicationWillTerminate() {
    die();
}

void DCVAppDelegate::die() {
    // Runs once, from the application's end or the destructor. The player stops and lets go of
    // libVLC before its view and frame buffer go.
    if (m_died)
        return;
    m_died = true;
    m_playback->die();
    delete m_video1View;
    m_video1View = nullptr;
}

} // namespace dcv
