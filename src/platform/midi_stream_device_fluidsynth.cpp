// SPDX-License-Identifier: GPL-3.0-or-later
// A MIDI stream device on FluidSynth: the device's thread walks the queued
// buffers, sends each event to the synthesizer at the frame where its delta
// puts it, and renders the synthesizer into the audio output in blocks. It
// stays a few blocks ahead of what the output has played, so a real device
// sounds with little delay while the WAV backend renders as fast as it can.
//
// FluidSynth runs its voices in blocks of 64 frames: an event sent between
// two writes is heard from the next of those blocks, at most 1.5 ms late.

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "common/auto_reset_event.h"
#include "platform/midi_stream_device.h"
#include "platform/peak_limiter.h"

namespace melnix {
namespace {

constexpr int kSampleRate = 44100;
constexpr int kChannels = 2;
constexpr int kBlockFrames = 512;       // 11.6 ms of sound per write
constexpr int kMaxPendingBuffers = 6;   // about 70 ms ahead of what is heard
constexpr int kIdleWaitMs = 20;
constexpr int kBusyWaitMs = 3;
// Releases and reverb go on sounding after the last event, but not forever.
constexpr int64_t kTailLimitFrames = 2 * kSampleRate;
// The library's default of 0.2 leaves a sparse song 20 dB below full scale,
// far quieter than the wave songs. The synthesizer renders in floating point
// and the limiter takes the peaks of dense songs down, so they never clip.
constexpr double kSynthGain = 0.42;
constexpr int kPercussionChannel = 9;  // channel 10, never transposed
constexpr uint32_t kDefaultTempo = 500000;
constexpr uint32_t kDefaultDivision = 96;
constexpr uint32_t kMaxDivision = 0x7FFF;  // a set top bit would mean SMPTE time
constexpr uint64_t kMicrosPerSecond = 1000000;
constexpr int kMidiChannels = 16;
constexpr int kControllerSustain = 64;
constexpr int kControllerResetAll = 121;
constexpr int kMidiErrorAllocated = 4;

void silenceFluidSynthLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Failures come back as results; the library's own chatter would
        // only clutter the terminal.
        for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
    });
}

class FluidSynthMidiDevice final : public MidiStreamDevice {
public:
    FluidSynthMidiDevice(std::string soundfont, std::unique_ptr<AudioOutput> output)
        : soundfont_(std::move(soundfont)), output_(std::move(output)) {}
    ~FluidSynthMidiDevice() override { close(); }

    const char* name() const override { return "fluidsynth"; }

    int open(MidiStreamCallback callback, void* instance) override {
        std::unique_lock lock(mutex_);
        if (synth_) return kMidiErrorAllocated;
        if (!output_ || soundfont_.empty()) return kMidiErrorNoDriver;
        silenceFluidSynthLog();
        settings_ = new_fluid_settings();
        if (!settings_) return kMidiErrorNoMemory;
        fluid_settings_setnum(settings_, "synth.sample-rate", kSampleRate);
        fluid_settings_setnum(settings_, "synth.gain", kSynthGain);
        // Only the instruments a song selects are read from the soundfont.
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        synth_ = new_fluid_synth(settings_);
        if (!synth_ || fluid_synth_sfload(synth_, soundfont_.c_str(), 1) == FLUID_FAILED ||
            !output_->open(PcmFormat{kSampleRate, kChannels, 16})) {
            destroySynth();
            return kMidiErrorNoDriver;
        }
        callback_ = callback;
        instance_ = instance;
        clearStream();
        quit_ = false;
        try {
            thread_ = std::thread(&FluidSynthMidiDevice::run, this);
        } catch (const std::system_error&) {
            output_->close();
            destroySynth();
            return kMidiErrorNoMemory;
        }
        lock.unlock();
        notify(MidiStreamNotice::Open, nullptr);
        return kMidiOk;
    }

    int close() override {
        if (!isOpen()) return kMidiErrorInvalidHandle;
        reset();
        quit_ = true;
        wake_.set();
        if (thread_.joinable()) thread_.join();
        notify(MidiStreamNotice::Close, nullptr);
        std::lock_guard lock(mutex_);
        output_->close();
        destroySynth();
        callback_ = nullptr;
        return kMidiOk;
    }

