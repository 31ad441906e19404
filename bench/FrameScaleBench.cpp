// One decoded 1080p picture (4:2:0) converted to the view's 32-bit picture by libswscale, as the
// frame buffer does for every picture shown, with each scaling filter, at the window's start-up
// size, at full screen and unscaled. Run the filters interleaved, with medians:
//   frame_scale_bench --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//                     --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

void convert(benchmark::State& state, int flags) {
    const int width = int(state.range(0)), height = int(state.range(1));
    // A picture with detail in it: constant planes would let any filter look fast.
    std::vector<uint8_t> y(size_t(kWidth) * kHeight), u(y.size() / 4), v(y.size() / 4);
    for (size_t i = 0; i < y.size(); ++i)
        y[i] = uint8_t(i * 7 + i / kWidth * 13);
    for (size_t i = 0; i < u.size(); ++i) {
        u[i] = uint8_t(i * 3);
        v[i] = uint8_t(i * 5 + 40);
    }
    std::vector<uint8_t> out(size_t(width) * height * 4);
    SwsContext* context = sws_getContext(kWidth, kHeight, AV_PIX_FMT_YUV420P, width, height, AV_PIX_FMT_BGRA,
                                         flags, nullptr, nullptr, nullptr);
    const uint8_t* src[4] = {y.data(), u.data(), v.data(), nullptr};
    const int srcStride[4] = {kWidth, kWidth / 2, kWidth / 2, 0};
    uint8_t* dst[4] = {out.data(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {width * 4, 0, 0, 0};
    for (auto _ : state)
        sws_scale(context, src, srcStride, 0, kHeight, dst, dstStride);
    benchmark::DoNotOptimize(out.data());
    sws_freeContext(context);
}

// The window at its start-up size, full screen on a 1280 x 720 screen, and a view as large as
// the picture.
void sizes(benchmark::internal::Benchmark* b) {
    b->Args({656, 369})->Args({1280, 720})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK_CAPTURE(convert, area, SWS_AREA)->Apply(sizes);
BENCHMARK_CAPTURE(convert, bilinear, SWS_BILINEAR)->Apply(sizes);
BENCHMARK_CAPTURE(convert, bicubic, SWS_BICUBIC)->Apply(sizes);
BENCHMARK_CAPTURE(convert, fast_bilinear, SWS_FAST_BILINEAR)->Apply(sizes);

BENCHMARK_MAIN();
