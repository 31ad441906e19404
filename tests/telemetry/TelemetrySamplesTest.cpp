#include "telemetry/TelemetrySamples.h"
#include "telemetry/TelemetryText.h"
#include "telemetry/TelemetryWriter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace dcv;

TEST(SampleLookupTest, IndexIsTruncatedProductClampedToLastSample) {
    struct {
        double p;
        size_t count;
        std::optional<size_t> index;
    } cases[] = {
        {1.0, 60, 59},          {0.5, 60, 30},    {0.0, 60, 0},
        {0.999, 60, 59},        {0.01666, 60, 0}, {0.01667, 60, 1},
        {1.5, 10, 9},           {-0.2, 10, 0},    {std::numeric_limits<double>::quiet_NaN(), 10, 0},
        {0.5, 0, std::nullopt}, {0.5, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sampleIndexForPosition(c.p, c.count), c.index) << c.p << " of " << c.count;
}

TEST(NmeaDegreesTest, ConvertsDegreesAndMinutesKeepingSign) {
    struct {
        double in, out;
    } cases[] = {{3733.1234, 37.0 + 33.1234 / 60.0},
                 {12701.5, 127.0 + 1.5 / 60.0},
                 {0.0, 0.0},
                 {-3733.1234, -(37.0 + 33.1234 / 60.0)},
                 {59.9999, 59.9999 / 60.0}};
    for (const auto& c : cases) {
        double lat = c.in, lon = c.in;
        nmeaToDegrees(&lat, &lon);
        EXPECT_NEAR(lat, c.out, 1e-9) << c.in;
        EXPECT_NEAR(lon, c.out, 1e-9) << c.in;
        EXPECT_NEAR(degreesToNmea(c.out), std::fabs(c.in), 1e-9) << c.in; // and back, unsigned
    }
    double only = 4530.0;
    nmeaToDegrees(nullptr, &only);
    EXPECT_NEAR(only, 45.5, 1e-12);
    double huge = 1e300;
    nmeaToDegrees(&huge, nullptr); // must not be undefined behaviour
    EXPECT_TRUE(std::isfinite(huge));
}

TEST(TelemetryText, AxisTextsCarryAPlusOnlyForPositiveValues) {
    struct {
        char axis;
        double value;
        const char* text;
    } cases[] = {{'X', 0.5, "X=+0.50"},   {'X', -0.25, "X=-0.25"}, {'X', 0.0, "X=0.00"},
                 {'Y', 1.005, "Y=+1.00"}, {'Z', -2.0, "Z=-2.00"},  {'Z', 0.004, "Z=+0.00"}};
    for (const auto& c : cases)
        EXPECT_EQ(gsensorAxisText(c.axis, c.value), c.text) << c.value;
}

TEST(TelemetryText, GpsTextsTakeSignsFromTheSampleAndSpeedInItsOwnUnit) {
    struct {
        DCVAviGpsData::Data sample;
        const char *latitude, *longitude, *speed, *hdop, *satellites;
    } cases[] = {
        {{3745.1234, 730.0, 0.9, 45.9, 'S', 'W', 7, 0}, "-37.7521", "-7.5000", "45 Km/h", "0.9", "7"},
        {{3745.1234, 730.0, 1.25, 45.9, 'N', 'E', 12, 1}, "37.7521", "7.5000", "45 Mi/h", "1.2", "12"},
        {{3436.5000, 5822.8000, 2.0, 0.4, 'S', 'W', 0, 0}, "-34.6083", "-58.3800", "0 Km/h", "2.0", "0"},
        // Anything but 'N' and 'E' counts as south and west.
        {{1000.0, 1000.0, 0, 10, 0, 'x', 3, 2}, "-10.0000", "-10.0000", "10 Km/h", "0.0", "3"},
    };
    for (const auto& c : cases) {
        const GpsTexts t = gpsTexts(c.sample);
        EXPECT_EQ(t.latitudeText, c.latitude);
        EXPECT_EQ(t.longitudeText, c.longitude);
        EXPECT_EQ(t.speedText, c.speed);
        EXPECT_EQ(t.hdopText, c.hdop);
        EXPECT_EQ(t.satelliteText, c.satellites);
        EXPECT_EQ(t.latitude < 0, c.latitude[0] == '-');
    }
}
