#include "telemetry/NumberText.h"

#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using namespace dcv::text;

namespace {

// The C library on a terminated copy is the reference for both parsers.
const char* kTexts[] = {
    // Signs, blanks and where the digits stop.
    "", " ", "0", "+42", "-42", "  \t\n\v\f\r7x", "007", "12,5", "1 2", "+-3", "- 3", "--1",
    // Past 32 and 64 bits.
    "2147483648", "9223372036854775807", "9223372036854775808", "-9223372036854775809",
    "99999999999999999999999",
    // Hex, decimal points and exponents, whole and cut short.
    "0x1A", "0X1p3", "1.5", ".5", "5.", ".", "-.", "1e3", "1E+03", "1e-3", "1e", "1e+", "1..2", "0x", "0xg",
    "3733.12345", "0.000001", "00000000000000000000000000001.5", "12345678901234567890.5", " -0", "0e0",
    // Float range, rounding and subnormals.
    "1e39", "-1e39", "1e-46", "1e-40", "1.0000000596046448", "16777217", "3.4028235e38", "3.4028236e38",
    "4.9406564584124654e-324",
    // Words and bytes that are not numbers.
    "inf", "-INFINITY", "nan", "nan(123)", "infinit", "\xC3\xA9"};

TEST(NumberTextTest, IntegersMatchStrtolAndRealsStrtofBitForBit) {
    for (const char* t : kTexts) {
        const std::string s(t);
        const char *begin = s.data(), *end = s.data() + s.size();
        EXPECT_EQ(parseLong(begin, end), std::strtol(t, nullptr, 10)) << '"' << s << '"';
        const float want = std::strtof(t, nullptr), got = parseFloat(begin, end);
        if (std::isnan(want))
            EXPECT_TRUE(std::isnan(got)) << s;
        else
            EXPECT_EQ(std::bit_cast<uint32_t>(want), std::bit_cast<uint32_t>(got))
                << '"' << s << "\" got " << got << " want " << want;
    }
}

TEST(NumberTextTest, StopsAtTheEndOfTheRangeNotAtANul) {
    // The range ends inside the digits: what lies beyond must not be read.
    const char text[] = "12345";
    EXPECT_EQ(parseLong(text, text + 3), 123);
    EXPECT_EQ(parseFloat(text, text + 2), 12.0f);
    const char real[] = "3.25e2";
    EXPECT_EQ(parseFloat(real, real + 4), 3.25f);
    EXPECT_EQ(parseFloat(real, real), 0.0f);
}

TEST(NumberTextTest, IgnoresTheProcessLocale) {
    // A locale whose decimal separator is a comma must not change how "1.5" reads.
    if (::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        ::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no comma-decimal locale installed";
    const std::string s = "1.5e0x";
    const float v = parseFloat(s.data(), s.data() + s.size());
    const std::string inf = "-inf";
    const float vi = parseFloat(inf.data(), inf.data() + inf.size());
    ::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(v, 1.5f);
    EXPECT_TRUE(std::isinf(vi) && vi < 0);
}

} // namespace
