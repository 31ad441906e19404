#include "telemetry/DCVBlackBoxData.h"

#include "telemetry/NumberText.h"
#include "telemetry/TelemetryFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace dcv {

namespace fmt = telemetry_format;

namespace {

// The walk's hops lie in the first few hundred bytes of a faststart file: one read serves them.
constexpr size_t kHopWindow = 4096;
// Table entries are read in chunks; records in windows that cover the following entries when
// they lie close together (as they do when the camera writes them in one run).
constexpr size_t kTableChunkEntries = 4096;
constexpr size_t kRecordWindow = 64 * 1024;

// A read-through window over a source for small reads at nearby positions.
class HopReader {
public:
    explicit HopReader(const ByteSource& src) : m_src(src) {}
    // True when all n bytes at offset exist.
    bool read(uint64_t offset, uint8_t* dst, size_t n) {
        if (!(offset >= m_base && offset + n <= m_base + m_len)) {
            m_base = offset;
            m_len = m_src.readAt(offset, m_buf, sizeof m_buf);
            if (m_len < n)
                return false;
        }
        std::memcpy(dst, m_buf + (offset - m_base), n);
        return true;
    }

private:
    const ByteSource& m_src;
    uint8_t m_buf[kHopWindow];
    uint64_t m_base = 0;
    size_t m_len = 0;
};

std::string stepError(int step, const char* what, uint32_t position) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "step %d: cannot read %s at offset %u (the file ends)", step, what,
                  position);
    return buf;
}

long longAt(const uint8_t* record, size_t offset) {
    const char* p = reinterpret_cast<const char*>(record);
    return text::parseLong(p + offset, p + fmt::kRecordSize);
}

float realAt(const uint8_t* record, size_t offset) {
    const char* p = reinterpret_cast<const char*>(record);
    return text::parseFloat(p + offset, p + fmt::kRecordSize);
}

// Makes a list's capacity its size when the read kept fewer samples than were reserved.
template <class T> void fit(std::vector<T>& v) {
    if (v.capacity() != v.size())
        v.shrink_to_fit();
}

} // namespace

bool DCVBlackBoxData::ExtractStreamInformation(const char* path) {
    clear();
    FileByteSource file;
    if (!file.open(path)) {
        m_extractError = "cannot open the file: " + file.error();
        return false;
    }
    return ExtractStreamInformation(file);
}

