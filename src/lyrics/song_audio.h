// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a song file's own audio ends, so that a lyric block claimed to start
// before that point is known to be false: a save would otherwise cut the
// song there.

#include <cstdint>

#include "common/file.h"

namespace melnix {

// The end of the audio among the file's first limit bytes: for a WAV the end
// of its data chunk, for another RIFF file the end of its form; for an MP3
// (ID3v2 or a frame header at the start) the end of the last frame that is
// followed by another frame of its stream, by a tag or by limit. 0 for other
// kinds, whose audio cannot be told from a lyric block. The file position is
// left unspecified.
int64_t songAudioEnd(File& file, int64_t limit);

}  // namespace melnix
