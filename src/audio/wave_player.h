// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plays WAV, MP3 and FFmpeg-decoded songs on a worker thread that owns the source and the
// device: open, prepare, start, pause, resume, seek and stop from the user
// interface, with the position in song milliseconds, eight speeds besides
// normal, vocal removal and the volume waveform. The natural end of a song is
// reported through a callback, on the worker thread; the editor turns it into
// its end-of-song command.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "audio/audio_source.h"
#include "audio/audio_stream_config.h"
#include "audio/block_processor.h"
#include "audio/wave_out_device.h"
#include "common/auto_reset_event.h"
#include "platform/audio_output.h"

namespace melnix {

// State()
constexpr int kWaveIdle = 0;
constexpr int kWaveOpened = 1;
constexpr int kWavePrepared = 2;
constexpr int kWaveStopped = 3;
constexpr int kWavePlaying = 4;
constexpr int kWavePaused = 5;

// Seek()
constexpr int kSeekNotPlaying = 0;
constexpr int kSeekDone = 1;
constexpr int kSeekSourceFailed = 2;
constexpr int kSeekTimedOut = 3;

constexpr uint32_t kLengthUnknown = 0xFFFFFFFF;
// Added to every position read while playing.
constexpr int32_t kPositionLeadMs = 200;

// Which source reads a song.
enum class WaveSourceKind { Wav, Mpeg, Decoded };

class WavePlayer {
public:
    using SongEnded = std::function<void()>;

    // levelValue and waveform (waveformLength bytes) belong to the editor and
    // may be null. output defaults to the one MELNIX_AUDIO chooses.
    WavePlayer(SongEnded owner, std::atomic<int>* levelValue, std::atomic<uint8_t>* waveform, int waveformLength,
               std::unique_ptr<AudioOutput> output = createAudioOutput());
    ~WavePlayer();
    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

    bool SetSource(const std::string& path, int64_t dataLength, WaveSourceKind kind);
    bool SetSource(const std::string& path, int64_t dataLength, bool isWav) {
        return SetSource(path, dataLength, isWav ? WaveSourceKind::Wav : WaveSourceKind::Mpeg);
    }
    bool Open();
    bool Prepare();
    bool Start();
    // Starts playing at a song time, reached the way a seek reaches it.
    bool StartAt(int32_t ms);
    // Plays the prepared song from a song time into the output on the calling
    // thread, as fast as it is taken, with the same bytes a play writes; for
    // rendering into a file. False when it could not start or the output
    // refused the sound on the way (LastError says why).
    bool Render(int32_t fromMs);
    bool Pause();
    bool Resume();
    bool Stop();
    bool Close();

    int State() const { return state_.load(); }
    int32_t PositionMs() const;
    uint32_t LengthMs() const;
    int Seek(int32_t ms);

    // 0..65535 for both channels, or a full word with the right channel in
    // its high half.
    bool SetVolume(uint32_t v);
    // Clamped to 50..200, the editor's slowest and fastest.
    void SetSpeedPercent(int percent);
    void SetPitchChange(bool on) { config_.pitchChange = on; }
    void SetChannelMode(int mode) { config_.channelMode = mode; }
    void SetCollectWaveform(bool on) { config_.collectWaveform = on; }
    // kStretchBlock or kStretchQuality for the pitch-keeping speeds.
    void SetStretchMethod(int method) { config_.stretchMethod = method; }
    // Semitones, clamped to -6..6; the tempo stays.
    void SetKey(int semitones);

    int LastError() const { return config_.lastError.load(); }
    // Why the song was refused, when the source could say; else empty.
    const std::string& LastErrorText() const { return config_.errorText; }
    AudioStreamConfig& config() { return config_; }
    // The last play reached the end of the data before the audio the file
    // announces: a cut-off file.
    bool EndedEarly() const { return endedEarly_.load(); }

private:
    void SetPlayRange();
    void ThreadMain(AutoResetEvent* started);
    bool PlayLoop();  // true when stopped on request
    bool FinishAtEnd();  // true when a seek during the last buffers moved play back into the song
    void PauseStep();
    bool CheckSeek();  // true when a seek moved the source
    void JoinThread();

    SongEnded owner_;
    AudioStreamConfig config_;
    WaveOutDevice device_;
    BlockProcessor processor_;
    std::unique_ptr<AudioSource> source_;
    std::atomic<int> speedPercent_{100};

    std::atomic<int> state_{kWaveIdle};
    std::atomic<bool> pauseRequest_{false};
    std::atomic<bool> stopRequest_{false};
    std::atomic<int32_t> seekTargetMs_{0};
    // The song time of the first sample written since the device's last open
    // or reset: played samples count from there.
    std::atomic<double> basePositionMs_{0};
    std::atomic<bool> seekResult_{false};
    std::atomic<bool> endedEarly_{false};

    AutoResetEvent threadExited_;
    AutoResetEvent seekRequested_;
    AutoResetEvent seekDone_;
    AutoResetEvent pauseAcknowledged_;
    std::thread thread_;
};

}  // namespace melnix
