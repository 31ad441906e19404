#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace dcv {

// Eight unsigned 16-bit values, in this order, as the camera's time records use them.
struct _SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
    friend bool operator==(const _SYSTEMTIME&, const _SYSTEMTIME&) = default;
};

// One raw G-sensor tuple of a telemetry record (1/256 g units).
class DCVAviGSensorData {
public:
    struct Data {
        int32_t gx = 0, gy = 0, gz = 0, gw = 0;
        friend bool operator==(const Data&, const Data&) = default;
    };
    DCVAviGSensorData() = default;
    explicit DCVAviGSensorData(const Data& d) : m_data(d) {}
    static std::shared_ptr<DCVAviGSensorData> aviGSensorDataWithData(const Data* d) {
        return std::make_shared<DCVAviGSensorData>(d ? *d : Data{});
    }
    const Data& data() const { return m_data; }
    void setData(const Data& d) { m_data = d; }

private:
    Data m_data;
};

// One GPS sample of a telemetry record. Latitude and longitude stay in unsigned NMEA form
// (ddmm.mmmm / dddmm.mmmm); the hemisphere characters give the sign when shown.
class DCVAviGpsData {
public:
    // Single precision: the record's text fields are read as floats, so nothing is lost, and a
    // recording's samples take half the memory.
    struct Data {
        float latitude = 0;
        float longitude = 0;
        float hdop = 0;
        float speed = 0;
        char ns = 0;
        char ew = 0;
        uint32_t satellites = 0;
        uint8_t speedUnit = 0; // 0 km/h, 1 miles per hour
        friend bool operator==(const Data&, const Data&) = default;
    };
    DCVAviGpsData() = default;
    explicit DCVAviGpsData(const Data& d) : m_data(d) {}
    static std::shared_ptr<DCVAviGpsData> aviGpsDataWithData(const Data* d) {
        return std::make_shared<DCVAviGpsData>(d ? *d : Data{});
    }
    const Data& data() const { return m_data; }
    void setData(const Data& d) { m_data = d; }

private:
    Data m_data;
};
static_assert(sizeof(DCVAviGpsData) <= 28 && sizeof(DCVAviGSensorData) == 16);

// One G-sensor sample in g.
class DCVGSensor {
public:
    DCVGSensor() = default;
    DCVGSensor(float x, float y, float z) : m_x(x), m_y(y), m_z(z) {}
    void initWithX(float x, float y, float z) {
        m_x = x;
        m_y = y;
        m_z = z;
    }
    void updateFromObject(const DCVGSensor& o) { *this = o; }
    float x() const { return m_x; }
    float y() const { return m_y; }
    float z() const { return m_z; }
    void setX(float v) { m_x = v; }
    void setY(float v) { m_y = v; }
    void setZ(float v) { m_z = v; }
    friend bool operator==(const DCVGSensor&, const DCVGSensor&) = default;

private:
    float m_x = 0, m_y = 0, m_z = 0;
};

// The sample shown at play position p (0..1) of a list of `count` samples: trunc(p × count),
// at most count − 1; none for an empty list. Positions below 0 (or not a number) give sample 0.
inline std::optional<size_t> sampleIndexForPosition(double p, size_t count) {
    if (count == 0)
        return std::nullopt;
    const double v = p * double(count);
    if (!(v >= 1.0)) // below 1, negative or NaN
        return size_t(0);
    if (v >= double(count))
        return count - 1;
    return size_t(v);
}

// ddmm.mmmm / dddmm.mmmm to decimal degrees; the sign passes through. Either output may be null.
inline void nmeaToDegrees(double* latitude, double* longitude) {
    for (double* v : {latitude, longitude}) {
        if (v == nullptr)
            continue;
        const double hundredths = *v / 100.0;
        // Whole degrees as a 32-bit integer, towards zero; out-of-range values saturate
        // instead of overflowing.
        const double t = std::trunc(hundredths);
        const int32_t degrees = t >= 2147483647.0 ? INT32_MAX : t <= -2147483648.0 ? INT32_MIN : int32_t(t);
        *v = degrees + (hundredths - degrees) * 100.0 / 60.0;
    }
}

} // namespace dcv
