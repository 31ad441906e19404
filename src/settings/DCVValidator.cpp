#include "settings/DCVValidator.h"

#include <charconv>
#include <cmath>

namespace dcv {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<DCVValidator::ScannedNumber> DCVValidator::scanDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t numberStart = i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    // An exponent counts only when digits follow it: "2e" is the number 2 and a letter.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data() + numberStart, text.data() + i, value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone: a negative exponent underflowed, any other overflowed.
        const std::string_view number = text.substr(numberStart, i - numberStart);
        const size_t e = number.find_first_of("eE");
        value = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-' ? 0.0 : HUGE_VAL;
    } else if (ec != std::errc() || end != text.data() + i) {
        return std::nullopt;
    }
    return ScannedNumber{negative ? -value : value, i};
}

ValidationResult DCVValidator::validateGsensorThreshold(std::optional<std::string_view> text) {
    if (!text || text->empty())
        return std::nullopt;
    const auto n = scanDecimal(*text);
    if (!n)
        return ValidationMessage{"msg.input_value_invalid_format", {}};
    if (!(n->value >= kGsensorThresholdMin && n->value <= kGsensorThresholdMax))
        return ValidationMessage{"msg.gsensor_outofrange_fmt", {kGsensorThresholdMin, kGsensorThresholdMax}};
    return std::nullopt;
}

ValidationResult DCVValidator::validateSDCardSizeRatio(int64_t percent) {
    if (percent < kSDCardSizeRatioMin)
        return ValidationMessage{"msg.sdcard_ratio_too_low", {}};
    return std::nullopt;
}

bool DCVValidator::stringIsNumber(std::string_view text) {
    const auto n = scanDecimal(text);
    return n && n->length == text.size();
}

std::string DCVValidator::numericStringFromString(std::string_view text) {
    // Dropping characters from the end until the rest is a number ends at the longest such prefix.
    for (size_t n = text.size(); n > 0; --n)
        if (stringIsNumber(text.substr(0, n)))
            return std::string(text.substr(0, n));
    return {};
}

std::string filterCarNumber(std::string_view text) {
    std::string kept;
    for (const char c : text) {
        if (kept.size() == kCarNumberMaxLength)
            break;
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (letter || isDigit(c))
            kept += c;
    }
    return kept;
}

} // namespace dcv
