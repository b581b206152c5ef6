// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Media kinds by file extension. A kind is the 1-based position of the
// extension in its table; the position in the audio table chooses the
// engine that plays the song.

#include <string>
#include <string_view>

namespace melnix {

enum class MediaTable { Audio, Video, Picture };

// 0 when the name ends in none of the table's extensions.
int mediaKind(std::string_view name, MediaTable table);

constexpr int kAudioMp3 = 1;
constexpr int kAudioWav = 2;
constexpr int kAudioFirstMidi = 4;  // .MID, .MIDI, .RMI, .KAR
constexpr int kAudioLastMidi = 7;
constexpr int kAudioMpa = 10;  // MPEG audio, read as MP3
// FLAC, Ogg, Opus, M4A and the like: the wave engine decodes them with FFmpeg.
constexpr int kAudioFirstDecoded = 15;
constexpr int kAudioLastDecoded = 26;

bool isDecodedAudioKind(int kind);
// The kinds the wave engine plays (speeds, vocal removal, the volume strip).
bool isWaveEngineKind(int kind);

bool isSongFile(std::string_view name);
bool isMidiSong(std::string_view name);

// "*.MP3;*.WAV;..." for a table; firstAudioOnly limits the audio table to the
// common music kinds: its first 10 entries and the decoded ones.
std::string mediaFilter(MediaTable table, bool firstAudioOnly = false);

}  // namespace melnix
