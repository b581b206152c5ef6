// SPDX-License-Identifier: GPL-3.0-or-later
#include "mp4_reading.h"

#include <cstdio>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace melnix::test {
namespace {

// The order of the top-level boxes.
bool moovBeforeMdat(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    long offset = 0;
    bool result = false;
    unsigned char head[8];
    while (std::fread(head, 1, 8, f) == 8) {
        const uint32_t size = (uint32_t{head[0]} << 24) | (uint32_t{head[1]} << 16) | (uint32_t{head[2]} << 8) | head[3];
        if (std::memcmp(head + 4, "moov", 4) == 0) { result = true; break; }
        if (std::memcmp(head + 4, "mdat", 4) == 0 || size < 8) break;
        offset += size;
        std::fseek(f, offset, SEEK_SET);
    }
    std::fclose(f);
    return result;
}

}  // namespace

Mp4Contents readMp4(const std::string& path) {
    Mp4Contents out;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return out;
    avformat_find_stream_info(fmt, nullptr);
    out.opened = true;
    out.durationS = fmt->duration > 0 ? static_cast<double>(fmt->duration) / AV_TIME_BASE : 0;
    out.indexBeforeData = moovBeforeMdat(path);
    const int vi = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int ai = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    AVCodecContext* vc = nullptr;
    AVCodecContext* ac = nullptr;
    if (vi >= 0) {
        const AVCodec* c = avcodec_find_decoder(fmt->streams[vi]->codecpar->codec_id);
        out.videoCodec = avcodec_get_name(fmt->streams[vi]->codecpar->codec_id);
        vc = avcodec_alloc_context3(c);
        avcodec_parameters_to_context(vc, fmt->streams[vi]->codecpar);
        avcodec_open2(vc, c, nullptr);
        out.width = vc->width;
        out.height = vc->height;
    }
    if (ai >= 0) {
        const AVCodec* c = avcodec_find_decoder(fmt->streams[ai]->codecpar->codec_id);
        out.audioCodec = avcodec_get_name(fmt->streams[ai]->codecpar->codec_id);
        ac = avcodec_alloc_context3(c);
        avcodec_parameters_to_context(ac, fmt->streams[ai]->codecpar);
        avcodec_open2(ac, c, nullptr);
        out.sampleRate = ac->sample_rate;
    }
    SwsContext* sws = nullptr;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto takeVideo = [&] {
        while (avcodec_receive_frame(vc, frame) == 0) {
            sws = sws_getCachedContext(sws, frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                       frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
            QImage img(frame->width, frame->height, QImage::Format_RGB32);
            uint8_t* dst[1] = {img.bits()};
            int stride[1] = {static_cast<int>(img.bytesPerLine())};
            sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
            out.frames.push_back(img);
            out.frameTimes.push_back(static_cast<double>(frame->best_effort_timestamp) * av_q2d(fmt->streams[vi]->time_base));
        }
    };
    auto takeAudio = [&] {
        while (avcodec_receive_frame(ac, frame) == 0) {
            // AAC decodes to planar floats.
            const float* l = reinterpret_cast<const float*>(frame->extended_data[0]);
            out.left.insert(out.left.end(), l, l + frame->nb_samples);
        }
    };
    while (av_read_frame(fmt, pkt) >= 0) {
        if (vc && pkt->stream_index == vi && avcodec_send_packet(vc, pkt) >= 0) takeVideo();
        if (ac && pkt->stream_index == ai && avcodec_send_packet(ac, pkt) >= 0) takeAudio();
        av_packet_unref(pkt);
    }
    if (vc && avcodec_send_packet(vc, nullptr) >= 0) takeVideo();
    if (ac && avcodec_send_packet(ac, nullptr) >= 0) takeAudio();
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&vc);
    avcodec_free_context(&ac);
    avformat_close_input(&fmt);
    return out;
}

}  // namespace melnix::test
