// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/core/transport.h"

#include <algorithm>
#include <filesystem>

#include "audio/stretcher.h"
#include "playback/core/volume.h"
#include "playback/core/wave_song_engine.h"
#include "songlist/media_kind.h"

namespace melnix {
namespace {

// A clock step covers a few slots; a longer way forward is a seek, whose
// skipped part was not heard.
constexpr int kMaxLevelStepCs = 25;

}  // namespace

Transport::Transport() : levelTrack_(new std::atomic<uint8_t>[kLevelTrackSize]) { resetLevelTrack(); }

Transport::~Transport() { close(); }

void Transport::resetLevelTrack() {
    for (int i = 0; i < kLevelTrackSize; ++i) levelTrack_[i].store(kLevelNotRecorded, std::memory_order_relaxed);
    levelPeak_.store(0);
}

void Transport::recordLevels(int fromCs, int toCs, int level) {
    if (level < 0 || level >= kLevelNotRecorded) return;
    fromCs = std::max(fromCs, 0);
    toCs = std::min(toCs, kLevelTrackSize - 1);
    if (fromCs > toCs) return;
    for (int cs = fromCs; cs <= toCs; ++cs) {
        std::atomic<uint8_t>& slot = levelTrack_[cs];
        const uint8_t old = slot.load(std::memory_order_relaxed);
        if (old == kLevelNotRecorded || old < level) slot.store(static_cast<uint8_t>(level), std::memory_order_relaxed);
    }
    // The peak follows a loud moment part of the way, so one click does not
    // darken the whole strip.
    const int peak = levelPeak_.load(std::memory_order_relaxed);
    if (level > peak) levelPeak_.store(peak + std::max(1, (level - peak) / 4), std::memory_order_relaxed);
}

bool Transport::recordLevelStep(int cs, int level) {
    if (cs >= kLevelTrackSize) return false;
    const int gap = cs - levelRunSlot_;
    const int from = levelRunSlot_ >= 0 && gap > 0 && gap <= kMaxLevelStepCs ? levelRunSlot_ + 1 : cs;
    recordLevels(from, cs, level);
    levelRunSlot_ = cs;
    return true;
}

void Transport::close() {
    engine_.reset();
    kind_ = SongKind::Hosted;
    path_.clear();
    key_ = 0;
}

void Transport::bindSettingsFile(const std::string& path) {
    settingsFile_ = path;
    loadPlaybackSettings(path, settings_);
}

int Transport::setKey(int semitones) {
    if (!keyAvailable()) return key_;
    const int key = std::clamp(semitones, kLowestKey, kHighestKey);
    if (key == key_) return key_;
    key_ = key;
    engine_->setKey(key);
    if (key == 0) settings_.keys.erase(path_);
    else settings_.keys[path_] = key;
    if (!settingsFile_.empty()) savePlaybackSettings(settingsFile_, settings_);
    return key_;
}

void Transport::setStretchQuality(bool on) {
    if (on == settings_.stretchQuality) return;
    settings_.stretchQuality = on;
    if (engine_) engine_->setStretchQuality(on);
    if (!settingsFile_.empty()) savePlaybackSettings(settingsFile_, settings_);
}

bool Transport::failOpen(const std::string& path, SongProblem problem, std::string detail) {
    close();
    // A file that is gone or empty says so, whatever the engine made of it.
    if (path.find("://") == std::string::npos) {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        if (error) {
            problem = SongProblem::Missing;
        } else if (size == 0) {
            problem = SongProblem::Empty;
        }
    }
    problem_ = problem;
    problemDetail_ = problem == SongProblem::Missing || problem == SongProblem::Empty ? std::string() : std::move(detail);
    return false;
}

bool Transport::openSong(const std::string& path, int64_t songDataLength, bool sameSong) {
    const SongKind kind = songKindOf(path);
    problem_ = SongProblem::None;
    problemDetail_.clear();
    vocalsKept_ = true;
    pitchChange_ = false;
    const bool keepSpeed = isWaveKind(kind) && isWaveKind(kind_);
    close();
    if (!keepSpeed) {
        speedIndex_ = kNormalSpeedIndex;
        speedPercent_ = 100;
    }
    kind_ = kind;
    const auto remembered = settings_.keys.find(path);
    const int key = remembered == settings_.keys.end() ? 0 : remembered->second;
    if (isWaveKind(kind)) {
        if (!sameSong) resetLevelTrack();
        auto wave = std::make_unique<WaveSongEngine>(waveSongEnded_, &levelPeak_, levelTrack_.get());
        wave->setVolumeLevel(muted_ ? 0 : volumeLevel_);
        wave->setStretchQuality(settings_.stretchQuality);
        wave->setKey(key);
        // Songs open at normal speed; a faster or slower choice applies once playing.
        const WaveSourceKind source = waveSourceOf(kind);
        if (!wave->open(path, songDataLength, source)) {
            const SongProblem why = wave->lastError() == kWaveErrorDevice ? SongProblem::NoDevice
                                    : source == WaveSourceKind::Wav     ? SongProblem::BadWave
                                    : source == WaveSourceKind::Mpeg    ? SongProblem::NoAudioFrames
                                                                        : SongProblem::Undecodable;
            return failOpen(path, why, wave->lastErrorText());
        }
        speedIndex_ = kNormalSpeedIndex;
        speedPercent_ = 100;
        engine_ = std::move(wave);
    } else {
        EngineFactory& factory = kind == SongKind::Midi ? midiFactory_ : mediaFactory_;
        if (factory) engine_ = factory(path);
        if (!engine_) {
            const SongProblem why = kind != SongKind::Midi ? SongProblem::Undecodable
                                    : looksLikeMidi(path) ? SongProblem::BrokenMidi
                                                          : SongProblem::NotMidi;
            return failOpen(path, why);
        }
        applyVolume();
        engine_->setKey(key);
        engine_->setStretchQuality(settings_.stretchQuality);
    }
    path_ = path;
    key_ = engine_->hasKey() ? key : 0;
    return true;
}

PlayState Transport::playState() const { return engine_ ? engine_->playState() : PlayState::Stopped; }

int Transport::positionUnits() const {
    if (!engine_) return 0;
    return static_cast<int>(int64_t{engine_->positionMs()} * timeScale_ / 10);
}

bool Transport::seekUnits(int units) {
    if (!engine_) return true;
    if (units < 0) units = 0;
    return engine_->seekMs(static_cast<int32_t>(int64_t{units} * 10 / timeScale_));
}

bool Transport::play() { return engine_ && engine_->play(); }

bool Transport::pause() { return engine_ && engine_->pause(); }

int32_t Transport::lengthCs() const { return engine_ ? engine_->lengthMs() / 10 : 0; }

void Transport::applyVolume() {
    if (engine_) engine_->setVolumeLevel(muted_ ? 0 : volumeLevel_);
}

void Transport::setVolumeFromTrack(int trackPos) {
    volumeLevel_ = volumeLevelFromTrack(trackPos);
    muted_ = false;
    applyVolume();
}

void Transport::stepVolume(int delta) {
    int level = volumeLevel_ + delta;
    if (level > kMaxVolumeLevel) level = kMaxVolumeLevel;
    if (level < kMinVolumeLevel) level = kMinVolumeLevel;
    volumeLevel_ = level;
    muted_ = false;
    applyVolume();
}

void Transport::setMute(bool on) {
    muted_ = on;
    applyVolume();
}

bool Transport::isMuted() const { return !engine_ || muted_; }

int Transport::selectSpeed(int index) {
    speedIndex_ = nextSpeedIndex(speedIndex_, index);
    applyChosenSpeed();
    return speedIndex_;
}

void Transport::applyChosenSpeed() {
    if (playState() != PlayState::Playing) return;
    const Speed s = speedAt(speedIndex_);
    if (s.percent == speedPercent_ && s.pitchChange == pitchChange_) return;
    speedPercent_ = s.percent;
    pitchChange_ = s.pitchChange;
    // Vocal removal stays chosen: the engine applies it at normal speed only.
    if (engine_ && engine_->hasSpeeds()) engine_->setSpeed(speedPercent_, pitchChange_);
}

bool Transport::vocalRemovalAvailable() const {
    return engine_ && engine_->hasVocalRemoval() && speedPercent_ == 100;
}

void Transport::toggleVocalRemoval() {
    if (!vocalRemovalAvailable()) return;
    vocalsKept_ = !vocalsKept_;
    engine_->setVocalRemoval(!vocalsKept_);
}

bool Transport::replay() {
    if (!engine_) return false;
    return engine_->replay();
}

}  // namespace melnix
