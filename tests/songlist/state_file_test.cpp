// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/state_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "common/safe_save.h"

#include "support/test_files.h"

namespace melnix {
namespace {

using test::le32;

std::string str(const std::string& s) { return le32(static_cast<uint32_t>(s.size())) + s; }

AppState fullState() {
    AppState s;
    s.resume = true;
    s.subtitleFont = "\xBA\xDA\xCC\xE5";  // 黑体 in GBK
    for (int i = 0; i < 3; ++i) {
        SongEntry e;
        e.songPath = "/music/song" + std::to_string(i) + ".mp3";
        e.lyricRef = i == 1 ? "@label" : "/music/song" + std::to_string(i) + ".MLX";
        e.pictureList = std::string(7000, static_cast<char>('a' + i));
        e.length = 12345 + i;
        e.lyricFlags = static_cast<uint16_t>(i);
        s.list.append(e);
    }
    s.list.selectSong(1);
    s.position = 777;
    s.senderAge = 33;
    s.senderMale = 0;
    for (int i = 0; i < kProfileStrings; ++i) s.profile[static_cast<size_t>(i)] = std::string(100 + i, 'p');
    s.effectSelected[5] = 0;
    s.lastSongFolder = "/music";
    s.lastPictureFolder = "/pictures";
    s.transitionSmoothness = 8;
    s.showHints = 0;
    s.background.entries = {"/pictures/a.jpg", "/pictures/b.jpg", "__1.jpg"};
    s.background.index = 2;
    s.pictureWindowSetting = 3;
    return s;
}

TEST(StateFile, LayoutStartsAsStored) {
    AppState s;
    s.list.current.songPath = "/a.mp3";
    s.list.current.length = 5;  // unknown length: position written as 0
    s.position = 99;
    const std::string bytes = writeStateBytes(s);
    const std::string want = le32(0x5A7E8888) + str("") + str("/a.mp3") + str("") + str("") + le32(5) +
                             std::string(2, '\0') + le32(0) + le32(0xFFFFFFFF) + le32(0x5A7E8888) + le32(0) + le32(1);
    EXPECT_EQ(bytes.substr(0, want.size()), want);
    // Seven empty profile strings, then the table of 41 effects.
    const size_t table = want.size() + 7 * 4;
    EXPECT_EQ(bytes.substr(table, 4), le32(41));
    EXPECT_EQ(bytes[table + 4], 0);
    EXPECT_EQ(bytes[table + 5], 1);
}

TEST(StateFile, FullStateRoundTripsByteForByte) {
    const AppState s = fullState();
    const std::string bytes = writeStateBytes(s);
    AppState back;
    StateReadResult r = readStateBytes(bytes, back, false);
    EXPECT_TRUE(r.complete);
    EXPECT_TRUE(back.resume);
    EXPECT_EQ(back.list.size(), 3);
    EXPECT_EQ(back.list.current.songPath, "/music/song1.mp3");
    EXPECT_EQ(back.background.index, 2);
    back.transitionSmoothness = s.transitionSmoothness;  // not carried over from this source
    back.position = s.position;                          // read, not used
    EXPECT_EQ(writeStateBytes(back), bytes);
}

TEST(StateFile, EveryCutReadsAsFarAsItIsValid) {
    const std::string bytes = writeStateBytes(fullState());
    for (size_t n = 0; n < bytes.size(); n += (n < 200 || n > bytes.size() - 400) ? 1 : 97) {
        AppState back;
        StateReadResult r = readStateBytes(bytes.substr(0, n), back, true);
        EXPECT_FALSE(r.complete) << n;
        if (r.listComplete) {
            EXPECT_EQ(back.list.size(), 3) << n;
        } else {
            EXPECT_FALSE(back.resume) << n;
        }
    }
}

TEST(StateFile, BadMagicReadsNothing) {
    AppState back;
    back.subtitleFont = "kept";
    std::string bytes = writeStateBytes(fullState());
    bytes[0] = 0;
    EXPECT_FALSE(readStateBytes(bytes, back, true).magicOk);
    EXPECT_EQ(back.subtitleFont, "kept");
}

TEST(StateFile, SmoothnessIsEasedFromTheDataFolderOnly) {
    struct {
        int32_t stored, eased;
    } cases[] = {{0, 0}, {1, 0}, {2, 2}, {5, 4}, {6, 4}, {8, 6}, {16, 12}};
    for (const auto& c : cases) {
        AppState s = fullState();
        s.transitionSmoothness = c.stored;
        AppState back;
        readStateBytes(writeStateBytes(s), back, true);
        EXPECT_EQ(back.transitionSmoothness, c.eased) << c.stored;
        AppState portable;
        portable.transitionSmoothness = 99;
        readStateBytes(writeStateBytes(s), portable, false);
        EXPECT_EQ(portable.transitionSmoothness, 99);
    }
    AppState s = fullState();
    s.transitionSmoothness = 17;
    AppState back;
    EXPECT_FALSE(readStateBytes(writeStateBytes(s), back, true).complete);
}

// Replaces the transition table (size and bytes) in a written state.
std::string withTable(const std::string& bytes, const std::string& table) {
    const AppState s = fullState();
    size_t at = bytes.find(le32(41) + std::string(reinterpret_cast<const char*>(s.effectSelected.data()), 41));
    EXPECT_NE(at, std::string::npos);
    return bytes.substr(0, at) + le32(static_cast<uint32_t>(table.size())) + table + bytes.substr(at + 45);
}

TEST(StateFile, TransitionTableRules) {
    const std::string bytes = writeStateBytes(fullState());
    AppState back;
    EXPECT_TRUE(readStateBytes(withTable(bytes, std::string(28, '\1')), back, true).complete);
    EXPECT_EQ(back.effectSelected[27], 1);
    EXPECT_EQ(back.effectSelected[28], 0);  // zero-filled

    AppState zeros;
    EXPECT_TRUE(readStateBytes(withTable(bytes, std::string(41, '\0')), zeros, true).complete);
    EXPECT_EQ(zeros.effectSelected[0], 1);

    AppState longer;
    EXPECT_TRUE(readStateBytes(withTable(bytes, std::string(100, '\1')), longer, true).complete);

    AppState tooShort;
    EXPECT_FALSE(readStateBytes(withTable(bytes, std::string(27, '\1')), tooShort, true).complete);
    EXPECT_TRUE(tooShort.lastSongFolder.empty());
}

TEST(StateFile, PictureIndexOutsideTheNamesBecomesZero) {
    AppState s = fullState();
    s.background.index = 3;
    AppState back;
    readStateBytes(writeStateBytes(s), back, true);
    EXPECT_EQ(back.background.index, 0);
    // A list that does not start with a picture is not stored.
    s.background.entries = {"/v/clip.avi", "/p/a.jpg"};
    AppState video;
    readStateBytes(writeStateBytes(s), video, true);
    EXPECT_TRUE(video.background.entries.empty());
}

TEST(StateFile, AbsurdCountsAndLengthsStopTheRead) {
    AppState s;
    s.list.current.songPath = "/a.mp3";
    std::string bytes = writeStateBytes(s);
    // Claim a million songs in a file that holds none.
    const size_t lastIndexAt = 4 + 4 + (4 + 6) + 4 + 4 + 4 + 2 + 4;
    bytes.replace(lastIndexAt, 4, le32(999999));
    AppState back;
    StateReadResult r = readStateBytes(bytes, back, true);
    EXPECT_FALSE(r.listComplete);
    EXPECT_EQ(back.list.current.songPath, "/a.mp3");

    std::string hugeString = le32(0x5A7E8888) + le32(0x7FFFFFFF) + "x";
    AppState back2;
    EXPECT_FALSE(readStateBytes(hugeString, back2, true).listComplete);
}

TEST(StateFile, SaveReplacesTheFileAndNeverWritesInPlace) {
    test::TempDir dir;
    const std::string path = dir.file("KTextParam.rec");
    test::writeFile(path, "old state");
    // A second name for the old file: an in-place rewrite would change it too.
    const std::string oldLink = dir.file("old-link");
    ASSERT_EQ(::link(path.c_str(), oldLink.c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    ASSERT_TRUE(saveStateFile(path, fullState()));
    EXPECT_EQ(test::readFile(path), writeStateBytes(fullState()));
    EXPECT_EQ(test::readFile(oldLink), "old state");
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_FALSE(saveStateFile(dir.file("missing/x.rec"), fullState()));
}

TEST(StateFile, FailedSaveKeepsTheOldFile) {
    test::TempDir dir;
    const std::string path = dir.file("KTextParam.rec");
    ASSERT_TRUE(saveStateFile(path, fullState()));
    const std::string before = test::readFile(path);
    AppState other = fullState();
    other.list.clear();
    setSafeSaveSyncForTesting([](int) {
        errno = EIO;
        return -1;
    });
    EXPECT_FALSE(saveStateFile(path, other));
    setSafeSaveSyncForTesting(nullptr);
    EXPECT_EQ(test::readFile(path), before);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) files += e.exists() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

// The writer keeps within what the reader takes: a state that would not read
// back is refused and the file on disk stays.
TEST(StateFile, AStateThatWouldNotReadBackIsNeverWritten) {
    test::TempDir dir;
    const std::string path = dir.file("KTextParam.rec");
    ASSERT_TRUE(saveStateFile(path, fullState()));
    const std::string before = test::readFile(path);
    const struct {
        const char* what;
        void (*spoil)(AppState&);
    } cases[] = {
        {"a picture list too long", [](AppState& s) { s.list.at(2)->pictureList = std::string(kMaxPictureList + 1, 'x'); }},
        {"a song path too long", [](AppState& s) { s.list.at(0)->songPath = "/" + std::string(kMaxPath, 's'); }},
        {"the current song's pictures", [](AppState& s) { s.list.current.pictureList = std::string(kMaxPictureList + 1, 'x'); }},
    };
    for (const auto& c : cases) {
        AppState state = fullState();
        c.spoil(state);
        std::string why;
        EXPECT_FALSE(saveStateFile(path, state, &why)) << c.what;
        EXPECT_NE(why.find("cannot be kept"), std::string::npos) << c.what << ": " << why;
        EXPECT_EQ(test::readFile(path), before) << c.what;
    }
}

// A state file the program cannot read whole is kept aside, never replaced
// by the shorter list that could be read from it.
TEST(StateFile, AnUnreadableStateFileIsKeptAside) {
    const std::string whole = writeStateBytes(fullState());
    // The current song (the second) is written before the list: cut in the list's entry.
    const size_t inSecondSong = whole.rfind("/music/song1.mp3") + 5;
    const struct {
        const char* what;
        std::string bytes;
        size_t songsRead;
    } cases[] = {
        {"cut in the song list", whole.substr(0, inSecondSong), 1},
        {"not a state file", std::string("garbage, not a state"), 0},
        {"past the size limit", std::string(), 0},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string path = dir.file("KTextParam.rec");
        if (c.bytes.empty()) {
            test::writeFile(path, whole);
            ASSERT_EQ(::truncate(path.c_str(), kMaxStateFileBytes + 1), 0);  // sparse: no disk used
        } else {
            test::writeFile(path, c.bytes);
        }
        const uintmax_t size = std::filesystem::file_size(path);
        AppState state;
        const StateLoadResult load = loadStateFile(path, state, true);
        EXPECT_EQ(load.status, StateLoad::Unreadable) << c.what;
        ASSERT_FALSE(load.keptAs.empty()) << c.what;
        EXPECT_EQ(load.keptAs.rfind(path + ".bad-", 0), 0u) << load.keptAs;
        EXPECT_EQ(std::filesystem::file_size(load.keptAs), size) << c.what;
        EXPECT_FALSE(std::filesystem::exists(path)) << c.what;
        EXPECT_EQ(static_cast<size_t>(state.list.size()), c.songsRead) << c.what;
    }
    test::TempDir empty;
    AppState state;
    EXPECT_EQ(loadStateFile(empty.file("KTextParam.rec"), state, true).status, StateLoad::Missing);
    test::writeFile(empty.file("KTextParam.rec"), whole);
    EXPECT_EQ(loadStateFile(empty.file("KTextParam.rec"), state, true).status, StateLoad::Read);
}

}  // namespace
}  // namespace melnix
