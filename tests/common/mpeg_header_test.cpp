// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/mpeg_header.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A frame holding a tag where the side information ends: 36 bytes in for
// MPEG-1 stereo, 21 for MPEG-1 mono, 21 for MPEG-2 stereo.
std::vector<uint8_t> tagFrame(uint32_t word, size_t at, const std::string& tag, size_t size = 417) {
    std::vector<uint8_t> f(size, 0);
    for (int i = 0; i < 4; ++i) f[static_cast<size_t>(i)] = static_cast<uint8_t>(word >> (24 - 8 * i));
    std::copy(tag.begin(), tag.end(), f.begin() + static_cast<ptrdiff_t>(at));
    return f;
}

TEST(MpegHeader, ReadsXingInfoAndVbriTags) {
    using namespace std::string_literals;
    // "Xing", flags frames|bytes|toc|quality, 1234 frames, bytes, 100 TOC bytes,
    // quality, then LAME's tag with delay 576 and padding 1234 (0x240, 0x4D2).
    const std::string lame = "LAME3.100"s + std::string(12, '\0') + "\x24\x04\xD2"s;
    const std::string xing = "Xing\0\0\0\x0F\0\0\x04\xD2"s + std::string(4 + 100 + 4, '\0') + lame;
    const std::string info = "Info\0\0\0\x01\0\0\x00\x10"s;
    const std::string vbri = "VBRI\0\x01\0\0\0\0\0\0\0\0\0\0\x09\x99"s;  // version 1, frames 0x999
    struct Case {
        const char* what;
        uint32_t word;
        size_t at;
        std::string tag;
        bool found, variable;
        uint32_t frames;
        int delay, padding;
    } cases[] = {
        {"xing stereo", 0xFFFB9064, 36, xing, true, true, 1234, 576, 1234},
        {"xing mono", 0xFFFB90C4, 21, xing, true, true, 1234, 576, 1234},
        {"xing mpeg-2", 0xFFF39064, 21, xing, true, true, 1234, 576, 1234},
        {"info", 0xFFFB9064, 36, info, true, false, 16, -1, -1},
        {"vbri", 0xFFFB9064, 36, vbri, true, true, 0x999, -1, -1},
        {"xing at the mono place in a stereo frame", 0xFFFB9064, 21, xing, false, false, 0, -1, -1},
        {"none", 0xFFFB9064, 36, "LAME", false, false, 0, -1, -1},
    };
    for (const auto& c : cases) {
        MpegHeader h;
        ASSERT_TRUE(DecodeFrameHeader(c.word, h)) << c.what;
        const auto frame = tagFrame(c.word, c.at, c.tag);
        VbrTag tag;
        EXPECT_EQ(ReadVbrTag(frame.data(), frame.size(), h, tag), c.found) << c.what;
        EXPECT_EQ(tag.variable, c.variable) << c.what;
        EXPECT_EQ(tag.frames, c.frames) << c.what;
        EXPECT_EQ(tag.encoderDelay, c.delay) << c.what;
        EXPECT_EQ(tag.encoderPadding, c.padding) << c.what;
    }
    // A frame too short for what its flags announce holds no tag.
    MpegHeader h;
    ASSERT_TRUE(DecodeFrameHeader(0xFFFB9064, h));
    const auto cut = tagFrame(0xFFFB9064, 36, xing.substr(0, 10), 46);
    VbrTag tag;
    EXPECT_FALSE(ReadVbrTag(cut.data(), cut.size(), h, tag));
}

}  // namespace
}  // namespace melnix
