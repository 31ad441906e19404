#include "telemetry/MapScripts.h"

#include <algorithm>
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

namespace {

// The track's points in order without repeats of the point before (a car standing still, or a
// table whose entries all name one record), thinned evenly to at most kMaxTrackPoints with the
// last point kept: a longer line looks no different on a map and only costs memory.
template <class Samples, class DataOf>
std::vector<MapTrackPoint> thinnedTrack(const Samples& samples, DataOf dataOf) {
    auto eachPoint = [&](auto&& take) {
        std::optional<MapTrackPoint> last;
        for (const auto& s : samples) {
            const DCVAviGpsData::Data* d = dataOf(s);
            if (!d)
                continue;
            auto p = mapTrackPoint(*d);
            if (!p || p == last)
                continue;
            last = p;
            take(*p);
        }
    };
    size_t count = 0;
    eachPoint([&](const MapTrackPoint&) { ++count; });
    const size_t stride = (count + kMaxTrackPoints - 1) / kMaxTrackPoints;
    std::vector<MapTrackPoint> track;
    track.reserve(std::min(count, kMaxTrackPoints + 1));
    size_t i = 0;
    eachPoint([&](const MapTrackPoint& p) {
        if (i % stride == 0 || i + 1 == count)
            track.push_back(p);
        ++i;
    });
    return track;
}

} // namespace

std::vector<MapTrackPoint> mapTrack(const std::vector<DCVAviGpsData>& samples) {
    return thinnedTrack(samples, [](const DCVAviGpsData& s) { return &s.data(); });
}

std::vector<MapTrackPoint> mapTrack(const std::vector<std::shared_ptr<DCVAviGpsData>>& samples) {
    return thinnedTrack(samples, [](const std::shared_ptr<DCVAviGpsData>& s) {
        return s ? &s->data() : static_cast<const DCVAviGpsData::Data*>(nullptr);
    });
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
