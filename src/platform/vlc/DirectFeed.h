#pragma once

/* The hand-over between the viewer's video output module (loaded by libVLC, in C) and its frame
 * buffer. The module finds the feed through the player's picture-callback data and, when the
 * feed carries this header, gives it the decoder's own pictures: the planes are read where the
 * decoder wrote them, and libVLC copies nothing. Any other feed is left to libVLC's memory
 * output. */

#ifdef __cplusplus
extern "C" {
#endif

#define DCV_DIRECT_FEED_MAGIC 0x64637644697231ULL /* "dcvDir1": a change of the layout below changes it */

struct dcv_direct_picture {
    const unsigned char* planes[3]; /* Y, U, V of 4:2:0, at the picture's top left */
    int pitches[3];
    int width, height; /* the picture, without the decoder's padding */
    int full_range;    /* JPEG levels */
};

struct dcv_direct_ops {
    /* 1 when the feed takes the pictures of a new video output; 0 leaves them to libVLC's
     * memory output. */
    int (*open)(void* self);
    /* A new picture to show; its planes stay valid until the next show or close returns. */
    void (*show)(void* self, const struct dcv_direct_picture* picture);
    /* The output closes: after this returns, the planes of the last picture are released. */
    void (*close)(void* self);
};

struct dcv_direct_feed {
    unsigned long long magic;
    const struct dcv_direct_ops* ops;
    void* self;
};

#ifdef __cplusplus
}
#endif
