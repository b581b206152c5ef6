// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdio>

#include "lyrics/lyric_sheet.h"

namespace melnix {

// One line per lyric line: index, start, duration, flags, the character
// times joined by commas and the text in UTF-8, separated by tabs.
void printLyricSheet(const LyricSheet& sheet, std::FILE* out);

}  // namespace melnix
