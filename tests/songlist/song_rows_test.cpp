// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/song_rows.h"

#include <gtest/gtest.h>

#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

SongEntry entry(std::string path, int32_t length, uint16_t flags, std::string lyricRef = {}) {
    SongEntry e;
    e.songPath = std::move(path);
    e.length = length;
    e.lyricFlags = flags;
    e.lyricRef = std::move(lyricRef);
    return e;
}

TEST(SongRows, ShowWhatTheListKnows) {
    struct Case {
        SongEntry song;
        SongRow want;
    };
    const Case cases[] = {
        {entry("/music/月亮.mp3", 12345, kLyricFlagHas),
         {"月亮", "mp3", SongLyricState::Own, "2:03.45", "/music", "", ""}},
        {entry("/music/a.b/song", 9, 0), {"song", "/music/a.b/song", SongLyricState::None, "", "/music/a.b", "", ""}},
        {entry("/music/x.MID", 600000, kLyricFlagHas | kLyricFlagUnknown),
         {"x", "MID", SongLyricState::Unknown, "100:00.00", "/music", "", ""}},
        {entry("/music/x.wav", 10, kLyricFlagHas, "@" + g("我的歌")),
         {"x", "wav", SongLyricState::Own, "0:00.10", "/music", "(我的歌)", ""}},
        {entry("/music/x.wav", 0, 0, "/music/words/x.MLX"),
         {"x", "wav", SongLyricState::None, "", "/music", "words/x.MLX", ""}},
        {entry("/music/x.wav", 0, 0, "/musicians/x.MLX"),
         {"x", "wav", SongLyricState::None, "", "/music", "/musicians/x.MLX", ""}},
        {entry("x.wav", 0, 0, "x.lrc"), {"x", "wav", SongLyricState::None, "", "", "x.lrc", ""}},
    };
    for (const Case& c : cases) {
        const SongRow r = songRow(c.song);
        SCOPED_TRACE(c.song.songPath + " " + c.song.lyricRef);
        EXPECT_EQ(r.name, c.want.name);
        EXPECT_EQ(r.type, c.want.type);
        EXPECT_EQ(r.lyric, c.want.lyric);
        EXPECT_EQ(r.length, c.want.length);
        EXPECT_EQ(r.folder, c.want.folder);
        EXPECT_EQ(r.lyricRef, c.want.lyricRef);
    }
}

TEST(SongRows, ButtonsFollowTheSelection) {
    struct Case {
        int selected;
        bool hasLyric;
        bool open, background, exchange;
    } const cases[] = {
        {0, false, false, false, false}, {1, false, true, true, false}, {1, true, true, true, true},
        {2, true, true, false, false},
    };
    for (const Case& c : cases) {
        const SongListButtons b = songListButtons(c.selected, c.hasLyric);
        EXPECT_EQ(b.open, c.open) << c.selected;
        EXPECT_EQ(b.remove, c.open) << c.selected;
        EXPECT_EQ(b.background, c.background) << c.selected;
        EXPECT_EQ(b.match, c.background) << c.selected;
        EXPECT_EQ(b.exchange, c.exchange) << c.selected;
    }
    // A lyric of its own counts once it has been looked at.
    EXPECT_TRUE(songHasLyric(entry("a.mp3", 0, kLyricFlagHas)));
    EXPECT_FALSE(songHasLyric(entry("a.mp3", 0, kLyricFlagHas | kLyricFlagUnknown)));
    EXPECT_TRUE(songHasLyric(entry("a.mp3", 0, kLyricFlagUnknown, "/a.MLX")));
}

TEST(BackgroundSpec, ChosenFilesAndWholeFolders) {
    const std::vector<std::string> folder = {"a.jpg", "b.jpg", "c.gif", "d.bmp"};
    EXPECT_EQ(buildBackgroundSpec({"/p/c.gif"}, folder), "/p/c.gif||d.bmp||a.jpg||b.jpg");
    EXPECT_EQ(buildBackgroundSpec({"/p/a.jpg"}, folder), "/p/a.jpg||b.jpg||c.gif||d.bmp");
    EXPECT_EQ(buildBackgroundSpec({"/p/b.jpg", "/p/a.jpg"}, folder), "/p/b.jpg||a.jpg");
    EXPECT_EQ(buildBackgroundSpec({"/v/clip.mpg"}, folder), "/v/clip.mpg");
    EXPECT_EQ(buildBackgroundSpec({}, folder), "");

    // A folder of many pictures stops short of the limit.
    std::vector<std::string> many;
    for (int i = 0; i < 1000; ++i) many.push_back("picture" + std::to_string(1000 + i) + ".jpg");
    const std::string spec = buildBackgroundSpec({"/p/picture1000.jpg"}, many);
    EXPECT_LT(spec.size(), kMaxBackgroundSpec);
    EXPECT_GT(spec.size(), kMaxBackgroundSpec - 20);
}

TEST(BackgroundSpec, AWholeFolderIsConvertedAsItIsAdded) {
    std::vector<std::string> converted;
    auto scramble = [&](const std::string& path) {
        converted.push_back(path);
        return path.substr(0, path.rfind('.')) + ".PIK";
    };
    EXPECT_EQ(buildBackgroundSpec({"/p/b.jpg"}, {"a.jpg", "b.jpg"}, scramble), "/p/b.PIK||a.PIK");
    EXPECT_EQ(converted, (std::vector<std::string>{"/p/b.jpg", "/p/a.jpg"}));
    // Chosen files one by one are taken as they are.
    converted.clear();
    EXPECT_EQ(buildBackgroundSpec({"/p/b.jpg", "/p/a.jpg"}, {}, scramble), "/p/b.jpg||a.jpg");
    EXPECT_TRUE(converted.empty());
}

TEST(BackgroundSpec, FolderPicturesInOrder) {
    test::TempDir dir;
    for (const char* name : {"b.JPG", "a.jpg", "notes.txt", "c.gif"}) test::writeFile(dir.file(name), "x");
    EXPECT_EQ(listFolderPictures(dir.path()), (std::vector<std::string>{"a.jpg", "b.JPG", "c.gif"}));
    EXPECT_TRUE(listFolderPictures(dir.file("missing")).empty());
}

}  // namespace
}  // namespace melnix
