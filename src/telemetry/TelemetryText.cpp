#include "telemetry/TelemetryText.h"

#include <cstdio>

namespace dcv {

namespace {

template <class... Args> std::string format(const char* f, Args... args) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, f, args...);
    return std::string(buffer, n > 0 ? size_t(n) < sizeof buffer ? size_t(n) : sizeof buffer - 1 : 0);
}

} // namespace

std::string gsensorAxisText(char axis, double value) {
    return format("%c=%s%.2lf", axis, value > 0 ? "+" : "", value);
}

GpsTexts gpsTexts(const DCVAviGpsData::Data& sample) {
    GpsTexts t;
    t.latitude = sample.ns != 'N' ? -sample.latitude : sample.latitude;
    t.longitude = sample.ew != 'E' ? -sample.longitude : sample.longitude;
    nmeaToDegrees(&t.latitude, &t.longitude);
    t.longitudeText = format("%.4f", t.longitude);
    t.latitudeText = format("%.4f", t.latitude);
    // Truncated toward zero as an int; speeds beyond int's range do not occur in a record.
    const int speed = int(sample.speed);
    t.speedText = format(sample.speedUnit == 1 ? "%d Mi/h" : "%d Km/h", speed);
    t.hdopText = format("%.1f", sample.hdop);
    t.satelliteText = format("%d", int(sample.satellites));
    return t;
}

} // namespace dcv
