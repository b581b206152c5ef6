// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small 16-bit stereo WAV song of a quiet tone, for tests that play.

#include <cmath>
#include <cstdint>
#include <string>

#include "support/test_files.h"

namespace melnix::test {

inline std::string toneWav(int seconds, int rate = 22050) {
    const int frames = rate * seconds;
    std::string data;
    data.reserve(static_cast<size_t>(frames) * 4);
    for (int i = 0; i < frames; ++i) {
        auto v = static_cast<int16_t>(2000 * std::sin(i * 0.05));
        for (int c = 0; c < 2; ++c) {
            data.push_back(static_cast<char>(v & 0xFF));
            data.push_back(static_cast<char>((v >> 8) & 0xFF));
        }
    }
    const std::string fmt = le32(16) + std::string("\x01\x00\x02\x00", 4) + le32(static_cast<uint32_t>(rate)) +
                            le32(static_cast<uint32_t>(rate * 4)) + std::string("\x04\x00\x10\x00", 4);
    const std::string body = "WAVE" + std::string("fmt ") + fmt + "data" + le32(static_cast<uint32_t>(data.size())) + data;
    return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

}  // namespace melnix::test
