#include "sdcard/FlashData.h"

#include "util/FileRead.h"
#include "util/Log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace dcv {

namespace {

uint16_t u16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int16_t i16(const uint8_t* p) {
    return int16_t(u16(p));
}
void put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

std::string format(const char* fmt, auto... args) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

// Tenths as "%2d.%1d", with the sign in front for a negative value ("-0.5", "-12.5"): printing
// whole part and remainder separately would give "-12.-5".
std::string tenths(int16_t v) {
    const int a = std::abs(int(v));
    std::string whole = (v < 0 ? "-" : "") + std::to_string(a / 10);
    if (whole.size() < 2)
        whole.insert(0, 2 - whole.size(), ' ');
    return whole + "." + std::to_string(a % 10);
}

std::string acceleration(int16_t v) {
    return format("%+.2f", double(float(v) * 0.00390625f));
}

constexpr std::array<FlashDataColumn, kFlashColumnCount> kColumns{{
    {"setting.flashdata.index", "No.", 38},
    {"setting.flashdata.seq", "Seq", 38},
    {"setting.flashdata.date", "Date", 86},
    {"setting.flashdata.time", "Time", 72},
    {"setting.flashdata.yoil", "Day", 70},
    {"setting.flashdata.lat", "Latitude", 64},
    {"setting.flashdata.lon", "Longitude", 72},
    {"setting.flashdata.driving_distance", "Distance", 60},
    {"setting.flashdata.cur_speed", "Speed", 60},
    {"setting.flashdata.max_speed", "Max speed", 60},
    {"setting.flashdata.value", "Status", 48},
    {"X", "X", 48},
    {"Y", "Y", 48},
    {"Z", "Z", 48},
    {"setting.flashdata.battery", "Battery", 60},
    {"TTC", "TTC", 60},
    {"DTC", "DTC", 60},
}};

} // namespace

DrvRecord decodeDrvRecord(const uint8_t* p) {
    DrvRecord r;
    r.sequence = u16(p + 0);
    r.weekday = p[2];
    r.status = p[3];
    r.year = p[4];
    r.month = p[5];
    r.day = p[6];
    r.hour = p[7];
    r.minute = p[8];
    r.second = p[9];
    r.latitudeWhole = u16(p + 10);
    r.latitudeFraction = u16(p + 12);
    r.longitudeWhole = u16(p + 14);
    r.longitudeFraction = u16(p + 16);
    r.speed = u16(p + 18);
    r.distance = u32(p + 20);
    r.unused24 = u32(p + 24);
    r.maxSpeed = u16(p + 28);
    r.unused30 = u16(p + 30);
    r.accelerationX = i16(p + 32);
    r.accelerationY = i16(p + 34);
    r.accelerationZ = i16(p + 36);
    r.battery = i16(p + 38);
    r.ttc = i16(p + 40);
    r.dtc = i16(p + 42);
    return r;
}

void encodeDrvRecord(const DrvRecord& r, uint8_t* p) {
    put16(p + 0, r.sequence);
    p[2] = r.weekday;
    p[3] = r.status;
    p[4] = r.year;
    p[5] = r.month;
    p[6] = r.day;
    p[7] = r.hour;
    p[8] = r.minute;
    p[9] = r.second;
    put16(p + 10, r.latitudeWhole);
    put16(p + 12, r.latitudeFraction);
    put16(p + 14, r.longitudeWhole);
    put16(p + 16, r.longitudeFraction);
    put16(p + 18, r.speed);
    put32(p + 20, r.distance);
    put32(p + 24, r.unused24);
    put16(p + 28, r.maxSpeed);
    put16(p + 30, r.unused30);
    put16(p + 32, uint16_t(r.accelerationX));
    put16(p + 34, uint16_t(r.accelerationY));
    put16(p + 36, uint16_t(r.accelerationZ));
    put16(p + 38, uint16_t(r.battery));
    put16(p + 40, uint16_t(r.ttc));
    put16(p + 42, uint16_t(r.dtc));
}

