// SPDX-License-Identifier: GPL-3.0-or-later
// Plays through SDL2, which reaches the desktop's sound server (SDL_AUDIODRIVER
// is honoured). SDL pulls from our own queue of buffers in its callback, so a
// buffer is done exactly when its last frame has been handed to the device
// and volume changes are heard at once.

#include <SDL.h>

#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/audio_output.h"

namespace melnix {

// SDL's audio subsystem is counted; guard its start and end, which may come
// from different threads.
std::mutex& sdlInitMutex() {
    static std::mutex m;
    return m;
}

namespace {

constexpr Uint16 kDeviceFrames = 1024;  // about 23 ms at 44.1 kHz

class SdlAudioOutput final : public AudioOutput {
public:
    ~SdlAudioOutput() override {
        close();
        std::lock_guard lock(sdlInitMutex());
        if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    const char* name() const override { return "sdl"; }

    bool open(const PcmFormat& format) override {
        close();
        if (!format.valid()) return false;
        SDL_AudioFormat sdlFormat = 0;
        switch (format.bitsPerSample) {
            case 8: sdlFormat = AUDIO_U8; break;
            case 16: sdlFormat = AUDIO_S16LSB; break;
            case 32: sdlFormat = AUDIO_S32LSB; break;
            default: return false;  // SDL has no packed 24-bit format
        }
        {
            std::lock_guard lock(sdlInitMutex());
            if (!initialised_) {
                if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
                initialised_ = true;
            }
        }
        {
            std::lock_guard lock(mutex_);
            format_ = format;
            queue_.clear();
            readOffset_ = 0;
            played_ = 0;
        }
        SDL_AudioSpec want{};
        want.freq = format.sampleRate;
        want.format = sdlFormat;
        want.channels = static_cast<Uint8>(format.channels);
        want.samples = kDeviceFrames;
        want.callback = &SdlAudioOutput::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the device wants.
        std::lock_guard deviceLock(deviceMutex_);
        const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (dev == 0) return false;
        device_.store(dev);
        SDL_PauseAudioDevice(dev, 0);
        return true;
    }

    void close() override {
        {
            // Never hold mutex_ here: closing waits for a callback that may want it.
            std::lock_guard deviceLock(deviceMutex_);
            const SDL_AudioDeviceID dev = device_.exchange(0);
            if (dev != 0) SDL_CloseAudioDevice(dev);
        }
        std::lock_guard lock(mutex_);
        queue_.clear();
        readOffset_ = 0;
    }

    bool isOpen() const override { return device_.load() != 0; }

    bool write(const void* data, size_t bytes) override {
        if (device_.load() == 0) return false;
        const auto* p = static_cast<const uint8_t*>(data);
        std::vector<uint8_t> buffer(p, p + bytes);
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(buffer));
        return true;
    }

    int pendingBuffers() override {
        std::lock_guard lock(mutex_);
        return static_cast<int>(queue_.size());
    }

    int64_t playedFrames() override {
        std::lock_guard lock(mutex_);
        return played_;
    }

    void pause() override {
        std::lock_guard deviceLock(deviceMutex_);
        if (SDL_AudioDeviceID dev = device_.load()) SDL_PauseAudioDevice(dev, 1);
    }

    void restart() override {
        std::lock_guard deviceLock(deviceMutex_);
        if (SDL_AudioDeviceID dev = device_.load()) SDL_PauseAudioDevice(dev, 0);
    }

    void reset() override {
        std::lock_guard lock(mutex_);
        queue_.clear();
        readOffset_ = 0;
        played_ = 0;
    }

private:
    static void callback(void* user, Uint8* stream, int len) {
        static_cast<SdlAudioOutput*>(user)->fill(stream, static_cast<size_t>(len));
    }

    void fill(uint8_t* out, size_t len) {
        std::lock_guard lock(mutex_);
        const size_t frameBytes = static_cast<size_t>(format_.bytesPerFrame());
        const uint32_t vol = volume();
        size_t done = 0;
        while (done < len && !queue_.empty()) {
            std::vector<uint8_t>& front = queue_.front();
            const size_t n = std::min(len - done, front.size() - readOffset_);
            std::memcpy(out + done, front.data() + readOffset_, n);
            applyVolume(out + done, n, format_, vol);
            done += n;
            readOffset_ += n;
            played_ += static_cast<int64_t>(n / frameBytes);
            if (readOffset_ >= front.size()) {
                queue_.pop_front();
                readOffset_ = 0;
            }
        }
        std::memset(out + done, format_.bitsPerSample == 8 ? 0x80 : 0, len - done);
    }

    // SDL does not allow a device to be paused from one thread while another
    // closes it; deviceMutex_ orders open, close, pause and restart.
    std::mutex deviceMutex_;
    std::atomic<SDL_AudioDeviceID> device_{0};
    bool initialised_ = false;  // guarded by sdlInitMutex()
    std::mutex mutex_;          // guards everything below
    PcmFormat format_;
    std::deque<std::vector<uint8_t>> queue_;
    size_t readOffset_ = 0;
    int64_t played_ = 0;
};

}  // namespace

std::unique_ptr<AudioOutput> makeSdlAudioOutput() { return std::make_unique<SdlAudioOutput>(); }

}  // namespace melnix
