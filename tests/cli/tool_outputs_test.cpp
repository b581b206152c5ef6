// SPDX-License-Identifier: GPL-3.0-or-later
// Every writer of melnix-tool writes its whole output or leaves what was
// there: a full disk, or an output that is the input itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "audio/audio_test_util.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace melnix {
namespace {

using namespace test;
namespace fs = std::filesystem;

struct Writer {
    const char* name;
    std::string command;  // with IN and OUT for the input and the output
    const char* input;    // file name of the input in the folder
    long diskBytes;       // what the full disk still takes
};

std::string replaced(std::string s, const std::string& what, const std::string& with) {
    for (size_t at; (at = s.find(what)) != std::string::npos;) s.replace(at, what.size(), with);
    return s;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ToolOutputs : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(dir.file("song.wav"), wavBytes(44100, 2, 16, samplesAsBytes(countingStereo(44100))));
        writeBytes(dir.file("song.mid"), readBytes(std::string(MELNIX_DEMO_SONG)));
        writeBytes(dir.file("words.lrc"), readBytes(std::string(MELNIX_SAMPLE_LRC)));
        ASSERT_EQ(melnixTool("lyrics convert " + dir.file("words.lrc") + " " + dir.file("words.mlx")).status, 0);
    }
    TempDir dir;
    const Writer writers[6] = {
        {"render", "render IN OUT", "song.wav", 64 * 1024},
        {"midi render", "midi render IN OUT", "song.mid", 64 * 1024},
        {"lyrics export", "lyrics export IN OUT --format ass", "words.lrc", 100},
        {"lyrics convert", "lyrics convert IN OUT", "words.lrc", 100},
        {"lyrics extract", "lyrics extract IN OUT", "song.wav", 0},
        {"lyrics export elrc", "lyrics export IN OUT --format elrc", "words.mlx", 50},
    };
};

TEST_F(ToolOutputs, AFullDiskFailsWithTheReasonAndLeavesNothingHalfWritten) {
    // A lyric in the song's tail for extract to find.
    ASSERT_EQ(melnixTool("lyrics embed " + dir.file("song.wav") + " " + dir.file("words.lrc")).status, 0);
    for (const Writer& w : writers) {
        if (w.diskBytes == 0) continue;
        SCOPED_TRACE(w.name);
        for (bool existed : {false, true}) {
            const std::string out = dir.file("out.file");
            fs::remove(out);
            if (existed) writeFile(out, "what was there");
            const auto before = namesIn(dir.path());
            const std::string cmd = replaced(replaced(w.command, "IN", dir.file(w.input)), "OUT", out);
            const ToolRun r = melnixToolOnAFullDisk(cmd, w.diskBytes);
            EXPECT_EQ(r.status, 1) << r.out;
            EXPECT_NE(r.out.find("File too large"), std::string::npos) << r.out;
            EXPECT_EQ(r.out.find("length_ms"), std::string::npos) << r.out;
            if (existed)
                EXPECT_EQ(readFile(out), "what was there");
            else
                EXPECT_FALSE(fs::exists(out));
            EXPECT_EQ(namesIn(dir.path()), before);  // no temporary file left
        }
    }
}

TEST_F(ToolOutputs, AnOutputThatIsTheInputIsRefusedBeforeAnythingIsWritten) {
    ASSERT_EQ(melnixTool("lyrics embed " + dir.file("song.wav") + " " + dir.file("words.lrc")).status, 0);
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        const std::string input = dir.file(w.input);
        const std::string before = readBytes(input);
        fs::remove(dir.file("hard"));
        fs::remove(dir.file("soft"));
        fs::create_hard_link(input, dir.file("hard"));
        fs::create_symlink(input, dir.file("soft"));
        for (const std::string& out : {input, dir.file("hard"), dir.file("soft")}) {
            const ToolRun r = melnixTool(replaced(replaced(w.command, "IN", input), "OUT", out), true);
            EXPECT_EQ(r.status, 1) << out << ": " << r.out;
            EXPECT_NE(r.out.find("itself"), std::string::npos) << r.out;
            EXPECT_EQ(readBytes(input), before) << out;
        }
    }
}

