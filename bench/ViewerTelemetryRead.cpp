// What the viewer does with a recording's telemetry before it starts playing, for measuring
// its time and peak memory with /usr/bin/time -v: the read on the worker, then the map track
// and the script that carries it to the map page.
//   viewer_telemetry_read FILE
#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/MapScripts.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: viewer_telemetry_read FILE\n");
        return 2;
    }
    dcv::DCVBlackBoxData box;
    if (!box.ExtractStreamInformation(argv[1])) {
        std::fprintf(stderr, "%s: %s\n", argv[1], box.extractError().c_str());
        return 1;
    }
    const auto track = dcv::mapTrack(box.m_vGpsData());
    const std::string script = dcv::trackScript(track);
    std::printf("samples %zu, track points %zu, script %zu bytes\n", box.m_GSensors().size(), track.size(),
                script.size());
    return 0;
}
