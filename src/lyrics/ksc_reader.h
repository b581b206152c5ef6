// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_text_stream.h"

namespace melnix {

// Reads KSC text (karaoke.add('start', 'end', 'text', 'durations') lines that
// time every character) into the sheet, which the caller has cleared.
// Never fails: malformed lines are skipped.
int readKsc(LyricTextStream& stream, LyricSheet& sheet);

}  // namespace melnix
