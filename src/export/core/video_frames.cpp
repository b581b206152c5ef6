// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/video_frames.h"

#include "audio/ffmpeg_bounds.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace melnix {

struct VideoFrames::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* sws = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* decoded = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1};
    int width = 0, height = 0;
    // The picture on show and the one decoded ahead of it, scaled into
    // their places, with the times they start.
    std::unique_ptr<uint8_t[]> current, next;
    int pictureStride = 0;
    bool havePicture = false;
    bool haveNext = false;
    int64_t currentUs = 0, nextUs = 0;
    bool ended = false;
    int64_t lastUs = 0;
    int64_t durationUs = 0;

    ~State() {
        sws_freeContext(sws);
        av_frame_free(&decoded);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

VideoFrames::VideoFrames() = default;
VideoFrames::~VideoFrames() = default;

namespace {
int videoStream(AVFormatContext* format) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* st = format->streams[i];
        if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(st->disposition & AV_DISPOSITION_ATTACHED_PIC) &&
            st->codecpar->width >= 2 && st->codecpar->height >= 2)
            return static_cast<int>(i);
    }
    return -1;
}
}  // namespace

bool hasVideoPicture(const std::string& path) {
    prepareFfmpeg();
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
    const bool found = avformat_find_stream_info(format, nullptr) >= 0 && videoStream(format) >= 0;
    avformat_close_input(&format);
    return found;
}

bool VideoFrames::open(const std::string& path, int width, int height) {
    s_ = std::make_unique<State>();
    State& s = *s_;
    s.width = width;
    s.height = height;
    prepareFfmpeg();
    if (avformat_open_input(&s.format, path.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(s.format, nullptr) < 0) return false;
    s.stream = videoStream(s.format);
    if (s.stream < 0) return false;
    AVStream* st = s.format->streams[s.stream];
    const AVCodec* decoder = avcodec_find_decoder(st->codecpar->codec_id);
    if (!decoder) return false;
    s.codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(s.codec, st->codecpar);
    s.codec->thread_count = 1;  // the export's other threads keep the cores busy
    if (avcodec_open2(s.codec, decoder, nullptr) < 0) return false;
    s.timeBase = st->time_base;
    s.durationUs = s.format->duration > 0 ? s.format->duration : 0;
    s.packet = av_packet_alloc();
    s.decoded = av_frame_alloc();
    s.pictureStride = width * 4;
    const size_t bytes = static_cast<size_t>(s.pictureStride) * static_cast<size_t>(height);
    s.current = std::make_unique<uint8_t[]>(bytes);
    s.next = std::make_unique<uint8_t[]>(bytes);
    rewind();
    return s.havePicture;
}

int64_t VideoFrames::durationUs() const { return s_ ? s_->durationUs : 0; }

// Decodes the next picture into next; false at the end.
bool VideoFrames::decodeNext() {
    State& s = *s_;
    for (;;) {
        const int r = avcodec_receive_frame(s.codec, s.decoded);
        if (r == 0) break;
        if (r == AVERROR_EOF || (r != AVERROR(EAGAIN))) {
            s.ended = true;
            s.haveNext = false;
            return false;
        }
        const int got = av_read_frame(s.format, s.packet);
        if (got < 0) {
            avcodec_send_packet(s.codec, nullptr);
            continue;
        }
        if (s.packet->stream_index == s.stream) avcodec_send_packet(s.codec, s.packet);
        av_packet_unref(s.packet);
    }
    const int64_t pts = s.decoded->best_effort_timestamp != AV_NOPTS_VALUE ? s.decoded->best_effort_timestamp : 0;
    const int64_t start = s.format->streams[s.stream]->start_time != AV_NOPTS_VALUE
                              ? s.format->streams[s.stream]->start_time
                              : 0;
    s.nextUs = av_rescale_q(pts - start, s.timeBase, AVRational{1, 1000000});
    // Fitted into the frame, aspect kept.
    const int fw = s.decoded->width, fh = s.decoded->height;
    int w = s.width, h = static_cast<int>(int64_t{fh} * s.width / std::max(1, fw));
    if (h > s.height) {
        h = s.height;
        w = static_cast<int>(int64_t{fw} * s.height / std::max(1, fh));
    }
    w = std::max(2, w & ~1);
    h = std::max(2, h & ~1);
    s.sws = sws_getCachedContext(s.sws, fw, fh, static_cast<AVPixelFormat>(s.decoded->format), w, h, AV_PIX_FMT_BGRA,
                                 SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!s.sws) return false;
    for (int y = 0; y < s.height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(s.next.get() + static_cast<size_t>(y) * s.pictureStride);
        std::fill(line, line + s.width, 0xFF000000u);
    }
    const int x0 = (s.width - w) / 2, y0 = (s.height - h) / 2;
    uint8_t* dst[1] = {s.next.get() + static_cast<size_t>(y0) * s.pictureStride + static_cast<size_t>(x0) * 4};
    const int dstStride[1] = {s.pictureStride};
    sws_scale(s.sws, s.decoded->data, s.decoded->linesize, 0, fh, dst, dstStride);
    s.haveNext = true;
    return true;
}

void VideoFrames::rewind() {
    State& s = *s_;
    if (s.havePicture) {
        av_seek_frame(s.format, s.stream, 0, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(s.codec);
    }
    s.ended = false;
    s.haveNext = false;
    // The first picture shows from the start, whatever its own time.
    if (decodeNext()) {
        std::swap(s.current, s.next);
        s.currentUs = 0;
        s.havePicture = true;
        decodeNext();
    }
}

bool VideoFrames::frameAt(int64_t us, bool loop, uint8_t* pixels, int stride) {
    if (!s_ || !s_->havePicture) return false;
    State& s = *s_;
    if (loop && s.durationUs > 0) us %= s.durationUs;
    if (us < s.lastUs) rewind();
    s.lastUs = us;
    // The picture shown is the last one that has started by now.
    while (s.haveNext && s.nextUs <= us) {
        std::swap(s.current, s.next);
        s.currentUs = s.nextUs;
        decodeNext();
    }
    for (int y = 0; y < s.height; ++y)
        std::memcpy(pixels + static_cast<size_t>(y) * stride, s.current.get() + static_cast<size_t>(y) * s.pictureStride,
                    static_cast<size_t>(s.width) * 4);
    return true;
}

}  // namespace melnix
