// SPDX-License-Identifier: GPL-3.0-or-later
// A song's tail: the locator, then the block it finds, as a song is opened.
#include "fuzz_support.h"
#include "lyrics/mlx_block.h"
#include "lyrics/song_audio.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    File f = fuzz::memoryFile(fuzz::bytesOf(data, size));
    const TailLayout tail = locateTail(f);
    if (tail.blockStart > tail.blockEnd || tail.blockEnd > static_cast<int64_t>(size)) __builtin_trap();
    if (tail.blockStart >= 0) {
        // A block is never claimed inside the audio.
        if (songAudioEnd(f, tail.blockEnd) > tail.blockStart) __builtin_trap();
        LyricSheet sheet;
        f.seek(tail.blockStart);
        if (loadLyricFile(f, sheet) == 1) sheet.finishLoad();
        else sheet.normalizeLines();
    }
    return 0;
}
