// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The songs the user has opened, each with its lyric reference, background
// pictures and length, newest last; and the editor's current song.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/record_array.h"

namespace melnix {

class LyricSheet;

constexpr uint16_t kLyricFlagHas = 1;      // the song file carries a lyric
constexpr uint16_t kLyricFlagUnknown = 2;  // not yet looked at
constexpr int32_t kLengthUnknownMax = 9;   // lengths of 9 or less mean unknown
constexpr char kLyricLabelMark = '@';      // lyricRef "@label": no separate file
constexpr int kSongGrowStep = 100;

struct SongEntry {
    std::string lyricRef;     // path of a separate lyric file, "@" + label (GBK lyric text), or empty
    std::string songPath;     // the key of the list
    std::string pictureList;  // the chosen background pictures or video
    int32_t length = 0;       // 1/100 s; 9 or less: unknown
    uint16_t lyricFlags = 0;

    bool hasLyricFile() const { return !lyricRef.empty() && lyricRef[0] != kLyricLabelMark; }
};

// Paths are compared byte for byte: names that differ only in letter case
// are different files here.
bool samePath(std::string_view a, std::string_view b);

class SongList {
public:
    int findSong(std::string_view path) const;
    // Appends an unknown path (lyricRef only when given), or replaces the
    // length and flags of a known one. Returns the entry's index.
    int addOrUpdateSong(const std::string& path, int32_t length, uint16_t flags, const std::string* lyricRef = nullptr);
    void removeSong(std::string_view path);
    void selectSong(int index);
    void setCurrentLyricFlag(bool hasLyric);
    // Copies the current lyric reference into the current song's entry; a
    // song without a separate lyric file is labelled with its first line.
    void storeCurrentLyricRef(const LyricSheet& sheet);
    // Moves an entry to the end (newest).
    void moveToEnd(int index);

    int size() const { return entries_.size(); }
    int lastIndex() const { return entries_.highestIndex(); }
    SongEntry* at(int i) { return entries_.at(i); }
    const SongEntry* at(int i) const { return entries_.at(i); }
    void clear() { entries_.clear(); }
    void append(SongEntry e) { entries_.append(std::move(e)); }

    SongEntry current;

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    RecordArray<SongEntry> entries_{kSongGrowStep};
};

}  // namespace melnix
