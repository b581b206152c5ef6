// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/song_session.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "common/paths.h"
#include "lyrics/lyric_store.h"
#include "midi/smf_builder.h"
#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

class FakeHost : public SongHost {
public:
    void releaseSong() override { ++released; }
    PlaybackOpen openForPlayback(const std::string& path) override {
        opened.push_back(path);
        return result;
    }
    void setWindowTitle(const std::string& t) override { title = t; }
    void songFailed(const std::string& path, SongProblem why) override {
        errors.push_back(path + ":" + std::to_string(static_cast<int>(why)));
    }
    void lyricFileLoaded(const std::string& path) override { lyricPath = path; }

    PlaybackOpen result = PlaybackOpen::Opened;
    int released = 0;
    std::vector<std::string> opened;
    std::vector<std::string> errors;
    std::string title, lyricPath;
};

std::string id3(const std::string& title, const std::string& artist, const std::string& album, const std::string& year) {
    auto field = [](std::string s, size_t n) {
        s.resize(n, '\0');
        return s;
    };
    return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + std::string(31, '\0');
}

// A later start of the program: its own state, lyric and host.
struct NextStart {
    AppState state;
    LyricSheet sheet;
    FakeHost host;
    SongSession session{state, sheet, host};
};

class SongSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("MELNIX_HOME", home_.path().c_str(), 1);
        audio_ = std::string(3000, '\x42');
    }
    SongSession session() { return SongSession(state_, sheet_, host_); }
    std::string song(const std::string& name, const std::string& bytes) {
        test::writeFile(files_.file(name), bytes);
        return files_.file(name);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const LyricLine& l : sheet_) out.push_back(test::u(l.text));
        return out;
    }

    test::TempDir home_, files_, program_;
    AppState state_;
    LyricSheet sheet_;
    FakeHost host_;
    std::string audio_;
};

TEST_F(SongSessionTest, FirstStartPlaysTheDemonstrationSong) {
    SongSession s = session();
    ASSERT_TRUE(s.loadStateAndOpen(program_.path(), "", "MThd-demo"));
    const std::string demo = home_.file("BHL.MID");
    EXPECT_EQ(test::readFile(demo), "MThd-demo");
    EXPECT_EQ(state_.list.current.songPath, demo);
    EXPECT_EQ(state_.list.findSong(demo), 0);
    EXPECT_EQ(host_.opened, std::vector<std::string>{demo});
    EXPECT_EQ(host_.title, "Melnix  " + demo);
    EXPECT_EQ(s.source(), StateSource::Demo);

    // Ending the first start keeps its state: the next start is not a first
    // start again, and opens the same song.
    EXPECT_TRUE(s.saveState());
    NextStart next;
    ASSERT_TRUE(next.session.loadStateAndOpen(program_.path(), "", "MThd-demo"));
    EXPECT_EQ(next.session.source(), StateSource::DataFolder);
    EXPECT_EQ(next.state.list.current.songPath, demo);
}

