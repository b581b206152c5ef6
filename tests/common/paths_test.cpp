// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/paths.h"

#include <cstdlib>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

TEST(Paths, ReplaceExtensionNeedsDotAtIndexThreeOrLater) {
    EXPECT_EQ(replaceExtension("/music/song.mp3", "MLX"), "/music/song.MLX");
    EXPECT_EQ(replaceExtension("abc.mp3", "MLX"), "abc.MLX");
    EXPECT_EQ(replaceExtension("ab.mp3", "MLX"), "");
    EXPECT_EQ(replaceExtension("/music/song", "MLX"), "");
    EXPECT_EQ(replaceExtension("a.b.c", "MLX"), "a.b.MLX");
}

TEST(Paths, NamesAndExtensions) {
    EXPECT_EQ(fileNameOf("/a/b/song.MP3"), "song.MP3");
    EXPECT_EQ(fileNameOf("song.MP3"), "song.MP3");
    EXPECT_EQ(fileTitleOf("/a/b/song.x.MP3"), "song.x");
    EXPECT_TRUE(endsWithNoCase("song.Mp3", ".MP3"));
    EXPECT_FALSE(endsWithNoCase("mp3", ".MP3"));
}

TEST(Paths, DataFolderIsCreatedPrivate) {
    test::TempDir dir;
    std::string home = dir.file("deep/melnix-home");
    ::setenv("MELNIX_HOME", home.c_str(), 1);
    EXPECT_EQ(dataFolder(), home);
    struct stat st {};
    ASSERT_EQ(::stat(home.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    ::unsetenv("MELNIX_HOME");
    ::setenv("XDG_STATE_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(dataFolder(), dir.file("melnix"));
}

}  // namespace
}  // namespace melnix
