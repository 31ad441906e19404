#include "cli/Commands.h"

#include "telemetry/DCVBlackBoxData.h"
#include "util/FileRead.h"

#include <cstdio>
#include <string>

namespace dcv::cli {
namespace {

int runNmea(const std::string& path) {
    // NMEA logs are text; anything larger than the cap is not one, and would only fill memory.
    Result<std::string> text = readRegularFile(path, kMaxTextLogFile);
    if (!text) {
        printError("cannot open the file: " + text.failure().detail);
        return kExitFailure;
    }
    std::string out = "index,valid,latitude,ns,longitude,ew,hdop,satellites_used,speed_knots,course,utc\n";
    size_t index = 0;
    DCVNMEASentenceParser parser;
    char buf[512];
    // Each fix is printed as it comes, in blocks, so that a long log never stands whole as text.
    parseNmeaText(text->data(), text->size(), parser, [&](const DCVGpsData& g) {
        std::snprintf(buf, sizeof buf, "%zu,%u,%.6f,%c,%.6f,%c,%.6f,%u,%.6f,%.6f,", index++,
                      unsigned(g.gpsValid()), g.Latitude(), g.NS(), g.Longitude(), g.EW(), g.HDOP(),
                      g.SatelliteUsedCount(), g.SpeedOverGround(), g.CourseOverGround());
        out += buf;
        const _SYSTEMTIME& t = g.Now();
        if (t.wYear == 0) {
            out += "-\n";
        } else {
            std::snprintf(buf, sizeof buf, "%04u-%02u-%02uT%02u:%02u:%02u.%03u\n", t.wYear, t.wMonth, t.wDay,
                          t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
            out += buf;
        }
        if (out.size() >= 64 * 1024) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    });
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (index == 0)
        printError(path + ": no NMEA sentence beginning $G");
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
