// SPDX-License-Identifier: GPL-3.0-or-later
// Silent output that takes the time real playback would take, for machines
// without sound: buffers finish and the position advances at the format's
// rate, paused time not counted.

#include <chrono>
#include <deque>
#include <mutex>

#include "platform/audio_output.h"

namespace melnix {
namespace {

using Clock = std::chrono::steady_clock;

class NullAudioOutput final : public AudioOutput {
public:
    const char* name() const override { return "null"; }

    bool open(const PcmFormat& format) override {
        std::lock_guard lock(mutex_);
        if (!format.valid()) return false;
        format_ = format;
        open_ = true;
        paused_ = false;
        clear();
        return true;
    }

    void close() override {
        std::lock_guard lock(mutex_);
        open_ = false;
        clear();
    }

    bool isOpen() const override {
        std::lock_guard lock(mutex_);
        return open_;
    }

    bool write(const void*, size_t bytes) override {
        std::lock_guard lock(mutex_);
        if (!open_) return false;
        advance();
        if (ends_.empty()) lastUpdate_ = Clock::now();  // an idle device starts this buffer now
        written_ += static_cast<int64_t>(bytes) / format_.bytesPerFrame();
        ends_.push_back(written_);
        return true;
    }

    int pendingBuffers() override {
        std::lock_guard lock(mutex_);
        advance();
        return static_cast<int>(ends_.size());
    }

    int64_t playedFrames() override {
        std::lock_guard lock(mutex_);
        advance();
        return played_;
    }

    void pause() override {
        std::lock_guard lock(mutex_);
        advance();
        paused_ = true;
    }

    void restart() override {
        std::lock_guard lock(mutex_);
        advance();
        paused_ = false;
    }

    void reset() override {
        std::lock_guard lock(mutex_);
        clear();
    }

private:
    void clear() {
        ends_.clear();
        written_ = played_ = 0;
        remainderNs_ = 0;
        lastUpdate_ = Clock::now();
    }

    // Moves the play head by the time passed since the last look, never past
    // what has been written: an empty queue does not bank time.
    void advance() {
        const auto now = Clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - lastUpdate_).count();
        lastUpdate_ = now;
        if (!open_ || paused_) return;
        const int64_t total = remainderNs_ + elapsed * format_.sampleRate;
        int64_t frames = total / 1'000'000'000;
        remainderNs_ = total % 1'000'000'000;
        if (played_ + frames >= written_) {
            frames = written_ - played_;
            remainderNs_ = 0;
        }
        played_ += frames;
        while (!ends_.empty() && ends_.front() <= played_) ends_.pop_front();
    }

    mutable std::mutex mutex_;
    PcmFormat format_;
    bool open_ = false;
    bool paused_ = false;
    std::deque<int64_t> ends_;  // frame position at which each pending buffer ends
    int64_t written_ = 0;
    int64_t played_ = 0;
    int64_t remainderNs_ = 0;  // frame fractions, in ns x rate
    Clock::time_point lastUpdate_ = Clock::now();
};

}  // namespace

std::unique_ptr<AudioOutput> makeNullAudioOutput() { return std::make_unique<NullAudioOutput>(); }

}  // namespace melnix
