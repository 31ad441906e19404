#pragma once

#include <cstddef>
#include <cstdint>

// Layout of the camera's telemetry inside a recording, shared by the reader and the writer.
namespace dcv::telemetry_format {

// The fixed text record of one sample.
inline constexpr size_t kRecordSize = 111;
inline constexpr char kRecordMarker[] = "GPS";
inline constexpr size_t kOffGx = 30;
inline constexpr size_t kOffGy = 35;
inline constexpr size_t kOffGz = 40;
inline constexpr size_t kOffGw = 45;
inline constexpr size_t kOffSatellites = 52;
inline constexpr size_t kOffHdop = 55;
inline constexpr size_t kOffSpeedUnit = 61;
inline constexpr size_t kOffSpeed = 63;
inline constexpr size_t kOffLatitude = 69;
inline constexpr size_t kOffNS = 80;
inline constexpr size_t kOffLongitude = 82;
inline constexpr size_t kOffEW = 94;

// The offset table: a 4-byte entry count, 12 bytes not read, then 16-byte entries whose
// first 4 bytes are a record's file offset.
inline constexpr size_t kTableHeaderSize = 16;
inline constexpr size_t kTableEntrySize = 16;

inline uint32_t readBE32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline uint64_t readBE64(const uint8_t* p) {
    return uint64_t(readBE32(p)) << 32 | readBE32(p + 4);
}
inline void writeBE32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline void writeBE64(uint8_t* p, uint64_t v) {
    writeBE32(p, uint32_t(v >> 32));
    writeBE32(p + 4, uint32_t(v));
}

} // namespace dcv::telemetry_format
