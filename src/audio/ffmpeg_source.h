// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Songs in the containers and codecs of today (FLAC, Ogg Vorbis, Opus,
// M4A/AAC, and the sound of anything else FFmpeg reads), decoded with
// libavformat and libavcodec and turned by libswresample into 16-bit
// interleaved stereo at the song's own rate. Blocks are whole frames of about
// 93 ms, as for WAV, so that positions count in blocks; a seek lands on the
// block boundary at or before the asked time, on the exact sample.

#include <cstdint>
#include <vector>

#include "audio/audio_source.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;

namespace melnix {

class FfmpegSource final : public AudioSource {
public:
    using AudioSource::AudioSource;
    ~FfmpegSource() override;

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

    int64_t totalFrames() const { return totalFrames_; }

private:
    // Opens the file and its decoder afresh: the one sure way to the start.
    bool OpenInput();
    void CloseInput();
    bool Fail(const std::string& why);
    // Decodes the next frame of the song and appends its PCM to pending_;
    // false at the end of the stream. Sets pendingPts_ to the frame's start
    // (in output frames from the song's start) when the container tells it.
    bool DecodeMore();
    // Counts the frames of a stream whose container does not tell its length.
    int64_t CountFrames();
    void Drop(size_t frames);
    bool DecodeForwardTo(int64_t frame);

    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int stream_ = -1;
    bool inputEnded_ = false;
    bool decoderEnded_ = false;

    int rate_ = 44100;
    int outChannels_ = 2;
    int swrChannels_ = 2;  // what swresample writes: 1 for a mono song
    int blockFrames_ = 4096;
    int64_t totalFrames_ = 0;
    int64_t originPts_ = INT64_MIN;  // stream time of the song's first sample

    std::vector<int16_t> pending_;  // decoded, not yet in a block
    int64_t pendingStart_ = 0;      // song frame of pending_[0]
    int64_t framePts_ = INT64_MIN;  // song frame where the last decoded frame starts, when known
    std::vector<int16_t> converted_;
    int lastFrames_ = 0;  // frames of the last decoded frame
    std::vector<int16_t> block_;
    size_t blockFill_ = 0;  // frames
    bool atStart_ = false;  // nothing handed out since the input was opened
};

}  // namespace melnix
