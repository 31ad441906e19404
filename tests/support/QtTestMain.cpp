// The main of the Qt test programs: one QApplication per program, headless, with the viewer's
// texts and look, and without touching the user's own settings.
#include "app/Theme.h"
#include "platform/DCVStrings.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("DCV_MAP_OFFLINE", "1");
    if (qEnvironmentVariableIsEmpty("DCV_VLC_ARGS")) // no sound card on a build machine
        qputenv("DCV_VLC_ARGS", "--aout=dummy");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking --no-first-run");
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("dcv-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("dcv-viewer-tests"));
    app.setQuitOnLastWindowClosed(false);
    dcv::installTranslations(app);
    dcv::applyTheme(app);
    return RUN_ALL_TESTS();
}
