#include "platform/vlc/VLCFrameBuffer.h"

#include <algorithm>
#include <cstring>
#include <vlc/vlc.h>

namespace dcv {

void VLCFrameBuffer::attach(libvlc_media_player_t* player) {
    libvlc_video_set_callbacks(player, &VLCFrameBuffer::lock, &VLCFrameBuffer::unlock,
                               &VLCFrameBuffer::display, this);
    libvlc_video_set_format_callbacks(player, &VLCFrameBuffer::format, &VLCFrameBuffer::cleanup);
}

void VLCFrameBuffer::setFrameCallback(std::function<void()> callback) {
    std::lock_guard lock(m_mutex);
    m_callback = std::move(callback);
}

unsigned VLCFrameBuffer::format(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                unsigned* pitches, unsigned* lines) {
    auto* self = static_cast<VLCFrameBuffer*>(*opaque);
    // 32-bit BGRX: in memory it is QImage's RGB32 on little-endian machines, so painting needs
    // no conversion.
    std::memcpy(chroma, "RV32", 4);
    const unsigned w = *width, h = *height;
    pitches[0] = w * 4;
    lines[0] = h;
    // Only the video thread touches the back buffer; the sizes are read by the main thread.
    self->m_back.assign(size_t(w) * h * 4, 0);
    std::lock_guard lock(self->m_mutex);
    self->m_width = w;
    self->m_height = h;
    return 1;
}

void VLCFrameBuffer::cleanup(void*) {
    // The front picture is kept: it is what the view shows once the file has ended.
}

void* VLCFrameBuffer::lock(void* opaque, void** planes) {
    auto* self = static_cast<VLCFrameBuffer*>(opaque);
    planes[0] = self->m_back.data();
    return nullptr;
}

void VLCFrameBuffer::unlock(void*, void*, void* const*) {}

void VLCFrameBuffer::display(void* opaque, void*) {
    auto* self = static_cast<VLCFrameBuffer*>(opaque);
    std::function<void()> callback;
    {
        std::lock_guard lock(self->m_mutex);
        // The swap keeps both buffers sized: the next lock writes into the old front one.
        if (self->m_front.size() != self->m_back.size())
            self->m_front.resize(self->m_back.size());
        self->m_front.swap(self->m_back);
        self->m_frontWidth = self->m_width;
        self->m_frontHeight = self->m_height;
        callback = self->m_callback;
    }
    self->m_frames.fetch_add(1);
    if (callback)
        callback();
}

void VLCFrameBuffer::withPicture(const std::function<void(const QImage&)>& f) const {
    std::lock_guard lock(m_mutex);
    if (m_frontWidth == 0 || m_frontHeight == 0 ||
        m_front.size() < size_t(m_frontWidth) * m_frontHeight * 4) {
        f(QImage());
        return;
    }
    const QImage image(m_front.data(), int(m_frontWidth), int(m_frontHeight), int(m_frontWidth * 4),
                       QImage::Format_RGB32);
    f(image);
}

QImage VLCFrameBuffer::copyPicture() const {
    QImage copy;
    withPicture([&copy](const QImage& image) { copy = image.copy(); });
    const QSize visible = pictureSize();
    if (!copy.isNull() && visible.isValid() && visible != copy.size())
        copy = copy.scaled(visible, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return copy;
}

QSize VLCFrameBuffer::pictureSize() const {
    std::lock_guard lock(m_mutex);
    if (m_visibleWidth > 0 && m_visibleHeight > 0)
        return QSize(int(m_visibleWidth), int(m_visibleHeight));
    return QSize(int(m_width), int(m_height));
}

void VLCFrameBuffer::setVisibleSize(unsigned width, unsigned height) {
    std::lock_guard lock(m_mutex);
    m_visibleWidth = width;
    m_visibleHeight = height;
}

bool VLCFrameBuffer::hasVisibleSize() const {
    std::lock_guard lock(m_mutex);
    return m_visibleWidth > 0 && m_visibleHeight > 0;
}

void VLCFrameBuffer::clear() {
    std::lock_guard lock(m_mutex);
    m_frontWidth = m_frontHeight = 0;
    m_visibleWidth = m_visibleHeight = 0;
}

} // namespace dcv
