// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lrc_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/mul_div.h"
#include "lyrics/lyric_text.h"
#include "lyrics/text_scan.h"

namespace melnix {
namespace {

// "(.LRC文件中没有有效的LRC歌词)"
constexpr char kNoLrcLyric[] =
    "(.LRC\xCE\xC4\xBC\xFE\xD6\xD0\xC3\xBB\xD3\xD0\xD3\xD0\xD0\xA7\xB5\xC4LRC\xB8\xE8\xB4\xCA)";
constexpr char kWebPrefix[] = "http:/";  // the first six characters of "http://"
constexpr char kBlankedPunctuation[] = "\"';:?/>,<[{]}|\\+=_-)(*&^%$#@!~`";
constexpr int kMinHeadingSpacing = 93;  // least units between heading lines before the first timed line
constexpr int kLastEntrySpanPerByte = 24;
constexpr int kMaxSpanPerByte = 30;
constexpr int kMinSpan = 9;
constexpr int kLongHeadingLine = 31;
constexpr int kMaxFractionDigits = 3;  // hundredths, or milliseconds from today's players

// One character of a line whose words carry their own times.
struct Word {
    std::string bytes;
    int32_t start = 0;
    int32_t end = 0;
    bool open = false;  // after the last word tag: no end of its own
};

struct Entry {
    int32_t time = 0;
    std::string text;        // empty: the line before ends here
    std::vector<Word> words; // from inner word tags, times absolute
    bool openEnd = false;    // the last words have no closing tag
    bool heading = false;

    bool endMark() const { return text.empty(); }
};

// Parses a clock tag at p: open mm ":" ss close, or open mm ":" ss ("." or
// ":") 1 to 3 digits close. Two fraction digits are hundredths, three are
// milliseconds, one is tenths. Returns the tag's length or 0.
size_t parseClockTag(std::string_view s, size_t p, char open, char close, int32_t& time) {
    if (byteAt(s, p) != static_cast<unsigned char>(open) || s.size() - p < 4) return 0;
    const int32_t mm = readDecimal(s, p + 1);
    if (!isDigitAt(s, p + 1) || mm < 0 || mm > 99 || byteAt(s, p + 3) != ':') return 0;
    if (!isDigitAt(s, p + 4)) return 0;
    const int32_t ss = readDecimal(s, p + 4);
    if (ss > 59) return 0;
    const unsigned char sep = byteAt(s, p + 6);
    if (sep == static_cast<unsigned char>(close)) {
        time = mm * 6000 + ss * 100;
        return 7;
    }
    if (sep != '.' && sep != ':') return 0;
    size_t digits = 0;
    while (digits < kMaxFractionDigits + 1 && isDigitAt(s, p + 7 + digits)) ++digits;
    if (digits == 0 || digits > kMaxFractionDigits || byteAt(s, p + 7 + digits) != static_cast<unsigned char>(close))
        return 0;
    int32_t fraction = readDecimal(s.substr(0, p + 7 + digits), p + 7);
    if (digits == 1) fraction *= 10;
    if (digits == 3) fraction /= 10;
    time = mm * 6000 + ss * 100 + fraction;
    return 8 + digits;
}

bool tagFollows(std::string_view s, size_t p) {
    return byteAt(s, p) == '[' && byteAt(s, p + 3) == ':' && isDigitAt(s, p + 1);
}

// Splits text into characters, punctuation and symbols turned into spaces.
// A dangling lead byte at the end is dropped.
std::vector<std::string> cleanCharacters(std::string_view t) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < t.size();) {
        unsigned char c = byteAt(t, i);
        if (isLeadByte(c)) {
            if (i + 1 >= t.size()) break;
            unsigned char d = byteAt(t, i + 1);
            if ((c >= 0xA1 && c <= 0xAF) || d < 0x20) {
                chars.emplace_back(" ");
                chars.emplace_back(" ");
            } else {
                chars.emplace_back(t.substr(i, 2));
            }
            i += 2;
            continue;
        }
        if (c == 0x7F || c < 0x20 || std::strchr(kBlankedPunctuation, c)) c = ' ';
        chars.emplace_back(1, static_cast<char>(c));
        ++i;
    }
    return chars;
}

// Leading and trailing spaces removed, runs of spaces reduced to one.
template <typename T, typename IsSpace>
void squeezeSpaces(std::vector<T>& items, IsSpace isSpace) {
    std::vector<T> out;
    for (T& item : items) {
        if (isSpace(item) && (out.empty() || isSpace(out.back()))) continue;
        out.push_back(std::move(item));
    }
    while (!out.empty() && isSpace(out.back())) out.pop_back();
    items = std::move(out);
}

