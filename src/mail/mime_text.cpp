// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mime_text.h"

#include <cstdint>

namespace melnix {
namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kBase64LineLength = 76;
// RFC 2045: encoded lines at most 76 characters, a soft break's "=" included.
constexpr size_t kQpLineLength = 76;
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

std::string qpEscape(unsigned char c) {
    return {'=', kHexDigits[c >> 4], kHexDigits[c & 0x0F]};
}

void appendQpLine(std::string_view line, std::string& out) {
    size_t column = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const bool last = i + 1 == line.size();
        auto tokenAt = [&](size_t col) -> std::string {
            if (c == ' ' || c == '\t') return last ? qpEscape(c) : std::string(1, static_cast<char>(c));
            if (c < 33 || c > 126 || c == '=') return qpEscape(c);
            if (col == 0 && (c == '.' || c == '-')) return qpEscape(c);
            return std::string(1, static_cast<char>(c));
        };
        std::string token = tokenAt(column);
        // The last token may use the whole line; any other must leave room
        // for the "=" of a soft break after it.
        const size_t limit = last ? kQpLineLength : kQpLineLength - 1;
        if (column + token.size() > limit) {
            out += "=\r\n";
            column = 0;
            token = tokenAt(0);
        }
        out += token;
        column += token.size();
    }
}

}  // namespace

std::string base64Lines(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 57 * 78 + 8);
    size_t lineLength = 0;
    auto put = [&](char c) {
        out += c;
        if (++lineLength == kBase64LineLength) {
            out += "\r\n";
            lineLength = 0;
        }
    };
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
                               static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
                               static_cast<unsigned char>(bytes[i + 2]);
        put(kBase64Alphabet[group >> 18 & 63]);
        put(kBase64Alphabet[group >> 12 & 63]);
        put(kBase64Alphabet[group >> 6 & 63]);
        put(kBase64Alphabet[group & 63]);
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (rest == 2) group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        put(kBase64Alphabet[group >> 18 & 63]);
        put(kBase64Alphabet[group >> 12 & 63]);
        put(rest == 2 ? kBase64Alphabet[group >> 6 & 63] : '=');
        put('=');
    }
    out += "\r\n";
    return out;
}

std::string quotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    size_t start = 0;
    while (true) {
        const size_t end = text.find("\r\n", start);
        appendQpLine(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start),
                     out);
        if (end == std::string_view::npos) break;
        out += "\r\n";
        start = end + 2;
    }
    return out;
}

std::string withCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string dotStuffed(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '.' && (i == 0 || text[i - 1] == '\n')) out += '.';
        out += text[i];
    }
    return out;
}

std::string dotUnstuffed(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '.' && (i == 0 || text[i - 1] == '\n') && i + 1 < text.size() && text[i + 1] == '.') ++i;
        out += text[i];
    }
    return out;
}

std::string singleLine(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace melnix
