#include "interpret/MicrDigits.h"

#include <limits>

namespace korvex {

int32_t LeadingDigitsValue(std::string_view text) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (char c : text) {
        if (c == ' ') continue;
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > kMax) return static_cast<int32_t>(kMax);
    }
    return static_cast<int32_t>(value);
}

int DigitAt(std::string_view text, int position) {
    if (position < 1 || static_cast<size_t>(position) > text.size()) return 0;
    const char c = text[static_cast<size_t>(position) - 1];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

}  // namespace korvex
