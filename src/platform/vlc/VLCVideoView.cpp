#include "platform/vlc/VLCVideoView.h"

#include <QPainter>
#include <QRegion>
#include <QResizeEvent>

namespace dcv {

VLCVideoView::VLCVideoView(QWidget* parent)
    : QWidget(parent), m_frameBuffer(std::make_shared<VLCFrameBuffer>()),
      m_updatePending(std::make_shared<std::atomic<bool>>(false)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    // Runs on the video thread: one queued call per repaint at most.
    m_frameBuffer->setFrameCallback([this, pending = m_updatePending] {
        if (!pending->exchange(true))
            m_frames.post([this] { frameArrived(); });
    });
}

void VLCVideoView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The pictures are scaled for this size from now on; the last one at once, for a view
    // resized while nothing plays.
    m_frameBuffer->setViewSize(size() * devicePixelRatio());
    m_frameBuffer->refresh();
}

VLCVideoView::~VLCVideoView() {
    // After this no picture posts to the view any more; calls already queued die with it.
    m_frameBuffer->setFrameCallback({});
}

void VLCVideoView::frameArrived() {
    m_updatePending->store(false);
    update();
}

QRect VLCVideoView::pictureRect(const QSize& picture, const QSize& view) {
    if (picture.isEmpty() || view.isEmpty())
        return {};
    const QSize fitted = picture.scaled(view, Qt::KeepAspectRatio);
    return QRect(QPoint((view.width() - fitted.width()) / 2, (view.height() - fitted.height()) / 2), fitted);
}

void VLCVideoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const uint64_t frame = m_frameBuffer->frameCount();
    bool drew = false;
    QRect target;
    const QSize picture = m_frameBuffer->pictureSize();
    m_frameBuffer->withPicture([&](const QImage& image) {
        if (image.isNull())
            return;
        target = pictureRect(picture.isValid() ? picture : image.size(), size());
        painter.drawImage(target, image);
        drew = true;
    });
    // Black only around the picture: filling under it too would write every pixel twice.
    for (const QRect& band : QRegion(rect()).subtracted(target))
        painter.fillRect(band, Qt::black);
    if (drew && frame != m_lastPaintedFrame) {
        m_lastPaintedFrame = frame;
        ++m_paintedFrames;
        emit framePainted(frame);
    }
}

} // namespace dcv
