// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>

#include "lyrics/lyric_sheet.h"

namespace melnix {

// The words a MIDI song carries (lyric events or a companion text file) as
// lyric lines, and the song's length. False when the file cannot be read.
bool readMidiLyrics(const std::string& path, LyricSheet& lines, int32_t& lengthMs);

}  // namespace melnix
