#pragma once

namespace dcv::text {

// Numbers in card text (telemetry records, NMEA fields) are read the way the C library's
// string-to-number conversions read them, but from a byte range that need not be
// NUL-terminated, and always in the "C" locale (the viewer runs under the user's locale).

// As strtol(text, nullptr, 10) on the bytes [begin, end) followed by a NUL: leading white
// space, an optional sign, decimal digits; saturates at the limits of long.
long parseLong(const char* begin, const char* end);

// As strtof on the same terminated bytes: correctly rounded to float; hexadecimal, infinity
// and NaN forms included.
float parseFloat(const char* begin, const char* end);

// White space as isspace() in the "C" locale.
inline bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace dcv::text
