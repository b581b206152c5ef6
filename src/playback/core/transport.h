// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's transport: one engine per song, chosen by the song's kind, and
// the speed, volume, mute and vocal-removal settings that survive from song
// to song. Positions are in editor units: 1/100 s times the time scale.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "playback/core/playback_settings.h"
#include "playback/core/song_engine.h"
#include "playback/core/song_kind.h"
#include "songlist/song_problem.h"
#include "audio/speed_table.h"

namespace melnix {


class Transport {
public:
    using EngineFactory = std::function<std::unique_ptr<SongEngine>(const std::string& path)>;

    Transport();
    ~Transport();

    // Engines for the kinds the wave engine does not play; an unset factory
    // means the kind cannot be played.
    void setMidiFactory(EngineFactory f) { midiFactory_ = std::move(f); }
    void setMediaFactory(EngineFactory f) { mediaFactory_ = std::move(f); }
    // Runs on the wave engine's worker thread when a song ends by itself.
    void setWaveSongEnded(std::function<void()> f) { waveSongEnded_ = std::move(f); }

    // Closes the current engine and opens the song; songDataLength excludes a
    // lyric block at its tail. False when no engine could open it.
    // sameSong: the song just written (a lyric stored in its tail) comes back;
    // the levels measured so far still hold.
    bool openSong(const std::string& path, int64_t songDataLength, bool sameSong = false);
    void close();
    // Why the last open failed (None after a success), and what the decoder
    // said of it when it said anything (English; may be empty).
    SongProblem openProblem() const { return problem_; }
    const std::string& problemDetail() const { return problemDetail_; }
    // The song just ended because its file is cut off.
    bool songCutShort() const { return engine_ && engine_->endedEarly(); }

    SongKind kind() const { return kind_; }
    bool hasEngine() const { return engine_ != nullptr; }
    SongEngine* engine() const { return engine_.get(); }

    PlayState playState() const;
    int positionUnits() const;
    // False when the seek ran into the song's end.
    bool seekUnits(int units);
    bool play();
    bool pause();
    int32_t lengthCs() const;
    int videoWidth() const { return engine_ ? engine_->videoWidth() : 0; }
    int videoHeight() const { return engine_ ? engine_->videoHeight() : 0; }

    int timeScale() const { return timeScale_; }
    void setTimeScale(int s) { timeScale_ = s == 2 ? 2 : 1; }

    // Volume from the trackbar position (0 top, 1000 bottom).
    void setVolumeFromTrack(int trackPos);
    void stepVolume(int delta);
    int volumeLevel() const { return volumeLevel_; }
    void setMute(bool on);
    bool isMuted() const;

    // Returns the index now selected. Applies the speed while playing; a
    // choice made while the song stands still applies once it plays
    // (applyChosenSpeed, when it has started).
    int selectSpeed(int index);
    void applyChosenSpeed();
    int speedIndex() const { return speedIndex_; }
    int speedPercent() const { return speedPercent_; }
    bool speedsAvailable() const { return engine_ && engine_->hasSpeeds(); }
    // Vocal removal is offered by the wave engine at normal speed only.
    bool vocalRemovalAvailable() const;
    bool vocalsKept() const { return vocalsKept_; }
    void toggleVocalRemoval();

    // The singer's key of the open song, -6..6 semitones, kept per song;
    // the tempo stays. Wave and MIDI songs have it.
    bool keyAvailable() const { return engine_ && engine_->hasKey(); }
    int key() const { return key_; }
    // Returns the key now set.
    int setKey(int semitones);
    int stepKey(int delta) { return setKey(key_ + delta); }
    // Every song whose key is not 0, by the path it was opened with.
    const std::map<std::string, int>& songKeys() const { return settings_.keys; }
    // The pitch-keeping speeds through the quality stretch (the default) or
    // the block method.
    bool stretchQuality() const { return settings_.stretchQuality; }
    void setStretchQuality(bool on);
    // Reads the key of every song and the stretch method from this file and
    // writes them back there at every change.
    void bindSettingsFile(const std::string& path);

    // Plays the song again from its start (end of song with nothing else to play).
    bool replay();

    std::atomic<int>& levelPeak() { return levelPeak_; }
    std::atomic<uint8_t>* levelTrack() { return levelTrack_.get(); }
    // A level measured outside the engines (a hosted song's recording) at cs:
    // a slot keeps a larger level measured earlier; the peak rises by a
    // quarter of the way to a louder level. Past the first hour, nothing.
    void recordLevel(int cs, int level) { recordLevels(cs, cs, level); }
    // The clock's recording: a run begins when the clock starts; each step's
    // level goes into every slot from the run's previous step on, up to its
    // own (not across a seek). False once cs is past the first hour, where
    // the recording ends.
    void startLevelRun() { levelRunSlot_ = -1; }
    bool recordLevelStep(int cs, int level);
    void resetLevelTrack();

private:
    bool failOpen(const std::string& path, SongProblem problem, std::string detail = {});

    SongProblem problem_ = SongProblem::None;
    std::string problemDetail_;
    void applyVolume();
    void recordLevels(int fromCs, int toCs, int level);

    EngineFactory midiFactory_;
    EngineFactory mediaFactory_;
    std::function<void()> waveSongEnded_;
    std::unique_ptr<SongEngine> engine_;
    std::string path_;
    int key_ = 0;
    PlaybackSettings settings_;
    std::string settingsFile_;
    SongKind kind_ = SongKind::Hosted;
    int timeScale_ = 1;
    int speedIndex_ = kNormalSpeedIndex;
    int speedPercent_ = 100;
    bool pitchChange_ = false;
    int volumeLevel_ = 1000;
    bool muted_ = false;
    bool vocalsKept_ = true;
    std::atomic<int> levelPeak_{0};
    std::unique_ptr<std::atomic<uint8_t>[]> levelTrack_;
    int levelRunSlot_ = -1;  // the slot of the run's last step
};

}  // namespace melnix