    int setTimeDivision(uint32_t division) override {
        std::lock_guard lock(mutex_);
        if (!synth_) return kMidiErrorInvalidHandle;
        if (division == 0 || division > kMaxDivision) return kMidiErrorInvalidParam;
        division_ = division;
        remainder_ = 0;
        return kMidiOk;
    }

    int prepareHeader(MidiHeader& header) override {
        if (!header.data || header.bufferLength > kMidiMaxBufferBytes || header.bytesRecorded > header.bufferLength)
            return kMidiErrorInvalidParam;
        header.flags.fetch_or(kMidiHeaderPrepared);
        return kMidiOk;
    }

    int unprepareHeader(MidiHeader& header) override {
        if (header.flags.load() & kMidiHeaderInQueue) return kMidiErrorStillPlaying;
        header.flags.fetch_and(~kMidiHeaderPrepared);
        return kMidiOk;
    }

    int out(MidiHeader& header) override {
        std::lock_guard lock(mutex_);
        if (!synth_) return kMidiErrorInvalidHandle;
        const uint32_t flags = header.flags.load();
        if (!(flags & kMidiHeaderPrepared)) return kMidiErrorUnprepared;
        if (flags & kMidiHeaderInQueue) return kMidiErrorStillPlaying;
        if (queue_.empty() && framesWritten_ > lastEventFrame_) {
            // The queue ran dry and time went on: the new buffer starts now.
            lastEventFrame_ = framesWritten_;
            remainder_ = 0;
        }
        header.flags.store((flags & ~kMidiHeaderDone) | kMidiHeaderInQueue);
        queue_.push_back(&header);
        wake_.set();
        return kMidiOk;
    }

    int restart() override {
        std::lock_guard lock(mutex_);
        if (!synth_) return kMidiErrorInvalidHandle;
        if (!running_) {
            running_ = true;
            output_->restart();
            wake_.set();
        }
        return kMidiOk;
    }

    int pause() override {
        std::lock_guard lock(mutex_);
        if (!synth_) return kMidiErrorInvalidHandle;
        running_ = false;
        fluid_synth_all_sounds_off(synth_, -1);
        output_->pause();
        return kMidiOk;
    }

    int reset() override {
        std::lock_guard lock(mutex_);
        if (!synth_) return kMidiErrorInvalidHandle;
        running_ = false;
        fluid_synth_all_sounds_off(synth_, -1);
        for (int ch = 0; ch < kMidiChannels; ++ch) {
            fluid_synth_cc(synth_, ch, kControllerSustain, 0);
            fluid_synth_cc(synth_, ch, kControllerResetAll, 0);
        }
        sounding_ = {};
        limiter_.Reset();
        output_->reset();
        // Returned in the order they were queued: those already played first.
        while (!played_.empty()) {
            MidiHeader* h = played_.front().header;
            played_.pop_front();
            markDone(*h);
        }
        while (!queue_.empty()) {
            MidiHeader* h = queue_.front();
            queue_.pop_front();
            markDone(*h);
        }
        clearStream();
        return kMidiOk;
    }

    int positionMs(uint32_t& ms) override {
        std::lock_guard lock(mutex_);
        if (!synth_) return kMidiErrorInvalidHandle;
        const int64_t frames = std::max<int64_t>(0, output_->playedFrames());
        ms = static_cast<uint32_t>(frames * 1000 / kSampleRate);
        return kMidiOk;
    }

    int shortMessage(uint32_t message) override {
        std::lock_guard lock(mutex_);
        if (!synth_) return kMidiErrorInvalidHandle;
        sendShort(message);
        wake_.set();  // a note sent to a quiet device must still be rendered
        return kMidiOk;
    }

    void setKey(int semitones) override {
        std::lock_guard lock(mutex_);
        key_ = std::clamp(semitones, -12, 12);
    }

    bool idle() override {
        std::lock_guard lock(mutex_);
        return queue_.empty() && played_.empty() && !tailSounding();
    }

private:
    struct Played {
        MidiHeader* header;
        int64_t frame;  // where its last event lies in the stream
    };

    bool isOpen() {
        std::lock_guard lock(mutex_);
        return synth_ != nullptr;
    }

    void destroySynth() {
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
        synth_ = nullptr;
        settings_ = nullptr;
    }

    void clearStream() {
        running_ = false;
        tempo_ = kDefaultTempo;
        eventOffset_ = 0;
        nextTimed_ = false;
        nextFrame_ = 0;
        lastEventFrame_ = 0;
        remainder_ = 0;
        framesWritten_ = 0;
        tailFrames_ = 0;
    }

