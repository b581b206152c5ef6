// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lyric files come in the encodings of their time: GBK from older programs,
// UTF-8 (with or without a byte-order mark) and UTF-16 from today's players
// and lyric sites. Text is recognised at the door and turned into GBK, the
// one encoding the lyric model knows.

#include <string>
#include <string_view>

namespace melnix {

enum class TextEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// UTF-16 needs its byte-order mark. UTF-8 is recognised by its mark, or by
// being valid UTF-8 with at least one multi-byte sequence (pure ASCII stays
// GBK, which reads the same).
TextEncoding detectTextEncoding(std::string_view bytes);

bool isValidUtf8(std::string_view bytes, bool* hasMultiByte = nullptr);

// The text as GBK bytes, byte-order mark removed; characters GBK cannot hold
// become "?". GBK input is returned unchanged.
std::string textToGbk(std::string_view bytes, TextEncoding encoding);
inline std::string textToGbk(std::string_view bytes) { return textToGbk(bytes, detectTextEncoding(bytes)); }

}  // namespace melnix
