// Writes a crafted recording for measuring the telemetry readers: one telemetry record and an
// offset table of ENTRIES entries that all name it (2,000,000 entries make a file of 33 MB).
//   dcv-make-crafted-recording OUT ENTRIES
#include "telemetry/TelemetryWriter.h"
#include "util/SafeFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dcv-make-crafted-recording OUT ENTRIES\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long long entries = std::strtoull(argv[2], &end, 10);
    if (*end != '\0' || entries == 0 || entries > (1ull << 26)) {
        std::fprintf(stderr, "dcv-make-crafted-recording: ENTRIES must be 1 to %llu\n", 1ull << 26);
        return 2;
    }
    dcv::TelemetrySample sample;
    sample.gsensor = {256, -128, 64, 0};
    sample.gps = {3733.5f, 12701.25f, 0.9f, 42.5f, 'N', 'E', 9, 0};
    std::string file, error;
    if (!dcv::buildTelemetryFileWithTable({sample}, std::vector<uint32_t>(size_t(entries), 0), 60.0, file,
                                          &error)) {
        std::fprintf(stderr, "dcv-make-crafted-recording: %s\n", error.c_str());
        return 1;
    }
    if (const auto failure = dcv::safeWriteFile(argv[1], file)) {
        std::fprintf(stderr, "dcv-make-crafted-recording: %s\n", failure->detail.c_str());
        return 1;
    }
    return 0;
}
