// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own synchronized lyric block: a plain text section (one line
// of lyric per text line, ended by 0x1A), a binary section with the timings
// chained by XOR, and a 12-byte trailer that lets the block be found at the
// tail of a song file.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/file.h"
#include "lyrics/lyric_sheet.h"

namespace melnix {

// "Tovar Quenli Created this type of lyric file. Patent from 2001", 62 bytes.
extern const std::string_view kMlxSignature;
constexpr size_t kMlxSignatureSize = 62;
constexpr size_t kMlxReservedSize = 128;
constexpr uint32_t kStartCheckXor = 0x6C19A4E3;
constexpr uint32_t kLastIndexXor = 0x2B8F1D47;
constexpr uint32_t kSigPointerXor = 0x00D4E25B;
constexpr uint32_t kStartPointerAXor = 0x03F7A1C9;
constexpr uint32_t kStartPointerBXor = 0x0719B6E4;
constexpr uint32_t kChainSeed = 0x9B4D2E71;
constexpr int kMlxTrailerSize = 12;
constexpr int kMaxCharsInFormat = 80;
constexpr int kMaxSongNameSize = 256;
constexpr int kMinSongLength = 500;       // a non-zero song length below this is damage
constexpr int kSongLengthForName = 6;     // the name is written for longer songs only
constexpr int64_t kMinTailSearchSize = 180;
constexpr int kId3v1Size = 128;
constexpr int kLyrics3Search = 20000;

// Writes the whole block at the file's position (which becomes the block's
// start). songName goes into the block only when songLength > 6. An empty
// sheet writes nothing. Write errors do not stop the rest; the file's sticky
// error tells the caller.
int writeLyricBlock(File& file, const LyricSheet& sheet, int32_t songLength, std::string_view songName);

// Reads a lyric file from the file's position: LRC and KSC text is handed to
// their readers, anything else is read as a block. 1 on success, 0 on
// failure; the caller then runs finishLoad (success) or repairs or clears.
int loadLyricFile(File& file, LyricSheet& sheet);

// What the tail of a song file holds. A block counts only when the whole of it
// reads as one and it starts after the song's audio; anything else is song
// data, kept as it is.
struct TailLayout {
    int64_t blockStart = -1;      // the stored block, -1 when there is none
    int64_t blockEnd = 0;         // where it ends, or where a new block belongs
    int64_t songDataLength = 0;   // the file without the block
    std::string tag;              // the ID3v1 tag, or empty
};
TailLayout locateTail(File& file);

// Finds a block at the tail of a song file. Returns its start or -1; tag gets
// the file's ID3v1 tag (128 bytes) or is emptied; songDataLength gets the
// length of the file without the block. The file is left at the block, or
// where a new block belongs.
int64_t locateTailBlock(File& file, std::string& tag, int64_t& songDataLength);
inline int64_t locateTailBlock(File& file, std::string& tag, LyricSheet& sheet) {
    return locateTailBlock(file, tag, sheet.songDataLength);
}

}  // namespace melnix
