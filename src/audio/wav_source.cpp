// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wav_source.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/mul_div.h"
#include "common/riff_reader.h"
#include "platform/audio_output.h"

namespace melnix {
namespace {

constexpr uint32_t kWaveForm = fourCC('W', 'A', 'V', 'E');
constexpr uint32_t kFmtChunk = fourCC('f', 'm', 't', ' ');
constexpr uint32_t kDataChunk = fourCC('d', 'a', 't', 'a');
constexpr uint32_t kPcmFormatBytes = 16;
constexpr int kBlockBytesAt44k = 16384;

uint16_t le16(const uint8_t* p) { return readLe16(p); }
uint32_t le32(const uint8_t* p) { return readLe32(p); }

}  // namespace

std::string wavFormatRefusal(const PcmFormat& format) {
    if (format.sampleRate < kMinWavRate || format.sampleRate > kMaxWavRate)
        return "sample rate " + std::to_string(format.sampleRate) + " Hz is outside 8000 to 192000 Hz";
    if (format.channels < 1 || format.channels > kMaxWavChannels)
        return std::to_string(format.channels) + " channels is outside 1 to 8";
    if (!format.valid()) return std::to_string(format.bitsPerSample) + "-bit samples are not 8, 16, 24 or 32 bits";
    return {};
}

bool WavSource::Open() {
    Close();
    refusal_.clear();
    config_.isWav = true;
    if (!file_.open(config_.filePath, File::Mode::Read)) return false;
    RiffReader riff(file_);
    RiffChunk form, fmt, data;
    uint8_t f[kPcmFormatBytes] = {};
    const bool ok = riff.descend(form, nullptr, RiffReader::Find::Riff, kWaveForm) &&
                    riff.descend(fmt, &form, RiffReader::Find::Chunk, kFmtChunk) && fmt.size >= sizeof f &&
                    file_.readExact(f, sizeof f) && le16(f) == kWaveFormatPcm && riff.ascend(fmt) &&
                    riff.descend(data, &form, RiffReader::Find::Chunk, kDataChunk) && data.size != 0 &&
                    data.dataOffset > 1;
    const uint32_t statedRate = le32(f + 4);
    const PcmFormat format{static_cast<int>(std::min<uint32_t>(statedRate, kMaxWavRate + 1)), le16(f + 2), le16(f + 14)};
    // A format we cannot frame would divide by zero further on; one no real
    // song has would have us play hours of nothing. The rate is told as the
    // file states it.
    refusal_ = !ok ? "not a PCM WAV file" : wavFormatRefusal(format);
    if (ok && statedRate > static_cast<uint32_t>(kMaxWavRate))
        refusal_ = "sample rate " + std::to_string(statedRate) + " Hz is outside 8000 to 192000 Hz";
    if (!refusal_.empty()) {
        config_.errorText = refusal_;
        Close();
        return false;
    }
    config_.channels = format.channels;
    config_.sampleRate = format.sampleRate;
    config_.bitsPerSample = format.bitsPerSample;

    // About 93 ms per block (16384 bytes of 44.1 kHz stereo), in whole frames.
    const int frameBytes = format.bytesPerFrame();
    int bytes = std::min(MulDiv(kBlockBytesAt44k, format.sampleRate, 44100), kBlockBytesAt44k) *
                std::max(format.channels, 1) / 2;
    bytes = std::min(bytes, kBlockBytesAt44k);
    config_.blockBytes = std::max(bytes - bytes % frameBytes, frameBytes);

    frameBytes_ = frameBytes;
    dataStart_ = data.dataOffset;
    // A size claiming more than the file holds would make the length wrong;
    // a trailing part of a frame is no sample.
    dataSize_ = std::min<int64_t>(data.size, file_.length() - dataStart_);
    dataSize_ -= dataSize_ % frameBytes;
    if (dataSize_ < frameBytes) {
        refusal_ = "the data chunk holds no whole sample frame";
        config_.errorText = refusal_;
        Close();
        return false;
    }
    block_.assign(static_cast<size_t>(config_.blockBytes) / 2 + 1, 0);
    Rewind();
    return true;
}

bool WavSource::Prepare() {
    if (!file_.isOpen()) return false;
    Rewind();
    return true;
}

void WavSource::Rewind() {
    file_.seek(dataStart_);
    bytesLeft_ = dataSize_;
    blockFill_ = 0;
    config_.blockIndex = 0;
}

int WavSource::ReadBlock() {
    // Up to the next block boundary: after a seek into a block the blocks
    // line up again, so blockIndex keeps telling where play is.
    const int64_t done = dataSize_ - bytesLeft_;
    const int64_t toBoundary = config_.blockBytes - done % config_.blockBytes;
    const auto want = static_cast<size_t>(std::min<int64_t>(toBoundary, bytesLeft_));
    if (want == 0) return kEndOfData;
    blockFill_ = file_.read(block_.data(), want);
    if (blockFill_ < want) return kEndOfData;
    bytesLeft_ -= static_cast<int64_t>(want);
    config_.blockFirstFrame = done / frameBytes_;
    return kBlockRead;
}

void WavSource::DecodeBlock(BlockProcessor& out) {
    out.FlushBlock(block_.data(), blockFill_, speedPercent, MsPerBlock());
}

double WavSource::MsPerBlock() const {
    const int framesPerBlock = config_.blockBytes / std::max(config_.channels, 1) / (config_.bitsPerSample / 8);
    return static_cast<double>(framesPerBlock) / config_.sampleRate.load() * 1000.0;
}

uint32_t WavSource::BlockCount() const {
    return static_cast<uint32_t>(dataSize_ / config_.blockBytes);
}

// Every frame counts, the last partial block's too.
double WavSource::LengthMs() const {
    return static_cast<double>(dataSize_ / frameBytes_) * 1000.0 / std::max(config_.sampleRate.load(), 1);
}

double WavSource::NextBlockMs() const {
    return static_cast<double>((dataSize_ - bytesLeft_) / frameBytes_) * 1000.0 /
           std::max(config_.sampleRate.load(), 1);
}

bool WavSource::SeekMs(int32_t ms) {
    if (!file_.isOpen() || ms < 0) return false;
    const int32_t frame = MulDiv(ms, config_.sampleRate.load(), 1000);
    if (frame < 0) return false;
    // Exactly at the asked frame; the next block ends on a block boundary.
    const int64_t offset = static_cast<int64_t>(frame) * frameBytes_;
    if (offset > dataSize_) return false;
    const int64_t old = file_.position();
    if (!file_.seek(dataStart_ + offset)) {
        file_.seek(old);
        return false;
    }
    bytesLeft_ = dataSize_ - offset;
    config_.blockIndex = static_cast<int32_t>(offset / config_.blockBytes);
    return true;
}

void WavSource::Close() { file_.close(); }

}  // namespace melnix
