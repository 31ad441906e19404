// The viewer as the benchmarks that measure it run it: offscreen unless a platform is named,
// dummy audio output, its translations and theme, the map page off, frames not animated.
#pragma once

#include "app/DCVAppDelegate.h"
#include "app/Theme.h"
#include "platform/DCVStrings.h"
#include "platform/shell/ShellScript.h"
#include "widgets/CustomWindow.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <functional>
#include <memory>

namespace dcv::bench {

// Before the QApplication is made.
inline void prepareViewerEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("DCV_VLC_ARGS"))
        qputenv("DCV_VLC_ARGS", "--aout=dummy");
}

// Runs the event loop until the predicate holds or the time is up. (QTest::qWaitFor sleeps
// 10 ms between rounds, which would be measured as the viewer's time.)
inline bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// The viewer's main window, shown, with the desktop's services.
inline std::unique_ptr<DCVAppDelegate> startViewer(QApplication& app) {
    installTranslations(app);
    applyTheme(app);
    DCVAppDelegate::Options options;
    options.withMapPage = false;
    options.animateFrames = false;
    auto delegate =
        std::make_unique<DCVAppDelegate>(Services::desktop(std::make_shared<QtCommandRunner>()), options);
    delegate->window()->show();
    return delegate;
}

// Opens a folder and waits for its list; the number of rows listed, -1 when none came in time.
inline int openFolder(DCVAppDelegate& delegate, const QString& folder, int timeoutMs = 10000) {
    bool listed = false;
    const auto connection =
        QObject::connect(&delegate, &DCVAppDelegate::mediaListReloaded, &delegate, [&] { listed = true; });
    delegate.openDirectory(folder);
    const bool done = runUntil([&] { return listed; }, timeoutMs);
    QObject::disconnect(connection);
    const auto* table = delegate.window()->findChild<QTableView*>(QStringLiteral("mediaListTableView"));
    return done && table ? table->model()->rowCount() : -1;
}

} // namespace dcv::bench
