#include "lyrics/lyric_store.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "lyrics/mlx_block.h"
#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

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

TEST_F(LyricStoreTest, ReadOnlySongBecomesWritableAndKeepsOtherBits) {
    test::writeFile(songPath(), audio_);
    ::chmod(songPath().c_str(), 0444);
    LyricSheet s = sheetOf({"一"});
    ASSERT_TRUE(storeInSongTail(songPath(), s));
    struct stat st {};
    ASSERT_EQ(::stat(songPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
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
    EXPECT_EQ(std::system(("test $(ls -A '" + dir_.path() + "' | wc -l) -eq 1").c_str()), 0);
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

TEST_F(LyricStoreTest, DamagedTimingsKeepTextWithDefaultTimes) {
    test::writeFile(songPath(), audio_);
    LyricSheet s = sheetOf({"一二", "三四"});
    ASSERT_TRUE(storeInSongTail(songPath(), s));
    std::string bytes = test::readFile(songPath());
    // Break the first record's size word: the entry count becomes 0.
    const size_t records = audio_.size() + bytes.substr(audio_.size()).find('\x1A') + 1 + 62 + 128 + 12;
    bytes.replace(records + 4, 4, test::le32(test::wordAt(bytes, records)));
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

}  // namespace
}  // namespace melnix
