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

namespace dcv {

// The pictures of a player, delivered by libVLC's video callbacks: the decoder writes into a
// back buffer, each displayed picture swaps it with the front buffer that the view paints. The
// front buffer survives the end of the file (and the player's stop), so the last picture stays.
// The callbacks run on libVLC's video thread; they never call libVLC and never wait on the
// main thread.
//
// Each libVLC player attached gets its own feed (and back buffer). A player that is being
// stopped in the background is detached first, so its late pictures never reach the front
// buffer of the next file. Always owned by a shared pointer.
class VLCFrameBuffer : public std::enable_shared_from_this<VLCFrameBuffer> {
public:
    struct Feed;

    VLCFrameBuffer() = default;
    VLCFrameBuffer(const VLCFrameBuffer&) = delete;
    VLCFrameBuffer& operator=(const VLCFrameBuffer&) = delete;

    // Installs the format and picture callbacks on a player (before it plays). The feed must
    // be kept until the player has been stopped.
    std::shared_ptr<Feed> attach(libvlc_media_player_t* player);
    // The feed's later pictures are dropped.
    void detach(const std::shared_ptr<Feed>& feed);

    // The largest picture worth having, in device pixels (the view's screen): larger videos
    // are scaled down by libVLC while it converts them, which is far cheaper than converting
    // every full-size picture and scaling it again for painting. Read when a file's pictures
    // are set up; an empty size means no limit.
    void setMaximumPictureSize(QSize size);

    // Called on the video thread after every new picture; must not block.
    void setFrameCallback(std::function<void()> callback);

    // Runs f with the front picture (null image before the first one) under the buffer's lock.
    // It has the decoder's buffer aspect, which libVLC may have stretched the picture to (an
    // aligned height): draw it at the aspect of pictureSize().
    void withPicture(const std::function<void(const QImage&)>& f) const;
    // The front picture at the visible aspect, at most at its buffer's resolution.
    QImage copyPicture() const;
    // The visible size of the pictures, when known, else the decoder's buffer size.
    QSize pictureSize() const;
    // The decoder's buffers can differ from the picture's size (aligned sizes); the owner of
    // the player tells the visible size from the main thread once libVLC knows it.
    void setVisibleSize(unsigned width, unsigned height);
    bool hasVisibleSize() const;
    uint64_t frameCount() const { return m_frames.load(); }
    // Forgets the last picture (a new file starts black).
    void clear();

    // The size libVLC is asked for, for a decoder buffer of width × height under a limit:
    // scaled down to fit, keeping the buffer's aspect, never up; even sides.
    static QSize requestedSize(unsigned width, unsigned height, QSize maximum);
    // The decoder offers this picture format (four letters); hardware surfaces are refused.
    static bool isHardwareChroma(const char* chroma);

private:
    static unsigned format(void** opaque, char* chroma, unsigned* width, unsigned* height, unsigned* pitches,
                           unsigned* lines);
    static void cleanup(void* opaque);
    static void* lock(void* opaque, void** planes);
    static void unlock(void* opaque, void* picture, void* const* planes);
    static void display(void* opaque, void* picture);
    void present(Feed& feed);

    mutable std::mutex m_mutex; // guards everything below but the frame count and the callback
    std::vector<uchar> m_front;
    unsigned m_width = 0, m_height = 0;           // of the current feed's pictures
    unsigned m_frontWidth = 0, m_frontHeight = 0; // of the front picture
    unsigned m_visibleWidth = 0, m_visibleHeight = 0;
    QSize m_maximum;
    std::atomic<uint64_t> m_frames{0};
    // Its own lock, held while the callback runs, so that clearing it waits for a call in flight.
    std::mutex m_callbackMutex;
    std::function<void()> m_callback;
};

} // namespace dcv
