// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_export.h"

#include <cstdio>

#include "common/gbk.h"
#include "common/paths.h"
#include "lyrics/lyric_text.h"

namespace melnix {
namespace {

// A pause of a second or more is marked with a bare end tag, so that a player
// does not keep the line on screen through it.
constexpr int kEndTagGap = 100;
constexpr int kLrcMaxMinutes = 99;
// One UltraStar beat is a quarter of a BPM beat: 1500 BPM gives beats of
// exactly one hundredth of a second, the unit of the lyric times.
constexpr int kUltraStarBpm = 1500;
constexpr int kUltraStarMiddleC = 60;

std::string format(const char* fmt, long long a, long long b, long long c = 0, long long d = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b, c, d);
    return buf;
}

// The characters of a GBK line, each in UTF-8.
std::vector<std::string> utf8Characters(const std::string& gbk) {
    std::vector<std::string> out;
    for (size_t i = 0; i < gbk.size();) {
        size_t n = isLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
        out.push_back(gbkToUtf8(std::string_view(gbk).substr(i, n)));
        i += n;
    }
    return out;
}

// "[" + text + "]" built by appending: the operator chain trips a false
// overlap warning of GCC 12.
std::string wrap(char open, const std::string& text, char close) {
    std::string out(1, open);
    out += text;
    out += close;
    return out;
}

std::string lrc(const LyricSheet& sheet, const ExportInfo& info, bool words) {
    std::string out;
    if (!info.title.empty()) out += wrap('[', "ti:" + info.title, ']') + '\n';
    if (!info.artist.empty()) out += wrap('[', "ar:" + info.artist, ']') + '\n';
    for (int i = 0; i < sheet.lineCount(); ++i) {
        const LyricLine& l = *sheet.lineAt(i);
        out += wrap('[', lrcClock(l.startTime), ']');
        if (words) {
            std::vector<std::string> chars = utf8Characters(l.text);
            for (size_t k = 0; k < chars.size() && k < l.charTimes.size(); ++k)
                out += wrap('<', lrcClock(int64_t{l.startTime} + l.charTimes[k]), '>') + chars[k];
            out += wrap('<', lrcClock(l.endTime()), '>');
        } else {
            out += gbkToUtf8(l.text);
        }
        out += "\n";
        // Readers end a line 3 units before the next tag, as the lyric model
        // keeps lines apart; the end tag stands that far behind the line.
        const LyricLine* next = sheet.lineAt(i + 1);
        if (!next || next->startTime - l.endTime() >= kEndTagGap)
            out += wrap('[', lrcClock(int64_t{l.endTime()} + kLineSeparation), ']') + '\n';
    }
    return out;
}

std::string assClock(int64_t cs) {
    if (cs < 0) cs = 0;
    return format("%lld:%02lld:%02lld.%02lld", cs / 360000, cs / 6000 % 60, cs / 100 % 60, cs % 100);
}

// Braces and backslashes would start override codes.
std::string assText(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        if (c == '{') out += "(";
        else if (c == '}') out += ")";
        else if (c == '\\') out += "/";
        else out.push_back(c);
    }
    return out;
}

std::string ass(const LyricSheet& sheet, const ExportInfo& info) {
    // Colours as &HAABBGGRR: yellow letters, wiped to blue, in a red-violet rim.
    std::string out =
        "[Script Info]\n"
        "; Karaoke subtitles made with Melnix\n"
        "Title: " + (info.title.empty() ? std::string("Melnix karaoke") : assText(info.title)) + "\n"
        "ScriptType: v4.00+\n"
        "PlayResX: 1280\n"
        "PlayResY: 720\n"
        "WrapStyle: 2\n"
        "ScaledBorderAndShadow: yes\n"
        "\n"
        "[V4+ Styles]\n"
        "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, "
        "Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, "
        "MarginL, MarginR, MarginV, Encoding\n"
        "Style: Karaoke,Noto Sans CJK SC,64,&H00FF0000,&H0000FFFF,&H008515C7,&H80000000,-1,0,0,0,100,100,0,0,1,"
        "4,0,2,40,40,50,1\n"
        "Style: KaraokeAlt,Noto Sans CJK SC,64,&H00FF0000,&H0000FFFF,&H008515C7,&H80000000,-1,0,0,0,100,100,0,0,1,"
        "4,0,8,40,40,50,1\n"
        "\n"
        "[Events]\n"
        "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";
    for (const LyricLine& l : sheet) {
        std::string text;
        std::vector<std::string> chars = utf8Characters(l.text);
        for (size_t k = 0; k < chars.size() && k + 1 < l.charTimes.size(); ++k)
            text += "{\\k" + std::to_string(l.charTimes[k + 1] - l.charTimes[k]) + "}" + assText(chars[k]);
        out += "Dialogue: 0," + assClock(l.startTime) + "," + assClock(l.endTime()) + "," +
               ((l.flags & kLineAltPlacement) ? "KaraokeAlt" : "Karaoke") + ",,0,0,0,," + text + "\n";
    }
    return out;
}