TEST_F(SongSessionTest, SongArgumentTakesTheLyricFileBesideIt) {
    const std::string mp3 = song("tune.mp3", audio_);
    song("tune.LRC", "[00:01.00]a\r\n[00:02.00]b\r\n[00:03.00]c\r\n[00:04.00]d\r\n[00:05.00]e\r\n");
    SongSession s = session();
    ASSERT_TRUE(s.loadStateAndOpen(program_.path(), mp3, "demo"));
    EXPECT_EQ(state_.list.current.songPath, mp3);
    EXPECT_EQ(state_.list.current.lyricRef, files_.file("tune.LRC"));
    EXPECT_EQ(host_.lyricPath, files_.file("tune.LRC"));
    EXPECT_EQ(texts(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_TRUE(s.saveState());
}

TEST_F(SongSessionTest, LyricArgumentOpensTheMp3OfTheSameName) {
    const std::string mp3 = song("tune.MP3", audio_);
    const std::string lrc = song("tune.lrc", "[00:01.00]a\r\n[00:02.00]b\r\n[00:03.00]c\r\n[00:04.00]d\r\n[00:05.00]e\r\n");
    SongSession s = session();
    ASSERT_TRUE(s.loadStateAndOpen(program_.path(), lrc, "demo"));
    EXPECT_EQ(state_.list.current.songPath, mp3);
    EXPECT_EQ(state_.list.current.lyricRef, lrc);
    EXPECT_EQ(texts().size(), 5u);
}

TEST_F(SongSessionTest, UnknownArgumentIsIgnored) {
    SongSession s = session();
    s.loadStateAndOpen(program_.path(), song("notes.txt", "x"), "demo");
    EXPECT_EQ(fileNameOf(state_.list.current.songPath), "BHL.MID");
}

TEST_F(SongSessionTest, OpeningWithoutLyricUsesId3LinesOrTheTitle) {
    state_.list.current.songPath = song("tagged.mp3", audio_ + id3(g("月亮"), g("歌手"), "Album", "1999"));
    session().openSongLyric();
    EXPECT_EQ(texts(), (std::vector<std::string>{"月亮", "歌手", "Album 1999"}));
    EXPECT_EQ(state_.list.current.lyricFlags, 0);

    state_.list.current.songPath = song("我的歌.mp3", audio_);
    session().openSongLyric();
    EXPECT_EQ(texts(), (std::vector<std::string>{"我的歌"}));
}

TEST_F(SongSessionTest, OpeningASongWithABlockMarksItsLyric) {
    const std::string mp3 = song("with.mp3", audio_);
    LyricSheet stored;
    stored.appendLine(g("歌词一"));
    stored.appendLine(g("歌词二"));
    ASSERT_TRUE(storeInSongTail(mp3, stored));
    state_.list.addOrUpdateSong(mp3, 0, kLyricFlagUnknown);
    state_.list.selectSong(0);
    ASSERT_EQ(session().openSongLyric(), 1);
    EXPECT_EQ(texts(), (std::vector<std::string>{"歌词一", "歌词二"}));
    EXPECT_EQ(state_.list.at(0)->lyricFlags, kLyricFlagHas);
    EXPECT_EQ(sheet_.songDataLength, static_cast<int64_t>(audio_.size()));
}

TEST_F(SongSessionTest, ASongThatIsGoneIsDroppedWithItsReason) {
    state_.list.addOrUpdateSong(files_.file("gone.mp3"), 0, 0);
    state_.list.selectSong(0);
    EXPECT_EQ(session().openSongLyric(), 0);
    EXPECT_EQ(state_.list.size(), 0);
    EXPECT_TRUE(state_.list.current.songPath.empty());
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0], files_.file("gone.mp3") + ":" + std::to_string(static_cast<int>(SongProblem::Missing)));
    EXPECT_TRUE(host_.opened.empty());
}

// A song the player refuses leaves the list and the editor holds no song and
// no lyric of it; one that fails for want of a sound output stays listed.
TEST_F(SongSessionTest, ASongThatCannotPlayLeavesNoTrace) {
    for (PlaybackOpen result : {PlaybackOpen::Failed, PlaybackOpen::NoOutput}) {
        SCOPED_TRACE(static_cast<int>(result));
        state_ = AppState{};
        const std::string kept = song("kept.mp3", audio_);
        const std::string bad = song("bad.mp3", audio_);
        state_.list.addOrUpdateSong(kept, 0, 0);
        state_.list.addOrUpdateSong(bad, 0, 0, nullptr);
        state_.list.selectSong(state_.list.findSong(bad));
        state_.list.current.lyricRef = files_.file("bad.mlx");
        host_.result = result;
        EXPECT_FALSE(session().openCurrentSong());
        EXPECT_TRUE(state_.list.current.songPath.empty());
        EXPECT_TRUE(state_.list.current.lyricRef.empty());
        EXPECT_EQ(sheet_.lineCount(), 0);
        EXPECT_EQ(host_.title, "Melnix");
        EXPECT_EQ(state_.list.findSong(bad) >= 0, result == PlaybackOpen::NoOutput);
        EXPECT_GE(state_.list.findSong(kept), 0);
    }
}

