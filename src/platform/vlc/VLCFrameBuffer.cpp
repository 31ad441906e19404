#include "platform/vlc/VLCFrameBuffer.h"

#include "platform/vlc/DirectFeed.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vlc/vlc.h>

extern "C" {
#include <libswscale/swscale.h>
}

namespace dcv {

namespace {

constexpr int kAlign = 32; // row starts the converter's vector code likes
// Area averaging: it shrinks a 1080p picture to the window with no aliasing and as sharp as
// bilinear, in two thirds of bilinear's time (its narrower filter reads fewer source pixels per
// picture pixel); upwards it is bilinear.
constexpr int kViewScaling = SWS_AREA;

int aligned(int v) {
    return (v + kAlign - 1) / kAlign * kAlign;
}

} // namespace

// One player's side of the buffer. Only that player's video thread touches the back planes;
// `live` is guarded by the owner's planes lock.
struct VLCFrameBuffer::Feed {
    // What the video output module finds as the player's callback data.
    dcv_direct_feed header{};
    std::weak_ptr<VLCFrameBuffer> owner;
    Planes back;
    bool live = true;
};

namespace {

const dcv_direct_ops kDirectOps = {&VLCFrameBuffer::directOpen, &VLCFrameBuffer::directShow,
                                   &VLCFrameBuffer::directClose};

VLCFrameBuffer::Feed* feedOf(void* opaque) {
    return static_cast<VLCFrameBuffer::Feed*>(static_cast<dcv_direct_feed*>(opaque)->self);
}

} // namespace

int VLCFrameBuffer::Planes::pitch(int plane) const {
    return aligned(plane == 0 ? width : (width + 1) / 2);
}

int VLCFrameBuffer::Planes::lines(int plane) const {
    return plane == 0 ? height : (height + 1) / 2;
}

size_t VLCFrameBuffer::Planes::offset(int plane) const {
    size_t o = 0;
    for (int p = 0; p < plane; ++p)
        o += size_t(pitch(p)) * size_t(lines(p));
    return o;
}

void VLCFrameBuffer::Planes::allocate(int w, int h) {
    width = w;
    height = h;
    // Every byte is written before it is read (by the decoder, or by own()).
    data.resize(offset(3));
    useOwnData();
}

void VLCFrameBuffer::Planes::useOwnData() {
    for (int p = 0; p < 3; ++p) {
        planes[p] = data.size() >= offset(3) ? data.data() + offset(p) : nullptr;
        pitches[p] = pitch(p);
    }
    borrowed = nullptr;
}

void VLCFrameBuffer::Planes::own() {
    if (!borrowed)
        return;
    const uchar* const from[3] = {planes[0], planes[1], planes[2]};
    const int fromPitches[3] = {pitches[0], pitches[1], pitches[2]};
    allocate(width, height);
    for (int p = 0; p < 3; ++p) {
        const int bytes = p == 0 ? width : (width + 1) / 2;
        for (int line = 0; line < lines(p); ++line)
            std::memcpy(data.data() + offset(p) + size_t(line) * size_t(pitch(p)),
                        from[p] + size_t(line) * size_t(fromPitches[p]), size_t(bytes));
    }
}

VLCFrameBuffer::~VLCFrameBuffer() {
    sws_freeContext(m_videoContext);
    sws_freeContext(m_mainContext);
}

std::shared_ptr<VLCFrameBuffer::Feed> VLCFrameBuffer::attach(libvlc_media_player_t* player) {
    auto feed = std::make_shared<Feed>();
    feed->header = {DCV_DIRECT_FEED_MAGIC, &kDirectOps, feed.get()};
    feed->owner = weak_from_this();
    libvlc_video_set_callbacks(player, &VLCFrameBuffer::lock, &VLCFrameBuffer::unlock,
                               &VLCFrameBuffer::display, &feed->header);
    libvlc_video_set_format_callbacks(player, &VLCFrameBuffer::format, &VLCFrameBuffer::cleanup);
    return feed;
}

void VLCFrameBuffer::detach(const std::shared_ptr<Feed>& feed) {
    if (!feed)
        return;
    std::lock_guard lock(m_planesMutex);
    feed->live = false;
    // The module gives the feed's last picture back once its player stops.
    if (m_front.borrowed == feed.get())
        m_front.own();
}

void VLCFrameBuffer::setSourceSize(QSize size) {
    std::lock_guard lock(m_mutex);
    m_source = size;
}

void VLCFrameBuffer::setViewSize(QSize size) {
    std::lock_guard lock(m_mutex);
    m_viewSize = size;
}

void VLCFrameBuffer::setFrameCallback(std::function<void()> callback) {
    std::lock_guard lock(m_callbackMutex);
    m_callback = std::move(callback);
}

QSize VLCFrameBuffer::planeSize(unsigned width, unsigned height, QSize source) {
    if (source.width() > 0 && source.height() > 0 && unsigned(source.width()) <= width &&
        unsigned(source.height()) <= height)
        return source;
    return QSize(int(width), int(height));
}

QSize VLCFrameBuffer::fittedSize(QSize picture, QSize view) {
    if (picture.isEmpty() || view.isEmpty())
        return picture;
    return picture.scaled(view, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
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
    Feed* feed = feedOf(*opaque);
    // The decoder first tries its hardware surfaces, which can never reach this buffer:
    // refusing them at once saves the search (a third of the time to the first picture).
    if (isHardwareChroma(chroma))
        return 0;
    const std::shared_ptr<VLCFrameBuffer> owner = feed->owner.lock();
    QSize source;
    if (owner) {
        std::lock_guard lock(owner->m_mutex);
        source = owner->m_source;
    }
    // The decoder's own 4:2:0 planes, full-range ones included, are copied as they are; any
    // other chroma libVLC converts to 4:2:0.
    const bool fullRange = std::memcmp(chroma, "J420", 4) == 0;
    std::memcpy(chroma, fullRange ? "J420" : "I420", 4);
    const QSize size = planeSize(*width, *height, source);
    *width = unsigned(size.width());
    *height = unsigned(size.height());
    feed->back.allocate(size.width(), size.height());
    feed->back.fullRange = fullRange;
    for (int p = 0; p < 3; ++p) {
        pitches[p] = unsigned(feed->back.pitch(p));
        lines[p] = unsigned(feed->back.lines(p));
    }
    return 1;
}

void VLCFrameBuffer::cleanup(void*) {
    // The front planes are kept: they are what the view shows once the file has ended.
}

void* VLCFrameBuffer::lock(void* opaque, void** planes) {
    Feed* feed = feedOf(opaque);
    for (int p = 0; p < 3; ++p)
        planes[p] = feed->back.data.data() + feed->back.offset(p);
    return nullptr;
}

void VLCFrameBuffer::unlock(void*, void*, void* const*) {}

void VLCFrameBuffer::display(void* opaque, void*) {
    Feed* feed = feedOf(opaque);
    if (const std::shared_ptr<VLCFrameBuffer> owner = feed->owner.lock())
        owner->present(*feed);
}

int VLCFrameBuffer::directOpen(void* self) {
    return static_cast<Feed*>(self)->owner.expired() ? 0 : 1;
}

void VLCFrameBuffer::directShow(void* self, const dcv_direct_picture* picture) {
    auto* feed = static_cast<Feed*>(self);
    const std::shared_ptr<VLCFrameBuffer> owner = feed->owner.lock();
    if (!owner || picture->width <= 0 || picture->height <= 0)
        return;
    {
        std::lock_guard lock(owner->m_planesMutex);
        if (!feed->live)
            return;
        Planes& front = owner->m_front;
        front.width = picture->width;
        front.height = picture->height;
        front.fullRange = picture->full_range != 0;
        for (int p = 0; p < 3; ++p) {
            front.planes[p] = picture->planes[p];
            front.pitches[p] = picture->pitches[p];
        }
        front.borrowed = feed;
        if (!owner->publish())
            return;
    }
    owner->m_directFrames.fetch_add(1);
    owner->notify();
}

void VLCFrameBuffer::directClose(void* self) {
    auto* feed = static_cast<Feed*>(self);
    const std::shared_ptr<VLCFrameBuffer> owner = feed->owner.lock();
    if (!owner)
        return;
    std::lock_guard lock(owner->m_planesMutex);
    if (owner->m_front.borrowed == feed)
        owner->m_front.own();
}

QSize VLCFrameBuffer::shownSize() const {
    if (m_visibleWidth > 0 && m_visibleHeight > 0 && m_planes.isValid())
        return QSize(int(m_visibleWidth), int(m_visibleHeight)).scaled(m_planes, Qt::KeepAspectRatio);
    return m_planes;
}

QSize VLCFrameBuffer::targetSize() const {
    std::lock_guard lock(m_mutex);
    return fittedSize(shownSize(), m_viewSize);
}

bool VLCFrameBuffer::convert(const Planes& planes, QSize size, int flags, SwsContext*& context, QImage& out) {
    if (planes.empty() || size.isEmpty())
        return false;
    context = sws_getCachedContext(context, planes.width, planes.height, AV_PIX_FMT_YUV420P, size.width(),
                                   size.height(), AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr);
    if (!context)
        return false;
    // Full-range planes (a camera's JPEG levels) are read as such.
    const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
    sws_setColorspaceDetails(context, coefficients, planes.fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16,
                             1 << 16);
    // BGRA in memory is QImage's 0xAARRGGBB on little-endian machines, alpha set to 255.
    if (out.size() != size || out.format() != QImage::Format_RGB32)
        out = QImage(size, QImage::Format_RGB32);
    const uint8_t* src[4] = {planes.planes[0], planes.planes[1], planes.planes[2], nullptr};
    const int srcStride[4] = {planes.pitches[0], planes.pitches[1], planes.pitches[2], 0};
    uint8_t* dst[4] = {out.bits(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {int(out.bytesPerLine()), 0, 0, 0};
    sws_scale(context, src, srcStride, 0, planes.height, dst, dstStride);
    return true;
}

void VLCFrameBuffer::present(Feed& feed) {
    {
        std::lock_guard lock(m_planesMutex);
        if (!feed.live)
            return;
        // The swap keeps both plane buffers sized for this feed: the next lock writes into the
        // old front one.
        std::swap(m_front, feed.back);
        m_front.useOwnData();
        if (feed.back.data.size() != m_front.data.size())
            feed.back.allocate(m_front.width, m_front.height);
        feed.back.fullRange = m_front.fullRange;
        if (!publish())
            return;
    }
    notify();
}

bool VLCFrameBuffer::publish() {
    {
        std::lock_guard lock(m_mutex);
        m_planes = QSize(m_front.width, m_front.height);
    }
    if (!convert(m_front, targetSize(), kViewScaling, m_videoContext, m_spare))
        return false;
    {
        std::lock_guard lock(m_mutex);
        std::swap(m_picture, m_spare);
    }
    m_frames.fetch_add(1);
    return true;
}

void VLCFrameBuffer::notify() {
    std::lock_guard lock(m_callbackMutex);
    if (m_callback)
        m_callback();
}

bool VLCFrameBuffer::refresh() {
    std::lock_guard planesLock(m_planesMutex);
    const QSize target = targetSize();
    {
        std::lock_guard lock(m_mutex);
        if (m_picture.isNull() || m_picture.size() == target)
            return false;
    }
    QImage picture;
    if (!convert(m_front, target, kViewScaling, m_mainContext, picture))
        return false;
    std::lock_guard lock(m_mutex);
    m_picture = std::move(picture);
    return true;
}

void VLCFrameBuffer::withPicture(const std::function<void(const QImage&)>& f) const {
    std::lock_guard lock(m_mutex);
    f(m_picture);
}

QImage VLCFrameBuffer::copyPicture() const {
    std::lock_guard planesLock(m_planesMutex);
    {
        std::lock_guard lock(m_mutex);
        if (m_picture.isNull())
            return {};
    }
    const QSize size = pictureSize();
    SwsContext* context = nullptr;
    QImage picture;
    convert(m_front, size, SWS_BICUBIC, context, picture);
    sws_freeContext(context);
    return picture;
}

QSize VLCFrameBuffer::pictureSize() const {
    std::lock_guard lock(m_mutex);
    return shownSize();
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
    std::lock_guard planesLock(m_planesMutex);
    std::lock_guard lock(m_mutex);
    m_picture = QImage();
    m_visibleWidth = m_visibleHeight = 0;
}

} // namespace dcv
