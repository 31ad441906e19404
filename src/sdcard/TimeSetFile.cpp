#include "sdcard/TimeSetFile.h"

#include <cstdio>

namespace dcv {

namespace {

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

bool digits(std::string_view s, size_t at, size_t n, int& out) {
    int v = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        v = v * 10 + (s[i] - '0');
    }
    out = v;
    return true;
}

} // namespace

bool isValidClockTime(const ClockTime& t) {
    return t.year >= 0 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= daysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

ClockTime localClockTime(std::time_t moment) {
    std::tm tm{};
    ::localtime_r(&moment, &tm);
    return ClockTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::optional<std::string> timesetText(const ClockTime& t) {
    if (!isValidClockTime(t))
        return std::nullopt;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return std::string(buf);
}

std::optional<ClockTime> parseClockTime(std::string_view s) {
    if (s.size() != kTimesetTextLength || s[4] != '/' || s[7] != '/' || s[10] != ' ' || s[13] != ':' ||
        s[16] != ':')
        return std::nullopt;
    ClockTime t;
    if (!digits(s, 0, 4, t.year) || !digits(s, 5, 2, t.month) || !digits(s, 8, 2, t.day) ||
        !digits(s, 11, 2, t.hour) || !digits(s, 14, 2, t.minute) || !digits(s, 17, 2, t.second))
        return std::nullopt;
    if (!isValidClockTime(t))
        return std::nullopt;
    return t;
}

std::optional<Failure> writeTimesetFile(const std::string& path, const ClockTime& t,
                                        const FileWriter& writer) {
    const auto text = timesetText(t);
    if (!text)
        return Failure::of(Failure::Reason::Invalid, "not a valid date and time");
    return writer(path, *text);
}

} // namespace dcv