bool DCVBlackBoxData::ExtractStreamInformation(const ByteSource& src, size_t maxSamples) {
    clear();
    HopReader hop(src);
    uint8_t b[12];
    auto fail = [this](std::string message) {
        m_extractError = std::move(message);
        return false;
    };

    // Steps 1 and 2: ftyp with major brand isom, then moov. Positions are 32-bit and wrap.
    if (!hop.read(0, b, 12))
        return fail("step 1: the file is too short for an ftyp box");
    if (std::memcmp(b + 4, "ftyp", 4) != 0)
        return fail("step 1: the file does not begin with an ftyp box");
    if (std::memcmp(b + 8, "isom", 4) != 0)
        return fail("step 1: the major brand is not isom");
    const uint32_t s0 = fmt::readBE32(b);
    if (!hop.read(s0, b, 8))
        return fail(stepError(2, "the second top-level box", s0));
    if (std::memcmp(b + 4, "moov", 4) != 0)
        return fail("step 2: the second top-level box is not moov");

    // Steps 3 to 12: hop by box sizes to the offset table.
    uint32_t value = 0;
    auto size32 = [&](uint32_t position) {
        if (!hop.read(position, b, 4))
            return false;
        value = fmt::readBE32(b);
        return true;
    };
    const uint32_t p1 = s0 + 8;
    if (!size32(p1))
        return fail(stepError(3, "the size of moov's first child", p1));
    const uint32_t p2 = p1 + value;
    if (!size32(p2))
        return fail(stepError(4, "the second child of moov", p2));
    const uint32_t p3 = p2 + 8;
    if (!size32(p3))
        return fail(stepError(5, "the size of its first child", p3));
    const uint32_t p4 = p3 + value;
    if (!size32(p4))
        return fail(stepError(6, "its second child", p4));
    const uint32_t p5 = p4 + 8;
    if (!size32(p5))
        return fail(stepError(7, "the size of its first child", p5));
    const uint32_t p6 = p5 + value;
    if (!size32(p6))
        return fail(stepError(8, "the size of its second child", p6));
    const uint32_t p7 = p6 + value;
    if (!size32(p7))
        return fail(stepError(9, "the size of its third child", p7));
    const uint32_t p8 = p7 + value;
    if (!size32(p8))
        return fail(stepError(10, "its fourth child", p8));
    const uint32_t p9 = p8 + 8;
    if (!size32(p9))
        return fail(stepError(11, "the size of its first child", p9));
    const uint32_t p10 = p9 + value;
    if (!size32(p10))
        return fail(stepError(12, "the table's entry count", p10));
    const uint32_t count = value;

    // Steps 13 and 14. The count is not trusted: entries are taken while the file has them.
    // Entry positions are kept in 64 bits and stop at 4 GiB, so they never wrap back into
    // the file (in a file below 4 GiB they run past its end first, as 32-bit ones would).
    // The lists are sized once, for the entries the file can hold, so that no growth step ever
    // holds two copies.
    const uint64_t fileSize = src.size();
    uint64_t entryPos = uint64_t(p10) + fmt::kTableHeaderSize;
    uint64_t remaining = count;
    m_readReport.tableEntries = count;
    const uint64_t inFile = entryPos < fileSize ? (fileSize - entryPos) / fmt::kTableEntrySize + 1 : 0;
    const size_t expected = size_t(std::min<uint64_t>({remaining, inFile, maxSamples}));
    m_gSensorData.reserve(expected);
    m_gSensors.reserve(expected);
    m_gpsData.reserve(expected);

    std::vector<uint8_t> table;
    std::vector<uint32_t> offsets;
    std::vector<uint8_t> window;
    uint64_t windowBase = 0;
    size_t windowLen = 0;
    bool done = false;
    while (remaining > 0 && !done && entryPos <= UINT32_MAX) {
        const uint64_t addressable = (uint64_t(UINT32_MAX) - entryPos) / fmt::kTableEntrySize + 1;
        const size_t want = size_t(std::min<uint64_t>({remaining, kTableChunkEntries, addressable}));
        table.resize(want * fmt::kTableEntrySize);
        const size_t got = src.readAt(entryPos, table.data(), table.size());
        // An entry counts when its 4 offset bytes were read; the other 12 are not used.
        const size_t avail = got / fmt::kTableEntrySize + (got % fmt::kTableEntrySize >= 4 ? 1 : 0);
        offsets.resize(avail);
        for (size_t k = 0; k < avail; ++k)
            offsets[k] = fmt::readBE32(table.data() + k * fmt::kTableEntrySize);

        for (size_t k = 0; k < avail; ++k) {
            const uint64_t o = offsets[k];
            if (o + fmt::kRecordSize > fileSize) {
                ++m_readReport.recordsPastEnd; // the record would be cut short: skip the entry
                continue;
            }
            if (!(o >= windowBase && o + fmt::kRecordSize <= windowBase + windowLen)) {
                uint64_t end = o + fmt::kRecordSize;
                for (size_t j = k + 1; j < avail; ++j) {
                    const uint64_t oj = offsets[j];
                    if (oj < o || oj + fmt::kRecordSize - o > kRecordWindow)
                        break;
                    end = std::max<uint64_t>(end, oj + fmt::kRecordSize);
                }
                end = std::min(end, fileSize);
                if (window.empty())
                    window.resize(kRecordWindow);
                windowBase = o;
                windowLen = src.readAt(o, window.data(), size_t(end - o));
                if (windowLen < fmt::kRecordSize) {
                    windowLen = 0;
                    ++m_readReport.recordsPastEnd;
                    continue;
                }
            }
            const uint8_t* record = window.data() + (o - windowBase);
            if (std::memcmp(record, fmt::kRecordMarker, 3) != 0) {
                m_readReport.endedAtForeignRecord = true;
                done = true;
                break;
            }
            if (m_gSensors.size() >= maxSamples) {
                m_readReport.sampleLimitReached = true;
                done = true;
                break;
            }
            appendRecord(record);
        }
        remaining -= avail;
        entryPos += uint64_t(avail) * fmt::kTableEntrySize;
        if (avail < want)
            break; // the table ran past the end of the file
    }
    if (!done)
        m_readReport.entriesMissing = remaining;
    fit(m_gSensorData);
    fit(m_gSensors);
    fit(m_gpsData);
    return true;
}

size_t DCVBlackBoxData::sampleMemoryBytes() const {
    return m_gSensorData.capacity() * sizeof(DCVAviGSensorData) + m_gSensors.capacity() * sizeof(DCVGSensor) +
           m_gpsData.capacity() * sizeof(DCVAviGpsData);
}

std::string TelemetryReadReport::text() const {
    std::string t;
    auto add = [&t](const std::string& part) { t += (t.empty() ? "" : "; ") + part; };
    if (entriesMissing)
        add("the table lists " + std::to_string(tableEntries) + " records, the file ends before " +
            std::to_string(entriesMissing) + " of them");
    if (recordsPastEnd)
        add(std::to_string(recordsPastEnd) + " of the table's " + std::to_string(tableEntries) +
            " records lie beyond the end of the file");
    if (endedAtForeignRecord)
        add("an entry points at something that is not a telemetry record; the rest was not read");
    if (sampleLimitReached)
        add("more records than one recording may hold; the rest was not read");
    return t;
}

