#include "telemetry/MapScripts.h"

#include <cmath>
#include <cstdio>

namespace dcv {

std::string setLatLagScript(double longitude, double latitude) {
    // "%lf" of a huge value can run to 300+ digits.
    char buffer[720];
    std::snprintf(buffer, sizeof buffer, "setLatLag('%lf','%lf')", longitude, latitude);
    return buffer;
}

std::optional<MapTrackPoint> mapTrackPoint(const DCVAviGpsData::Data& sample) {
    if (sample.latitude == 0 && sample.longitude == 0)
        return std::nullopt;
    double lat = sample.ns == 'N' ? sample.latitude : -sample.latitude;
    double lon = sample.ew == 'E' ? sample.longitude : -sample.longitude;
    nmeaToDegrees(&lat, &lon);
    if (!std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > 90 || std::fabs(lon) > 180)
        return std::nullopt;
    return MapTrackPoint{lat, lon};
}

std::vector<MapTrackPoint> mapTrack(const std::vector<DCVAviGpsData>& samples) {
    std::vector<MapTrackPoint> track;
    track.reserve(samples.size());
    for (const auto& s : samples)
        if (auto p = mapTrackPoint(s.data()))
            track.push_back(*p);
    return track;
}

std::vector<MapTrackPoint> mapTrack(const std::vector<std::shared_ptr<DCVAviGpsData>>& samples) {
    std::vector<MapTrackPoint> track;
    track.reserve(samples.size());
    for (const auto& s : samples)
        if (s)
            if (auto p = mapTrackPoint(s->data()))
                track.push_back(*p);
    return track;
}

std::string trackScript(const std::vector<MapTrackPoint>& track) {
    std::string script = "DCVSetTrack([";
    script.reserve(script.size() + track.size() * 26 + 2);
    char buffer[64];
    for (size_t i = 0; i < track.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%s[%.6f,%.6f]", i ? "," : "", track[i].latitude,
                      track[i].longitude);
        script += buffer;
    }
    script += "])";
    return script;
}

} // namespace dcv
