// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a text-format reader over bytes as the lyric loader would, then
// finishes the load.

#include <gtest/gtest.h>

#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_text_stream.h"
#include "support/test_files.h"

namespace melnix::test {

using TextReader = int (*)(LyricTextStream&, LyricSheet&);

inline LyricSheet readThrough(TextReader reader, const std::string& text) {
    TempDir dir;
    writeFile(dir.file("lyric"), text);
    File f;
    f.open(dir.file("lyric"), File::Mode::Read);
    LyricTextStream stream(f);
    LyricSheet sheet;
    sheet.durationsMirrored = true;  // as the loader leaves it
    EXPECT_EQ(reader(stream, sheet), 1);
    EXPECT_FALSE(sheet.durationsMirrored);
    sheet.finishLoad();
    return sheet;
}

}  // namespace melnix::test
