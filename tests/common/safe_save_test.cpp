// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/safe_save.h"

#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

int entriesIn(const std::string& dir) {
    int n = 0;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++n;
        ::closedir(d);
    }
    return n;
}

TEST(SafeSave, ReplacesThroughSymlinkKeepingModeAndAddingBits) {
    test::TempDir dir;
    std::string target = dir.file("song.mp3");
    test::writeFile(target, "old content");
    ::chmod(target.c_str(), 0440);
    ASSERT_EQ(::symlink("song.mp3", dir.file("link.mp3").c_str()), 0);

    SafeSave save;
    ASSERT_TRUE(save.begin(dir.file("link.mp3")));
    File src;
    ASSERT_TRUE(src.open(target, File::Mode::Read));
    ASSERT_TRUE(save.copyFrom(src, 3));
    save.file().write(std::string("NEW"));
    ASSERT_TRUE(save.commit(S_IWUSR));

    EXPECT_EQ(test::readFile(target), "oldNEW");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("link.mp3").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entriesIn(dir.path()), 2);  // no temporary file left
}

TEST(SafeSave, AbandonedSaveLeavesTargetAndNoTemporary) {
    test::TempDir dir;
    std::string target = dir.file("a.mlx");
    test::writeFile(target, "keep me");
    {
        SafeSave save;
        ASSERT_TRUE(save.begin(target));
        save.file().write(std::string("half"));
    }
    EXPECT_EQ(test::readFile(target), "keep me");
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(SafeSave, WriteFailureIsReportedAndTargetKept) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    test::TempDir dir;
    std::string target = dir.file("a.mlx");
    test::writeFile(target, "keep me");
    SafeSave save;
    ASSERT_TRUE(save.begin(target));
    // Swap the temporary's descriptor for one that fails every write.
    save.file().adopt(::open("/dev/full", O_WRONLY));
    save.file().write(std::string("data"));
    EXPECT_FALSE(save.commit());
    EXPECT_EQ(test::readFile(target), "keep me");
}

TEST(SafeSave, NewFileGetsItsModeAndNeverReplacesOneThatAppeared) {
    test::TempDir dir;
    std::string target = dir.file("a.PIK");
    {
        SafeSave save;
        ASSERT_TRUE(save.begin(target));
        save.file().write(std::string("first"));
        ASSERT_TRUE(save.commitNew(0600));
    }
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    SafeSave second;
    ASSERT_TRUE(second.begin(target));
    second.file().write(std::string("second"));
    EXPECT_FALSE(second.commitNew(0644));
    EXPECT_EQ(second.lastErrno(), EEXIST);
    EXPECT_EQ(test::readFile(target), "first");
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

// A save killed on the way leaves its temporary file; the next save of the
// same file takes it away, but never the file of a save still running.
TEST(SafeSave, LeftoversOfKilledSavesGoAtTheNextSave) {
    test::TempDir dir;
    const std::string target = dir.file("song.mp3");
    test::writeFile(target, "song");
    auto temporaries = [&] {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind(".song.mp3.melnix-", 0) == 0 &&
                e.path().filename().string().size() == 23)
                ++n;
        return n;
    };
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        SafeSave save;
        if (!save.begin(target)) ::_exit(1);
        save.file().write(std::string(10000, 'x'));
        ::_exit(0);  // killed: no destructor, no commit
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(temporaries(), 1);
    // Another file's leftovers and other names are not touched.
    test::writeFile(dir.file(".other.mp3.melnix-abcdef"), "x");
    test::writeFile(dir.file(".song.mp3.melnix-notours"), "x");

    SafeSave running;
    ASSERT_TRUE(running.begin(target));  // takes the killed one's file away
    EXPECT_EQ(temporaries(), 1);         // its own
    SafeSave next;
    ASSERT_TRUE(next.begin(target));     // leaves the running one's
    EXPECT_EQ(temporaries(), 2);
    ASSERT_TRUE(next.file().write(std::string("new")));
    ASSERT_TRUE(next.commit());
    EXPECT_EQ(test::readFile(target), "new");
    EXPECT_TRUE(std::filesystem::exists(dir.file(".other.mp3.melnix-abcdef")));
    EXPECT_TRUE(std::filesystem::exists(dir.file(".song.mp3.melnix-notours")));
}

// The start of the program clears a whole folder: every killed save's file
// goes, whatever its target, while a save that is still writing keeps its
// file and names that only look alike stay.
TEST(SafeSave, LeftoversOfKilledSavesGoAtTheNextStart) {
    test::TempDir dir;
    for (const char* target : {"song.mp3", "new lyric.mlx"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SafeSave save;
            if (!save.begin(dir.file(target))) ::_exit(1);
            save.file().write(std::string(1000, 'x'));
            ::_exit(0);  // killed: no destructor, no commit
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_EQ(WEXITSTATUS(status), 0);
    }
    ASSERT_EQ(entriesIn(dir.path()), 2);
    SafeSave live;
    ASSERT_TRUE(live.begin(dir.file("state.rec")));
    const char* kept[] = {".melnix-abcdef", "..melnix-abcdef", ".song.mp3.melnix-toolong", "song.mp3.melnix-abcdef"};
    for (const char* name : kept) test::writeFile(dir.file(name), "x");

    removeSaveLeftoversIn(dir.path());

    EXPECT_EQ(entriesIn(dir.path()), 1 + static_cast<int>(std::size(kept)));
    EXPECT_TRUE(std::filesystem::exists(live.tempPath()));
    for (const char* name : kept) EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << name;
    ASSERT_TRUE(live.file().write(std::string("state")));
    EXPECT_TRUE(live.commit());
    EXPECT_EQ(test::readFile(dir.file("state.rec")), "state");
}

TEST(SafeSave, UnwritableFolderFailsToBegin) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    test::TempDir dir;
    ::chmod(dir.path().c_str(), 0500);
    SafeSave save;
    EXPECT_FALSE(save.begin(dir.file("x")));
    ::chmod(dir.path().c_str(), 0700);
}

}  // namespace
}  // namespace melnix
