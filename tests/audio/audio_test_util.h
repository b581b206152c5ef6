// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the wave engine's tests: scratch files, synthesized WAV
// songs and the fixture streams.

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file.h"

namespace melnix::test {

// A folder of this process's own (ctest runs test cases side by side), removed
// when the process ends.
inline std::string scratchPath(const std::string& name) {
    struct Folder {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("melnix-audio-tests-" + std::to_string(getpid()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    };
    static Folder folder;
    return (folder.path / name).string();
}

inline std::string fixturePath(const std::string& name) {
    return std::string(MELNIX_SOURCE_DIR) + "/tests/audio/fixtures/" + name;
}

inline std::string corpusPath(const std::string& name) {
    return std::string(MELNIX_CORPUS_DIR) + "/mpeg-audio/" + name;
}

inline bool corpusPresent() { return std::filesystem::exists(corpusPath("l3-hecommon.bit")); }

inline std::string readBytes(const std::string& path) {
    std::string s;
    readWholeFile(path, s, 64 << 20);
    return s;
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    File f;
    f.open(path, File::Mode::Create);
    f.write(bytes);
}

inline void putLe(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

inline std::string chunk(const char* id, const std::string& data) {
    std::string s(id, 4);
    putLe(s, static_cast<uint32_t>(data.size()), 4);
    s += data;
    if (data.size() & 1) s.push_back('\0');
    return s;
}

inline std::string fmtChunk(int rate, int channels, int bits, int tag = 1) {
    std::string f;
    const int align = channels * bits / 8;
    putLe(f, static_cast<uint32_t>(tag), 2);
    putLe(f, static_cast<uint32_t>(channels), 2);
    putLe(f, static_cast<uint32_t>(rate), 4);
    putLe(f, static_cast<uint32_t>(rate * align), 4);
    putLe(f, static_cast<uint32_t>(align), 2);
    putLe(f, static_cast<uint32_t>(bits), 2);
    return chunk("fmt ", f);
}

inline std::string riffWave(const std::string& chunks) {
    std::string s = "RIFF";
    putLe(s, static_cast<uint32_t>(chunks.size() + 4), 4);
    return s + "WAVE" + chunks;
}

inline std::string wavBytes(int rate, int channels, int bits, const std::string& data) {
    return riffWave(fmtChunk(rate, channels, bits) + chunk("data", data));
}

inline std::string samplesAsBytes(const std::vector<int16_t>& s) {
    return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

inline std::vector<int16_t> bytesAsSamples(const std::string& b, size_t from = 0) {
    std::vector<int16_t> s((b.size() - from) / 2);
    std::memcpy(s.data(), b.data() + from, s.size() * 2);
    return s;
}

// Stereo 16-bit frames whose left sample counts frames (modulo 30000) and
// whose right sample is its negative: every frame tells where it came from.
inline std::vector<int16_t> countingStereo(int frames) {
    std::vector<int16_t> s(static_cast<size_t>(frames) * 2);
    for (int k = 0; k < frames; ++k) {
        s[2 * static_cast<size_t>(k)] = static_cast<int16_t>(k % 30000);
        s[2 * static_cast<size_t>(k) + 1] = static_cast<int16_t>(-(k % 30000));
    }
    return s;
}

// The data chunk of a WAV file written by the WAV output (44-byte header).
inline std::vector<int16_t> wavOutputSamples(const std::string& path) {
    const std::string b = readBytes(path);
    return b.size() < 44 ? std::vector<int16_t>() : bytesAsSamples(b, 44);
}

}  // namespace melnix::test
