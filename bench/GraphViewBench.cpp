// Cost of one play-position update of the G-sensor graph (1,800 samples, 680 points wide):
// the position changes and the view repaints, with the curves drawn on every paint and with
// the cached curves.
#include "telemetry/GraphView.h"

#include <QApplication>
#include <QEvent>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

std::vector<dcv::DCVGSensor> samples(size_t n) {
    std::vector<dcv::DCVGSensor> v;
    for (size_t i = 0; i < n; ++i) {
        const float t = float(i) / float(n);
        v.emplace_back(std::sin(t * 40) * 0.6f, std::cos(t * 17) * 0.4f, 1.0f + std::sin(t * 90) * 0.1f);
    }
    return v;
}

void positionUpdate(benchmark::State& state) {
    dcv::GraphView view;
    view.setCachesCurves(state.range(0) != 0);
    view.resize(680, 130);
    view.setGraphData(samples(1800));
    view.show();
    QCoreApplication::processEvents();
    view.repaint();
    double p = 0;
    for (auto _ : state) {
        p += 1.0 / 1800;
        if (p > 1)
            p = 0;
        view.updateTimePosition(p);
        // Paints what the update marked, as the event loop would.
        QCoreApplication::sendPostedEvents(&view, QEvent::UpdateRequest);
    }
    state.SetLabel(state.range(0) ? "cached curves" : "curves on every paint");
}
BENCHMARK(positionUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
