// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ffmpeg_source.h"

#include "audio/ffmpeg_bounds.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <mutex>

#include "common/mul_div.h"

namespace melnix {
namespace {

constexpr int kBlockFramesAt44k = 4096;
constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;
// Rates outside these are refused; those between are resampled.
constexpr int kRefusedBelowRate = 1000;
constexpr int kRefusedAboveRate = 768000;
constexpr int kMostChannels = 64;
constexpr int kFallbackRate = 48000;
// Decoded before a seek's target and dropped: lossy decoders need some
// frames after a jump before their output is right.
constexpr int kSeekWarmUpMs = 200;
// A seek closer than this ahead decodes forward instead of jumping.
constexpr int kDecodeAheadMs = 1000;
// Frames decoded after a jump while looking for one that tells its time.
constexpr int kFramesToFindTime = 32;

}  // namespace

FfmpegSource::~FfmpegSource() { Close(); }

bool FfmpegSource::Fail(const std::string& why) {
    config_.errorText = why;
    CloseInput();
    return false;
}

void FfmpegSource::CloseInput() {
    if (frame_) av_frame_free(&frame_);
    if (packet_) av_packet_free(&packet_);
    if (swr_) swr_free(&swr_);
    if (codec_) avcodec_free_context(&codec_);
    if (format_) avformat_close_input(&format_);
    stream_ = -1;
    pending_.clear();
    pendingStart_ = 0;
    atStart_ = false;
}

bool FfmpegSource::OpenInput() {
    CloseInput();
    prepareFfmpeg();
    if (avformat_open_input(&format_, config_.filePath.c_str(), nullptr, nullptr) < 0) {
        format_ = nullptr;
        return Fail("not a sound or video file that can be read");
    }
    if (avformat_find_stream_info(format_, nullptr) < 0) return Fail("the file's streams cannot be read (cut off?)");
    const AVCodec* decoder = nullptr;
    stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream_ < 0)
        return Fail(stream_ == AVERROR_DECODER_NOT_FOUND ? "no decoder for the song's sound" : "the file holds no sound");
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (static_cast<int>(i) != stream_) format_->streams[i]->discard = AVDISCARD_ALL;
    const AVStream* st = format_->streams[stream_];
    codec_ = avcodec_alloc_context3(decoder);
    if (!codec_ || avcodec_parameters_to_context(codec_, st->codecpar) < 0) return Fail("the decoder cannot be set up");
    codec_->pkt_timebase = st->time_base;
    if (avcodec_open2(codec_, decoder, nullptr) < 0) return Fail("the decoder refused the song's sound");
    const int channels = codec_->ch_layout.nb_channels;
    if (codec_->sample_rate <= 0 || channels <= 0) return Fail("the sound has no rate or no channels");
    // No real song has such a rate: resampling 1 Hz up to 44.1 kHz would
    // make seconds of work out of every byte.
    if (codec_->sample_rate < kRefusedBelowRate || codec_->sample_rate > kRefusedAboveRate)
        return Fail("a sample rate of " + std::to_string(codec_->sample_rate) + " Hz is no song's");
    if (channels > kMostChannels) return Fail(std::to_string(channels) + " channels are more than a song has");

    rate_ = codec_->sample_rate >= kLowestRate && codec_->sample_rate <= kHighestRate ? codec_->sample_rate
                                                                                       : kFallbackRate;
    outChannels_ = config_.forceMono ? 1 : 2;
    // A mono song is converted as mono and copied to both channels at full
    // level, as MP3 songs are; everything else is mixed down by swresample.
    swrChannels_ = std::min(channels, outChannels_);
    AVChannelLayout in{};
    if (codec_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, channels);
    else
        av_channel_layout_copy(&in, &codec_->ch_layout);
    AVChannelLayout out{};
    av_channel_layout_default(&out, swrChannels_);
    const int r = swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_S16, rate_, &in, codec_->sample_fmt,
                                      codec_->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (r < 0 || swr_init(swr_) < 0) return Fail("the song's sound cannot be converted");
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!packet_ || !frame_) return Fail("out of memory");
    inputEnded_ = decoderEnded_ = false;
    framePts_ = INT64_MIN;
    atStart_ = true;
    return true;
}

