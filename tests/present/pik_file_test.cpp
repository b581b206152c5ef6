// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/pik_file.h"

#include <bit>
#include <cstring>

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

static_assert(std::endian::native == std::endian::little, "the reference reads words with memcpy");

struct ReferenceKey {
    std::array<uint8_t, 16> key{};
    uint16_t check = 0;
};

// The key and check value worked out from the rules, written apart from the
// code under test: P (already upper case) is laid out or folded into K, the
// salt goes over K as four words, then the two sums over K's 16-bit words.
ReferenceKey referenceKey(const std::string& p, uint32_t salt) {
    ReferenceKey r;
    uint8_t* k = r.key.data();
    if (p.size() > 15) {
        for (size_t c = 0; c * 16 < p.size(); ++c) {
            const size_t m = std::min<size_t>(16, p.size() - c * 16);
            for (size_t i = 0; i < m; ++i)
                k[i] = static_cast<uint8_t>(k[i] ^ (c * m + i) ^ static_cast<uint8_t>(p[c * 16 + i]));
        }
    } else {
        std::string laid;
        while (laid.size() < 16) laid += p + std::string(1, '\0');
        std::memcpy(k, laid.data(), 16);
    }
    for (int w = 0; w < 4; ++w) {
        uint32_t v;
        std::memcpy(&v, k + 4 * w, 4);
        v ^= salt;
        std::memcpy(k + 4 * w, &v, 4);
    }
    uint32_t sum = 0;
    for (uint32_t j = 0; j < 8; ++j) {
        uint16_t w;
        std::memcpy(&w, k + 2 * j, 2);
        sum += w ^ (16 - 2 * j);
    }
    uint32_t x = sum & 0xFFFF;
    for (uint32_t j = 0; j < 8; ++j) x ^= j ^ (static_cast<uint32_t>(k[2 * j]) << 8 | k[2 * j + 1]);
    r.check = static_cast<uint16_t>(x);
    return r;
}

TEST(PikKey, ThreeLetterPasswordWithoutSaltMatchesHandWorkedValue) {
    // K = "ABC\0" four times; sum of words ^ (16-2j) = 0x0A48, the XOR of
    // j ^ big-endian words cancels out to 0.
    EXPECT_EQ(pikKey("ABC", 0).check, 0x0A48);
    EXPECT_EQ(referenceKey("ABC", 0).check, 0x0A48);
}

struct KeyCase {
    std::string name;
    std::string password;  // as typed
    std::string upper;     // what the key is made of
    size_t bytes;
    uint32_t salt;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class PikKeyCases : public ::testing::TestWithParam<KeyCase> {};

TEST_P(PikKeyCases, KeyAndCheckFollowTheRules) {
    const KeyCase& c = GetParam();
    ASSERT_EQ(c.upper.size(), c.bytes);
    const PikKey got = pikKey(c.password, c.salt);
    const ReferenceKey want = referenceKey(c.upper, c.salt);
    EXPECT_EQ(got.check, want.check);
    EXPECT_EQ(got.key, want.key);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, PikKeyCases,
    ::testing::Values(KeyCase{"ThreeBytes", "abc", "ABC", 3, 0x12345678},
                      KeyCase{"FifteenBytesRepeated", "fifteen-bytes!!", "FIFTEEN-BYTES!!", 15, 0x7FFF},
                      KeyCase{"SixteenBytesFolded", "Sixteen bytes ok", "SIXTEEN BYTES OK", 16, 0xDEADBEEF},
                      KeyCase{"FortyBytesLastBlockShort", "forty bytes of password for three blocks",
                              "FORTY BYTES OF PASSWORD FOR THREE BLOCKS", 40, 41},
                      KeyCase{"FiveBytesCutShort", "Tiger", "TIGER", 5, 1},
                      // 0x81 0x61 is one GBK character: its trail byte stays lower case.
                      KeyCase{"GbkTrailByteKept", "\x81" "ab", "\x81" "aB", 3, 0xFFFFFFFF}),
    test::CaseName());

TEST(PikKey, FifteenAndSixteenBytesUseDifferentForms) {
    // A 16-byte password folds with i ^ P[i]: its first byte is P[0] ^ 0, its
    // second P[1] ^ 1, unlike the repeated form's plain copy.
    EXPECT_EQ(pikKey("AAAAAAAAAAAAAAAA", 0).key[1], 'A' ^ 1);
    EXPECT_EQ(pikKey("AAAAAAAAAAAAAAA", 0).key[1], 'A');
    EXPECT_EQ(pikKey("AAAAAAAAAAAAAAA", 0).key[15], 0);
}

TEST(PikKey, LowerCaseGivesTheSameKeyAsUpperCase) {
    EXPECT_EQ(pikKey("secret", 77).check, pikKey("SECRET", 77).check);
    EXPECT_EQ(pikKey("secret", 77).key, pikKey("SECRET", 77).key);
    EXPECT_NE(pikKey("secret", 77).check, pikKey("SECRET", 78).check);
}

TEST(PikTransform, FirstBlockTakesTheCheckValueLaterBlocksTheKey) {
    const PikKey k = pikKey("ABC", 0x01020304);
    std::string data(2100, '\0');
    pikTransform(data.data(), data.size(), k);
    for (size_t i = 0; i < 1024; ++i)
        ASSERT_EQ(static_cast<uint8_t>(data[i]), static_cast<uint8_t>(k.check >> (8 * (i % 2)))) << i;
    for (size_t i = 1024; i < data.size(); ++i)
        ASSERT_EQ(static_cast<uint8_t>(data[i]), k.key[(i - 1024) % 16]) << i;
    pikTransform(data.data(), data.size(), k);
    EXPECT_EQ(data, std::string(2100, '\0'));
}

std::string header(const std::string& ext, uint32_t salt, uint16_t check) {
    std::string h = "JiamiPic";
    h += static_cast<char>(ext.size());
    h += '\0';
    h += ext + std::string(16, '\0') + test::le32(salt);
    h += static_cast<char>(check & 0xFF);
    h += static_cast<char>(check >> 8);
    return h;
}

TEST(PikHeader, WrittenFieldByField) {
    EXPECT_EQ(pikHeaderBytes("JPG", 0x11223344, 0xA1B2), header("JPG", 0x11223344, 0xA1B2));
    const auto h = parsePikHeader(header("JPG", 0x11223344, 0xA1B2) + "data");
    ASSERT_TRUE(h);
    EXPECT_EQ(h->extension, "JPG");
    EXPECT_EQ(h->salt, 0x11223344u);
    EXPECT_EQ(h->check, 0xA1B2);
    EXPECT_EQ(h->dataOffset, 35u);
}

TEST(PikHeader, OnlyTheLowByteOfTheLengthCounts) {
    std::string file = header("WMF", 5, 6);
    file[9] = 0x01;
    const auto h = parsePikHeader(file);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->extension, "WMF");
    EXPECT_EQ(h->dataOffset, 35u);
}

