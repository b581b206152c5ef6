// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio_output.h"

#include <cstdlib>
#include <cstring>

#include "common/byte_order.h"

namespace melnix {

bool PcmFormat::valid() const {
    return sampleRate > 0 && sampleRate <= 384000 && channels >= 1 && channels <= 8 &&
           (bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32);
}

namespace {

int64_t readSample(const uint8_t* p, int bytes) {
    switch (bytes) {
        case 1: return static_cast<int64_t>(p[0]) - 128;  // 8-bit PCM is unsigned
        case 2: return static_cast<int16_t>(readLe16(p));
        case 3: return static_cast<int32_t>(readLe24(p) << 8) >> 8;
        default: return static_cast<int32_t>(readLe32(p));
    }
}

void writeSample(uint8_t* p, int bytes, int64_t v) {
    if (bytes == 1) v += 128;
    auto u = static_cast<uint64_t>(v);
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}

}  // namespace

void applyVolume(uint8_t* data, size_t bytes, const PcmFormat& format, uint32_t leftRight) {
    if (leftRight == kFullVolume || !format.valid()) return;
    const int64_t gain[2] = {leftRight & 0xFFFF, leftRight >> 16};
    const int sampleBytes = format.bitsPerSample / 8;
    const size_t frameBytes = static_cast<size_t>(format.bytesPerFrame());
    for (size_t at = 0; at + frameBytes <= bytes; at += frameBytes) {
        for (int ch = 0; ch < format.channels; ++ch) {
            uint8_t* p = data + at + static_cast<size_t>(ch * sampleBytes);
            writeSample(p, sampleBytes, readSample(p, sampleBytes) * gain[ch & 1] / 0xFFFF);
        }
    }
}

std::unique_ptr<AudioOutput> createAudioOutput(std::string_view choice) {
    if (choice.empty() || choice == "sdl") return makeSdlAudioOutput();
    if (choice == "null") return makeNullAudioOutput();
    constexpr std::string_view kWavPrefix = "wav:";
    if (choice.substr(0, kWavPrefix.size()) == kWavPrefix && choice.size() > kWavPrefix.size())
        return makeWavAudioOutput(std::string(choice.substr(kWavPrefix.size())));
    return nullptr;
}

std::unique_ptr<AudioOutput> createAudioOutput() {
    const char* choice = std::getenv("MELNIX_AUDIO");
    return createAudioOutput(choice ? std::string_view(choice) : std::string_view());
}

}  // namespace melnix
