#include "player/DCVPlaybackControls.h"

#include "player/PlaybackRules.h"
#include "widgets/TKImage.h"
#include "widgets/TKImageButton.h"
#include "widgets/TKImageButtonCell.h"
#include "widgets/TKViews.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cmath>

namespace dcv {

namespace {

// A position slider that jumps to the clicked place of its groove, as media players' sliders
// do, instead of stepping a page towards it. The jump holds the handle down as a drag does, so
// the seek comes once, when the button is let go.
class PositionSlider : public QSlider {
public:
    using QSlider::QSlider;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && !isSliderDown()) {
            QStyleOptionSlider option;
            initStyleOption(&option);
            const QRect handle =
                style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
            const QPoint at = event->position().toPoint();
            if (!handle.contains(at)) {
                const QRect groove =
                    style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
                const int span = groove.width() - handle.width();
                const int x = at.x() - groove.x() - handle.width() / 2;
                setSliderDown(true);
                setSliderPosition(
                    QStyle::sliderValueFromPosition(minimum(), maximum(), x, span, option.upsideDown));
            }
        }
        // The handle is under the pointer now: the base class goes on with a drag from there.
        QSlider::mousePressEvent(event);
    }
};

QSlider* makePositionSlider(QWidget* parent, const char* name) {
    auto* slider = new PositionSlider(Qt::Horizontal, parent);
    slider->setObjectName(QLatin1String(name));
    slider->setRange(0, kPositionSliderSteps);
    slider->setFocusPolicy(Qt::NoFocus);
    return slider;
}

TKImageButton* makeImageButton(QWidget* parent, const char* name, const char* image) {
    auto* button = new TKImageButton(QLatin1String(image), parent);
    button->setObjectName(QLatin1String(name));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

TKImageButton* makeTextButton(QWidget* parent, const char* name, const char* title) {
    auto* button = new TKImageButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setCell(std::make_unique<TKImageButtonCell>());
    button->setText(QLatin1String(title));
    button->setFixedSize(52, 24);
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    return button;
}

int sliderSteps(double value) {
    return int(std::lround(std::clamp(value, 0.0, 1.0) * kPositionSliderSteps));
}

bool shiftHeld() {
    return QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
}

} // namespace

DCVPlaybackControls::DCVPlaybackControls(QWidget* box, QWidget* stripParent) : QObject(box) {
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(4, 2, 4, 2);
    column->setSpacing(0);
    m_positionSlider = makePositionSlider(box, "videoPositionSlider");
    column->addWidget(m_positionSlider);

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    column->addLayout(row);
    auto* jumpBackward = makeImageButton(box, "jumpBackwardButton", "icon_backward_n");
    m_playButton = makeImageButton(box, "playButton", "icon_play_n");
    auto* jumpForward = makeImageButton(box, "jumpForwardButton", "icon_forward_n");
    auto* volumeButton = makeImageButton(box, "volumeButton", "icon_volume_n");
    m_volumeSlider = new QSlider(Qt::Horizontal, box);
    m_volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    m_volumeSlider->setRange(0, int(kVolumeMax));
    m_volumeSlider->setValue(int(kVolumeStart));
    m_volumeSlider->setFixedWidth(96);
    m_volumeSlider->setFocusPolicy(Qt::NoFocus);
    m_speedButton = makeTextButton(box, "speedTextButton", "1.0x");
    m_sizeButton = makeTextButton(box, "sizeTextButton", "1.00x");
    auto* fullScreen = makeImageButton(box, "fullScreenButton", "icon_fullscreen_n");
    row->addWidget(jumpBackward);
    row->addWidget(m_playButton);
    row->addWidget(jumpForward);
    row->addStretch(1);
    row->addWidget(volumeButton);
    row->addWidget(m_volumeSlider);
    row->addSpacing(10);
    row->addWidget(m_speedButton);
    row->addWidget(m_sizeButton);
    row->addWidget(fullScreen);

    m_strip = new TKThreePartImageView(stripParent);
    m_strip->setObjectName(QStringLiteral("mediaControlBoxForFullScreen"));
    const TKImage bottom = TKImage::imageNamed(QStringLiteral("bottom-background"));
    m_strip->setImagesLeft(bottom, bottom, bottom);
    m_strip->hide();
    m_stripSlider = makePositionSlider(m_strip, "videoPositionSliderForFullScreen");
    auto* strip = new QHBoxLayout(m_strip);
    strip->setContentsMargins(16, 4, 16, 4);
    strip->addWidget(m_stripSlider);

    connect(m_playButton, &QAbstractButton::clicked, this, &DCVPlaybackControls::playClicked);
    connect(jumpBackward, &QAbstractButton::clicked, this, &DCVPlaybackControls::jumpBackwardClicked);
    connect(jumpForward, &QAbstractButton::clicked, this, &DCVPlaybackControls::jumpForwardClicked);
    connect(fullScreen, &QAbstractButton::clicked, this, &DCVPlaybackControls::fullScreenClicked);
    connect(m_volumeSlider, &QSlider::valueChanged, this, &DCVPlaybackControls::volumeMoved);
    connect(m_speedButton, &QAbstractButton::clicked, this, [this] { emit speedClicked(shiftHeld()); });
    connect(m_speedButton, &QWidget::customContextMenuRequested, this, [this] { emit speedClicked(true); });
    connect(m_sizeButton, &QAbstractButton::clicked, this, [this] { emit sizeClicked(shiftHeld()); });
    connect(m_sizeButton, &QWidget::customContextMenuRequested, this, [this] { emit sizeClicked(true); });
    // A drag reports every step and seeks once, when the handle is let go (a click on the
    // groove reports a change without a handle held, and seeks at once).
    for (QSlider* s : {m_positionSlider, m_stripSlider}) {
        connect(s, &QSlider::valueChanged, this, [this, s] { sliderChanged(s); });
        connect(s, &QSlider::sliderReleased, this, [this, s] {
            if (s != m_positionSlider)
                setSliderValue(double(s->value()) / kPositionSliderSteps);
            emit positionReleased();
        });
    }
}

void DCVPlaybackControls::sliderChanged(QSlider* slider) {
    if (!m_updatingSliders)
        emit positionEdited(double(slider->value()) / kPositionSliderSteps, slider->isSliderDown());
}

double DCVPlaybackControls::sliderValue() const {
    return double(m_positionSlider->value()) / kPositionSliderSteps;
}

void DCVPlaybackControls::setSliderValue(double value) {
    m_updatingSliders = true;
    m_positionSlider->setValue(sliderSteps(value));
    m_updatingSliders = false;
}

void DCVPlaybackControls::showPosition(double position) {
    m_updatingSliders = true;
    for (QSlider* s : {m_positionSlider, m_stripSlider})
        if (!s->isSliderDown())
            s->setValue(sliderSteps(position));
    m_updatingSliders = false;
}

void DCVPlaybackControls::showSpeed(double speed) {
    m_speedButton->setText(QString::asprintf("%.1fx", speed));
}

void DCVPlaybackControls::showScale(double scale) {
    m_sizeButton->setText(QString::asprintf("%.2fx", scale));
}

void DCVPlaybackControls::showPlaying(bool playing) {
    m_playButton->setImageName(playing ? QStringLiteral("icon_pause_n") : QStringLiteral("icon_play_n"));
}

void DCVPlaybackControls::showVolume(int volume) {
    const QSignalBlocker blocker(m_volumeSlider);
    m_volumeSlider->setValue(volume);
}

} // namespace dcv
