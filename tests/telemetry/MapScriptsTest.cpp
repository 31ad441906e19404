#include "telemetry/MapScripts.h"

#include <gtest/gtest.h>

using namespace dcv;

TEST(MapScriptsTest, SetLatLagTakesLongitudeFirstWithSixDecimals) {
    struct {
        double lon, lat;
        const char* script;
    } cases[] = {
        {127.25, 37.5, "setLatLag('127.250000','37.500000')"},
        {151.2093, -33.9, "setLatLag('151.209300','-33.900000')"},
        {-7.5, -37.752057, "setLatLag('-7.500000','-37.752057')"},
        {0, 0, "setLatLag('0.000000','0.000000')"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(setLatLagScript(c.lon, c.lat), c.script);
    // Out-of-range numbers still make one complete call.
    const std::string huge = setLatLagScript(1e300, -1e300);
    EXPECT_EQ(huge.rfind("')"), huge.size() - 2);
}

TEST(MapScriptsTest, TrackSignsComeFromHemispheresAndSamplesWithoutFixAreLeftOut) {
    const auto sample = [](double lat, char ns, double lon, char ew) {
        DCVAviGpsData::Data d;
        d.latitude = lat;
        d.ns = ns;
        d.longitude = lon;
        d.ew = ew;
        return DCVAviGpsData(d);
    };
    const std::vector<DCVAviGpsData> samples{
        sample(3730.0, 'N', 12715.0, 'E'), sample(0, 'N', 0, 'E'),          sample(3745.125, 'S', 730.0, 'W'),
        sample(3730.0, 0, 12715.0, 0),     sample(9999.0, 'N', 100.0, 'E'), // 99° north is no place
    };
    const auto track = mapTrack(samples);
    ASSERT_EQ(track.size(), 3u);
    EXPECT_DOUBLE_EQ(track[0].latitude, 37.5);
    EXPECT_DOUBLE_EQ(track[0].longitude, 127.25);
    EXPECT_NEAR(track[1].latitude, -37.7520833, 1e-6);
    EXPECT_DOUBLE_EQ(track[1].longitude, -7.5);
    EXPECT_DOUBLE_EQ(track[2].latitude, -37.5); // a missing character counts as south / west
    EXPECT_EQ(trackScript({track[0], track[1]}),
              "DCVSetTrack([[37.500000,127.250000],[-37.752083,-7.500000]])");
    EXPECT_EQ(trackScript({}), "DCVSetTrack([])");

    std::vector<std::shared_ptr<DCVAviGpsData>> shared{nullptr, std::make_shared<DCVAviGpsData>(samples[0])};
    EXPECT_EQ(mapTrack(shared), std::vector<MapTrackPoint>{track[0]});
}

TEST(MapScriptsTest, LongTracksAreThinnedAndRepeatsLeftOut) {
    auto at = [](int i) {
        DCVAviGpsData::Data d;
        d.latitude = 3700.0f + float(i % 1000) / 64;
        const int block = i / 1000; // a step east every thousand points
        d.longitude = 12700.0f + float(block) / 64;
        d.ns = 'N';
        d.ew = 'E';
        return DCVAviGpsData(d);
    };
    // A car standing still, or a table whose entries all name one record: one point.
    EXPECT_EQ(mapTrack(std::vector<DCVAviGpsData>(100000, at(7))).size(), 1u);
    // Repeats are left out only where they follow each other.
    EXPECT_EQ(mapTrack({at(1), at(1), at(2), at(1)}).size(), 3u);

    std::vector<DCVAviGpsData> drive;
    const int n = 50003;
    for (int i = 0; i < n; ++i)
        drive.push_back(at(i));
    const auto track = mapTrack(drive);
    EXPECT_LE(track.size(), kMaxTrackPoints + 1);
    EXPECT_GE(track.size(), kMaxTrackPoints / 2);
    EXPECT_EQ(track.front(), *mapTrackPoint(drive.front().data()));
    EXPECT_EQ(track.back(), *mapTrackPoint(drive.back().data()));
    // Evenly: every third point of the drive (50003 points over 20000 at most).
    EXPECT_EQ(track[1], *mapTrackPoint(drive[3].data()));
    EXPECT_EQ(track[track.size() - 2], *mapTrackPoint(drive[n - 2].data()));
}
