// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one face every playback engine shows the transport: the editor plays a
// song through exactly one engine at a time, chosen by the song's kind.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace melnix {

enum class PlayState { Stopped, Paused, Playing };

class SongEngine {
public:
    virtual ~SongEngine() = default;

    virtual PlayState playState() const = 0;
    virtual int32_t positionMs() const = 0;
    // False when the seek ran into the end of the song.
    virtual bool seekMs(int32_t ms) = 0;
    // Plays from the current position (starting the song when it is not
    // playing yet).
    virtual bool play() = 0;
    virtual bool pause() = 0;
    virtual int32_t lengthMs() const = 0;
    // 0..1000; 0 silences.
    virtual void setVolumeLevel(int level) = 0;
    // The speed as a percentage of the duration; pitchChange only where the
    // engine can change the pitch.
    virtual void setSpeed(int percent, bool pitchChange) = 0;
    virtual bool hasSpeeds() const = 0;
    // The picture's size for songs that have one (hosted media); 0 otherwise.
    virtual int videoWidth() const { return 0; }
    virtual int videoHeight() const { return 0; }
    // Vocal removal, where the engine has it (wave songs at normal speed).
    virtual bool hasVocalRemoval() const { return false; }
    virtual void setVocalRemoval(bool) {}
    // The singer's key in semitones (-6..6), the tempo kept, where the engine
    // has it (wave and MIDI songs).
    virtual bool hasKey() const { return false; }
    virtual void setKey(int) {}
    // The pitch-keeping speeds through the quality stretch (true) or by
    // repeating and cutting blocks (false), where the engine has speeds.
    virtual void setStretchQuality(bool) {}
    // Plays the song again from its start after it ended.
    virtual bool replay() = 0;
    // The song ended because its file ended before the audio it announces.
    virtual bool endedEarly() const { return false; }
    // Only the melody track sounds (a MIDI song), so its notes can time the lyric.
    virtual bool playsMelodyAlone() const { return false; }
};

// The level track the wave engine fills while it plays: one level per 1/100 s
// of the first hour, 255 where nothing was recorded.
constexpr int kLevelTrackSize = 360000;
constexpr uint8_t kLevelNotRecorded = 255;

}  // namespace melnix
