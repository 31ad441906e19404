#include "platform/vlc/VLCLibrary.h"

#include "util/Log.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <mutex>
#include <vector>
#include <vlc/vlc.h>

namespace dcv {

QStringList VLCLibrary::defaultArguments() {
    // No interface, no on-screen texts over the picture, and quiet logs: the viewer draws
    // everything itself. The camera burns its texts into the picture, so no text renderer is
    // loaded either: the default one builds its font database for every file, which costs
    // more than half of the time to a file's first picture. libVLC scales nothing (the frame
    // buffer does); a picture it must convert to 4:2:0 goes through its fastest converter mode.
    return {QStringLiteral("--intf=dummy"),
            QStringLiteral("--no-video-title-show"),
            QStringLiteral("--no-osd"),
            QStringLiteral("--no-snapshot-preview"),
            QStringLiteral("--text-renderer=tdummy"),
            QStringLiteral("--no-stats"),
            QStringLiteral("--swscale-mode=0"),
            QStringLiteral("--quiet")};
}

QString VLCLibrary::pluginFolder() {
    QString chosen = qEnvironmentVariable("DCV_VLC_PLUGIN_PATH");
    if (!chosen.isEmpty())
        return chosen;
    // A program run from its build tree takes the module built there; an installed one, the
    // module installed with it (found from its own folder, wherever the package put both).
    const QFileInfo self(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
    if (self.filePath().startsWith(QStringLiteral(DCV_BUILD_TREE "/")))
        return QStringLiteral(DCV_VLC_PLUGIN_BUILD_DIR);
    return QDir::cleanPath(self.absolutePath() + QStringLiteral("/" DCV_VLC_PLUGIN_FROM_PROGRAMS));
}

VLCLibrary::VLCLibrary() {
    // libVLC looks for plugins in this folder too (besides its own): the viewer's video output
    // module hands the decoder's pictures over without copies. Set before the instance is made;
    // without the module, libVLC's memory output does the same work with two copies.
    if (!qEnvironmentVariableIsSet("VLC_PLUGIN_PATH"))
        qputenv("VLC_PLUGIN_PATH", QFile::encodeName(pluginFolder()));
    m_arguments = defaultArguments();
    const QString extra = qEnvironmentVariable("DCV_VLC_ARGS");
    m_arguments << extra.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::vector<QByteArray> bytes;
    std::vector<const char*> argv;
    for (const QString& a : m_arguments)
        bytes.push_back(a.toLocal8Bit());
    for (const QByteArray& b : bytes)
        argv.push_back(b.constData());
    m_instance = libvlc_new(int(argv.size()), argv.data());
    if (!m_instance)
        dcvLog("libvlc_new fail:%s", libvlc_errmsg() ? libvlc_errmsg() : "");
}

VLCLibrary::~VLCLibrary() {
    if (m_instance)
        libvlc_release(m_instance);
}

std::shared_ptr<VLCLibrary> VLCLibrary::sharedLibrary() {
    static std::mutex mutex;
    static std::shared_ptr<VLCLibrary> shared;
    std::lock_guard lock(mutex);
    if (!shared)
        shared.reset(new VLCLibrary);
    return shared;
}

} // namespace dcv
