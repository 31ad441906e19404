#include "telemetry/DCVNMEASentenceParser.h"

#include "telemetry/NumberText.h"

#include <cstdio>
#include <cstring>

namespace dcv {
namespace {

std::string_view field(const DCVNMEASentenceParser::Fields& f, size_t i) {
    return i < f.size() ? f[i] : std::string_view{};
}

// Reals at float precision, widened; integers as signed 32-bit (an empty field gives 0).
double realField(const DCVNMEASentenceParser::Fields& f, size_t i) {
    const std::string_view s = field(f, i);
    return double(text::parseFloat(s.data(), s.data() + s.size()));
}

int32_t intField(const DCVNMEASentenceParser::Fields& f, size_t i) {
    const std::string_view s = field(f, i);
    return static_cast<int32_t>(text::parseLong(s.data(), s.data() + s.size()));
}

void split(std::string_view text, char sep, std::vector<std::string_view>& out) {
    out.clear();
    size_t start = 0;
    for (;;) {
        const size_t k = text.find(sep, start);
        if (k == std::string_view::npos) {
            out.push_back(text.substr(start));
            return;
        }
        out.push_back(text.substr(start, k - start));
        start = k + 1;
    }
}

} // namespace

bool isValidUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        size_t len;
        uint32_t cp, min;
        if ((c & 0xE0) == 0xC0) {
            len = 2, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (size_t(end - p) < len)
            return false;
        for (size_t k = 1; k < len; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += len;
    }
    return true;
}

size_t utf16Length(std::string_view text) {
    size_t n = 0;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) != 0x80)
            n += (c >= 0xF0) ? 2 : 1; // four-byte sequences are surrogate pairs
    }
    return n;
}

bool DCVNMEASentenceParser::parse(const char* text) {
    return text != nullptr && parse(std::string_view(text));
}

bool DCVNMEASentenceParser::parse(std::string_view text) {
    // Text that is not UTF-8 has no sentence in it, like a sentence without '*'.
    if (!isValidUtf8(text))
        return false;
    const size_t star = text.find('*');
    if (star == std::string_view::npos || text.find('*', star + 1) != std::string_view::npos)
        return false; // the checksum after '*' is not verified
    Fields fields;
    split(text.substr(0, star), ',', fields);
    const std::string_view address = fields[0];
    if (address == "$GPRMC" || address == "$GNRMC")
        return parseGPRMC(fields);
    if (address == "$GPGGA" || address == "$GNGGA")
        return parseGPGGA(fields);
    if (address == "$GNGSA")
        return parseGNGSA(fields);
    if (address == "$GNGNS")
        return parseGNGNS(fields);
    return false;
}

bool DCVNMEASentenceParser::parseGPRMC(const Fields& f) {
    DCVGpsData& g = m_current;
    g.setSpeedOverGround(realField(f, 7));
    g.setCourseOverGround(realField(f, 8));
    g.setGpsValid(field(f, 2) == "A" ? 1 : 0);
    const std::string_view time = field(f, 1), date = field(f, 9);
    if (utf16Length(date) == 6 && utf16Length(time) == 10) {
        int hh = 0, mi = 0, ss = 0, ms = 0, dd = 0, mo = 0, yy = 0;
        const std::string t(time), d(date);
        std::sscanf(t.c_str(), "%02d%02d%02d.%03d", &hh, &mi, &ss, &ms);
        std::sscanf(d.c_str(), "%02d%02d%02d", &dd, &mo, &yy);
        _SYSTEMTIME now;
        now.wYear = uint16_t(2000 + yy);
        now.wMonth = uint16_t(mo);
        now.wDayOfWeek = 0;
        now.wDay = uint16_t(dd);
        now.wHour = uint16_t(hh);
        now.wMinute = uint16_t(mi);
        now.wSecond = uint16_t(ss);
        now.wMilliseconds = uint16_t(ms);
        g.setNow(now);
    }
    g.setCnt_GNGSA(0);
    return true;
}

bool DCVNMEASentenceParser::parseGPGGA(const Fields& f) {
    DCVGpsData& g = m_current;
    if (!field(f, 2).empty())
        g.setLatitude(realField(f, 2));
    if (!field(f, 3).empty())
        g.setNS(field(f, 3)[0]);
    if (!field(f, 4).empty())
        g.setLongitude(realField(f, 4));
    if (!field(f, 5).empty())
        g.setEW(field(f, 5)[0]);
    if (field(f, 0) == "$GPGGA" && !g.Enable_GNGNS() && !g.Enable_GNGSA())
        g.setSatelliteUsedCount(uint32_t(intField(f, 7)));
    if (!g.Enable_GNGNS() && !field(f, 8).empty())
        g.setHDOP(realField(f, 8));
    g.setCnt_GNGSA(0);
    return true;
}

bool DCVNMEASentenceParser::parseGNGNS(const Fields& f) {
    DCVGpsData& g = m_current;
    g.setEnable_GNGNS(1);
    g.setSatelliteUsedCount(uint32_t(intField(f, 7)));
    if (!field(f, 8).empty())
        g.setHDOP(realField(f, 8));
    return true;
}

bool DCVNMEASentenceParser::parseGNGSA(const Fields& f) {
    DCVGpsData& g = m_current;
    g.setEnable_GNGSA(1);
    if (g.Enable_GNGNS())
        return true; // a GNS sentence already gives the counts
    uint32_t used = 0;
    for (size_t i = 0; i < DCVGpsData::kChannels; ++i) {
        const uint8_t prn = field(f, i + 3).empty() ? 0 : uint8_t(intField(f, i + 3));
        g.setSatelliteUsed(prn, i);
        used += prn != 0;
    }
    const uint8_t first = g.SatelliteUsedAtIndex(0);
    if (first >= 1 && first <= 64) {
        g.setSatelliteUsedCount_GPS(used);
        g.setCnt_GNGSA(1);
        g.setSatelliteUsedCount(g.SatelliteUsedCount_GPS());
    } else if (first > 64) {
        g.setSatelliteUsedCount_GLONASS(used);
        g.setCnt_GNGSA(0);
        g.setSatelliteUsedCount(g.SatelliteUsedCount_GPS() + g.SatelliteUsedCount_GLONASS());
    } else {
        g.setCnt_GNGSA(255);
        if (!g.gpsValid())
            g.setSatelliteUsedCount(0);
    }
    return true;
}

} // namespace dcv
