#pragma once

#include "telemetry/ByteSource.h"
#include "telemetry/DCVGpsData.h"
#include "telemetry/DCVNMEASentenceParser.h"
#include "telemetry/DCVTimeEvent.h"
#include "telemetry/TelemetrySamples.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dcv {

// What a telemetry read left out, so that a damaged recording is not taken for one without
// telemetry.
struct TelemetryReadReport {
    uint64_t tableEntries = 0;         // the record count the offset table gives
    uint64_t entriesMissing = 0;       // listed entries the file ends before
    uint64_t recordsPastEnd = 0;       // entries whose record lies (partly) beyond the end of the file
    bool endedAtForeignRecord = false; // a record without the "GPS" marker ended the read
    bool sampleLimitReached = false;   // more records than DCVBlackBoxData keeps
    // Nothing was left out.
    bool complete() const {
        return entriesMissing == 0 && recordsPastEnd == 0 && !endedAtForeignRecord && !sampleLimitReached;
    }
    // One line saying what was left out; empty when complete.
    std::string text() const;
};

// The telemetry of one recording: three parallel sample lists read from the file's telemetry
// records, plus the lists of the raw-buffer inputs (frame data, NMEA text, time records).
// A plain value: cheap to create, movable, so a worker can fill a fresh one and hand it over.
class DCVBlackBoxData {
public:
    // Upper bound of samples kept from one file (58 hours at 10 per second), so that a crafted
    // table cannot make the lists grow without end.
    static constexpr size_t kMaxSamples = size_t(1) << 21;
    // Memory budget per sample of the three lists (raw G values, G in g, GPS fix), which are
    // sized once from the table and never grown by doubling.
    static constexpr size_t kBytesPerSample = 64;

    DCVBlackBoxData() = default;

    // Clears, then walks the file's boxes to the offset table and parses every record it lists.
    // True when the walk reached the table (also with no sample); false when the file cannot be
    // opened or the walk fails, with extractError() saying which step.
    bool ExtractStreamInformation(const char* path);
    bool ExtractStreamInformation(const ByteSource& source, size_t maxSamples = kMaxSamples);
    // Empty after a successful walk; otherwise a one-line reason naming the failed step.
    const std::string& extractError() const { return m_extractError; }
    // What the last successful walk left out.
    const TelemetryReadReport& readReport() const { return m_readReport; }
    // Bytes held by the sample lists (their capacity, not only their size).
    size_t sampleMemoryBytes() const;

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
    TelemetryReadReport m_readReport;
};

using DCVBlackBoxDataPtr = std::shared_ptr<const DCVBlackBoxData>;

// Scans NMEA text line by line (line terminators become zero bytes), feeds every line that
// begins "$G" to the parser and gives the fix after it, so that long logs need not be kept.
void parseNmeaText(char* buffer, size_t size, DCVNMEASentenceParser& parser,
                   const std::function<void(const DCVGpsData& fix)>& each);

} // namespace dcv
