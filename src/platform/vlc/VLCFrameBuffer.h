#pragma once

#include <QImage>
#include <QSize>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

struct libvlc_media_player_t;

namespace dcv {

// The pictures of a player, delivered by libVLC's video callbacks: the decoder writes into a
// back buffer, each displayed picture swaps it with the front buffer that the view paints. The
// front buffer survives the end of the file (and the player's stop), so the last picture stays.
// The callbacks run on libVLC's video thread; they never call libVLC and never wait on the
// main thread.
class VLCFrameBuffer {
public:
    VLCFrameBuffer() = default;
    VLCFrameBuffer(const VLCFrameBuffer&) = delete;
    VLCFrameBuffer& operator=(const VLCFrameBuffer&) = delete;

    // Installs the format and picture callbacks on a player (before it plays). The buffer must
    // outlive the player's stop.
    void attach(libvlc_media_player_t* player);

    // Called on the video thread after every new picture; must not block.
    void setFrameCallback(std::function<void()> callback);

    // Runs f with the front picture (null image before the first one) under the buffer's lock.
    // It has the decoder's buffer size, which libVLC may have stretched the picture to (an
    // aligned height): draw it at the aspect of pictureSize().
    void withPicture(const std::function<void(const QImage&)>& f) const;
    // The front picture at its visible size.
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

private:
    static unsigned format(void** opaque, char* chroma, unsigned* width, unsigned* height, unsigned* pitches,
                           unsigned* lines);
    static void cleanup(void* opaque);
    static void* lock(void* opaque, void** planes);
    static void unlock(void* opaque, void* picture, void* const* planes);
    static void display(void* opaque, void* picture);

    mutable std::mutex m_mutex; // guards the front buffer, the sizes and the callback
    std::vector<uchar> m_back, m_front;
    unsigned m_width = 0, m_height = 0;           // of the decoder's pictures
    unsigned m_frontWidth = 0, m_frontHeight = 0; // of the front picture
    unsigned m_visibleWidth = 0, m_visibleHeight = 0;
    std::function<void()> m_callback;
    std::atomic<uint64_t> m_frames{0};
};

} // namespace dcv
