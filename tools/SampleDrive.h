#pragma once

#include "telemetry/TelemetryWriter.h"

#include <vector>

namespace dcv::tools {

// One continuous drive through Buenos Aires (southern and western hemisphere, so both signs
// are exercised): pulling away, a faster avenue, a hard stop at 20 s, then on again.
// Every quantity is a smooth function of the drive time t in seconds.
struct DriveState {
    double speedKmh = 0;
    double latitude = 0, longitude = 0; // signed decimal degrees
    double headingDeg = 0;
    double gx = 0, gy = 0, gz = 0; // g: lateral, longitudinal, vertical
    unsigned satellites = 0;
    double hdop = 0;
};

class SampleDrive {
public:
    SampleDrive();
    DriveState at(double t) const;
    double distanceMeters(double t) const;
    // Telemetry of [start, start + seconds) at `rate` samples per second.
    std::vector<TelemetrySample> samples(double start, double seconds, double rate = 10) const;

private:
    static constexpr double kStep = 0.01;
    std::vector<double> m_distance, m_lat, m_lon; // integrated on a 10 ms grid
};

} // namespace dcv::tools
