// Double-click on a row to the first picture painted, in the viewer itself (offscreen, map page
// off), alternating two rows so every run is a fresh start. Prints every run, the time to the
// telemetry hand-over, and the medians.
//   playback_start_bench [FOLDER] [RUNS]
#include "ViewerBench.h"
#include "platform/vlc/VLCVideoView.h"
#include "player/DCVPlaybackController.h"
#include "widgets/CustomWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    dcv::bench::prepareViewerEnvironment();
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(DCV_SAMPLE_CARD);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;

    const auto viewer = dcv::bench::startViewer(app);
    dcv::DCVAppDelegate& delegate = *viewer;
    dcv::DCVPlaybackController& playback = delegate.playback();
    auto* table = delegate.window()->findChild<QTableView*>(QStringLiteral("mediaListTableView"));
    auto* model = table->model();
    auto* video = delegate.window()->findChild<dcv::VLCVideoView*>(QStringLiteral("video1View"));
    if (dcv::bench::openFolder(delegate, folder) < 2) {
        std::fprintf(stderr, "no recordings in %s\n", qPrintable(folder));
        return 1;
    }
    std::vector<double> toFrame, toTelemetry;
    QElapsedTimer clock;
    double handedOverAt = 0;
    QObject::connect(&playback, &dcv::DCVPlaybackController::telemetryHandedOver, &delegate,
                     [&] { handedOverAt = double(clock.nsecsElapsed()) / 1e6; });
    for (int i = 0; i < runs + 1; ++i) {
        const int row = (i % 2) * 2; // rows 0 and 2: different recordings
        const QRect r = table->visualRect(model->index(row, 3));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
        bool painted = false;
        double ms = 0;
        // The time is taken when the picture has been painted, not when the wait notices it.
        const auto c = QObject::connect(video, &dcv::VLCVideoView::framePainted, &delegate, [&] {
            if (!painted)
                ms = double(clock.nsecsElapsed()) / 1e6;
            painted = true;
        });
        clock.start();
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, r.center());
        if (!dcv::bench::runUntil([&] { return painted; }, 10000)) {
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
        dcv::bench::runUntil([&] { return !playback.waitingForPlayStart(); }, 5000);
        // Let it play a moment, as a user would before the next double-click.
        dcv::bench::runUntil([] { return false; }, 300);
    }
    std::printf("viewer double-click to first picture median: %.1f ms (telemetry %.1f ms)\n", median(toFrame),
                median(toTelemetry));
    return 0;
}
