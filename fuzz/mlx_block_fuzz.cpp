// SPDX-License-Identifier: GPL-3.0-or-later
// A lyric file: the MLX block, or LRC and KSC text handed on by the sniffer.
#include "fuzz_support.h"
#include "lyrics/mlx_block.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    File f = fuzz::memoryFile(fuzz::bytesOf(data, size));
    LyricSheet sheet;
    if (loadLyricFile(f, sheet) == 1) {
        sheet.finishLoad();
        // What was read must write again.
        File out;
        out.openMemory("");
        writeLyricBlock(out, sheet, 0, "");
    }
    return 0;
}
