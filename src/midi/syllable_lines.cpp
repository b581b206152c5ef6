// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/syllable_lines.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <string_view>
#include <vector>

#include "common/mul_div.h"
#include "lyrics/lyric_text.h"
#include "midi/lyric_line_writer.h"

namespace melnix {
namespace {

// Spare time handed out at a line's end may bring each character up to this.
constexpr int32_t kMaxStretchedCharMs = 90;

int32_t clampMs(int64_t ms) {
    return static_cast<int32_t>(std::clamp<int64_t>(ms, 0, std::numeric_limits<int32_t>::max()));
}

bool isLineMark(char c) { return c == '/' || c == '\\'; }

bool onlyLineMarks(std::string_view s) {
    return std::all_of(s.begin(), s.end(), isLineMark);
}

bool onlySpaces(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

// Splits GBK text into characters; a lead byte with nothing after it is dropped.
std::vector<std::string> charactersOf(std::string_view text) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < text.size();) {
        size_t size = isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + size > text.size()) break;
        chars.emplace_back(text.substr(i, size));
        i += size;
    }
    return chars;
}

int64_t msOf(const std::vector<LineChar>& chars, size_t from, size_t to) {
    int64_t sum = 0;
    for (size_t k = from; k < to; ++k) sum += chars[k].ms;
    return sum;
}

// Characters waiting to become lines, with the time the first one starts.
struct LineBuffer {
    std::vector<LineChar> chars;
    int bytes = 0;
    int64_t startMs = 0;

    bool empty() const { return chars.empty(); }
    std::string text() const {
        std::string t;
        for (const LineChar& c : chars) t += c.bytes;
        return t;
    }
};

class SyllableLineBuilder {
public:
    SyllableLineBuilder(const RecordArray<MidiSyllable>& syllables, int32_t songLengthMs, LyricSheet& sheet)
        : syllables_(syllables), songLengthMs_(songLengthMs), writer_(sheet) {}

    int run() {
        for (int i = 0; i < syllables_.size(); ++i) take(i);
        return writer_.written();
    }

private:
    void take(int i) {
        const MidiSyllable& s = syllables_[i];
        std::string_view text = s.text;
        // 64 bits: damaged songs can put words near the end of 32-bit time.
        int64_t startMs = s.timeMs;
        const bool lineStart = buffer_.empty();
        if (lineStart) {
            if (writer_.hasPrevious() && startMs < writer_.previousEndMs()) return;
            while (!text.empty() && isLineMark(text.front())) text.remove_prefix(1);
            if (text.empty() || text.front() == '@' || onlySpaces(text)) return;
        }

        const MidiSyllable* next = syllables_.at(i + 1);
        bool endsLine = !next || (!next->text.empty() && isLineMark(next->text.front()));
        while (!text.empty() && isLineMark(text.back())) {
            text.remove_suffix(1);
            endsLine = true;
        }

        // Inside a line a syllable lasts until the next one; a line's last
        // syllable keeps its own length.
        int32_t durationMs = endsLine ? s.durationMs : std::max(next->timeMs - s.timeMs, 0);

        if (lineStart) {
            size_t spaces = text.find_first_not_of(' ');
            if (spaces > 0 && spaces != std::string_view::npos) {
                int32_t shift = MulDiv(durationMs, static_cast<int32_t>(spaces), static_cast<int32_t>(text.size()));
                startMs += shift;
                durationMs -= shift;
                text.remove_prefix(spaces);
            }
        }
        if (endsLine) {
            size_t kept = text.find_last_not_of(' ') + 1;  // npos + 1 == 0 for only spaces
            if (kept < text.size()) {
                durationMs = MulDiv(durationMs, static_cast<int32_t>(kept), static_cast<int32_t>(text.size()));
                text = text.substr(0, kept);
            }
        }

        if (buffer_.empty()) buffer_.startMs = startMs;
        addCharacters(text, durationMs);
        syllableEndMs_ = static_cast<int64_t>(startMs) + durationMs;
        nextStartMs_ = endsLine ? nextWordStart(i) : 0;
        breakLines(endsLine);
    }

