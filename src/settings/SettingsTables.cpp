#include "settings/SettingsTables.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace dcv {

int32_t findAlwaysModeTimeoutIndexByValue(uint32_t value) {
    return indexOfValue(kAlwaysModeTimeoutItems, value, kAlwaysModeTimeoutDefaultIndex);
}

int32_t findDrivingGsensorThresholdIndexByX(int32_t x, int32_t y, int32_t z) {
    for (size_t i = 0; i < kGsensorPresets.size(); ++i) {
        const GsensorPreset& p = kGsensorPresets[i];
        if (x == p.drivingX && y == p.drivingYZ && z == p.drivingYZ)
            return int32_t(i);
    }
    return kGsensorCustomSegment;
}

int32_t findParkingGsensorThresholdIndexByX(int32_t x, int32_t y, int32_t z) {
    for (size_t i = 0; i < kGsensorPresets.size(); ++i) {
        const int32_t v = kGsensorPresets[i].parking;
        if (x == v && y == v && z == v)
            return int32_t(i);
    }
    return kGsensorCustomSegment;
}

std::string gsensorThresholdText(int32_t value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", double(value) / 100.0);
    return buf;
}

int32_t gsensorThresholdFromNumber(double number) {
    const double scaled = std::trunc(number * 100.0);
    if (std::isnan(scaled))
        return 0;
    if (scaled <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (scaled >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(scaled);
}

int32_t findPowerVoltageIndexByValue(uint32_t value) {
    return indexOfValue(kPowerVoltageItems, value, kPowerVoltageDefaultIndex);
}

int32_t findPowerTimeIndexByValue(uint32_t value) {
    return indexOfValue(kPowerTimeItems, value, kPowerTimeDefaultIndex);
}

SpeedUnitState captureSpeedUnitState(const _FILEDATA& record) {
    SpeedUnitState s;
    s.speedUnit = record.speedDisplayUnit;
    const bool mph = s.speedUnit == kSpeedUnitMph;
    s.ldwsSpeedIndex = mph ? FindLdwsSpeedMile(record.ldwsSpeed) : FindLdwsSpeed(record.ldwsSpeed);
    s.fcwsSpeedIndex = mph ? FindFcwsSpeedMile(record.fcwsSpeed) : FindFcwsSpeed(record.fcwsSpeed);
    return s;
}

void changeSpeedUnit(SpeedUnitState& state, _FILEDATA& record, uint32_t unit) {
    const bool toMph = unit == kSpeedUnitMph && state.speedUnit == kSpeedUnitKmh;
    const bool toKmh = unit == kSpeedUnitKmh && state.speedUnit == kSpeedUnitMph;
    if (!toMph && !toKmh)
        return;
    record.ldwsSpeed = getLdwsSpeed(state.ldwsSpeedIndex, unit);
    record.fcwsSpeed = getFcwsSpeed(state.fcwsSpeedIndex, unit);
    state.speedUnit = unit;
}

int32_t FindLdwsSpeed(uint32_t value) {
    return indexOfValue(kAdasSpeedKmhItems, value, 0);
}
int32_t FindLdwsSpeedMile(uint32_t value) {
    return indexOfValue(kAdasSpeedMphItems, value, 0);
}
int32_t FindFcwsSpeed(uint32_t value) {
    return indexOfValue(kAdasSpeedKmhItems, value, 0);
}
int32_t FindFcwsSpeedMile(uint32_t value) {
    return indexOfValue(kAdasSpeedMphItems, value, 0);
}

uint32_t getLdwsSpeed(int32_t index, uint32_t unit) {
    const auto& table = unit != 0 ? kAdasSpeedMphItems : kAdasSpeedKmhItems;
    if (index < 0 || size_t(index) >= table.size())
        return 0;
    return table[size_t(index)].value;
}

uint32_t getFcwsSpeed(int32_t index, uint32_t unit) {
    return getLdwsSpeed(index, unit);
}

uint32_t voiceLanguageForCell(GridCell cell, int32_t columns) {
    return uint32_t(int64_t(cell.row) * columns + cell.column);
}

GridCell cellForVoiceLanguage(uint32_t voiceLanguage, int32_t columns) {
    if (columns <= 0)
        return {};
    return GridCell{int32_t(voiceLanguage / uint32_t(columns)), int32_t(voiceLanguage % uint32_t(columns))};
}

bool validString(std::string_view text) {
    for (const char c : text)
        if (c < kWifiFirstAllowedChar || c > kWifiLastAllowedChar)
            return false;
    return true;
}

size_t wifiTextLength(std::string_view utf8) {
    size_t units = 0;
    for (const char c : utf8) {
        const auto b = uint8_t(c);
        if ((b & 0xC0) == 0x80)
            continue;               // continuation byte
        units += b >= 0xF0 ? 2 : 1; // characters beyond the basic plane take two units
    }
    return units;
}

std::optional<std::string> checkWifiSsid(std::string_view utf8) {
    if (wifiTextLength(utf8) < kWifiSsidMinLength)
        return std::string("setting.aux.ssid_length");
    if (!validString(utf8))
        return std::string("setting.aux.ssid_invalid");
    return std::nullopt;
}

std::optional<std::string> checkWifiPassword(std::string_view utf8) {
    if (wifiTextLength(utf8) < kWifiPasswordMinLength)
        return std::string("setting.aux.password_length");
    if (!validString(utf8))
        return std::string("setting.aux.password_invalid");
    return std::nullopt;
}

SdRatios sdRatiosFromRecord(const _FILEDATA& record) {
    return SdRatios{int32_t(record.sdAlwaysRatio), int32_t(record.sdAlwaysRatio + record.sdMotionRatio)};
}

int32_t sdRatioFromHandleValue(float value) {
    const float scaled = std::trunc(value * 100.0f);
    if (!(scaled >= 0.0f))
        return 0;
    return scaled >= 100.0f ? 100 : int32_t(scaled);
}

float lowHandleRatio(const _FILEDATA& record) {
    return float(record.sdAlwaysRatio) / 100.0f;
}
float highHandleRatio(const _FILEDATA& record) {
    return float(100.0 - double(record.sdEventRatio)) / 100.0f;
}

ValidationResult validateSdRatios(SdRatios r) {
    for (const int64_t share :
         {int64_t(r.lowRatio), int64_t(r.highRatio) - r.lowRatio, 100 - int64_t(r.highRatio)})
        if (auto m = DCVValidator::validateSDCardSizeRatio(share))
            return m;
    return std::nullopt;
}

void storeSdRatios(_FILEDATA& record, SdRatios r) {
    record.sdAlwaysRatio = uint32_t(r.lowRatio);
    record.sdMotionRatio = uint32_t(int64_t(r.highRatio) - r.lowRatio);
    record.sdEventRatio = uint32_t(100 - int64_t(r.lowRatio) - (int64_t(r.highRatio) - r.lowRatio));
}

} // namespace dcv
