#include "platform/vlc/VLCMedia.h"

#include "platform/vlc/VLCLibrary.h"

#include <QFile>
#include <vlc/vlc.h>

namespace dcv {

VLCMedia::VLCMedia(QString path) : m_path(std::move(path)) {}

VLCMedia::~VLCMedia() {
    if (m_media)
        libvlc_media_release(m_media);
}

VLCTime VLCMedia::length() const {
    if (m_length.isNull() && m_media) {
        const libvlc_time_t d = libvlc_media_get_duration(m_media);
        if (d >= 0)
            return VLCTime(d);
    }
    return m_length;
}

libvlc_media_t* VLCMedia::handle() {
    if (!m_media) {
        m_library = VLCLibrary::sharedLibrary();
        if (m_library->instance())
            m_media = libvlc_media_new_path(m_library->instance(), QFile::encodeName(m_path).constData());
    }
    return m_media;
}

} // namespace dcv
