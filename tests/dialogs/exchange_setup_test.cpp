// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/core/exchange_setup.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "lyrics/lyric_store.h"
#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

TEST(ExchangeSetup, SongNameIsTheLyricLabelOrTheFileTitle) {
    SongEntry song;
    song.songPath = "/music/小城故事.mp3";
    EXPECT_EQ(exchangeSongName(song), g("小城故事"));
    song.lyricRef = "/music/other.MLX";
    EXPECT_EQ(exchangeSongName(song), g("小城故事"));
    song.lyricRef = "@" + g("第一句歌词");
    EXPECT_EQ(exchangeSongName(song), g("第一句歌词"));
}

TEST(ExchangeSetup, TheFileToSendCarriesTheLyric) {
    test::TempDir songs, folder;
    LyricSheet sheet;
    sheet.appendLine(g("第一句歌词"));
    sheet.appendLine(g("第二句"));
    test::writeFile(songs.file("small.wav"), std::string(100000, 'w'));
    test::writeFile(songs.file("edge.wav"), std::string(kSmallSongBytes, 'w'));
    test::writeFile(songs.file("large.wav"), std::string(300000, 'w'));
    struct Case {
        const char* what;
        std::string songPath;
        std::string lyricRef;
        std::string expect;  // empty: the sheet written into folder as this name
        std::string written;
    };
    const Case cases[] = {
        {"a lyric file of its own", songs.file("large.wav"), songs.file("large.LRC"), songs.file("large.LRC"), {}},
        {"a small song carries its lyric", songs.file("small.wav"), "@" + g("第一句歌词"), songs.file("small.wav"), {}},
        {"a song of the limit is too large", songs.file("edge.wav"), {}, {}, "edge.MLX"},
        {"a large song sends its lyric only", songs.file("large.wav"), "@" + g("第一句歌词"), {}, "large.MLX"},
        {"a song that is gone", songs.file("gone.wav"), {}, {}, "gone.MLX"},
        {"a song without a title", songs.path() + "/", {}, {}, "Song.MLX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SongEntry song;
        song.songPath = c.songPath;
        song.lyricRef = c.lyricRef;
        const std::string chosen = chooseExchangeFile(song, sheet, 3000, folder.path());
        if (c.written.empty()) {
            EXPECT_EQ(chosen, c.expect);
            continue;
        }
        EXPECT_EQ(chosen, folder.file(c.written));
        LyricSheet back;
        ASSERT_TRUE(openLyricFile(chosen, back));
        ASSERT_EQ(back.lineCount(), 2);
        EXPECT_EQ(back.lineAt(0)->text, g("第一句歌词"));
        EXPECT_EQ(back.lineAt(1)->text, g("第二句"));
    }

    // A folder that cannot take the file leaves nothing to send.
    SongEntry song;
    song.songPath = songs.file("large.wav");
    EXPECT_EQ(chooseExchangeFile(song, sheet, 3000, folder.file("no/such/folder")), "");
}

TEST(ExchangeSetup, TheProfileSurvivesTheStateFile) {
    SenderProfile p;
    p = {g("阿美"), true, 19, g("台北"), "778899", "http://mei.example.org", "mei@example.org",
         "line one\nline two", g("交个朋友")};

    AppState state;
    state.list.current.songPath = "/music/a.mp3";
    storeSenderProfile(state, p);
    AppState back;
    const StateReadResult r = readStateBytes(writeStateBytes(state), back, true);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(senderProfileOf(back), p);
    EXPECT_EQ(back.senderMale, 0);
    EXPECT_EQ(back.profile[4], "mei@example.org");  // the e-mail is the fifth string

    // Values the state file would refuse are brought within its limits, and
    // a cut never splits a character.
    p.isFemale = false;
    p.age = 200;
    p.messageToFriends = std::string(kMaxProfileString - 1, 'a') + g("你好");
    storeSenderProfile(state, p);
    EXPECT_EQ(state.senderMale, 1);
    const StateReadResult r2 = readStateBytes(writeStateBytes(state), back, true);
    EXPECT_TRUE(r2.complete);
    const SenderProfile got = senderProfileOf(back);
    EXPECT_EQ(got.age, kMaxSenderAge);
    EXPECT_EQ(got.messageToFriends, std::string(kMaxProfileString - 1, 'a'));
    EXPECT_FALSE(got.isFemale);
}

}  // namespace
}  // namespace melnix
