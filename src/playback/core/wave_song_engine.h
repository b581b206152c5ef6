// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "playback/core/song_engine.h"
#include "audio/wave_player.h"

namespace melnix {

// WAV and MP3 songs through the wave engine.
class WaveSongEngine : public SongEngine {
public:
    // songEnded runs on the engine's worker thread.
    WaveSongEngine(std::function<void()> songEnded, std::atomic<int>* levelPeak, std::atomic<uint8_t>* levelTrack);
    ~WaveSongEngine() override;

    // Opens and starts the song; dataLength excludes a lyric block at its tail.
    bool open(const std::string& path, int64_t dataLength, WaveSourceKind source);
    int lastError() const { return player_ ? player_->LastError() : 0; }
    // Why the source refused the song, when it could say (English); else empty.
    std::string lastErrorText() const { return player_ ? player_->LastErrorText() : std::string(); }

    PlayState playState() const override;
    int32_t positionMs() const override;
    bool seekMs(int32_t ms) override;
    bool play() override;
    bool pause() override;
    int32_t lengthMs() const override;
    void setVolumeLevel(int level) override;
    void setSpeed(int percent, bool pitchChange) override;
    bool hasSpeeds() const override { return true; }
    bool hasVocalRemoval() const override { return true; }
    void setVocalRemoval(bool on) override;
    bool replay() override;
    bool hasKey() const override { return true; }
    void setKey(int semitones) override;
    void setStretchQuality(bool on) override;
    bool endedEarly() const override { return player_ && player_->EndedEarly(); }

private:
    bool start();

    std::function<void()> songEnded_;
    std::atomic<int>* levelPeak_;
    std::atomic<uint8_t>* levelTrack_;
    std::unique_ptr<WavePlayer> player_;
    std::string path_;
    int64_t dataLength_ = 0;
    WaveSourceKind source_ = WaveSourceKind::Mpeg;
    int volumeLevel_ = 1000;
    int speedPercent_ = 100;
    bool pitchChange_ = false;
    bool vocalRemoval_ = false;
    int key_ = 0;
    bool stretchQuality_ = true;
};

}  // namespace melnix
