#pragma once

#include "util/Failure.h"
#include "util/SafeFile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dcv {

inline constexpr size_t kFlashHeaderSize = 12;
inline constexpr size_t kFlashRecordSize = 44;
inline constexpr size_t kFlashColumnCount = 17;
inline constexpr std::string_view kFlashDataFilePath = "DrvInfo/telvo_000.drv";

// One 44-byte driving-log record, fields in file order (little-endian).
struct DrvRecord {
    uint16_t sequence = 0;
    uint8_t weekday = 0; // 0 Sunday .. 6 Saturday
    uint8_t status = 0;  // 1 "A", 2 "F", else "V"
    uint8_t year = 0;    // since 1900
    uint8_t month = 0, day = 0, hour = 0, minute = 0, second = 0;
    uint16_t latitudeWhole = 0, latitudeFraction = 0;   // ddmm and four decimals of minutes
    uint16_t longitudeWhole = 0, longitudeFraction = 0; // dddmm and four decimals of minutes
    uint16_t speed = 0;
    uint32_t distance = 0; // tenths
    uint32_t unused24 = 0;
    uint16_t maxSpeed = 0;
    uint16_t unused30 = 0;
    int16_t accelerationX = 0, accelerationY = 0, accelerationZ = 0; // 1/256 units
    int16_t battery = 0, ttc = 0, dtc = 0;                           // tenths
    friend bool operator==(const DrvRecord&, const DrvRecord&) = default;
};

DrvRecord decodeDrvRecord(const uint8_t* bytes);
void encodeDrvRecord(const DrvRecord& record, uint8_t* bytes);

// The records of a driving log as read: only complete records, never more than the header says.
class FlashData {
public:
    FlashData() = default;
    // The records of a file's bytes; a header count beyond the bytes gives what is there.
    static FlashData fromBytes(std::string_view file);

    size_t count() const { return m_records.size() / kFlashRecordSize; }
    uint32_t headerCount() const { return m_headerCount; }
    // The header promised more records than the file holds.
    bool isShort() const { return m_headerCount > count(); }
    DrvRecord record(size_t row) const {
        return decodeDrvRecord(reinterpret_cast<const uint8_t*>(m_records.data()) + row * kFlashRecordSize);
    }
    const std::string& recordBytes() const { return m_records; }

private:
    uint32_t m_headerCount = 0;
    std::string m_records;
};

// Reads a .drv file (a regular file of at most kMaxDriveLogFile bytes). On failure the log gets
// "fopen fail:" with the path.
Result<FlashData> readFlashDataFile(const std::string& path);

// The bytes of a .drv file holding these records.
std::string encodeFlashDataFile(const std::vector<DrvRecord>& records);

struct FlashDataColumn {
    const char* title; // string table key, or the literal title
    const char* englishTitle;
    int width;
};
const std::array<FlashDataColumn, kFlashColumnCount>& flashDataColumns();

// The text of one table cell; empty outside the table.
std::string stringForColumnIndex(const FlashData& data, size_t column, size_t row);

// The export: a header line of the titles and one line per record, fields separated by
// commas, every line ending in "\n", nothing quoted. Given line by line to the sink, so that a
// long log never stands whole in memory as text.
void flashDataCsvLines(const FlashData& data, const std::vector<std::string>& titles, const ByteSink& sink);
std::string flashDataCsvText(const FlashData& data, const std::vector<std::string>& titles);
std::vector<std::string> englishFlashDataTitles();
std::optional<Failure> writeFlashDataCsv(const std::string& path, const FlashData& data,
                                         const std::vector<std::string>& titles);

} // namespace dcv
