// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/song_list.h"

#include <gtest/gtest.h>

#include "lyrics/lyric_sheet.h"
#include "support/gbk_text.h"

namespace melnix {
namespace {

using test::g;

TEST(SongList, AddUpdateFindRemove) {
    SongList list;
    const std::string ref = "/m/a.LRC";
    EXPECT_EQ(list.addOrUpdateSong("/m/a.mp3", 100, kLyricFlagUnknown, &ref), 0);
    EXPECT_EQ(list.addOrUpdateSong("/m/b.mp3", 0, 0), 1);
    // A known song keeps its lyric reference; length and flags change.
    const std::string other = "/m/other.MLX";
    EXPECT_EQ(list.addOrUpdateSong("/m/a.mp3", 200, kLyricFlagHas, &other), 0);
    EXPECT_EQ(list.at(0)->lyricRef, ref);
    EXPECT_EQ(list.at(0)->length, 200);
    EXPECT_EQ(list.at(0)->lyricFlags, kLyricFlagHas);
    // Case matters on this file system.
    EXPECT_EQ(list.findSong("/m/A.mp3"), -1);
    list.removeSong("/m/a.mp3");
    EXPECT_EQ(list.size(), 1);
    EXPECT_EQ(list.findSong("/m/b.mp3"), 0);
    list.removeSong("/m/none.mp3");
    EXPECT_EQ(list.size(), 1);
}

TEST(SongList, CurrentFlagAndMoveToEnd) {
    SongList list;
    list.addOrUpdateSong("/a.mp3", 0, kLyricFlagUnknown);
    list.addOrUpdateSong("/b.mp3", 0, kLyricFlagUnknown);
    list.selectSong(0);
    list.setCurrentLyricFlag(true);
    EXPECT_EQ(list.current.lyricFlags, kLyricFlagHas);
    EXPECT_EQ(list.at(0)->lyricFlags, kLyricFlagHas);
    list.setCurrentLyricFlag(false);
    EXPECT_EQ(list.at(0)->lyricFlags, 0);
    list.moveToEnd(0);
    EXPECT_EQ(list.at(1)->songPath, "/a.mp3");
    list.selectSong(7);  // out of range: nothing changes
    EXPECT_EQ(list.current.songPath, "/a.mp3");
}

TEST(SongList, StoreLyricRefLabelsWithFirstLineUnlessItIsTheTitle) {
    SongList list;
    list.addOrUpdateSong("/m/My Song.mp3", 0, 0);
    list.selectSong(0);
    LyricSheet sheet;
    sheet.appendLine(g("第一行"));
    list.storeCurrentLyricRef(sheet);
    EXPECT_EQ(list.at(0)->lyricRef, "@" + g("第一行"));

    LyricSheet titled;
    titled.appendLine("my song");
    list.storeCurrentLyricRef(titled);
    EXPECT_EQ(list.at(0)->lyricRef, "");

    list.current.lyricRef = "/m/My Song.MLX";
    list.storeCurrentLyricRef(sheet);
    EXPECT_EQ(list.at(0)->lyricRef, "/m/My Song.MLX");
}

}  // namespace
}  // namespace melnix
