// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// MPEG audio songs. The framing is ours: the header check, ID3v2 tags skipped,
// the ID3v1 "TAG" taken as the end, garbage between frames skipped by a
// bounded search, and the audio ending at dataLength (a lyric block may follow
// it at the file's tail). Each frame is then decoded on its own by libmpg123
// into 16-bit interleaved PCM, which goes to the block processor in blocks of
// maxBlockBytes. When LAME's tag gives the encoder's delay and padding, the
// song is played gapless, as mpg123 and FFmpeg decode it: the delay and the
// decoder's own 529 samples are cut at the start, the padding at the end.

#include <atomic>
#include <climits>
#include <cstdint>
#include <vector>

#include "audio/audio_source.h"
#include "common/mpeg_header.h"
#include "common/file.h"

struct mpg123_handle_struct;

namespace melnix {

// How far the search for the next header goes before a read gives up.
constexpr int kResyncLimit = 131072;

class Mp3Source final : public AudioSource {
public:
    using AudioSource::AudioSource;
    ~Mp3Source() override;

    bool Open() override;
    bool Prepare() override;
    int ReadBlock() override;
    void DecodeBlock(BlockProcessor& out) override;
    void FlushPending(BlockProcessor& out) override;
    bool FormatChanged() override;
    bool SeekMs(int32_t ms) override;
    uint32_t BlockCount() const override;
    double MsPerBlock() const override;
    double LengthMs() const override;
    double NextBlockMs() const override;
    void Rewind() override;
    void Close() override;
    bool EndedEarly() const override;

    const MpegHeader& header() const { return header_; }
    bool headerChanged() const { return headerChanged_; }
    // A variable-rate stream: its length and seeking come from its frames.
    bool variableRate() const { return vbr_; }

private:
    bool ResetDecoder();
    // After the first frame: a Xing or VBRI tag, or else a scan of every
    // frame header, tells whether the rate varies and how many frames there are.
    void LearnFrames();
    // Decodes the frame just read; its PCM is dropped when discard is set.
    void Decode(BlockProcessor* out, bool discard);
    bool Acceptable(uint32_t word) const;
    // Buffered reading over file_: the search for a header goes byte by byte.
    size_t Read(void* dst, size_t n);  // throws AudioSourceError on a read error
    bool Seek(int64_t pos);
    int64_t Position() const;

    File file_;
    std::vector<uint8_t> buffer_;
    int64_t bufferStart_ = 0;  // file offset of buffer_[0]
    size_t bufferPos_ = 0;
    size_t bufferFill_ = 0;
    int64_t dataLength_ = 0;
    mpg123_handle_struct* decoder_ = nullptr;

    // The stream, as its first header says.
    bool haveStream_ = false;
    uint32_t streamWord_ = 0;
    std::atomic<int> samplingIndex_{0};
    std::atomic<int> nominalFrameBytes_{0};
    std::atomic<double> meanFrameBytes_{0};
    // Where the audio's first frame starts (past tags and an info frame),
    // and the frame count an "Info" tag gives (0: none).
    std::atomic<int64_t> firstFrameAt_{0};
    std::atomic<uint32_t> taggedFrames_{0};

    uint32_t previousHeader_ = 0;
    MpegHeader header_;
    bool headerChanged_ = false;
    std::vector<uint8_t> frame_;

    // Variable rate: frames counted from audioStart_ (past a Xing or VBRI
    // frame, which is no audio), the song's samples less LAME's delay and
    // padding when known (-1 otherwise).
    bool vbr_ = false;
    int64_t audioStart_ = 0;
    uint32_t vbrFrames_ = 0;
    // Samples are counted per channel from the first audio frame's first
    // decoded sample. The song is [trimStart_, trimEnd_) of them; songSamples_
    // is its length when a tag gives it (-1 otherwise).
    int64_t trimStart_ = 0;
    int64_t trimEnd_ = INT64_MAX;
    std::atomic<int64_t> songSamples_{-1};
    // The sample the decoder hands over next, and the first one a seek wants
    // (those before it are the seek's lead-in, decoded but not played).
    int64_t decodedAt_ = 0;
    int64_t playFrom_ = 0;
    // The decoder's output is counted in frames of the stream's rate; at a
    // forced output rate it is not, and seeks land on frame starts.
    bool countsExact() const;
    int64_t SamplesPerFrame() const;
    // Where each frame read so far starts, by frame index: seeks jump there.
    std::vector<int64_t> frameAt_;
    int64_t nextFrame_ = 0;

    std::vector<int16_t> pcm_;
    size_t pcmSamples_ = 0;
};

}  // namespace melnix
