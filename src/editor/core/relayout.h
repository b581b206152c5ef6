// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One child's rectangle after the owner's client area went from w0 x h0 to
// w1 x h1, around a stretch rectangle (empty: everything scales).

#include "common/int_rect.h"

namespace melnix {

IntRect relayoutRect(const IntRect& child, const IntRect& stretch, int w0, int h0, int w1, int h1);

}  // namespace melnix
