// The floor for a start: libVLC alone opens a recording with the viewer's own video callbacks
// (the same frame buffer) and waits for its first picture. Prints every run and the median.
//   bare_vlc_first_frame FILE [RUNS]
#include "platform/vlc/VLCFrameBuffer.h"
#include "platform/vlc/VLCLibrary.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>
#include <vlc/vlc.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    auto library = dcv::VLCLibrary::sharedLibrary();
    if (!library->instance())
        return 1;
    std::vector<double> ms;
    // Run 0 warms up the plugins and the decoder, as in the viewer's benchmark, and is not counted.
    for (int i = 0; i < runs + 1; ++i) {
        auto buffer = std::make_shared<dcv::VLCFrameBuffer>();
        std::mutex mutex;
        std::condition_variable arrived;
        bool first = false;
        buffer->setFrameCallback([&] {
            std::lock_guard lock(mutex);
            first = true;
            arrived.notify_one();
        });
        const auto t0 = std::chrono::steady_clock::now();
        libvlc_media_t* media = libvlc_media_new_path(library->instance(), argv[1]);
        libvlc_media_player_t* player = libvlc_media_player_new_from_media(media);
        const auto feed = buffer->attach(player);
        libvlc_media_player_play(player);
        bool ok;
        {
            std::unique_lock lock(mutex);
            ok = arrived.wait_for(lock, std::chrono::seconds(10), [&] { return first; });
        }
        const auto t1 = std::chrono::steady_clock::now();
        libvlc_media_player_stop(player);
        libvlc_media_player_release(player);
        libvlc_media_release(media);
        if (!ok) {
            std::fprintf(stderr, "run %d: no picture in 10 s\n", i);
            return 1;
        }
        if (i == 0)
            continue;
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        std::printf("run %d: %.1f ms\n", i, ms.back());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("bare first frame median: %.1f ms (min %.1f, max %.1f)\n", ms[ms.size() / 2], ms.front(),
                ms.back());
    return 0;
}