bool FfmpegSource::Open() {
    Close();
    config_.isWav = false;
    config_.errorText.clear();
    originPts_ = INT64_MIN;
    if (!OpenInput()) return false;
    blockFrames_ = std::max(std::min(MulDiv(kBlockFramesAt44k, rate_, 44100), kBlockFramesAt44k), 1);
    block_.assign(static_cast<size_t>(blockFrames_ * outChannels_), 0);
    config_.sampleRate = rate_;
    config_.channels = outChannels_;
    config_.bitsPerSample = 16;
    config_.blockBytes = blockFrames_ * outChannels_ * 2;

    // The length from the container, unless it is only guessed from the bit
    // rate: then the stream is decoded once and counted.
    const AVStream* st = format_->streams[stream_];
    totalFrames_ = -1;
    if (format_->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE) {
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
            totalFrames_ = av_rescale_q(st->duration, st->time_base, AVRational{1, rate_});
        else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0)
            totalFrames_ = av_rescale_q(format_->duration, AVRational{1, AV_TIME_BASE}, AVRational{1, rate_});
    }
    if (totalFrames_ < 0) totalFrames_ = CountFrames();
    if (totalFrames_ <= 0) return Fail("no sound can be decoded from the file");
    return true;
}

int64_t FfmpegSource::CountFrames() {
    int64_t frames = 0;
    while (DecodeMore()) {
        frames += static_cast<int64_t>(pending_.size()) / outChannels_;
        pending_.clear();
    }
    return OpenInput() ? frames : -1;
}

bool FfmpegSource::Prepare() {
    if (!format_) return false;
    Rewind();
    if (!format_) return false;
    // The first frame fixes where the song starts in the stream's time.
    if (pending_.empty() && !DecodeMore()) {
        config_.errorText = "no sound can be decoded from the file";
        config_.lastError = kWaveErrorSource;
        return false;
    }
    config_.sampleRate = rate_;
    config_.channels = outChannels_;
    config_.bitsPerSample = 16;
    config_.blockBytes = blockFrames_ * outChannels_ * 2;
    return true;
}

bool FfmpegSource::DecodeMore() {
    for (;;) {
        if (decoderEnded_) return false;
        int r = avcodec_receive_frame(codec_, frame_);
        if (r == 0) {
            const int64_t pts = frame_->best_effort_timestamp;
            if (pts != AV_NOPTS_VALUE && originPts_ == INT64_MIN) originPts_ = pts;
            framePts_ = pts != AV_NOPTS_VALUE
                            ? av_rescale_q(pts - originPts_, format_->streams[stream_]->time_base, AVRational{1, rate_})
                            : INT64_MIN;
            const int room = swr_get_out_samples(swr_, frame_->nb_samples);
            converted_.resize(static_cast<size_t>(std::max(room, 0) * swrChannels_));
            auto* out = reinterpret_cast<uint8_t*>(converted_.data());
            const int n = swr_convert(swr_, &out, room, const_cast<const uint8_t**>(frame_->extended_data),
                                      frame_->nb_samples);
            av_frame_unref(frame_);
            lastFrames_ = std::max(n, 0);
            if (lastFrames_ == 0) continue;
            const size_t at = pending_.size();
            pending_.resize(at + static_cast<size_t>(lastFrames_ * outChannels_));
            if (swrChannels_ == outChannels_) {
                std::memcpy(pending_.data() + at, converted_.data(),
                            static_cast<size_t>(lastFrames_ * outChannels_) * sizeof(int16_t));
            } else {
                for (int i = 0; i < lastFrames_; ++i)
                    for (int c = 0; c < outChannels_; ++c)
                        pending_[at + static_cast<size_t>(i * outChannels_ + c)] = converted_[static_cast<size_t>(i)];
            }
            return true;
        }
        if (r == AVERROR_EOF) {
            decoderEnded_ = true;
            return false;
        }
        if (r != AVERROR(EAGAIN)) continue;  // damaged data: the decoder goes on with the next packet
        if (inputEnded_) {
            decoderEnded_ = true;
            return false;
        }
        r = av_read_frame(format_, packet_);
        if (r < 0) {
            // The end, or the file cut off: what was read is played.
            inputEnded_ = true;
            avcodec_send_packet(codec_, nullptr);
            continue;
        }
        // A damaged packet is refused by the decoder and skipped.
        if (packet_->stream_index == stream_) avcodec_send_packet(codec_, packet_);
        av_packet_unref(packet_);
    }
}

