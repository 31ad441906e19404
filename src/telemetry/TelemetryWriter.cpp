#include "telemetry/TelemetryWriter.h"

#include "telemetry/ByteSource.h"
#include "telemetry/Mp4Boxes.h"
#include "telemetry/TelemetryFormat.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace dcv {

namespace fmt = telemetry_format;

namespace {

bool setError(std::string* error, std::string message) {
    if (error)
        *error = std::move(message);
    return false;
}

// Writes printf output of exactly `width` characters at `at`; false when it does not fit.
template <typename... Args>
bool putField(char* record, size_t at, size_t width, const char* format, Args... args) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, format, args...);
    if (n != int(width))
        return false;
    std::memcpy(record + at, buf, width);
    return true;
}

void append32(std::string& s, uint32_t v) {
    uint8_t b[4];
    fmt::writeBE32(b, v);
    s.append(reinterpret_cast<const char*>(b), 4);
}

void appendBox(std::string& s, const char* type, const std::string& content) {
    append32(s, uint32_t(8 + content.size()));
    s.append(type, 4);
    s += content;
}

std::string box(const char* type, const std::string& content) {
    std::string s;
    appendBox(s, type, content);
    return s;
}

// The walk's path: moov's second child holds a header and a stream box; the stream box's
// fourth child holds a count box and then the table itself. Every box has a private type
// that players skip.
std::string telemetryBoxes(const std::vector<uint32_t>& recordOffsets) {
    std::string header;
    append32(header, 1); // layout version
    append32(header, uint32_t(fmt::kRecordSize));
    std::string table;
    append32(table, uint32_t(recordOffsets.size()));
    table.append("dcvt", 4);
    append32(table, uint32_t(fmt::kRecordSize));
    append32(table, 0);
    for (uint32_t i = 0; i < recordOffsets.size(); ++i) {
        append32(table, recordOffsets[i]);
        append32(table, uint32_t(fmt::kRecordSize));
        append32(table, i);
        append32(table, 0);
    }
    std::string count;
    append32(count, uint32_t(recordOffsets.size()));
    const std::string index = box("dcvc", count) + table;
    const std::string stream = box("dcvd", "telemetry records") + box("dcvf", "GPS text") +
                               box("dcvr", std::string(4, '\0')) + box("dcvi", index);
    return box("dcvm", box("dcvh", header) + box("dcvs", stream));
}

size_t telemetryBoxesSize(size_t count) {
    return telemetryBoxes(std::vector<uint32_t>(count)).size();
}

std::string recordsBox(const std::vector<TelemetrySample>& samples, std::string* error, bool& ok) {
    std::string content(samples.size() * fmt::kRecordSize, ' ');
    ok = true;
    for (size_t i = 0; i < samples.size() && ok; ++i)
        ok = formatTelemetryRecord(samples[i], uint32_t(i), content.data() + i * fmt::kRecordSize, error);
    return box("dcvb", content);
}

std::vector<uint32_t> contiguousOffsets(uint64_t first, size_t count) {
    std::vector<uint32_t> v(count);
    for (size_t i = 0; i < count; ++i)
        v[i] = uint32_t(first + i * fmt::kRecordSize);
    return v;
}

bool isContainer(const Mp4Box& b) {
    return b.is("trak") || b.is("mdia") || b.is("minf") || b.is("stbl") || b.is("edts") || b.is("dinf");
}

