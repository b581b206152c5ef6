// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/mp4_encoder.h"

#include "audio/ffmpeg_bounds.h"

#include <algorithm>
#include <array>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace melnix {
namespace {

// The rates AAC has a table entry for; others are resampled to 48 kHz.
constexpr std::array<int, 12> kAacRates = {96000, 88200, 64000, 48000, 44100, 32000,
                                           24000, 22050, 16000, 12000, 11025, 8000};

std::string averrorText(int e) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(e, buf, sizeof buf);
    return buf;
}

}  // namespace

struct Mp4Encoder::State {
    Mp4Settings settings;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* sws = nullptr;
    SwrContext* swr = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    int64_t videoPts = 0;
    int64_t audioPts = 0;
    bool headerWritten = false;
    bool finished = false;

    ~State() {
        if (format && headerWritten && !finished) av_write_trailer(format);
        if (format && format->pb) avio_closep(&format->pb);
        avformat_free_context(format);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        sws_freeContext(sws);
        swr_free(&swr);
        if (fifo) av_audio_fifo_free(fifo);
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_packet_free(&packet);
    }
};

Mp4Encoder::Mp4Encoder() { prepareFfmpeg(); }
Mp4Encoder::~Mp4Encoder() = default;

bool Mp4Encoder::fail(const std::string& what, int averror) {
    error_ = averror ? what + ": " + averrorText(averror) : what;
    return false;
}

bool Mp4Encoder::open(const std::string& path, const Mp4Settings& settings) {
    s_ = std::make_unique<State>();
    State& s = *s_;
    s.settings = settings;
    int e = avformat_alloc_output_context2(&s.format, nullptr, "mp4", path.c_str());
    if (e < 0 || !s.format) return fail("the MP4 writer cannot be set up", e);
    const bool globalHeader = (s.format->oformat->flags & AVFMT_GLOBALHEADER) != 0;

    const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
    if (!h264) return fail("FFmpeg has no H.264 encoder (libx264)");
    s.video = avcodec_alloc_context3(h264);
    s.video->width = settings.width;
    s.video->height = settings.height;
    s.video->time_base = AVRational{1, settings.fps};
    s.video->framerate = AVRational{settings.fps, 1};
    s.video->pix_fmt = AV_PIX_FMT_YUV420P;
    s.video->gop_size = settings.fps * 5;
    s.video->colorspace = AVCOL_SPC_SMPTE170M;
    s.video->color_primaries = AVCOL_PRI_SMPTE170M;
    s.video->color_trc = AVCOL_TRC_SMPTE170M;
    s.video->color_range = AVCOL_RANGE_MPEG;
    s.video->thread_count = 0;  // as many as the machine has
    if (globalHeader) s.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(s.video->priv_data, "preset", settings.preset.c_str(), 0);
    av_opt_set(s.video->priv_data, "crf", std::to_string(settings.crf).c_str(), 0);
    if ((e = avcodec_open2(s.video, h264, nullptr)) < 0) return fail("the H.264 encoder refused the settings", e);
    s.videoStream = avformat_new_stream(s.format, nullptr);
    if (!s.videoStream) return fail("the MP4 writer cannot add a video stream");
    avcodec_parameters_from_context(s.videoStream->codecpar, s.video);
    s.videoStream->time_base = s.video->time_base;

    s.sws = sws_getContext(settings.width, settings.height, AV_PIX_FMT_BGRA, settings.width, settings.height,
                           AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    s.picture = av_frame_alloc();
    s.picture->format = AV_PIX_FMT_YUV420P;
    s.picture->width = settings.width;
    s.picture->height = settings.height;
    if (!s.sws || av_frame_get_buffer(s.picture, 0) < 0) return fail("out of memory for the video frames");

    if (settings.sampleRate > 0) {
        const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!aac) return fail("FFmpeg has no AAC encoder");
        const int rate = std::find(kAacRates.begin(), kAacRates.end(), settings.sampleRate) != kAacRates.end()
                             ? settings.sampleRate
                             : 48000;
        s.audio = avcodec_alloc_context3(aac);
        s.audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
        s.audio->sample_rate = rate;
        av_channel_layout_default(&s.audio->ch_layout, 2);
        s.audio->bit_rate = settings.audioBitRate;
        s.audio->time_base = AVRational{1, rate};
        if (globalHeader) s.audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if ((e = avcodec_open2(s.audio, aac, nullptr)) < 0) return fail("the AAC encoder refused the settings", e);
        s.audioStream = avformat_new_stream(s.format, nullptr);
        if (!s.audioStream) return fail("the MP4 writer cannot add a sound stream");
        avcodec_parameters_from_context(s.audioStream->codecpar, s.audio);
        s.audioStream->time_base = s.audio->time_base;

        AVChannelLayout stereo;
        av_channel_layout_default(&stereo, 2);
        e = swr_alloc_set_opts2(&s.swr, &s.audio->ch_layout, AV_SAMPLE_FMT_FLTP, rate, &stereo, AV_SAMPLE_FMT_S16,
                                settings.sampleRate, 0, nullptr);
        if (e < 0 || (e = swr_init(s.swr)) < 0) return fail("the sound cannot be converted for AAC", e);
        s.fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, 2, std::max(s.audio->frame_size, 1024) * 4);
        s.sound = av_frame_alloc();
        if (!s.fifo || !s.sound) return fail("out of memory for the sound frames");
    }
    s.packet = av_packet_alloc();

    if ((e = avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0) return fail(path, e);
    AVDictionary* options = nullptr;
    // The index goes to the front once everything is written.
    av_dict_set(&options, "movflags", "+faststart", 0);
    e = avformat_write_header(s.format, &options);
    av_dict_free(&options);
    if (e < 0) return fail("the MP4 header cannot be written", e);
    s.headerWritten = true;
    return true;
}

