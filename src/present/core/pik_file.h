// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scrambled picture file (".PIK"): a short header with the plain file's
// extension, a salt and a 16-bit check of the password, then the picture's
// bytes XORed with a key made from the password and the salt.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace melnix {

constexpr std::string_view kPikMarker = "JiamiPic";
constexpr std::string_view kPikExtension = "PIK";
constexpr size_t kPikExtensionLengthOffset = 8;
constexpr size_t kPikExtensionOffset = 10;
constexpr size_t kPikReservedBytes = 16;
// Header bytes besides the stored extension: marker, length, reserved, salt, check.
constexpr size_t kPikFixedHeaderBytes = 32;
// The first block is XORed with the check value, the others with the key.
constexpr size_t kPikBlockBytes = 1024;
constexpr size_t kPikKeyBytes = 16;

using PikKeyBytes = std::array<uint8_t, kPikKeyBytes>;

struct PikKey {
    PikKeyBytes key{};
    uint16_t check = 0;
};

// Passwords are not case-sensitive: ASCII letters are upper-cased, while
// both bytes of a GBK character are left as they are (a trail byte may fall
// in the range of the ASCII letters).
std::string normalisePikPassword(std::string_view password);

// The key and check value of a password (GBK bytes, normalised here) for a
// salt.
PikKey pikKey(std::string_view password, uint32_t salt);

// Scrambles or unscrambles (the same operation) data that starts at the
// first byte after the header.
void pikTransform(char* data, size_t size, const PikKey& key);

struct PikHeader {
    std::string extension;  // of the plain file, without the dot
    uint32_t salt = 0;
    uint16_t check = 0;
    size_t dataOffset = 0;  // where the scrambled bytes start
};

// Reads the header at the start of file (the whole file or at least all of
// its header). Fails for a file without the marker, one shorter than its
// header says, and an extension that could not be part of a file name.
std::optional<PikHeader> parsePikHeader(std::string_view file);

// The header for a plain file with the given extension (at most 255 bytes).
std::string pikHeaderBytes(std::string_view extension, uint32_t salt, uint16_t check);

// The scrambled file's name: the plain name up to and including its last
// "." followed by "PIK"; a name without a dot gets "PIK" appended.
std::string pikPathFor(std::string_view plainPath);
// The extension of a plain file as it is stored: after the name's last ".",
// empty without one.
std::string plainExtensionOf(std::string_view plainPath);
// The name a scrambled file restores to: up to and including the name's last
// "." followed by the stored extension; a name that got "PIK" appended loses
// it again. It may be the scrambled file's own name, which a caller writing
// the plain file must refuse.
std::string restoredPathFor(std::string_view pikPath, std::string_view storedExtension);

bool isPikPath(std::string_view path);

}  // namespace melnix
