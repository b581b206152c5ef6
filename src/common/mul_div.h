// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace melnix {

// a * b / c with a 64-bit intermediate, rounded half away from zero, as the
// Windows call of that name does: every time conversion must match it exactly.
// Returns -1 when c is 0 or the result does not fit in 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

}  // namespace melnix
