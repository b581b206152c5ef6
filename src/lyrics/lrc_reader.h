// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_text_stream.h"

namespace melnix {

// Reads LRC text (time tags timing whole lines) into the sheet, which the
// caller has cleared. Never fails: malformed lines are skipped, and a file
// without a usable line yields one line saying so. Lines that follow the one
// before too closely to be sung are left out and counted in droppedOnRead.
int readLrc(LyricTextStream& stream, LyricSheet& sheet);

}  // namespace melnix