bool Mp4Encoder::drain(void* codecPtr, void* streamPtr) {
    auto* codec = static_cast<AVCodecContext*>(codecPtr);
    auto* stream = static_cast<AVStream*>(streamPtr);
    State& s = *s_;
    for (;;) {
        int e = avcodec_receive_packet(codec, s.packet);
        if (e == AVERROR(EAGAIN) || e == AVERROR_EOF) return true;
        if (e < 0) return fail("the encoder failed", e);
        // Without its length the last frame falls out of the file's edit list.
        if (s.packet->duration == 0 && codec == s.video) s.packet->duration = 1;
        av_packet_rescale_ts(s.packet, codec->time_base, stream->time_base);
        s.packet->stream_index = stream->index;
        e = av_interleaved_write_frame(s.format, s.packet);
        if (e < 0) return fail("the file cannot be written", e);
        if (s.format->pb && s.format->pb->error < 0) return fail("the file cannot be written", s.format->pb->error);
    }
}

bool Mp4Encoder::writeVideo(const uint8_t* pixels, int stride) {
    if (!s_ || !s_->headerWritten) return fail("the file is not open");
    State& s = *s_;
    int e = av_frame_make_writable(s.picture);
    if (e < 0) return fail("out of memory for the video frames", e);
    const uint8_t* src[1] = {pixels};
    const int srcStride[1] = {stride};
    sws_scale(s.sws, src, srcStride, 0, s.settings.height, s.picture->data, s.picture->linesize);
    s.picture->pts = s.videoPts++;
    if ((e = avcodec_send_frame(s.video, s.picture)) < 0) return fail("the H.264 encoder failed", e);
    return drain(s.video, s.videoStream);
}

bool Mp4Encoder::writeAudio(const int16_t* samples, int frames) {
    if (!s_ || !s_->headerWritten) return fail("the file is not open");
    State& s = *s_;
    if (!s.audio || frames <= 0) return true;
    const int room = swr_get_out_samples(s.swr, frames);
    if (room < 0) return fail("the sound cannot be converted", room);
    if (av_audio_fifo_realloc(s.fifo, av_audio_fifo_size(s.fifo) + room) < 0) return fail("out of memory");
    // Straight into the FIFO's free space is not offered; convert through a frame.
    AVFrame* tmp = av_frame_alloc();
    tmp->format = AV_SAMPLE_FMT_FLTP;
    tmp->nb_samples = std::max(room, 1);
    av_channel_layout_default(&tmp->ch_layout, 2);
    int e = av_frame_get_buffer(tmp, 0);
    if (e >= 0) {
        const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(samples)};
        e = swr_convert(s.swr, tmp->data, room, in, frames);
        if (e > 0) av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(tmp->data), e);
    }
    av_frame_free(&tmp);
    if (e < 0) return fail("the sound cannot be converted", e);
    return encodeAudioFrames(false);
}

bool Mp4Encoder::encodeAudioFrames(bool flush) {
    State& s = *s_;
    const int size = s.audio->frame_size > 0 ? s.audio->frame_size : 1024;
    while (av_audio_fifo_size(s.fifo) >= size || (flush && av_audio_fifo_size(s.fifo) > 0)) {
        const int n = std::min(size, av_audio_fifo_size(s.fifo));
        av_frame_unref(s.sound);
        s.sound->format = AV_SAMPLE_FMT_FLTP;
        s.sound->nb_samples = n;
        s.sound->sample_rate = s.audio->sample_rate;
        av_channel_layout_default(&s.sound->ch_layout, 2);
        int e = av_frame_get_buffer(s.sound, 0);
        if (e < 0) return fail("out of memory for the sound frames", e);
        av_audio_fifo_read(s.fifo, reinterpret_cast<void**>(s.sound->data), n);
        s.sound->pts = s.audioPts;
        s.audioPts += n;
        if ((e = avcodec_send_frame(s.audio, s.sound)) < 0) return fail("the AAC encoder failed", e);
        if (!drain(s.audio, s.audioStream)) return false;
    }
    return true;
}

bool Mp4Encoder::finish() {
    if (!s_ || !s_->headerWritten) return fail("the file is not open");
    State& s = *s_;
    int e = avcodec_send_frame(s.video, nullptr);
    if (e < 0 && e != AVERROR_EOF) return fail("the H.264 encoder failed", e);
    if (!drain(s.video, s.videoStream)) return false;
    if (s.audio) {
        // What the resampler still holds.
        const int room = swr_get_out_samples(s.swr, 0);
        if (room > 0) {
            AVFrame* tmp = av_frame_alloc();
            tmp->format = AV_SAMPLE_FMT_FLTP;
            tmp->nb_samples = room;
            av_channel_layout_default(&tmp->ch_layout, 2);
            if (av_frame_get_buffer(tmp, 0) >= 0) {
                const int got = swr_convert(s.swr, tmp->data, room, nullptr, 0);
                if (got > 0) av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(tmp->data), got);
            }
            av_frame_free(&tmp);
        }
        if (!encodeAudioFrames(true)) return false;
        e = avcodec_send_frame(s.audio, nullptr);
        if (e < 0 && e != AVERROR_EOF) return fail("the AAC encoder failed", e);
        if (!drain(s.audio, s.audioStream)) return false;
    }
    s.finished = true;
    if ((e = av_write_trailer(s.format)) < 0) return fail("the MP4 index cannot be written", e);
    if (s.format->pb->error < 0) return fail("the file cannot be written", s.format->pb->error);
    if ((e = avio_closep(&s.format->pb)) < 0) return fail("the file cannot be closed", e);
    return true;
}

}  // namespace melnix
