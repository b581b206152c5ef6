// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/pik_file.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/paths.h"

namespace melnix {
namespace {

// A short password is repeated with a zero byte after each copy; a longer one
// is folded into the key block by block.
constexpr size_t kLongestRepeatedPassword = 15;

uint8_t byteAt(std::string_view s, size_t i) { return static_cast<uint8_t>(s[i]); }

uint16_t le16(const uint8_t* p) { return readLe16(p); }
uint16_t be16(const uint8_t* p) { return readBe16(p); }

uint32_t le32At(std::string_view s, size_t at) { return readLe32(s.data() + at); }

void appendLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

size_t lastDotInName(std::string_view path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::string_view::npos;
    return dot;
}

}  // namespace

std::string normalisePikPassword(std::string_view password) {
    std::string out(password);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 0x80) ++i;  // the trail byte goes with it
        else if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - ('a' - 'A'));
    }
    return out;
}

PikKey pikKey(std::string_view password, uint32_t salt) {
    const std::string p = normalisePikPassword(password);
    PikKey k;
    PikKeyBytes& key = k.key;
    if (p.size() > kLongestRepeatedPassword) {
        for (size_t c = 0; c * kPikKeyBytes < p.size(); ++c) {
            const size_t m = std::min(kPikKeyBytes, p.size() - c * kPikKeyBytes);
            for (size_t i = 0; i < m; ++i)
                key[i] ^= static_cast<uint8_t>((c * m + i) ^ byteAt(p, c * kPikKeyBytes + i));
        }
    } else if (!p.empty()) {
        size_t at = 0;
        while (at < kPikKeyBytes) {
            for (size_t i = 0; i < p.size() && at < kPikKeyBytes; ++i) key[at++] = byteAt(p, i);
            if (at < kPikKeyBytes) key[at++] = 0;
        }
    }
    for (size_t i = 0; i < kPikKeyBytes; ++i) key[i] ^= static_cast<uint8_t>(salt >> (8 * (i % 4)));

    uint16_t sum = 0;
    for (unsigned j = 0; j < kPikKeyBytes / 2; ++j)
        sum = static_cast<uint16_t>(sum + (le16(&key[2 * j]) ^ (16 - 2 * j)));
    uint16_t check = sum;
    for (unsigned j = 0; j < kPikKeyBytes / 2; ++j) check ^= static_cast<uint16_t>(j ^ be16(&key[2 * j]));
    k.check = check;
    return k;
}

void pikTransform(char* data, size_t size, const PikKey& key) {
    const uint8_t checkBytes[2] = {static_cast<uint8_t>(key.check), static_cast<uint8_t>(key.check >> 8)};
    const size_t head = std::min(size, kPikBlockBytes);
    for (size_t i = 0; i < head; ++i) data[i] = static_cast<char>(static_cast<uint8_t>(data[i]) ^ checkBytes[i % 2]);
    // Every later block starts again at the key's first byte; the block size
    // is a multiple of the key's, so the key simply runs on.
    static_assert(kPikBlockBytes % kPikKeyBytes == 0);
    for (size_t i = head; i < size; ++i)
        data[i] = static_cast<char>(static_cast<uint8_t>(data[i]) ^ key.key[i % kPikKeyBytes]);
}

std::optional<PikHeader> parsePikHeader(std::string_view file) {
    if (file.size() < kPikFixedHeaderBytes || file.substr(0, kPikMarker.size()) != kPikMarker) return std::nullopt;
    // Only the low byte of the stored length counts.
    const size_t n = byteAt(file, kPikExtensionLengthOffset);
    PikHeader h;
    h.dataOffset = kPikFixedHeaderBytes + n;
    if (file.size() < h.dataOffset) return std::nullopt;
    h.extension = std::string(file.substr(kPikExtensionOffset, n));
    // The extension becomes part of a file name beside the scrambled file.
    if (h.extension.find_first_of(std::string_view("/\0", 2)) != std::string::npos) return std::nullopt;
    const size_t saltAt = kPikExtensionOffset + n + kPikReservedBytes;
    h.salt = le32At(file, saltAt);
    h.check = readLe16(file.data() + saltAt + 4);
    return h;
}

std::string pikHeaderBytes(std::string_view extension, uint32_t salt, uint16_t check) {
    std::string out(kPikMarker);
    appendLe(out, static_cast<uint32_t>(extension.size()), 2);
    out.append(extension);
    out.append(kPikReservedBytes, '\0');
    appendLe(out, salt, 4);
    appendLe(out, check, 2);
    return out;
}

std::string pikPathFor(std::string_view plainPath) {
    const size_t dot = lastDotInName(plainPath);
    std::string out(dot == std::string_view::npos ? plainPath : plainPath.substr(0, dot + 1));
    out.append(kPikExtension);
    return out;
}

std::string plainExtensionOf(std::string_view plainPath) {
    const size_t dot = lastDotInName(plainPath);
    return dot == std::string_view::npos ? std::string() : std::string(plainPath.substr(dot + 1));
}

std::string restoredPathFor(std::string_view pikPath, std::string_view storedExtension) {
    std::string out;
    if (const size_t dot = lastDotInName(pikPath); dot != std::string_view::npos) {
        out = pikPath.substr(0, dot + 1);
        out.append(storedExtension);
        return out;
    }
    // A name that had no dot got "PIK" appended.
    const bool appended = fileNameOf(pikPath).size() > kPikExtension.size() && endsWithNoCase(pikPath, kPikExtension);
    out = pikPath.substr(0, pikPath.size() - (appended ? kPikExtension.size() : 0));
    if (!storedExtension.empty()) {
        out.push_back('.');
        out.append(storedExtension);
    }
    return out;
}

bool isPikPath(std::string_view path) {
    const size_t dot = lastDotInName(path);
    return dot != std::string_view::npos && endsWithNoCase(path.substr(dot), ".PIK");
}

}  // namespace melnix
