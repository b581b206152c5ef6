#include "lyrics/lrc_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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
constexpr int kEntryGrowStep = 100;

struct Entry {
    int32_t time;
    std::string text;
};

// Parses one "[mm:ss]" or "[mm:ss.xx]" tag at p; returns its length or 0.
size_t parseTimeTag(std::string_view s, size_t p, int32_t& time) {
    if (byteAt(s, p) != '[' || s.size() - p < 4) return 0;
    int32_t mm = readDecimal(s, p + 1);
    if (!isDigitAt(s, p + 1) || mm < 0 || mm > 99) return 0;
    if (!isDigitAt(s, p + 4)) return 0;
    int32_t ss = readDecimal(s, p + 4);
    if (ss > 59) return 0;
    unsigned char sep = byteAt(s, p + 6);
    if (sep == ']') {
        time = mm * 6000 + ss * 100;
        return 7;
    }
    if (sep != '.' || !isDigitAt(s, p + 7)) return 0;
    int32_t xx = readDecimal(s, p + 7);
    if (xx > 99 || byteAt(s, p + 9) != ']') return 0;
    time = mm * 6000 + ss * 100 + xx;
    return 10;
}

bool tagFollows(std::string_view s, size_t p) {
    return byteAt(s, p) == '[' && byteAt(s, p + 3) == ':' && isDigitAt(s, p + 1);
}

// Punctuation and symbols become spaces; runs of spaces shrink to one.
std::string cleanText(std::string_view t) {
    std::string raw;
    for (size_t i = 0; i < t.size();) {
        unsigned char c = byteAt(t, i);
        if (isLeadByte(c)) {
            if (i + 1 >= t.size()) break;
            unsigned char d = byteAt(t, i + 1);
            if ((c >= 0xA1 && c <= 0xAF) || d < 0x20) {
                raw += "  ";
            } else {
                raw.push_back(static_cast<char>(c));
                raw.push_back(static_cast<char>(d));
            }
            i += 2;
            continue;
        }
        if (c == 0x7F || c < 0x20 || std::strchr(kBlankedPunctuation, c)) c = ' ';
        raw.push_back(static_cast<char>(c));
        ++i;
    }
    std::string out;
    for (char c : raw) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out.push_back(c);
    }
    // Lines of the sheet carry no trailing spaces.
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

class LrcCollector {
public:
    void takeLine(std::string line) {
        trimRight(line);
        std::string_view s(line);
        s.remove_prefix(std::min(s.size(), skipSpacesFrom(s, 0)));
        if (s.size() < 6 || s[0] != '[') return;
        if (s[3] != ':') {
            if (startsWithNoCase(s, "[offset:")) offset_ = readDecimal(s, 8) / 10;
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
            size_t n = parseTimeTag(s, p, t);
            if (n == 0) break;
            times.push_back(t);
            p = skipSpacesFrom(s, p + n);
            if (!tagFollows(s, p)) break;
        }
        std::string_view rest = s.substr(std::min(p, s.size()));
        if (rest.empty() || startsWithNoCase(rest, kWebPrefix)) return;
        std::string text = cleanText(rest);
        if (text.empty()) return;
        for (int32_t t : times) {
            if (firstTimed_ < 0) firstTimed_ = static_cast<int>(entries_.size());
            add(t, text);
        }
    }

    // Title, artist and similar lines become heading lines before the first
    // timed line.
    void takeTagLine(std::string_view s) {
        if (firstTimed_ >= 0) return;
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
        add(0, std::move(text));
    }

    void add(int32_t time, std::string text) {
        if (entries_.size() == entries_.capacity()) entries_.reserve(entries_.size() + kEntryGrowStep);
        entries_.push_back({time, std::move(text)});
    }

    std::vector<Entry> entries_;
    int32_t offset_ = 0;
    int firstTimed_ = -1;
};

