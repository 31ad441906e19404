#include "SampleDrive.h"

#include <algorithm>
#include <cmath>

namespace dcv::tools {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kStartLat = -34.6037, kStartLon = -58.3816; // Avenida 9 de Julio
constexpr double kDuration = 90;                             // the longest recording asked for

struct Key {
    double t, kmh;
};
// Speed keyframes; between them the speed follows a cosine ease, so it changes smoothly.
// The hard stop (76 to 0 km/h in 2.6 s) peaks near -1.2 g.
constexpr Key kKeys[] = {{0, 0},   {1.5, 0}, {8, 46},  {13, 70}, {17, 78}, {20, 76}, {22.6, 0}, {26, 0},
                         {33, 42}, {40, 64}, {50, 55}, {60, 72}, {70, 30}, {80, 50}, {90, 40}};

double speedMs(double t) {
    t = std::clamp(t, 0.0, kDuration);
    for (size_t i = 1; i < std::size(kKeys); ++i) {
        if (t <= kKeys[i].t) {
            const Key a = kKeys[i - 1], b = kKeys[i];
            const double u = (t - a.t) / (b.t - a.t);
            const double ease = 0.5 - 0.5 * std::cos(kPi * u);
            return (a.kmh + (b.kmh - a.kmh) * ease) / 3.6;
        }
    }
    return kKeys[std::size(kKeys) - 1].kmh / 3.6;
}

double headingDeg(double t) {
    return 20.0 + 35.0 * std::sin(t / 11.0) + 10.0 * std::sin(t / 3.7);
}

// Deterministic small noise in [-1, 1].
double noise(double t, double seed) {
    const double v = std::sin(t * 12.9898 + seed * 78.233) * 43758.5453;
    return 2.0 * (v - std::floor(v)) - 1.0;
}

} // namespace

SampleDrive::SampleDrive() {
    const size_t n = size_t(kDuration / kStep) + 2;
    m_distance.resize(n);
    m_lat.resize(n);
    m_lon.resize(n);
    double d = 0, lat = kStartLat, lon = kStartLon;
    for (size_t i = 0; i < n; ++i) {
        m_distance[i] = d;
        m_lat[i] = lat;
        m_lon[i] = lon;
        const double t = double(i) * kStep, v = speedMs(t), h = headingDeg(t) * kPi / 180;
        d += v * kStep;
        lat += v * std::cos(h) * kStep / 111320.0;
        lon += v * std::sin(h) * kStep / (111320.0 * std::cos(lat * kPi / 180));
    }
}

double SampleDrive::distanceMeters(double t) const {
    const size_t i = std::min(size_t(std::max(t, 0.0) / kStep), m_distance.size() - 1);
    return m_distance[i];
}

DriveState SampleDrive::at(double t) const {
    DriveState s;
    const size_t i = std::min(size_t(std::max(t, 0.0) / kStep), m_lat.size() - 1);
    const double v = speedMs(t);
    s.speedKmh = v * 3.6;
    s.latitude = m_lat[i];
    s.longitude = m_lon[i];
    s.headingDeg = std::fmod(headingDeg(t) + 360.0, 360.0);
    const double dt = 0.05;
    const double accel = (speedMs(t + dt) - speedMs(t - dt)) / (2 * dt);
    const double turnRate = (headingDeg(t + dt) - headingDeg(t - dt)) / (2 * dt) * kPi / 180;
    const double moving = std::min(1.0, v / 2.0); // a standing car does not shake
    s.gy = accel / 9.81 + 0.015 * noise(t, 1) * moving;
    s.gx = v * turnRate / 9.81 + 0.02 * noise(t, 2) * moving;
    s.gz = 1.0 + 0.04 * noise(t, 3) * moving;
    s.satellites = 8 + unsigned(std::fmod(t / 7.0, 3.0));
    s.hdop = 0.9 + 0.15 * std::sin(t / 5.0);
    return s;
}

std::vector<TelemetrySample> SampleDrive::samples(double start, double seconds, double rate) const {
    std::vector<TelemetrySample> out;
    const size_t n = size_t(std::llround(seconds * rate));
    for (size_t k = 0; k < n; ++k) {
        const DriveState s = at(start + double(k) / rate);
        TelemetrySample x;
        x.gsensor = {int32_t(std::lround(s.gx * 256)), int32_t(std::lround(s.gy * 256)),
                     int32_t(std::lround(s.gz * 256)), 0};
        x.gps.latitude = degreesToNmea(s.latitude);
        x.gps.longitude = degreesToNmea(s.longitude);
        x.gps.ns = s.latitude < 0 ? 'S' : 'N';
        x.gps.ew = s.longitude < 0 ? 'W' : 'E';
        x.gps.hdop = s.hdop;
        x.gps.speed = s.speedKmh;
        x.gps.satellites = s.satellites;
        x.gps.speedUnit = 0;
        out.push_back(x);
    }
    return out;
}

} // namespace dcv::tools
