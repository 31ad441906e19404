// dcv-viewer: the desktop viewer of the camera's recordings.
#include "app/DCVAppDelegate.h"
#include "app/Theme.h"
#include "platform/DCVStrings.h"
#include "platform/ImageFile.h"
#include "platform/Services.h"
#include "platform/shell/ShellScript.h"
#include "player/DCVPlaybackController.h"
#include "util/Version.h"
#include "widgets/CustomWindow.h"
#include "widgets/TKImage.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QIcon>
#include <QLoggingCategory>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string_view>
#include <unistd.h>

int main(int argc, char** argv) {
    // Chromium refuses its sandbox as root.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // --help and --version only print: they answer without a display too (over ssh, in scripts).
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The web engine describes its graphics context on every start; a user who asks for it still
    // gets it through QT_LOGGING_RULES.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("dcv"));
    QCoreApplication::setApplicationName(QStringLiteral("dcv-viewer"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(dcv::kVersion));
    // Wayland compositors find the window's desktop entry, and so its name and icon, by this id.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(dcv::kDesktopId));
    dcv::installTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Viewer of the dash camera's recordings"));
    parser.addHelpOption();
    parser.addVersionOption();
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
    // For the install test and screenshots: save a picture of the window once the folder is
    // listed (without a folder: once the window is painted), then quit.
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window to FILE, then quit"),
                                        QStringLiteral("FILE"));
    // A folder that stands for the camera's card, and a window opened at start (screenshots
    // and the desktop entry's actions).
    const QCommandLineOption card(
        QStringLiteral("card"),
        QStringLiteral("Use DIR as the camera's card (for everything but formatting)"),
        QStringLiteral("DIR"));
    const QCommandLineOption open(
        QStringLiteral("open"),
        QStringLiteral("Open a window at start: settings[:N] (the settings on tab N, 0-6), format, "
                       "timeset (the camera's clock) or drive-log"),
        QStringLiteral("WINDOW"));
    parser.addOption(playRow);
    parser.addOption(showMap);
    parser.addOption(screenshot);
    parser.addOption(card);
    parser.addOption(open);
    parser.process(app);
    std::optional<dcv::StartWindow> startWindow;
    if (parser.isSet(open)) {
        startWindow = dcv::startWindowFor(parser.value(open));
        if (!startWindow) {
            std::fprintf(stderr,
                         "dcv-viewer: --open takes settings, settings:N with N from 0 to 6, format, timeset "
                         "or drive-log, not %s\n",
                         qPrintable(parser.value(open)));
            return 2;
        }
    }

    dcv::applyTheme(app);
    app.setWindowIcon(QIcon(dcv::TKImage::imageNamed(QStringLiteral("dcv-viewer")).pixmap()));
    app.setQuitOnLastWindowClosed(dcv::DCVAppDelegate::applicationShouldTerminateAfterLastWindowClosed());

    // The one place where the windows' outside world is made.
    dcv::Services services = dcv::Services::desktop(std::make_shared<dcv::QtCommandRunner>());
    if (parser.isSet(card))
        services.cardFolder = QDir(parser.value(card)).absolutePath();
    dcv::DCVAppDelegate delegate(std::move(services));
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
    // Opened once the main window is on screen, so that it comes up over it.
    if (startWindow)
        QObject::connect(
            delegate.window(), &dcv::CustomWindow::firstPaint, &delegate,
            [&delegate, request = *startWindow] { delegate.openStartWindow(request); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
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
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        const auto save = [&delegate, file] {
            // One more turn of the event loop, so the table lays out the rows it was given.
            QTimer::singleShot(0, &delegate, [&delegate, file] {
                const QString error = dcv::writePictureFile(delegate.window()->grab().toImage(), file);
                if (!error.isEmpty())
                    std::fprintf(stderr, "dcv-viewer: cannot save %s\n", qPrintable(error));
                QCoreApplication::exit(error.isEmpty() ? 0 : 1);
            });
        };
        if (folders.isEmpty())
            QObject::connect(delegate.window(), &dcv::CustomWindow::firstPaint, &delegate, save);
        else
            QObject::connect(&delegate, &dcv::DCVAppDelegate::mediaListReloaded, &delegate, save);
    }
    if (!folders.isEmpty())
        delegate.openDirectory(folders.first());
    return app.exec();
}
