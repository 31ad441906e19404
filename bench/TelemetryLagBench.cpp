// How far the telemetry shown is from the picture shown, in the viewer itself (map page off).
// It plays a recording whose pictures carry their frame number (tools/make-sample-card
// --frames), and at every painted picture reads the number from the picture and compares the
// telemetry sample of the play position published at that moment with the sample of the
// picture's time: 0 when they are the same, else how far the picture's time lies outside the
// sample shown. Next to it, in the same run, the position that the rule of publishing the
// player's own position on every third of its time reports would have shown (simulated from the
// same reports; an earlier build of the viewer measures the real one). Prints median and 95th
// percentile of the lag at 1x and at 2x. Run by bench/telemetry-lag.
//   telemetry_lag_bench FOLDER [SECONDS_PER_RATE]
#include "ViewerBench.h"
#include "platform/vlc/MediaPlayer.h"
#include "platform/vlc/VLCVideoView.h"
#include "player/DCVPlayInfo.h"
#include "player/DCVPlaybackController.h"
#include "widgets/CustomWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kFramesPerSecond = 30;
constexpr int kCodeBits = 16;

// The frame number in the band of blocks at the top of the picture; -1 when it cannot be read.
int frameNumber(const QImage& picture) {
    if (picture.isNull())
        return -1;
    const int y = picture.height() / 24;
    int n = 0;
    for (int bit = 0; bit < kCodeBits; ++bit) {
        const int x = int((bit + 0.5) * picture.width() / kCodeBits);
        const int grey = qGray(picture.pixel(x, y));
        if (grey > 96 && grey < 160)
            return -1; // between black and white: not a block
        if (grey >= 160)
            n |= 1 << bit;
    }
    return n;
}

struct Figures {
    double median = 0, p95 = 0, worst = 0, same = 0;
    size_t count = 0;
};

// Milliseconds from the picture's time to the span of the sample shown: positive when the
// sample shown is an earlier one, negative when a later one, 0 when it is the picture's.
double sampleLag(double shownPosition, double pictureMs, double lengthMs, size_t samples) {
    const auto index = [&](double p) {
        return std::min(samples - 1, size_t(std::max(0.0, p) * double(samples)));
    };
    const size_t shown = index(shownPosition), picture = index(pictureMs / lengthMs);
    const double span = lengthMs / double(samples);
    if (shown < picture)
        return pictureMs - double(shown + 1) * span;
    if (shown > picture)
        return pictureMs - double(shown) * span;
    return 0;
}

Figures figures(std::vector<double> lags) {
    Figures f;
    f.count = lags.size();
    if (lags.empty())
        return f;
    for (double& l : lags)
        l = std::abs(l);
    std::sort(lags.begin(), lags.end());
    f.same = double(std::count(lags.begin(), lags.end(), 0.0)) / double(lags.size());
    f.median = lags[lags.size() / 2];
    f.p95 = lags[std::min(lags.size() - 1, size_t(std::ceil(0.95 * double(lags.size()))) - 1)];
    f.worst = lags.back();
    return f;
}

} // namespace

int main(int argc, char** argv) {
    dcv::bench::prepareViewerEnvironment();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: telemetry_lag_bench FOLDER [SECONDS_PER_RATE]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;

    const auto viewer = dcv::bench::startViewer(app);
    dcv::DCVAppDelegate& delegate = *viewer;
    dcv::DCVPlaybackController& playback = delegate.playback();
    if (dcv::bench::openFolder(delegate, folder) < 1 || !playback.playAtIndex(0)) {
        std::fprintf(stderr, "no recording in %s\n", qPrintable(folder));
        return 1;
    }
    dcv::MediaPlayer* player = playback.player();
    auto* video = delegate.window()->findChild<dcv::VLCVideoView*>(QStringLiteral("video1View"));

    // The earlier rule, fed the same time reports: every third publishes the player's position.
    int counter = -1;
    double earlierPosition = 0;
    QObject::connect(player, &dcv::MediaPlayer::mediaPlayerTimeChanged, &delegate, [&] {
        counter = (counter + 1) % 3;
        if (counter == 0)
            earlierPosition = player->position();
    });

    bool measuring = false;
    int unreadable = 0;
    std::vector<double> lag, earlierLag;
    QObject::connect(video, &dcv::VLCVideoView::framePainted, &delegate, [&] {
        if (!measuring)
            return;
        const int n = frameNumber(video->frameBuffer()->copyPicture());
        const double length = double(player->media()->length().intValue());
        const size_t samples = playback.blackBoxData()->m_GSensors().size();
        if (n < 0 || length <= 0 || samples == 0) {
            ++unreadable;
            return;
        }
        const double pictureMs = n * 1000.0 / kFramesPerSecond;
        lag.push_back(sampleLag(playback.playInfo()->position(), pictureMs, length, samples));
        earlierLag.push_back(sampleLag(earlierPosition, pictureMs, length, samples));
    });

    if (!dcv::bench::runUntil(
            [&] { return !playback.waitingForPlayStart() && playback.playInfo()->isPlaying(); }, 10000)) {
        std::fprintf(stderr, "the recording did not play\n");
        return 1;
    }
    std::printf("telemetry lag: ms from the painted picture's time to the sample shown, %d s per rate\n",
                seconds);
    std::printf("%-4s %-30s %8s %8s %8s %8s %6s\n", "rate", "rule", "median", "p95", "worst", "same",
                "paints");
    for (double rate : {1.0, 2.0}) {
        if (rate > 1.0)
            playback.increaseSpeed();
        // One second to settle into the rate, then the measurement.
        QElapsedTimer wall;
        wall.start();
        dcv::bench::runUntil([&] { return wall.elapsed() > 1000; }, 2000);
        lag.clear();
        earlierLag.clear();
        measuring = true;
        dcv::bench::runUntil(
            [&] { return wall.elapsed() > 1000 + seconds * 1000 / rate || !player->isPlaying(); },
            seconds * 1000 + 5000);
        measuring = false;
        const Figures published = figures(lag), simulated = figures(earlierLag);
        const auto row = [rate](const char* rule, const Figures& f) {
            std::printf("%.0fx   %-30s %8.0f %8.0f %8.0f %7.0f%% %6zu\n", rate, rule, f.median, f.p95,
                        f.worst, f.same * 100, f.count);
        };
        row("published position", published);
        row("every third report, simulated", simulated);
    }
    if (unreadable)
        std::printf("pictures without a readable frame number: %d\n", unreadable);
    return 0;
}
