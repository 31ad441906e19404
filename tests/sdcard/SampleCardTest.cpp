// The sample card's clock file and driving log are made by this code; check they are what a
// camera would have written.
#include "sdcard/FlashData.h"
#include "sdcard/TimeSetFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace {

TEST(SampleCardTest, ClockFile) {
    const std::string text = dcv::test::readFile(dcv::test::sampleCardDir() / "timeset.cfg");
    EXPECT_TRUE(dcv::parseClockTime(text)) << text;
}

double minutesOfArc(uint16_t whole, uint16_t fraction) {
    // ddmm: the degrees are the hundreds, the whole minutes the rest.
    const int degrees = whole / 100, minutes = whole % 100;
    return degrees * 60.0 + minutes + fraction / 10000.0;
}

TEST(SampleCardTest, DrivingLogIsOneConsistentDrive) {
    const auto d =
        dcv::readFlashDataFile((dcv::test::sampleCardDir() / "DrvInfo" / "telvo_000.drv").string());
    ASSERT_TRUE(d) << d.failure().detail;
    ASSERT_GE(d->count(), 2u);
    std::time_t previous = 0;
    for (size_t i = 0; i < d->count(); ++i) {
        const dcv::DrvRecord r = d->record(i);
        EXPECT_EQ(r.sequence, i + 1);
        std::tm tm{r.second, r.minute, r.hour, r.day, r.month - 1, r.year, 0, 0, 0, 0, nullptr};
        const std::time_t t = timegm(&tm);
        gmtime_r(&t, &tm);
        EXPECT_EQ(r.weekday, tm.tm_wday) << i; // the weekday belongs to the date
        EXPECT_LE(r.speed, r.maxSpeed) << i;
        EXPECT_NEAR(r.accelerationZ / 256.0, 1.0, 0.1) << i; // the car stands on its wheels
        const double hours = double(t - previous) / 3600;
        previous = t;
        if (i == 0)
            continue;
        const dcv::DrvRecord p = d->record(i - 1);
        EXPECT_GT(hours, 0) << i;
        // Distance (tenths of a km) grows by about the mean speed times the time.
        const double km = (double(r.distance) - double(p.distance)) / 10;
        EXPECT_NEAR(km, (r.speed + p.speed) / 2.0 * hours, 0.11) << i;
        if (p.status != 1 || r.status != 1)
            continue;
        // The position moved by about that distance, and never jumps.
        const double dLat = (minutesOfArc(r.latitudeWhole, r.latitudeFraction) -
                             minutesOfArc(p.latitudeWhole, p.latitudeFraction)) *
                            1.852;
        const double dLon = (minutesOfArc(r.longitudeWhole, r.longitudeFraction) -
                             minutesOfArc(p.longitudeWhole, p.longitudeFraction)) *
                            1.852 * std::cos(37.55 * M_PI / 180);
        EXPECT_NEAR(std::hypot(dLat, dLon), (r.speed + p.speed) / 2.0 * hours, 0.02) << i;
    }
    // It starts and ends standing still, and holds one hard braking.
    EXPECT_EQ(d->record(0).speed, 0);
    EXPECT_EQ(d->record(d->count() - 1).speed, 0);
    int16_t hardest = 0;
    for (size_t i = 0; i < d->count(); ++i)
        hardest = std::min(hardest, d->record(i).accelerationX);
    EXPECT_LT(hardest / 256.0, -0.3);
}

} // namespace
