#include "cli/Commands.h"

#include "recordings/DCVMedia.h"
#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/Mp4Boxes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

// Output goes to stdout in blocks as it is made, so that a recording with millions of samples
// never stands whole in memory as text.
class Out {
public:
    ~Out() { flush(); }
    Out& operator<<(std::string_view s) {
        m_buf += s;
        if (m_buf.size() >= kBlock)
            flush();
        return *this;
    }
    Out& operator<<(char c) { return *this << std::string_view(&c, 1); }
    template <class... A> Out& print(const char* fmt, A... args) {
        char buf[256];
        const int n = std::snprintf(buf, sizeof buf, fmt, args...);
        return *this << std::string_view(buf, n < 0 ? 0 : std::min<size_t>(size_t(n), sizeof buf - 1));
    }
    void flush() {
        std::fwrite(m_buf.data(), 1, m_buf.size(), stdout);
        m_buf.clear();
    }

private:
    static constexpr size_t kBlock = 64 * 1024;
    std::string m_buf;
};

// A hemisphere byte as a CSV field (quoted when it would break the line).
std::string csvChar(char c) {
    if (c == ',' || c == '"' || c == '\n' || c == '\r')
        return c == '"' ? "\"\"\"\"" : std::string("\"") + c + "\"";
    return std::string(1, c);
}

void writeCsv(const DCVBlackBoxData& box, Out& out) {
    out << "index,gx,gy,gz,gw,x,y,z,satellites,hdop,speed_unit,speed,"
           "latitude,ns,longitude,ew,lat_deg,lon_deg\n";
    for (size_t i = 0; i < box.m_vGpsData().size(); ++i) {
        const auto& r = box.m_vGSensorData()[i].data();
        const auto& s = box.m_GSensors()[i];
        const auto& g = box.m_vGpsData()[i].data();
        const Degrees d = signedDegrees(g);
        out.print("%zu,%d,%d,%d,%d,%.6f,%.6f,%.6f,%u,%.6f,%u,%.6f,%.6f,", i, r.gx, r.gy, r.gz, r.gw,
                  double(s.x()), double(s.y()), double(s.z()), g.satellites, double(g.hdop),
                  unsigned(g.speedUnit), double(g.speed), double(g.latitude));
        out << csvChar(g.ns);
        out.print(",%.6f,", double(g.longitude));
        out << csvChar(g.ew);
        out.print(",%.6f,%.6f\n", d.lat, d.lon);
    }
}

// A JSON number as nlohmann's dump writes it: the shortest text that reads back the same
// double, with ".0" on whole numbers; null for what JSON cannot carry.
void jsonNumber(Out& out, double v) {
    if (!std::isfinite(v)) {
        out << "null";
        return;
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    const std::string_view text(buf, size_t(r.ptr - buf));
    out << text;
    if (text.find_first_of(".e") == std::string_view::npos)
        out << ".0";
}

// A hemisphere byte as a JSON string; one that is not UTF-8 becomes U+FFFD.
void jsonChar(Out& out, char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80)
        out << "\"\xEF\xBF\xBD\"";
    else if (c == '"' || c == '\\')
        out << '"' << '\\' << c << '"';
    else if (b < 0x20)
        out.print("\"\\u%04x\"", unsigned(b));
    else
        out << '"' << c << '"';
}

// The layout of nlohmann's dump with an indent of one blank, written sample by sample.
void writeJson(const DCVBlackBoxData& box, Out& out) {
    const size_t n = box.m_vGpsData().size();
    if (n == 0) {
        out << "[]\n";
        return;
    }
    out << "[\n";
    for (size_t i = 0; i < n; ++i) {
        const auto& r = box.m_vGSensorData()[i].data();
        const auto& s = box.m_GSensors()[i];
        const auto& g = box.m_vGpsData()[i].data();
        const Degrees d = signedDegrees(g);
        out.print(" {\n  \"index\": %zu", i);
        const auto key = [&out](const char* name) { out << ",\n  \"" << name << "\": "; };
        const auto integer = [&](const char* name, long long v) {
            key(name);
            out.print("%lld", v);
        };
        const auto number = [&](const char* name, double v) {
            key(name);
            jsonNumber(out, v);
        };
        const auto letter = [&](const char* name, char c) {
            key(name);
            jsonChar(out, c);
        };
        integer("gx", r.gx);
        integer("gy", r.gy);
        integer("gz", r.gz);
        integer("gw", r.gw);
        number("x", s.x());
        number("y", s.y());
        number("z", s.z());
        integer("satellites", g.satellites);
        number("hdop", g.hdop);
        integer("speed_unit", g.speedUnit);
        number("speed", g.speed);
        number("latitude", g.latitude);
        letter("ns", g.ns);
        number("longitude", g.longitude);
        letter("ew", g.ew);
        number("lat_deg", d.lat);
        number("lon_deg", d.lon);
        out << (i + 1 < n ? "\n },\n" : "\n }\n");
    }
    out << "]\n";
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
void writeGpx(const DCVBlackBoxData& box, const std::string& path, std::optional<double> duration, Out& out) {
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

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"dcv\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
           " <trk>\n  <name>"
        << xmlEscape(name) << "</name>\n  <trkseg>\n";
    const size_t n = box.m_vGpsData().size();
    for (size_t i = 0; i < n; ++i) {
        const auto& g = box.m_vGpsData()[i].data();
        if (g.latitude == 0 && g.longitude == 0)
            continue; // no fix
        const Degrees d = signedDegrees(g);
        out.print("   <trkpt lat=\"%.6f\" lon=\"%.6f\">", d.lat, d.lon);
        if (timed) {
            const long long ms =
                base * 1000 + static_cast<long long>(*duration * 1000.0 * double(i) / double(n));
            const std::time_t secs = std::time_t(ms / 1000);
            std::tm tm{};
            ::gmtime_r(&secs, &tm);
            out.print("<time>%04d-%02d-%02dT%02d:%02d:%02d.%03d</time>", tm.tm_year + 1900, tm.tm_mon + 1,
                      tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms % 1000));
        }
        out.print("<sat>%u</sat><hdop>%.6f</hdop></trkpt>\n", g.satellites, double(g.hdop));
    }
    out << "  </trkseg>\n </trk>\n</gpx>\n";
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
    // The output stays as it is; what was left out, or that there was nothing, goes to stderr.
    if (!box.readReport().complete())
        printError(path + ": " + box.readReport().text());
    else if (box.m_vGpsData().empty())
        printError(path + ": no telemetry records");
    Out out;
    if (format == "json")
        writeJson(box, out);
    else if (format == "gpx")
        writeGpx(box, path, movieDurationSeconds(file), out);
    else
        writeCsv(box, out);
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
