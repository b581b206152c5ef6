// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Media kinds by file extension: which table a file belongs to, and for a
// song, the kind of engine that plays it.

#include <string>
#include <string_view>

namespace melnix {

enum class MediaTable { Audio, Video, Picture };

// The 1-based position of the name's extension in the table (the order of
// the dialogs' filters); 0 when the name ends in none of them.
int mediaKind(std::string_view name, MediaTable table);

// What plays a song.
enum class SongKind {
    Hosted,     // the media player: videos, WMA, SND, CD tracks, anything else
    Mp3,        // MP3 and MPA, read by the wave engine
    Wav,        // the wave engine
    Decoded,    // FLAC, Ogg, Opus, M4A and the like: the wave engine through FFmpeg
    Midi,       // MID, MIDI, RMI, KAR: the MIDI engine
    Flash,      // SWF, the Flash control
    Streaming,  // RM, RAM, RA, the streaming control
};
SongKind songKindOf(std::string_view name);

// The kinds the wave engine plays (speeds, vocal removal, the volume strip).
constexpr bool isWaveKind(SongKind k) { return k == SongKind::Mp3 || k == SongKind::Wav || k == SongKind::Decoded; }

bool isSongFile(std::string_view name);
bool isMidiSong(std::string_view name);

// "*.MP3;*.WAV;..." for a table; firstAudioOnly limits the audio table to the
// common music kinds: its first 10 entries and the decoded ones.
std::string mediaFilter(MediaTable table, bool firstAudioOnly = false);

}  // namespace melnix
