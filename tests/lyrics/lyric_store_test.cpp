// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_store.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "common/safe_save.h"
#include "lyrics/lyric_text_stream.h"

#include "lyrics/mlx_block.h"
#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

int filesIn(const std::string& folder) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.exists() ? 1 : 0;
    return n;
}

const std::string kId3 = "TAG" + std::string("Title") + std::string(120, ' ');

std::string audioBytes() {
    std::string a(20000, '\0');
    for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<char>((i * 31 + 7) % 256);
    return a;
}

LyricSheet sheetOf(std::initializer_list<const char*> lines) {
    LyricSheet s;
    for (const char* l : lines) s.appendLine(g(l));
    return s;
}

class LyricStoreTest : public ::testing::Test {
protected:
    std::string songPath() const { return dir_.file("song.mp3"); }
    test::TempDir dir_;
    const std::string audio_ = audioBytes();
};

TEST_F(LyricStoreTest, EmbedBeforeTagThenReplaceKeepsOneTagAndTheAudio) {
    test::writeFile(songPath(), audio_ + kId3);
    LyricSheet first = sheetOf({"第一行", "第二行"});
    ASSERT_TRUE(storeInSongTail(songPath(), first));
    EXPECT_EQ(first.songDataLength, static_cast<int64_t>(audio_.size()));

    std::string bytes = test::readFile(songPath());
    EXPECT_EQ(bytes.substr(0, audio_.size()), audio_);
    EXPECT_EQ(bytes.substr(bytes.size() - 128), kId3);
    EXPECT_EQ(bytes.substr(audio_.size(), 6), g("第一行"));

    LyricSheet second = sheetOf({"新的一行"});
    ASSERT_TRUE(storeInSongTail(songPath(), second));
    bytes = test::readFile(songPath());
    EXPECT_EQ(bytes.substr(0, audio_.size()), audio_);
    EXPECT_EQ(bytes.substr(bytes.size() - 128), kId3);
    EXPECT_EQ(bytes.find("TAG"), bytes.size() - 128);  // exactly one tag
    EXPECT_EQ(bytes.find(g("第一行")), std::string::npos);

    LyricSheet back;
    ASSERT_EQ(readTailLyric(songPath(), back), TailLoad::Loaded);
    ASSERT_EQ(back.lineCount(), 1);
    EXPECT_EQ(back.lineAt(0)->text, g("新的一行"));
    EXPECT_EQ(back.songDataLength, static_cast<int64_t>(audio_.size()));
}

TEST_F(LyricStoreTest, EmbedWithoutTagAndRoundTripTimes) {
    test::writeFile(songPath(), audio_);
    LyricSheet s = sheetOf({"你好", "世界和平"});
    s.lineAt(1)->charTimes = {0, 10, 25, 70, 100};
    s.lineAt(1)->duration = 100;
    ASSERT_TRUE(storeInSongTail(songPath(), s));
    LyricSheet back;
    ASSERT_EQ(readTailLyric(songPath(), back), TailLoad::Loaded);
    ASSERT_EQ(back.lineCount(), 2);
    EXPECT_EQ(back.lineAt(1)->charTimes, s.lineAt(1)->charTimes);
    EXPECT_EQ(back.lineAt(0)->duration, 60);
    EXPECT_EQ(back.lineAt(1)->duration, 100);
}

