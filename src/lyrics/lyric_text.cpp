// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lyrics/text_scan.h"

namespace melnix {
namespace {

std::string_view untilNul(std::string_view s) {
    size_t nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

// Full-width marks as GBK byte pairs.
// 、。，！．：？；．·”’】〗）》」』〕〉｝］
constexpr char kClosingWide[] =
    "\xA1\xA2\xA1\xA3\xA3\xAC\xA3\xA1\xA3\xAE\xA3\xBA\xA3\xBF\xA3\xBB\xA3\xAE\xA1\xA4\xA1\xB1\xA1\xAF"
    "\xA1\xBF\xA1\xBD\xA3\xA9\xA1\xB7\xA1\xB9\xA1\xBB\xA1\xB3\xA1\xB5\xA3\xFD\xA3\xDD";
// “‘【〖（《「『〔〈｛［
constexpr char kOpeningWide[] =
    "\xA1\xB0\xA1\xAE\xA1\xBE\xA1\xBC\xA3\xA8\xA1\xB6\xA1\xB8\xA1\xBA\xA1\xB2\xA1\xB4\xA3\xFB\xA3\xDB";
constexpr char kClosingNarrow[] = ";:?.,!>)]}\"";
constexpr char kOpeningNarrow[] = "<([{";

bool pairIn(const char* set, unsigned char a, unsigned char b) {
    for (size_t i = 0; set[i] && set[i + 1]; i += 2)
        if (static_cast<unsigned char>(set[i]) == a && static_cast<unsigned char>(set[i + 1]) == b)
            return true;
    return false;
}

enum class Mark { Neutral, Closing, Opening, Space };

struct Piece {
    int start;
    int size;
    Mark mark;
};

Mark classify(std::string_view s, int pos, int size) {
    if (pos <= 3) return Mark::Neutral;
    unsigned char a = byteAt(s, static_cast<size_t>(pos));
    if (size == 2) {
        unsigned char b = byteAt(s, static_cast<size_t>(pos) + 1);
        if (pairIn(kClosingWide, a, b)) return Mark::Closing;
        if (pairIn(kOpeningWide, a, b)) return Mark::Opening;
        return Mark::Neutral;
    }
    if (a == ' ') return Mark::Space;
    if (a && std::strchr(kClosingNarrow, a)) return Mark::Closing;
    if (a && std::strchr(kOpeningNarrow, a)) return Mark::Opening;
    return Mark::Neutral;
}

}  // namespace

bool isCharBoundary(std::string_view text, int pos) {
    text = untilNul(text);
    if (pos <= 0 || pos >= static_cast<int>(text.size())) return true;
    int i = 0;
    while (i < pos) i += isLeadByte(byteAt(text, static_cast<size_t>(i))) ? 2 : 1;
    return i == pos;
}

int charCount(std::string_view text) {
    text = untilNul(text);
    int n = 0;
    for (size_t i = 0; i < text.size();) {
        if (isLeadByte(byteAt(text, i))) {
            if (i + 1 >= text.size()) break;
            i += 2;
        } else {
            ++i;
        }
        ++n;
    }
    return n;
}

std::string trimLyricText(std::string_view text) {
    text = untilNul(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        unsigned char c = byteAt(text, i);
        if (isLeadByte(c)) {
            if (i + 1 >= text.size()) break;
            unsigned char d = byteAt(text, i + 1);
            if (d >= 0x20) {
                out.push_back(static_cast<char>(c));
                out.push_back(static_cast<char>(d));
            }
            i += 2;
            continue;
        }
        if (c >= 0x20 && !(c == ' ' && out.empty())) out.push_back(static_cast<char>(c));
        ++i;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

void trimRight(std::string& text) {
    text.resize(untilNul(text).size());
    for (;;) {
        while (!text.empty() && (text.back() == ' ' || text.back() == '\x7F')) text.pop_back();
        int last = static_cast<int>(text.size()) - 1;
        if (last >= 0 && isLeadByte(static_cast<unsigned char>(text[static_cast<size_t>(last)])) &&
            isCharBoundary(text, last)) {
            text.pop_back();
            continue;
        }
        return;
    }
}

std::string cutToBytes(std::string_view text, int limit) {
    text = untilNul(text);
    if (static_cast<int>(text.size()) <= limit) return std::string(text);
    int cut = isCharBoundary(text, limit) ? limit : limit - 1;
    return std::string(text.substr(0, static_cast<size_t>(cut)));
}

int findBreakPosition(std::string_view text, int limit) {
    text = untilNul(text);
    if (limit <= 0) return 0;
    if (!isCharBoundary(text, limit)) --limit;

    // Characters starting at 0..limit; the one starting at limit is the first
    // character of the next line.
    std::vector<Piece> pieces;
    int idxAtLimit = -1;
    for (int pos = 0; pos <= limit;) {
        int size = isLeadByte(byteAt(text, static_cast<size_t>(pos))) ? 2 : 1;
        if (pos == limit) idxAtLimit = static_cast<int>(pieces.size());
        pieces.push_back({pos, size, classify(text, pos, size)});
        pos += size;
    }
    if (idxAtLimit < 0) return limit;

    // Candidate: step back while the break would put closing punctuation at
    // the head of the next line or leave opening punctuation at the end.
    int j = idxAtLimit;
    while (pieces[static_cast<size_t>(j)].start > 3) {
        const Piece& next = pieces[static_cast<size_t>(j)];
        const Piece& prev = pieces[static_cast<size_t>(j - 1)];
        if (next.mark != Mark::Closing && prev.mark != Mark::Opening) break;
        --j;
    }
    if (pieces[static_cast<size_t>(j)].start <= 3) j = idxAtLimit;

    // Preferred: the latest break after a space or closing mark.
    for (int k = j; pieces[static_cast<size_t>(k)].start > 3; --k) {
        const Piece& next = pieces[static_cast<size_t>(k)];
        const Piece& prev = pieces[static_cast<size_t>(k - 1)];
        if ((prev.mark == Mark::Space || prev.mark == Mark::Closing) && next.mark != Mark::Closing)
            return next.start;
    }
    return pieces[static_cast<size_t>(j)].start;
}

int findBalancedBreak(std::string_view text, int target, int limit) {
    text = untilNul(text);
    limit = std::min(limit, static_cast<int>(text.size()));
    target = std::clamp(target, 1, std::max(limit, 1));
    std::vector<Piece> pieces;
    for (int pos = 0; pos <= limit && pos < static_cast<int>(text.size());) {
        const int size = isLeadByte(byteAt(text, static_cast<size_t>(pos))) ? 2 : 1;
        pieces.push_back({pos, size, classify(text, pos, size)});
        pos += size;
    }
    if (pieces.size() < 2) return limit;
    const int slack = std::max(4, target / 4);
    int best = -1;
    for (size_t k = 1; k < pieces.size(); ++k) {
        const Piece& next = pieces[k];
        const Piece& prev = pieces[k - 1];
        if (next.start <= 3 || next.start > limit || std::abs(next.start - target) > slack) continue;
        if ((prev.mark != Mark::Space && prev.mark != Mark::Closing) || next.mark == Mark::Closing) continue;
        if (best < 0 || std::abs(next.start - target) < std::abs(best - target)) best = next.start;
    }
    if (best >= 0) return best;
    size_t j = 1;
    while (j + 1 < pieces.size() && pieces[j].start < target) ++j;
    if (pieces[j].start > limit) --j;
    const size_t plain = j;
    while (j > 1 && pieces[j].start > 3 && (pieces[j].mark == Mark::Closing || pieces[j - 1].mark == Mark::Opening)) --j;
    if (pieces[j].start <= 3) j = plain;
    return pieces[j].start;
}

}  // namespace melnix
