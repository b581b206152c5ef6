#include "audio/mpeg_header.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

TEST(MpegHeader, DecodesEachVersionAndLayer) {
    struct Case {
        uint32_t word;
        int layer, rate, stereo;
        bool lsf, mpeg25, crc;
        int nominal, body;
    } cases[] = {
        {0xFFFB9064, 3, 44100, 2, false, false, false, 417, 413},  // MPEG-1 L3 128k joint stereo
        {0xFFFB9264, 3, 44100, 2, false, false, false, 417, 414},  // padded
        {0xFFFD18C0, 2, 32000, 1, false, false, false, 144, 140},  // MPEG-1 L2 32k mono
        {0xFFFEC000, 1, 44100, 2, false, false, true, 416, 412},   // MPEG-1 L1 384k with CRC
        {0xFFFEC200, 1, 44100, 2, false, false, true, 416, 416},  // L1 with padding: 4 bytes more
        {0xFFF310C4, 3, 22050, 1, true, false, false, 26, 22},     // MPEG-2 L3 8k mono
        {0xFFE31800, 3, 8000, 2, true, true, false, 72, 68},       // MPEG-2.5 L3 8k
    };
    for (const auto& c : cases) {
        MpegHeader h;
        ASSERT_TRUE(IsFrameHeader(c.word)) << std::hex << c.word;
        ASSERT_TRUE(DecodeFrameHeader(c.word, h)) << std::hex << c.word;
        EXPECT_EQ(h.layer, c.layer) << std::hex << c.word;
        EXPECT_EQ(kSamplingRates[h.samplingIndex], c.rate) << std::hex << c.word;
        EXPECT_EQ(h.stereo, c.stereo) << std::hex << c.word;
        EXPECT_EQ(h.lsf, c.lsf) << std::hex << c.word;
        EXPECT_EQ(h.mpeg25, c.mpeg25) << std::hex << c.word;
        EXPECT_EQ(h.crcProtected, c.crc) << std::hex << c.word;
        EXPECT_EQ(h.nominalFrameBytes, c.nominal) << std::hex << c.word;
        EXPECT_EQ(h.frameBodyBytes, c.body) << std::hex << c.word;
    }
}

TEST(MpegHeader, RefusesWhatIsNotAFrame) {
    struct Case {
        uint32_t word;
        const char* why;
    } cases[] = {
        {0xFFFF9000, "MPEG-1 Layer I without CRC: common in noise"},
        {0xFFFE9000, "the same, with CRC, is fine but 0xFFFF... is not"},
        {0xFFF99000, "layer 00"},
        {0xFFFBF000, "bit-rate index 15"},
        {0xFFFB9C00, "sampling index 3"},
        {0xFFEB9000, "reserved version"},
        {0xFFC00000, "incomplete sync"},
        {0x49443303, "ID3"},
    };
    for (const auto& c : cases) {
        const bool expected = c.word == 0xFFFE9000;
        EXPECT_EQ(IsFrameHeader(c.word), expected) << c.why;
    }
    MpegHeader h;
    EXPECT_TRUE(IsFrameHeader(0xFFFB0000));
    EXPECT_FALSE(DecodeFrameHeader(0xFFFB0000, h)) << "free format";
}

TEST(MpegHeader, FrameDurationsAreTheLayerIIIOnes) {
    EXPECT_FLOAT_EQ(kMsPerFrame[0], 26.122449f);
    EXPECT_FLOAT_EQ(kMsPerFrame[3], 26.122449f);
    EXPECT_FLOAT_EQ(kMsPerFrame[6], 52.244898f);
    EXPECT_EQ(kMsPerFrame[2], 36.0f);
    EXPECT_EQ(kMsPerFrame[8], 72.0f);
}

}  // namespace
}  // namespace melnix