std::string cleanText(std::string_view t) {
    std::vector<std::string> chars = cleanCharacters(t);
    squeezeSpaces(chars, [](const std::string& c) { return c == " "; });
    std::string out;
    for (const std::string& c : chars) out += c;
    return out;
}

// Reads word tags ("<mm:ss.xx>") inside a line: the characters between two
// tags share that span evenly. Characters before the first tag start at the
// line's own time; characters after the last tag are left open.
bool readWords(std::string_view rest, int32_t lineTime, std::vector<Word>& words, bool& openEnd) {
    struct Segment {
        int32_t start;
        std::string text;
    };
    std::vector<Segment> segments{{lineTime, {}}};
    bool anyTag = false;
    for (size_t p = 0; p < rest.size();) {
        int32_t t = 0;
        size_t n = rest[p] == '<' ? parseClockTag(rest, p, '<', '>', t) : 0;
        if (n) {
            anyTag = true;
            segments.push_back({t, {}});
            p += n;
            continue;
        }
        size_t len = isLeadByte(byteAt(rest, p)) && p + 1 < rest.size() ? 2 : 1;
        segments.back().text.append(rest.substr(p, len));
        p += len;
    }
    if (!anyTag) return false;

    words.clear();
    for (size_t k = 0; k < segments.size(); ++k) {
        std::vector<std::string> chars = cleanCharacters(segments[k].text);
        if (chars.empty()) continue;
        const bool last = k + 1 == segments.size();
        const int32_t a = segments[k].start;
        const int32_t b = last ? a : std::max(a, segments[k + 1].start);
        // Spaces take no time of their own: the span belongs to the letters.
        const int32_t n = static_cast<int32_t>(
            std::count_if(chars.begin(), chars.end(), [](const std::string& c) { return c != " "; }));
        int32_t i = 0;
        for (std::string& c : chars) {
            const bool space = c == " ";
            const int32_t from = n ? a + MulDiv(i, b - a, n) : a;
            if (!space) ++i;
            const int32_t to = n ? a + MulDiv(i, b - a, n) : a;
            words.push_back({std::move(c), from, to, last});
        }
    }
    openEnd = !segments.back().text.empty();
    squeezeSpaces(words, [](const Word& w) { return w.bytes == " "; });
    return true;
}

class LrcCollector {
public:
    void takeLine(std::string line) {
        trimRight(line);
        std::string_view s(line);
        s.remove_prefix(std::min(s.size(), skipSpacesFrom(s, 0)));
        if (s.size() < 6 || s[0] != '[') return;
        if (s[3] != ':') {
            if (startsWithNoCase(s, "[offset:")) {
                // Other editors write a space or a sign after the colon.
                size_t at = 8;
                while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
                offset_ = readDecimal(s, at) / 10;
            }
            return;
        }
        if (isDigitAt(s, 1)) {
            takeTimedLine(s);
        } else {
            takeTagLine(s);
        }
    }

    void finish(LyricSheet& sheet);

private:
    void takeTimedLine(std::string_view s) {
        std::vector<int32_t> times;
        size_t p = 0;
        for (;;) {
            int32_t t = 0;
            size_t n = parseClockTag(s, p, '[', ']', t);
            if (n == 0) break;
            times.push_back(t);
            p = skipSpacesFrom(s, p + n);
            if (!tagFollows(s, p)) break;
        }
        if (times.empty()) return;
        std::string_view rest = s.substr(std::min(p, s.size()));
        if (rest.empty()) {
            // A bare time tag marks where the line before it ends.
            for (int32_t t : times) add({t, {}, {}, false, false});
            return;
        }
        if (startsWithNoCase(rest, kWebPrefix)) return;

        Entry e;
        if (readWords(rest, times.front(), e.words, e.openEnd)) {
            for (const Word& w : e.words) e.text += w.bytes;
        } else {
            e.text = cleanText(rest);
        }
        if (e.text.empty()) return;
        for (int32_t t : times) {
            Entry copy = e;
            copy.time = t;
            for (Word& w : copy.words) {
                w.start += t - times.front();
                w.end += t - times.front();
            }
            hasText_ = true;
            add(std::move(copy));
        }
    }

    // Title, artist and similar lines become heading lines before the first
    // timed line.
    void takeTagLine(std::string_view s) {
        if (hasText_) return;
        std::string text;
        if (static_cast<int>(s.size()) >= kLongHeadingLine) {
            std::string_view body = s.substr(skipSpacesFrom(s, 4));
            if (!body.empty() && body.back() == ']') body.remove_suffix(1);
            text = std::string(body);
            trimRight(text);
        } else {
            text = std::string(s);
        }
        if (text.size() <= 2 || startsWithNoCase(s.substr(4), kWebPrefix)) return;
        Entry e;
        e.text = std::move(text);
        e.heading = true;
        headings_.push_back(std::move(e));
    }

