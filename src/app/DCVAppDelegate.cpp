#include "app/DCVAppDelegate.h"

#include "util/Log.h"
#include "platform/DCVStrings.h"
#include "platform/vlc/VLCMediaPlayer.h"
#include "platform/vlc/VLCVideoView.h"
#include "platform/web/DCVWebView.h"
#include "player/DCVMediaListModel.h"
#include "player/DCVPlayInfo.h"
#include "telemetry/GraphView.h"
#include "telemetry/MapScripts.h"
#include "widgets/CustomWindow.h"
#include "widgets/DCVMediaListTableView.h"
#include "widgets/DCVSideButtonView.h"
#include "widgets/PMProgressIndicator.h"
#include "widgets/TKImageButton.h"
#include "widgets/TKVideoBackgroundImageView.h"
#include "widgets/TKViews.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QStackedLayout>
#include <QTableView>
#include <QThread>
#include <QTimer>

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

QLabel* makeField(QWidget* parent, const char* name, const char* cssClass) {
    auto* field = new QLabel(parent);
    field->setObjectName(QLatin1String(name));
    field->setProperty("class", QLatin1String(cssClass));
    return field;
}

} // namespace

DCVAppDelegate::DCVAppDelegate() : DCVAppDelegate(Options{}) {}

DCVAppDelegate::DCVAppDelegate(const Options& options) : m_options(options) {
    CustomWindow::setAnimationDuration(options.animateFrames ? 160 : 0);
    buildWindow();
    awakeFromNib();
    applicationDidFinishLaunching();
}

DCVAppDelegate::~DCVAppDelegate() {
    if (qApp)
        qApp->removeEventFilter(this);
    die();
    if (mediaList)
        mediaList->setDelegate(nullptr);
}

// ---------------------------------------------------------------------------------------------
// The window description: every box and view, placed inside its box. The boxes themselves are
// placed by layoutWindow.

void DCVAppDelegate::buildWindow() {
    window = std::make_unique<CustomWindow>(QRect(QPoint(0, 0), minWindowSize()));
    window->setObjectName(QStringLiteral("window"));
    window->setWindowTitle(infoText("main.window_title"));
    backgroundBox = makeBox(window.get(), "backgroundBox", Qt::gray);
    headBox = makeBox(backgroundBox, "headBox", Qt::blue);
    bodyBox = makeBox(backgroundBox, "bodyBox", Qt::green);
    bodyLeftBox = makeBox(bodyBox, "bodyLeftBox", Qt::yellow);
    bodyRightBox = makeBox(bodyBox, "bodyRightBox", Qt::cyan);
    videoBox = makeBox(bodyLeftBox, "videoBox", Qt::black);
    gsensorBox = makeBox(bodyLeftBox, "gsensorBox", Qt::red);
    mediaControlBox = makeBox(bodyLeftBox, "mediaControlBox", Qt::magenta);
    sideButtonBox = makeBox(bodyRightBox, "sideButtonBox", Qt::darkBlue);
    mediaListBox = makeBox(bodyRightBox, "mediaListBox", Qt::darkGreen);
    // The G-sensor panel keeps its own fill; it is not one of the layout boxes.
    gsensorBox->setBackgroundColor(QColor(0x18, 0x1b, 0x20));

    auto* content = resetLayout<QVBoxLayout>(window.get());
    content->setSizeConstraint(QLayout::SetNoConstraint);
    content->addWidget(backgroundBox);

    buildHeadBox();
    buildVideoBox();
    buildGsensorBox();
    buildMediaControlBox();
    buildRightColumn();
}

