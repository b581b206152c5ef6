// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loading and storing a sheet as whole files: a lyric block at the tail of a
// song file, or a lyric file of its own (MLX, LRC or KSC).

#include <cstdint>
#include <string>
#include <string_view>

#include "lyrics/lyric_sheet.h"

namespace melnix {

enum class TailLoad {
    Loaded,      // a block was found and read
    NoBlock,     // the song carries no lyric block
    Damaged,     // a block was found but its timings could not be read; its text lines were kept
    CannotOpen,  // the song file cannot be read
};

// Clears the sheet and reads the block at the song's tail. Sets
// sheet.songDataLength to the song's length without the block.
TailLoad readTailLyric(const std::string& songPath, LyricSheet& sheet);

// Clears the sheet and loads a lyric file; on failure the sheet is left empty.
bool openLyricFile(const std::string& path, LyricSheet& sheet);

struct StoreError {
    int err = 0;             // errno of the failing step
    std::string detail;      // a short English explanation for diagnostics
};

// False for songs in containers with no safe place after the audio data
// (FLAC, Ogg, MP4 and the like: an index, checksums or a size field that a
// block appended there would break or be counted in). Their lyric lives in
// an .MLX file of the song's name beside them. Decided by the name alone.
bool songCanCarryTailLyric(std::string_view songPath);

// The lyric file beside a song: its name with the extension MLX.
std::string lyricFileBeside(const std::string& songPath);

// Stores the sheet as the block at the song's tail, replacing a block that is
// there and keeping the tags after it. Every byte before the block is kept;
// the new file is read back before it replaces the song, so a failure leaves
// the song (and the lyric it had) as it was. A song the user cannot write is
// refused; the replaced file keeps the song's mode.
// Refused (EINVAL) for songs that cannot carry it.
bool storeInSongTail(const std::string& songPath, LyricSheet& sheet, StoreError* error = nullptr);

// Writes the sheet as a lyric file of its own (block start 0), replacing the
// file safely. songName is recorded when songLength > 6.
bool storeInLyricFile(const std::string& path, const LyricSheet& sheet, int32_t songLength,
                      const std::string& songName, StoreError* error = nullptr);

}  // namespace melnix
