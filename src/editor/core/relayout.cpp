// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/relayout.h"

#include <cstdint>

namespace melnix {

IntRect relayoutRect(const IntRect& c, const IntRect& s, int w0, int h0, int w1, int h1) {
    auto sx = [&](int x) { return static_cast<int>(int64_t{x} * w1 / w0); };
    auto sy = [&](int y) { return static_cast<int>(int64_t{y} * h1 / h0); };
    if (s.empty()) return {sx(c.left), sy(c.top), sx(c.right), sy(c.bottom)};
    const int dw = w1 - w0, dh = h1 - h0;
    IntRect r = c;
    if (c.bottom <= s.top) {
        r = {sx(c.left), c.top, sx(c.right), c.bottom};
    } else if (c.top >= s.bottom) {
        r = {sx(c.left), c.top + dh, sx(c.right), c.bottom + dh};
    } else {
        auto yy = [&](int y) { return s.top + static_cast<int>(int64_t{y - s.top} * (s.height() + dh) / s.height()); };
        r.top = yy(c.top);
        r.bottom = yy(c.bottom);
        if (c.right <= s.left) {
            // left of the stretch: x stays
        } else if (c.left >= s.right) {
            r.left = c.left + dw;
            r.right = c.right + dw;
        } else {
            auto xx = [&](int x) {
                return s.left + static_cast<int>(int64_t{x - s.left} * (s.width() + dw) / s.width());
            };
            r.left = xx(c.left);
            r.right = xx(c.right);
        }
    }
    return r;
}

}  // namespace melnix