TEST_F(SongSessionTest, ProbeAndAddSongs) {
    const std::string withBlock = song("a.mp3", audio_ + id3("Tag title", "", "", ""));
    LyricSheet stored;
    stored.appendLine(g("  第一句"));
    ASSERT_TRUE(storeInSongTail(withBlock, stored));
    const std::string titled = song("b.mp3", audio_ + id3(g("只有标题"), "", "", ""));
    const std::string bare = song("c.wav", audio_);

    SongProbe p = probeSongLyric(withBlock);
    EXPECT_TRUE(p.hasLyric);
    EXPECT_EQ(p.label, g("第一句"));
    SongProbe q = probeSongLyric(titled);
    EXPECT_FALSE(q.hasLyric);
    EXPECT_EQ(q.label, g("只有标题"));

    SongSession s = session();
    EXPECT_EQ(s.addSongs({withBlock, titled, bare, files_.file("notes.txt")}), 3);
    ASSERT_EQ(state_.list.size(), 3);
    EXPECT_EQ(state_.list.at(0)->lyricFlags, kLyricFlagHas);
    EXPECT_EQ(state_.list.at(0)->lyricRef, "@" + g("第一句"));
    EXPECT_EQ(state_.list.at(1)->lyricFlags, kLyricFlagUnknown);
    EXPECT_EQ(state_.list.at(1)->lyricRef, "@" + g("只有标题"));
    EXPECT_EQ(state_.list.at(2)->lyricRef, "");
    EXPECT_EQ(state_.list.current.songPath, bare);
    EXPECT_EQ(state_.lastSongFolder, files_.path());
}

// The rest of a desktop's selection: listed behind the song that is open.
TEST_F(SongSessionTest, SongsAddedWithoutMakingThemCurrent) {
    const std::string open = song("open.wav", audio_);
    const std::string a = song("a.mp3", audio_);
    const std::string b = song("b.ogg", audio_);
    SongSession s = session();
    ASSERT_EQ(s.addSongs({open}), 1);
    EXPECT_EQ(s.addSongs({a, files_.file("words.lrc"), b, open}, false), 3);
    EXPECT_EQ(state_.list.current.songPath, open);
    ASSERT_EQ(state_.list.size(), 3);
    EXPECT_EQ(state_.list.at(1)->songPath, a);
    EXPECT_EQ(state_.list.at(2)->songPath, b);
}

TEST_F(SongSessionTest, ASongWithoutTailRoomFindsItsLyricBesideIt) {
    // Bytes that would read as a lyric block in an MP3's tail: never looked at.
    const std::string mp3Like = song("tail.mp3", audio_);
    LyricSheet inTail;
    inTail.appendLine(g("尾部"));
    ASSERT_TRUE(storeInSongTail(mp3Like, inTail));
    const std::string songBytes = test::readFile(mp3Like);
    const std::string flac = song("tune.flac", songBytes);
    const std::string bare = song("bare.ogg", audio_);
    LyricSheet beside;
    beside.appendLine(g("旁边一"));
    beside.appendLine(g("旁边二"));
    ASSERT_TRUE(storeInLyricFile(lyricFileBeside(flac), beside, 0, ""));

    const SongProbe p = probeSongLyric(flac);
    EXPECT_TRUE(p.hasLyric);
    EXPECT_EQ(p.label, g("旁边一"));
    EXPECT_FALSE(probeSongLyric(bare).hasLyric);

    SongSession s = session();
    ASSERT_EQ(s.addSongs({bare, flac}), 2);
    ASSERT_TRUE(s.openCurrentSong());
    EXPECT_EQ(state_.list.current.lyricRef, files_.file("tune.MLX"));
    EXPECT_EQ(state_.list.at(state_.list.findSong(flac))->lyricRef, files_.file("tune.MLX"));
    EXPECT_EQ(host_.lyricPath, files_.file("tune.MLX"));
    EXPECT_EQ(texts(), (std::vector<std::string>{"旁边一", "旁边二"}));
    EXPECT_EQ(test::readFile(flac), songBytes);

    state_.list.selectSong(state_.list.findSong(bare));
    ASSERT_TRUE(s.openCurrentSong());
    EXPECT_EQ(texts(), (std::vector<std::string>{"bare"}));
}

