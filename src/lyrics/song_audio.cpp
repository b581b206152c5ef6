// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/song_audio.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/byte_order.h"
#include "common/mpeg_header.h"
#include "common/riff_reader.h"

namespace melnix {
namespace {

constexpr uint32_t kWaveForm = fourCC('W', 'A', 'V', 'E');
constexpr uint32_t kDataChunk = fourCC('d', 'a', 't', 'a');
// As far as the MP3 reader searches for the next header.
constexpr int64_t kMpegResyncLimit = 131072;
constexpr uint32_t kStreamBits = 0x001E0C00;  // version, layer, sampling rate

// Forward reading in windows; the frame walk touches every frame header.
class Window {
public:
    explicit Window(File& file) : file_(file), buf_(65536) {}

    const uint8_t* at(int64_t pos, size_t n) {
        if (pos < start_ || pos + static_cast<int64_t>(n) > start_ + static_cast<int64_t>(fill_)) {
            start_ = pos;
            fill_ = file_.seek(pos) ? file_.read(buf_.data(), buf_.size()) : 0;
        }
        if (pos + static_cast<int64_t>(n) > start_ + static_cast<int64_t>(fill_)) return nullptr;
        return buf_.data() + (pos - start_);
    }
    bool startsWith(int64_t pos, const char* tag) {
        const uint8_t* p = at(pos, 3);
        return p && std::memcmp(p, tag, 3) == 0;
    }

private:
    File& file_;
    std::vector<uint8_t> buf_;
    int64_t start_ = -1;
    size_t fill_ = 0;
};

// The frame length a header gives, 0 when the word is no header the MP3
// reader would take.
int mpegFrameBytes(uint32_t w) {
    MpegHeader h;
    if (!IsFrameHeader(w) || !DecodeFrameHeader(w, h)) return 0;
    return 4 + h.frameBodyBytes;
}

int64_t skipId3v2(Window& w, int64_t pos) {
    const uint8_t* t = w.at(pos, kId3HeaderBytes);
    return t ? pos + id3v2TagBytes(t) : pos;
}

int64_t mpegAudioEnd(Window& w, int64_t limit) {
    int64_t pos = 0;
    const bool tagged = w.startsWith(0, "ID3");
    for (int64_t next; (next = skipId3v2(w, pos)) != pos;) pos = next;
    const uint8_t* first = w.at(pos, 4);
    if (!first || (!tagged && mpegFrameBytes(readBe32(first)) == 0)) return 0;

    bool haveStream = false;
    uint32_t stream = 0;
    auto frameAt = [&](int64_t at, uint32_t streamWord) -> int {
        const uint8_t* p = w.at(at, 4);
        if (!p) return 0;
        const uint32_t word = readBe32(p);
        if ((word & kStreamBits) != (streamWord & kStreamBits)) return 0;
        return mpegFrameBytes(word);
    };
    // A frame counts when what follows it is another frame of the stream, a
    // tag or the limit: a lone header-like word inside other data does not.
    auto confirmedFrame = [&](int64_t at) -> int {
        const uint8_t* p = w.at(at, 4);
        if (!p) return 0;
        const uint32_t word = readBe32(p);
        const int n = frameAt(at, haveStream ? stream : word);
        if (n == 0) return 0;
        const int64_t next = at + n;
        if (next == limit) return n;
        if (next > limit) return 0;
        if (w.startsWith(next, "TAG") || w.startsWith(next, "ID3")) return n;
        return frameAt(next, haveStream ? stream : word) ? n : 0;
    };

    int64_t end = 0;
    while (pos + 4 <= limit) {
        if (const int n = confirmedFrame(pos)) {
            if (!haveStream) {
                haveStream = true;
                stream = readBe32(w.at(pos, 4));
            }
            end = pos + n;
            pos = end;
            continue;
        }
        if (w.startsWith(pos, "TAG")) break;
        if (const int64_t skipped = skipId3v2(w, pos); skipped != pos) {
            pos = skipped;
            continue;
        }
        int64_t found = -1;
        for (int64_t s = pos + 1; s + 4 <= limit && s - pos <= kMpegResyncLimit; ++s) {
            if (confirmedFrame(s)) {
                found = s;
                break;
            }
        }
        if (found < 0) break;
        pos = found;
    }
    return end;
}

int64_t riffAudioEnd(File& file, int64_t length) {
    if (!file.seek(0)) return 0;
    RiffReader riff(file);
    RiffChunk form;
    if (!riff.descend(form, nullptr, RiffReader::Find::Any) || form.id != kRiffId) return 0;
    if (form.formType != kWaveForm) return form.end() <= length ? form.end() : 0;
    RiffChunk data;
    if (!riff.descend(data, &form, RiffReader::Find::Chunk, kDataChunk)) return 0;
    // A size claiming more than the file holds cannot tell where the samples end.
    return data.end() <= length ? data.end() : data.dataOffset;
}

// Standard MIDI: the chunks one after the other, each a four-letter id and
// a big-endian size.
int64_t midiAudioEnd(Window& w, int64_t limit) {
    int64_t pos = 0;
    for (;;) {
        const uint8_t* p = w.at(pos, 8);
        if (!p || pos + 8 > limit ||
            !std::all_of(p, p + 4, [](uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }))
            return pos;
        const int64_t next = pos + 8 + readBe32(p + 4);
        if (next > limit) return pos;
        pos = next;
    }
}

}  // namespace

int64_t songAudioEnd(File& file, int64_t limit) {
    const int64_t length = file.length();
    limit = std::min(limit, length);
    Window w(file);
    const uint8_t* head = w.at(0, 4);
    if (!head) return 0;
    if (std::memcmp(head, "RIFF", 4) == 0) return std::min(riffAudioEnd(file, length), limit);
    if (std::memcmp(head, "MThd", 4) == 0) return midiAudioEnd(w, limit);
    return mpegAudioEnd(w, limit);
}

}  // namespace melnix
