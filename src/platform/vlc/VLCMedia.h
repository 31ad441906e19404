#pragma once

#include "platform/vlc/VLCTime.h"

#include <QSize>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>

struct libvlc_media_t;

namespace dcv {

class VLCLibrary;

// A media file for the player. The libVLC media is made only when a libVLC player takes it,
// so a scripted player can use the same objects without the library.
class VLCMedia {
public:
    explicit VLCMedia(QString path);
    ~VLCMedia();
    VLCMedia(const VLCMedia&) = delete;
    VLCMedia& operator=(const VLCMedia&) = delete;

    static std::shared_ptr<VLCMedia> mediaWithPath(const QString& path) {
        return std::make_shared<VLCMedia>(path);
    }

    QString path() const { return m_path; }
    QUrl url() const { return QUrl::fromLocalFile(m_path); }
    // Known once the player has opened the file (or set by the owner of a scripted player).
    VLCTime length() const;
    void setLength(VLCTime length) { m_length = length; }

    // The libVLC media, made on first use.
    libvlc_media_t* handle();
    // The pictures' size as the file's video track gives it; empty when it cannot be read.
    // Read on first use.
    QSize videoSize();

private:
    QString m_path;
    VLCTime m_length;
    std::shared_ptr<VLCLibrary> m_library;
    libvlc_media_t* m_media = nullptr;
    std::optional<QSize> m_videoSize;
};

} // namespace dcv
