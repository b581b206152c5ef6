// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/melody_track.h"

#include <algorithm>
#include <string>

namespace melnix {
namespace {

constexpr char kMelodyName[] = "MELODY";
constexpr size_t kMelodyNameSize = 6;

bool namedMelody(const std::string& name) {
    const size_t n = std::min(name.size(), kMelodyNameSize);
    if (n == 0) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = name[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (c != kMelodyName[i]) return false;
    }
    return true;
}

}  // namespace

int FindMelodyTrack(MidiSongFile& song) {
    for (int i = 0; i < song.tracks.size(); ++i)
        if (song.tracks[i].flags & kTrackMelody) return i;
    int found = -1;
    if (song.tracks.size() == 1) {
        found = 0;
    } else {
        for (int i = 0; i < song.tracks.size() && found < 0; ++i)
            if (namedMelody(song.TrackName(i))) found = i;
    }
    if (found >= 0) song.tracks[found].flags |= kTrackMelody;
    return found;
}

int melodyKeyAt(const RecordArray<NoteSpan>& notes, int track, int32_t timeMs) {
    int key = -1;
    int32_t latest = INT32_MIN;
    for (const NoteSpan& n : notes) {
        if (n.track() != track || n.startMs > timeMs || n.startMs < latest) continue;
        if (timeMs < int64_t{n.startMs} + n.durationMs) {
            latest = n.startMs;
            key = n.key;
        }
    }
    return key;
}

}  // namespace melnix
