// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/text_encoding.h"

#include <cstdint>

#include "common/gbk.h"

namespace melnix {
namespace {

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    constexpr uint32_t kReplacement = 0xFFFD;
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](size_t i) -> uint32_t {
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (uint32_t{a} << 8 | b) : (uint32_t{b} << 8 | a);
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 3 < bytes.size()) {
                uint32_t low = unit(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            u = kReplacement;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            u = kReplacement;
        }
        appendUtf8(out, u);
    }
    return out;
}

}  // namespace

bool isValidUtf8(std::string_view s, bool* hasMultiByte) {
    bool multi = false;
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t n;
        uint32_t cp, min;
        if ((c & 0xE0) == 0xC0) {
            n = 2, cp = c & 0x1Fu, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3, cp = c & 0x0Fu, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4, cp = c & 0x07u, min = 0x10000;
        } else {
            return false;
        }
        if (i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = cp << 6 | (d & 0x3Fu);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        multi = true;
        i += n;
    }
    if (hasMultiByte) *hasMultiByte = multi;
    return true;
}

TextEncoding detectTextEncoding(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return TextEncoding::Utf8Bom;
    if (bytes.substr(0, 2) == "\xFF\xFE") return TextEncoding::Utf16Le;
    if (bytes.substr(0, 2) == "\xFE\xFF") return TextEncoding::Utf16Be;
    bool multi = false;
    if (isValidUtf8(bytes, &multi) && multi) return TextEncoding::Utf8;
    return TextEncoding::Gbk;
}

std::string textToGbk(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Gbk: return std::string(bytes);
        case TextEncoding::Utf8: return utf8ToGbk(bytes);
        case TextEncoding::Utf8Bom: return utf8ToGbk(bytes.substr(3));
        case TextEncoding::Utf16Le: return utf8ToGbk(utf16ToUtf8(bytes.substr(2), false));
        case TextEncoding::Utf16Be: return utf8ToGbk(utf16ToUtf8(bytes.substr(2), true));
    }
    return std::string(bytes);
}

}  // namespace melnix
