// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the song list dialog shows of each remembered song, which of its
// buttons apply to a selection, and the background choice it stores.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "songlist/song_list.h"

namespace melnix {

enum class SongLyricState { Unknown, Own, None };

// One row of the list. Texts are UTF-8; empty length text: unknown.
struct SongRow {
    std::string name;       // file name without folder and extension
    std::string type;       // extension without the dot; the whole path without one
    SongLyricState lyric = SongLyricState::Unknown;
    std::string length;     // "m:ss.hh"
    std::string folder;     // empty when the path has no folder
    std::string lyricRef;   // "(label)", or the lyric file's path, short when beside the song
    std::string pictures;
};

SongRow songRow(const SongEntry& entry);

// "m:ss.hh" from 1/100 s; empty for lengths that mean unknown.
std::string formatSongLength(int32_t cs);

// A separate lyric, or a lyric of its own that has been looked at.
bool songHasLyric(const SongEntry& entry);

struct SongListButtons {
    bool open = false, remove = false, background = false, match = false, exchange = false;
};
SongListButtons songListButtons(int selectedCount, bool selectedHasLyric);

// The background of a song from the chosen files: the first with its full
// path, the others by name after "||". A single picture stands for every
// picture of its folder (folderPictures: their names), starting with it.
// convert, when given, turns each picture of a whole folder into the file
// that names it afterwards (scrambled or unscrambled) as it is added.
std::string buildBackgroundSpec(const std::vector<std::string>& chosen,
                                const std::vector<std::string>& folderPictures,
                                const std::function<std::string(const std::string&)>& convert = {});
constexpr size_t kMaxBackgroundSpec = 7982;

// Names of the picture files in folder, in ascending order.
std::vector<std::string> listFolderPictures(const std::string& folder);

}  // namespace melnix
