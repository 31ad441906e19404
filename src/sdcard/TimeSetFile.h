#pragma once

#include "util/SafeFile.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace dcv {

inline constexpr std::string_view kTimesetFileName = "timeset.cfg";
inline constexpr size_t kTimesetTextLength = 19;

// A wall-clock date and time as the camera's clock file carries it.
struct ClockTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

// True for a real calendar date (year 0..9999) and a time of 00:00:00..23:59:59.
bool isValidClockTime(const ClockTime& t);
// The local time of a moment.
ClockTime localClockTime(std::time_t moment);

// "yyyy/MM/dd HH:mm:ss": exactly 19 ASCII bytes, no line end. None for an invalid time.
std::optional<std::string> timesetText(const ClockTime& t);
// Reads that same form back; none unless the text is exactly it and a valid time.
std::optional<ClockTime> parseClockTime(std::string_view text);

// Writes the clock file; none when it was written.
std::optional<Failure> writeTimesetFile(const std::string& path, const ClockTime& t,
                                        const FileWriter& writer = writeFileSafely);

} // namespace dcv
