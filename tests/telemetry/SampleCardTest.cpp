#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/Mp4Boxes.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

// The committed sample card: every recording is 640 by 360 and carries 10 samples per second of
// one drive.
TEST(SampleCardTest, RecordingsCarryThePlausibleDrive) {
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(test::sampleCardDir())) {
        if (e.path().extension() != ".MP4")
            continue;
        ++files;
        const std::string name = e.path().filename().string();
        FileByteSource src;
        ASSERT_TRUE(src.open(e.path().c_str())) << name;
        EXPECT_LT(src.size(), 600u * 1024) << name;
        EXPECT_EQ(videoSampleSize(src), (Mp4VideoSize{640, 360})) << name;
        DCVBlackBoxData box;
        ASSERT_TRUE(box.ExtractStreamInformation(src)) << name << ": " << box.extractError();
        const auto duration = movieDurationSeconds(src);
        ASSERT_TRUE(duration.has_value()) << name;
        EXPECT_EQ(box.m_vGpsData().size(), size_t(std::lround(*duration * 10))) << name;
        double minG = 0, maxSpeed = 0;
        for (size_t i = 0; i < box.m_vGpsData().size(); ++i) {
            const auto& g = box.m_vGpsData()[i].data();
            EXPECT_EQ(g.ns, 'S') << name;
            EXPECT_EQ(g.ew, 'W') << name;
            EXPECT_GT(g.satellites, 3u) << name;
            maxSpeed = std::max<double>(maxSpeed, g.speed);
            minG = std::min<double>(minG, box.m_GSensors()[i].y());
            double lat = g.latitude, lon = g.longitude;
            nmeaToDegrees(&lat, &lon);
            EXPECT_NEAR(lat, 34.6, 0.05) << name; // Buenos Aires
            EXPECT_NEAR(lon, 58.38, 0.05) << name;
            if (i > 0) { // smooth: even the hard stop changes at most 5 km/h per 0.1 s (1.4 g)
                EXPECT_LT(std::fabs(g.speed - box.m_vGpsData()[i - 1].data().speed), 5.0) << name << " " << i;
            }
        }
        EXPECT_LE(maxSpeed, 82.0) << name;
        EXPECT_GT(maxSpeed, 20.0) << name;
        // Only the event recording holds the hard stop.
        if (name.rfind("event_", 0) == 0)
            EXPECT_LT(minG, -0.8) << name;
        else
            EXPECT_GT(minG, -0.5) << name;
    }
    EXPECT_EQ(files, 6u);
}

} // namespace
