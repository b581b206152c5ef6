// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the exports of melnix-tool (video, cdg) take from the last run of the
// editor: the song list with the song's entry, the lyric the editor would
// open for the song.

#include <string>

#include "lyrics/lyric_sheet.h"
#include "songlist/state_file.h"

namespace melnix {

// The state file of the last run; the defaults when there is none.
AppState readLastRunState();

// The song's lyric as the editor finds it: the block in its tail, the lyric
// file the song list names or the .MLX beside it, or a MIDI song's own words.
// Empty when it has none.
void findLyric(const std::string& song, const SongEntry* entry, LyricSheet& sheet);

}  // namespace melnix
