#pragma once

#include <QImage>
#include <QSize>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct libvlc_media_player_t;
struct dcv_direct_picture;
struct SwsContext;

namespace dcv {

// The pictures of a player, delivered by libVLC's video callbacks. libVLC hands over the decoded
// planes (YUV 4:2:0) at the pictures' own size, so it converts nothing itself; each displayed
// picture is then converted and scaled, in one pass, to the size the view shows it at, on
// libVLC's video thread, as a plain player converts for its window. The planes of the last
// picture stay, so a snapshot has the recording's own size also after the file has ended, and a
// view resized while nothing plays gets the picture anew at its size. The callbacks never call
// libVLC and never wait on the main thread.
//
// With the viewer's own video output module loaded, libVLC hands over the decoder's pictures
// themselves: the front planes are then read where the decoder wrote them, held by the module
// until the next picture, and copied only when the module closes (the last picture stays).
// Without it, libVLC's memory output copies each picture into the feed's back planes.
//
// Each libVLC player attached gets its own feed (and back planes). A player that is being
// stopped in the background is detached first, so its late pictures never reach the front
// of the next file. Always owned by a shared pointer.
class VLCFrameBuffer : public std::enable_shared_from_this<VLCFrameBuffer> {
public:
    struct Feed;

    VLCFrameBuffer() = default;
    ~VLCFrameBuffer();
    VLCFrameBuffer(const VLCFrameBuffer&) = delete;
    VLCFrameBuffer& operator=(const VLCFrameBuffer&) = delete;

    // Installs the format and picture callbacks on a player (before it plays). The feed must
    // be kept until the player has been stopped.
    std::shared_ptr<Feed> attach(libvlc_media_player_t* player);
    // The feed's later pictures are dropped.
    void detach(const std::shared_ptr<Feed>& feed);

    // The size the next file's pictures are shown at, as its video track says (the decoder's
    // buffers are often taller, to whole blocks: asked for at this size, libVLC copies the
    // planes instead of scaling them). Empty: what libVLC offers.
    void setSourceSize(QSize size);
    // The view's size in device pixels: pictures are scaled to fit it.
    void setViewSize(QSize size);

    // Called on the video thread after every new picture; must not block.
    void setFrameCallback(std::function<void()> callback);

    // Runs f with the picture for the view (null image before the first one) under the
    // buffer's lock. It fits the view size given last; a view that was resized since may get
    // one of the size before until refresh() or the next picture.
    void withPicture(const std::function<void(const QImage&)>& f) const;
    // Converts the last picture again for the view's size when the one held has another size.
    // Main thread; true when the picture changed.
    bool refresh();
    // The last picture at the recording's own size (snapshots).
    QImage copyPicture() const;
    // The size of the pictures as shown, when known, else that of the decoded planes.
    QSize pictureSize() const;
    // The owner of the player tells the visible size from the main thread once libVLC knows
    // it, for files whose planes are larger than their pictures.
    void setVisibleSize(unsigned width, unsigned height);
    bool hasVisibleSize() const;
    uint64_t frameCount() const { return m_frames.load(); }
    // How many of them came straight from the decoder, without libVLC's copies.
    uint64_t directFrameCount() const { return m_directFrames.load(); }
    // Forgets the last picture (a new file starts black).
    void clear();

    // The planes asked of libVLC for a decoder buffer of width × height: the source size when
    // it fits in the buffer, else the buffer's own.
    static QSize planeSize(unsigned width, unsigned height, QSize source);
    // A picture of `picture` scaled to fit `view` with its aspect kept; the picture's own size
    // when no view size is known.
    static QSize fittedSize(QSize picture, QSize view);
    // The decoder offers this picture format (four letters); hardware surfaces are refused.
    static bool isHardwareChroma(const char* chroma);

    // The video output module's side (see DirectFeed.h).
    static int directOpen(void* self);
    static void directShow(void* self, const dcv_direct_picture* picture);
    static void directClose(void* self);

    // Decoded planes of one picture, 4:2:0: either its own memory or, from the video output
    // module, the decoder's picture (`borrowed` from that feed).
    struct Planes {
        std::vector<uchar> data;
        int width = 0, height = 0;
        bool fullRange = false; // JPEG levels (0..255) rather than video levels
        const uchar* planes[3] = {};
        int pitches[3] = {};
        const Feed* borrowed = nullptr;
        int pitch(int plane) const;
        int lines(int plane) const;
        size_t offset(int plane) const;
        void allocate(int w, int h);
        // Copies borrowed planes into its own memory.
        void own();
        // Points the planes at its own memory.
        void useOwnData();
        bool empty() const { return width <= 0 || height <= 0 || !planes[0]; }
    };

private:
    static unsigned format(void** opaque, char* chroma, unsigned* width, unsigned* height, unsigned* pitches,
                           unsigned* lines);
    static void cleanup(void* opaque);
    static void* lock(void* opaque, void** planes);
    static void unlock(void* opaque, void* picture, void* const* planes);
    static void display(void* opaque, void* picture);
    void present(Feed& feed);
    // Converts the front planes for the view and publishes the picture; under m_planesMutex.
    bool publish();
    void notify();
    // The size the front planes are shown at in a view of m_viewSize.
    QSize targetSize() const;
    // The front planes' picture size at the visible aspect; under m_mutex.
    QSize shownSize() const;
    // Converts the planes to `out` (resized to `size` when needed) with `context` kept between
    // calls of one thread.
    static bool convert(const Planes& planes, QSize size, int flags, SwsContext*& context, QImage& out);

    mutable std::mutex m_planesMutex; // guards m_front and m_videoContext's use
    Planes m_front;
    SwsContext* m_videoContext = nullptr; // the video thread's conversions
    SwsContext* m_mainContext = nullptr;  // refresh() on the main thread
    QImage m_spare;                       // the video thread's next picture

    mutable std::mutex m_mutex; // guards everything below
    QImage m_picture;           // for the view
    QSize m_source, m_viewSize;
    QSize m_planes; // of m_front
    unsigned m_visibleWidth = 0, m_visibleHeight = 0;
    std::atomic<uint64_t> m_frames{0};
    std::atomic<uint64_t> m_directFrames{0};
    // Its own lock, held while the callback runs, so that clearing it waits for a call in flight.
    std::mutex m_callbackMutex;
    std::function<void()> m_callback;
};

} // namespace dcv
