// NMEA text from a receiver or a file: any bytes, any length, not UTF-8, no terminators.
#include "telemetry/DCVBlackBoxData.h"
#include "telemetry/NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> buf(data, data + size);
    dcv::DCVBlackBoxData box;
    const bool ok = box.ParseNMEA(buf.data(), buf.size());
    if (ok != (size != 0))
        std::abort();
    size_t terminators = 0;
    for (size_t i = 0; i < size; ++i)
        terminators += data[i] == '\r' || data[i] == '\n' || data[i] == '\0';
    if (box.m_NMEAs().size() > terminators)
        std::abort();

    dcv::DCVNMEASentenceParser parser;
    parser.parse(std::string_view(reinterpret_cast<const char*>(data), size));

    // The field readers must agree with the C library on the same bytes, NUL-terminated.
    const char* text = reinterpret_cast<const char*>(data);
    const size_t len = std::min<size_t>(size, 64);
    const std::string copy(text, ::strnlen(text, len));
    const long l = dcv::text::parseLong(copy.data(), copy.data() + copy.size());
    if (l != std::strtol(copy.c_str(), nullptr, 10))
        std::abort();
    const float f = dcv::text::parseFloat(copy.data(), copy.data() + copy.size());
    const float want = std::strtof(copy.c_str(), nullptr);
    if (!(std::isnan(f) && std::isnan(want)) && std::memcmp(&f, &want, sizeof f) != 0)
        std::abort();
    return 0;
}