// The song list is never lost to its own state file: one that cannot be
// read whole is kept aside and the list goes on from what could be read; a
// song that is not there is refused.
TEST(SongsCommand, KeepsAnUnreadableListAndRefusesMissingSongs) {
    TempDir home, music;
    // A data folder of this test's own: the other tests' song lists stay apart.
    const std::string before = std::getenv("MELNIX_HOME") ? std::getenv("MELNIX_HOME") : "";
    ::setenv("MELNIX_HOME", home.path().c_str(), 1);
    struct Restore {
        std::string home;
        ~Restore() { ::setenv("MELNIX_HOME", home.c_str(), 1); }
    } restore{before};
    const std::string env;
    const std::string song = music.file("a.wav");
    writeBytes(song, wavBytes(8000, 1, 16, std::string(16000, '\0')));
    EXPECT_EQ(melnixTool(env + "songs add " + music.file("no-such.mp3"), true).status, 1);
    EXPECT_FALSE(fs::exists(home.file("KTextParam.rec")));
    ASSERT_EQ(melnixTool(env + "songs add " + song).status, 0);
    const std::string state = readFile(home.file("KTextParam.rec"));

    writeFile(home.file("KTextParam.rec"), state.substr(0, state.size() / 2));
    const ToolRun listed = melnixTool(env + "songs list", true);
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.out.find("kept as"), std::string::npos) << listed.out;
    std::vector<std::string> kept;
    for (const auto& e : fs::directory_iterator(home.path()))
        if (e.path().filename().string().rfind("KTextParam.rec.bad-", 0) == 0) kept.push_back(e.path().string());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), state.substr(0, state.size() / 2));
}

// Kept inputs whose headers claim far more than the file holds (a chunk of
// 2 GB or 1 GB in an 88 KB WAV): refused with the reason, in memory near
// what any small song takes. The bound includes the sanitizers' own share
// of this build; before the libraries' allocations were bounded the first
// of these took over 350 MB here.
TEST(HostileInputs, HeadersClaimingGigabytesAreRefusedInLittleMemory) {
    const std::string corpus = std::string(MELNIX_SOURCE_DIR) + "/fuzz/corpus/ffmpeg_source/";
    constexpr long kBoundKb = 250 * 1024;
    TempDir dir;
    const struct {
        const char* file;
        const char* as;  // the name the song is given: its kind picks the reader
    } inputs[] = {
        {"bext-claims-2gb.wav", "song.wav"},
        {"bext-claims-2gb.wav", "song.mka"},  // the same bytes through the general decoder
        {"list-claims-1gb.wav", "song.wav"},
        {"list-claims-1gb.wav", "song.mka"},
    };
    const char* commands[] = {"video IN OUT.mp4 --size 320x240 --fps 5 --to 1000", "render IN OUT.wav"};
    for (const auto& in : inputs) {
        const std::string song = dir.file(in.as);
        fs::copy_file(corpus + in.file, song, fs::copy_options::overwrite_existing);
        for (std::string cmd : commands) {
            SCOPED_TRACE(std::string(in.file) + " as " + in.as + ": " + cmd);
            cmd.replace(cmd.find("IN"), 2, song);
            cmd.replace(cmd.find("OUT"), 3, dir.file("out"));
            const ToolRun r = melnixToolMeasured(cmd);
            EXPECT_EQ(r.status, 1) << r.out;
            EXPECT_NE(r.out.find("the song cannot be read"), std::string::npos) << r.out;
            EXPECT_LT(r.maxRssKb, kBoundKb);
            EXPECT_FALSE(fs::exists(dir.file("out.mp4")));
            EXPECT_FALSE(fs::exists(dir.file("out.wav")));
        }
    }
}

}  // namespace
}  // namespace melnix
