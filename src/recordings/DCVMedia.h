#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace dcv {

// One recording file of the camera. The kind and the start time come from the file name
// ("alwa_yyyymmdd_hhmiss_F.MP4" and its motion/event variants); everything else is path parts.
class DCVMedia {
public:
    DCVMedia() = default;
    explicit DCVMedia(std::string_view path) { initWithPath(path); }

    static std::shared_ptr<DCVMedia> mediaWithPath(std::string_view path);

    void initWithPath(std::string_view path) { parsePath(path); }
    void parsePath(std::string_view path);

    // The stem, extension and folder are parts of the path, kept as offsets into it: a card holds
    // up to 15,000 recordings and one string per entry keeps the list small and quick to build.
    const std::string& path() const { return m_path; }
    std::string_view mediaName() const { return part(m_stem); }
    std::string_view extension() const { return part(m_ext); }
    std::string_view dir() const { return part(m_dir); }
    // Replaces the path and its parts; the kind and time fields are left as they are.
    void setPath(std::string_view path);

    int32_t year() const { return m_year; }
    int32_t month() const { return m_month; }
    int32_t day() const { return m_day; }
    int32_t hour() const { return m_hour; }
    int32_t minute() const { return m_minute; }
    int32_t second() const { return m_second; }
    int32_t mediaDivision() const { return m_mediaDivision; }
    void setYear(int32_t v) { m_year = v; }
    void setMonth(int32_t v) { m_month = v; }
    void setDay(int32_t v) { m_day = v; }
    void setHour(int32_t v) { m_hour = v; }
    void setMinute(int32_t v) { m_minute = v; }
    void setSecond(int32_t v) { m_second = v; }
    void setMediaDivision(int32_t v) { m_mediaDivision = v; }

    bool isAlwaysMedia() const { return m_mediaDivision == 0; }
    bool isMotionMedia() const { return m_mediaDivision == 1; }
    bool isEventMedia() const { return m_mediaDivision == 2; }

    std::string fileName() const;
    std::string yyyymmddhhmiss() const;
    // Negative: this one first; 0: equal; positive: the other first.
    int64_t compareDate(const DCVMedia& other) const;

    bool _parseTimeByName(std::string_view name, size_t start);
    void _updateToUknown();

private:
    struct Range {
        uint32_t begin = 0, length = 0;
    };
    std::string_view part(Range r) const { return std::string_view(m_path).substr(r.begin, r.length); }

    std::string m_path;
    Range m_stem, m_ext, m_dir;
    int32_t m_year = 0, m_month = 0, m_day = 0, m_hour = 0, m_minute = 0, m_second = 0;
    int32_t m_mediaDivision = 0;
};

using DCVMediaPtr = std::shared_ptr<DCVMedia>;

// Channel of a playing file from its path: 0 front, 1 rear, 2 neither.
enum MediaDirection : int32_t { MediaDirectionFront = 0, MediaDirectionRear = 1, MediaDirectionUnknown = 2 };
int32_t mediaDirection(const std::string* path);
inline int32_t mediaDirection(std::string_view path) {
    std::string p(path);
    return mediaDirection(&p);
}

namespace naming {

// Stem lengths of the three name templates and where their timestamp begins.
inline constexpr size_t kAlwaysStemLength = 22; // "alwa_yyyymmdd_hhmiss_F"
inline constexpr size_t kMotionStemLength = 24; // "motion_yyyymmdd_hhmiss_F"
inline constexpr size_t kEventStemLength = 23;  // "event_yyyymmdd_hhmiss_F"
inline constexpr size_t kTimestampLength = 15;  // "yyyymmdd_hhmiss"

struct PathParts {
    std::string_view dir, lastComponent, stem, extension;
};
// Splits a file path the way the recordings model needs it: the folder, the last component,
// its stem and its extension (after the last dot, none for a leading dot only).
PathParts splitPath(std::string_view path);

bool isTemplateLength(size_t stemLength);
// Kind and timestamp start for a stem with one of the three prefixes; false for none.
bool prefixOf(std::string_view stem, int32_t& division, size_t& timestampStart);

struct Timestamp {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// Reads "yyyymmdd_hhmiss" at `start`; false when the name is too short (fields untouched)
// or a field is out of its bounds (fields filled).
bool readTimestamp(std::string_view name, size_t start, Timestamp& out, bool& longEnough);
bool timestampInBounds(const Timestamp& t);

} // namespace naming
} // namespace dcv
