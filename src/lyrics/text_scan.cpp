// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/text_scan.h"

#include <limits>

namespace melnix {

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
        if (a != b) return false;
    }
    return true;
}

int32_t readDecimal(std::string_view s, size_t i, size_t* end) {
    bool negative = false;
    if (byteAt(s, i) == '-' || byteAt(s, i) == '+') {
        negative = s[i] == '-';
        ++i;
    }
    int64_t v = 0;
    while (isDigitAt(s, i)) {
        if (v <= std::numeric_limits<int32_t>::max()) v = v * 10 + (s[i] - '0');
        ++i;
    }
    if (end) *end = i;
    if (v > std::numeric_limits<int32_t>::max()) v = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(negative ? -v : v);
}

}  // namespace melnix
