#pragma once

#include "telemetry/TelemetrySamples.h"

#include <string>

namespace dcv {

// The texts of the telemetry display for one sample.

// "X=%@%.2lf" and its Y and Z forms: a plus sign only for a positive value (a negative one
// brings its own minus, zero has none).
std::string gsensorAxisText(char axis, double value);

struct GpsTexts {
    double latitude = 0, longitude = 0; // signed decimal degrees, as sent to the map
    std::string latitudeText, longitudeText, speedText, hdopText, satelliteText;
};
// Signs from the sample's own hemisphere characters (anything but 'N' / 'E' is south / west),
// degrees from ddmm.mmmm, speed truncated in the unit the sample carries.
GpsTexts gpsTexts(const DCVAviGpsData::Data& sample);

} // namespace dcv