void DCVAppDelegate::buildHeadBox() {
    ci_no_bg = new TKImageView(headBox);
    ci_no_bg->setObjectName(QStringLiteral("ci_no_bg"));
    closeButton =
        makeHeadButton(headBox, "closeButton", "btn_close_n", QT_TRANSLATE_NOOP("InfoPlist", "main.close"));
    minimizeButton = makeHeadButton(headBox, "minimizeButton", "btn_minimize_n",
                                    QT_TRANSLATE_NOOP("InfoPlist", "main.minimize"));
    openFolderButton = makeHeadButton(headBox, "openFolderButton", "btn_open_n",
                                      QT_TRANSLATE_NOOP("InfoPlist", "main.open_folder"));
    settingButton = makeHeadButton(headBox, "settingButton", "btn_setting_n",
                                   QT_TRANSLATE_NOOP("InfoPlist", "main.settings"));
    timeSetupButton = makeHeadButton(headBox, "timeSetupButton", "btn_clock_n",
                                     QT_TRANSLATE_NOOP("InfoPlist", "main.time_setup"));
    captureButton = makeHeadButton(headBox, "captureButton", "btn_capture_n",
                                   QT_TRANSLATE_NOOP("InfoPlist", "main.capture"));
    printButton =
        makeHeadButton(headBox, "printButton", "btn_print_n", QT_TRANSLATE_NOOP("InfoPlist", "main.print"));
    // The settings and clock-setting windows, capture and print come with later parts of the
    // viewer; their buttons stay disabled until then.
    for (TKImageButton* b : {settingButton, timeSetupButton, captureButton, printButton})
        b->setEnabled(false);
    connect(closeButton, &QAbstractButton::clicked, this, &DCVAppDelegate::closeWindow);
    connect(minimizeButton, &QAbstractButton::clicked, window.get(), &QWidget::showMinimized);
    connect(openFolderButton, &QAbstractButton::clicked, this, &DCVAppDelegate::openMediaDirectoryDialog);

    auto* head = new QVBoxLayout(headBox);
    head->setContentsMargins(0, 0, 0, 0);
    head->setSpacing(0);
    auto* row = new QHBoxLayout;
    head->addLayout(row, 1);
    row->setContentsMargins(14, 0, 10, 0);
    row->setSpacing(2);
    row->addWidget(ci_no_bg, 0, Qt::AlignVCenter);
    row->addStretch(1);
    const auto separator = [this, row] {
        auto* line = new QWidget(headBox);
        line->setFixedSize(1, 18);
        line->setStyleSheet(QStringLiteral("background:#2f343c"));
        row->addSpacing(8);
        row->addWidget(line, 0, Qt::AlignVCenter);
        row->addSpacing(8);
    };
    for (QWidget* b : {openFolderButton, captureButton, printButton})
        row->addWidget(b, 0, Qt::AlignVCenter);
    separator();
    for (QWidget* b : {settingButton, timeSetupButton})
        row->addWidget(b, 0, Qt::AlignVCenter);
    separator();
    for (QWidget* b : {minimizeButton, closeButton})
        row->addWidget(b, 0, Qt::AlignVCenter);

    // A hairline under the head in the frames' warm grey.
    headDivider = new CustomBackgroundBox(headBox);
    headDivider->setObjectName(QStringLiteral("headDivider"));
    headDivider->setFixedHeight(1);
    head->addWidget(headDivider);

    progressIndicator = new PMProgressIndicator(headBox);
    progressIndicator->setObjectName(QStringLiteral("progressIndicator"));
    progressIndicator->setGeometry(0, 22, 220, 6);
    progressIndicator->hide();
}

void DCVAppDelegate::buildVideoBox() {
    player1BackgroundView = new TKVideoBackgroundImageView(videoBox);
    player1BackgroundView->setObjectName(QStringLiteral("player1BackgroundView"));
    videoContainerView = new DCVScrollableVideoContainerView(videoBox);
    videoContainerView->setObjectName(QStringLiteral("videoContainerView"));
    // The video view goes in here, filling it.
    auto* videoLayout = new QVBoxLayout(videoContainerView);
    videoLayout->setContentsMargins(0, 0, 0, 0);
    auto* stack = new QStackedLayout(videoBox);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(videoContainerView);
    stack->addWidget(player1BackgroundView);
    videoContainerView->raise();
}

