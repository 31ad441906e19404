// A recording is whatever bytes are on the card: the walk, the box listing and the writer's
// insertion must all cope with any of them.
#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/Mp4Boxes.h"
#include "telemetry/TelemetryWriter.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const dcv::MemoryByteSource src(data, size);
    dcv::DCVBlackBoxData box;
    const bool ok = box.ExtractStreamInformation(src, 4096);
    const size_t n = box.m_GSensors().size();
    if (n != box.m_vGpsData().size() || n != box.m_vGSensorData().size() || n > 4096)
        std::abort();
    if (!ok && (n != 0 || box.extractError().empty()))
        std::abort();
    // The lists hold no more than their budget, and the report says something exactly when
    // something was left out.
    if (box.sampleMemoryBytes() > n * dcv::DCVBlackBoxData::kBytesPerSample ||
        box.readReport().complete() != box.readReport().text().empty())
        std::abort();
    (void)dcv::movieDurationSeconds(src);

    // Whatever file the writer accepts, it must leave one the walk reads back exactly.
    std::string mp4(reinterpret_cast<const char*>(data), size);
    std::vector<dcv::TelemetrySample> samples(3);
    samples[1].gsensor = {256, -512, 1024, 7};
    samples[2].gps = {3436.125, 5822.75, 0.75, 12.5, 'S', 'W', 11, 1};
    if (dcv::insertTelemetry(mp4, samples)) {
        dcv::DCVBlackBoxData back;
        if (!back.ExtractStreamInformation(dcv::MemoryByteSource(mp4)) || back.m_vGpsData().size() != 3 ||
            !(back.m_vGSensorData()[1].data() == samples[1].gsensor) ||
            !(back.m_vGpsData()[2].data() == samples[2].gps))
            std::abort();
    }
    return 0;
}
