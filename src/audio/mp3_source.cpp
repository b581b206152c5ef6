// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/mp3_source.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/byte_order.h"

namespace melnix {
namespace {

constexpr size_t kReadBufferBytes = 65536;
// Version, layer and sampling-rate bits: what the first header fixes.
constexpr uint32_t kStreamBits = 0x001E0C00;

uint32_t be32(const uint8_t* p) { return readBe32(p); }

bool startsWith(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 3) == 0; }

}  // namespace

Mp3Source::~Mp3Source() {
    Close();
    if (decoder_) mpg123_delete(decoder_);
}

bool Mp3Source::Open() {
    Close();
    config_.isWav = false;
    if (!file_.open(config_.filePath, File::Mode::Read)) return false;
    const int64_t size = file_.length();
    dataLength_ = config_.dataLength > 0 ? std::min(config_.dataLength, size) : size;
    buffer_.resize(kReadBufferBytes);
    config_.channels = config_.forceMono ? 1 : 2;
    config_.bitsPerSample = 16;
    pcm_.assign(static_cast<size_t>(std::max(config_.decodeBufferBytes, config_.maxBlockBytes * 2)) / 2, 0);
    haveStream_ = false;
    audioStart_ = 0;
    vbr_ = false;
    frameAt_.clear();
    Rewind();
    return true;
}

void Mp3Source::Close() {
    file_.close();
    bufferStart_ = 0;
    bufferPos_ = bufferFill_ = 0;
}

size_t Mp3Source::Read(void* dst, size_t n) {
    auto* out = static_cast<uint8_t*>(dst);
    size_t done = 0;
    while (done < n) {
        if (bufferPos_ == bufferFill_) {
            bufferStart_ += static_cast<int64_t>(bufferFill_);
            bufferPos_ = bufferFill_ = 0;
            const size_t got = file_.read(buffer_.data(), buffer_.size());
            if (file_.failed()) throw AudioSourceError("the song file cannot be read");
            if (got == 0) break;
            bufferFill_ = got;
        }
        const size_t take = std::min(n - done, bufferFill_ - bufferPos_);
        std::memcpy(out + done, buffer_.data() + bufferPos_, take);
        bufferPos_ += take;
        done += take;
    }
    return done;
}

bool Mp3Source::Seek(int64_t pos) {
    if (pos >= bufferStart_ && pos <= bufferStart_ + static_cast<int64_t>(bufferFill_)) {
        bufferPos_ = static_cast<size_t>(pos - bufferStart_);
        return true;
    }
    if (!file_.seek(pos)) return false;
    bufferStart_ = pos;
    bufferPos_ = bufferFill_ = 0;
    return true;
}

int64_t Mp3Source::Position() const { return bufferStart_ + static_cast<int64_t>(bufferPos_); }

bool Mp3Source::Acceptable(uint32_t word) const {
    // Once the stream is known, a header of another layer or rate is garbage
    // that happens to look like one; its frame would not decode as ours.
    return IsFrameHeader(word) && (!haveStream_ || (word & kStreamBits) == (streamWord_ & kStreamBits));
}

int Mp3Source::ReadBlock() {
    if (Position() >= dataLength_) return kEndOfData;
    uint8_t b[4];
    if (Read(b, 4) < 4) return kEndOfData;
    uint32_t word = be32(b);
    if (previousHeader_ != 0 && word == previousHeader_) {
        headerChanged_ = false;
    } else {
        headerChanged_ = true;
        while (!Acceptable(word)) {
            if (startsWith(b, "ID3")) {
                // Skip the whole tag, wherever it stands.
                const int64_t tagStart = Position() - 4;
                uint8_t h[kId3HeaderBytes];
                std::memcpy(h, b, 4);
                constexpr size_t kRest = kId3HeaderBytes - 4;
                if (Read(h + 4, kRest) < kRest) return kEndOfData;
                if (!Seek(tagStart + id3v2TagBytes(h)) || Read(b, 4) < 4) return kEndOfData;
                word = be32(b);
                continue;
            }
            if (startsWith(b, "TAG")) return kEndOfData;
            if (!config_.resyncAllowed) return kNothingUsable;
            for (int tried = 0; !Acceptable(word); ++tried) {
                if (tried == kResyncLimit) return kNothingUsable;
                if (Position() >= dataLength_ || Read(&b[0], 1) < 1) return kEndOfData;
                word = word << 8 | b[0];
            }
        }
        MpegHeader h;
        if (!DecodeFrameHeader(word, h)) {
            config_.lastError = kWaveErrorSource;
            return kNothingUsable;
        }
        if (!haveStream_) {
            haveStream_ = true;
            streamWord_ = word;
            samplingIndex_ = h.samplingIndex;
        }
        header_ = h;
        previousHeader_ = word;
        nominalFrameBytes_ = h.nominalFrameBytes;
        meanFrameBytes_ = h.meanFrameBytes;
    }

    const int64_t frameStart = Position() - 4;
    const auto body = static_cast<size_t>(header_.frameBodyBytes);
    frame_.resize(4 + body);
    frame_[0] = static_cast<uint8_t>(word >> 24);
    frame_[1] = static_cast<uint8_t>(word >> 16);
    frame_[2] = static_cast<uint8_t>(word >> 8);
    frame_[3] = static_cast<uint8_t>(word);
    const size_t got = Read(frame_.data() + 4, body);
    if (got == 0 || Position() > dataLength_) return kEndOfData;
    // A frame cut short by the end of the file is completed with silence.
    std::fill(frame_.begin() + 4 + static_cast<ptrdiff_t>(got), frame_.end(), 0);
    if (nextFrame_ == static_cast<int64_t>(frameAt_.size())) frameAt_.push_back(frameStart);
    ++nextFrame_;
    return kBlockRead;
}

