#pragma once

#include "sdcard/FlashData.h"

namespace dcv::test {

// A driving-log record with a value in every field: near Seoul Station, 2024/03/05 14:07:09.
inline DrvRecord sampleRecord() {
    DrvRecord r;
    r.sequence = 417;
    r.weekday = 2;
    r.status = 1;
    r.year = 124;
    r.month = 3;
    r.day = 5;
    r.hour = 14;
    r.minute = 7;
    r.second = 9;
    r.latitudeWhole = 3733;
    r.latitudeFraction = 56;
    r.longitudeWhole = 12658;
    r.longitudeFraction = 1234;
    r.speed = 63;
    r.distance = 123457;
    r.maxSpeed = 88;
    r.accelerationX = 256;
    r.accelerationY = -128;
    r.accelerationZ = 0;
    r.battery = 125;
    r.ttc = 5;
    r.dtc = -125;
    return r;
}

} // namespace dcv::test
