#include "cli/Commands.h"

#include "recordings/DCVMedia.h"
#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/Mp4Boxes.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

namespace dcv::cli {
namespace {

struct Degrees {
    double lat, lon;
};

// Signed decimal degrees of a sample: "N" and "E" are positive, any other character negative.
Degrees signedDegrees(const DCVAviGpsData::Data& g) {
    double lat = g.latitude, lon = g.longitude;
    nmeaToDegrees(&lat, &lon);
    return {g.ns == 'N' ? lat : -lat, g.ew == 'E' ? lon : -lon};
}

// A hemisphere byte as a CSV field (quoted when it would break the line).
std::string csvChar(char c) {
    if (c == ',' || c == '"' || c == '\n' || c == '\r')
        return c == '"' ? "\"\"\"\"" : std::string("\"") + c + "\"";
    return std::string(1, c);
}

std::string toCsv(const DCVBlackBoxData& box) {
    std::string out =
        "index,gx,gy,gz,gw,x,y,z,satellites,hdop,speed_unit,speed,latitude,ns,longitude,ew,lat_deg,"
        "lon_deg\n";
    char buf[512];
    for (size_t i = 0; i < box.m_vGpsData().size(); ++i) {
        const auto& r = box.m_vGSensorData()[i].data();
        const auto& s = box.m_GSensors()[i];
        const auto& g = box.m_vGpsData()[i].data();
        const Degrees d = signedDegrees(g);
        std::snprintf(buf, sizeof buf, "%zu,%d,%d,%d,%d,%.6f,%.6f,%.6f,%u,%.6f,%u,%.6f,%.6f,", i, r.gx, r.gy,
                      r.gz, r.gw, double(s.x()), double(s.y()), double(s.z()), g.satellites, g.hdop,
                      unsigned(g.speedUnit), g.speed, g.latitude);
        out += buf;
        out += csvChar(g.ns);
        std::snprintf(buf, sizeof buf, ",%.6f,", g.longitude);
        out += buf;
        out += csvChar(g.ew);
        std::snprintf(buf, sizeof buf, ",%.6f,%.6f\n", d.lat, d.lon);
        out += buf;
    }
    return out;
}

std::string toJson(const DCVBlackBoxData& box) {
    nlohmann::ordered_json samples = nlohmann::ordered_json::array();
    for (size_t i = 0; i < box.m_vGpsData().size(); ++i) {
        const auto& r = box.m_vGSensorData()[i].data();
        const auto& s = box.m_GSensors()[i];
        const auto& g = box.m_vGpsData()[i].data();
        const Degrees d = signedDegrees(g);
        nlohmann::ordered_json o;
        o["index"] = i;
        o["gx"] = r.gx;
        o["gy"] = r.gy;
        o["gz"] = r.gz;
        o["gw"] = r.gw;
        o["x"] = s.x();
        o["y"] = s.y();
        o["z"] = s.z();
        o["satellites"] = g.satellites;
        o["hdop"] = g.hdop;
        o["speed_unit"] = g.speedUnit;
        o["speed"] = g.speed;
        o["latitude"] = g.latitude;
        o["ns"] = std::string(1, g.ns);
        o["longitude"] = g.longitude;
        o["ew"] = std::string(1, g.ew);
        o["lat_deg"] = d.lat;
        o["lon_deg"] = d.lon;
        samples.push_back(std::move(o));
    }
    // Hemisphere bytes come from the file: one that is not UTF-8 becomes U+FFFD.
    return samples.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string xmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

// Sample times: the file name's timestamp plus an even share of the movie's duration.
std::string toGpx(const DCVBlackBoxData& box, const std::string& path, std::optional<double> duration) {
    const DCVMedia media(path);
    const bool timed = media.year() >= 1 && duration && *duration > 0;
    std::tm start{};
    start.tm_year = media.year() - 1900;
    start.tm_mon = media.month() - 1;
    start.tm_mday = media.day();
    start.tm_hour = media.hour();
    start.tm_min = media.minute();
    start.tm_sec = media.second();
    const long long base = timed ? static_cast<long long>(::timegm(&start)) : 0;
    const std::string name = isValidUtf8(media.fileName()) ? media.fileName() : "recording";

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gpx version=\"1.1\" creator=\"dcv\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                      " <trk>\n  <name>" +
                      xmlEscape(name) + "</name>\n  <trkseg>\n";
    const size_t n = box.m_vGpsData().size();
    char buf[256];
    for (size_t i = 0; i < n; ++i) {
        const auto& g = box.m_vGpsData()[i].data();
        if (g.latitude == 0 && g.longitude == 0)
            continue; // no fix
        const Degrees d = signedDegrees(g);
        std::snprintf(buf, sizeof buf, "   <trkpt lat=\"%.6f\" lon=\"%.6f\">", d.lat, d.lon);
        out += buf;
        if (timed) {
            const long long ms =
                base * 1000 + static_cast<long long>(*duration * 1000.0 * double(i) / double(n));
            const std::time_t secs = std::time_t(ms / 1000);
            std::tm tm{};
            ::gmtime_r(&secs, &tm);
            std::snprintf(buf, sizeof buf, "<time>%04d-%02d-%02dT%02d:%02d:%02d.%03d</time>",
                          tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                          int(ms % 1000));
            out += buf;
        }
        std::snprintf(buf, sizeof buf, "<sat>%u</sat><hdop>%.6f</hdop></trkpt>\n", g.satellites, g.hdop);
        out += buf;
    }
    out += "  </trkseg>\n </trk>\n</gpx>\n";
    return out;
}

int runTelemetry(const std::string& path, const std::string& format) {
    FileByteSource file;
    if (!file.open(path.c_str())) {
        printError(path + ": cannot open the file: " + file.error());
        return kExitFailure;
    }
    DCVBlackBoxData box;
    if (!box.ExtractStreamInformation(file)) {
        printError(path + ": " + box.extractError());
        return kExitFailure;
    }
    std::string out;
    if (format == "json")
        out = toJson(box);
    else if (format == "gpx")
        out = toGpx(box, path, movieDurationSeconds(file));
    else
        out = toCsv(box);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

} // namespace

void addTelemetryCommand(CLI::App& app, Context& ctx) {
    auto file = std::make_shared<std::string>();
    auto format = std::make_shared<std::string>("csv");
    CLI::App* cmd = app.add_subcommand("telemetry", "Print the telemetry samples of a recording");
    cmd->add_option("FILE", *file, "Recording (MP4)")->required();
    cmd->add_option("--format", *format, "csv (default), json or gpx")
        ->check(CLI::IsMember({"csv", "json", "gpx"}));
    cmd->callback([&ctx, file, format] { ctx.exitCode = runTelemetry(*file, *format); });
}

} // namespace dcv::cli
