// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program names its fonts "黑体" and "宋体" (they are stored in the state
// file as such); these map them to the CJK faces installed here.

namespace melnix {

// Call once at start-up, before the first font is made; calling again is
// harmless.
void registerChineseFontSubstitutes();

}  // namespace melnix
