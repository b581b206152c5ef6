#pragma once
// PCM WAV songs read in blocks of about 93 ms straight from the file's data
// chunk.

#include <vector>

#include "audio/audio_source.h"
#include "common/file.h"

namespace melnix {

constexpr uint16_t kWaveFormatPcm = 1;

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
    void Rewind() override;
    void Close() override;

private:
    File file_;
    int64_t dataStart_ = 0;
    int64_t dataSize_ = 0;
    int64_t bytesLeft_ = 0;
    std::vector<int16_t> block_;
    size_t blockFill_ = 0;  // bytes of block_ read
};

}  // namespace melnix
