// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "playback/core/song_engine.h"
#include "midi/midi_stream_player.h"

namespace melnix {

// MIDI and karaoke songs through the MIDI stream player.
class MidiSongEngine : public SongEngine {
public:
    // songEnded runs on the device's thread; notify shows a message once.
    MidiSongEngine(std::function<void()> songEnded, std::function<void(const std::string&)> notify);
    ~MidiSongEngine() override;

    // Loads the song (its notes into noteList) and plays it from the start.
    bool open(const std::string& path, RecordArray<NoteSpan>* noteList);
    MidiStreamPlayer& player() { return player_; }

    PlayState playState() const override;
    int32_t positionMs() const override;
    bool seekMs(int32_t ms) override;
    bool play() override;
    bool pause() override;
    int32_t lengthMs() const override { return player_.songLengthMs; }
    void setVolumeLevel(int level) override;
    void setSpeed(int percent, bool pitchChange) override;
    bool hasSpeeds() const override { return true; }
    bool replay() override;
    bool hasKey() const override { return true; }
    void setKey(int semitones) override { player_.SetKey(semitones); }
    bool playsMelodyAlone() const override { return player_.playingTrackCount == 1; }

private:
    mutable MidiStreamPlayer player_;
    int volumeLevel_ = 1000;
};

}  // namespace melnix