bool Mp3Source::ResetDecoder() {
    if (!decoder_) {
        decoder_ = mpg123_new(nullptr, nullptr);
        if (!decoder_) return false;
    }
    // Frames come whole from our own reader: no read-ahead, no resync, no
    // tag or info-frame handling, no gapless trimming (every frame counts
    // for the position).
    long flags = MPG123_QUIET | MPG123_NO_READAHEAD | MPG123_NO_RESYNC | MPG123_IGNORE_INFOFRAME |
                 MPG123_IGNORE_STREAMLENGTH | (config_.forceMono ? MPG123_MONO_MIX : MPG123_FORCE_STEREO);
    const int channels = config_.forceMono ? MPG123_MONO : MPG123_STEREO;
    if (mpg123_param(decoder_, MPG123_FLAGS, flags, 0) != MPG123_OK ||
        mpg123_param(decoder_, MPG123_FORCE_RATE, std::max(config_.forcedOutputRate, 0), 0) != MPG123_OK ||
        mpg123_format_none(decoder_) != MPG123_OK)
        return false;
    for (int rate : kSamplingRates)
        if (mpg123_format(decoder_, rate, channels, MPG123_ENC_SIGNED_16) != MPG123_OK) return false;
    if (config_.forcedOutputRate > 0 &&
        mpg123_format(decoder_, config_.forcedOutputRate, channels, MPG123_ENC_SIGNED_16) != MPG123_OK)
        return false;
    return mpg123_open_feed(decoder_) == MPG123_OK;
}

bool Mp3Source::Prepare() {
    if (!file_.isOpen()) return false;
    if (!ResetDecoder()) {
        config_.lastError = kWaveErrorThread;
        return false;
    }
    // The first frame tells the stream.
    audioStart_ = 0;
    vbr_ = false;
    frameAt_.clear();
    Rewind();
    haveStream_ = false;
    int r;
    while ((r = ReadBlock()) == kNothingUsable) {
    }
    taggedFrames_ = 0;
    trimStart_ = 0;
    trimEnd_ = INT64_MAX;
    songSamples_ = -1;
    firstFrameAt_ = frameAt_.empty() ? 0 : frameAt_.front();
    if (r == kBlockRead) LearnFrames();
    Rewind();
    if (r != kBlockRead) {
        config_.lastError = kWaveErrorSource;
        return false;
    }
    config_.sampleRate = kSamplingRates[samplingIndex_.load()];
    config_.channels = config_.forceMono ? 1 : 2;
    config_.bitsPerSample = 16;
    return true;
}

int64_t Mp3Source::SamplesPerFrame() const {
    return std::lround(double{kMsPerFrame[samplingIndex_.load()]} * kSamplingRates[samplingIndex_.load()] / 1000.0);
}

bool Mp3Source::countsExact() const {
    return config_.forcedOutputRate <= 0 || config_.forcedOutputRate == kSamplingRates[samplingIndex_.load()];
}

