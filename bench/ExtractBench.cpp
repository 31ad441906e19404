// Reading the telemetry of a three-minute recording (1,800 records at 10 per second) from a file
// in the page cache, next to the floor a plain program would reach: one pread for each table
// entry and one for each record it points at, with nothing parsed.
#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/TelemetryFormat.h"
#include "telemetry/TelemetryWriter.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

namespace fmt = dcv::telemetry_format;

constexpr size_t kRecords = 1800;

std::vector<dcv::TelemetrySample> drive() {
    std::vector<dcv::TelemetrySample> v(kRecords);
    for (size_t i = 0; i < kRecords; ++i) {
        const double t = double(i) / 10.0;
        auto& s = v[i];
        s.gsensor = {int32_t(std::sin(t) * 200), int32_t(std::cos(t) * 120), 256, 0};
        s.gps.satellites = 9;
        s.gps.hdop = 0.9;
        s.gps.speedUnit = 0;
        s.gps.speed = 40 + 30 * std::sin(t / 20);
        s.gps.latitude = dcv::degreesToNmea(34.6 + t * 1e-5);
        s.gps.ns = 'S';
        s.gps.longitude = dcv::degreesToNmea(58.4 + t * 1e-5);
        s.gps.ew = 'W';
    }
    return v;
}

// The test file, written once per run; its table position is found with the real walk's
// rules outside the timed loops (the floor needs it and should not pay for finding it).
struct Fixture {
    std::string path;
    uint64_t tableEntries = 0;

    Fixture() {
        std::string bytes, error;
        if (!dcv::buildTelemetryFile(drive(), 180.0, bytes, &error)) {
            std::fprintf(stderr, "cannot build the file: %s\n", error.c_str());
            std::exit(1);
        }
        char name[] = "/tmp/dcv-extract-bench-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
            std::perror("write");
            std::exit(1);
        }
        ::close(fd);
        path = name;
        // The records are the file's last bytes.
        const uint32_t first = uint32_t(bytes.size() - kRecords * fmt::kRecordSize);
        if (bytes.compare(first, 3, fmt::kRecordMarker) != 0) {
            std::fprintf(stderr, "the records are not where expected\n");
            std::exit(1);
        }
        const char be[4] = {char(first >> 24), char(first >> 16), char(first >> 8), char(first)};
        // The first table entry is the one holding the first record's offset.
        tableEntries = bytes.find(std::string(be, 4));
        if (tableEntries >= first) {
            std::fprintf(stderr, "cannot find the offset table\n");
            std::exit(1);
        }
    }
    ~Fixture() { ::unlink(path.c_str()); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void extract(benchmark::State& state) {
    const Fixture& f = fixture();
    dcv::DCVBlackBoxData data;
    for (auto _ : state) {
        if (!data.ExtractStreamInformation(f.path.c_str()) || data.m_GSensors().size() != kRecords) {
            state.SkipWithError("the walk did not read every record");
            break;
        }
        benchmark::DoNotOptimize(data.m_vGpsData().data());
    }
    state.SetItemsProcessed(int64_t(state.iterations() * kRecords));
}

void preadFloor(benchmark::State& state) {
    const Fixture& f = fixture();
    for (auto _ : state) {
        const int fd = ::open(f.path.c_str(), O_RDONLY | O_CLOEXEC);
        uint8_t entry[fmt::kTableEntrySize];
        uint8_t record[fmt::kRecordSize];
        unsigned sum = 0;
        for (size_t k = 0; k < kRecords; ++k) {
            if (::pread(fd, entry, sizeof entry, off_t(f.tableEntries + k * sizeof entry)) !=
                ssize_t(sizeof entry))
                break;
            const uint32_t o =
                uint32_t(entry[0]) << 24 | uint32_t(entry[1]) << 16 | uint32_t(entry[2]) << 8 | entry[3];
            if (::pread(fd, record, sizeof record, off_t(o)) != ssize_t(sizeof record))
                break;
            sum += record[0];
        }
        ::close(fd);
        if (sum != kRecords * unsigned('G')) {
            state.SkipWithError("the floor loop did not find every record");
            break;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations() * kRecords));
}

BENCHMARK(extract)->Unit(benchmark::kMicrosecond);
BENCHMARK(preadFloor)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
