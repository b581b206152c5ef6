// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Routines for GBK lyric text. A byte of 0x80 or more starts a two-byte
// character whatever follows it, every other byte is a character of its own,
// and a lead byte with nothing after it is not a character. Text ends at the
// string's end or at its first NUL, whichever comes first.

#include <string>
#include <string_view>

namespace melnix {

// The longest lyric line in bytes.
constexpr int kMaxLineBytes = 30;

inline bool isLeadByte(unsigned char c) { return c >= 0x80; }

// True when byte pos begins a character, or pos is outside the text.
bool isCharBoundary(std::string_view text, int pos);

int charCount(std::string_view text);

// Leading and trailing spaces off, control bytes (and two-byte characters
// whose second byte is one) dropped, a dangling lead byte ends the text.
std::string trimLyricText(std::string_view text);

// Removes a trailing run of spaces and DEL bytes, and a dangling lead byte.
void trimRight(std::string& text);

// Cuts text to at most limit bytes without splitting a character.
std::string cutToBytes(std::string_view text, int limit);

// Bytes to keep on the first of two lines when text must break at or before
// byte limit: after a space or closing punctuation when possible, never
// before closing or after opening punctuation when that can be avoided, never
// within the first four bytes.
int findBreakPosition(std::string_view text, int limit);

// Bytes to keep on the first piece when text is shared out in pieces of
// about target bytes (none over limit): the break after a space or closing
// punctuation nearest to target, a quarter of target either side; else the
// character boundary at target, moved back so that closing punctuation does
// not begin the next piece nor opening punctuation end this one.
int findBalancedBreak(std::string_view text, int target, int limit);

}  // namespace melnix
