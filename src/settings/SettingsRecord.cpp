#include "settings/SettingsRecord.h"

#include "util/FileRead.h"
#include "util/Log.h"
#include "util/SafeFile.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace dcv {
namespace {

uint8_t* fieldAddress(_FILEDATA& r, const SettingsFieldDescriptor& f) {
    return reinterpret_cast<uint8_t*>(&r) + f.offset;
}
const uint8_t* fieldAddress(const _FILEDATA& r, const SettingsFieldDescriptor& f) {
    return reinterpret_cast<const uint8_t*>(&r) + f.offset;
}

uint32_t loadLE(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void storeLE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

} // namespace

const SettingsFieldDescriptor* findSettingsField(std::string_view name) {
    for (const SettingsFieldDescriptor& f : kSettingsFields)
        if (f.name == name)
            return &f;
    return nullptr;
}

int64_t settingsFieldInteger(const _FILEDATA& record, const SettingsFieldDescriptor& field) {
    uint32_t v = 0;
    std::memcpy(&v, fieldAddress(record, field), sizeof v);
    return field.type == SettingsFieldType::I32 ? int64_t(int32_t(v)) : int64_t(v);
}

void setSettingsFieldInteger(_FILEDATA& record, const SettingsFieldDescriptor& field, int64_t value) {
    const uint32_t v = uint32_t(uint64_t(value));
    std::memcpy(fieldAddress(record, field), &v, sizeof v);
}

std::span<const uint8_t> settingsFieldBytes(const _FILEDATA& record, const SettingsFieldDescriptor& field) {
    return {fieldAddress(record, field), field.size};
}

std::string settingsText(std::span<const char> field) {
    size_t n = 0;
    while (n < field.size() && field[n] != '\0')
        ++n;
    return std::string(field.data(), n);
}

void setSettingsText(std::span<char> field, std::string_view text) {
    const size_t n = std::min(text.size(), field.size());
    std::memcpy(field.data(), text.data(), n);
    std::memset(field.data() + n, 0, field.size() - n);
}

SettingsRecordBytes settingsRecordBytes(const _FILEDATA& record) {
    SettingsRecordBytes out{};
    for (const SettingsFieldDescriptor& f : kSettingsFields) {
        if (f.type == SettingsFieldType::Text) {
            std::memcpy(out.data() + f.offset, fieldAddress(record, f), f.size);
        } else {
            uint32_t v = 0;
            std::memcpy(&v, fieldAddress(record, f), sizeof v);
            storeLE(out.data() + f.offset, v);
        }
    }
    return out;
}

_FILEDATA settingsRecordFromBytes(std::span<const uint8_t, kSettingsRecordSize> bytes) {
    _FILEDATA record{};
    for (const SettingsFieldDescriptor& f : kSettingsFields) {
        if (f.type == SettingsFieldType::Text) {
            std::memcpy(fieldAddress(record, f), bytes.data() + f.offset, f.size);
        } else {
            const uint32_t v = loadLE(bytes.data() + f.offset);
            std::memcpy(fieldAddress(record, f), &v, sizeof v);
        }
    }
    return record;
}

LocalTime systemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return LocalTime{local.tm_min, local.tm_sec, int64_t(local.tm_gmtoff)};
}

int32_t timeZoneIndexForOffset(int64_t utcOffsetSeconds) {
    // Both parts truncate toward zero, so -16200 s is -4 h -30 min, key -430.
    const int64_t hours = utcOffsetSeconds / 3600;
    const int64_t minutes = (utcOffsetSeconds - hours * 3600) / 60;
    const int64_t key = hours * 100 + minutes;
    for (size_t i = 0; i < timeZoneOffsetTable.size(); ++i)
        if (timeZoneOffsetTable[i] == key)
            return int32_t(i);
    return kTimeZoneNone;
}

int32_t currentTimeZoneIndex(const LocalTimeSource& clock) {
    return timeZoneIndexForOffset((clock ? clock() : systemLocalTime()).utcOffsetSeconds);
}

