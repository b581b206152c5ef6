// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/mpeg_header.h"

#include <cstring>

#include "common/byte_order.h"

namespace melnix {
namespace {

// kbit/s by [lsf][layer - 1][bit-rate index].
constexpr int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};

constexpr uint32_t kSyncMask = 0xFFE00000;
constexpr size_t kVbriOffset = 36;
constexpr uint32_t kXingFramesFlag = 1, kXingBytesFlag = 2, kXingTocFlag = 4, kXingQualityFlag = 8;
constexpr size_t kXingTocBytes = 100;
constexpr size_t kLameDelayAt = 21;  // after "LAME3.100", revision, lowpass, replay gain, flags, bit rate

uint32_t be32(const uint8_t* p) { return readBe32(p); }
constexpr uint8_t kId3FooterFlag = 0x10;
constexpr uint32_t kLayerIWithoutCrc = 0xFFFF0000;

}  // namespace

bool IsFrameHeader(uint32_t word) {
    return (word & kSyncMask) == kSyncMask && word < kLayerIWithoutCrc && ((word >> 17) & 3) != 0 &&
           ((word >> 12) & 15) != 15 && ((word >> 10) & 3) != 3 &&
           // version bits 01 are reserved: no decoder takes such a frame
           ((word >> 19) & 3) != 1;
}

bool DecodeFrameHeader(uint32_t word, MpegHeader& h) {
    if (!IsFrameHeader(word)) return false;
    MpegHeader d;
    d.mpeg25 = !(word & (1u << 20));
    d.lsf = d.mpeg25 || !(word & (1u << 19));
    d.crcProtected = !(word & (1u << 16));
    d.layer = 4 - static_cast<int>((word >> 17) & 3);
    d.samplingIndex = static_cast<int>((word >> 10) & 3) + (d.mpeg25 ? 6 : 3 * d.lsf);
    if (d.samplingIndex > 8) return false;
    d.bitrateIndex = static_cast<int>((word >> 12) & 15);
    if (d.bitrateIndex == 0) return false;  // free format
    d.padding = static_cast<int>((word >> 9) & 1);
    d.mode = static_cast<int>((word >> 6) & 3);
    d.modeExtension = static_cast<int>((word >> 4) & 3);
    d.stereo = d.mode == 3 ? 1 : 2;

    const int bitrate = kBitrates[d.lsf][d.layer - 1][d.bitrateIndex];
    const int rate = kSamplingRates[d.samplingIndex];
    switch (d.layer) {
        case 1:
            d.meanFrameBytes = 48000.0 * bitrate / rate;
            d.nominalFrameBytes = (12000 * bitrate / rate) * 4;
            d.frameBodyBytes = (12000 * bitrate / rate + d.padding) * 4 - 4;
            break;
        case 2:
            d.meanFrameBytes = 144000.0 * bitrate / rate;
            d.nominalFrameBytes = 144000 * bitrate / rate;
            d.frameBodyBytes = d.nominalFrameBytes + d.padding - 4;
            break;
        default:
            d.meanFrameBytes = 144000.0 * bitrate / (rate << static_cast<int>(d.lsf));
            d.nominalFrameBytes = 144000 * bitrate / (rate << static_cast<int>(d.lsf));
            d.frameBodyBytes = d.nominalFrameBytes + d.padding - 4;
            break;
    }
    h = d;
    return true;
}

bool ReadVbrTag(const uint8_t* frame, size_t size, const MpegHeader& h, VbrTag& tag) {
    tag = VbrTag{};
    // The Xing header follows the side information.
    size_t at = 4 + (h.stereo == 2 ? (h.lsf ? 17 : 32) : (h.lsf ? 9 : 17)) + (h.crcProtected ? 2 : 0);
    if (at + 8 <= size && (std::memcmp(frame + at, "Xing", 4) == 0 || std::memcmp(frame + at, "Info", 4) == 0)) {
        tag.variable = frame[at] == 'X';
        const uint32_t flags = be32(frame + at + 4);
        at += 8;
        if (flags & kXingFramesFlag) {
            if (at + 4 > size) return false;
            tag.frames = be32(frame + at);
            at += 4;
        }
        if (flags & kXingBytesFlag) at += 4;
        if (flags & kXingTocFlag) at += kXingTocBytes;
        if (flags & kXingQualityFlag) at += 4;
        if (at + kLameDelayAt + 3 <= size && std::memcmp(frame + at, "LAME", 4) == 0) {
            const uint8_t* d = frame + at + kLameDelayAt;
            tag.encoderDelay = d[0] << 4 | d[1] >> 4;
            tag.encoderPadding = (d[1] & 0x0F) << 8 | d[2];
        }
        return true;
    }
    // VBRI: version, delay, quality, bytes, then frames.
    if (kVbriOffset + 18 <= size && std::memcmp(frame + kVbriOffset, "VBRI", 4) == 0) {
        tag.variable = true;
        tag.frames = be32(frame + kVbriOffset + 14);
        return true;
    }
    return false;
}

bool SameStream(const MpegHeader& a, const MpegHeader& b) {
    return a.lsf == b.lsf && a.mpeg25 == b.mpeg25 && a.layer == b.layer && a.samplingIndex == b.samplingIndex;
}

int64_t id3v2TagBytes(const uint8_t* h) {
    if (std::memcmp(h, "ID3", 3) != 0) return 0;
    // The body's size: four bytes of seven bits each.
    const int64_t size = int64_t{h[6] & 0x7F} << 21 | (h[7] & 0x7F) << 14 | (h[8] & 0x7F) << 7 | (h[9] & 0x7F);
    return kId3HeaderBytes + size + ((h[5] & kId3FooterFlag) ? kId3HeaderBytes : 0);
}

}  // namespace melnix
