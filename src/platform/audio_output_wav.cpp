// SPDX-License-Identifier: GPL-3.0-or-later
// Writes what would be heard into a WAV file, as fast as it is given: every
// buffer is done the moment it is written. Used by tests and for rendering.
// Closing and opening again with the same format goes on in the same file; a
// different format starts the file over, as one header can describe only one.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "common/file.h"
#include "platform/audio_output.h"

namespace melnix {
namespace {

constexpr int kWavHeaderBytes = 44;
constexpr uint16_t kFormatPcm = 1;
constexpr int64_t kMaxDataBytes = 0xFFFFFFFFLL - kWavHeaderBytes;

void putLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> wavHeader(const PcmFormat& f, uint32_t dataBytes) {
    std::vector<uint8_t> h;
    h.reserve(kWavHeaderBytes);
    const auto align = static_cast<uint32_t>(f.bytesPerFrame());
    h.insert(h.end(), {'R', 'I', 'F', 'F'});
    putLe(h, dataBytes + kWavHeaderBytes - 8, 4);
    h.insert(h.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLe(h, 16, 4);
    putLe(h, kFormatPcm, 2);
    putLe(h, static_cast<uint32_t>(f.channels), 2);
    putLe(h, static_cast<uint32_t>(f.sampleRate), 4);
    putLe(h, static_cast<uint32_t>(f.sampleRate) * align, 4);
    putLe(h, align, 2);
    putLe(h, static_cast<uint32_t>(f.bitsPerSample), 2);
    h.insert(h.end(), {'d', 'a', 't', 'a'});
    putLe(h, dataBytes, 4);
    return h;
}

class WavAudioOutput final : public AudioOutput {
public:
    explicit WavAudioOutput(std::string path) : path_(std::move(path)) {}
    ~WavAudioOutput() override { close(); }

    const char* name() const override { return "wav"; }

    bool open(const PcmFormat& format) override {
        std::lock_guard lock(mutex_);
        finish();
        if (!format.valid()) return false;
        const bool sameFile = started_ && format.sampleRate == format_.sampleRate &&
                              format.channels == format_.channels && format.bitsPerSample == format_.bitsPerSample;
        if (sameFile) {
            if (!file_.open(path_, File::Mode::ReadWrite) || !file_.seek(kWavHeaderBytes + dataBytes_))
                return failed(file_.lastErrno());
        } else {
            format_ = format;
            dataBytes_ = 0;
            if (!file_.open(path_, File::Mode::Create)) return failed(file_.lastErrno());
            const auto h = wavHeader(format_, 0);
            if (!file_.write(h.data(), h.size())) {
                failed(file_.lastErrno());
                file_.close();
                return false;
            }
            started_ = true;
        }
        played_ = 0;
        return true;
    }

    void close() override {
        std::lock_guard lock(mutex_);
        finish();
    }

    bool isOpen() const override {
        std::lock_guard lock(mutex_);
        return file_.isOpen();
    }

    bool write(const void* data, size_t bytes) override {
        std::lock_guard lock(mutex_);
        if (!file_.isOpen()) return false;
        const size_t frameBytes = static_cast<size_t>(format_.bytesPerFrame());
        bytes = std::min<size_t>(bytes - bytes % frameBytes, static_cast<size_t>(kMaxDataBytes - dataBytes_));
        scratch_.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + bytes);
        applyVolume(scratch_.data(), scratch_.size(), format_, volume());
        // A buffer that cannot be written is done all the same, so whoever
        // waits for it goes on to the end and finds the failure there.
        played_ += static_cast<int64_t>(bytes / frameBytes);
        if (!failure_.empty() || !file_.write(scratch_.data(), scratch_.size())) return failed(file_.lastErrno());
        dataBytes_ += static_cast<int64_t>(bytes);
        return true;
    }

    int pendingBuffers() override { return 0; }

    int64_t playedFrames() override {
        std::lock_guard lock(mutex_);
        return played_;
    }

    void pause() override {}
    void restart() override {}

    void reset() override {
        std::lock_guard lock(mutex_);
        played_ = 0;
    }

    std::string failure() const override {
        std::lock_guard lock(mutex_);
        return failure_;
    }

private:
    // Remembers the first failure; always false, for the caller to return.
    bool failed(int err) {
        if (failure_.empty()) failure_ = std::strerror(err ? err : EIO);
        return false;
    }

    // Puts the sizes into the header and closes the file; a full disk often
    // shows only here.
    void finish() {
        if (!file_.isOpen()) return;
        const auto h = wavHeader(format_, static_cast<uint32_t>(dataBytes_));
        if (!file_.seek(0) || !file_.write(h.data(), h.size()) || !file_.sync()) failed(file_.lastErrno());
        file_.close();
    }

    mutable std::mutex mutex_;
    const std::string path_;
    File file_;
    PcmFormat format_;
    bool started_ = false;  // the file holds a header of format_
    int64_t dataBytes_ = 0;
    int64_t played_ = 0;
    std::vector<uint8_t> scratch_;
    std::string failure_;
};

}  // namespace

std::unique_ptr<AudioOutput> makeWavAudioOutput(const std::string& path) {
    return std::make_unique<WavAudioOutput>(path);
}

}  // namespace melnix
