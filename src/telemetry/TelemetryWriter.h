#pragma once

#include "telemetry/TelemetrySamples.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dcv {

// One sample as the camera records it: raw G values and the GPS fix in NMEA form.
struct TelemetrySample {
    DCVAviGSensorData::Data gsensor;
    DCVAviGpsData::Data gps;
};

// The 111-byte text record of a sample (`index` goes into bytes the reader does not use).
// False, with a reason, when a value does not fit its field: G values -9999..9999, satellites
// 0..99, HDOP up to 99.99, speed up to 999.9, latitude below 10000, longitude below 100000,
// speed unit 0..9.
bool formatTelemetryRecord(const TelemetrySample& sample, uint32_t index, char out[111],
                           std::string* error = nullptr);

// A minimal recording without media: ftyp (isom), moov with a movie header of the given
// duration and the telemetry boxes, then the records. For tests and fuzzing seeds.
bool buildTelemetryFile(const std::vector<TelemetrySample>& samples, double durationSeconds, std::string& out,
                        std::string* error = nullptr);

// The same with a table whose entries name records by index: an index may repeat or lie past
// the last record (its entry then points beyond the end of the file). Crafted and damaged files
// for tests, fuzzing seeds and measurements.
bool buildTelemetryFileWithTable(const std::vector<TelemetrySample>& samples,
                                 const std::vector<uint32_t>& entries, double durationSeconds,
                                 std::string& out, std::string* error = nullptr);

// Adds telemetry to a faststart MP4 held in memory (ftyp with major brand isom first, moov
// second): the telemetry boxes become moov's second child, the records a box at the end, and
// every stco/co64 chunk offset behind the insertion point is moved, so the media stays valid.
bool insertTelemetry(std::string& mp4, const std::vector<TelemetrySample>& samples,
                     std::string* error = nullptr);

// Signed decimal degrees to unsigned NMEA form (ddmm.mmmm); the sign goes to the hemisphere.
double degreesToNmea(double degrees);

} // namespace dcv