void DCVAppDelegate::buildGsensorBox() {
    auto* row = new QHBoxLayout(gsensorBox);
    row->setContentsMargins(14, 10, 4, 0);
    row->setSpacing(6);
    auto* fields = new QVBoxLayout;
    fields->setSpacing(4);
    auto* title = makeField(gsensorBox, "gsensorTitle", "caption");
    title->setText(infoText("main.gsensor"));
    fields->addWidget(title);
    fields->addSpacing(4);
    gsensorXField = makeField(gsensorBox, "gsensorXField", "axis-x");
    gsensorYField = makeField(gsensorBox, "gsensorYField", "axis-y");
    gsensorZField = makeField(gsensorBox, "gsensorZField", "axis-z");
    gsensorXField->setText(QStringLiteral("X=+0.00"));
    gsensorYField->setText(QStringLiteral("Y=+0.00"));
    gsensorZField->setText(QStringLiteral("Z=+0.00"));
    for (QLabel* f : {gsensorXField, gsensorYField, gsensorZField})
        fields->addWidget(f);
    fields->addStretch(1);
    auto* fieldsBox = new QWidget(gsensorBox);
    fieldsBox->setLayout(fields);
    fields->setContentsMargins(0, 0, 0, 0);
    fieldsBox->setFixedWidth(92);
    row->addWidget(fieldsBox);
    graphView = new GraphView(gsensorBox);
    graphView->setObjectName(QStringLiteral("graphView"));
    row->addWidget(graphView, 1);
}

void DCVAppDelegate::buildMediaControlBox() {
    auto* column = new QVBoxLayout(mediaControlBox);
    column->setContentsMargins(4, 2, 4, 2);
    column->setSpacing(0);
    videoPositionSlider = new QSlider(Qt::Horizontal, mediaControlBox);
    videoPositionSlider->setObjectName(QStringLiteral("videoPositionSlider"));
    videoPositionSlider->setRange(0, 10000);
    videoPositionSlider->setFocusPolicy(Qt::NoFocus);
    column->addWidget(videoPositionSlider);

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    column->addLayout(row);
    jumpBackwardButton = new TKImageButton(QStringLiteral("icon_backward_n"), mediaControlBox);
    jumpBackwardButton->setObjectName(QStringLiteral("jumpBackwardButton"));
    playButton = new TKImageButton(QStringLiteral("icon_play_n"), mediaControlBox);
    playButton->setObjectName(QStringLiteral("playButton"));
    jumpForwardButton = new TKImageButton(QStringLiteral("icon_forward_n"), mediaControlBox);
    jumpForwardButton->setObjectName(QStringLiteral("jumpForwardButton"));
    volumeButton = new TKImageButton(QStringLiteral("icon_volume_n"), mediaControlBox);
    volumeButton->setObjectName(QStringLiteral("volumeButton"));
    volumeSlider = new QSlider(Qt::Horizontal, mediaControlBox);
    volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    volumeSlider->setRange(0, 200);
    volumeSlider->setValue(70);
    volumeSlider->setFixedWidth(96);
    volumeSlider->setFocusPolicy(Qt::NoFocus);
    const auto textButton = [this](const char* name, const QString& title) {
        auto* b = new TKImageButton(mediaControlBox);
        b->setObjectName(QLatin1String(name));
        b->setCell(std::make_unique<TKImageButtonCell>());
        b->setText(title);
        b->setFixedSize(52, 24);
        return b;
    };
    speedTextButton = textButton("speedTextButton", QStringLiteral("1.0x"));
    sizeTextButton = textButton("sizeTextButton", QStringLiteral("1.00x"));
    fullScreenButton = new TKImageButton(QStringLiteral("icon_fullscreen_n"), mediaControlBox);
    fullScreenButton->setObjectName(QStringLiteral("fullScreenButton"));
    for (TKImageButton* b :
         {jumpBackwardButton, playButton, jumpForwardButton, volumeButton, fullScreenButton})
        b->setFocusPolicy(Qt::NoFocus);
    connect(fullScreenButton, &QAbstractButton::clicked, this, &DCVAppDelegate::toggleFullScreen);
    connect(playButton, &QAbstractButton::clicked, this, &DCVAppDelegate::clickPlayButton);
    connect(jumpBackwardButton, &QAbstractButton::clicked, this, &DCVAppDelegate::jumpBackward);
    connect(jumpForwardButton, &QAbstractButton::clicked, this, &DCVAppDelegate::jumpForward);
    connect(volumeSlider, &QSlider::valueChanged, this, &DCVAppDelegate::volumeSliderMoved);
    // A click on the speed or size text steps up, a right click (or with Shift) steps down.
    speedTextButton->setContextMenuPolicy(Qt::CustomContextMenu);
    sizeTextButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(speedTextButton, &QAbstractButton::clicked, this, [this] {
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)
            decreaseSpeed();
        else if (playInfo->speed() + kSpeedStep <= kSpeedMax)
            increaseSpeed();
        else
            decreaseSpeed();
    });
    connect(speedTextButton, &QWidget::customContextMenuRequested, this, &DCVAppDelegate::decreaseSpeed);
    connect(sizeTextButton, &QAbstractButton::clicked, this, [this] {
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)
            sizeDown();
        else
            sizeUp();
    });
    connect(sizeTextButton, &QWidget::customContextMenuRequested, this, &DCVAppDelegate::sizeDown);
    row->addWidget(jumpBackwardButton);
    row->addWidget(playButton);
    row->addWidget(jumpForwardButton);
    row->addStretch(1);
    row->addWidget(volumeButton);
    row->addWidget(volumeSlider);
    row->addSpacing(10);
    row->addWidget(speedTextButton);
    row->addWidget(sizeTextButton);
    row->addWidget(fullScreenButton);

    mediaControlBoxForFullScreen = new TKThreePartImageView(bodyLeftBox);
    mediaControlBoxForFullScreen->setObjectName(QStringLiteral("mediaControlBoxForFullScreen"));
    mediaControlBoxForFullScreen->hide();
    videoPositionSliderForFullScreen = new QSlider(Qt::Horizontal, mediaControlBoxForFullScreen);
    videoPositionSliderForFullScreen->setObjectName(QStringLiteral("videoPositionSliderForFullScreen"));
    videoPositionSliderForFullScreen->setRange(0, 10000);
    videoPositionSliderForFullScreen->setFocusPolicy(Qt::NoFocus);
    auto* strip = new QHBoxLayout(mediaControlBoxForFullScreen);
    strip->setContentsMargins(16, 4, 16, 4);
    strip->addWidget(videoPositionSliderForFullScreen);
}

