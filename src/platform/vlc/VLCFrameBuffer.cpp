#include "platform/vlc/VLCFrameBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vlc/vlc.h>

namespace dcv {

// One player's side of the buffer. Only that player's video thread touches the back buffer and
// the sizes; `live` is guarded by the owner's lock.
struct VLCFrameBuffer::Feed {
    std::weak_ptr<VLCFrameBuffer> owner;
    std::vector<uchar> back;
    unsigned width = 0, height = 0;
    bool live = true;
};

std::shared_ptr<VLCFrameBuffer::Feed> VLCFrameBuffer::attach(libvlc_media_player_t* player) {
    auto feed = std::make_shared<Feed>();
    feed->owner = weak_from_this();
    libvlc_video_set_callbacks(player, &VLCFrameBuffer::lock, &VLCFrameBuffer::unlock,
                               &VLCFrameBuffer::display, feed.get());
    libvlc_video_set_format_callbacks(player, &VLCFrameBuffer::format, &VLCFrameBuffer::cleanup);
    return feed;
}

void VLCFrameBuffer::detach(const std::shared_ptr<Feed>& feed) {
    if (!feed)
        return;
    std::lock_guard lock(m_mutex);
    feed->live = false;
}

void VLCFrameBuffer::setMaximumPictureSize(QSize size) {
    std::lock_guard lock(m_mutex);
    m_maximum = size;
}

void VLCFrameBuffer::setFrameCallback(std::function<void()> callback) {
    std::lock_guard lock(m_callbackMutex);
    m_callback = std::move(callback);
}

QSize VLCFrameBuffer::requestedSize(unsigned width, unsigned height, QSize maximum) {
    double scale = 1.0;
    if (maximum.width() > 0 && maximum.height() > 0 && width > 0 && height > 0)
        scale = std::min({1.0, double(maximum.width()) / width, double(maximum.height()) / height});
    auto side = [scale](unsigned v) {
        if (scale >= 1.0)
            return int(v);
        return std::max(2, int(std::lround(v * scale)) & ~1);
    };
    return QSize(side(width), side(height));
}

bool VLCFrameBuffer::isHardwareChroma(const char* chroma) {
    // The decoder's surfaces of VA-API and VDPAU: no converter turns them into memory pictures,
    // and libVLC searches every chain of converters before it gives up.
    static constexpr const char* kHardware[] = {"VAOP", "VAO0", "VDV0", "VDV2", "VDV4", "VDOR"};
    return std::any_of(std::begin(kHardware), std::end(kHardware),
                       [chroma](const char* h) { return std::memcmp(chroma, h, 4) == 0; });
}

unsigned VLCFrameBuffer::format(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                unsigned* pitches, unsigned* lines) {
    auto* feed = static_cast<Feed*>(*opaque);
    // The decoder first tries its hardware surfaces, which can never reach this buffer:
    // refusing them at once saves the search (a third of the time to the first picture).
    if (isHardwareChroma(chroma))
        return 0;
    // 32-bit BGRX: in memory it is QImage's RGB32 on little-endian machines, so painting needs
    // no conversion.
    std::memcpy(chroma, "RV32", 4);
    const std::shared_ptr<VLCFrameBuffer> owner = feed->owner.lock();
    QSize maximum;
    if (owner) {
        std::lock_guard lock(owner->m_mutex);
        maximum = owner->m_maximum;
    }
    const QSize size = requestedSize(*width, *height, maximum);
    const unsigned w = unsigned(size.width()), h = unsigned(size.height());
    *width = w;
    *height = h;
    pitches[0] = w * 4;
    lines[0] = h;
    feed->back.assign(size_t(w) * h * 4, 0);
    feed->width = w;
    feed->height = h;
    if (owner) {
        std::lock_guard lock(owner->m_mutex);
        if (feed->live) {
            owner->m_width = w;
            owner->m_height = h;
        }
    }
    return 1;
}

void VLCFrameBuffer::cleanup(void*) {
    // The front picture is kept: it is what the view shows once the file has ended.
}

void* VLCFrameBuffer::lock(void* opaque, void** planes) {
    auto* feed = static_cast<Feed*>(opaque);
    planes[0] = feed->back.data();
    return nullptr;
}

void VLCFrameBuffer::unlock(void*, void*, void* const*) {}

void VLCFrameBuffer::display(void* opaque, void*) {
    auto* feed = static_cast<Feed*>(opaque);
    if (const std::shared_ptr<VLCFrameBuffer> owner = feed->owner.lock())
        owner->present(*feed);
}

void VLCFrameBuffer::present(Feed& feed) {
    {
        std::lock_guard lock(m_mutex);
        if (!feed.live)
            return;
        // The swap keeps both buffers sized for this feed: the next lock writes into the old
        // front one.
        if (m_front.size() != feed.back.size())
            m_front.resize(feed.back.size());
        m_front.swap(feed.back);
        m_frontWidth = feed.width;
        m_frontHeight = feed.height;
    }
    m_frames.fetch_add(1);
    std::lock_guard lock(m_callbackMutex);
    if (m_callback)
        m_callback();
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
    if (copy.isNull() || !visible.isValid())
        return copy;
    const QSize target = visible.scaled(copy.size(), Qt::KeepAspectRatio);
    if (target != copy.size() && !target.isEmpty())
        copy = copy.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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
