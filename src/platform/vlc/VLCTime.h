#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace dcv {

// A play time or length in milliseconds, possibly unknown. Remaining times are negative.
class VLCTime {
public:
    VLCTime() = default;
    explicit VLCTime(int64_t milliseconds) : m_value(milliseconds) {}
    static VLCTime timeWithInt(int64_t milliseconds) { return VLCTime(milliseconds); }
    static VLCTime nullTime() { return VLCTime(); }

    bool isNull() const { return !m_value.has_value(); }
    int64_t intValue() const { return m_value.value_or(0); }

    // "mm:ss" of the whole seconds (hours add "h:" in front), with a minus sign for a negative
    // time of at least one second; "--:--" when unknown. Less than a second shows "00:00",
    // which is how the controller tells that nothing is left to play.
    QString stringValue() const;

    friend bool operator==(const VLCTime&, const VLCTime&) = default;

private:
    std::optional<int64_t> m_value;
};

} // namespace dcv
