#pragma once

#include <QStringList>
#include <memory>

struct libvlc_instance_t;

namespace dcv {

// The one libVLC instance of the process. Extra options come from the environment variable
// DCV_VLC_ARGS (white-space separated), so tests can ask for "--aout=dummy".
class VLCLibrary {
public:
    static std::shared_ptr<VLCLibrary> sharedLibrary();
    ~VLCLibrary();
    VLCLibrary(const VLCLibrary&) = delete;
    VLCLibrary& operator=(const VLCLibrary&) = delete;

    libvlc_instance_t* instance() const { return m_instance; }
    // The options the instance was made with.
    const QStringList& arguments() const { return m_arguments; }
    static QStringList defaultArguments();
    // Where libVLC is pointed at the viewer's own plugins (DCV_VLC_PLUGIN_PATH when set).
    static QString pluginFolder();

private:
    VLCLibrary();
    libvlc_instance_t* m_instance = nullptr;
    QStringList m_arguments;
};

} // namespace dcv
