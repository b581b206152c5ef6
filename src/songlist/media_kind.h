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

bool isSongFile(std::string_view name);
bool isMidiSong(std::string_view name);

// "*.MP3;*.WAV;..." for a table; firstAudioOnly limits the audio table to its
// first 10 entries.
std::string mediaFilter(MediaTable table, bool firstAudioOnly = false);

}  // namespace melnix
