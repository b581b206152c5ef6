// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads what a WAV backend wrote and finds where the notes in it begin, so
// that tests can listen to rendered songs.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace melnix::test {

struct WavSound {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved

    size_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
    double lengthMs() const { return rate > 0 ? 1000.0 * static_cast<double>(frames()) / rate : 0; }
    // The louder channel of one frame.
    int level(size_t frame) const {
        int v = 0;
        for (int c = 0; c < channels; ++c)
            v = std::max(v, std::abs(static_cast<int>(samples[frame * static_cast<size_t>(channels) + static_cast<size_t>(c)])));
        return v;
    }
    // The highest level between two times.
    int peak(double fromMs = 0, double toMs = 1e12) const {
        const auto a = static_cast<size_t>(std::max(0.0, fromMs) * rate / 1000);
        const auto b = std::min(frames(), static_cast<size_t>(std::max(0.0, toMs) * rate / 1000));
        int p = 0;
        for (size_t f = a; f < b; ++f) p = std::max(p, level(f));
        return p;
    }
};

// 16-bit PCM only; false for anything else or a damaged file.
inline bool readWav(const std::string& path, WavSound& out) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
        return v;
    };
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return false;
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id = b.substr(at, 4);
        const size_t size = u32(at + 4);
        const size_t body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= b.size()) {
            out.channels = static_cast<uint8_t>(b[body + 2]) | static_cast<uint8_t>(b[body + 3]) << 8;
            out.rate = static_cast<int>(u32(body + 4));
            const int bits = static_cast<uint8_t>(b[body + 14]) | static_cast<uint8_t>(b[body + 15]) << 8;
            if (bits != 16 || out.channels < 1) return false;
            haveFormat = true;
        } else if (id == "data" && haveFormat) {
            const size_t n = std::min(size, b.size() - body) / 2;
            out.samples.resize(n);
            std::memcpy(out.samples.data(), b.data() + body, n * 2);
            return true;
        }
        at = body + size + (size & 1);
    }
    return false;
}

// Times (ms) at which the sound rises above fraction x the file's peak after
// having stayed below it for quietMs: the starts of well separated notes.
inline std::vector<double> onsetsMs(const WavSound& w, double fraction = 0.2, double quietMs = 150) {
    std::vector<double> out;
    const int threshold = static_cast<int>(w.peak() * fraction);
    const auto quiet = static_cast<int64_t>(quietMs * w.rate / 1000);
    int64_t lastLoud = -quiet - 1;
    for (size_t f = 0; f < w.frames(); ++f) {
        if (w.level(f) <= threshold) continue;
        const auto i = static_cast<int64_t>(f);
        if (i - lastLoud > quiet) out.push_back(1000.0 * static_cast<double>(f) / w.rate);
        lastLoud = i;
    }
    return out;
}

}  // namespace melnix::test
