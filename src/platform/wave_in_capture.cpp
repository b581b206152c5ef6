// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wave_in_capture.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

namespace melnix {

std::mutex& sdlInitMutex();

namespace {

constexpr int kMaxLevel = 254;
constexpr int kLevelDivisor = 129;

void onAudio(void* userdata, Uint8* stream, int len) {
    static_cast<WaveInCapture*>(userdata)->deliver(reinterpret_cast<const int16_t*>(stream), len / 2);
}

// Recording goes with real sound: the silent and file outputs of tests and
// renders never touch a microphone.
bool soundChosen() {
    const char* choice = std::getenv("MELNIX_AUDIO");
    return !choice || std::string_view(choice).empty() || std::string_view(choice) == "sdl";
}

void quitSdl() {
    std::lock_guard lock(sdlInitMutex());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

int captureLevel(int magnitude) {
    const int level = magnitude / kLevelDivisor;
    return level > kMaxLevel ? kMaxLevel : level;
}

WaveInCapture::~WaveInCapture() { Close(); }

int WaveInCapture::Start() {
    if (device_ != 0) return 0;
    if (!soundChosen()) return 1;
    {
        std::lock_guard lock(sdlInitMutex());
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 2;
    }
    if (SDL_GetNumAudioDevices(1) <= 0) {
        quitSdl();
        return 3;
    }
    SDL_AudioSpec want{};
    want.freq = kCaptureRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kCaptureRing;
    want.callback = &onAudio;
    want.userdata = this;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
    if (dev == 0) {
        quitSdl();
        return 4;
    }
    device_ = dev;
    SDL_PauseAudioDevice(dev, 0);
    return 0;
}

void WaveInCapture::Pause() {
    if (device_ != 0) SDL_PauseAudioDevice(device_, 1);
}

void WaveInCapture::Resume() {
    if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

void WaveInCapture::Close() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    quitSdl();
}

void WaveInCapture::deliver(const int16_t* samples, int count) {
    uint64_t at = written_.load(std::memory_order_relaxed);
    for (int i = 0; i < count; ++i, ++at) ring_[at % kCaptureRing].store(samples[i], std::memory_order_relaxed);
    written_.store(at, std::memory_order_release);
}

int16_t WaveInCapture::NewestSample() const {
    const uint64_t n = written_.load(std::memory_order_acquire);
    return n == 0 ? ring_[0].load(std::memory_order_relaxed) : ring_[(n - 1) % kCaptureRing].load(std::memory_order_relaxed);
}

int WaveInCapture::RecentPeak() const {
    int peak = 0;
    for (const auto& s : ring_) {
        const int v = s.load(std::memory_order_relaxed);
        peak = std::max(peak, v < 0 ? -v : v);
    }
    return peak;
}

}  // namespace melnix