TEST_F(SongSessionTest, KaraokeMidiIsProbedByItsOwnWords) {
    // Ten lines of words: more than eight means the song carries its lyric.
    test::SmfTrack words;
    words.meta(0, 0x03, "Melody");
    for (int line = 0; line < 10; ++line)
        for (int k = 0; k < 3; ++k) {
            words.lyric(k == 0 && line > 0 ? 240 : 0, (k == 0 ? "/" : "") + g("一二三").substr(static_cast<size_t>(2 * k), 2));
            words.noteOn(0, 60 + k, 100).noteOn(240, 60 + k, 0);
        }
    words.end();
    test::writeBytes(files_.file("ten.kar"), test::smfFile({words}));
    SongProbe p = probeSongLyric(files_.file("ten.kar"));
    EXPECT_TRUE(p.hasLyric);
    EXPECT_EQ(p.label, g("一二三"));
    EXPECT_EQ(p.length, 975);  // 9360 ticks at 120 beats a minute

    // The demonstration song has eight lines: labelled, lyric state unknown.
    SongProbe demo = probeSongLyric(MELNIX_DEMO_SONG);
    EXPECT_FALSE(demo.hasLyric);
    EXPECT_EQ(demo.label, g("小河弯弯向东流"));
    EXPECT_EQ(demo.length, 6027);

    SongProbe none = probeSongLyric(MELNIX_NO_WORDS_SONG);
    EXPECT_FALSE(none.hasLyric);
    EXPECT_TRUE(none.label.empty());
    EXPECT_GT(none.length, 0);
}

TEST_F(SongSessionTest, StateSurvivesARestartAndPortableStartsAreNotWritten) {
    const std::string mp3 = song("tune.mp3", audio_);
    {
        SongSession s = session();
        s.loadStateAndOpen(program_.path(), mp3, "demo");
        state_.resume = true;
        ASSERT_TRUE(s.saveState());
    }
    NextStart restarted;
    ASSERT_TRUE(restarted.session.loadStateAndOpen(program_.path(), "", "demo"));
    AppState& again = restarted.state;
    EXPECT_EQ(again.list.current.songPath, mp3);
    EXPECT_TRUE(again.resume);
    EXPECT_EQ(restarted.session.source(), StateSource::DataFolder);

    test::writeFile(program_.file("Melnix.ini"), test::readFile(home_.file("KTextParam.rec")));
    AppState portable;
    SongSession p(portable, restarted.sheet, restarted.host);
    ASSERT_TRUE(p.loadStateAndOpen(program_.path(), "", "demo"));
    EXPECT_EQ(p.source(), StateSource::Portable);
    EXPECT_FALSE(p.saveState());
}

// Where a start looks for left-over temporary files: the data folder and
// the folders of the listed songs and lyric files, each once.
TEST(SaveFolders, DataFolderThenEachFolderOfTheListOnce) {
    AppState state;
    state.list.current.songPath = "/music/a.mp3";
    state.list.current.lyricRef = "/lyrics/a.mlx";
    state.list.addOrUpdateSong("/music/b.mp3", 0, 0);
    const std::string label = "@label";
    state.list.addOrUpdateSong("/other/c.wav", 0, 0, &label);  // a label, not a file
    state.list.addOrUpdateSong("relative.mp3", 0, 0);          // no folder to name
    state.list.addOrUpdateSong("/top.mp3", 0, 0);
    EXPECT_EQ(saveFolders(state, "/home/u/.local/share/melnix"),
              (std::vector<std::string>{"/home/u/.local/share/melnix", "/music", "/lyrics", "/other", "/"}));

    AppState many;
    for (size_t i = 0; i < kMaxSaveFolders + 10; ++i)
        many.list.addOrUpdateSong("/f" + std::to_string(i) + "/s.mp3", 0, 0);
    EXPECT_EQ(saveFolders(many, "").size(), kMaxSaveFolders);
}

}  // namespace
}  // namespace melnix
