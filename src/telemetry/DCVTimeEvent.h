#pragma once

#include "telemetry/TelemetrySamples.h"

#include <cstdint>

namespace dcv {

// One change of event state in a sequence of time records.
class DCVTimeEvent {
public:
    DCVTimeEvent() = default;
    DCVTimeEvent(uint32_t e, const _SYSTEMTIME& t, uint32_t f) : m_e(e), m_t(t), m_f(f) {}
    void updateFromObject(const DCVTimeEvent& other) { *this = other; }

    uint32_t e() const { return m_e; } // 0 when the new event type is 1, else 1
    const _SYSTEMTIME& t() const { return m_t; }
    uint32_t f() const { return m_f; } // index of the record in m_Times
    void setE(uint32_t v) { m_e = v; }
    void setT(const _SYSTEMTIME& v) { m_t = v; }
    void setF(uint32_t v) { m_f = v; }
    friend bool operator==(const DCVTimeEvent&, const DCVTimeEvent&) = default;

private:
    uint32_t m_e = 0;
    _SYSTEMTIME m_t{};
    uint32_t m_f = 0;
};

} // namespace dcv