void Mp3Source::LearnFrames() {
    VbrTag tag;
    const bool tagged = ReadVbrTag(frame_.data(), frame_.size(), header_, tag);
    // LAME's delay and padding make the song gapless: mpg123's decoder
    // delay of 529 samples comes on top of the encoder's.
    constexpr int64_t kDecoderDelay = 529;
    const int64_t trim = int64_t{tag.encoderDelay} + tag.encoderPadding;
    const int64_t frameSamples = int64_t{tag.frames} * SamplesPerFrame();
    if (tagged && tag.frames > 0 && tag.encoderDelay >= 0 && tag.encoderPadding >= 0 && trim < frameSamples &&
        countsExact()) {
        trimStart_ = tag.encoderDelay + kDecoderDelay;
        trimEnd_ = trimStart_ + frameSamples - trim;
        songSamples_ = frameSamples - trim;
    }
    if (tagged && tag.variable && tag.frames > 0) {
        vbr_ = true;
        audioStart_ = Position();
        vbrFrames_ = tag.frames;
        frameAt_.clear();
        nextFrame_ = 0;
        return;
    }
    // An "Info" tag says the rate is constant; its frame is no audio either,
    // and it may count the frames. Otherwise every header is read (the
    // bodies are skipped over in the read buffer) and counted.
    if (tagged) {
        audioStart_ = Position();
        firstFrameAt_ = audioStart_;
        frameAt_.clear();
        nextFrame_ = 0;
        taggedFrames_ = tag.frames;
        return;
    }
    const int bitrate = header_.bitrateIndex;
    bool varies = false;
    int r;
    while ((r = ReadBlock()) != kEndOfData)
        if (r == kBlockRead && header_.bitrateIndex != bitrate) varies = true;
    if (!varies) return;
    vbr_ = true;
    vbrFrames_ = static_cast<uint32_t>(frameAt_.size());
}

bool Mp3Source::EndedEarly() const {
    // A few frames of slack: encoders count the tag frame differently.
    constexpr int64_t kSlackFrames = 4;
    return vbr_ && vbrFrames_ > 0 && nextFrame_ + kSlackFrames < static_cast<int64_t>(vbrFrames_);
}

bool Mp3Source::FormatChanged() {
    if (!headerChanged_) return false;
    const int rate =
        config_.forcedOutputRate > 0 ? config_.forcedOutputRate : kSamplingRates[samplingIndex_.load()];
    if (rate == config_.sampleRate.load()) return false;
    config_.sampleRate = rate;
    return true;
}

void Mp3Source::DecodeBlock(BlockProcessor& out) { Decode(&out, false); }

void Mp3Source::Decode(BlockProcessor* out, bool discard) {
    if (!decoder_ || mpg123_feed(decoder_, frame_.data(), frame_.size()) != MPG123_OK) return;
    const size_t blockSamples = static_cast<size_t>(config_.maxBlockBytes) / 2;
    for (;;) {
        off_t num = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        const int r = mpg123_decode_frame(decoder_, &num, &audio, &bytes);
        if (r == MPG123_NEW_FORMAT) continue;
        if (r == MPG123_NEED_MORE) break;
        if (r != MPG123_OK) {
            // A frame the decoder chokes on may leave its bytes behind;
            // start clean so the next frame is read from its own header.
            mpg123_open_feed(decoder_);
            break;
        }
        const size_t channels = config_.forceMono ? 1 : 2;
        const auto frames = static_cast<int64_t>(bytes / 2 / channels);
        const int64_t first = decodedAt_;
        decodedAt_ += frames;
        // Only the song's own samples: not a seek's lead-in, not the codec's
        // delay and padding.
        const int64_t from = std::max(first, playFrom_), to = std::min(first + frames, trimEnd_);
        if (discard || !out || to <= from) continue;
        const size_t samples = static_cast<size_t>(to - from) * channels;
        if (pcmSamples_ + samples > pcm_.size()) pcm_.resize(pcmSamples_ + samples);
        std::memcpy(pcm_.data() + pcmSamples_, reinterpret_cast<const int16_t*>(audio) + (from - first) * static_cast<int64_t>(channels),
                    samples * 2);
        pcmSamples_ += samples;
        while (pcmSamples_ >= blockSamples) {
            out->FlushBlock(pcm_.data(), blockSamples * 2, speedPercent, MsPerBlock());
            pcmSamples_ -= blockSamples;
            std::memmove(pcm_.data(), pcm_.data() + blockSamples, pcmSamples_ * 2);
        }
    }
}

void Mp3Source::FlushPending(BlockProcessor& out) {
    if (pcmSamples_ == 0) return;
    out.FlushBlock(pcm_.data(), pcmSamples_ * 2, speedPercent, MsPerBlock());
    pcmSamples_ = 0;
}

