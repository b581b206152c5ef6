#include "songlist/midi_lyrics.h"

namespace melnix {

// Replaced by the MIDI reader as soon as it is part of the build.
bool readMidiLyrics(const std::string&, LyricSheet&, int32_t&) { return false; }

}  // namespace melnix
