// Helper of tools/make-sample-card: renders the dash-cam picture of the sample drive as raw
// RGB frames for ffmpeg, writes ffmpeg's overlay commands, and adds the telemetry of the
// drive to the encoded MP4 with the core's writer.
#include "SampleDrive.h"

#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/TelemetryWriter.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using dcv::tools::DriveState;
using dcv::tools::SampleDrive;

namespace {

struct Rgb {
    double r, g, b;
};
Rgb mix(Rgb a, Rgb b, double u) {
    u = std::clamp(u, 0.0, 1.0);
    return {a.r + (b.r - a.r) * u, a.g + (b.g - a.g) * u, a.b + (b.b - a.b) * u};
}
double frac(double v) {
    return v - std::floor(v);
}
double hash(double a, double b) {
    return frac(std::sin(a * 127.1 + b * 311.7) * 43758.5453);
}

// A simple perspective road scene: sky, a skyline, sidewalks with lamp posts, a four-lane
// avenue whose marks move with the distance driven. The rear view looks backwards: marks
// recede, the scene is mirrored, and the rear window frames it.
class Renderer {
public:
    Renderer(int w, int h, bool rear) : m_w(w), m_h(h), m_rear(rear), m_frame(size_t(w) * h * 3) {}

    const std::vector<uint8_t>& draw(const SampleDrive& drive, double t) {
        const DriveState s = drive.at(t);
        const double dist = drive.distanceMeters(t) * (m_rear ? -1 : 1);
        const double W = m_w, H = m_h, f = H * 0.9, camH = 1.3;
        const double horizon = H * (m_rear ? 0.46 : 0.42) - s.gy * H * 0.05;
        const double bend = (m_rear ? -1 : 1) * std::clamp(s.gx * 3.0, -1.0, 1.0) * W * 0.25;
        const double pan = s.headingDeg / 90.0 * W * (m_rear ? -1 : 1);
        const Rgb skyTop = m_rear ? Rgb{80, 110, 150} : Rgb{95, 150, 215};
        const Rgb skyLow = m_rear ? Rgb{170, 180, 190} : Rgb{205, 222, 240};
        for (int y = 0; y < m_h; ++y) {
            const double depthRow = y - horizon;
            const double z = depthRow > 0.5 ? camH * f / depthRow : 1e9;
            const double centre = W / 2 + bend * std::pow(std::max(0.0, 1.0 - depthRow / (H - horizon)), 2);
            for (int x = 0; x < m_w; ++x) {
                Rgb c;
                if (depthRow <= 0.5) {
                    c = mix(skyTop, skyLow, y / horizon);
                    // Skyline: blocks of varying height standing on the horizon.
                    const double bx = (x + pan) / (W / 18.0);
                    const double block = std::floor(bx);
                    const double height = (0.04 + 0.14 * hash(block, 3)) * H;
                    if (horizon - y < height && frac(bx) > 0.08) {
                        const double shade = 90 + 60 * hash(block, 7);
                        c = {shade, shade * 0.97, shade * 0.92};
                        const bool window = frac((x + pan) / 5.0) < 0.45 && frac((horizon - y) / 6.0) < 0.5;
                        if (window && hash(block, std::floor((horizon - y) / 6.0)) > 0.55)
                            c = mix(c, {230, 220, 170}, 0.5);
                    }
                } else {
                    const double u = (x - centre) * camH / depthRow; // metres from the road centre
                    const double along = z + dist;                   // metres along the road
                    const double au = std::fabs(u);
                    if (au < 7.0) {
                        const double grain = 8 * hash(std::floor(along * 4), std::floor(u * 4));
                        c = {78 + grain, 80 + grain, 84 + grain};
                        const bool edge = au > 6.6 && au < 6.8;
                        const bool centreLine = au < 0.12;
                        const bool laneLine = std::fabs(au - 3.4) < 0.08 && frac(along / 9.0) < 0.4;
                        if (edge || laneLine)
                            c = {225, 225, 220};
                        if (centreLine)
                            c = {230, 190, 40};
                    } else if (au < 10.0) {
                        const double tile = frac(along / 1.5) < 0.06 ? 0.8 : 1.0;
                        c = {170 * tile, 165 * tile, 158 * tile};
                    } else {
                        const double v = 10 * hash(std::floor(along / 2), std::floor(u));
                        c = {70 + v, 120 + v, 60 + v};
                    }
                    c = mix(c, skyLow, std::clamp((z - 60) / 140, 0.0, 0.7)); // haze
                }
                put(x, y, c);
            }
        }
        drawPosts(horizon, f, camH, dist, bend);
        if (m_rear)
            drawRearWindow();
        else
            drawDashboard();
        return m_frame;
    }

private:
    void put(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= m_w || y >= m_h)
            return;
        uint8_t* p = &m_frame[(size_t(y) * m_w + x) * 3];
        p[0] = uint8_t(std::clamp(c.r, 0.0, 255.0));
        p[1] = uint8_t(std::clamp(c.g, 0.0, 255.0));
        p[2] = uint8_t(std::clamp(c.b, 0.0, 255.0));
    }

