#include "platform/vlc/VLCMedia.h"

#include "platform/vlc/VLCLibrary.h"
#include "telemetry/ByteSource.h"
#include "telemetry/Mp4Boxes.h"

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

QSize VLCMedia::videoSize() {
    if (!m_videoSize) {
        m_videoSize = QSize();
        FileByteSource file;
        if (file.open(QFile::encodeName(m_path).constData()))
            if (const auto size = videoSampleSize(file))
                m_videoSize = QSize(int(size->width), int(size->height));
    }
    return *m_videoSize;
}

} // namespace dcv
