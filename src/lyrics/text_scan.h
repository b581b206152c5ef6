// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small byte-scanning helpers shared by the text-format readers.

#include <cstdint>
#include <string_view>

namespace melnix {

inline unsigned char byteAt(std::string_view s, size_t i) {
    return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
}

inline bool isDigitAt(std::string_view s, size_t i) {
    unsigned char c = byteAt(s, i);
    return c >= '0' && c <= '9';
}

inline size_t skipSpacesFrom(std::string_view s, size_t i) {
    while (i < s.size() && s[i] == ' ') ++i;
    return i;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix);

// Reads an optionally signed decimal integer at i, as atoi would: stops at the
// first non-digit and saturates instead of overflowing.
int32_t readDecimal(std::string_view s, size_t i, size_t* end = nullptr);

}  // namespace melnix