void DCVAppDelegate::buildRightColumn() {
    recordButtonImageView = new DCVSideButtonView(sideButtonBox);
    recordButtonImageView->setObjectName(QStringLiteral("recordButtonImageView"));
    recordButtonImageView->setTitle(infoText("main.recordings"));
    informationButtonImageView = new DCVSideButtonView(sideButtonBox);
    informationButtonImageView->setObjectName(QStringLiteral("informationButtonImageView"));
    informationButtonImageView->setTitle(infoText("main.map"));
    connect(recordButtonImageView, &DCVSideButtonView::clicked, this,
            &DCVAppDelegate::clickMediaListViewButton);
    connect(informationButtonImageView, &DCVSideButtonView::clicked, this,
            &DCVAppDelegate::clickMapViewButton);
    auto* tabs = new QHBoxLayout(sideButtonBox);
    tabs->setContentsMargins(0, 0, 0, 0);
    tabs->setSpacing(2);
    tabs->addWidget(recordButtonImageView);
    tabs->addWidget(informationButtonImageView);

    mediaListScrollView = new QWidget(mediaListBox);
    mediaListScrollView->setObjectName(QStringLiteral("mediaListScrollView"));
    auto* table = new DCVMediaListTableView(mediaListScrollView);
    table->setEmptyText(infoText("main.no_recordings"));
    mediaListTableView = table;
    mediaListTableView->setObjectName(QStringLiteral("mediaListTableView"));
    mediaListTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    mediaListTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    mediaListTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mediaListTableView->setShowGrid(false);
    mediaListTableView->verticalHeader()->hide();
    mediaListTableView->verticalHeader()->setDefaultSectionSize(24);
    mediaListTableView->horizontalHeader()->setHighlightSections(false);
    auto* listLayout = new QVBoxLayout(mediaListScrollView);
    listLayout->setContentsMargins(0, 4, 0, 0);
    listLayout->addWidget(mediaListTableView);

    mapContainerView = new QWidget(bodyRightBox);
    mapContainerView->setObjectName(QStringLiteral("mapContainerView"));
    mapContainerTopView = new QWidget(mapContainerView);
    mapContainerTopView->setObjectName(QStringLiteral("mapContainerTopView"));
    auto* mapLayout = new QVBoxLayout(mapContainerTopView);
    mapLayout->setContentsMargins(0, 4, 0, 0);
    mapContainerBottomView = new QWidget(mapContainerView);
    mapContainerBottomView->setObjectName(QStringLiteral("mapContainerBottomView"));

    // The GPS values of the play position under the map.
    auto* grid = new QGridLayout(mapContainerBottomView);
    grid->setContentsMargins(14, 10, 14, 10);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    const auto addPair = [this, grid](int row, int col, const char* captionKey, QLabel*& field,
                                      const char* name) {
        auto* caption = makeField(mapContainerBottomView, "", "caption");
        caption->setText(infoText(captionKey));
        field = makeField(mapContainerBottomView, name, "value");
        grid->addWidget(caption, row, col * 2);
        grid->addWidget(field, row, col * 2 + 1);
    };
    addPair(0, 0, QT_TRANSLATE_NOOP("InfoPlist", "main.speed"), speedField, "speedField");
    addPair(1, 0, QT_TRANSLATE_NOOP("InfoPlist", "main.latitude"), latitudeField, "latitudeField");
    addPair(2, 0, QT_TRANSLATE_NOOP("InfoPlist", "main.longitude"), longitudeField, "longitudeField");
    addPair(0, 1, QT_TRANSLATE_NOOP("InfoPlist", "main.hdop"), hdopField, "hdopField");
    addPair(1, 1, QT_TRANSLATE_NOOP("InfoPlist", "main.satellites"), sateliteField, "sateliteField");
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

// ---------------------------------------------------------------------------------------------
// Start-up.

void DCVAppDelegate::awakeFromNib() {
    video1View = new VLCVideoView(videoContainerView);
    video1View->setObjectName(QStringLiteral("video1View"));
    video1View->resize(videoBox->size());
    video1View->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    videoContainerView->layout()->addWidget(video1View);
    if (m_options.makePlayer)
        player1 = m_options.makePlayer(video1View);
    else
        player1 = std::make_unique<VLCMediaPlayer>(video1View);
    playInfo = std::make_unique<DCVPlayInfo>();
    mediaList = DCVMediaList::mediaList();
    // The map belongs to the right column's list box.
    mapContainerView->setParent(mediaListBox);
    const TKImage bottom = TKImage::imageNamed(QStringLiteral("bottom-background"));
    mediaControlBoxForFullScreen->setImagesLeft(bottom, bottom, bottom);
    player1BackgroundView->setBackgroundNineImageName(QStringLiteral("v1"));
    player1BackgroundView->setLogoImage(TKImage::imageNamed(QStringLiteral("v1_front_logo")));
    ci_no_bg->setImage(TKImage::imageNamed(QStringLiteral("ci_no_bg")));
    initMediaListTableView();
    setupInitialValues();
}

void DCVAppDelegate::setupInitialValues() {
    if (qApp)
        qApp->installEventFilter(this);
    window->setAcceptDrops(true);
    blackBoxData = std::make_shared<const DCVBlackBoxData>();
    connect(player1.get(), &MediaPlayer::mediaPlayerStateChanged, this,
            &DCVAppDelegate::mediaPlayerStateChanged);
    connect(player1.get(), &MediaPlayer::mediaPlayerTimeChanged, this,
            &DCVAppDelegate::mediaPlayerTimeChanged);
    mediaList->setDelegate(this);
    bindPositionSliders();
    const auto observe = [this](auto signal, const char* keyPath) {
        connect(playInfo.get(), signal, this,
                [this, keyPath] { observeValueForKeyPath(QLatin1String(keyPath)); });
    };
    observe(&DCVPlayInfo::speedChanged, "playInfo.speed");
    observe(&DCVPlayInfo::scaleChanged, "playInfo.scale");
    observe(&DCVPlayInfo::isPlayingChanged, "playInfo.isPlaying");
    observe(&DCVPlayInfo::positionChanged, "playInfo.position");
    observe(&DCVPlayInfo::audioMediaDirectionChanged, "playInfo.audioMediaDirection");
    connect(this, &DCVAppDelegate::volumeChanged, this,
            [this] { observeValueForKeyPath(QStringLiteral("volume")); });
    connect(window.get(), &CustomWindow::isFullScreenChanged, this,
            [this] { observeValueForKeyPath(QStringLiteral("window.isFullScreen")); });
    connect(window.get(), &CustomWindow::windowWillClose, this, &DCVAppDelegate::windowWillClose);
    connect(window.get(), &CustomWindow::contentResized, this, &DCVAppDelegate::contentResized);
    if (qApp)
        connect(qApp, &QCoreApplication::aboutToQuit, this, &DCVAppDelegate::applicationWillTerminate);
    rightViewMode = 0;
    updateSideViewButton();
    setVolume(kVolumeStart);
    playInfo->setIsPlaying(false);
    showFrameIfDebugging();
    video1View->hide();
    // The page is loaded once the window has been painted, so Chromium's start does not hold
    // up the first picture.
    if (m_options.deferMapPage)
        connect(window.get(), &CustomWindow::firstPaint, this, &DCVAppDelegate::loadMapPage,
                Qt::QueuedConnection);
    else
        loadMapPage();
    layoutWindow();
}

void DCVAppDelegate::applicationDidFinishLaunching() {
    if (QLatin1String(kBuildLanguage) != QLatin1String("auto")) {
        QSettings settings;
        for (const QString& language : settings.value(QStringLiteral("AppleLanguages")).toStringList())
            dcvLog("SUPPORT_LANGUAGE=%s", language.toUtf8().constData());
        settings.setValue(QStringLiteral("AppleLanguages"), QStringList{QLatin1String(kBuildLanguage)});
    }
    const QRect frame = minWindowFrame();
    window->setFrame(frame, false);
    window->setInitialFrame(frame);
    mediaIndex = -1;
    connect(mediaListTableView, &QAbstractItemView::doubleClicked, this, &DCVAppDelegate::changeAndPlay);
}

QRect DCVAppDelegate::minWindowFrame() const {
    QScreen* s = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
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
    columnNames.clear();
    for (const char* key : keys)
        columnNames << infoText(key);
    if (!mediaListModel) {
        mediaListModel = new DCVMediaListModel(*mediaList, mediaListTableView);
        mediaListTableView->setModel(mediaListModel);
    }
    mediaListModel->setColumnNames(columnNames);
    auto* header = mediaListTableView->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    // Room for the kind's icon and word; the name is cut in its middle, so the front/rear
    // letter and the extension at its end stay readable in the narrow column.
    header->resizeSection(0, 82);
    header->resizeSection(1, 76);
    header->resizeSection(2, 60);
    mediaListTableView->setTextElideMode(Qt::ElideMiddle);
    header->setStretchLastSection(true);
    header->setDefaultAlignment(Qt::AlignCenter);
}

// ---------------------------------------------------------------------------------------------
// Layout.

void DCVAppDelegate::layoutWindow() {
    QSettings().setValue(QStringLiteral("NSConstraintBasedLayoutVisualizeMutuallyExclusiveConstraints"),
                         true);
    const bool full = window->isFullScreen();
    auto* column = resetLayout<QVBoxLayout>(backgroundBox);
    if (!full) {
        headBox->setFixedHeight(50);
        column->addWidget(headBox);
        headBox->show();
    } else {
        headBox->hide();
    }
    column->addWidget(bodyBox, 1);
    layoutBodyBox();
}

void DCVAppDelegate::layoutBodyBox() {
    const bool full = window->isFullScreen();
    if (full) {
        bodyRightBox->hide();
        auto* row = resetLayout<QHBoxLayout>(bodyBox, QMargins(0, 0, 0, 2));
        row->addWidget(bodyLeftBox);
    } else {
        auto* row = resetLayout<QHBoxLayout>(bodyBox, QMargins(10, 0, 10, 8));
        row->setSpacing(10);
        row->addWidget(bodyLeftBox, 1);
        bodyRightBox->setFixedWidth(334);
        row->addWidget(bodyRightBox);
        bodyRightBox->show();
    }

    auto* left = resetLayout<QVBoxLayout>(bodyLeftBox);
    if (full) {
        gsensorBox->hide();
        mediaControlBox->hide();
        left->addWidget(videoBox, 1);
        mediaControlBoxForFullScreen->setFixedHeight(36);
        auto* strip = new QHBoxLayout;
        strip->setContentsMargins(0, 0, 2, 0);
        strip->addWidget(mediaControlBoxForFullScreen);
        left->addLayout(strip);
        mediaControlBoxForFullScreen->show();
    } else {
        mediaControlBoxForFullScreen->hide();
        left->addWidget(videoBox, 1);
        left->addSpacing(4);
        gsensorBox->setFixedHeight(130);
        left->addWidget(gsensorBox);
        left->addSpacing(4);
        mediaControlBox->setFixedHeight(72);
        left->addWidget(mediaControlBox);
        gsensorBox->show();
        mediaControlBox->show();

        auto* right = resetLayout<QVBoxLayout>(bodyRightBox);
        sideButtonBox->setFixedHeight(32);
        right->addWidget(sideButtonBox);
        right->addWidget(mediaListBox, 1);
    }
    layoutMapContainer();
}

void DCVAppDelegate::layoutMapContainer() {
    if (window->isFullScreen())
        return;
    auto* box = resetLayout<QVBoxLayout>(mediaListBox);
    if (rightViewMode != 0) {
        box->addWidget(mapContainerView);
        mapContainerView->resize(mediaListBox->size());
        auto* map = resetLayout<QVBoxLayout>(mapContainerView);
        map->addWidget(mapContainerTopView, 1);
        mapContainerBottomView->setFixedHeight(98);
        map->addWidget(mapContainerBottomView);
    } else {
        box->addWidget(mediaListScrollView);
    }
}

void DCVAppDelegate::showFrameIfDebugging() {
    // DCV_SHOW_FRAMES=1 keeps the boxes' diagnostic tints to see the layout.
    if (qEnvironmentVariableIntValue("DCV_SHOW_FRAMES") == 1)
        return;
    for (TKColorBackgroundView* box : {backgroundBox, headBox, bodyBox, bodyLeftBox, bodyRightBox,
                                       mediaControlBox, sideButtonBox, mediaListBox})
        box->setBackgroundColor(Qt::transparent);
}

// ---------------------------------------------------------------------------------------------
// The right column.

void DCVAppDelegate::updateSideViewButton() {
    if (rightViewMode != 0) {
        recordButtonImageView->setImage(TKImage::imageNamed(QStringLiteral("record_n.png")));
        informationButtonImageView->setImage(TKImage::imageNamed(QStringLiteral("information_p.png")));
    } else {
        recordButtonImageView->setImage(TKImage::imageNamed(QStringLiteral("record_p.png")));
        informationButtonImageView->setImage(TKImage::imageNamed(QStringLiteral("information_n.png")));
    }
    mapContainerView->setHidden(rightViewMode != 1);
    mediaListScrollView->setHidden(rightViewMode != 0);
    layoutMapContainer();
}

void DCVAppDelegate::clickMediaListViewButton() {
    if (rightViewMode == 0)
        return;
    rightViewMode = 0;
    updateSideViewButton();
}

void DCVAppDelegate::clickMapViewButton() {
    if (rightViewMode == 1)
        return;
    rightViewMode = 1;
    updateSideViewButton();
}

// ---------------------------------------------------------------------------------------------
// Loading indicator.

void DCVAppDelegate::centerViewHorizontally(QWidget* view, QWidget* over) {
    view->move((over->width() - view->width()) / 2, view->y());
}

void DCVAppDelegate::showLoading(const QString& text) {
    Q_UNUSED(text); // the indicator has no text
    progressIndicator->setIndeterminate(true);
    progressIndicator->setUsesThreadedAnimation(true);
    stopVideoLoadingView = false;
    progress = 0;
    progressIndicator->show();
    progressIndicator->raise();
    progressIndicator->setDoubleValue(progressIndicator->minValue());
    centerViewHorizontally(progressIndicator, headBox);
    if (progressIndicator->isIndeterminate())
        progressIndicator->startAnimation();
    m_loadingTicks = 0;
    // A second start supersedes the ticks of the first, which would otherwise run on too.
    const uint64_t generation = ++m_loadingGeneration;
    QTimer::singleShot(m_loadingTickMs, this, [this, generation] {
        if (generation == m_loadingGeneration)
            updateLoadingWindow(15);
    });
}

void DCVAppDelegate::updateLoadingWindow(double durationSeconds) {
    ++m_loadingTicks;
    progress += 100.0 / (durationSeconds / 0.3);
    progressIndicator->setDoubleValue(progress);
    if (progress < 100 && !stopVideoLoadingView) {
        const uint64_t generation = m_loadingGeneration;
        QTimer::singleShot(m_loadingTickMs, this, [this, generation, durationSeconds] {
            if (generation == m_loadingGeneration)
                updateLoadingWindow(durationSeconds);
        });
        return;
    }
    progressIndicator->setDoubleValue(progressIndicator->minValue());
    progressIndicator->stopAnimation();
    progressIndicator->hide();
    stopVideoLoadingView = true;
}

void DCVAppDelegate::hideLoading() {
    stopVideoLoadingView = true;
}

// ---------------------------------------------------------------------------------------------
// Observation, map page, recordings folder.

void DCVAppDelegate::toggleFullScreen() {
    if (window->isFullScreen())
        window->leaveFullscreen();
    else
        window->enterFullscreen();
}

void DCVAppDelegate::contentResized() {
    updatePlayInfoScale();
}

void DCVAppDelegate::observeValueForKeyPath(const QString& keyPath) {
    if (keyPath == QLatin1String("playInfo.speed")) {
        speedTextButton->setText(QString::asprintf("%.1fx", playInfo->speed()));
    } else if (keyPath == QLatin1String("playInfo.scale")) {
        sizeTextButton->setText(QString::asprintf("%.2fx", playInfo->scale()));
    } else if (keyPath == QLatin1String("playInfo.isPlaying")) {
        playButton->setImageName(playInfo->isPlaying() ? QStringLiteral("icon_pause_n")
                                                       : QStringLiteral("icon_play_n"));
    } else if (keyPath == QLatin1String("playInfo.position")) {
        if (playInfo->position() >= 1.0)
            setSliderValue(1.0);
        updateGsensorUIByPlayPositon();
        updateGpsUIByPlayPosition();
    } else if (keyPath == QLatin1String("playInfo.audioMediaDirection") ||
               keyPath == QLatin1String("volume")) {
        updateAudioUI();
    } else if (keyPath == QLatin1String("window.isFullScreen")) {
        layoutWindow();
    }
}

void DCVAppDelegate::loadMapPage() {
    if (mapWebView || !m_options.withMapPage)
        return;
    mapWebView = new DCVWebView(mapContainerTopView);
    mapWebView->setObjectName(QStringLiteral("mapWebView"));
    mapContainerTopView->layout()->addWidget(mapWebView);
    connect(mapWebView, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_mapPageLoaded = ok;
        // A recording started before the page was there gets its track now.
        if (ok && blackBoxData && !blackBoxData->m_vGpsData().empty()) {
            DCVMapBridge(*mapWebView).setTrack(mapTrack(blackBoxData->m_vGpsData()));
            updateGpsUIByPlayPosition();
        }
        emit mapPageLoadFinished(ok);
    });
    mapWebView->loadMapPage(QLatin1String(kBuildLanguage));
}

