// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/mul_div.h"

#include <limits>

namespace melnix {

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    // |a*b| < 2^62 and |c| <= 2^31, so the magnitudes fit unsigned 64 bits.
    uint64_t num = product < 0 ? static_cast<uint64_t>(-product) : static_cast<uint64_t>(product);
    uint64_t den = c < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
    uint64_t q = (num + den / 2) / den;
    if (negative) {
        if (q > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) + 1) return -1;
        return static_cast<int32_t>(-static_cast<int64_t>(q));
    }
    if (q > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return -1;
    return static_cast<int32_t>(q);
}

}  // namespace melnix
