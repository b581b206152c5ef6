// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours are kept as 0x00BBGGRR values, the form in which they are stored
// and compared.

#include <cstdint>

namespace melnix {

constexpr uint32_t colourRef(int r, int g, int b) {
    return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16;
}
constexpr int redOf(uint32_t c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr uint32_t invertedColour(uint32_t c) { return ~c & 0xFFFFFF; }

}  // namespace melnix
