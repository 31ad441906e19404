/* The viewer's video output for libVLC: it takes the decoder's pictures as they are and hands
 * their planes to the viewer's frame buffer, which converts them for the view. libVLC's memory
 * output would copy each picture twice before the viewer sees it (once to cut the decoder's
 * padding rows off, once into the viewer's buffer); this output shows the decoder's own
 * pictures, so the only work left per picture is the one conversion to the view.
 *
 * It answers to the memory output's name with a higher score, so a player given picture
 * callbacks gets it first; it steps aside (and the memory output takes over) when the callback
 * data is not the viewer's feed or the pictures are not 4:2:0. */

#ifndef MODULE_STRING
#define MODULE_STRING "dcvmem"
#endif

#include <vlc_common.h>
#include <vlc_picture_pool.h>
#include <vlc_plugin.h>
#include <vlc_subpicture.h>
#include <vlc_vout_display.h>

#include "../DirectFeed.h"

static int Open(vlc_object_t*);
static void Close(vlc_object_t*);

/* The module's description is a list of macros, which the formatter would run together. */
/* clang-format off */
vlc_module_begin()
    set_shortname("dcvmem")
    set_description("Decoded pictures for the dash camera viewer")
    set_category(CAT_VIDEO)
    set_subcategory(SUBCAT_VIDEO_VOUT)
    set_capability("vout display", 1)
    add_shortcut("dcvmem", "vmem")
    set_callbacks(Open, Close)
vlc_module_end()

struct vout_display_sys_t {
    struct dcv_direct_feed* feed;
    picture_pool_t* pool;
    picture_t* shown; /* held while the viewer may read its planes */
};
/* clang-format on */

static picture_pool_t* Pool(vout_display_t* vd, unsigned count) {
    vout_display_sys_t* sys = vd->sys;
    /* One picture more than asked: the one the viewer holds for its view and snapshots. */
    if (!sys->pool)
        sys->pool = picture_pool_NewFromFormat(&vd->fmt, count + 1);
    return sys->pool;
}

static void Display(vout_display_t* vd, picture_t* picture, subpicture_t* subpicture) {
    vout_display_sys_t* sys = vd->sys;
    const video_format_t* fmt = &vd->source;
    struct dcv_direct_picture p;
    for (int i = 0; i < 3; ++i) {
        const plane_t* plane = &picture->p[i];
        /* 4:2:0: the chroma planes start at half the offsets. */
        const unsigned x = i == 0 ? fmt->i_x_offset : fmt->i_x_offset / 2;
        const unsigned y = i == 0 ? fmt->i_y_offset : fmt->i_y_offset / 2;
        p.planes[i] = plane->p_pixels + (size_t)y * (size_t)plane->i_pitch + x;
        p.pitches[i] = plane->i_pitch;
    }
    p.width = (int)fmt->i_visible_width;
    p.height = (int)fmt->i_visible_height;
    p.full_range = fmt->i_chroma == VLC_CODEC_J420;
    sys->feed->ops->show(sys->feed->self, &p);
    /* The viewer now reads the new planes; the old picture goes back to the decoder. */
    if (sys->shown)
        picture_Release(sys->shown);
    sys->shown = picture;
    if (subpicture)
        subpicture_Delete(subpicture);
}

static int Control(vout_display_t* vd, int query, va_list args) {
    (void)vd;
    (void)args;
    switch (query) {
    case VOUT_DISPLAY_CHANGE_DISPLAY_SIZE:
    case VOUT_DISPLAY_CHANGE_DISPLAY_FILLED:
    case VOUT_DISPLAY_CHANGE_ZOOM:
    case VOUT_DISPLAY_CHANGE_SOURCE_ASPECT:
    case VOUT_DISPLAY_CHANGE_SOURCE_CROP:
        /* The viewer scales and places the picture itself. */
        return VLC_SUCCESS;
    default:
        return VLC_EGENERIC;
    }
}

static int Open(vlc_object_t* object) {
    vout_display_t* vd = (vout_display_t*)object;
    struct dcv_direct_feed* feed = var_InheritAddress(vd, "vmem-data");
    if (!feed || feed->magic != DCV_DIRECT_FEED_MAGIC || !feed->ops)
        return VLC_EGENERIC;
    /* The decoder's 4:2:0 planes only; libVLC's memory output converts anything else. */
    const vlc_fourcc_t chroma = vd->source.i_chroma;
    if (chroma != VLC_CODEC_I420 && chroma != VLC_CODEC_J420)
        return VLC_EGENERIC;
    if (!feed->ops->open(feed->self))
        return VLC_EGENERIC;

    vout_display_sys_t* sys = calloc(1, sizeof(*sys));
    if (!sys) {
        feed->ops->close(feed->self);
        return VLC_ENOMEM;
    }
    sys->feed = feed;
    /* The pictures keep the source's format, padding included, so libVLC puts no converter
     * between the decoder and this output. */
    vd->fmt = vd->source;
    vd->sys = sys;
    vd->pool = Pool;
    vd->prepare = NULL;
    vd->display = Display;
    vd->control = Control;
    return VLC_SUCCESS;
}

static void Close(vlc_object_t* object) {
    vout_display_t* vd = (vout_display_t*)object;
    vout_display_sys_t* sys = vd->sys;
    /* The viewer keeps its own copy of the last picture (shown once the file has ended). */
    sys->feed->ops->close(sys->feed->self);
    if (sys->shown)
        picture_Release(sys->shown);
    if (sys->pool)
        picture_pool_Release(sys->pool);
    free(sys);
}
