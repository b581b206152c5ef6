// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lyric files the program opens, told apart by their extension: timed
// lyrics (MLX, LRC and KSC, read by openLyricFile, which looks at the
// content) and plain texts (TXT and CED, one line a line). Every dialog
// filter, every test of a name and every search beside a song comes from
// this one table; a new lyric format is added here and in the reader.

#include <string>
#include <string_view>
#include <vector>

namespace melnix {

struct LyricFileKind {
    const char* suffix;  // upper case, without the dot
    bool timed;
};

// Timed kinds first, MLX (the program's own) leading.
const std::vector<LyricFileKind>& lyricFileKinds();

// The kind of a file name, by its extension in any case; null when none.
const LyricFileKind* lyricFileKindOf(std::string_view path);
inline bool isLyricFileName(std::string_view path) { return lyricFileKindOf(path) != nullptr; }
inline bool isTimedLyricFileName(std::string_view path) {
    const LyricFileKind* k = lyricFileKindOf(path);
    return k && k->timed;
}

// The patterns of a file dialog's filter, "*.MLX *.LRC *.mlx *.lrc": upper
// case first, then lower (names are case-sensitive here).
std::string lyricFilePatterns(bool timed, bool text);

// An existing timed lyric file of the song's name beside it, in the table's
// order, upper-case extension before lower; mlxOnly: the program's own kind
// only. Empty when there is none.
std::string timedLyricBeside(const std::string& songPath, bool mlxOnly);

}  // namespace melnix