    // The duration is shared evenly over the bytes: a two-byte character
    // gets two shares.
    void addCharacters(std::string_view text, int32_t durationMs) {
        const int32_t length = static_cast<int32_t>(text.size());
        int32_t at = 0;
        for (std::string& c : charactersOf(text)) {
            const int32_t size = static_cast<int32_t>(c.size());
            const int32_t ms = MulDiv(durationMs, at + size, length) - MulDiv(durationMs, at, length);
            at += size;
            if (buffer_.bytes + size > kLineBufferBytes) {
                // No room: the character's time stays with the line as a gap.
                if (!buffer_.empty()) buffer_.chars.back().ms += ms;
                continue;
            }
            buffer_.bytes += size;
            buffer_.chars.push_back({std::move(c), ms});
        }
    }

    int32_t nextWordStart(int i) const {
        for (int j = i + 1; j < syllables_.size(); ++j)
            if (!onlyLineMarks(syllables_[j].text)) return syllables_[j].timeMs;
        return songLengthMs_;
    }

    void breakLines(bool lineEnded) {
        while (!buffer_.empty() && (lineEnded || buffer_.bytes > kMaxLineBytes)) {
            size_t cut = buffer_.chars.size();
            if (buffer_.bytes > kMaxLineBytes) cut = charIndexAtByte(findBreakPosition(buffer_.text(), kMaxLineBytes));

            // Spaces around the break are dropped; their time is spare time.
            size_t keep = cut;
            while (keep > 0 && buffer_.chars[keep - 1].bytes == " ") --keep;
            size_t restFrom = cut;
            while (restFrom < buffer_.chars.size() && buffer_.chars[restFrom].bytes == " ") ++restFrom;
            const int64_t spareMs = msOf(buffer_.chars, keep, restFrom);
            const int64_t keptMs = msOf(buffer_.chars, 0, keep);

            std::vector<LineChar> line(buffer_.chars.begin(), buffer_.chars.begin() + static_cast<long>(keep));
            // The first kMinCharMs of spare time stay a gap after the line.
            int64_t handout = std::max<int64_t>(spareMs - kMinCharMs, 0);
            const int64_t needed = static_cast<int64_t>(kMinCharMs) * static_cast<int64_t>(keep);
            const bool wholeBuffer = restFrom == buffer_.chars.size();
            if (lineEnded && wholeBuffer && keptMs + handout < needed) {
                // Short line: borrow the pause before the next words.
                int64_t pause = static_cast<int64_t>(nextStartMs_) - kMinCharMs - syllableEndMs_;
                handout += std::max<int64_t>(pause, 0);
                handout = std::min(handout, std::max<int64_t>(kMaxStretchedCharMs * static_cast<int64_t>(keep) - keptMs, 0));
            }
            if (!line.empty())
                writer_.write(clampMs(buffer_.startMs), line, clampMs(handout), 0);

            const int64_t nextStart = buffer_.startMs + keptMs + spareMs;
            buffer_.chars.erase(buffer_.chars.begin(), buffer_.chars.begin() + static_cast<long>(restFrom));
            buffer_.bytes = 0;
            for (const LineChar& c : buffer_.chars) buffer_.bytes += static_cast<int>(c.bytes.size());
            buffer_.startMs = nextStart;
        }
    }

    size_t charIndexAtByte(int bytePos) const {
        int at = 0;
        size_t k = 0;
        while (k < buffer_.chars.size() && at < bytePos) at += static_cast<int>(buffer_.chars[k++].bytes.size());
        return k;
    }

    const RecordArray<MidiSyllable>& syllables_;
    const int32_t songLengthMs_;
    LyricLineWriter writer_;
    LineBuffer buffer_;
    int64_t syllableEndMs_ = 0;
    int32_t nextStartMs_ = 0;
};

}  // namespace

int BuildLinesFromSyllables(const RecordArray<MidiSyllable>& syllables, int32_t songLengthMs, LyricSheet& sheet) {
    return SyllableLineBuilder(syllables, songLengthMs, sheet).run();
}

}  // namespace melnix
