#include "cli/Commands.h"

#include "telemetry/DCVBlackBoxData.h"

#include <cstdio>
#include <string>
#include <vector>

namespace dcv::cli {
namespace {

// NMEA logs are text; anything this large is not one, and would only fill memory.
constexpr uint64_t kMaxNmeaFile = uint64_t(256) << 20;

int runNmea(const std::string& path) {
    FileByteSource file;
    if (!file.open(path.c_str())) {
        printError(path + ": cannot open the file: " + file.error());
        return kExitFailure;
    }
    if (file.size() > kMaxNmeaFile) {
        printError(path + ": the file is larger than 256 MiB");
        return kExitFailure;
    }
    std::vector<char> bytes(size_t(file.size()));
    if (file.readAt(0, bytes.data(), bytes.size()) != bytes.size()) {
        printError(path + ": cannot read the file");
        return kExitFailure;
    }
    DCVBlackBoxData box;
    box.ParseNMEA(bytes.data(), bytes.size()); // false only for an empty file: no fix then
    std::string out = "index,valid,latitude,ns,longitude,ew,hdop,satellites_used,speed_knots,course,utc\n";
    char buf[512];
    for (size_t i = 0; i < box.m_NMEAs().size(); ++i) {
        const DCVGpsData& g = box.m_NMEAs()[i];
        std::snprintf(buf, sizeof buf, "%zu,%u,%.6f,%c,%.6f,%c,%.6f,%u,%.6f,%.6f,", i, unsigned(g.gpsValid()),
                      g.Latitude(), g.NS(), g.Longitude(), g.EW(), g.HDOP(), g.SatelliteUsedCount(),
                      g.SpeedOverGround(), g.CourseOverGround());
        out += buf;
        const _SYSTEMTIME& t = g.Now();
        if (t.wYear == 0) {
            out += "-\n";
        } else {
            std::snprintf(buf, sizeof buf, "%04u-%02u-%02uT%02u:%02u:%02u.%03u\n", t.wYear, t.wMonth, t.wDay,
                          t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
            out += buf;
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

} // namespace

void addNmeaCommand(CLI::App& app, Context& ctx) {
    auto file = std::make_shared<std::string>();
    CLI::App* cmd =
        app.add_subcommand("nmea", "Parse a file of NMEA sentences and print the fix after each line");
    cmd->add_option("FILE", *file, "Text file of NMEA 0183 sentences")->required();
    cmd->callback([&ctx, file] { ctx.exitCode = runNmea(*file); });
}

} // namespace dcv::cli