// Moves every chunk offset at or behind `from` by `delta`, below `box`'s children.
bool patchChunkOffsets(std::string& mp4, const Mp4Box& parent, uint64_t from, uint64_t delta,
                       std::string* error) {
    const MemoryByteSource src(mp4);
    std::vector<Mp4Box> children;
    if (!listMp4Boxes(src, parent.contentOffset(), parent.end(), children))
        return setError(error, "damaged box inside " + std::string(parent.type, 4));
    for (const Mp4Box& b : children) {
        if (b.is("mvex") || b.is("moof"))
            return setError(error, "fragmented files are not supported");
        if (isContainer(b)) {
            if (!patchChunkOffsets(mp4, b, from, delta, error))
                return false;
            continue;
        }
        const bool co64 = b.is("co64");
        if (!co64 && !b.is("stco"))
            continue;
        auto* p = reinterpret_cast<uint8_t*>(mp4.data()) + b.contentOffset();
        const uint64_t room = b.size - b.headerSize;
        if (room < 8)
            return setError(error, "short chunk offset box");
        const uint32_t n = fmt::readBE32(p + 4);
        const size_t width = co64 ? 8 : 4;
        if ((room - 8) / width < n)
            return setError(error, "chunk offset box shorter than its count");
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t* e = p + 8 + size_t(i) * width;
            uint64_t v = co64 ? fmt::readBE64(e) : fmt::readBE32(e);
            if (v < from)
                continue;
            v += delta;
            if (co64) {
                fmt::writeBE64(e, v);
            } else {
                if (v > UINT32_MAX)
                    return setError(error, "a chunk offset would pass 4 GiB");
                fmt::writeBE32(e, uint32_t(v));
            }
        }
    }
    return true;
}

} // namespace

bool formatTelemetryRecord(const TelemetrySample& s, uint32_t index, char out[111], std::string* error) {
    const auto& g = s.gsensor;
    const auto& d = s.gps;
    for (double v : {d.hdop, d.speed, d.latitude, d.longitude})
        if (!std::isfinite(v))
            return setError(error, "a GPS value is not finite");
    if (d.latitude < 0 || d.longitude < 0)
        return setError(error, "latitude and longitude are unsigned (the hemisphere gives the sign)");
    std::memset(out, ' ', fmt::kRecordSize);
    std::memcpy(out, fmt::kRecordMarker, 3);
    char head[16];
    const int n = std::snprintf(head, sizeof head, ",%06u,", index % 1000000u);
    std::memcpy(out + 3, head, size_t(n));
    // Signed G values fill their fields: the next field's sign ends each number.
    if (!putField(out, fmt::kOffGx, 5, "%+05d", g.gx) || !putField(out, fmt::kOffGy, 5, "%+05d", g.gy) ||
        !putField(out, fmt::kOffGz, 5, "%+05d", g.gz) || !putField(out, fmt::kOffGw, 5, "%+05d", g.gw))
        return setError(error, "a G value is outside -9999..9999");
    out[50] = ',';
    if (!putField(out, fmt::kOffSatellites, 2, "%02u", d.satellites))
        return setError(error, "satellites outside 0..99");
    out[54] = ',';
    if (!putField(out, fmt::kOffHdop, 5, "%5.2f", d.hdop))
        return setError(error, "HDOP does not fit");
    out[60] = ',';
    if (!putField(out, fmt::kOffSpeedUnit, 1, "%u", unsigned(d.speedUnit)))
        return setError(error, "speed unit outside 0..9");
    out[62] = ',';
    if (!putField(out, fmt::kOffSpeed, 5, "%5.1f", d.speed))
        return setError(error, "speed does not fit");
    out[68] = ',';
    if (!putField(out, fmt::kOffLatitude, 10, "%010.5f", d.latitude))
        return setError(error, "latitude does not fit");
    out[79] = ',';
    out[fmt::kOffNS] = d.ns;
    out[81] = ',';
    if (!putField(out, fmt::kOffLongitude, 11, "%011.5f", d.longitude))
        return setError(error, "longitude does not fit");
    out[93] = ',';
    out[fmt::kOffEW] = d.ew;
    out[95] = ',';
    out[109] = '\r';
    out[110] = '\n';
    return true;
}

