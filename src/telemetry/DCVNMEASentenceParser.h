#pragma once

#include "telemetry/DCVGpsData.h"

#include <string>
#include <string_view>
#include <vector>

namespace dcv {

// Turns NMEA 0183 sentences, one at a time, into the running fix m_Current.
class DCVNMEASentenceParser {
public:
    using Fields = std::vector<std::string_view>;

    void clear() { m_current.clear(); }
    // A zero-terminated sentence; true when it was of a handled type (RMC, GGA, GNSS GSA, GNS).
    bool parse(const char* text);
    bool parse(std::string_view text);

    bool parseGPRMC(const Fields& fields);
    bool parseGPGGA(const Fields& fields);
    bool parseGNGSA(const Fields& fields);
    bool parseGNGNS(const Fields& fields);

    const DCVGpsData& m_Current() const { return m_current; }
    DCVGpsData& m_Current() { return m_current; }

private:
    DCVGpsData m_current;
};

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view text);
// Length in UTF-16 code units of valid UTF-8 text, as text toolkits count characters.
size_t utf16Length(std::string_view text);

} // namespace dcv