TEST(PikHeader, HeaderWithoutDataIsAnEmptyPicture) {
    const auto h = parsePikHeader(header("", 1, 2));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->dataOffset, 32u);
}

struct BadHeader {
    std::string name;
    std::string file;
};
void PrintTo(const BadHeader& c, std::ostream* os) { *os << c.name; }

class PikBadHeaders : public ::testing::TestWithParam<BadHeader> {};

TEST_P(PikBadHeaders, AreRefused) { EXPECT_FALSE(parsePikHeader(GetParam().file)); }

std::string withLength(std::string file, unsigned char n) {
    file[8] = static_cast<char>(n);
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PikBadHeaders,
    ::testing::Values(BadHeader{"Empty", ""}, BadHeader{"TwelveBytes", "JiamiPic\x03\0JP"},
                      BadHeader{"ShorterThanItsOwnHeader", header("JPG", 1, 2).substr(0, 34)},
                      BadHeader{"ExtensionBeyondTheFile", withLength(header("JPG", 1, 2) + "abc", 200)},
                      BadHeader{"WrongMarker", "JiamiPiX" + header("JPG", 1, 2).substr(8)},
                      BadHeader{"ExtensionLeavingTheFolder", header("/../../x", 1, 2) + "data"},
                      BadHeader{"ExtensionWithNul", header(std::string("J\0G", 3), 1, 2)}),
    test::CaseName());

struct NameCase {
    std::string name;
    std::string plain;
    std::string pik;
    std::string extension;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class PikNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(PikNames, PlainAndScrambledNamesMapBothWays) {
    const NameCase& c = GetParam();
    EXPECT_EQ(pikPathFor(c.plain), c.pik);
    EXPECT_EQ(plainExtensionOf(c.plain), c.extension);
    EXPECT_EQ(restoredPathFor(c.pik, c.extension), c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PikNames,
    ::testing::Values(NameCase{"Jpeg", "/p/a.jpg", "/p/a.PIK", "jpg"},
                      NameCase{"TwoDots", "/p/a.b.JPEG", "/p/a.b.PIK", "JPEG"},
                      NameCase{"NoDotGetsPikAppended", "/p/photo", "/p/photoPIK", ""},
                      NameCase{"DotInFolderOnly", "/p.d/photo", "/p.d/photoPIK", ""},
                      NameCase{"TrailingDot", "/p/a.", "/p/a.PIK", ""}),
    test::CaseName());

TEST(PikNames, StoredExtensionDecidesTheRestoredName) {
    EXPECT_EQ(restoredPathFor("/p/x.pik", "WMF"), "/p/x.WMF");
    // The caller must refuse to restore a file onto itself.
    EXPECT_EQ(restoredPathFor("/p/x.PIK", "PIK"), "/p/x.PIK");
    EXPECT_FALSE(isPikPath("/p.PIK/photo"));
    EXPECT_TRUE(isPikPath("/p/a.pik"));
}

}  // namespace
}  // namespace melnix