bool buildTelemetryFileWithTable(const std::vector<TelemetrySample>& samples,
                                 const std::vector<uint32_t>& entries, double durationSeconds,
                                 std::string& out, std::string* error) {
    std::string ftyp = "isom";
    append32(ftyp, 0x200);
    ftyp += "isomiso2mp41";
    std::string mvhd(100, '\0');
    auto* m = reinterpret_cast<uint8_t*>(mvhd.data());
    const double ms =
        std::isfinite(durationSeconds) && durationSeconds > 0 ? std::round(durationSeconds * 1000) : 0;
    fmt::writeBE32(m + 12, 1000);
    fmt::writeBE32(m + 16, ms < 4294967295.0 ? uint32_t(ms) : 0);
    fmt::writeBE32(m + 20, 0x00010000); // rate 1.0
    m[24] = 1;                          // volume 1.0
    const uint32_t matrix[9] = {0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000};
    for (int i = 0; i < 9; ++i)
        fmt::writeBE32(m + 36 + 4 * i, matrix[i]);
    fmt::writeBE32(m + 96, 1); // next track ID
    const std::string head = box("ftyp", ftyp);
    const size_t moovSize = 8 + 8 + mvhd.size() + telemetryBoxesSize(entries.size());
    const uint64_t first = head.size() + moovSize + 8;
    if (first + samples.size() * fmt::kRecordSize > UINT32_MAX)
        return setError(error, "too many samples for 32-bit offsets");
    bool ok;
    const std::string records = recordsBox(samples, error, ok);
    if (!ok)
        return false;
    std::vector<uint32_t> offsets(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        offsets[i] = uint32_t(first + uint64_t(entries[i]) * fmt::kRecordSize);
    out = head + box("moov", box("mvhd", mvhd) + telemetryBoxes(offsets)) + records;
    return true;
}

bool buildTelemetryFile(const std::vector<TelemetrySample>& samples, double durationSeconds, std::string& out,
                        std::string* error) {
    std::vector<uint32_t> entries(samples.size());
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i] = uint32_t(i);
    return buildTelemetryFileWithTable(samples, entries, durationSeconds, out, error);
}

bool insertTelemetry(std::string& mp4, const std::vector<TelemetrySample>& samples, std::string* error) {
    const MemoryByteSource src(mp4);
    std::vector<Mp4Box> top, children;
    if (!listMp4Boxes(src, 0, mp4.size(), top) || top.size() < 2)
        return setError(error, "not an MP4 file");
    const Mp4Box& ftyp = top[0];
    Mp4Box moov = top[1];
    if (!ftyp.is("ftyp") || ftyp.size < 12 || mp4.compare(ftyp.contentOffset(), 4, "isom") != 0)
        return setError(error, "the file must begin with an ftyp box of major brand isom");
    if (!moov.is("moov") || moov.headerSize != 8)
        return setError(error, "moov must be the second box (write the file with faststart)");
    if (!listMp4Boxes(src, moov.contentOffset(), moov.end(), children) || children.empty())
        return setError(error, "damaged moov box");
    // The reader hops by 32-bit sizes, so the box the telemetry follows must state its own.
    if (children[0].headerSize != 8 ||
        fmt::readBE32(reinterpret_cast<const uint8_t*>(mp4.data()) + children[0].offset) != children[0].size)
        return setError(error, "moov's first box must have a plain 32-bit size");
    if (children.size() > 1 && children[1].is("dcvm"))
        return setError(error, "the file already has telemetry");
    for (const Mp4Box& b : top)
        if (b.is("moof"))
            return setError(error, "fragmented files are not supported");

    const uint64_t insertAt = children[0].end();
    const uint64_t delta = telemetryBoxesSize(samples.size());
    if (moov.size + delta > UINT32_MAX)
        return setError(error, "moov would pass 4 GiB");
    const uint64_t first = mp4.size() + delta + 8;
    if (first + samples.size() * fmt::kRecordSize > UINT32_MAX)
        return setError(error, "the file would pass 4 GiB");
    bool ok;
    const std::string records = recordsBox(samples, error, ok);
    if (!ok)
        return false;

    std::string patched = mp4;
    if (!patchChunkOffsets(patched, moov, insertAt, delta, error))
        return false;
    fmt::writeBE32(reinterpret_cast<uint8_t*>(patched.data()) + moov.offset, uint32_t(moov.size + delta));
    patched.insert(size_t(insertAt), telemetryBoxes(contiguousOffsets(first, samples.size())));
    patched += records;
    mp4 = std::move(patched);
    return true;
}

double degreesToNmea(double degrees) {
    const double a = std::fabs(degrees);
    const double whole = std::floor(a);
    return whole * 100.0 + (a - whole) * 60.0;
}

} // namespace dcv
