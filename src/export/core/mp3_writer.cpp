// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/mp3_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include "audio/ffmpeg_bounds.h"
#include "common/safe_save.h"

namespace melnix {
namespace {

// Input frames converted at a time: small buffers, cancel looked at often.
constexpr int kChunkFrames = 16384;

std::string averrorText(int e) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(e, buf, sizeof buf);
    return buf;
}

// MPEG-1 layer III (32, 44.1 and 48 kHz) is the only one that reaches
// 192 kbit/s, and what every player takes; other rates are resampled.
int mp3RateFor(int rate) {
    if (rate == 32000 || rate == 44100 || rate == 48000) return rate;
    return rate > 48000 && rate % 48000 == 0 ? 48000 : 44100;
}

struct Encoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwrContext* swr = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int64_t pts = 0;
    std::string error;

    ~Encoder() {
        if (format && format->pb) avio_closep(&format->pb);
        avformat_free_context(format);
        avcodec_free_context(&codec);
        swr_free(&swr);
        if (fifo) av_audio_fifo_free(fifo);
        av_frame_free(&frame);
        av_packet_free(&packet);
    }

    bool fail(const std::string& what, int averror = 0) {
        error = averror ? what + " (" + averrorText(averror) + ")" : what;
        return false;
    }

    bool open(const std::string& file, int inputRate, const Mp3Options& options) {
        const AVCodec* lame = avcodec_find_encoder_by_name("libmp3lame");
        if (!lame) lame = avcodec_find_encoder(AV_CODEC_ID_MP3);
        if (!lame) return fail("FFmpeg has no MP3 encoder (libmp3lame)");
        const int rate = mp3RateFor(inputRate);
        // LAME takes planar 16-bit or float; other encoders one of the two.
        int e = 0;
        for (AVSampleFormat sampleFormat : {AV_SAMPLE_FMT_S16P, AV_SAMPLE_FMT_FLTP}) {
            avcodec_free_context(&codec);
            codec = avcodec_alloc_context3(lame);
            if (!codec) return fail("out of memory for the MP3 encoder");
            codec->sample_fmt = sampleFormat;
            codec->sample_rate = rate;
            av_channel_layout_default(&codec->ch_layout, 2);
            codec->bit_rate = options.bitRate;
            codec->time_base = AVRational{1, rate};
            if ((e = avcodec_open2(codec, lame, nullptr)) >= 0) break;
        }
        if (e < 0) return fail("the MP3 encoder refused the settings", e);

        if ((e = avformat_alloc_output_context2(&format, nullptr, "mp3", nullptr)) < 0 || !format)
            return fail("the MP3 writer cannot be set up", e);
        stream = avformat_new_stream(format, nullptr);
        if (!stream) return fail("the MP3 writer cannot add a sound stream");
        avcodec_parameters_from_context(stream->codecpar, codec);
        stream->time_base = codec->time_base;
        if (!options.titleUtf8.empty()) av_dict_set(&format->metadata, "title", options.titleUtf8.c_str(), 0);
        if (!options.artistUtf8.empty()) av_dict_set(&format->metadata, "artist", options.artistUtf8.c_str(), 0);

        AVChannelLayout stereo;
        av_channel_layout_default(&stereo, 2);
        e = swr_alloc_set_opts2(&swr, &codec->ch_layout, codec->sample_fmt, rate, &stereo, AV_SAMPLE_FMT_S16,
                                inputRate, 0, nullptr);
        if (e < 0 || (e = swr_init(swr)) < 0) return fail("the sound cannot be converted for MP3", e);
        const int frameSize = codec->frame_size > 0 ? codec->frame_size : 1152;
        fifo = av_audio_fifo_alloc(codec->sample_fmt, 2, frameSize * 4);
        frame = av_frame_alloc();
        packet = av_packet_alloc();
        if (!fifo || !frame || !packet) return fail("out of memory for the MP3 encoder");

        if ((e = avio_open(&format->pb, file.c_str(), AVIO_FLAG_WRITE)) < 0) return fail("cannot be opened", e);
        if ((e = avformat_write_header(format, nullptr)) < 0) return fail("the MP3 header cannot be written", e);
        return true;
    }

    bool drain() {
        for (;;) {
            int e = avcodec_receive_packet(codec, packet);
            if (e == AVERROR(EAGAIN) || e == AVERROR_EOF) return true;
            if (e < 0) return fail("the MP3 encoder failed", e);
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if ((e = av_write_frame(format, packet)) < 0) return fail("the file cannot be written", e);
            av_packet_unref(packet);
            if (format->pb->error < 0) return fail("the file cannot be written", format->pb->error);
        }
    }

