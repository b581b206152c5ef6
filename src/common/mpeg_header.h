// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// MPEG audio frame headers (MPEG-1, MPEG-2 and MPEG-2.5, Layers I to III):
// which 32-bit words count as a header, what they say, and how long their
// frames are.

#include <cstddef>
#include <cstdint>

namespace melnix {

constexpr int kSamplingRates[9] = {44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000};

// Frame duration by sampling index: the Layer III durations, used for every
// layer. Single precision, as lengths computed with them must come out the
// same to the millisecond.
constexpr float kMsPerFrame[9] = {26.122449f, 24.0f, 36.0f, 26.122449f, 24.0f, 36.0f, 52.244898f, 48.0f, 72.0f};

struct MpegHeader {
    bool lsf = false;     // MPEG-2 or 2.5
    bool mpeg25 = false;
    int layer = 0;        // 1..3
    int samplingIndex = 0;
    int bitrateIndex = 0;
    int padding = 0;
    int mode = 0;         // 3: single channel
    int modeExtension = 0;
    bool crcProtected = false;
    int stereo = 2;
    int frameBodyBytes = 0;     // after the 4 header bytes
    int nominalFrameBytes = 0;  // without padding
    // What the frames of a constant-rate stream average, padding included:
    // the frame count of such a stream is its bytes over this.
    double meanFrameBytes = 0;
};

// The header check: sync, and none of the reserved or forbidden values. A
// word from 0xFFFF0000 up is refused too: MPEG-1 Layer I without CRC, which
// noise is full of.
bool IsFrameHeader(uint32_t word);

// Decodes a word that passed IsFrameHeader. Free format (bit-rate index 0) is
// refused.
bool DecodeFrameHeader(uint32_t word, MpegHeader& h);

// What a variable-bit-rate stream's first frame says about the stream: a
// Xing ("Xing", or "Info" for a constant rate) or VBRI header with the count
// of the frames after it, and LAME's encoder delay and padding in samples.
struct VbrTag {
    bool variable = false;  // "Xing" or "VBRI"; false for "Info"
    uint32_t frames = 0;    // 0: not given
    int encoderDelay = -1;  // -1: no LAME extension
    int encoderPadding = -1;
};

// Reads the tag in a whole frame (its 4 header bytes first). False when the
// frame holds none.
bool ReadVbrTag(const uint8_t* frame, size_t size, const MpegHeader& h, VbrTag& tag);

// True when two headers belong to one stream: same version, layer and
// sampling rate.
bool SameStream(const MpegHeader& a, const MpegHeader& b);

// An ID3v2 tag, which may stand before (or between) the frames: the length
// of the whole tag from its 10-byte header (footer included), or 0 when the
// bytes are no tag header.
constexpr int kId3HeaderBytes = 10;
int64_t id3v2TagBytes(const uint8_t* header);

}  // namespace melnix
