#include "telemetry/TelemetrySamples.h"

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
    }
    double only = 4530.0;
    nmeaToDegrees(nullptr, &only);
    EXPECT_NEAR(only, 45.5, 1e-12);
    double huge = 1e300;
    nmeaToDegrees(&huge, nullptr); // must not be undefined behaviour
    EXPECT_TRUE(std::isfinite(huge));
}
