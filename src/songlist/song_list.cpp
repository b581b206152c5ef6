// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/song_list.h"

#include "common/gbk.h"
#include "common/paths.h"
#include "lyrics/lyric_sheet.h"

namespace melnix {
namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && endsWithNoCase(a, b);
}

}  // namespace

bool samePath(std::string_view a, std::string_view b) { return a == b; }

int SongList::findSong(std::string_view path) const {
    for (int i = 0; i < entries_.size(); ++i)
        if (samePath(entries_[i].songPath, path)) return i;
    return -1;
}

int SongList::addOrUpdateSong(const std::string& path, int32_t length, uint16_t flags, const std::string* lyricRef) {
    int i = findSong(path);
    if (i >= 0) {
        entries_[i].length = length;
        entries_[i].lyricFlags = flags;
        return i;
    }
    SongEntry e;
    e.songPath = path;
    e.length = length;
    e.lyricFlags = flags;
    if (lyricRef) e.lyricRef = *lyricRef;
    return entries_.append(std::move(e));
}

void SongList::removeSong(std::string_view path) {
    int i = findSong(path);
    if (i >= 0) entries_.removeAt(i);
}

void SongList::selectSong(int index) {
    if (const SongEntry* e = entries_.at(index)) current = *e;
}

void SongList::setCurrentLyricFlag(bool hasLyric) {
    current.lyricFlags = hasLyric ? kLyricFlagHas : 0;
    int i = findSong(current.songPath);
    if (i >= 0) entries_[i].lyricFlags = current.lyricFlags;
}

void SongList::storeCurrentLyricRef(const LyricSheet& sheet) {
    int i = findSong(current.songPath);
    if (i < 0) return;
    SongEntry& e = entries_[i];
    e.lyricRef = current.lyricRef;
    if (!current.hasLyricFile() && !sheet.empty()) {
        // Labels are lyric text (GBK); file names are UTF-8.
        const std::string& first = sheet.lineAt(0)->text;
        if (!equalNoCase(gbkToUtf8(first), fileTitleOf(current.songPath)))
            e.lyricRef = std::string(1, kLyricLabelMark) + first;
    }
}

void SongList::moveToEnd(int index) {
    const SongEntry* e = entries_.at(index);
    if (!e) return;
    SongEntry copy = *e;
    entries_.removeAt(index);
    entries_.append(std::move(copy));
}

}  // namespace melnix
