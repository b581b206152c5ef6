// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/hand_over_message.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

using namespace std::string_literals;

std::optional<std::vector<std::string>> readAll(const std::string& bytes, size_t piece) {
    HandOverReader reader;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        if (!reader.feed(bytes.data() + at, std::min(piece, bytes.size() - at))) return std::nullopt;
        if (at + piece < bytes.size()) {
            // Nothing comes out before the message is whole.
            if (reader.next()) return std::vector<std::string>{"early"};
        }
    }
    return reader.next();
}

TEST(HandOverMessage, PathsArriveWholeHoweverTheBytesAreCut) {
    const std::vector<std::vector<std::string>> cases = {
        {"/music/a.mp3"},
        {"/music/第一首.mp3", "/music/line\nbreak:colon.wav", "/" + std::string(5000, 'n') + ".mid"},
        {},
    };
    for (const auto& paths : cases) {
        const std::string bytes = encodeHandOver(paths);
        for (size_t piece : {size_t{1}, size_t{3}, size_t{64}, bytes.size()})
            EXPECT_EQ(readAll(bytes, piece), paths) << piece;
    }
}

TEST(HandOverMessage, SeveralMessagesOnOneConnectionComeInOrder) {
    HandOverReader reader;
    const std::string bytes = encodeHandOver({"/a.mp3"}) + encodeHandOver({"/b.mp3", "/c.mp3"});
    ASSERT_TRUE(reader.feed(bytes.data(), bytes.size()));
    EXPECT_EQ(reader.next(), (std::vector<std::string>{"/a.mp3"}));
    EXPECT_EQ(reader.next(), (std::vector<std::string>{"/b.mp3", "/c.mp3"}));
    EXPECT_EQ(reader.next(), std::nullopt);
}

TEST(HandOverMessage, WhatIsNoMessageIsRefused) {
    for (const std::string& bytes : {"GET / HTTP/1.0\r\n"s, "12345 1\n3:abc"s, "811112228 x\n"s,
                                    "811112228 1\nxx:/a"s, "811112228 99999999\n"s}) {
        HandOverReader reader;
        reader.feed(bytes.data(), bytes.size());
        EXPECT_EQ(reader.next(), std::nullopt) << bytes;
        // And nothing that follows makes it one.
        const std::string good = encodeHandOver({"/a.mp3"});
        reader.feed(good.data(), good.size());
        EXPECT_EQ(reader.next(), std::nullopt) << bytes;
    }
    HandOverReader big;
    const std::string huge(kMaxHandOverBytes + 1, '8');
    EXPECT_FALSE(big.feed(huge.data(), huge.size()));
}

}  // namespace
}  // namespace melnix
