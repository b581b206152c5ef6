// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/core/wave_song_engine.h"

#include "playback/core/volume.h"

namespace melnix {
namespace {
constexpr int32_t kMaxWavePositionMs = 3599999;
constexpr int32_t kOverHourPositionMs = 3599990;
constexpr int kVocalRemovalMode = 6;
}  // namespace

WaveSongEngine::WaveSongEngine(std::function<void()> songEnded, std::atomic<int>* levelPeak,
                               std::atomic<uint8_t>* levelTrack)
    : songEnded_(std::move(songEnded)), levelPeak_(levelPeak), levelTrack_(levelTrack) {}

WaveSongEngine::~WaveSongEngine() {
    if (player_) player_->Close();
}

bool WaveSongEngine::open(const std::string& path, int64_t dataLength, WaveSourceKind source) {
    path_ = path;
    dataLength_ = dataLength;
    source_ = source;
    return start();
}

bool WaveSongEngine::start() {
    if (player_) player_->Close();
    player_ = std::make_unique<WavePlayer>(songEnded_, levelPeak_, levelTrack_, kLevelTrackSize);
    player_->SetCollectWaveform(levelTrack_ != nullptr);
    if (!player_->SetSource(path_, dataLength_, source_)) return false;
    player_->SetSpeedPercent(speedPercent_);
    player_->SetPitchChange(pitchChange_);
    player_->SetChannelMode(vocalRemoval_ ? kVocalRemovalMode : 0);
    player_->SetKey(key_);
    player_->SetStretchMethod(stretchQuality_ ? kStretchQuality : kStretchBlock);
    if (!player_->Open() || !player_->Prepare()) return false;
    player_->SetVolume(waveVolume(volumeLevel_));
    return player_->Start();
}

PlayState WaveSongEngine::playState() const {
    if (!player_) return PlayState::Stopped;
    switch (player_->State()) {
        case kWavePlaying: return PlayState::Playing;
        case kWavePaused: return PlayState::Paused;
        default: return PlayState::Stopped;
    }
}

int32_t WaveSongEngine::positionMs() const {
    if (!player_) return 0;
    int32_t ms = player_->PositionMs();
    if (ms < 0) return 0;
    return ms > kMaxWavePositionMs ? kOverHourPositionMs : ms;
}

bool WaveSongEngine::seekMs(int32_t ms) {
    if (!player_) return true;
    return player_->Seek(ms) != kSeekTimedOut;
}

bool WaveSongEngine::play() {
    if (!player_) return false;
    const int s = player_->State();
    if (s == kWaveOpened || s == kWaveStopped || s == kWaveIdle) return start();
    return player_->Resume();
}

bool WaveSongEngine::pause() { return player_ && player_->Pause(); }

int32_t WaveSongEngine::lengthMs() const {
    if (!player_) return 0;
    const uint32_t len = player_->LengthMs();
    return len == kLengthUnknown ? 0 : static_cast<int32_t>(len);
}

void WaveSongEngine::setVolumeLevel(int level) {
    volumeLevel_ = level;
    if (player_) player_->SetVolume(waveVolume(level));
}

void WaveSongEngine::setSpeed(int percent, bool pitchChange) {
    speedPercent_ = percent;
    pitchChange_ = pitchChange;
    if (!player_) return;
    const int32_t at = positionMs();
    player_->SetPitchChange(pitchChange);
    player_->SetSpeedPercent(percent);
    player_->Seek(at);
}

void WaveSongEngine::setVocalRemoval(bool on) {
    vocalRemoval_ = on;
    if (!player_) return;
    const int32_t at = positionMs();
    player_->SetChannelMode(on ? kVocalRemovalMode : 0);
    player_->Seek(at);
}

void WaveSongEngine::setKey(int semitones) {
    if (semitones == key_) return;
    key_ = semitones;
    if (!player_) return;
    const int32_t at = positionMs();
    player_->SetKey(semitones);
    // The stretcher starts over from here, lined up with the song again.
    player_->Seek(at);
}

void WaveSongEngine::setStretchQuality(bool on) {
    if (on == stretchQuality_) return;
    stretchQuality_ = on;
    if (!player_) return;
    const int32_t at = positionMs();
    player_->SetStretchMethod(on ? kStretchQuality : kStretchBlock);
    if (speedPercent_ != 100 && !pitchChange_) player_->Seek(at);
}

bool WaveSongEngine::replay() { return start(); }

}  // namespace melnix