uint32_t Mp3Source::BlockCount() const {
    if (vbr_) return vbrFrames_;
    if (taggedFrames_.load() > 0) return taggedFrames_.load();
    // The bytes of the audio over what a frame averages with its padding:
    // whole frames without the padding's share would count too many.
    const double mean = meanFrameBytes_.load();
    const int64_t audio = dataLength_ - firstFrameAt_.load();
    if (mean > 0 && audio > 0) return static_cast<uint32_t>(std::llround(static_cast<double>(audio) / mean));
    const int nominal = nominalFrameBytes_.load();
    return nominal > 0 ? static_cast<uint32_t>(dataLength_ / nominal) : 0;
}

double Mp3Source::MsPerBlock() const { return kMsPerFrame[samplingIndex_.load()]; }

double Mp3Source::LengthMs() const {
    const int64_t samples = songSamples_.load();
    if (samples >= 0) return static_cast<double>(samples) * 1000.0 / kSamplingRates[samplingIndex_.load()];
    return BlockCount() * MsPerBlock();
}

double Mp3Source::NextBlockMs() const {
    if (!countsExact()) return AudioSource::NextBlockMs();
    const int64_t channels = config_.forceMono ? 1 : 2;
    const int64_t next = std::max(decodedAt_, playFrom_) - static_cast<int64_t>(pcmSamples_) / channels - trimStart_;
    return static_cast<double>(std::max<int64_t>(next, 0)) * 1000.0 / kSamplingRates[samplingIndex_.load()];
}

void Mp3Source::Rewind() {
    if (file_.isOpen()) Seek(audioStart_);
    nextFrame_ = 0;
    previousHeader_ = 0;
    headerChanged_ = false;
    pcmSamples_ = 0;
    decodedAt_ = 0;
    playFrom_ = trimStart_;
    config_.blockIndex = 0;
}

bool Mp3Source::SeekMs(int32_t ms) {
    if (!file_.isOpen() || !haveStream_ || ms < 0) return false;
    // The frame that holds the asked sample; the samples before it in that
    // frame are decoded but not played.
    const int64_t spf = SamplesPerFrame();
    const bool exact = countsExact();
    const int64_t wanted = exact ? int64_t{ms} * kSamplingRates[samplingIndex_.load()] / 1000 + trimStart_ : 0;
    const auto target = exact ? wanted / spf : static_cast<int64_t>(ms / MsPerBlock());
    if (target > BlockCount()) return false;
    auto landed = [&] {
        pcmSamples_ = 0;
        decodedAt_ = target * spf;
        playFrom_ = exact ? std::max(wanted, trimStart_) : decodedAt_;
        config_.blockIndex = static_cast<int32_t>(target);
        return true;
    };
    const int32_t current = config_.blockIndex.load();
    if (target == current) return landed();

    const int64_t oldPosition = Position();
    const uint32_t oldHeaderWord = previousHeader_;
    const MpegHeader oldHeader = header_;
    if (target > 0 && target <= static_cast<int64_t>(frameAt_.size())) {
        // A frame read before: straight there. The frame before the target
        // is decoded without playing it, for the look-back the target needs.
        Seek(frameAt_[static_cast<size_t>(target - 1)]);
        previousHeader_ = 0;
        nextFrame_ = target - 1;
        if (ReadBlock() == kBlockRead) {
            Decode(nullptr, true);
            return landed();
        }
        Seek(oldPosition);
        previousHeader_ = oldHeaderWord;
        header_ = oldHeader;
        nextFrame_ = current;
    }
    if (target < current) Rewind();
    if (static_cast<int64_t>(frameAt_.size()) > config_.blockIndex.load() + 1 &&
        target > static_cast<int64_t>(frameAt_.size())) {
        // Read on from the last frame known.
        const int64_t known = static_cast<int64_t>(frameAt_.size()) - 1;
        Seek(frameAt_[static_cast<size_t>(known)]);
        previousHeader_ = 0;
        nextFrame_ = known;
        config_.blockIndex = static_cast<int32_t>(known);
    }
    // Skip frames unread up to the target; decode the target itself without
    // playing it, so that the next frame finds the look-back it needs.
    for (int64_t index = config_.blockIndex.load(); index < target;) {
        const int r = ReadBlock();
        if (r == kEndOfData) {
            Seek(oldPosition);
            previousHeader_ = oldHeaderWord;
            header_ = oldHeader;
            nextFrame_ = current;
            config_.blockIndex = current;
            return false;
        }
        if (r == kBlockRead && ++index == target) Decode(nullptr, true);
    }
    return landed();
}

}  // namespace melnix
