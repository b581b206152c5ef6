// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/companion_lyrics.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "common/file.h"
#include "lyrics/lyric_text.h"
#include "lyrics/lyric_text_stream.h"
#include "midi/lyric_line_writer.h"

namespace melnix {
namespace {

constexpr int kHeaderLines = 5;
constexpr size_t kMinTextLines = 13;
constexpr int kMinLineMarkers = 4;
constexpr int kTitleMarkers = 3;
constexpr int kMaxCompanionLineBytes = 200;
constexpr int32_t kTitleFirstCharMaxMs = 1000;  // the first title is placed at the end of its span
constexpr int32_t kTitleCharMaxMs = 800;
constexpr int32_t kSpaceMs = 30;  // a "/" inside a short line becomes a space this long
constexpr int32_t kMinRoomForSpaceMs = 60;
constexpr int32_t kMarkerDurationMask = 0x7FFF;

bool continues(const MidiSyllable& m) { return (m.durationMs & kMarkerContinues) != 0; }

bool isControl(unsigned char c) { return (c >= 1 && c <= 31) || c == 127; }

// Bytes of the character at i; 0 for a lead byte with nothing after it.
size_t charSize(std::string_view text, size_t i) {
    if (!isLeadByte(static_cast<unsigned char>(text[i]))) return 1;
    return i + 1 < text.size() ? 2 : 0;
}

// A character, or a group of characters written between two "#", that takes
// one marker; or a "/".
struct Token {
    std::vector<std::string> chars;
    bool slash = false;
    int bytes() const {
        int n = 0;
        for (const std::string& c : chars) n += static_cast<int>(c.size());
        return n;
    }
};

std::vector<Token> tokensOf(std::string_view text) {
    std::vector<Token> tokens;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '/') {
            tokens.push_back({{}, true});
            ++i;
            continue;
        }
        Token t;
        if (text[i] == '#') {
            ++i;
            while (i < text.size() && text[i] != '#') {
                size_t size = charSize(text, i);
                if (size == 0) break;
                t.chars.emplace_back(text.substr(i, size));
                i += size;
            }
            ++i;  // the closing "#"
            if (t.chars.empty()) continue;
        } else {
            size_t size = charSize(text, i);
            if (size == 0) break;
            t.chars.emplace_back(text.substr(i, size));
            i += size;
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

class CompanionLineBuilder {
public:
    CompanionLineBuilder(const RecordArray<MidiSyllable>& markers, LyricSheet& sheet)
        : markers_(markers), writer_(sheet) {}

    int run(const std::vector<std::string>& textLines) {
        int used = 0;  // markers taken by title lines
        for (size_t li = kHeaderLines; li < textLines.size() && m_ < markers_.size(); ++li) {
            const std::string& text = textLines[li];
            if (text.empty()) continue;
            if (used < kTitleMarkers) {
                titleLine(text, used == 0);
                ++m_;
                ++used;
            } else {
                textLine(text);
            }
        }
        return writer_.written();
    }

private:
    int32_t timeOf(int j) const { return markers_[j].timeMs; }

    // A marker lasts until the next one; the last one for its own duration.
    int32_t spanOf(int j) const {
        if (j + 1 < markers_.size()) return std::max(timeOf(j + 1) - timeOf(j), 0);
        return markers_[j].durationMs & kMarkerDurationMask;
    }

    void titleLine(const std::string& full, bool firstTitle) {
        std::string text = cutToBytes(full, kMaxLineBytes);
        std::vector<LineChar> chars;
        for (size_t i = 0; i < text.size();) {
            size_t size = charSize(text, i);
            if (size == 0) break;
            chars.push_back({text.substr(i, size), 0});
            i += size;
        }
        const int n = static_cast<int>(chars.size());
        if (n == 0) return;
        int64_t startMs = timeOf(m_);
        const int64_t endMs = (m_ + 1 < markers_.size() ? timeOf(m_ + 1) : startMs + spanOf(m_)) - kMinCharMs;
        int64_t span = endMs - startMs;
        if (firstTitle && span > kTitleFirstCharMaxMs * n) {
            span = kTitleFirstCharMaxMs * n;
            startMs = endMs - span;
        }
        span = std::min<int64_t>(span, kTitleCharMaxMs * n);
        std::vector<int32_t> shares = shareEvenly(static_cast<int32_t>(span), n);
        if (std::any_of(shares.begin(), shares.end(), [](int32_t t) { return t < kMinCharMs; })) return;
        for (int k = 0; k < n; ++k) chars[static_cast<size_t>(k)].ms = shares[static_cast<size_t>(k)];
        writer_.write(static_cast<int32_t>(startMs), chars, 0, kLineAltPlacement);
    }

    void textLine(const std::string& full) {
        while (m_ < markers_.size() && continues(markers_[m_])) ++m_;  // a text line begins without the flag
        if (m_ >= markers_.size()) return;
        std::string_view text = full;
        while (!text.empty() && text.front() == '/') text.remove_prefix(1);
        int visible = 0;
        for (char c : text) visible += (c != '/' && c != '#');
        const bool longLine = visible > kMaxLineBytes;

        bool firstToken = true;
        bool pendingSpace = false;
        for (const Token& t : tokensOf(text)) {
            if (t.slash) {
                if (longLine) flush();
                else pendingSpace = true;
                continue;
            }
            int marker = m_;
            if (!firstToken) {
                // The display line goes on only on markers that carry the flag.
                if (m_ + 1 >= markers_.size() || !continues(markers_[m_ + 1])) break;
                marker = m_ + 1;
            }
            firstToken = false;
            const int spaceBytes = pendingSpace && !chars_.empty() ? 1 : 0;
            if (bytes_ + spaceBytes + t.bytes() > kMaxLineBytes) {
                flush();
                pendingSpace = false;
            }
            m_ = marker;
            if (pendingSpace && !chars_.empty()) {
                LineChar& before = chars_.back();
                if (before.ms >= kMinRoomForSpaceMs && bytes_ < kMaxLineBytes) {
                    before.ms -= kSpaceMs;
                    chars_.push_back({" ", kSpaceMs});
                    ++bytes_;
                }
            }
            pendingSpace = false;
            if (chars_.empty()) firstMarker_ = m_;
            std::vector<int32_t> shares = shareEvenly(spanOf(m_), static_cast<int>(t.chars.size()));
            lastGroupSize_ = 0;
            for (size_t k = 0; k < t.chars.size() && bytes_ + static_cast<int>(t.chars[k].size()) <= kMaxLineBytes; ++k) {
                chars_.push_back({t.chars[k], shares[k]});
                bytes_ += static_cast<int>(t.chars[k].size());
                ++lastGroupSize_;
            }
        }
        flush();
        if (!firstToken) ++m_;
    }

    void flush() {
        if (chars_.empty()) return;
        // The last character (or closing group) lasts until the next marker
        // less the gap between lines, or for its marker's own length.
        const int32_t gap = m_ + 1 < markers_.size() ? timeOf(m_ + 1) - timeOf(m_) : 0;
        const int32_t lastMs = gap >= 2 * kMinCharMs ? gap - kMinCharMs : markers_[m_].durationMs & kMarkerDurationMask;
        const int group = std::min<int>(lastGroupSize_, static_cast<int>(chars_.size()));
        std::vector<int32_t> shares = shareEvenly(lastMs, group);
        for (int k = 0; k < group; ++k)
            chars_[chars_.size() - static_cast<size_t>(group) + static_cast<size_t>(k)].ms = shares[static_cast<size_t>(k)];

        if (m_ + 1 < markers_.size()) {
            const int64_t limit = static_cast<int64_t>(timeOf(m_ + 1)) - timeOf(firstMarker_) - kMinCharMs;
            std::vector<int32_t> times;
            for (const LineChar& c : chars_) times.push_back(c.ms);
            if (std::accumulate(times.begin(), times.end(), int64_t{0}) >= limit) {
                scaleToTotal(times, std::max<int64_t>(limit, 0));
                for (size_t k = 0; k < chars_.size(); ++k) chars_[k].ms = times[k];
            }
        }
        writer_.write(timeOf(firstMarker_), chars_, 0, 0);
        chars_.clear();
        bytes_ = 0;
    }

    const RecordArray<MidiSyllable>& markers_;
    LyricLineWriter writer_;
    int m_ = 0;  // the current marker
    int firstMarker_ = 0;
    std::vector<LineChar> chars_;  // the display line being built
    int bytes_ = 0;
    int lastGroupSize_ = 0;  // characters the last token added
};

}  // namespace

bool isCompanionFile(const std::string& path) {
    if (path.empty()) return false;
    File file;
    if (!file.open(path, File::Mode::Read)) return false;
    char head[kCompanionSignatureBytes];
    return file.readExact(head, sizeof head) && std::memcmp(head, kCompanionSignature, sizeof head) == 0;
}

std::vector<std::string> readCompanionLines(const std::string& path) {
    std::vector<std::string> lines;
    File file;
    if (!file.open(path, File::Mode::Read)) return lines;
    LyricTextStream stream(file);
    std::string raw;
    while (stream.readLine(raw, true) >= 0) {
        std::string line;
        for (char c : raw) {
            unsigned char u = static_cast<unsigned char>(c);
            if (isControl(u) || (c == ' ' && line.empty())) continue;
            line.push_back(c);
        }
        line = cutToBytes(line, kMaxCompanionLineBytes);
        trimRight(line);
        lines.push_back(std::move(line));
    }
    return lines;
}

int BuildLinesFromCompanion(const RecordArray<MidiSyllable>& markers, const std::vector<std::string>& textLines,
                            LyricSheet& sheet) {
    int lineStarts = 0;
    for (const MidiSyllable& m : markers) lineStarts += !continues(m);
    if (lineStarts < kMinLineMarkers || textLines.size() < kMinTextLines) return 0;
    return CompanionLineBuilder(markers, sheet).run(textLines);
}

}  // namespace melnix
