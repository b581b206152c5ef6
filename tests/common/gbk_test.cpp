// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/gbk.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

TEST(Gbk, RoundTripsChineseAndAscii) {
    const std::string utf8 = "\xE4\xBD\xA0\xE5\xA5\xBD abc";  // 你好 abc
    const std::string gbk = "\xC4\xE3\xBA\xC3 abc";
    EXPECT_EQ(utf8ToGbk(utf8), gbk);
    EXPECT_EQ(gbkToUtf8(gbk), utf8);
}

TEST(Gbk, BadBytesAreReplacedNotFatal) {
    // A lone lead byte at the end and an invalid pair in the middle.
    EXPECT_EQ(gbkToUtf8("a\xC4"), "a\xEF\xBF\xBD");
    EXPECT_EQ(gbkToUtf8("\xFF" "b"), "\xEF\xBF\xBD" "b");
    // U+1F600 has no GBK form; invalid UTF-8 is replaced as well.
    EXPECT_EQ(utf8ToGbk("x\xF0\x9F\x98\x80y"), "x?y");
    EXPECT_EQ(utf8ToGbk("x\xE4\xBDy"), "x?y");
}

}  // namespace
}  // namespace melnix
