// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Why a song could not be opened or played to its end, so that the user is
// told the reason and not only the file's name.

#include <string>

namespace melnix {

enum class SongProblem {
    None,
    Missing,        // no such file, or it cannot be read
    Empty,          // 0 bytes
    NotMidi,        // named as MIDI but no MIDI header
    BrokenMidi,     // a MIDI header, but the tracks cannot be read
    NoAudioFrames,  // an MP3 name, but no MPEG audio frame in it
    BadWave,        // not a PCM WAV file we can play
    Undecodable,    // the media library cannot decode it
    NoDevice,       // the sound output refused
    CutShort,       // the file ends before its audio does (a cut-off download)
};

// A file's first bytes tell a MIDI file from something else named .mid.
bool looksLikeMidi(const std::string& path);

}  // namespace melnix
