// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text operations of the lyric import: preparing plain lyric text as
// lines of at most 30 bytes and taking them into the sheet.

#include <string>
#include <string_view>
#include <vector>

#include "lyrics/lyric_sheet.h"

namespace melnix {

// Tabs become spaces up to the next multiple of 8 columns (a two-byte
// character takes two columns).
std::string expandTabs(std::string_view line);

// Punctuation becomes single spaces. The light set holds the marks that end
// phrases; the full set adds brackets and quotes.
enum class PunctuationSet { Light, Full };
std::string removePunctuation(std::string_view line, PunctuationSet set);

// The first use removes the light set, every later use the full set.
class PunctuationRemover {
public:
    void apply(std::vector<std::string>& lines);

private:
    bool firstPassDone_ = false;
};

// Breaks a line longer than 30 bytes into as few pieces as fit, of about
// equal length, at a space or punctuation near the balanced point when there
// is one.
std::vector<std::string> breakLongLine(std::string_view line);
void breakLongLines(std::vector<std::string>& lines);

struct EditLinesCheck {
    bool ok = false;
    bool empty = false;   // no line has any text
    int longLine = -1;    // index of the first line over 30 bytes (when asked to stop there)
};
EditLinesCheck checkEditLines(const std::vector<std::string>& lines, bool stopAtLongLine);

// Takes the lines into the sheet with default times; replace clears it
// first.
void takeEditLines(LyricSheet& sheet, const std::vector<std::string>& lines, bool replace);

// Reads a plain text file as edit lines: each line with its tabs expanded
// and trailing spaces removed. False when the file cannot be opened.
bool readTextFileLines(const std::string& path, std::vector<std::string>& lines);

// Writes edit lines as a text file ending in CR LF and a single 0x1A byte,
// replacing the file safely.
bool writeTextFileLines(const std::string& path, const std::vector<std::string>& lines);

// Splits text at CR LF, CR or LF.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace melnix