void DCVBlackBoxData::appendRecord(const uint8_t* r) {
    DCVAviGSensorData::Data g;
    g.gx = int32_t(longAt(r, fmt::kOffGx));
    g.gy = int32_t(longAt(r, fmt::kOffGy));
    g.gz = int32_t(longAt(r, fmt::kOffGz));
    g.gw = int32_t(longAt(r, fmt::kOffGw));
    m_gSensorData.emplace_back(g);
    ParseGSensor(&g, sizeof g);

    DCVAviGpsData::Data d;
    d.satellites = uint32_t(longAt(r, fmt::kOffSatellites));
    d.hdop = realAt(r, fmt::kOffHdop);
    d.speedUnit = uint8_t(longAt(r, fmt::kOffSpeedUnit));
    d.speed = realAt(r, fmt::kOffSpeed);
    d.latitude = realAt(r, fmt::kOffLatitude);
    d.ns = char(r[fmt::kOffNS]);
    d.longitude = realAt(r, fmt::kOffLongitude);
    d.ew = char(r[fmt::kOffEW]);
    m_gpsData.emplace_back(d);
}

bool DCVBlackBoxData::ParseGSensor(const DCVAviGSensorData::Data* tuple, size_t /*size*/) {
    if (tuple == nullptr)
        return false;
    constexpr float kScale = 0.00390625f; // 1/256
    m_gSensors.emplace_back(float(tuple->gx) * kScale, float(tuple->gy) * kScale, float(tuple->gz) * kScale);
    return true;
}

uint64_t DCVBlackBoxData::frameCount() const {
    return m_gSensors.size() < 2 ? 1 : uint64_t(m_gSensors.size() - 1);
}

bool DCVBlackBoxData::ParseFrameData(const void* buffer, size_t size) {
    if (buffer == nullptr || size != 8)
        return false;
    const auto* p = static_cast<const uint8_t*>(buffer);
    m_speedDisplay = p[4];
    m_includeEvent = p[7];
    m_recPark = p[6];
    return true;
}

void parseNmeaText(char* p, size_t size, DCVNMEASentenceParser& parser,
                   const std::function<void(const DCVGpsData& fix)>& each) {
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        const char c = p[i];
        if (c == '$') {
            start = i;
        } else if (c == '\r' || c == '\n' || c == '\0') {
            p[i] = '\0';
            // start <= i; when start < i the byte after it is still inside the buffer.
            if (start < i && p[start] == '$' && p[start + 1] == 'G') {
                parser.parse(std::string_view(p + start, i - start));
                each(parser.m_Current());
            }
            start = i + 1;
        }
    }
}

bool DCVBlackBoxData::ParseNMEA(void* buffer, size_t size) {
    if (buffer == nullptr || size == 0)
        return false;
    parseNmeaText(static_cast<char*>(buffer), size, m_nmeaParser,
                  [this](const DCVGpsData& fix) { m_nmeas.push_back(fix.duplicate()); });
    return true;
}

bool DCVBlackBoxData::ParseTime(const void* buffer, size_t size) {
    // A time record is 16 bytes; anything shorter would be read past its end.
    if (buffer == nullptr || size < 16)
        return false;
    const auto* p = static_cast<const uint8_t*>(buffer);
    const uint32_t seconds =
        uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    const uint32_t type = fmt::readBE32(p + 12);
    const std::time_t t = std::time_t(seconds);
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    if (type != 0 && type != m_lastTimeEventType) {
        _SYSTEMTIME st;
        st.wYear = uint16_t(tm.tm_year + 1900);
        st.wMonth = uint16_t(tm.tm_mon + 1);
        st.wDayOfWeek = 0;
        st.wDay = uint16_t(tm.tm_mday);
        st.wHour = uint16_t(tm.tm_hour);
        st.wMinute = uint16_t(tm.tm_min);
        st.wSecond = uint16_t(tm.tm_sec);
        st.wMilliseconds = 0;
        m_timeEvents.emplace_back(type == 1 ? 0u : 1u, st, uint32_t(m_times.size()));
    }
    m_lastTimeEventType = type;
    m_times.push_back(int32_t(seconds));
    return true;
}

bool DCVBlackBoxData::ParseTimeEvent(const void* /*buffer*/, size_t /*size*/) {
    return true;
}

void DCVBlackBoxData::clear() {
    m_nmeas.clear();
    m_gSensors.clear();
    m_times.clear();
    m_timeEvents.clear();
    m_gSensorData.clear();
    m_gpsData.clear();
    m_nmeaParser.clear();
    m_speedDisplay = 0;
    m_includeEvent = 0;
    m_recPark = 0;
    m_lastTimeEventType = 0;
    m_extractError.clear();
    m_readReport = {};
}

} // namespace dcv