    void notify(MidiStreamNotice notice, MidiHeader* header) {
        if (callback_) callback_(notice, instance_, header);
    }

    void markDone(MidiHeader& h) {
        h.flags.store((h.flags.load() & ~kMidiHeaderInQueue) | kMidiHeaderDone);
        notify(MidiStreamNotice::Done, &h);
    }

    bool tailSounding() const {
        return running_ && tailFrames_ < kTailLimitFrames && fluid_synth_get_active_voice_count(synth_) > 0;
    }

    bool hasWork() const { return running_ && (!queue_.empty() || tailSounding()); }

    // Frames that delta ticks last at the current tempo, with the fraction
    // carried to the next event so that no rounding accumulates.
    int64_t framesFor(uint32_t delta) {
        const uint64_t x = static_cast<uint64_t>(delta) * tempo_;
        const uint64_t d = static_cast<uint64_t>(division_) * kMicrosPerSecond;
        const uint64_t whole = x / d;
        const uint64_t part = (x % d) * kSampleRate + remainder_;
        remainder_ = part % d;
        return static_cast<int64_t>(whole * kSampleRate + part / d);
    }

    // Moves finished headers out of the queue; true when an event is next.
    bool nextEvent() {
        while (!queue_.empty()) {
            MidiHeader* h = queue_.front();
            if (eventOffset_ + sizeof(MidiStreamEvent) <= h->bytesRecorded) return true;
            played_.push_back({h, lastEventFrame_});
            queue_.pop_front();
            eventOffset_ = 0;
            nextTimed_ = false;
        }
        return false;
    }

    void sendShort(uint32_t m) {
        const int status = static_cast<int>(m & 0xFF);
        if (status < 0x80 || status >= 0xF0) return;
        const int ch = status & 0x0F;
        const int d1 = static_cast<int>(m >> 8 & 0x7F);
        const int d2 = static_cast<int>(m >> 16 & 0x7F);
        switch (status & 0xF0) {
            case 0x80: noteOff(ch, d1); break;
            case 0x90:
                if (d2 == 0) {
                    noteOff(ch, d1);
                } else {
                    // Every note but the drums in the singer's key; the note
                    // off ends the note that was started, whatever the key is by then.
                    const int note = ch == kPercussionChannel ? d1 : d1 + key_;
                    if (note < 0 || note > 127) break;
                    // A key struck again after the key changed ends its old note.
                    if (sounding_[static_cast<size_t>(ch)][static_cast<size_t>(d1)] - 1 != note) noteOff(ch, d1);
                    sounding_[static_cast<size_t>(ch)][static_cast<size_t>(d1)] = static_cast<int8_t>(note + 1);
                    fluid_synth_noteon(synth_, ch, note, d2);
                }
                break;
            case 0xA0: {
                const int note = sounding_[static_cast<size_t>(ch)][static_cast<size_t>(d1)] - 1;
                if (note >= 0) fluid_synth_key_pressure(synth_, ch, note, d2);
                break;
            }
            case 0xB0: fluid_synth_cc(synth_, ch, d1, d2); break;
            case 0xC0: fluid_synth_program_change(synth_, ch, d1); break;
            case 0xD0: fluid_synth_channel_pressure(synth_, ch, d1); break;
            case 0xE0: fluid_synth_pitch_bend(synth_, ch, d1 | d2 << 7); break;
            default: break;
        }
    }

    void noteOff(int ch, int d1) {
        int8_t& started = sounding_[static_cast<size_t>(ch)][static_cast<size_t>(d1)];
        if (started > 0) fluid_synth_noteoff(synth_, ch, started - 1);
        started = 0;
    }

    // Plays the event at the front of the queue.
    void playEvent() {
        MidiHeader* h = queue_.front();
        MidiStreamEvent e;
        std::memcpy(&e, h->data + eventOffset_, sizeof e);
        eventOffset_ += sizeof e;
        lastEventFrame_ = nextFrame_;
        nextTimed_ = false;
        if (e.event & kMidiEventLong) {
            // System-exclusive data and comments are not sent; skip the
            // parameter bytes, padded to whole words.
            eventOffset_ += ((e.event & kMidiEventParamMask) + 3) & ~3u;
        } else if ((e.event & kMidiEventTypeMask) == kMidiEventShortMsg) {
            sendShort(e.event & kMidiEventParamMask);
        } else if ((e.event & kMidiEventTypeMask) == kMidiEventTempo) {
            tempo_ = std::max<uint32_t>(1, e.event & kMidiEventParamMask);
        }
        if (e.event & kMidiEventCallback) notify(MidiStreamNotice::PositionCallback, h);
    }