std::string ultraStar(const LyricSheet& sheet, const ExportInfo& info) {
    std::string out;
    out += "#TITLE:" + (info.title.empty() ? std::string("Unknown") : info.title) + "\n";
    out += "#ARTIST:" + (info.artist.empty() ? std::string("Unknown") : info.artist) + "\n";
    if (!info.songFile.empty()) out += "#MP3:" + info.songFile + "\n";
    out += "#BPM:" + std::to_string(kUltraStarBpm) + "\n#GAP:0\n";
    for (int i = 0; i < sheet.lineCount(); ++i) {
        const LyricLine& l = *sheet.lineAt(i);
        if (i > 0) out += "- " + std::to_string(sheet.lineAt(i - 1)->endTime()) + "\n";
        std::vector<std::string> chars = utf8Characters(l.text);
        std::string pending;  // a note's text, with the spaces after it
        int64_t beat = -1, length = 0;
        int pitch = 0;
        auto flush = [&] {
            if (beat >= 0) out += ": " + std::to_string(beat) + " " + std::to_string(length) + " " +
                                  std::to_string(pitch) + " " + pending + "\n";
        };
        for (size_t k = 0; k < chars.size() && k + 1 < l.charTimes.size(); ++k) {
            if (chars[k] == " " && beat >= 0) {
                pending += " ";
                continue;
            }
            flush();
            beat = int64_t{l.startTime} + l.charTimes[k];
            length = std::max<int64_t>(1, l.charTimes[k + 1] - l.charTimes[k]);
            const int note = info.pitchAt ? info.pitchAt(static_cast<int32_t>(beat + length / 2)) : -1;
            pitch = note >= 0 ? note - kUltraStarMiddleC : 0;
            pending = chars[k];
        }
        flush();
    }
    out += "E\n";
    return out;
}

}  // namespace

std::string lrcClock(int64_t cs) {
    if (cs < 0) cs = 0;
    int64_t minutes = cs / 6000;
    if (minutes > kLrcMaxMinutes) return "99:59.99";
    return format("%02lld:%02lld.%02lld", minutes, cs / 100 % 60, cs % 100);
}

bool exportFormatByName(const std::string& name, ExportFormat& f) {
    if (name == "lrc") f = ExportFormat::Lrc;
    else if (name == "elrc") f = ExportFormat::EnhancedLrc;
    else if (name == "ass") f = ExportFormat::Ass;
    else if (name == "ultrastar") f = ExportFormat::UltraStar;
    else return false;
    return true;
}

std::string exportLyrics(const LyricSheet& sheet, ExportFormat f, const ExportInfo& info) {
    switch (f) {
        case ExportFormat::Lrc: return lrc(sheet, info, false);
        case ExportFormat::EnhancedLrc: return lrc(sheet, info, true);
        case ExportFormat::Ass: return ass(sheet, info);
        case ExportFormat::UltraStar: return ultraStar(sheet, info);
    }
    return {};
}

std::optional<ExportFormat> exportFormatForName(std::string_view path, bool enhancedLrc) {
    if (endsWithNoCase(path, ".lrc")) return enhancedLrc ? ExportFormat::EnhancedLrc : ExportFormat::Lrc;
    if (endsWithNoCase(path, ".ass") || endsWithNoCase(path, ".ssa")) return ExportFormat::Ass;
    if (endsWithNoCase(path, ".txt")) return ExportFormat::UltraStar;
    return std::nullopt;
}

}  // namespace melnix
