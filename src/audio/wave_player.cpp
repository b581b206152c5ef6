// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wave_player.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <system_error>

#include "audio/ffmpeg_source.h"
#include "audio/mp3_source.h"
#include "audio/wav_source.h"
#include "common/mul_div.h"

namespace melnix {
namespace {

constexpr int kPauseWaitMs = 200;
constexpr int kSeekWaitMs = 2800;
constexpr int kStopWaitMs = 10000;
constexpr auto kPauseStep = std::chrono::milliseconds(77);
constexpr int kSeekEndMarginMs = 100;
constexpr int kSlowestPercent = 200;
constexpr int kFastestPercent = 50;
constexpr int64_t kPositionSampleLimit = 0x20000000;
constexpr int kNicePerPriorityStep = 5;

}  // namespace

WavePlayer::WavePlayer(SongEnded owner, std::atomic<int>* levelValue, std::atomic<uint8_t>* waveform,
                       int waveformLength, std::unique_ptr<AudioOutput> output)
    : owner_(std::move(owner)), device_(config_, std::move(output)), processor_(config_, device_) {
    config_.levelValue = levelValue;
    config_.waveform = waveform;
    config_.waveformLength = waveform ? waveformLength : 0;
}

WavePlayer::~WavePlayer() {
    Close();
    JoinThread();
}

bool WavePlayer::SetSource(const std::string& path, int64_t dataLength, WaveSourceKind kind) {
    if (state_.load() != kWaveIdle) return false;
    config_.filePath = path;
    config_.dataLength = dataLength;
    config_.isWav = kind == WaveSourceKind::Wav;
    config_.errorText.clear();
    switch (kind) {
        case WaveSourceKind::Wav: source_ = std::make_unique<WavSource>(config_); break;
        case WaveSourceKind::Mpeg: source_ = std::make_unique<Mp3Source>(config_); break;
        case WaveSourceKind::Decoded: source_ = std::make_unique<FfmpegSource>(config_); break;
    }
    source_->speedPercent = speedPercent_.load();
    return true;
}

bool WavePlayer::Open() {
    if (state_.load() != kWaveIdle || config_.filePath.empty() || !source_) return false;
    pauseRequest_ = false;
    bool ok = false;
    try {
        ok = source_->Open();
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        config_.lastError = kWaveErrorSource;
        return false;
    }
    state_ = kWaveOpened;
    return true;
}

bool WavePlayer::Prepare() {
    const int s = state_.load();
    if (s != kWaveOpened && s != kWaveStopped) return false;
    JoinThread();  // a thread that ended the song by itself
    bool ok = false;
    try {
        ok = source_->Prepare();  // for MP3 this resets the decoder
    } catch (const std::exception&) {
        config_.lastError = kWaveErrorSource;
    }
    if (!ok) return false;
    state_ = kWavePrepared;
    return true;
}

bool WavePlayer::Start() {
    config_.lastError = kWaveErrorNone;
    if (state_.load() != kWavePrepared) return false;
    JoinThread();
    SetPlayRange();
    stopRequest_ = false;
    endedEarly_ = false;
    threadExited_.reset();
    AutoResetEvent started;
    try {
        thread_ = std::thread(&WavePlayer::ThreadMain, this, &started);
    } catch (const std::system_error&) {
        config_.lastError = kWaveErrorThread;
        return false;
    }
    started.wait();
    if (config_.lastError.load() != kWaveErrorNone) {
        JoinThread();
        return false;
    }
    return true;
}

void WavePlayer::SetPlayRange() {
    const double msPerBlock = source_->MsPerBlock();
    if (config_.endMs == 0) {
        config_.startBlock = msPerBlock > 0 ? static_cast<int32_t>(config_.startMs / msPerBlock) : 0;
        config_.endBlock = -1;
    } else if (msPerBlock > 0) {
        config_.startBlock = static_cast<int32_t>(config_.startMs / msPerBlock);
        config_.endBlock = static_cast<int32_t>(config_.endMs / msPerBlock);
    }
}

bool WavePlayer::Render(int32_t fromMs) {
    config_.lastError = kWaveErrorNone;
    if (state_.load() != kWavePrepared) return false;
    if (fromMs < 0 || static_cast<double>(fromMs) >= source_->LengthMs()) return false;
    JoinThread();
    SetPlayRange();
    stopRequest_ = false;
    pauseRequest_ = false;
    if (!device_.Open(false)) {
        config_.lastError = kWaveErrorDevice;
        return false;
    }
    state_ = kWavePlaying;
    processor_.Reset();
    basePositionMs_ = source_->NextBlockMs();
    if (fromMs > 0) {
        // Reached as a play reaches it: the loop's first step takes the seek.
        seekTargetMs_ = fromMs;
        seekDone_.reset();
        seekRequested_.set();
    }
    bool deviceFailed = false;
    try {
        PlayLoop();
    } catch (const AudioDeviceError&) {
        // The output refused the sound (a full disk): the render is not whole.
        deviceFailed = true;
    } catch (const std::exception&) {
        // Like a play: a failing source ends the song there.
    }
    source_->Rewind();
    state_ = kWaveStopped;
    device_.Reset();
    device_.Close();
    if (deviceFailed) config_.lastError = kWaveErrorDevice;
    return !deviceFailed;
}

void WavePlayer::SetKey(int semitones) { config_.keySemitones = std::clamp(semitones, kLowestKey, kHighestKey); }

bool WavePlayer::StartAt(int32_t ms) {
    if (state_.load() != kWavePrepared) return false;
    if (ms < 0 || static_cast<double>(ms) >= source_->LengthMs()) return false;
    if (ms > 0) {
        // The worker's first step takes the seek, before any block is read.
        seekTargetMs_ = ms;
        seekDone_.reset();
        seekRequested_.set();
    }
    if (!Start()) {
        seekRequested_.reset();
        return false;
    }
    return true;
}

bool WavePlayer::Pause() {
    if (state_.load() != kWavePlaying) return false;
    pauseAcknowledged_.reset();
    pauseRequest_ = true;
    device_.Pause();
    pauseAcknowledged_.wait(kPauseWaitMs);
    // Unless the song ended meanwhile.
    int playing = kWavePlaying;
    return state_.compare_exchange_strong(playing, kWavePaused);
}

bool WavePlayer::Resume() {
    pauseRequest_ = false;  // the worker restarts the device
    int paused = kWavePaused;
    return state_.compare_exchange_strong(paused, kWavePlaying);
}

bool WavePlayer::Stop() {
    const int s = state_.load();
    if (s != kWavePlaying && s != kWavePaused) return false;
    stopRequest_ = true;
    device_.ResetOutput();
    threadExited_.wait(kStopWaitMs);
    // Every wait of the worker is bounded or ends with the reset above, so
    // the join does not hang.
    JoinThread();
    config_.lastError = kWaveErrorNone;
    state_ = kWaveStopped;
    device_.ResetOutput();
    return true;
}

bool WavePlayer::Close() {
    const int s = state_.load();
    if (s == kWavePlaying || s == kWavePaused) Stop();
    JoinThread();
    if (source_) source_->Close();
    state_ = kWaveIdle;
    return true;
}

int WavePlayer::Seek(int32_t ms) {
    const int s = state_.load();
    if (s != kWavePlaying && s != kWavePaused) return kSeekNotPlaying;
    // Never to the very end: a seek there would end the song at once.
    const int64_t latest = static_cast<int64_t>(LengthMs()) - kSeekEndMarginMs;
    seekTargetMs_ = static_cast<int32_t>(std::clamp<int64_t>(std::min<int64_t>(latest, ms), 0, INT32_MAX));
    seekDone_.reset();
    seekRequested_.set();
    if (seekDone_.wait(kSeekWaitMs)) return seekResult_.load() ? kSeekDone : kSeekSourceFailed;
    seekRequested_.reset();
    Stop();
    stopRequest_ = false;
    device_.ResetOutput();
    return kSeekTimedOut;
}

int32_t WavePlayer::PositionMs() const {
    const int s = state_.load();
    if (s < kWaveStopped) return -1;
    if (s == kWaveStopped || !source_) return 0;
    int64_t samples = 0;
    const int rate = config_.sampleRate.load();
    if (device_.Position(samples) && samples >= 0 && samples < kPositionSampleLimit && rate > 0) {
        const int32_t played = MulDiv(static_cast<int32_t>(std::min(samples, kPositionSampleLimit)), 1000, rate);
        const int32_t song = MulDiv(played, 100, std::max(source_->speedPercent.load(), 1));
        return static_cast<int32_t>(basePositionMs_.load() + song) + kPositionLeadMs;
    }
    return static_cast<int32_t>(source_->MsPerBlock() * config_.blockIndex.load());
}

uint32_t WavePlayer::LengthMs() const {
    if (state_.load() < kWavePrepared || !source_) return kLengthUnknown;
    return static_cast<uint32_t>(source_->LengthMs());
}

bool WavePlayer::SetVolume(uint32_t v) { return device_.SetVolume(v); }

void WavePlayer::SetSpeedPercent(int percent) {
    speedPercent_ = std::clamp(percent, kFastestPercent, kSlowestPercent);
    if (source_) source_->speedPercent = speedPercent_.load();
}

void WavePlayer::JoinThread() {
    if (thread_.joinable()) thread_.join();
}

void WavePlayer::ThreadMain(AutoResetEvent* started) {
    if (config_.threadPriority > 0) {
        // Raising a thread's priority needs privileges; without them it plays
        // at the normal one.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -kNicePerPriorityStep * config_.threadPriority);
    }
    if (!device_.Open()) {
        config_.lastError = kWaveErrorDevice;
        started->set();
        threadExited_.set();
        return;
    }
    // Playing from here: set before Start returns, so that a song that ends
    // at once is not marked playing afterwards.
    state_ = kWavePlaying;
    processor_.Reset();
    basePositionMs_ = source_->NextBlockMs();
    started->set();

    bool stopped = false;
    try {
        stopped = PlayLoop();
    } catch (const std::exception&) {
        // A source or device failure ends the song as its end would.
        stopped = stopRequest_.load();
    }

    if (stopped) {
        device_.Reset();
        device_.MarkPaused(true);  // so that waiting drops what is queued
        device_.WaitForDrain();
        device_.MarkPaused(false);
        source_->Rewind();
        device_.Close();
        state_ = kWaveOpened;  // Stop sets 3
        stopRequest_ = false;
        threadExited_.set();
        return;
    }
    source_->Rewind();
    state_ = kWaveStopped;
    device_.Reset();
    device_.Close();
    if (owner_) owner_();
    threadExited_.set();
}

bool WavePlayer::PlayLoop() {
    for (;;) {
        CheckSeek();
        const int r = source_->ReadBlock();
        if (stopRequest_.load()) return true;
        bool atEnd = r == kEndOfData;
        if (atEnd && source_->EndedEarly()) endedEarly_ = true;
        if (r == kBlockRead) {
            const int32_t index = ++config_.blockIndex;
            if (config_.endBlock >= 0 && index > config_.endBlock) {
                atEnd = true;
            } else if (index > config_.startBlock) {
                if (source_->FormatChanged()) {
                    device_.Close();
                    if (!device_.Open()) throw AudioDeviceError("the audio output refused the new rate");
                    basePositionMs_ = source_->MsPerBlock() * (index - 1);
                }
                source_->DecodeBlock(processor_);
            }
        }
        if (atEnd) {
            if (!FinishAtEnd()) return stopRequest_.load();
            continue;
        }
        PauseStep();
    }
}

void WavePlayer::PauseStep() {
    if (pauseRequest_.load()) {
        pauseAcknowledged_.set();
        while (pauseRequest_.load() && !stopRequest_.load()) {
            std::this_thread::sleep_for(kPauseStep);
            CheckSeek();
        }
    }
    // Also when a pause was taken back before the loop saw it.
    if (device_.isPaused() && !pauseRequest_.load() && !stopRequest_.load()) device_.Restart();
}

bool WavePlayer::FinishAtEnd() {
    source_->FlushPending(processor_);
    processor_.Finish(source_->speedPercent);
    bool acknowledged = false;
    for (;;) {
        if (stopRequest_.load()) return false;
        if (CheckSeek()) return true;
        if (device_.queuedBuffers() == 0) return false;
        if (pauseRequest_.load()) {
            if (!acknowledged) pauseAcknowledged_.set();
            acknowledged = true;
        } else if (device_.isPaused()) {
            device_.Restart();
        }
        std::this_thread::sleep_for(kPauseStep);
    }
}

bool WavePlayer::CheckSeek() {
    if (!seekRequested_.wait(0)) {
        device_.Pump();
        return false;
    }
    device_.Reset();
    bool moved = false;
    try {
        moved = source_->SeekMs(seekTargetMs_.load());
    } catch (...) {
        seekResult_ = false;
        seekDone_.set();
        throw;
    }
    seekResult_ = moved;
    processor_.Reset();
    device_.baseBlock = config_.blockIndex.load();
    basePositionMs_ = source_->NextBlockMs();
    seekDone_.set();
    return moved;
}

}  // namespace melnix
