// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PCM WAV songs read in blocks of about 93 ms straight from the file's data
// chunk.

#include <string>
#include <vector>

#include "audio/audio_source.h"
#include "common/file.h"
#include "platform/audio_output.h"

namespace melnix {

constexpr uint16_t kWaveFormatPcm = 1;
constexpr int kMinWavRate = 8000;
constexpr int kMaxWavRate = 192000;
constexpr int kMaxWavChannels = 8;

// Why a format is refused (empty when it is one a song can have).
std::string wavFormatRefusal(const PcmFormat& format);

class WavSource final : public AudioSource {
public:
    using AudioSource::AudioSource;

    bool Open() override;
    bool Prepare() override;
    int ReadBlock() override;
    void DecodeBlock(BlockProcessor& out) override;
    bool SeekMs(int32_t ms) override;
    uint32_t BlockCount() const override;
    double MsPerBlock() const override;
    double LengthMs() const override;
    double NextBlockMs() const override;
    void Rewind() override;
    void Close() override;

    // Why the last Open failed, when the file was read but refused.
    const std::string& refusal() const { return refusal_; }

private:
    std::string refusal_;
    File file_;
    int64_t dataStart_ = 0;
    int64_t dataSize_ = 0;
    int64_t bytesLeft_ = 0;
    std::vector<int16_t> block_;
    size_t blockFill_ = 0;  // bytes of block_ read
    int frameBytes_ = 4;
};

}  // namespace melnix
