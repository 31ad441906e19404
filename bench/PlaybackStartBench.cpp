// Double-click on a row to the first picture painted, in the viewer itself (offscreen, map page
// off), alternating two rows so every run is a fresh start. Prints every run, the time to the
// telemetry hand-over, and the medians.
//   playback_start_bench [FOLDER] [RUNS]
#include "app/DCVAppDelegate.h"
#include "app/Theme.h"
#include "platform/DCVStrings.h"
#include "platform/vlc/VLCVideoView.h"
#include "player/DCVMediaListModel.h"
#include "widgets/CustomWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Runs the event loop until the predicate holds or the time is up. (QTest::qWaitFor sleeps
// 10 ms between rounds, which would be measured as the viewer's time.)
bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("DCV_VLC_ARGS"))
        qputenv("DCV_VLC_ARGS", "--aout=dummy");
    QApplication app(argc, argv);
    dcv::installTranslations(app);
    dcv::applyTheme(app);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(DCV_SAMPLE_CARD);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;

    dcv::DCVAppDelegate::Options options;
    options.withMapPage = false;
    options.animateFrames = false;
    dcv::DCVAppDelegate delegate(options);
    delegate.window->show();
    delegate.openDirectory(folder);
    if (!waitUntil([&] { return delegate.mediaListModel->rowCount() >= 2; }, 5000)) {
        std::fprintf(stderr, "no recordings in %s\n", qPrintable(folder));
        return 1;
    }
    QTableView* table = delegate.mediaListTableView;
    std::vector<double> toFrame, toTelemetry;
    QElapsedTimer clock;
    double handedOverAt = 0;
    QObject::connect(&delegate, &dcv::DCVAppDelegate::telemetryHandedOver, &delegate,
                     [&] { handedOverAt = double(clock.nsecsElapsed()) / 1e6; });
    for (int i = 0; i < runs + 1; ++i) {
        const int row = (i % 2) * 2; // rows 0 and 2: different recordings
        const QRect r = table->visualRect(delegate.mediaListModel->index(row, 3));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
        bool painted = false;
        double ms = 0;
        // The time is taken when the picture has been painted, not when the wait notices it.
        const auto c =
            QObject::connect(delegate.video1View, &dcv::VLCVideoView::framePainted, &delegate, [&] {
                if (!painted)
                    ms = double(clock.nsecsElapsed()) / 1e6;
                painted = true;
            });
        clock.start();
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, r.center());
        if (!waitUntil([&] { return painted; }, 10000)) {
            std::fprintf(stderr, "run %d: no picture in 10 s\n", i);
            return 1;
        }
        QObject::disconnect(c);
        // The first run warms up the library and the decoders and is not counted.
        if (i > 0) {
            toFrame.push_back(ms);
            toTelemetry.push_back(handedOverAt);
            std::printf("run %d: first picture %.1f ms (telemetry handed over at %.1f ms)\n", i, ms,
                        handedOverAt);
        }
        waitUntil([&] { return !delegate.waitingForPlayStart; }, 5000);
        // Let it play a moment, as a user would before the next double-click.
        waitUntil([] { return false; }, 300);
    }
    std::printf("viewer double-click to first picture median: %.1f ms (telemetry %.1f ms)\n", median(toFrame),
                median(toTelemetry));
    return 0;
}
