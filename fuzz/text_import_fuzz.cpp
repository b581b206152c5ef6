// SPDX-License-Identifier: GPL-3.0-or-later
// The text import: a text file in any encoding, then every cleaning step and
// the lines taken into a sheet.
#include "fuzz_support.h"
#include "lyrics/lyric_import.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryPath file(fuzz::bytesOf(data, size));
    std::vector<std::string> lines;
    if (!readTextFileLines(file.path(), lines)) return 0;
    for (std::string& l : lines) l = expandTabs(l);
    std::vector<std::string> light = lines, full = lines;
    for (std::string& l : light) l = removePunctuation(l, PunctuationSet::Light);
    for (std::string& l : full) l = removePunctuation(l, PunctuationSet::Full);
    breakLongLines(full);
    checkEditLines(lines, true);
    checkEditLines(full, false);
    LyricSheet sheet;
    takeEditLines(sheet, lines, false);
    takeEditLines(sheet, full, true);
    return 0;
}
