#pragma once

#include "platform/MainThreadQueue.h"
#include "platform/vlc/VLCFrameBuffer.h"

#include <QWidget>
#include <atomic>
#include <memory>

namespace dcv {

// Paints the pictures of a player's frame buffer, which come scaled to fit the view, with black
// bars, and keeps showing the last one when the file ends. New pictures arrive as queued calls
// on the main thread; several pictures between two paints cost one repaint.
class VLCVideoView : public QWidget {
    Q_OBJECT
public:
    explicit VLCVideoView(QWidget* parent = nullptr);
    ~VLCVideoView() override;

    std::shared_ptr<VLCFrameBuffer> frameBuffer() const { return m_frameBuffer; }
    // Pictures painted so far (tests and measurements wait for the first one).
    uint64_t paintedFrames() const { return m_paintedFrames; }

    // Where a picture of this size is drawn inside the view.
    static QRect pictureRect(const QSize& picture, const QSize& view);

signals:
    // After a paint that showed a picture newer than the last painted one.
    void framePainted(quint64 frameNumber);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void frameArrived();

    std::shared_ptr<VLCFrameBuffer> m_frameBuffer;
    std::shared_ptr<std::atomic<bool>> m_updatePending;
    MainThreadQueue m_frames; // the video thread's notices of new pictures
    uint64_t m_paintedFrames = 0;
    uint64_t m_lastPaintedFrame = 0;
};

} // namespace dcv
