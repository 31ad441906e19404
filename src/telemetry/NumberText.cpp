#include "telemetry/NumberText.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <string>
#include <system_error>

namespace dcv::text {
namespace {

locale_t cLocale() {
    static const locale_t loc = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return loc;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

long parseLong(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && isCSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(LONG_MAX) + 1 : static_cast<unsigned long long>(LONG_MAX);
    unsigned long long acc = 0;
    bool overflow = false;
    for (; p < end && isDigit(*p); ++p) {
        const unsigned d = unsigned(*p - '0');
        if (overflow)
            continue; // strtol consumes every digit and then saturates
        if (acc > (limit - d) / 10)
            overflow = true;
        else
            acc = acc * 10 + d;
    }
    if (overflow)
        return negative ? LONG_MIN : LONG_MAX;
    return negative ? static_cast<long>(0ULL - acc) : static_cast<long>(acc);
}

float parseFloat(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && isCSpace(*p))
        ++p;
    if (p == end)
        return 0.0f;
    const char* body = p;
    bool negative = false;
    if (*body == '+' || *body == '-') {
        negative = *body == '-';
        ++body;
    }
    // Plain decimal text (the only form a camera writes) goes through from_chars: exact,
    // fast and locale-free. from_chars takes no '+' and no "0x", so those and the rare forms
    // (inf, nan, values out of float range) are left to strtof below.
    const bool hexPrefix = body + 1 < end && body[0] == '0' && (body[1] == 'x' || body[1] == 'X');
    if (body < end && (isDigit(*body) || *body == '.') && !hexPrefix) {
        float v = 0;
        const auto r = std::from_chars(body, end, v, std::chars_format::general);
        if (r.ec == std::errc())
            return negative ? -v : v;
        if (r.ec == std::errc::invalid_argument)
            return 0.0f; // "." or ".e1": no conversion
    }
    const std::string copy(p, end);
    return ::strtof_l(copy.c_str(), nullptr, cLocale());
}

} // namespace dcv::text
