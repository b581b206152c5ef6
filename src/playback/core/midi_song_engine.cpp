// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/core/midi_song_engine.h"

#include <algorithm>

#include "playback/core/volume.h"

namespace melnix {

MidiSongEngine::MidiSongEngine(std::function<void()> songEnded, std::function<void(const std::string&)> notify)
    : player_(std::move(songEnded), std::move(notify)) {}

MidiSongEngine::~MidiSongEngine() { player_.Stop(); }

bool MidiSongEngine::open(const std::string& path, RecordArray<NoteSpan>* noteList) {
    if (!player_.Open(path, noteList)) return false;
    return play();
}

PlayState MidiSongEngine::playState() const {
    switch (player_.State()) {
        case kMidiPlaying: return PlayState::Playing;
        case kMidiPaused: return PlayState::Paused;
        default: return PlayState::Stopped;
    }
}

int32_t MidiSongEngine::positionMs() const { return player_.PositionMs(); }

bool MidiSongEngine::seekMs(int32_t ms) {
    // Past the end a playing song plays off at once and ends the ordinary
    // way; a paused one waits there.
    ms = std::min(ms, player_.songLengthMs);
    if (player_.State() == kMidiPlaying) {
        // A playing song is moved by playing it again from the new place.
        player_.Stop();
        player_.Seek(ms);
        const bool ok = player_.Play(ms);
        player_.SetVolume(midiVolume(volumeLevel_));
        return ok;
    }
    player_.Seek(ms);
    return true;
}

bool MidiSongEngine::play() {
    const bool ok = player_.State() == kMidiStopped ? player_.Play(player_.startMs) : player_.Resume();
    player_.SetVolume(midiVolume(volumeLevel_));
    return ok;
}

bool MidiSongEngine::pause() { return player_.Pause(); }

void MidiSongEngine::setVolumeLevel(int level) {
    volumeLevel_ = level;
    player_.SetVolume(midiVolume(level));
}

void MidiSongEngine::setSpeed(int percent, bool) {
    player_.SetTempoPercent(percent);
    player_.SetVolume(midiVolume(volumeLevel_));
}

bool MidiSongEngine::replay() {
    player_.Stop();
    player_.Seek(0);
    const bool ok = player_.Play(0);
    player_.SetVolume(midiVolume(volumeLevel_));
    return ok;
}

}  // namespace melnix