    // Converts frames of interleaved input (none: what the resampler holds)
    // into the FIFO.
    bool convert(const int16_t* samples, int frames) {
        const int room = swr_get_out_samples(swr, frames);
        if (room < 0) return fail("the sound cannot be converted", room);
        if (room == 0) return true;
        AVFrame* tmp = av_frame_alloc();
        if (!tmp) return fail("out of memory");
        tmp->format = codec->sample_fmt;
        tmp->nb_samples = room;
        av_channel_layout_default(&tmp->ch_layout, 2);
        int e = av_frame_get_buffer(tmp, 0);
        if (e >= 0) {
            const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(samples)};
            e = swr_convert(swr, tmp->data, room, samples ? in : nullptr, frames);
            if (e > 0 && av_audio_fifo_write(fifo, reinterpret_cast<void**>(tmp->data), e) < e)
                e = AVERROR(ENOMEM);
        }
        av_frame_free(&tmp);
        return e >= 0 || fail("the sound cannot be converted", e);
    }

    bool encodeQueued(bool flush) {
        const int size = codec->frame_size > 0 ? codec->frame_size : 1152;
        const bool smallLast = (codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
        while (av_audio_fifo_size(fifo) >= size || (flush && av_audio_fifo_size(fifo) > 0)) {
            const int n = std::min(size, av_audio_fifo_size(fifo));
            av_frame_unref(frame);
            frame->format = codec->sample_fmt;
            frame->nb_samples = n < size && !smallLast ? size : n;
            frame->sample_rate = codec->sample_rate;
            av_channel_layout_default(&frame->ch_layout, 2);
            int e = av_frame_get_buffer(frame, 0);
            if (e < 0) return fail("out of memory for the sound frames", e);
            if (frame->nb_samples > n)
                av_samples_set_silence(frame->data, n, frame->nb_samples - n, 2, codec->sample_fmt);
            av_audio_fifo_read(fifo, reinterpret_cast<void**>(frame->data), n);
            frame->pts = pts;
            pts += frame->nb_samples;
            if ((e = avcodec_send_frame(codec, frame)) < 0) return fail("the MP3 encoder failed", e);
            if (!drain()) return false;
        }
        return true;
    }

    bool finish() {
        if (!convert(nullptr, 0) || !encodeQueued(true)) return false;
        int e = avcodec_send_frame(codec, nullptr);
        if (e < 0 && e != AVERROR_EOF) return fail("the MP3 encoder failed", e);
        if (!drain()) return false;
        if ((e = av_write_trailer(format)) < 0) return fail("the MP3 file cannot be finished", e);
        if (format->pb->error < 0) return fail("the file cannot be written", format->pb->error);
        if ((e = avio_closep(&format->pb)) < 0) return fail("the file cannot be closed", e);
        return true;
    }
};

bool cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

}  // namespace

bool writeMp3(const SongAudio& audio, const std::string& path, const Mp3Options& options, std::string& error,
              const std::atomic<bool>* cancel, const std::function<void(int percent)>& progress) {
    prepareFfmpeg();
    if (audio.sampleRate <= 0 || audio.frames() == 0) {
        error = path + ": the song has no sound";
        return false;
    }
    SafeSave save;
    if (!save.begin(path)) {
        error = path + ": the folder cannot be written (" + std::strerror(save.lastErrno()) + ")";
        return false;
    }
    // The temporary file goes with save whatever happens before the commit.
    Encoder encoder;
    bool ok = encoder.open(save.tempPath(), audio.sampleRate, options);
    const int64_t total = audio.frames();
    int shown = -1;
    for (int64_t done = 0; ok && done < total;) {
        if (cancelled(cancel)) {
            error = "cancelled";
            return false;
        }
        const int n = static_cast<int>(std::min<int64_t>(kChunkFrames, total - done));
        ok = encoder.convert(audio.samples.data() + done * 2, n) && encoder.encodeQueued(false);
        done += n;
        const int percent = static_cast<int>(done * 100 / total);
        if (ok && progress && percent != shown) progress(shown = percent);
    }
    if (ok) ok = encoder.finish();
    if (!ok) {
        error = path + ": " + encoder.error;
        return false;
    }
    if (!save.commit()) {
        error = path + ": the file cannot be written (" + std::strerror(save.lastErrno()) + ")";
        return false;
    }
    return true;
}

}  // namespace melnix