FlashData FlashData::fromBytes(std::string_view file) {
    FlashData d;
    if (file.size() < kFlashHeaderSize)
        return d;
    d.m_headerCount = u32(reinterpret_cast<const uint8_t*>(file.data()));
    const size_t available = (file.size() - kFlashHeaderSize) / kFlashRecordSize;
    const size_t n = available < d.m_headerCount ? available : size_t(d.m_headerCount);
    d.m_records.assign(file.substr(kFlashHeaderSize, n * kFlashRecordSize));
    return d;
}

Result<FlashData> readFlashDataFile(const std::string& path) {
    const Result<std::string> bytes = readRegularFile(path, kMaxDriveLogFile);
    if (!bytes) {
        dcvLog("fopen fail:%s", bytes.failure().detail.c_str());
        return bytes.failure();
    }
    return FlashData::fromBytes(*bytes);
}

std::string encodeFlashDataFile(const std::vector<DrvRecord>& records) {
    std::string out(kFlashHeaderSize + records.size() * kFlashRecordSize, '\0');
    auto* p = reinterpret_cast<uint8_t*>(out.data());
    put32(p, uint32_t(records.size()));
    for (size_t i = 0; i < records.size(); ++i)
        encodeDrvRecord(records[i], p + kFlashHeaderSize + i * kFlashRecordSize);
    return out;
}

const std::array<FlashDataColumn, kFlashColumnCount>& flashDataColumns() {
    return kColumns;
}

std::string stringForColumnIndex(const FlashData& data, size_t column, size_t row) {
    if (row >= data.count() || column >= kFlashColumnCount)
        return {};
    const DrvRecord r = data.record(row);
    static constexpr const char* kWeekdays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    switch (column) {
    case 0:
        return std::to_string(row + 1);
    case 1:
        return std::to_string(r.sequence);
    case 2:
        return format("%4d/%02d/%02d", r.year + 1900, r.month, r.day);
    case 3:
        return format("%02d:%02d:%02d", r.hour, r.minute, r.second);
    case 4:
        return r.weekday < 7 ? kWeekdays[r.weekday] : "-";
    case 5:
        return format("%04d.%04d", r.latitudeWhole, r.latitudeFraction);
    case 6:
        return format("%05d.%04d", r.longitudeWhole, r.longitudeFraction);
    case 7:
        return format("%.1f", double(r.distance) / 10.0);
    case 8:
        return std::to_string(r.speed);
    case 9:
        return std::to_string(r.maxSpeed);
    case 10:
        return r.status == 1 ? "A" : r.status == 2 ? "F" : "V";
    case 11:
        return acceleration(r.accelerationX);
    case 12:
        return acceleration(r.accelerationY);
    case 13:
        return acceleration(r.accelerationZ);
    case 14:
        return tenths(r.battery);
    case 15:
        return tenths(r.ttc);
    default:
        return tenths(r.dtc);
    }
}

void flashDataCsvLines(const FlashData& data, const std::vector<std::string>& titles, const ByteSink& sink) {
    const size_t columns = titles.size();
    std::string line;
    auto emit = [&](auto&& cell) {
        line.clear();
        for (size_t c = 0; c < columns; ++c) {
            line += cell(c);
            line += c + 1 < columns ? ',' : '\n';
        }
        return sink(line);
    };
    if (!emit([&](size_t c) { return titles[c]; }))
        return;
    for (size_t row = 0; row < data.count(); ++row)
        if (!emit([&](size_t c) { return stringForColumnIndex(data, c, row); }))
            return;
}

std::string flashDataCsvText(const FlashData& data, const std::vector<std::string>& titles) {
    std::string out;
    out.reserve((data.count() + 1) * (titles.size() * 8 + 1));
    flashDataCsvLines(data, titles, [&out](std::string_view line) {
        out += line;
        return true;
    });
    return out;
}

std::vector<std::string> englishFlashDataTitles() {
    std::vector<std::string> t;
    for (const auto& c : kColumns)
        t.emplace_back(c.englishTitle);
    return t;
}

std::optional<Failure> writeFlashDataCsv(const std::string& path, const FlashData& data,
                                         const std::vector<std::string>& titles) {
    return safeWriteFile(path, [&](const ByteSink& sink) { flashDataCsvLines(data, titles, sink); });
}

} // namespace dcv
