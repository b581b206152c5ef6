// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/ksc_reader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/mul_div.h"
#include "lyrics/lyric_text.h"
#include "lyrics/text_scan.h"

namespace melnix {
namespace {

constexpr size_t kMinKscLine = 50;
constexpr char kKscPrefix[] = "karaoke.add('";
constexpr size_t kTimeField = 9;  // mm:ss.fff
constexpr int kMaxCharDuration = 2000;
constexpr size_t kMaxDurations = 31;
constexpr int kMaxPrefixCharTime = 30;

// Reads "mm:ss.fff" at p followed by "'" and ","; returns the time in units.
bool readKscTime(std::string_view s, size_t p, int32_t& time) {
    if (!isDigitAt(s, p) || byteAt(s, p + 2) != ':' || byteAt(s, p + 5) != '.') return false;
    if (byteAt(s, p + kTimeField) != '\'' || byteAt(s, p + kTimeField + 1) != ',') return false;
    int32_t mm = readDecimal(s, p);
    int32_t ss = readDecimal(s, p + 3);
    int32_t fff = readDecimal(s, p + 6);
    time = static_cast<int32_t>(int64_t{mm} * 6000 + int64_t{ss} * 100 + fff / 10);
    return true;
}

// After a quoted field that ends at p ("'" then ","), skips spaces to the
// opening quote of the next field; returns the position after it or npos.
size_t nextField(std::string_view s, size_t p) {
    if (byteAt(s, p) != '\'' || byteAt(s, p + 1) != ',') return std::string_view::npos;
    p = skipSpacesFrom(s, p + 2);
    if (byteAt(s, p) != '\'') return std::string_view::npos;
    return p + 1;
}

class KscReader {
public:
    explicit KscReader(LyricSheet& sheet) : sheet_(sheet) {}

    void takeLine(std::string line) {
        trimRight(line);
        std::string_view s(line);
        s.remove_prefix(skipSpacesFrom(s, 0));
        if (s.size() < kMinKscLine || !startsWithNoCase(s, kKscPrefix)) return;

        size_t p = sizeof kKscPrefix - 1;
        int32_t start = 0, end = 0;
        if (!readKscTime(s, p, start)) return;
        p = skipSpacesFrom(s, p + kTimeField + 2);
        if (byteAt(s, p) != '\'' || !readKscTime(s, p + 1, end)) return;
        p = skipSpacesFrom(s, p + 1 + kTimeField + 2);
        if (byteAt(s, p) != '\'') return;
        p = skipSpacesFrom(s, p + 1);

        std::string text;
        bool full = false;
        while (p < s.size() && s[p] != '\'') {
            unsigned char c = byteAt(s, p);
            if (isLeadByte(c)) {
                unsigned char d = byteAt(s, p + 1);
                if (!full && d >= 0x20) {
                    if (text.size() + 2 >= static_cast<size_t>(kMaxLineBytes)) {
                        full = true;
                    } else {
                        text.push_back(static_cast<char>(c));
                        text.push_back(static_cast<char>(d));
                    }
                }
                p += (p + 1 < s.size()) ? 2 : 1;
                continue;
            }
            if (!full && c >= 0x20 && c != '[' && c != ']') {
                text.push_back(static_cast<char>(c));
                if (text.size() >= static_cast<size_t>(kMaxLineBytes)) full = true;
            }
            ++p;
        }
        trimRight(text);
        if (text.empty()) return;

        std::vector<int32_t> values;
        int64_t sum = 0;
        std::string prefix;
        size_t q = nextField(s, p);
        if (q != std::string_view::npos) {
            p = q;
            for (;;) {
                p = skipSpacesFrom(s, p);
                if (!isDigitAt(s, p)) break;
                size_t after = p;
                int32_t v = std::clamp(readDecimal(s, p, &after), 1, kMaxCharDuration);
                if (values.size() < kMaxDurations) {
                    values.push_back(v);
                    sum += v;
                }
                p = after;
                if (byteAt(s, p) != ',') break;
                ++p;
            }
            q = nextField(s, p);
            if (q != std::string_view::npos) {
                q = skipSpacesFrom(s, q);
                size_t close = s.find('\'', q);
                if (close != std::string_view::npos) {
                    prefix = std::string(s.substr(q, close - q));
                    trimRight(prefix);
                }
            }
        }
        addLine(start, end, text, values, sum, prefix);
    }

private:
    void addLine(int32_t start, int32_t end, const std::string& text, const std::vector<int32_t>& values,
                 int64_t sum, const std::string& prefix) {
        const int64_t span = int64_t{end} - start;
        const int c = charCount(text);
        if (span < 3 * c) return;

        std::vector<int32_t> durations;
        for (int k = 0; k < c; ++k) {
            int64_t d;
            if (sum == 0) {
                d = span / c;
            } else if (static_cast<size_t>(k) < values.size()) {
                d = MulDiv(values[static_cast<size_t>(k)], static_cast<int32_t>(std::min<int64_t>(span, INT32_MAX)),
                           static_cast<int32_t>(sum));
            } else {
                d = kMinCharTime;
            }
            durations.push_back(static_cast<int32_t>(std::clamp<int64_t>(d, kMinCharTime, kMaxCharDuration)));
        }

        std::string lineText = text;
        int64_t lineStart = start;
        const int64_t gap = int64_t{start} - previousEnd_;
        const int64_t prefixBytes = static_cast<int64_t>(prefix.size());
        if (!prefix.empty() && prefixBytes + static_cast<int64_t>(text.size()) <= kMaxLineBytes &&
            gap >= 3 * prefixBytes + 3) {
            const int p = charCount(prefix);
            const int32_t each =
                static_cast<int32_t>(std::min<int64_t>(kMaxPrefixCharTime, std::max<int64_t>(kMinCharTime, gap - 3)));
            durations.insert(durations.begin(), static_cast<size_t>(p), each);
            lineText = prefix + text;
            lineStart -= int64_t{p} * each;
        }

        LyricLine line;
        line.text = lineText;
        line.startTime = static_cast<int32_t>(lineStart);
        line.charTimes.push_back(0);
        int32_t total = 0;
        for (int32_t d : durations) {
            total += d;
            line.charTimes.push_back(static_cast<uint16_t>(std::min<int32_t>(total, UINT16_MAX)));
        }
        line.duration = static_cast<uint16_t>(std::min<int32_t>(total, UINT16_MAX));
        sheet_.addLine(std::move(line));
        previousEnd_ = end;
    }

    LyricSheet& sheet_;
    int32_t previousEnd_ = 0;
};

}  // namespace

int readKsc(LyricTextStream& stream, LyricSheet& sheet) {
    sheet.durationsMirrored = false;
    KscReader reader(sheet);
    std::string line;
    while (stream.readLine(line, false) >= 0) reader.takeLine(line);
    return 1;
}

}  // namespace melnix
