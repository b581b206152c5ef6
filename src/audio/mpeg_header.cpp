#include "audio/mpeg_header.h"

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
            d.nominalFrameBytes = (12000 * bitrate / rate) * 4;
            d.frameBodyBytes = (12000 * bitrate / rate + d.padding) * 4 - 4;
            break;
        case 2:
            d.nominalFrameBytes = 144000 * bitrate / rate;
            d.frameBodyBytes = d.nominalFrameBytes + d.padding - 4;
            break;
        default:
            d.nominalFrameBytes = 144000 * bitrate / (rate << static_cast<int>(d.lsf));
            d.frameBodyBytes = d.nominalFrameBytes + d.padding - 4;
            break;
    }
    h = d;
    return true;
}

bool SameStream(const MpegHeader& a, const MpegHeader& b) {
    return a.lsf == b.lsf && a.mpeg25 == b.mpeg25 && a.layer == b.layer && a.samplingIndex == b.samplingIndex;
}

}  // namespace melnix
