// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A MIDI stream device that records what the player gives it and gives the
// buffers back when the test says so, from the test's thread or another one.

#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/midi_stream_device.h"

namespace melnix::test {

// Shared between the test and the device, which the player owns.
struct FakeDeviceState {
    std::mutex mutex;
    MidiStreamCallback callback = nullptr;
    void* instance = nullptr;
    bool open = false;
    uint32_t division = 0;
    std::vector<std::vector<MidiStreamEvent>> queued;  // the events of every header queued, in order
    std::deque<MidiHeader*> inQueue;
    std::vector<uint32_t> shortMessages;
    int pauses = 0;
    int restarts = 0;
    int resets = 0;
    uint32_t positionMs = 0;
    bool returnOnReset = true;  // false: a driver that keeps its buffers
    int failOpen = kMidiOk;
    int failDivision = kMidiOk;
    int failRestart = kMidiOk;
    int failOutAt = -1;  // the index of the out() call that fails

    // Gives back the oldest queued buffer, as the device does when it has
    // played; false when none is queued.
    bool returnOne() {
        MidiHeader* h = nullptr;
        {
            std::lock_guard lock(mutex);
            if (inQueue.empty()) return false;
            h = inQueue.front();
            inQueue.pop_front();
        }
        h->flags.store((h->flags.load() & ~kMidiHeaderInQueue) | kMidiHeaderDone);
        callback(MidiStreamNotice::Done, instance, h);
        return true;
    }
    void returnAll() {
        while (returnOne()) {
        }
    }
    std::vector<MidiStreamEvent> allEvents() {
        std::lock_guard lock(mutex);
        std::vector<MidiStreamEvent> all;
        for (const auto& q : queued) all.insert(all.end(), q.begin(), q.end());
        return all;
    }
};

class FakeMidiDevice final : public MidiStreamDevice {
public:
    explicit FakeMidiDevice(std::shared_ptr<FakeDeviceState> s) : s_(std::move(s)) {}
    const char* name() const override { return "fake"; }
    int open(MidiStreamCallback callback, void* instance) override {
        std::lock_guard lock(s_->mutex);
        if (s_->failOpen != kMidiOk) return s_->failOpen;
        s_->callback = callback;
        s_->instance = instance;
        s_->open = true;
        return kMidiOk;
    }
    int close() override {
        reset();
        std::lock_guard lock(s_->mutex);
        s_->open = false;
        return kMidiOk;
    }
    int setTimeDivision(uint32_t division) override {
        std::lock_guard lock(s_->mutex);
        s_->division = division;
        return s_->failDivision;
    }
    int prepareHeader(MidiHeader& h) override {
        h.flags.fetch_or(kMidiHeaderPrepared);
        return kMidiOk;
    }
    int unprepareHeader(MidiHeader& h) override {
        if (h.flags.load() & kMidiHeaderInQueue) return kMidiErrorStillPlaying;
        h.flags.fetch_and(~kMidiHeaderPrepared);
        return kMidiOk;
    }
    int out(MidiHeader& h) override {
        std::lock_guard lock(s_->mutex);
        if (static_cast<int>(s_->queued.size()) == s_->failOutAt) return kMidiErrorGeneral;
        std::vector<MidiStreamEvent> ev(h.bytesRecorded / sizeof(MidiStreamEvent));
        std::memcpy(ev.data(), h.data, ev.size() * sizeof(MidiStreamEvent));
        s_->queued.push_back(std::move(ev));
        h.flags.fetch_or(kMidiHeaderInQueue);
        s_->inQueue.push_back(&h);
        return kMidiOk;
    }
    int restart() override {
        std::lock_guard lock(s_->mutex);
        ++s_->restarts;
        return s_->failRestart;
    }
    int pause() override {
        std::lock_guard lock(s_->mutex);
        ++s_->pauses;
        return kMidiOk;
    }
    int reset() override {
        bool give;
        {
            std::lock_guard lock(s_->mutex);
            ++s_->resets;
            s_->positionMs = 0;
            give = s_->returnOnReset;
        }
        if (give) s_->returnAll();
        return kMidiOk;
    }
    int positionMs(uint32_t& ms) override {
        std::lock_guard lock(s_->mutex);
        ms = s_->positionMs;
        return kMidiOk;
    }
    int shortMessage(uint32_t m) override {
        std::lock_guard lock(s_->mutex);
        s_->shortMessages.push_back(m);
        return kMidiOk;
    }
    bool idle() override {
        std::lock_guard lock(s_->mutex);
        return s_->inQueue.empty();
    }

private:
    std::shared_ptr<FakeDeviceState> s_;
};

}  // namespace melnix::test