    void add(Entry e) {
        timed_.push_back(std::move(e));
    }

    std::vector<Entry> headings_;
    std::vector<Entry> timed_;  // lines with text and end marks, in file order
    bool hasText_ = false;
    int32_t offset_ = 0;
};

int32_t clampTime(int64_t t) { return t < 0 ? 0 : static_cast<int32_t>(std::min<int64_t>(t, INT32_MAX)); }

void addLine(LyricSheet& sheet, std::string text, int64_t start, std::vector<uint16_t> charTimes, bool heading) {
    LyricLine line;
    line.text = std::move(text);
    line.startTime = static_cast<int32_t>(start);
    line.flags = heading ? kLineAltPlacement : 0;
    line.duration = charTimes.back();
    line.charTimes = std::move(charTimes);
    sheet.addLine(std::move(line));
}

// Cuts text into pieces of at most 30 bytes. Calls take(offset, length,
// spaces) per piece, spaces being those skipped at the break.
template <typename Take>
void forEachPiece(std::string_view text, Take take) {
    size_t at = 0;
    while (at < text.size()) {
        std::string_view rest = text.substr(at);
        size_t len = rest.size();
        int spaces = 0;
        if (static_cast<int>(rest.size()) > kMaxLineBytes) {
            len = static_cast<size_t>(findBreakPosition(rest, kMaxLineBytes));
            size_t next = len;
            while (next < rest.size() && rest[next] == ' ') ++next, ++spaces;
            while (len > 0 && rest[len - 1] == ' ') --len, ++spaces;
            if (!take(at, len, spaces)) return;
            at += next;
            continue;
        }
        take(at, len, spaces);
        return;
    }
}

// Turns one plain entry into lines of at most 30 bytes that share its span.
void emitEntry(LyricSheet& sheet, const Entry& e, int64_t g) {
    const int32_t bytes = static_cast<int32_t>(e.text.size());
    g = std::min<int64_t>(g, int64_t{kMaxSpanPerByte} * bytes);
    if (g < kMinSpan) {
        // Too close to the next line to be sung: left out, and counted.
        if (bytes > 0) ++sheet.droppedOnRead;
        return;
    }

    const int n = static_cast<int>(std::min<int64_t>(charCount(e.text), g / 3));
    std::string text;
    int taken = 0;
    for (size_t i = 0; i < e.text.size() && taken < n;) {
        unsigned char c = byteAt(e.text, i);
        if (isLeadByte(c)) {
            if (i + 1 < e.text.size() && byteAt(e.text, i + 1) >= 0x20) {
                text.append(e.text, i, 2);
                ++taken;
            }
            i += 2;
        } else {
            if (c >= 0x20 && c <= 0x7E) {
                text.push_back(static_cast<char>(c));
                ++taken;
            }
            ++i;
        }
    }

    int64_t start = e.time;
    int64_t spanLeft = g;
    forEachPiece(text, [&](size_t at, size_t len, int spaces) {
        const int charsLeft = charCount(std::string_view(text).substr(at));
        if (charsLeft == 0) return false;
        const int64_t u = spanLeft / charsLeft;
        if (u < kMinCharTime) return false;
        const std::string piece = text.substr(at, len);
        const int t = charCount(piece);
        if (t > 0) {
            std::vector<uint16_t> times(static_cast<size_t>(t) + 1);
            for (int i = 0; i <= t; ++i) times[static_cast<size_t>(i)] = static_cast<uint16_t>(u * i);
            addLine(sheet, piece, start, std::move(times), e.heading);
        }
        const int64_t advance = u * (spaces + t) + (spaces == 0 ? kLineSeparation : 0);
        start += advance;
        spanLeft -= advance;
        return true;
    });
}

