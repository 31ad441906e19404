#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dcv {

// A message for the user: a key of the "InfoPlist" string table and, when the localised text
// is a format, the numbers that fill it. The windows localise; the core never does.
struct ValidationMessage {
    std::string key;
    std::vector<double> arguments;
    friend bool operator==(const ValidationMessage&, const ValidationMessage&) = default;
};
using ValidationResult = std::optional<ValidationMessage>;

// Stateless checks of what the user types into the settings tabs.
class DCVValidator {
public:
    static constexpr double kGsensorThresholdMin = 0.05;
    static constexpr double kGsensorThresholdMax = 1.5;
    static constexpr int64_t kSDCardSizeRatioMin = 10;

    // None for a missing or empty text and for a number from 0.05 to 1.5 (trailing characters
    // after the number are ignored); "msg.input_value_invalid_format" when no number starts the
    // text; "msg.gsensor_outofrange_fmt" with 0.05 and 1.5 when it is out of range.
    static ValidationResult validateGsensorThreshold(std::optional<std::string_view> text);
    // "msg.sdcard_ratio_too_low" for a share of 9 percent or less.
    static ValidationResult validateSDCardSizeRatio(int64_t percent);
    // True when the text, after leading white space, is one decimal number and nothing else.
    static bool stringIsNumber(std::string_view text);
    // The longest leading part of the text that is a number, or the empty text.
    static std::string numericStringFromString(std::string_view text);

    // The decimal number at the start of the text after white space, and how many characters
    // it took (white space included); none when no number starts the text. Digits with an
    // optional sign, fraction and exponent, in the C locale.
    struct ScannedNumber {
        double value = 0;
        size_t length = 0;
    };
    static std::optional<ScannedNumber> scanDecimal(std::string_view text);
};

// The car-number field's filter when editing ends: the ASCII letters and digits of the text in
// their order, at most 8 of them.
std::string filterCarNumber(std::string_view text);
inline constexpr size_t kCarNumberMaxLength = 8;

} // namespace dcv
