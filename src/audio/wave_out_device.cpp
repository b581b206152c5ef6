// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wave_out_device.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace melnix {
namespace {

// The step of every wait on the device.
constexpr auto kDeviceWaitStep = std::chrono::milliseconds(77);
constexpr uint32_t kSameForBothChannels = 65537;

}  // namespace

WaveOutDevice::WaveOutDevice(AudioStreamConfig& config, std::unique_ptr<AudioOutput> output)
    : config_(config), output_(std::move(output)) {}

bool WaveOutDevice::Open(bool settle) {
    Close();
    // The stream's own rate: a device that cannot take it refuses, rather
    // than playing it at another speed.
    const PcmFormat format{config_.sampleRate.load(), config_.channels, config_.bitsPerSample};
    if (!output_ || !output_->open(format)) {
        config_.lastError = kWaveErrorDevice;
        return false;
    }
    isOpen_ = true;
    paused_ = false;
    output_->reset();
    Pump();
    if (settle) std::this_thread::sleep_for(kDeviceWaitStep);
    if (volume_.load() == 0) volume_ = output_->volume();
    output_->setVolume(volume_.load());
    baseBlock = config_.blockIndex.load();
    return true;
}

void WaveOutDevice::Write(const uint8_t* data, size_t bytes) {
    // Every buffer is played, the first after an open too: a song that
    // starts on the beat keeps its attack, and a render is the whole song.
    Pump();
    while (queuedBuffers_ >= config_.maxQueuedBuffers && !paused_.load()) {
        std::this_thread::sleep_for(kDeviceWaitStep);
        Pump();
    }
    if (!output_ || !output_->write(data, bytes)) {
        config_.lastError = kWaveErrorDevice;
        throw AudioDeviceError("the audio output refused a buffer");
    }
    ++queuedBuffers_;
}

void WaveOutDevice::Pump() { queuedBuffers_ = output_ && isOpen_.load() ? output_->pendingBuffers() : 0; }

void WaveOutDevice::WaitForDrain() {
    Pump();
    while (queuedBuffers_ > 0) {
        if (paused_.load()) {
            // Paused buffers never finish; drop them.
            output_->reset();
            Pump();
            continue;
        }
        std::this_thread::sleep_for(kDeviceWaitStep);
        Pump();
    }
}

void WaveOutDevice::Reset() {
    ResetOutput();
    Pump();
}

void WaveOutDevice::ResetOutput() {
    if (output_) output_->reset();
}

void WaveOutDevice::Close() {
    if (!isOpen_.exchange(false)) return;
    output_->close();
    queuedBuffers_ = 0;
}

void WaveOutDevice::Pause() {
    paused_ = true;
    if (output_) output_->pause();
}

void WaveOutDevice::Restart() {
    paused_ = false;
    if (output_) output_->restart();
}

bool WaveOutDevice::Position(int64_t& samples) const {
    if (!output_ || !isOpen_.load()) return false;
    samples = output_->playedFrames();
    return true;
}

bool WaveOutDevice::SetVolume(uint32_t v) {
    volume_ = v <= 0xFFFF ? v * kSameForBothChannels : v;
    // Volume is applied in software: every output has it, open or not.
    if (output_) output_->setVolume(volume_.load());
    return output_ != nullptr;
}

}  // namespace melnix
