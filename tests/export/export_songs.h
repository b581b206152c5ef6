// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Songs for the export tests: a rising tone as a WAV file.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace melnix::test {

constexpr int kRate = 44100;

// A rising tone: its every stretch is unlike any other, so the sound can
// only line up with itself at one offset.
inline std::vector<int16_t> chirp(int seconds) {
    std::vector<int16_t> s;
    const int n = kRate * seconds;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double f = 200.0 + 1800.0 * i / n;
        phase += 2 * M_PI * f / kRate;
        const auto v = static_cast<int16_t>(9000 * std::sin(phase));
        s.push_back(v);
        s.push_back(v);
    }
    return s;
}

inline std::string wavOf(const std::vector<int16_t>& samples) {
    std::string data(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    const std::string fmt = le32(16) + std::string("\x01\x00\x02\x00", 4) + le32(kRate) +
                            le32(kRate * 4) + std::string("\x04\x00\x10\x00", 4);
    const std::string body = "WAVE" + std::string("fmt ") + fmt + "data" +
                             le32(static_cast<uint32_t>(data.size())) + data;
    return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

}  // namespace melnix::test