    void renderBlock(std::vector<int16_t>& block) {
        int done = 0;
        while (done < kBlockFrames) {
            const int64_t now = framesWritten_ + done;
            while (nextEvent()) {
                if (!nextTimed_) {
                    uint32_t delta = 0;
                    std::memcpy(&delta, queue_.front()->data + eventOffset_, sizeof delta);
                    nextFrame_ = lastEventFrame_ + framesFor(delta);
                    nextTimed_ = true;
                }
                if (nextFrame_ > now) break;
                playEvent();
            }
            int64_t span = kBlockFrames - done;
            if (!queue_.empty() && nextTimed_) span = std::min(span, nextFrame_ - now);
            const int n = static_cast<int>(span);
            fluid_synth_write_float(synth_, n, rendered_.data(), done * kChannels, kChannels, rendered_.data(),
                                    done * kChannels + 1, kChannels);
            done += n;
        }
        const int out = limiter_.Process(rendered_.data(), kBlockFrames, block.data());
        if (out > 0) output_->write(block.data(), static_cast<size_t>(out) * kChannels * sizeof(int16_t));
        framesWritten_ += kBlockFrames;
        tailFrames_ = queue_.empty() ? tailFrames_ + kBlockFrames : 0;
    }

    // Buffers whose last event has been heard are done.
    void returnPlayed() {
        const int64_t heard = output_->playedFrames();
        while (!played_.empty() && played_.front().frame < heard) {
            MidiHeader* h = played_.front().header;
            played_.pop_front();
            markDone(*h);
        }
    }

    void run() {
        std::vector<int16_t> block(static_cast<size_t>(kBlockFrames * kChannels));
        for (;;) {
            int waitMs = 0;
            {
                std::lock_guard lock(mutex_);
                if (quit_) return;
                returnPlayed();
                if (!hasWork()) {
                    waitMs = played_.empty() ? kIdleWaitMs : kBusyWaitMs;
                } else if (output_->pendingBuffers() >= kMaxPendingBuffers) {
                    waitMs = kBusyWaitMs;
                } else {
                    renderBlock(block);
                }
            }
            if (waitMs > 0) wake_.wait(waitMs);
        }
    }

    const std::string soundfont_;
    const std::unique_ptr<AudioOutput> output_;
    std::thread thread_;
    AutoResetEvent wake_;
    std::atomic<bool> quit_{false};

    // Everything below is guarded by mutex_. The device's thread holds it
    // while it renders one block, so every call waits at most that long.
    std::mutex mutex_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    MidiStreamCallback callback_ = nullptr;
    void* instance_ = nullptr;
    std::deque<MidiHeader*> queue_;  // the front one is playing
    std::deque<Played> played_;      // all events sent, not yet heard
    bool running_ = false;
    uint32_t division_ = kDefaultDivision;
    uint32_t tempo_ = kDefaultTempo;
    uint32_t eventOffset_ = 0;  // next event in the front header
    bool nextTimed_ = false;    // nextFrame_ holds that event's frame
    int64_t nextFrame_ = 0;
    int64_t lastEventFrame_ = 0;
    uint64_t remainder_ = 0;  // fraction of a frame, in units of 1 / (division x 10^6)
    int64_t framesWritten_ = 0;
    int64_t tailFrames_ = 0;  // rendered since the queue ran empty
    int key_ = 0;
    // The note each channel's key sounds as, plus 1; 0 when silent.
    std::array<std::array<int8_t, 128>, kMidiChannels> sounding_{};
    std::vector<float> rendered_ = std::vector<float>(static_cast<size_t>(kBlockFrames * kChannels));
    PeakLimiter limiter_{kChannels, kSampleRate};
};

}  // namespace

std::unique_ptr<MidiStreamDevice> makeFluidSynthMidiDevice(const std::string& soundfont,
                                                           std::unique_ptr<AudioOutput> output) {
    return std::make_unique<FluidSynthMidiDevice>(soundfont, std::move(output));
}

}  // namespace melnix
