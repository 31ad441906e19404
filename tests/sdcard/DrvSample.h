#pragma once

#include "sdcard/FlashData.h"

namespace dcv::test {

// A driving-log record with a value in every field: near Seoul Station, 2024/03/05 14:07:09.
inline DrvRecord sampleRecord() {
    // Sequence, weekday, status, date (years since 1900) and time, latitude and longitude (whole
    // and fraction), speed, distance, unused, max speed, unused, X/Y/Z, battery, TTC and DTC.
    return DrvRecord{417,  2,  1,      124, 3,  5, 14,  7,    9, 3733, 56, 12658,
                     1234, 63, 123457, 0,   88, 0, 256, -128, 0, 125,  5,  -125};
}

} // namespace dcv::test