    void drawPosts(double horizon, double f, double camH, double dist, double bend) {
        const double spacing = 25;
        const double first = std::ceil((dist + 2) / spacing) * spacing;
        for (double at = first + 8 * spacing; at >= first; at -= spacing) {
            const double z = at - dist;
            if (z < 2)
                continue;
            const double row = horizon + camH * f / z;
            const double centre =
                m_w / 2.0 + bend * std::pow(std::max(0.0, 1.0 - (row - horizon) / (m_h - horizon)), 2);
            for (int side : {-1, 1}) {
                const double x = centre + side * 8.5 * (row - horizon) / camH;
                const double height = 5.0 * f / z, width = std::max(1.0, 0.2 * f / z);
                for (int y = int(row - height); y < int(row); ++y)
                    for (int k = 0; k < int(width); ++k)
                        put(int(x) + k, y, {55, 58, 62});
                for (int y = int(row - height); y < int(row - height + std::max(2.0, width)); ++y)
                    for (int k = -int(width * 3); k < int(width); ++k)
                        put(int(x) + (side > 0 ? -k : k), y, {240, 235, 200});
            }
        }
    }

    void drawDashboard() {
        for (int x = 0; x < m_w; ++x) {
            const double u = (x - m_w / 2.0) / (m_w / 2.0);
            const int top = int(m_h * (0.90 - 0.04 * (1 - u * u)));
            for (int y = top; y < m_h; ++y)
                put(x, y, {28, 28, 31});
        }
    }

    void drawRearWindow() {
        const double r = m_h * 0.18;
        for (int y = 0; y < m_h; ++y) {
            for (int x = 0; x < m_w; ++x) {
                const double dx = std::max({r - x, x - (m_w - 1 - r), 0.0});
                const double dy = std::max({r - y, y - (m_h - 1 - r), 0.0});
                const bool frame = y < m_h * 0.04 || dx * dx + dy * dy > r * r * 0.85;
                if (frame)
                    put(x, y, {20, 20, 22});
            }
        }
    }

    int m_w, m_h;
    bool m_rear;
    std::vector<uint8_t> m_frame;
};

std::string timeText(long epoch) {
    const std::time_t t = epoch;
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y/%m/%d %H\\:%M\\:%S", &tm);
    return buf;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream o(path, std::ios::binary | std::ios::trunc);
    o.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(o);
}

