#pragma once

#include "telemetry/TelemetrySamples.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dcv {

// The script calls the map page understands. Positions are signed decimal degrees: south
// and west are negative.

// "setLatLag('%lf','%lf')": longitude first, then latitude.
std::string setLatLagScript(double longitude, double latitude);
// Sent when a recording has no GPS samples.
inline constexpr const char* kNoGpsDataScript = "DCVDebug('GPS Data Count=Zero')";

struct MapTrackPoint {
    double latitude = 0, longitude = 0;
    friend bool operator==(const MapTrackPoint&, const MapTrackPoint&) = default;
};

// The signed position of a GPS sample (hemisphere characters give the sign; anything but
// 'N' or 'E' counts as south or west, as the telemetry display reads them); none for a sample
// without a fix (both coordinates zero).
std::optional<MapTrackPoint> mapTrackPoint(const DCVAviGpsData::Data& sample);
// The line of a recording on the map: the signed positions of its samples in order, a point
// that repeats the one before left out, thinned evenly (the last point kept) to at most
// kMaxTrackPoints (plus the last point), so that the page never gets more than a screen can show.
inline constexpr size_t kMaxTrackPoints = 20000;
std::vector<MapTrackPoint> mapTrack(const std::vector<DCVAviGpsData>& samples);
std::vector<MapTrackPoint> mapTrack(const std::vector<std::shared_ptr<DCVAviGpsData>>& samples);
// "DCVSetTrack([[lat,lon],…])": the whole track of a recording as a line on the page.
std::string trackScript(const std::vector<MapTrackPoint>& track);

} // namespace dcv
