// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds small Standard MIDI Files byte by byte for the tests.

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_text.h"

namespace melnix::test {

inline void putVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while (v >>= 7) buf[n++] = static_cast<uint8_t>(0x80 | (v & 0x7F));
    while (n) out.push_back(buf[--n]);
}

inline void putBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

class SmfTrack {
public:
    // An event after `delta` ticks, written as given (status byte included
    // or left out for running status).
    SmfTrack& event(uint32_t delta, std::initializer_list<int> bytes) {
        putVarLen(data, delta);
        for (int b : bytes) data.push_back(static_cast<uint8_t>(b));
        return *this;
    }
    SmfTrack& meta(uint32_t delta, int type, const std::string& text) {
        putVarLen(data, delta);
        data.push_back(0xFF);
        data.push_back(static_cast<uint8_t>(type));
        putVarLen(data, static_cast<uint32_t>(text.size()));
        data.insert(data.end(), text.begin(), text.end());
        return *this;
    }
    SmfTrack& lyric(uint32_t delta, const std::string& text) { return meta(delta, 0x05, text); }
    SmfTrack& text(uint32_t delta, const std::string& t) { return meta(delta, 0x01, t); }
    SmfTrack& tempo(uint32_t delta, uint32_t us) {
        return event(delta, {0xFF, 0x51, 0x03, static_cast<int>(us >> 16 & 0xFF), static_cast<int>(us >> 8 & 0xFF),
                             static_cast<int>(us & 0xFF)});
    }
    SmfTrack& noteOn(uint32_t delta, int key, int velocity, int channel = 0) {
        return event(delta, {0x90 | channel, key, velocity});
    }
    SmfTrack& end(uint32_t delta = 0) { return event(delta, {0xFF, 0x2F, 0x00}); }

    std::vector<uint8_t> data;
};

inline std::vector<uint8_t> smfFile(const std::vector<SmfTrack>& tracks, uint16_t division = 480,
                                    int declaredTracks = -1, uint16_t format = 1) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    uint16_t count = static_cast<uint16_t>(declaredTracks >= 0 ? declaredTracks : static_cast<int>(tracks.size()));
    for (uint16_t v : {format, count, division}) {
        out.push_back(static_cast<uint8_t>(v >> 8));
        out.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    for (const SmfTrack& t : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        putBe32(out, static_cast<uint32_t>(t.data.size()));
        out.insert(out.end(), t.data.begin(), t.data.end());
    }
    return out;
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string fixturePath(const std::string& name) { return std::string(MELNIX_SOURCE_DIR) + "/tests/midi/" + name; }
inline std::string demoSongPath() { return std::string(MELNIX_SOURCE_DIR) + "/res/BHL.MID"; }

// The lyric model's rules for every line: 1..30 bytes of text, one time per
// character plus the end, strictly increasing from 0 to the duration, at
// least 3 units a character, at most 30000 a line, and 3 units between lines.
inline std::string modelRuleBreach(const LyricSheet& sheet) {
    for (int i = 0; i < sheet.lineCount(); ++i) {
        const LyricLine& l = *sheet.lineAt(i);
        const std::string at = "line " + std::to_string(i) + ": ";
        const int n = charCount(l.text);
        if (l.text.empty() || l.text.size() > 30) return at + "text length " + std::to_string(l.text.size());
        if (trimLyricText(l.text) != l.text) return at + "text not trimmed";
        if (l.charTimes.size() != static_cast<size_t>(n) + 1) return at + "charTimes size";
        if (l.charTimes.front() != 0 || l.charTimes.back() != l.duration) return at + "charTimes ends";
        for (size_t k = 1; k < l.charTimes.size(); ++k)
            if (l.charTimes[k] <= l.charTimes[k - 1]) return at + "charTimes not increasing";
        if (l.duration < 3 * n || l.duration > 30000) return at + "duration " + std::to_string(l.duration);
        if (i > 0) {
            const LyricLine& p = *sheet.lineAt(i - 1);
            if (l.startTime < p.startTime + p.duration + 3) return at + "too close to the line before";
        }
        if (l.startTime < 0) return at + "negative start";
    }
    return std::string();
}

}  // namespace melnix::test
