// Writes the sample card's driving log: one record a minute of a 50-minute drive through
// Seoul, starting 2024/03/05 14:07:09. Speeds, distance and positions follow from each other
// (the distance is the integral of the speed, the position moves by that distance along the
// heading); one hard braking shows in the acceleration.
//   dcv-make-drv-log OUT.drv
#include "sdcard/FlashData.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerMinuteOfArc = 1852.0;

// km/h at each minute, and the heading (degrees from north) driven during the minute after it.
constexpr int kSpeeds[50] = {0,  18, 35, 42, 51, 48, 55, 60, 62, 58, 47, 30, 12, 0,  25, 44, 63,
                             72, 78, 80, 77, 74, 79, 81, 76, 70, 64, 52, 38, 45, 57, 61, 59, 48,
                             33, 20, 36, 49, 56, 53, 41, 28, 15, 22, 34, 29, 18, 9,  4,  0};
double headingAt(int minute) {
    if (minute < 12)
        return 80;
    if (minute < 26)
        return 115;
    if (minute < 37)
        return 60;
    return 20;
}

dcv::DrvRecord recordAt(int i, double latMinutes, double lonMinutes, double metres, int maxSpeed) {
    std::tm tm{};
    tm.tm_year = 124;
    tm.tm_mon = 2;
    tm.tm_mday = 5;
    tm.tm_hour = 14;
    tm.tm_min = 7 + i;
    tm.tm_sec = 9;
    tm.tm_isdst = 0;
    std::time_t t = timegm(&tm);
    gmtime_r(&t, &tm);

    dcv::DrvRecord r;
    r.sequence = uint16_t(i + 1);
    r.weekday = uint8_t(tm.tm_wday);
    r.status = i == 0 ? 0 : 1; // no fix yet in the first minute
    r.year = uint8_t(tm.tm_year);
    r.month = uint8_t(tm.tm_mon + 1);
    r.day = uint8_t(tm.tm_mday);
    r.hour = uint8_t(tm.tm_hour);
    r.minute = uint8_t(tm.tm_min);
    r.second = uint8_t(tm.tm_sec);
    // ddmm.mmmm: whole part ddmm, then four decimals of the minutes.
    auto split = [](double minutesOfArc, uint16_t& whole, uint16_t& fraction) {
        const int degrees = int(minutesOfArc / 60);
        const double minutes = minutesOfArc - degrees * 60;
        const long tenThousandths = std::lround(minutes * 10000);
        whole = uint16_t(degrees * 100 + tenThousandths / 10000);
        fraction = uint16_t(tenThousandths % 10000);
    };
    if (r.status == 1) {
        split(latMinutes, r.latitudeWhole, r.latitudeFraction);
        split(lonMinutes, r.longitudeWhole, r.longitudeFraction);
    }
    r.speed = uint16_t(kSpeeds[i]);
    r.maxSpeed = uint16_t(maxSpeed);
    r.distance = uint32_t(std::lround(metres / 100.0)); // tenths of a kilometre
    // The car's frame: X forward, Y left, Z up, in 1/256 g.
    const int change = i > 0 ? kSpeeds[i] - kSpeeds[i - 1] : 0;
    r.accelerationX = int16_t(change * 2 + (i % 3) - 1);
    r.accelerationY = int16_t((i % 5) * 3 - 6);
    r.accelerationZ = int16_t(256 + (i % 4) - 2);
    if (i == 11) // the braking before the red light: -0.45 g
        r.accelerationX = -115;
    r.battery = int16_t(kSpeeds[i] == 0 ? 126 : 141 - (i % 3));
    // Time and distance to the car ahead, in tenths: none ahead while standing still.
    r.ttc = int16_t(kSpeeds[i] == 0 ? 0 : 18 + (i * 7) % 25);
    r.dtc = int16_t(kSpeeds[i] == 0 ? 0 : std::lround(kSpeeds[i] / 3.6 * r.ttc / 10.0 * 10));
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dcv-make-drv-log OUT.drv\n");
        return 2;
    }
    std::vector<dcv::DrvRecord> records;
    double lat = 37 * 60 + 33.0056, lon = 126 * 60 + 58.1234; // Seoul, in minutes of arc
    double metres = 0;
    int maxSpeed = 0;
    for (int i = 0; i < 50; ++i) {
        if (i > 0) {
            // The minute just driven: mean speed times one minute, along its heading.
            const double step = (kSpeeds[i - 1] + kSpeeds[i]) / 2.0 * 1000.0 / 60.0;
            const double h = headingAt(i - 1) * kPi / 180;
            lat += step * std::cos(h) / kMetresPerMinuteOfArc;
            lon += step * std::sin(h) / (kMetresPerMinuteOfArc * std::cos(lat / 60 * kPi / 180));
            metres += step;
        }
        // Highest speed within the minute before the record.
        maxSpeed = std::max(kSpeeds[i], i > 0 ? kSpeeds[i - 1] : 0) + (kSpeeds[i] > 0 ? 3 : 0);
        records.push_back(recordAt(i, lat, lon, metres, maxSpeed));
    }
    if (const auto failure = dcv::safeWriteFile(argv[1], dcv::encodeFlashDataFile(records))) {
        std::fprintf(stderr, "dcv-make-drv-log: %s\n", failure->detail.c_str());
        return 1;
    }
    return 0;
}
