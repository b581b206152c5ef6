// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A rectangle of whole pixels for the layout arithmetic that runs without
// widgets; right and bottom are exclusive.

namespace melnix {

struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const IntRect&) const = default;
};

}  // namespace melnix
