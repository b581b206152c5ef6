// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_import.h"

#include <cstring>

#include "common/file.h"
#include "common/safe_save.h"
#include "lyrics/lyric_source.h"
#include "lyrics/lyric_text.h"
#include "lyrics/lyric_text_stream.h"

namespace melnix {
namespace {

constexpr int kTabColumns = 8;

// 、。，！．：？；．·
constexpr char kLightWide[] = "\xA1\xA2\xA1\xA3\xA3\xAC\xA3\xA1\xA3\xAE\xA3\xBA\xA3\xBF\xA3\xBB\xA3\xAE\xA1\xA4";
// 、。，！．：？；．·“”‘’【】〖〗（）《》「」『』〔〕〈〉｛｝［］
constexpr char kFullWide[] =
    "\xA1\xA2\xA1\xA3\xA3\xAC\xA3\xA1\xA3\xAE\xA3\xBA\xA3\xBF\xA3\xBB\xA3\xAE\xA1\xA4\xA1\xB0\xA1\xB1"
    "\xA1\xAE\xA1\xAF\xA1\xBE\xA1\xBF\xA1\xBC\xA1\xBD\xA3\xA8\xA3\xA9\xA1\xB6\xA1\xB7\xA1\xB8\xA1\xB9"
    "\xA1\xBA\xA1\xBB\xA1\xB2\xA1\xB3\xA1\xB4\xA1\xB5\xA3\xFB\xA3\xFD\xA3\xDB\xA3\xDD";
constexpr char kLightNarrow[] = ";:?.,!\"";
constexpr char kFullNarrow[] = ";:?.,!<>()[]{}'`\"";
constexpr unsigned char kBoxDrawingLead = 0xA9;

bool pairIn(const char* set, unsigned char a, unsigned char b) {
    for (size_t i = 0; set[i] && set[i + 1]; i += 2)
        if (static_cast<unsigned char>(set[i]) == a && static_cast<unsigned char>(set[i + 1]) == b) return true;
    return false;
}

}  // namespace

std::string expandTabs(std::string_view line) {
    std::string out;
    for (char c : line) {
        if (c == '\t') {
            do out.push_back(' ');
            while (out.size() % kTabColumns != 0);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string removePunctuation(std::string_view line, PunctuationSet set) {
    const char* wide = set == PunctuationSet::Light ? kLightWide : kFullWide;
    const char* narrow = set == PunctuationSet::Light ? kLightNarrow : kFullNarrow;
    std::string out;
    auto addSpace = [&out] {
        if (out.empty() || out.back() != ' ') out.push_back(' ');
    };
    for (size_t i = 0; i < line.size();) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == 0) break;
        if (isLeadByte(c)) {
            unsigned char d = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0;
            if (d == 0) break;
            if (d < 0x20) {
                // dropped whole
            } else if (pairIn(wide, c, d) || (c == kBoxDrawingLead && d > 0xA1)) {
                addSpace();
            } else {
                out.push_back(static_cast<char>(c));
                out.push_back(static_cast<char>(d));
            }
            i += 2;
            continue;
        }
        if (c < 0x20) {
            // dropped
        } else if (c == ' ' || std::strchr(narrow, c)) {
            addSpace();
        } else {
            out.push_back(static_cast<char>(c));
        }
        ++i;
    }
    return trimLyricText(out);
}

void PunctuationRemover::apply(std::vector<std::string>& lines) {
    PunctuationSet set = firstPassDone_ ? PunctuationSet::Full : PunctuationSet::Light;
    for (std::string& l : lines) l = removePunctuation(l, set);
    firstPassDone_ = true;
}

std::vector<std::string> breakLongLine(std::string_view line) {
    std::string rest = trimLyricText(line);
    std::vector<std::string> pieces;
    while (static_cast<int>(rest.size()) > kMaxLineBytes) {
        // As few pieces as fit, of about equal length: 16 characters become
        // 8 + 8, not 15 + 1.
        const int bytes = static_cast<int>(rest.size());
        const int pieceCount = (bytes + kMaxLineBytes - 1) / kMaxLineBytes;
        const int target = (bytes + pieceCount - 1) / pieceCount;
        size_t cut = static_cast<size_t>(findBalancedBreak(rest, target, kMaxLineBytes));
        pieces.push_back(trimLyricText(std::string_view(rest).substr(0, cut)));
        size_t next = rest.find_first_not_of(' ', cut);
        rest.erase(0, next == std::string::npos ? rest.size() : next);
    }
    pieces.push_back(rest);
    return pieces;
}

void breakLongLines(std::vector<std::string>& lines) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const std::string& l : lines)
        for (std::string& piece : breakLongLine(l)) out.push_back(std::move(piece));
    lines = std::move(out);
}

EditLinesCheck checkEditLines(const std::vector<std::string>& lines, bool stopAtLongLine) {
    EditLinesCheck check;
    bool any = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string t = trimLyricText(lines[i]);
        if (stopAtLongLine && static_cast<int>(t.size()) > kMaxLineBytes) {
            check.longLine = static_cast<int>(i);
            return check;
        }
        if (!t.empty()) any = true;
    }
    check.ok = any;
    check.empty = !any;
    return check;
}

void takeEditLines(LyricSheet& sheet, const std::vector<std::string>& lines, bool replace) {
    if (replace) sheet.clearLines();
    for (const std::string& l : lines) {
        std::string t = trimLyricText(l);
        if (!t.empty()) sheet.appendLine(t);
    }
}

bool readTextFileLines(const std::string& path, std::vector<std::string>& lines) {
    File file;
    if (!openLyricSource(path, file)) return false;
    LyricTextStream stream(file);
    std::string line;
    while (stream.readLine(line, true) >= 0) {
        std::string expanded = expandTabs(line);
        trimRight(expanded);
        lines.push_back(std::move(expanded));
    }
    return true;
}

bool writeTextFileLines(const std::string& path, const std::vector<std::string>& lines) {
    SafeSave save;
    if (!save.begin(path)) return false;
    LyricTextStream stream(save.file());
    for (const std::string& l : lines) stream.writeLine(l, 0);
    stream.writeEnd();
    return save.commit();
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(cur));
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty()) lines.push_back(std::move(cur));
    return lines;
}

}  // namespace melnix
