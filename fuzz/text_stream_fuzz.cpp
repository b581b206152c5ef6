// SPDX-License-Identifier: GPL-3.0-or-later
// The line reader every lyric text format goes through, in both modes.
#include "fuzz_support.h"
#include "lyrics/lyric_text_stream.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool dbcs : {false, true}) {
        File f = fuzz::memoryFile(fuzz::bytesOf(data, size));
        LyricTextStream stream(f, 64);  // a small buffer crosses its edges often
        std::string line;
        size_t consumed = 0;
        while (stream.readLine(line, dbcs) >= 0) {
            if (line.size() > kMaxReadLine) __builtin_trap();
            if (++consumed > size + 1) __builtin_trap();  // every line takes a byte
        }
    }
    return 0;
}
