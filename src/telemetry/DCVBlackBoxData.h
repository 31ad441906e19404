#pragma once

#include "telemetry/ByteSource.h"
#include "telemetry/DCVGpsData.h"
#include "telemetry/DCVNMEASentenceParser.h"
#include "telemetry/DCVTimeEvent.h"
#include "telemetry/TelemetrySamples.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dcv {

// The telemetry of one recording: three parallel sample lists read from the file's telemetry
// records, plus the lists of the raw-buffer inputs (frame data, NMEA text, time records).
// A plain value: cheap to create, movable, so a worker can fill a fresh one and hand it over.
class DCVBlackBoxData {
public:
    // Upper bound of samples kept from one file (58 hours at 10 per second), so that a crafted
    // table cannot make the lists grow without end.
    static constexpr size_t kMaxSamples = size_t(1) << 21;

    DCVBlackBoxData() = default;

    // Clears, then walks the file's boxes to the offset table and parses every record it lists.
    // True when the walk reached the table (also with no sample); false when the file cannot be
    // opened or the walk fails, with extractError() saying which step.
    bool ExtractStreamInformation(const char* path);
    bool ExtractStreamInformation(const ByteSource& source, size_t maxSamples = kMaxSamples);
    // Empty after a successful walk; otherwise a one-line reason naming the failed step.
    const std::string& extractError() const { return m_extractError; }

    // Appends one G sample from the first three values of a raw tuple, each divided by 256.
    bool ParseGSensor(const DCVAviGSensorData::Data* tuple, size_t size);
    uint64_t frameCount() const;
    bool ParseFrameData(const void* buffer, size_t size);
    // Scans NMEA text; the buffer is changed in place (line terminators become zero bytes).
    bool ParseNMEA(void* buffer, size_t size);
    bool ParseTime(const void* buffer, size_t size);
    bool ParseTimeEvent(const void* buffer, size_t size);
    void clear();

    static std::shared_ptr<DCVAviGpsData> aviGpsDataWithData(const DCVAviGpsData::Data* d) {
        return DCVAviGpsData::aviGpsDataWithData(d);
    }
    static std::shared_ptr<DCVAviGSensorData> aviGSensorDataWithData(const DCVAviGSensorData::Data* d) {
        return DCVAviGSensorData::aviGSensorDataWithData(d);
    }

    const std::vector<DCVAviGSensorData>& m_vGSensorData() const { return m_gSensorData; }
    const std::vector<DCVGSensor>& m_GSensors() const { return m_gSensors; }
    const std::vector<DCVAviGpsData>& m_vGpsData() const { return m_gpsData; }
    uint8_t m_udatSpeedDisplay() const { return m_speedDisplay; }
    uint8_t m_udatIncludeEvent() const { return m_includeEvent; }
    uint8_t m_udatRecPark() const { return m_recPark; }
    uint32_t m_LastTimeEventType() const { return m_lastTimeEventType; }
    const DCVNMEASentenceParser& m_NMEAParser() const { return m_nmeaParser; }
    const std::vector<DCVGpsData>& m_NMEAs() const { return m_nmeas; }
    const std::vector<int32_t>& m_Times() const { return m_times; }
    const std::vector<DCVTimeEvent>& m_TimeEvents() const { return m_timeEvents; }

private:
    void appendRecord(const uint8_t* record);

    std::vector<DCVAviGSensorData> m_gSensorData;
    std::vector<DCVGSensor> m_gSensors;
    std::vector<DCVAviGpsData> m_gpsData;
    uint8_t m_speedDisplay = 0;
    uint8_t m_includeEvent = 0;
    uint8_t m_recPark = 0;
    uint32_t m_lastTimeEventType = 0;
    DCVNMEASentenceParser m_nmeaParser;
    std::vector<DCVGpsData> m_nmeas;
    std::vector<int32_t> m_times;
    std::vector<DCVTimeEvent> m_timeEvents;
    std::string m_extractError;
};

using DCVBlackBoxDataPtr = std::shared_ptr<const DCVBlackBoxData>;

} // namespace dcv