TEST_F(LyricStoreTest, ReadOnlySongIsRefusedAndUnchanged) {
    test::writeFile(songPath(), audio_);
    ::chmod(songPath().c_str(), 0444);
    LyricSheet s = sheetOf({"一"});
    StoreError err;
    EXPECT_FALSE(storeInSongTail(songPath(), s, &err));
    EXPECT_EQ(err.err, EACCES);
    EXPECT_NE(err.detail.find("write-protected"), std::string::npos);
    EXPECT_EQ(test::readFile(songPath()), audio_);
    EXPECT_EQ(filesIn(dir_.path()), 1);
    struct stat st {};
    ASSERT_EQ(::stat(songPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST_F(LyricStoreTest, ReplacedSongKeepsItsModeExactly) {
    test::writeFile(songPath(), audio_);
    ::chmod(songPath().c_str(), 0640);
    LyricSheet s = sheetOf({"一"});
    ASSERT_TRUE(storeInSongTail(songPath(), s));
    struct stat st {};
    ASSERT_EQ(::stat(songPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(LyricStoreTest, EmptySheetRemovesTheBlock) {
    test::writeFile(songPath(), audio_ + kId3);
    LyricSheet s = sheetOf({"一"});
    ASSERT_TRUE(storeInSongTail(songPath(), s));
    LyricSheet none;
    ASSERT_TRUE(storeInSongTail(songPath(), none));
    EXPECT_EQ(test::readFile(songPath()), audio_ + kId3);
}

TEST_F(LyricStoreTest, DamagedBlockStaysInSongDataAndANewOneFollows) {
    test::writeFile(songPath(), audio_);
    LyricSheet s = sheetOf({"一"});
    ASSERT_TRUE(storeInSongTail(songPath(), s));
    std::string bytes = test::readFile(songPath());
    bytes[bytes.size() - 1] ^= 1;  // break the trailer
    test::writeFile(songPath(), bytes);

    LyricSheet back;
    EXPECT_EQ(readTailLyric(songPath(), back), TailLoad::NoBlock);
    EXPECT_EQ(back.songDataLength, static_cast<int64_t>(bytes.size()));
    ASSERT_TRUE(storeInSongTail(songPath(), s));
    EXPECT_EQ(test::readFile(songPath()).substr(0, bytes.size()), bytes);
}

TEST_F(LyricStoreTest, FailedWriteLeavesSongAndOldLyricUntouched) {
    test::writeFile(songPath(), audio_ + kId3);
    LyricSheet old = sheetOf({"旧歌词"});
    ASSERT_TRUE(storeInSongTail(songPath(), old));
    const std::string before = test::readFile(songPath());

    // A child limited to small files stands in for a full disk.
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        LyricSheet fresh = sheetOf({"新歌词"});
        StoreError err;
        bool ok = storeInSongTail(songPath(), fresh, &err);
        ::_exit(ok ? 0 : (err.err == EFBIG ? 3 : 4));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(test::readFile(songPath()), before);
    // No temporary file is left beside the song.
    EXPECT_EQ(filesIn(dir_.path()), 1);
}

TEST_F(LyricStoreTest, MissingSongIsReported) {
    LyricSheet s = sheetOf({"一"});
    StoreError err;
    EXPECT_FALSE(storeInSongTail(dir_.file("missing.mp3"), s, &err));
    EXPECT_EQ(err.err, ENOENT);
    LyricSheet back;
    EXPECT_EQ(readTailLyric(dir_.file("missing.mp3"), back), TailLoad::CannotOpen);
}

TEST_F(LyricStoreTest, SeparateFileRoundTripAndFailedLoadClears) {
    LyricSheet s = sheetOf({"你好", "再见"});
    const std::string mlx = dir_.file("song.MLX");
    ASSERT_TRUE(storeInLyricFile(mlx, s, 12000, "song.mp3"));
    LyricSheet back;
    ASSERT_TRUE(openLyricFile(mlx, back));
    EXPECT_EQ(back.lineCount(), 2);

    test::writeFile(dir_.file("bad.MLX"), "line\r\n\x1A" "not a block");
    EXPECT_FALSE(openLyricFile(dir_.file("bad.MLX"), back));
    EXPECT_EQ(back.lineCount(), 0);
}

TEST_F(LyricStoreTest, ShortSongLengthInABlockKeepsTextWithDefaultTimes) {
    // The block is whole, so it is ours, but its song length is damage: the
    // text survives with default times.
    test::writeFile(songPath(), audio_);
    LyricSheet s = sheetOf({"一二", "三四"});
    ASSERT_TRUE(storeInSongTail(songPath(), s));
    std::string bytes = test::readFile(songPath());
    const size_t sig = bytes.find(kMlxSignature);
    bytes.replace(sig + 62 + 128 + 4, 4, test::le32(100));
    test::writeFile(songPath(), bytes);

    LyricSheet back;
    ASSERT_EQ(readTailLyric(songPath(), back), TailLoad::Damaged);
    ASSERT_EQ(back.lineCount(), 2);
    EXPECT_EQ(back.lineAt(1)->text, g("三四"));
    EXPECT_GT(back.lineAt(1)->startTime, back.lineAt(0)->startTime + back.lineAt(0)->duration);
}

TEST(SongTailRoom, ContainersOfTodayKeepTheirLyricBeside) {
    const struct {
        const char* song;
        bool tail;
    } cases[] = {
        {"/m/a.mp3", true},   {"/m/a.WAV", true},   {"/m/a.mid", true},  {"/m/a.wma", true},
        {"/m/a.avi", true},   {"/m/a.flac", false}, {"/m/a.Ogg", false}, {"/m/a.opus", false},
        {"/m/a.M4A", false},  {"/m/a.mp4", false},  {"/m/a.mkv", false}, {"/m/a.webm", false},
        {"/m/a.mov", false},  {"/m/a.ts", false},   {"/m/a.flv", false}, {"/m/a.flac.mp3", true},
    };
    for (const auto& c : cases) EXPECT_EQ(songCanCarryTailLyric(c.song), c.tail) << c.song;
    EXPECT_EQ(lyricFileBeside("/m/song.flac"), "/m/song.MLX");
}

TEST_F(LyricStoreTest, StoringInAContainerWithoutTailRoomIsRefusedAndLeavesIt) {
    const std::string flac = dir_.file("song.flac");
    test::writeFile(flac, audio_);
    LyricSheet s = sheetOf({"歌"});
    StoreError e;
    EXPECT_FALSE(storeInSongTail(flac, s, &e));
    EXPECT_EQ(e.err, EINVAL);
    EXPECT_EQ(test::readFile(flac), audio_);
}

// MPEG-1 Layer III frames of 417 bytes whose bodies read as text lines, so
// that a block claimed inside them can parse as one and only the audio check
// can refuse it.
std::string textFrames(int count) {
    std::string body;
    while (body.size() < 413) body += "abc\r\n";
    body.resize(413);
    std::string out;
    for (int i = 0; i < count; ++i) out += std::string("\xFF\xFB\x90\x64", 4) + body;
    return out;
}

std::string memoryBytes(File& f) {
    std::string out(static_cast<size_t>(f.length()), '\0');
    f.seek(0);
    f.readExact(out.data(), out.size());
    return out;
}

// A whole block whose text section is text bytes already in a file, from
// start on: its records are made for the lines a reader finds there.
std::string forgedBlock(const std::string& text, int64_t start) {
    File mem;
    mem.openMemory(text + "\x1A");
    LyricTextStream stream(mem);
    LyricSheet sheet;
    std::string line;
    while (stream.readLine(line, false) >= 0) sheet.appendLine(line);
    File out;
    out.openMemory("");
    writeLyricBlock(out, sheet, 0, "");
    std::string binary = memoryBytes(out);
    binary = binary.substr(binary.find(kMlxSignature));
    const auto at = static_cast<uint32_t>(start);
    const auto sigOffset = static_cast<uint32_t>(start + static_cast<int64_t>(text.size()) + 1);
    binary.replace(62 + 128, 4, test::le32(at ^ kStartCheckXor));
    const size_t n = binary.size();
    binary.replace(n - 12, 4, test::le32(sigOffset ^ kSigPointerXor));
    binary.replace(n - 8, 4, test::le32(at ^ kStartPointerAXor));
    binary.replace(n - 4, 4, test::le32(at ^ kStartPointerBXor));
    return text + "\x1A" + binary;
}

std::string withStoredBlock(const std::string& audio) {
    test::TempDir dir;
    const std::string path = dir.file("base.mp3");
    test::writeFile(path, audio);
    LyricSheet s = sheetOf({"一二", "三四"});
    EXPECT_TRUE(storeInSongTail(path, s));
    return test::readFile(path);
}

// Songs whose tail looks like a block but is not one: a save must keep every
// byte and put a new block after them, again and again.
TEST_F(LyricStoreTest, FalseTrailersAndTinySongsKeepEveryByte) {
    const std::string frames = textFrames(20);
    struct Case {
        const char* name;
        std::function<std::string()> song;
    };
    const std::vector<Case> cases = {
        {"start pointers 0",
         [&] {
             std::string b = withStoredBlock(frames);
             const size_t n = b.size();
             b.replace(n - 8, 4, test::le32(0 ^ kStartPointerAXor));
             b.replace(n - 4, 4, test::le32(0 ^ kStartPointerBXor));
             return b;
         }},
        {"start inside the audio",
         [&] {
             const size_t start = 5 * 417 + 100;
             return frames.substr(0, start) + forgedBlock(frames.substr(start) + "\r\n", start);
         }},
        {"start inside a WAV's data chunk",
         [&] {
             std::string samples;
             while (samples.size() < 4000) samples += "abc\r\n";
             samples.resize(4000);
             const std::string head = "RIFF" + test::le32(4 + 24 + 8 + 4000) + "WAVEfmt " + test::le32(16) +
                                      std::string("\x01\x00\x01\x00", 4) + test::le32(8000) + test::le32(16000) +
                                      std::string("\x02\x00\x10\x00", 4) + "data" + test::le32(4000);
             const size_t start = head.size() + 1000;
             return head + samples.substr(0, 1000) + forgedBlock(samples.substr(1000) + "\r\n", start);
         }},
        {"whole block at the start of a text song",
         [&] { return forgedBlock(frames + "\r\n", 0); }},
        {"a block that does not parse",
         [&] {
             std::string b = withStoredBlock(frames);
             // The first record's size word: the entry count becomes 0.
             const size_t records = b.find(kMlxSignature) + 62 + 128 + 12;
             b.replace(records + 4, 4, test::le32(test::wordAt(b, records)));
             return b;
         }},
        {"a 100-byte song", [] { return std::string(100, '\x07'); }},
        {"a 179-byte song ending like a tag", [] { return std::string(51, 'x') + "TAG" + std::string(125, 't'); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = c.song();
        test::writeFile(songPath(), before);
        if (before.size() >= kMinTailSearchSize && before.find("TAG") != before.size() - 128) {
            LyricSheet none;
            EXPECT_NE(readTailLyric(songPath(), none), TailLoad::Loaded);
        }
        for (const char* text : {"新的一行", "又一行"}) {
            LyricSheet s = sheetOf({text});
            StoreError err;
            ASSERT_TRUE(storeInSongTail(songPath(), s, &err)) << err.detail;
            const std::string after = test::readFile(songPath());
            EXPECT_EQ(after.substr(0, before.size()), before);
            EXPECT_EQ(s.songDataLength, static_cast<int64_t>(before.size()));
            LyricSheet back;
            ASSERT_EQ(readTailLyric(songPath(), back), TailLoad::Loaded);
            ASSERT_EQ(back.lineCount(), 1);
            EXPECT_EQ(back.lineAt(0)->text, g(text));
            EXPECT_EQ(back.songDataLength, static_cast<int64_t>(before.size()));
        }
        EXPECT_EQ(filesIn(dir_.path()), 1);
    }
}

TEST_F(LyricStoreTest, OlderLyricsTagBeforeId3StaysAndTheBlockIsFoundAgain) {
    const std::string lyrics3 = "TAG" + std::string(86, '-') + "LYRICSBEGIN" + "some words" + "LYRICSEND";
    const std::string frames = textFrames(12);
    test::writeFile(songPath(), frames + lyrics3 + kId3);
    size_t size = 0;
    for (const char* text : {"第一次", "第二次", "第三次"}) {
        LyricSheet s = sheetOf({text});
        ASSERT_TRUE(storeInSongTail(songPath(), s));
        const std::string bytes = test::readFile(songPath());
        EXPECT_EQ(bytes.substr(0, frames.size()), frames);
        EXPECT_EQ(bytes.substr(bytes.size() - 128), kId3);
        EXPECT_NE(bytes.find(lyrics3), std::string::npos);
        if (size) EXPECT_EQ(bytes.size(), size);
        size = bytes.size();
        LyricSheet back;
        ASSERT_EQ(readTailLyric(songPath(), back), TailLoad::Loaded);
        EXPECT_EQ(back.lineAt(0)->text, g(text));
    }
}

// The copy succeeds and a later step fails: the song and its lyric stay.
TEST_F(LyricStoreTest, FailuresAfterTheCopyLeaveTheSong) {
    test::writeFile(songPath(), audio_ + kId3);
    LyricSheet old = sheetOf({"旧歌词"});
    ASSERT_TRUE(storeInSongTail(songPath(), old));
    const std::string before = test::readFile(songPath());

    // A file-size limit just above the audio: the block does not fit.
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = audio_.size() + 40;
        rlimit lim{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        LyricSheet fresh = sheetOf({"新歌词"});
        StoreError err;
        bool ok = storeInSongTail(songPath(), fresh, &err);
        ::_exit(ok ? 0 : (err.err == EFBIG ? 3 : 4));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(test::readFile(songPath()), before);
    EXPECT_EQ(filesIn(dir_.path()), 1);

    // The flush before the rename fails.
    setSafeSaveSyncForTesting([](int) {
        errno = EIO;
        return -1;
    });
    LyricSheet fresh = sheetOf({"新歌词"});
    StoreError err;
    EXPECT_FALSE(storeInSongTail(songPath(), fresh, &err));
    setSafeSaveSyncForTesting(nullptr);
    EXPECT_EQ(err.err, EIO);
    EXPECT_EQ(test::readFile(songPath()), before);
    EXPECT_EQ(filesIn(dir_.path()), 1);
    LyricSheet back;
    ASSERT_EQ(readTailLyric(songPath(), back), TailLoad::Loaded);
    EXPECT_EQ(back.lineAt(0)->text, g("旧歌词"));
}

}  // namespace
}  // namespace melnix
