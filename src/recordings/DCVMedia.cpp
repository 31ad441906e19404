#include "recordings/DCVMedia.h"

#include <cstdio>
#include <strings.h>

namespace dcv {
namespace naming {

PathParts splitPath(std::string_view path) {
    PathParts parts;
    // A trailing slash names the same file; drop it so the last component is the name.
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        parts.lastComponent = path;
    } else {
        parts.dir = path.substr(0, slash == 0 ? 1 : slash);
        parts.lastComponent = path.substr(slash + 1);
    }
    const size_t dot = parts.lastComponent.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        parts.stem = parts.lastComponent;
    } else {
        parts.stem = parts.lastComponent.substr(0, dot);
        parts.extension = parts.lastComponent.substr(dot + 1);
    }
    return parts;
}

bool isTemplateLength(size_t n) {
    return n == kAlwaysStemLength || n == kMotionStemLength || n == kEventStemLength;
}

bool prefixOf(std::string_view stem, int32_t& division, size_t& start) {
    if (stem.starts_with("alwa_")) {
        division = 0;
        start = 5;
    } else if (stem.starts_with("motion_")) {
        division = 1;
        start = 7;
    } else if (stem.starts_with("event_")) {
        division = 2;
        start = 6;
    } else {
        return false;
    }
    return true;
}

namespace {
// Reads a character range like strtol: leading white space, optional sign, digits; no digits give 0.
int32_t rangeToInt(std::string_view s) {
    // Nearly every name holds plain digits: take them without the general walk.
    int32_t fast = 0;
    bool allDigits = !s.empty();
    for (char c : s) {
        if (c < '0' || c > '9') {
            allDigits = false;
            break;
        }
        fast = fast * 10 + (c - '0');
    }
    if (allDigits)
        return fast;
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int32_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        v = v * 10 + (s[i] - '0'); // at most 4 digits: cannot overflow
    return negative ? -v : v;
}
} // namespace

bool timestampInBounds(const Timestamp& t) {
    return t.year >= 1970 && t.year <= 2700 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
           t.hour >= 0 && t.hour <= 24 && t.minute >= 0 && t.minute <= 60 && t.second >= 0 && t.second <= 60;
}

bool readTimestamp(std::string_view name, size_t p, Timestamp& t, bool& longEnough) {
    longEnough = name.size() >= p + kTimestampLength;
    if (!longEnough)
        return false;
    t.year = rangeToInt(name.substr(p, 4));
    t.month = rangeToInt(name.substr(p + 4, 2));
    t.day = rangeToInt(name.substr(p + 6, 2));
    t.hour = rangeToInt(name.substr(p + 9, 2));
    t.minute = rangeToInt(name.substr(p + 11, 2));
    t.second = rangeToInt(name.substr(p + 13, 2));
    return timestampInBounds(t);
}

} // namespace naming

std::shared_ptr<DCVMedia> DCVMedia::mediaWithPath(std::string_view path) {
    return std::make_shared<DCVMedia>(path);
}

void DCVMedia::setPath(std::string_view path) {
    m_path.assign(path.data(), path.size());
    const naming::PathParts parts = naming::splitPath(m_path);
    const auto range = [&](std::string_view v) {
        return v.empty() ? Range{} : Range{uint32_t(v.data() - m_path.data()), uint32_t(v.size())};
    };
    m_stem = range(parts.stem);
    m_ext = range(parts.extension);
    m_dir = range(parts.dir);
}

void DCVMedia::parsePath(std::string_view path) {
    setPath(path);
    const std::string_view stem = mediaName();
    if (!naming::isTemplateLength(stem.size())) {
        _updateToUknown();
        return;
    }
    int32_t division = 0;
    size_t start = 0;
    if (!naming::prefixOf(stem, division, start))
        return;
    m_mediaDivision = division;
    if (!_parseTimeByName(stem, start))
        _updateToUknown();
}

bool DCVMedia::_parseTimeByName(std::string_view name, size_t start) {
    naming::Timestamp t;
    bool longEnough = false;
    const bool ok = naming::readTimestamp(name, start, t, longEnough);
    if (!longEnough)
        return false;
    m_year = t.year;
    m_month = t.month;
    m_day = t.day;
    m_hour = t.hour;
    m_minute = t.minute;
    m_second = t.second;
    return ok;
}

void DCVMedia::_updateToUknown() {
    m_year = m_month = m_day = m_hour = m_minute = m_second = 0;
}

std::string DCVMedia::fileName() const {
    std::string name;
    name.reserve(m_stem.length + 1 + m_ext.length);
    name.append(mediaName()).append(1, '.').append(extension());
    return name;
}

std::string DCVMedia::yyyymmddhhmiss() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", m_year, m_month, m_day, m_hour, m_minute,
                  m_second);
    return buf;
}

int64_t DCVMedia::compareDate(const DCVMedia& other) const {
    const int c = yyyymmddhhmiss().compare(other.yyyymmddhhmiss());
    if (c != 0)
        return c < 0 ? -1 : 1;
    return int64_t(other.m_mediaDivision) - int64_t(m_mediaDivision);
}

int32_t mediaDirection(const std::string* path) {
    if (path == nullptr || path->size() < 6)
        return MediaDirectionUnknown;
    const char* tail = path->c_str() + path->size() - 6;
    if (strncasecmp(tail, "_R.MP4", 6) == 0)
        return MediaDirectionRear;
    if (strncasecmp(tail, "_F.MP4", 6) == 0)
        return MediaDirectionFront;
    return MediaDirectionUnknown;
}

} // namespace dcv
