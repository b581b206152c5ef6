// melnix-tool midi render, run as the user runs it, on the demonstration song.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "midi/midi_song_file.h"
#include "platform/midi_stream_device.h"
#include "midi/smf_builder.h"
#include "support/test_files.h"
#include "support/wav_sound.h"

namespace melnix {
namespace {

constexpr int32_t kDemoLengthMs = 60273;
constexpr double kTailMs = 2100;  // notes ringing out after the last event

struct ToolRun {
    int status = -1;
    std::string out;
};

ToolRun melnixTool(const std::string& args, const std::string& env = "") {
    ToolRun r;
    const std::string cmd = env + " " + std::string(MELNIX_TOOL) + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// When the first sound of a render begins.
double firstSoundMs(const test::WavSound& w) {
    for (size_t f = 0; f < w.frames(); ++f)
        if (w.level(f) > 50) return 1000.0 * static_cast<double>(f) / w.rate;
    return -1;
}

class MidiRenderCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (findSoundfont().empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
        RecordArray<NoteSpan> notes;
        MidiSongFile song;
        ASSERT_TRUE(song.LoadFile(demo, &notes));
        for (const NoteSpan& n : notes) noteStarts.push_back(n.startMs);
    }
    int32_t firstNoteFrom(int32_t ms) const {
        for (int32_t s : noteStarts)
            if (s >= ms) return s;
        return -1;
    }

    const std::string demo = test::demoSongPath();
    test::TempDir dir;
    const std::string out = dir.file("demo.wav");
    std::vector<int32_t> noteStarts;
};

TEST_F(MidiRenderCommandTest, DemoSongSoundsFromItsFirstNoteToItsEnd) {
    const ToolRun r = melnixTool("midi render " + demo + " " + out);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "length_ms=60273\n");
    test::WavSound w;
    ASSERT_TRUE(test::readWav(out, w));
    EXPECT_EQ(w.rate, 44100);
    EXPECT_EQ(w.channels, 2);
    EXPECT_GE(w.lengthMs(), kDemoLengthMs - 15);
    EXPECT_LE(w.lengthMs(), kDemoLengthMs + kTailMs);
    EXPECT_NEAR(firstSoundMs(w), firstNoteFrom(0), 10);
    // The song plays throughout, loud enough to hear and never clipped.
    for (double at = 0; at + 5000 < kDemoLengthMs; at += 5000) {
        const int peak = w.peak(at, at + 5000);
        EXPECT_GT(peak, 1000) << at;
        EXPECT_LT(peak, 32000) << at;
    }
}

TEST_F(MidiRenderCommandTest, TempoAndStartPoint) {
    struct Case {
        const char* options;
        int32_t fromMs;
        int tempoPercent;
    } cases[] = {{"--tempo 200", 0, 200}, {"--from 30000", 30000, 100}, {"--from 45000 --tempo 50", 45000, 50}};
    for (const Case& c : cases) {
        const ToolRun r = melnixTool("midi render " + demo + " " + out + " " + c.options);
        ASSERT_EQ(r.status, 0) << c.options;
        EXPECT_EQ(r.out, "length_ms=60273\n") << c.options;
        test::WavSound w;
        ASSERT_TRUE(test::readWav(out, w)) << c.options;
        const double played = (kDemoLengthMs - c.fromMs) * c.tempoPercent / 100.0;
        EXPECT_GE(w.lengthMs(), played - 15) << c.options;
        EXPECT_LE(w.lengthMs(), played + kTailMs) << c.options;
        const double firstNote = (firstNoteFrom(c.fromMs) - c.fromMs) * c.tempoPercent / 100.0;
        EXPECT_NEAR(firstSoundMs(w), firstNote, 10) << c.options;
    }
}

TEST_F(MidiRenderCommandTest, RefusesWhatItCannotRender) {
    struct Case {
        std::string args;
        std::string env;
        int status;
    } cases[] = {
        {"midi render " + demo, "", 2},
        {"midi render " + demo + " " + out + " --tempo 0", "", 2},
        {"midi render " + demo + " " + out + " --tempo fast", "", 2},
        {"midi render " + demo + " " + out + " --from", "", 2},
        {"midi render " + demo + " " + out + " --from 70000", "", 1},
        {"midi render " + demo + " /nonexistent-folder/x.wav", "", 1},
        {"midi render " + dir.file("missing.mid") + " " + out, "", 1},
        {"midi render " + demo + " " + out, "MELNIX_SOUNDFONT=/nonexistent/gm.sf2", 1},
    };
    for (const Case& c : cases) {
        const ToolRun r = melnixTool(c.args, c.env);
        EXPECT_EQ(r.status, c.status) << c.args << " " << c.env;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_NE(::access(out.c_str(), F_OK), 0) << c.args << ": an empty WAV file was left";
    }
}

}  // namespace
}  // namespace melnix
