#pragma once

#include "telemetry/TelemetrySamples.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace dcv {

// Two unsigned 8-bit values: a receiver channel's satellite.
struct _PAIR {
    uint8_t first = 0;
    uint8_t second = 0;
    friend bool operator==(const _PAIR&, const _PAIR&) = default;
};

// A running GPS fix that NMEA sentences update in place. Latitude and longitude stay in
// unsigned NMEA form; NS and EW give the hemispheres.
class DCVGpsData {
public:
    static constexpr size_t kChannels = 12;

    DCVGpsData() = default;
    void clear() { *this = DCVGpsData(); }
    void updateFromObject(const DCVGpsData& other) { *this = other; }
    DCVGpsData duplicate() const { return *this; }

    // Indexes run from 0 to 11; others read as zero and are not written.
    _PAIR SVonChannelAtIndex(size_t index) const {
        return index < kChannels ? m_SVonChannel[index] : _PAIR{};
    }
    void setSVonChannel(_PAIR pair, size_t index) {
        if (index < kChannels)
            m_SVonChannel[index] = pair;
    }
    void setSVonChannelWithFirst(uint8_t first, uint8_t second, size_t index) {
        setSVonChannel({first, second}, index);
    }
    void setSVonChannelWithFirst(uint8_t first, size_t index) {
        if (index < kChannels)
            m_SVonChannel[index].first = first;
    }
    void setSVonChannelWithSecond(uint8_t second, size_t index) {
        if (index < kChannels)
            m_SVonChannel[index].second = second;
    }
    uint8_t SatelliteUsedAtIndex(size_t index) const {
        return index < kChannels ? m_SatelliteUsed[index] : 0;
    }
    void setSatelliteUsed(uint8_t value, size_t index) {
        if (index < kChannels)
            m_SatelliteUsed[index] = value;
    }

    const std::array<_PAIR, kChannels>& SVonChannel() const { return m_SVonChannel; }
    const std::array<uint8_t, kChannels>& SatelliteUsed() const { return m_SatelliteUsed; }
    char NS() const { return m_NS; }
    char EW() const { return m_EW; }
    uint8_t Enable_GNGNS() const { return m_Enable_GNGNS; }
    uint8_t Enable_GNGSA() const { return m_Enable_GNGSA; }
    uint8_t Cnt_GNGSA() const { return m_Cnt_GNGSA; }
    uint8_t gpsValid() const { return m_gpsValid; }
    uint32_t SatelliteCount() const { return m_SatelliteCount; }
    uint32_t SatelliteUsedCount() const { return m_SatelliteUsedCount; }
    uint32_t SatelliteUsedCount_GPS() const { return m_SatelliteUsedCount_GPS; }
    uint32_t SatelliteUsedCount_GLONASS() const { return m_SatelliteUsedCount_GLONASS; }
    double PDOP() const { return m_PDOP; }
    double HDOP() const { return m_HDOP; }
    double VDOP() const { return m_VDOP; }
    double Latitude() const { return m_Latitude; }
    double Longitude() const { return m_Longitude; }
    double SpeedOverGround() const { return m_SpeedOverGround; }
    double CourseOverGround() const { return m_CourseOverGround; }
    const _SYSTEMTIME& Now() const { return m_Now; }

    void setNS(char v) { m_NS = v; }
    void setEW(char v) { m_EW = v; }
    void setEnable_GNGNS(uint8_t v) { m_Enable_GNGNS = v; }
    void setEnable_GNGSA(uint8_t v) { m_Enable_GNGSA = v; }
    void setCnt_GNGSA(uint8_t v) { m_Cnt_GNGSA = v; }
    void setGpsValid(uint8_t v) { m_gpsValid = v; }
    void setSatelliteCount(uint32_t v) { m_SatelliteCount = v; }
    void setSatelliteUsedCount(uint32_t v) { m_SatelliteUsedCount = v; }
    void setSatelliteUsedCount_GPS(uint32_t v) { m_SatelliteUsedCount_GPS = v; }
    void setSatelliteUsedCount_GLONASS(uint32_t v) { m_SatelliteUsedCount_GLONASS = v; }
    void setPDOP(double v) { m_PDOP = v; }
    void setHDOP(double v) { m_HDOP = v; }
    void setVDOP(double v) { m_VDOP = v; }
    void setLatitude(double v) { m_Latitude = v; }
    void setLongitude(double v) { m_Longitude = v; }
    void setSpeedOverGround(double v) { m_SpeedOverGround = v; }
    void setCourseOverGround(double v) { m_CourseOverGround = v; }
    void setNow(const _SYSTEMTIME& v) { m_Now = v; }

    friend bool operator==(const DCVGpsData&, const DCVGpsData&) = default;

private:
    std::array<_PAIR, kChannels> m_SVonChannel{};
    std::array<uint8_t, kChannels> m_SatelliteUsed{};
    char m_NS = 'N';
    char m_EW = 'E';
    uint8_t m_Enable_GNGNS = 0;
    uint8_t m_Enable_GNGSA = 0;
    uint8_t m_Cnt_GNGSA = 0;
    uint8_t m_gpsValid = 0;
    uint32_t m_SatelliteCount = 0;
    uint32_t m_SatelliteUsedCount = 0;
    uint32_t m_SatelliteUsedCount_GPS = 0;
    uint32_t m_SatelliteUsedCount_GLONASS = 0;
    double m_PDOP = 0, m_HDOP = 0, m_VDOP = 0;
    double m_Latitude = 0, m_Longitude = 0;
    double m_SpeedOverGround = 0, m_CourseOverGround = 0;
    _SYSTEMTIME m_Now{};
};

} // namespace dcv
