// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/riff_reader.h"

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

std::string chunk(const char* id, const std::string& data) {
    std::string s(id, 4);
    s += test::le32(static_cast<uint32_t>(data.size())) + data;
    if (data.size() & 1) s.push_back('\0');  // pad byte
    return s;
}

class RiffReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // RIFF WAVE with an odd-sized chunk before fmt and data.
        std::string body = "WAVE" + chunk("junk", "abc") + chunk("fmt ", std::string(16, 'f')) + chunk("data", "12345678");
        test::writeFile(dir_.file("a.wav"), "RIFF" + test::le32(static_cast<uint32_t>(body.size())) + body);
        ASSERT_TRUE(file_.open(dir_.file("a.wav"), File::Mode::Read));
    }
    test::TempDir dir_;
    File file_;
};

TEST_F(RiffReaderTest, FindsFormThenChunksSkippingPadding) {
    RiffReader riff(file_);
    RiffChunk form, fmt, data;
    ASSERT_TRUE(riff.descend(form, nullptr, RiffReader::Find::Riff, fourCC('W', 'A', 'V', 'E')));
    EXPECT_EQ(form.dataOffset, 8);
    EXPECT_EQ(file_.position(), 12);
    ASSERT_TRUE(riff.descend(fmt, &form, RiffReader::Find::Chunk, fourCC('f', 'm', 't', ' ')));
    EXPECT_EQ(fmt.size, 16u);
    ASSERT_TRUE(riff.ascend(fmt));
    ASSERT_TRUE(riff.descend(data, &form, RiffReader::Find::Chunk, fourCC('d', 'a', 't', 'a')));
    char buf[8];
    ASSERT_TRUE(file_.readExact(buf, 8));
    EXPECT_EQ(std::string(buf, 8), "12345678");
}

TEST_F(RiffReaderTest, MissingChunkAndWrongFormFail) {
    RiffReader riff(file_);
    RiffChunk form, c;
    EXPECT_FALSE(riff.descend(form, nullptr, RiffReader::Find::Riff, fourCC('R', 'M', 'I', 'D')));
    file_.seek(0);
    ASSERT_TRUE(riff.descend(form, nullptr, RiffReader::Find::Riff, fourCC('W', 'A', 'V', 'E')));
    EXPECT_FALSE(riff.descend(c, &form, RiffReader::Find::Chunk, fourCC('L', 'I', 'S', 'T')));
}

TEST(RiffReaderDamaged, TruncatedHeaderAndHugeSizeEndCleanly) {
    test::TempDir dir;
    test::writeFile(dir.file("t"), "RIFF\x10\x00");
    File f;
    ASSERT_TRUE(f.open(dir.file("t"), File::Mode::Read));
    RiffReader riff(f);
    RiffChunk c;
    EXPECT_FALSE(riff.descend(c, nullptr, RiffReader::Find::Any));

    test::writeFile(dir.file("u"), "RIFF" + test::le32(40) + "WAVE" + "junk" + test::le32(0xFFFFFF00u));
    ASSERT_TRUE(f.open(dir.file("u"), File::Mode::Read));
    RiffChunk form;
    ASSERT_TRUE(riff.descend(form, nullptr, RiffReader::Find::Riff, fourCC('W', 'A', 'V', 'E')));
    EXPECT_FALSE(riff.descend(c, &form, RiffReader::Find::Chunk, fourCC('d', 'a', 't', 'a')));
}

}  // namespace
}  // namespace melnix