void DCVAppDelegate::openDirectory(const QString& path) {
    if (path.isEmpty())
        return;
    mediaList->setDirectoryPath(path.toStdString());
}

void DCVAppDelegate::openMediaDirectoryDialog() {
    QFileDialog dialog(window.get(), infoText("main.open_folder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    if (path.isEmpty())
        return;
    // The loaded media stays; the player stops until a row is started.
    player1->stop();
    openDirectory(path);
}

void DCVAppDelegate::mediaListChanged(DCVMediaList&) {
    // Called on the scan's worker, with the new list already published: the window is updated
    // on the main thread. Notices are queued in order; the worker does not wait, so a window
    // closing while a scan finishes cannot deadlock on the scan's join.
    QMetaObject::invokeMethod(
        this,
        [this] {
            rightViewMode = 0;
            updateSideViewButton();
            mediaListModel->reload();
            emit mediaListReloaded();
        },
        QThread::currentThread() == thread() ? Qt::DirectConnection : Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------------------------
// Shutdown.

void DCVAppDelegate::closeWindow() {
    window->close();
}

void DCVAppDelegate::windowWillClose() {
    stopPlay();
}

void DCVAppDelegate::applicationWillTerminate() {
    die();
}

void DCVAppDelegate::die() {
    // Runs once, from the application's end or the destructor; the player, once there, is
    // stopped and released here.
    if (m_died)
        return;
    m_died = true;
    // A telemetry read still running posts back to this object: let it finish first.
    m_telemetryRead.waitForFinished();
    if (playStopTimer)
        playStopTimer->stop();
    stopPlay();
    // The player stops and lets go of libVLC before its view and frame buffer go.
    player1.reset();
    delete video1View;
    video1View = nullptr;
}

} // namespace dcv
