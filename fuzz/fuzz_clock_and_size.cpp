// The texts a user types or a card holds for a clock time ("2024/03/05 14:07:09", as timeset.cfg
// and `dcv timeset --at` carry it) and for a byte count (`dcv size`). Whatever is accepted must
// be exactly the canonical text of what it was read as.
#include "sdcard/TKUSBDiskEntity.h"
#include "sdcard/TimeSetFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto t = dcv::parseClockTime(text)) {
        check(dcv::isValidClockTime(*t));
        const auto back = dcv::timesetText(*t);
        check(back && *back == text && back->size() == dcv::kTimesetTextLength);
    }

    if (const auto v = dcv::parseByteCount(text)) {
        // Digits only, so the number printed again is the text without its leading zeros.
        std::string_view digits = text;
        while (digits.size() > 1 && digits.front() == '0')
            digits.remove_prefix(1);
        check(std::to_string(*v) == digits);
        const std::string shown = dcv::byteSizeText(*v);
        check(!shown.empty() && shown.size() <= 7);
    } else {
        for (char c : text)
            if (c < '0' || c > '9')
                return 0;
        // All digits yet refused: only empty text or a number beyond 64 bits.
        check(text.empty() || text.size() >= 20);
    }
    return 0;
}
