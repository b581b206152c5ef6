// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The song the editor tests play: a 30 s tone WAV carrying two lyric lines
// in its tail, "第一句歌词" from 2 s (30 cs a character) and "第二句".

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "lyrics/lyric_store.h"
#include "support/gbk_text.h"
#include "support/tone_wav.h"

namespace melnix::test {

// Points the program at a private data folder and the silent audio backend.
inline void useQuietEditorEnvironment(const std::string& home) {
    ::setenv("MELNIX_HOME", home.c_str(), 1);
    ::setenv("MELNIX_AUDIO", "null", 1);
}

inline void writeEditorSong(const std::string& path) {
    writeFile(path, toneWav(30));
    LyricSheet lines;
    lines.appendLine(g("第一句歌词"));
    lines.appendLine(g("第二句"));
    ASSERT_TRUE(storeInSongTail(path, lines));
}

}  // namespace melnix::test
