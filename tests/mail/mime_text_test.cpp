// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mime_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace melnix {
namespace {

struct Case {
    std::string in;
    std::string out;
};

std::string repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(Base64Lines, EncodesGroupsPadsAndBreaksEvery76Characters) {
    const std::string line57(57, '\0');          // 57 bytes fill one line exactly
    const std::string line76 = repeat("AAAA", 19);  // their 76 characters
    const Case cases[] = {
        {"", "\r\n"},
        {"M", "TQ==\r\n"},
        {"Ma", "TWE=\r\n"},
        {"Man", "TWFu\r\n"},
        {"\xFF\xFE\xFD", "//79\r\n"},
        {line57, line76 + "\r\n\r\n"},
        {line57 + "M", line76 + "\r\nTQ==\r\n"},
        {line57 + line57, line76 + "\r\n" + line76 + "\r\n\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(base64Lines(c.in), c.out) << "input of " << c.in.size() << " bytes";
}

TEST(QuotedPrintable, EncodesWhatIsNotPlainText) {
    const Case cases[] = {
        {"plain text, 100% ok!", "plain text, 100% ok!"},
        {"a=b", "a=3Db"},
        {"\xC4\xE3\xBA\xC3", "=C4=E3=BA=C3"},  // GBK
        {"tab\there", "tab\there"},
        {"bell\x07", "bell=07"},
        {"end \r\nnext\t\r\nlast ", "end=20\r\nnext=09\r\nlast=20"},
        {"a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
        // A line that opens with a dot or a dash can neither end the data
        // nor pose as a boundary.
        {".\r\n.hidden", "=2E\r\n=2Ehidden"},
        {"--#BOUNDARY#--", "=2D-#BOUNDARY#--"},
        {"a.b-c", "a.b-c"},
    };
    for (const Case& c : cases) EXPECT_EQ(quotedPrintable(c.in), c.out) << c.in;
}

TEST(QuotedPrintable, BreaksLongLinesSoftlyAt76Characters) {
    const std::string a75(75, 'a');
    const Case cases[] = {
        {std::string(76, 'a'), std::string(76, 'a')},
        {std::string(77, 'a'), a75 + "=\r\naa"},
        {std::string(150, 'a'), a75 + "=\r\n" + a75},
        // An escape is never split, and a dot after a soft break is escaped.
        {std::string(74, 'a') + "==", std::string(74, 'a') + "=\r\n=3D=3D"},
        {a75 + ".", a75 + "."},
        {a75 + "..", a75 + "=\r\n=2E."},
        // A space before a soft break stays; one at the line's end does not.
        {std::string(74, 'a') + " b", std::string(74, 'a') + " b"},
        {std::string(75, 'a') + " ", a75 + "=\r\n=20"},
    };
    for (const Case& c : cases) EXPECT_EQ(quotedPrintable(c.in), c.out) << c.in;
}

TEST(QuotedPrintable, NoEncodedLineIsLongerThan76Characters) {
    std::mt19937 random(12);
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            const auto r = random() % 10;
            if (r == 0)
                text += '\n';
            else
                text += static_cast<char>(r < 4 ? 0x80 + random() % 0x80 : 32 + random() % 95);
        }
        const std::string encoded = quotedPrintable(withCrLfLineEnds(text));
        size_t start = 0;
        while (start <= encoded.size()) {
            size_t end = encoded.find("\r\n", start);
            if (end == std::string::npos) end = encoded.size();
            ASSERT_LE(end - start, 76u) << encoded.substr(start, end - start);
            ASSERT_NE(encoded[start], '.') << encoded;
            start = end + 2;
        }
    }
}

TEST(LineEnds, EveryKindOfLineEndBecomesCrLf) {
    const Case cases[] = {
        {"a\r\nb", "a\r\nb"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb", "a\r\nb"},
        {"a\n\r\nb\r\r\n", "a\r\n\r\nb\r\n\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(withCrLfLineEnds(c.in), c.out) << c.in;
}

TEST(DotStuffing, DoublesTheDotThatOpensALineAndUndoesIt) {
    const Case cases[] = {
        {"no dots", "no dots"},
        {".first line", "..first line"},
        {"a\r\n.\r\nb", "a\r\n..\r\nb"},
        {"a\r\n..b", "a\r\n...b"},
        {"a.b\r\n x.", "a.b\r\n x."},
        {".", ".."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dotStuffed(c.in), c.out) << c.in;
        EXPECT_EQ(dotUnstuffed(c.out), c.in) << c.out;
    }
}

TEST(SingleLine, LineBreaksBecomeSpaces) {
    EXPECT_EQ(singleLine("Hi\r\nBcc: x@y\rz\n"), "Hi  Bcc: x@y z ");
}

}  // namespace
}  // namespace melnix