// Turns one entry into lines of at most 30 bytes that share its span.
void emitEntry(LyricSheet& sheet, const Entry& e, int32_t nextTime, bool isLast, bool heading) {
    const int32_t bytes = static_cast<int32_t>(e.text.size());
    int64_t g = isLast ? int64_t{kLastEntrySpanPerByte} * bytes : int64_t{nextTime} - 3 - e.time;
    g = std::min<int64_t>(g, int64_t{kMaxSpanPerByte} * bytes);
    if (g < kMinSpan) return;

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
    std::string_view rest(text);
    while (!rest.empty()) {
        const int charsLeft = charCount(rest);
        if (charsLeft == 0) break;
        const int64_t u = spanLeft / charsLeft;
        if (u < kMinCharTime) break;
        std::string piece;
        int spaces = 0;
        if (static_cast<int>(rest.size()) > kMaxLineBytes) {
            size_t cut = static_cast<size_t>(findBreakPosition(rest, kMaxLineBytes));
            piece = std::string(rest.substr(0, cut));
            rest.remove_prefix(cut);
            while (!rest.empty() && rest.front() == ' ') {
                rest.remove_prefix(1);
                ++spaces;
            }
            while (!piece.empty() && piece.back() == ' ') {
                piece.pop_back();
                ++spaces;
            }
        } else {
            piece = std::string(rest);
            rest = {};
        }
        const int t = charCount(piece);
        if (t > 0) {
            LyricLine line;
            line.text = piece;
            line.startTime = static_cast<int32_t>(start);
            line.flags = heading ? kLineAltPlacement : 0;
            line.charTimes.resize(static_cast<size_t>(t) + 1);
            for (int i = 0; i <= t; ++i) line.charTimes[static_cast<size_t>(i)] = static_cast<uint16_t>(u * i);
            line.duration = static_cast<uint16_t>(u * t);
            sheet.addLine(std::move(line));
        }
        const int64_t advance = u * (spaces + t) + (spaces == 0 ? kLineSeparation : 0);
        start += advance;
        spanLeft -= advance;
    }
}

void LrcCollector::finish(LyricSheet& sheet) {
    if (entries_.empty()) {
        add(0, kNoLrcLyric);
        firstTimed_ = 0;
    }
    const size_t f = firstTimed_ < 0 ? 0 : static_cast<size_t>(firstTimed_);
    for (size_t i = f; i < entries_.size(); ++i) {
        int64_t t = int64_t{entries_[i].time} + offset_;
        entries_[i].time = t < 0 ? 0 : static_cast<int32_t>(std::min<int64_t>(t, INT32_MAX));
    }
    std::stable_sort(entries_.begin() + static_cast<std::ptrdiff_t>(f), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.time < b.time; });

    // Spread as many headings as fit before the first timed line, each given
    // at least 93 units.
    std::vector<Entry> list;
    std::vector<bool> headingFlags;
    if (f > 0 && f < entries_.size()) {
        const int32_t firstTime = entries_[f].time;
        size_t d = 0;
        for (size_t c = f; c >= 1; --c) {
            if (firstTime / static_cast<int32_t>(c) >= kMinHeadingSpacing) {
                d = c;
                break;
            }
        }
        const int32_t b = d ? firstTime / static_cast<int32_t>(d) : 0;
        for (size_t i = 0; i < d; ++i) {
            list.push_back({static_cast<int32_t>(i) * b, entries_[i].text});
            headingFlags.push_back(true);
        }
    }
    for (size_t i = f; i < entries_.size(); ++i) {
        list.push_back(entries_[i]);
        headingFlags.push_back(false);
    }

    for (size_t i = 0; i < list.size(); ++i) {
        bool isLast = i + 1 == list.size();
        emitEntry(sheet, list[i], isLast ? 0 : list[i + 1].time, isLast, headingFlags[i]);
    }
}

}  // namespace

int readLrc(LyricTextStream& stream, LyricSheet& sheet) {
    sheet.durationsMirrored = false;
    LrcCollector collector;
    std::string line;
    while (stream.readLine(line, false) >= 0) collector.takeLine(line);
    collector.finish(sheet);
    return 1;
}

}  // namespace melnix
