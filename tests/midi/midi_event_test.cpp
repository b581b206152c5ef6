// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/midi_event.h"

#include <gtest/gtest.h>

#include <cctype>
#include <vector>

namespace melnix {
namespace {

struct VarLenCase {
    std::vector<uint8_t> bytes;
    int used;
    uint32_t value;
};

void PrintTo(const VarLenCase& c, std::ostream* os) { *os << c.bytes.size() << " bytes"; }

class ReadVarLenTest : public ::testing::TestWithParam<VarLenCase> {};

TEST_P(ReadVarLenTest, ReadsValueAndCount) {
    const VarLenCase& c = GetParam();
    uint32_t value = 12345;
    int used = ReadVarLen(c.bytes.data(), static_cast<int64_t>(c.bytes.size()), value);
    if (c.used > 0) {
        EXPECT_EQ(used, c.used);
        EXPECT_EQ(value, c.value);
    } else {
        EXPECT_LE(used, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ReadVarLenTest,
                         ::testing::Values(VarLenCase{{0x00}, 1, 0}, VarLenCase{{0x7F}, 1, 127},
                                           VarLenCase{{0x81, 0x00}, 2, 128}, VarLenCase{{0xFF, 0x7F}, 2, 16383},
                                           VarLenCase{{0x81, 0x80, 0x80, 0x00}, 4, 0x200000},
                                           VarLenCase{{0xFF, 0xFF, 0xFF, 0x7F}, 4, 0x0FFFFFFF},
                                           VarLenCase{{0x40, 0x99}, 1, 0x40},  // stops at the first byte
                                           VarLenCase{{}, 0, 0},                // nothing there
                                           VarLenCase{{0x81}, 0, 0},            // runs out
                                           VarLenCase{{0x81, 0x80}, 0, 0}));

struct Walk {
    explicit Walk(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}
    std::vector<uint8_t> data;
    uint32_t cursor = 0;
    uint8_t running = 0;
    MidiEvent event;
    EventRead next() { return ReadEvent(data, cursor, static_cast<uint32_t>(data.size()), running, event); }
};

TEST(ReadEventTest, DataByteReusesRunningStatus) {
    Walk w({0x91, 60, 100, 62, 90});
    ASSERT_EQ(w.next(), EventRead::Event);
    EXPECT_EQ(w.event.status, 0x91);
    ASSERT_EQ(w.next(), EventRead::Event);
    EXPECT_EQ(w.event.status, 0x91);
    EXPECT_EQ(w.event.data1, 62);
    EXPECT_EQ(w.event.data2, 90);
    EXPECT_EQ(w.event.dataOffset, 3u);
    EXPECT_EQ(w.cursor, 5u);
}

TEST(ReadEventTest, ProgramAndChannelPressureCarryOneDataByte) {
    Walk w({0xC3, 40, 0xD3, 7});
    ASSERT_EQ(w.next(), EventRead::Event);
    EXPECT_EQ(w.event.data1, 40);
    EXPECT_EQ(w.cursor, 2u);
    ASSERT_EQ(w.next(), EventRead::Event);
    EXPECT_EQ(w.event.kind(), kStatusChannelPressure);
    EXPECT_EQ(w.cursor, 4u);
}

TEST(ReadEventTest, SystemExclusiveIsSkippedAndKeepsRunningStatus) {
    Walk w({0x90, 60, 1, 0xF0, 0x03, 1, 2, 3, 61, 2});
    ASSERT_EQ(w.next(), EventRead::Event);
    ASSERT_EQ(w.next(), EventRead::Event);
    EXPECT_EQ(w.event.status, kStatusSysEx);
    EXPECT_EQ(w.event.dataLength, 3u);
    ASSERT_EQ(w.next(), EventRead::Event);
    EXPECT_EQ(w.event.status, 0x90);
    EXPECT_EQ(w.event.data1, 61);
}

TEST(ReadEventTest, MetaEventGivesTypeAndData) {
    Walk w({0xFF, 0x05, 0x02, 'h', 'i', 0xFF, 0x2F, 0x00});
    ASSERT_EQ(w.next(), EventRead::Event);
    EXPECT_TRUE(w.event.isMeta(kMetaLyric));
    EXPECT_EQ(w.event.dataOffset, 3u);
    EXPECT_EQ(w.event.dataLength, 2u);
    EXPECT_EQ(w.next(), EventRead::EndOfTrack);
}

struct StopCase {
    const char* what;
    std::vector<uint8_t> data;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.what; }

class ReadEventStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(ReadEventStopTest, EndsTheWalk) {
    Walk w(GetParam().data);
    EXPECT_EQ(w.next(), EventRead::Stop);
    EXPECT_EQ(w.cursor, 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadEventStopTest,
                         ::testing::Values(StopCase{"no data", {}}, StopCase{"system common status", {0xF1, 0x00}},
                                           StopCase{"data without a running status", {0x40, 0x40}},
                                           StopCase{"note cut short", {0x90, 60}},
                                           StopCase{"program without its byte", {0xC0}},
                                           StopCase{"meta without its type", {0xFF}},
                                           StopCase{"meta length runs out", {0xFF, 0x01, 0x81}},
                                           StopCase{"meta data runs out", {0xFF, 0x01, 0x05, 'a', 'b'}},
                                           StopCase{"sysex data runs out", {0xF0, 0x7F, 0x01}}),
                         [](const auto& p) {
                             std::string name;
                             for (const char* c = p.param.what; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });

TEST(ReadDeltaTest, FailsAtTheEndOfTheTrack) {
    std::vector<uint8_t> data = {0x83, 0x60, 0x81};
    uint32_t cursor = 0;
    uint32_t delta = 0;
    ASSERT_TRUE(ReadDelta(data, cursor, 3, delta));
    EXPECT_EQ(delta, 480u);
    EXPECT_FALSE(ReadDelta(data, cursor, 3, delta));
    EXPECT_EQ(cursor, 2u);
}

TEST(ReadDeltaTest, NeverReadsPastTheBuffer) {
    std::vector<uint8_t> data = {0x00};
    uint32_t cursor = 0;
    uint32_t delta = 0;
    EXPECT_FALSE(ReadDelta(data, cursor, 100, delta));
}

}  // namespace
}  // namespace melnix