void FfmpegSource::Drop(size_t frames) {
    const size_t samples = std::min(frames * static_cast<size_t>(outChannels_), pending_.size());
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(samples));
    pendingStart_ += static_cast<int64_t>(samples) / outChannels_;
}

int FfmpegSource::ReadBlock() {
    if (!format_) return kEndOfData;
    // Up to the next block boundary: after a seek into a block the blocks
    // line up again.
    const int64_t toBoundary = blockFrames_ - pendingStart_ % blockFrames_;
    const auto want = static_cast<size_t>(toBoundary * outChannels_);
    while (pending_.size() < want && DecodeMore()) {
    }
    const size_t samples = std::min(pending_.size(), want);
    if (samples == 0) return kEndOfData;
    std::copy(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(samples), block_.begin());
    blockFill_ = samples / static_cast<size_t>(outChannels_);
    config_.blockFirstFrame = pendingStart_;
    Drop(blockFill_);
    atStart_ = false;
    return kBlockRead;
}

void FfmpegSource::DecodeBlock(BlockProcessor& out) {
    out.FlushBlock(block_.data(), blockFill_ * static_cast<size_t>(outChannels_) * 2, speedPercent, MsPerBlock());
}

bool FfmpegSource::DecodeForwardTo(int64_t target) {
    for (;;) {
        const int64_t have = static_cast<int64_t>(pending_.size()) / outChannels_;
        if (pendingStart_ + have > target) {
            Drop(static_cast<size_t>(target - pendingStart_));
            return true;
        }
        pendingStart_ += have;
        pending_.clear();
        if (!DecodeMore()) return pendingStart_ == target;
    }
}

bool FfmpegSource::SeekMs(int32_t ms) {
    if (!format_ || ms < 0) return false;
    // Exactly at the asked frame.
    const int64_t target = (static_cast<int64_t>(ms) * rate_ + 500) / 1000;
    const int64_t block = target / blockFrames_;
    if (target > totalFrames_) return false;
    atStart_ = false;

    bool landed = false;
    if (target >= pendingStart_ && target - pendingStart_ <= static_cast<int64_t>(rate_) * kDecodeAheadMs / 1000) {
        landed = DecodeForwardTo(target);
    } else if (originPts_ != INT64_MIN) {
        const AVStream* st = format_->streams[stream_];
        const int64_t preroll = st->codecpar->seek_preroll;
        const int64_t from = std::max<int64_t>(0, target - static_cast<int64_t>(rate_) * kSeekWarmUpMs / 1000 - preroll);
        const int64_t ts = originPts_ + av_rescale_q(from, AVRational{1, rate_}, st->time_base);
        if (avformat_seek_file(format_, stream_, INT64_MIN, ts, ts, 0) >= 0) {
            avcodec_flush_buffers(codec_);
            if (codec_->sample_rate != rate_) swr_init(swr_);
            inputEnded_ = decoderEnded_ = false;
            pending_.clear();
            // The first frame that tells its time says where the jump went.
            for (int i = 0; i < kFramesToFindTime && DecodeMore(); ++i) {
                if (framePts_ == INT64_MIN) continue;
                pendingStart_ = framePts_ - (static_cast<int64_t>(pending_.size()) / outChannels_ - lastFrames_);
                if (pendingStart_ <= target) landed = DecodeForwardTo(target);
                break;
            }
        }
    }
    if (!landed) {
        // From the start, decoding all the way: slow but sure.
        if (!OpenInput()) return false;
        atStart_ = false;
        if (!DecodeForwardTo(target)) return false;
    }
    config_.blockIndex = static_cast<int32_t>(block);
    return true;
}

uint32_t FfmpegSource::BlockCount() const { return static_cast<uint32_t>(totalFrames_ / blockFrames_); }

double FfmpegSource::MsPerBlock() const { return blockFrames_ * 1000.0 / rate_; }

double FfmpegSource::LengthMs() const { return static_cast<double>(totalFrames_) * 1000.0 / rate_; }

double FfmpegSource::NextBlockMs() const { return static_cast<double>(pendingStart_) * 1000.0 / rate_; }

void FfmpegSource::Rewind() {
    config_.blockIndex = 0;
    if (atStart_ || !format_) return;
    OpenInput();
}

void FfmpegSource::Close() {
    CloseInput();
    block_.clear();
    blockFill_ = 0;
}

}  // namespace melnix
