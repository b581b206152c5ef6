// SPDX-License-Identifier: GPL-3.0-or-later
// LRC, enhanced LRC word tags included.
#include "fuzz_support.h"
#include "lyrics/lrc_reader.h"
#include "lyrics/lyric_text_stream.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    File f = fuzz::memoryFile(fuzz::bytesOf(data, size));
    LyricTextStream stream(f);
    LyricSheet sheet;
    if (readLrc(stream, sheet) == 1) sheet.finishLoad();
    return 0;
}
