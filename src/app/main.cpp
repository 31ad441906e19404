// dcv-viewer: the desktop viewer of the camera's recordings.
#include "app/DCVAppDelegate.h"
#include "app/Theme.h"
#include "platform/DCVStrings.h"
#include "platform/Services.h"
#include "platform/shell/ShellScript.h"
#include "player/DCVPlaybackController.h"
#include "widgets/CustomWindow.h"
#include "widgets/TKImage.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <unistd.h>

int main(int argc, char** argv) {
    // Chromium refuses its sandbox as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("dcv"));
    QCoreApplication::setApplicationName(QStringLiteral("dcv-viewer"));
    dcv::installTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Viewer of the dash camera's recordings"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("A folder of recordings to open"));
    // For start-up measurements: print the wall-clock time of the first paint and quit.
    const QCommandLineOption probe(
        QStringLiteral("print-first-paint"),
        QStringLiteral("Print the time of the first paint (seconds since the epoch) and quit"));
    parser.addOption(probe);
    // For screenshots and demonstrations: start a row of the folder once it is listed, and
    // show the map side.
    const QCommandLineOption playRow(QStringLiteral("play"), QStringLiteral("Start row N of the folder"),
                                     QStringLiteral("N"));
    const QCommandLineOption showMap(QStringLiteral("map"), QStringLiteral("Show the map beside the video"));
    parser.addOption(playRow);
    parser.addOption(showMap);
    parser.process(app);

    dcv::applyTheme(app);
    app.setWindowIcon(QIcon(dcv::TKImage::imageNamed(QStringLiteral("dcv-viewer")).pixmap()));
    app.setQuitOnLastWindowClosed(dcv::DCVAppDelegate::applicationShouldTerminateAfterLastWindowClosed());

    // The one place where the windows' outside world is made.
    dcv::DCVAppDelegate delegate(dcv::Services::desktop(std::make_shared<dcv::QtCommandRunner>()));
    if (parser.isSet(probe)) {
        QObject::connect(delegate.window(), &dcv::CustomWindow::firstPaint, &app, [] {
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::printf("first-paint %lld.%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
    delegate.window()->show();
    if (parser.isSet(playRow) || parser.isSet(showMap)) {
        const int row = parser.value(playRow).toInt();
        const bool map = parser.isSet(showMap), play = parser.isSet(playRow);
        QObject::connect(&delegate, &dcv::DCVAppDelegate::mediaListReloaded, &delegate,
                         [&delegate, row, map, play] {
                             if (play)
                                 delegate.playback().playAtIndex(row);
                             if (map)
                                 delegate.clickMapViewButton();
                         });
    }
    const QStringList folders = parser.positionalArguments();
    if (!folders.isEmpty())
        delegate.openDirectory(folders.first());
    return app.exec();
}