void initDefaultSettingsRecord(_FILEDATA& r, const LocalTimeSource& clock) {
    std::memset(&r, 0, sizeof r);
    r.formatMarker = kSettingsFormatMarker;
    r.checksum = kUncomputedChecksum;
    setSettingsText(r.modelName, "QX-4100N");
    r.frontVideoQuality = 1;
    r.reserved24 = 1;
    r.frontBrightness = 2;
    r.reserved32 = 2;
    r.gsensorEnable = 1;
    r.drivingGsensorX = 50;
    r.drivingGsensorY = 45;
    r.drivingGsensorZ = 45;
    r.parkingGsensorX = 8;
    r.parkingGsensorY = 8;
    r.parkingGsensorZ = 8;
    r.alwaysModeTimeout = 10;
    r.cableVoltageLoss = 4;
    r.powerVoltage = 12100;
    setSettingsText(r.carNumber, "Telvo");
    r.osdSpeedDisplay = 1;
    r.reserved152 = 1;
    r.timeZoneIndex = kDefaultTimeZoneIndex;
    r.reserved168 = 1;
    r.sdAlwaysRatio = 70;
    r.sdEventRatio = 10;
    r.sdMotionRatio = 20;
    r.autoFormatPeriod = 2;

    const LocalTime now = clock ? clock() : systemLocalTime();
    char ssid[32];
    std::snprintf(ssid, sizeof ssid, "TelvoV-%02ld%02ld", long(now.minute), long(now.second));
    setSettingsText(r.wifiSsid, ssid);
    setSettingsText(r.wifiPassword, "73950284");
    r.reserved264 = 5;
    setSettingsText(r.apSsid, "ZunaAP01");
    setSettingsText(r.apPassword, "kvotrm52");
    r.frontMotionSensitivity = 3;
    r.rearMotionSensitivity = 3;
    r.reserved312 = 96;
    r.reserved316 = 96;
    r.reserved360 = 1;
    r.reserved364 = 1;
    r.reserved368 = 2;
    r.micVolume = 3;
    r.speakerVolume = 2;
    r.voiceLanguage = 1;
    r.hourlyAlarm = 1;
    r.reserved420 = 2;
    r.reserved424 = 2;
    r.reserved436 = 1;
    r.segmentOption = 1;
    r.reserved452 = 1;
    r.reserved464 = 9216;
    r.reserved468 = 7168;
    r.reserved472 = 2;
    r.reserved476 = 2;
    r.reserved480 = 1;
}

_FILEDATA defaultSettingsRecord(const LocalTimeSource& clock) {
    _FILEDATA r;
    initDefaultSettingsRecord(r, clock);
    return r;
}

uint32_t computeSettingsChecksum(const _FILEDATA& record) {
    const SettingsRecordBytes bytes = settingsRecordBytes(record);
    uint32_t x = 0;
    for (size_t offset = 8; offset < kSettingsRecordSize; offset += 4)
        x ^= loadLE(bytes.data() + offset);
    return x;
}

void settingsChecksum(_FILEDATA& record) {
    record.checksum = 0;
    record.checksum = computeSettingsChecksum(record);
}

void updateCarNumberSet(_FILEDATA& record) {
    record.carNumberSet = record.carNumber[0] != '\0' ? 1 : 0;
}

void prepareSettingsRecordForSave(_FILEDATA& record) {
    updateCarNumberSet(record);
    settingsChecksum(record);
}

bool readSettingsRecord(const std::string& path, _FILEDATA& record) {
    const Result<std::string> start = readRegularFileStart(path, kSettingsRecordSize);
    // A short file must not leave half a record behind: the record changes only when complete.
    if (!start || start->size() != kSettingsRecordSize)
        return false;
    SettingsRecordBytes bytes{};
    std::memcpy(bytes.data(), start->data(), bytes.size());
    record = settingsRecordFromBytes(bytes);
    return true;
}

Result<_FILEDATA> loadSettingsFile(const std::string& path) {
    const Result<std::string> bytes = readRegularFile(path, kSettingsRecordSize);
    if (!bytes)
        return bytes.failure();
    if (bytes->size() != kSettingsRecordSize)
        return Failure::of(Failure::Reason::Invalid, path + ": " + std::to_string(bytes->size()) +
                                                         " bytes, a settings file has " +
                                                         std::to_string(kSettingsRecordSize));
    SettingsRecordBytes record{};
    std::memcpy(record.data(), bytes->data(), record.size());
    return settingsRecordFromBytes(record);
}

std::optional<std::string> writeSettingsRecord(const _FILEDATA& record, const std::string& path) {
    const SettingsRecordBytes bytes = settingsRecordBytes(record);
    const auto failure = safeWriteFile(path, std::span<const uint8_t>(bytes));
    if (!failure)
        return std::nullopt;
    // "fopen fail:/media/card/config.bin: Permission denied (open)"
    dcvLog("fopen fail:%s", failure->detail.c_str());
    return std::string(kMsgFileOpenFail);
}

std::optional<std::string> writeDefaultSettingsFile(const std::string& path, const LocalTimeSource& clock) {
    _FILEDATA record;
    initDefaultSettingsRecord(record, clock);
    return writeSettingsRecord(record, path);
}

} // namespace dcv