// A recording's first samples, as a minimal walkable file or as NMEA sentences.
int writeSeed(const std::string& in, const std::string& out, const std::string& kind, size_t count) {
    dcv::DCVBlackBoxData box;
    if (!box.ExtractStreamInformation(in.c_str())) {
        std::cerr << in << ": " << box.extractError() << "\n";
        return 1;
    }
    std::vector<dcv::TelemetrySample> samples;
    for (size_t i = 0; i < std::min(count, box.m_vGpsData().size()); ++i)
        samples.push_back({box.m_vGSensorData()[i].data(), box.m_vGpsData()[i].data()});
    std::string bytes;
    if (kind == "mp4") {
        if (!dcv::buildTelemetryFile(samples, double(samples.size()) / 10, bytes))
            return 1;
    } else {
        char line[256];
        for (size_t i = 0; i < samples.size(); ++i) {
            const auto& g = samples[i].gps;
            const int cs = int(i * 37 % 256);
            std::snprintf(line, sizeof line,
                          "$GPGGA,1425%02zu.%03zu,%09.4f,%c,%010.4f,%c,1,%02u,%.1f,25.0,M,,,,*%02X\r\n",
                          30 + i / 10, (i % 10) * 100, g.latitude, g.ns, g.longitude, g.ew, g.satellites,
                          g.hdop, cs);
            bytes += line;
            std::snprintf(line, sizeof line, "$GNRMC,1425%02zu.%03zu,A,,,,,%.2f,%.1f,150321,,,A*%02X\r\n",
                          30 + i / 10, (i % 10) * 100, g.speed / 1.852, 87.5, cs);
            bytes += line;
            if (i % 5 == 0)
                bytes += "$GNGSA,A,3,05,07,13,21,,,,,,,,,1.8,0.9,1.5*3C\r\n$GNGSA,A,3,70,71,80,,,,,,,,,,1.8,"
                         "0.9,1.5*3D\r\n"
                         "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\r\n";
        }
    }
    return writeFile(out, bytes) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Sample-card helper: frames, overlay commands and telemetry of the sample drive"};
    app.require_subcommand(1);
    double start = 0, seconds = 8;
    int width = 640, height = 360, fps = 30;
    std::string view = "front";
    long epoch = 0;
    std::string in, out;

    auto* render = app.add_subcommand("render", "Write raw RGB24 frames of the drive to stdout");
    auto* overlay =
        app.add_subcommand("overlay", "Write sendcmd lines for the time, speed and position texts");
    auto* insert = app.add_subcommand("insert", "Add the drive's telemetry (10 per second) to an MP4");
    auto* seed = app.add_subcommand("seed", "Write a small fuzzing seed from a recording's first samples");
    std::string seedKind = "mp4";
    size_t seedSamples = 20;
    seed->add_option("--kind", seedKind)->check(CLI::IsMember({"mp4", "nmea"}));
    seed->add_option("--samples", seedSamples);
    seed->add_option("IN", in)->required();
    seed->add_option("OUT", out)->required();
    for (auto* c : {render, overlay, insert}) {
        c->add_option("--start", start, "Drive time of the recording's first frame, seconds");
        c->add_option("--seconds", seconds, "Length of the recording, seconds");
    }
    render->add_option("--width", width);
    render->add_option("--height", height);
    render->add_option("--fps", fps);
    render->add_option("--view", view)->check(CLI::IsMember({"front", "rear"}));
    overlay->add_option("--epoch", epoch, "UTC start time of the recording, seconds since 1970")->required();
    insert->add_option("IN", in)->required();
    insert->add_option("OUT", out)->required();
    CLI11_PARSE(app, argc, argv);

    const SampleDrive drive;
    if (render->parsed()) {
        Renderer r(width, height, view == "rear");
        const long frames = std::lround(seconds * fps);
        for (long i = 0; i < frames; ++i) {
            const auto& frame = r.draw(drive, start + double(i) / fps);
            if (std::fwrite(frame.data(), 1, frame.size(), stdout) != frame.size())
                return 1;
        }
        return 0;
    }
    if (overlay->parsed()) {
        for (int k = 0; k < int(std::lround(seconds * 10)); ++k) {
            const double t = k / 10.0;
            const DriveState s = drive.at(start + t);
            std::printf("%.1f drawtext@time reinit 'text=%s', drawtext@speed reinit 'text=%3.0f km/h', "
                        "drawtext@pos reinit 'text=%c %.5f  %c %.5f';\n",
                        t, timeText(epoch + long(std::floor(t))).c_str(), s.speedKmh,
                        s.latitude < 0 ? 'S' : 'N', std::fabs(s.latitude), s.longitude < 0 ? 'W' : 'E',
                        std::fabs(s.longitude));
        }
        return 0;
    }
    if (seed->parsed())
        return writeSeed(in, out, seedKind, seedSamples);
    std::ifstream f(in, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::string mp4 = ss.str();
    if (!f || mp4.empty()) {
        std::cerr << in << ": cannot read\n";
        return 1;
    }
    std::string error;
    if (!dcv::insertTelemetry(mp4, drive.samples(start, seconds), &error)) {
        std::cerr << in << ": " << error << "\n";
        return 1;
    }
    std::ofstream o(out, std::ios::binary | std::ios::trunc);
    o.write(mp4.data(), std::streamsize(mp4.size()));
    if (!o) {
        std::cerr << out << ": cannot write\n";
        return 1;
    }
    return 0;
}