// Turns an entry with word times into lines that keep those times.
void emitWords(LyricSheet& sheet, Entry e, int64_t g, bool isLast) {
    if (e.openEnd) {
        // The words after the last tag share what is left of the entry's span.
        size_t first = e.words.size();
        while (first > 0 && e.words[first - 1].open) --first;
        const int32_t a = first < e.words.size() ? e.words[first].start : e.time;
        const int32_t n = static_cast<int32_t>(e.words.size() - first);
        int64_t span = int64_t{e.time} + g - a;
        span = std::clamp<int64_t>(span, int64_t{kMinCharTime} * n, int64_t{kMaxSpanPerByte} * n);
        for (int32_t i = 0; i < n; ++i) {
            Word& w = e.words[first + static_cast<size_t>(i)];
            w.start = a + static_cast<int32_t>(span * i / n);
            w.end = a + static_cast<int32_t>(span * (i + 1) / n);
        }
    }
    // Byte offset of every character in the joined text.
    std::vector<size_t> offsets;
    size_t at = 0;
    for (const Word& w : e.words) {
        offsets.push_back(at);
        at += w.bytes.size();
    }
    struct Piece {
        size_t first, end;  // character indexes
        std::string text;
    };
    std::vector<Piece> pieces;
    forEachPiece(e.text, [&](size_t from, size_t len, int) {
        const size_t i = static_cast<size_t>(std::lower_bound(offsets.begin(), offsets.end(), from) - offsets.begin());
        const size_t j =
            static_cast<size_t>(std::lower_bound(offsets.begin(), offsets.end(), from + len) - offsets.begin());
        if (j > i) pieces.push_back({i, j, e.text.substr(from, len)});
        return true;
    });
    for (size_t p = 0; p < pieces.size(); ++p) {
        const Piece& piece = pieces[p];
        const int64_t start = e.words[piece.first].start;
        // A line ends 3 units before whatever follows it, as plain lines do.
        int64_t end = e.words[piece.end - 1].end;
        if (p + 1 < pieces.size()) {
            end = std::min<int64_t>(end, e.words[pieces[p + 1].first].start - kLineSeparation);
        } else if (!isLast) {
            end = std::min<int64_t>(end, e.time + g);
        }
        std::vector<uint16_t> times{0};
        for (size_t k = piece.first + 1; k <= piece.end; ++k) {
            const int64_t t = (k < piece.end ? e.words[k].start : end) - start;
            // Every character keeps at least 3 units.
            times.push_back(static_cast<uint16_t>(std::clamp<int64_t>(t, times.back() + kMinCharTime, kMaxLineDuration)));
        }
        addLine(sheet, piece.text, start, std::move(times), false);
    }
}

void LrcCollector::finish(LyricSheet& sheet) {
    if (!hasText_ && headings_.empty()) {
        Entry none;
        none.text = kNoLrcLyric;
        timed_.push_back(std::move(none));
        hasText_ = true;
    }
    // Without a timed line, title lines stand in for the lyric.
    if (!hasText_) {
        for (Entry& h : headings_) h.heading = false;
        headings_.insert(headings_.end(), std::make_move_iterator(timed_.begin()), std::make_move_iterator(timed_.end()));
        timed_ = std::move(headings_);
        headings_.clear();
    }
    for (Entry& e : timed_) {
        const int32_t shift = clampTime(int64_t{e.time} + offset_) - e.time;
        e.time += shift;
        for (Word& w : e.words) {
            w.start = clampTime(int64_t{w.start} + shift);
            w.end = clampTime(int64_t{w.end} + shift);
        }
    }
    std::stable_sort(timed_.begin(), timed_.end(), [](const Entry& a, const Entry& b) { return a.time < b.time; });
    // An end mark before the first line ends nothing.
    auto firstLine = std::find_if(timed_.begin(), timed_.end(), [](const Entry& e) { return !e.endMark(); });
    timed_.erase(timed_.begin(), firstLine);

    // Spread as many headings as fit before the first timed line, each given
    // at least 93 units.
    std::vector<Entry> list;
    if (!headings_.empty() && !timed_.empty()) {
        const int32_t firstTime = timed_.front().time;
        size_t d = 0;
        for (size_t c = headings_.size(); c >= 1; --c) {
            if (firstTime / static_cast<int32_t>(c) >= kMinHeadingSpacing) {
                d = c;
                break;
            }
        }
        const int32_t b = d ? firstTime / static_cast<int32_t>(d) : 0;
        for (size_t i = 0; i < d; ++i) {
            headings_[i].time = static_cast<int32_t>(i) * b;
            list.push_back(std::move(headings_[i]));
        }
    }
    for (Entry& e : timed_) list.push_back(std::move(e));

    for (size_t i = 0; i < list.size(); ++i) {
        const Entry& e = list[i];
        if (e.endMark()) continue;
        const bool isLast = i + 1 == list.size();
        const int64_t g = isLast ? int64_t{kLastEntrySpanPerByte} * static_cast<int64_t>(e.text.size())
                                 : int64_t{list[i + 1].time} - 3 - e.time;
        if (e.words.empty()) {
            emitEntry(sheet, e, g);
        } else {
            emitWords(sheet, e, g, isLast);
        }
    }
}

}  // namespace

int readLrc(LyricTextStream& stream, LyricSheet& sheet) {
    sheet.durationsMirrored = false;
    sheet.droppedOnRead = 0;
    LrcCollector collector;
    std::string line;
    while (stream.readLine(line, false) >= 0) collector.takeLine(line);
    collector.finish(sheet);
    return 1;
}

}  // namespace melnix
