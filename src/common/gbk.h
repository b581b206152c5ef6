// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lyric text stays GBK bytes everywhere inside the program; these convert at
// the edges where text meets UTF-8 (the user interface, UTF-8 files, the
// terminal).

#include <string>
#include <string_view>

namespace melnix {

// Decodes as GB18030 (a superset of GBK); a byte sequence that does not
// decode becomes U+FFFD and decoding goes on.
std::string gbkToUtf8(std::string_view gbk);

// Encodes as GBK; a character GBK cannot hold (or invalid UTF-8) becomes "?".
std::string utf8ToGbk(std::string_view utf8);

}  // namespace melnix
