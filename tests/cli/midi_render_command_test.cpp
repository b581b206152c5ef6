// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool midi render, run as the user runs it, on the demonstration song.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
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

// The fundamental of the left channel between two times, from the
// autocorrelation between 150 and 1000 Hz.
double pitchHz(const test::WavSound& w, double fromMs, double toMs) {
    const auto a = static_cast<size_t>(fromMs * w.rate / 1000), b = static_cast<size_t>(toMs * w.rate / 1000);
    std::vector<double> x;
    for (size_t f = a; f < b && f < w.frames(); ++f) x.push_back(w.samples[f * static_cast<size_t>(w.channels)]);
    auto corr = [&](size_t lag) {
        double s = 0;
        for (size_t i = 0; i + lag < x.size(); ++i) s += x[i] * x[i + lag];
        return s / static_cast<double>(x.size() - lag);
    };
    const size_t lo = static_cast<size_t>(w.rate / 1000), hi = static_cast<size_t>(w.rate / 150);
    std::vector<double> c(hi + 2);
    double top = 0;
    for (size_t lag = lo - 1; lag <= hi + 1; ++lag) top = std::max(top, c[lag] = corr(lag));
    // The shortest period that repeats almost as well as the best one: a
    // note also repeats after two of its periods.
    size_t best = lo;
    for (size_t lag = lo; lag <= hi; ++lag)
        if (c[lag] >= 0.9 * top && c[lag] >= c[lag - 1] && c[lag] >= c[lag + 1]) {
            best = lag;
            break;
        }
    // Between samples: the parabola through the peak and its neighbours.
    const double l = c[best - 1], m = c[best], r = c[best + 1];
    const double shift = (l - r) / (2 * (l - 2 * m + r));
    return w.rate / (static_cast<double>(best) + shift);
}

TEST_F(MidiRenderCommandTest, KeyMovesTheMelodyAndLeavesTheDrums) {
    // A flute plays A4 and D5 (channel 1); a kick and a snare on channel 10.
    test::SmfTrack melody, drums;
    melody.event(0, {0xC0, 73}).noteOn(0, 69, 100).noteOn(480, 69, 0).noteOn(480, 74, 100).noteOn(480, 74, 0).end(480);
    drums.noteOn(240, 36, 120, 9).noteOn(120, 36, 0, 9).noteOn(600, 38, 120, 9).noteOn(120, 38, 0, 9).end(960);
    const std::string both = dir.file("both.mid"), drumsOnly = dir.file("drums.mid");
    test::writeBytes(both, test::smfFile({melody, drums}));
    test::writeBytes(drumsOnly, test::smfFile({drums}));

    struct Rendered {
        test::WavSound w;
    } plain, up;
    ASSERT_EQ(melnixTool("midi render " + both + " " + out).status, 0);
    ASSERT_TRUE(test::readWav(out, plain.w));
    ASSERT_EQ(melnixTool("midi render " + both + " " + out + " --key 2").status, 0);
    ASSERT_TRUE(test::readWav(out, up.w));
    // 120 beats a minute: the notes begin at 0 and 1000 ms, the drums at 250 and 1000 ms.
    EXPECT_NEAR(firstSoundMs(up.w), firstSoundMs(plain.w), 2);
    EXPECT_EQ(up.w.frames(), plain.w.frames());
    for (double at : {100.0, 1100.0}) {
        const double before = pitchHz(plain.w, at, at + 150), after = pitchHz(up.w, at, at + 150);
        EXPECT_NEAR(after / before, std::pow(2.0, 2 / 12.0), 0.01 * std::pow(2.0, 2 / 12.0)) << at;
    }
    EXPECT_NEAR(pitchHz(plain.w, 100, 250), 440.0, 4.4);
    EXPECT_NEAR(pitchHz(up.w, 100, 250), 493.88, 4.9);

    // The drums alone sound the same, sample for sample, in every key.
    test::WavSound drumsPlain, drumsUp;
    ASSERT_EQ(melnixTool("midi render " + drumsOnly + " " + out).status, 0);
    ASSERT_TRUE(test::readWav(out, drumsPlain));
    ASSERT_EQ(melnixTool("midi render " + drumsOnly + " " + out + " --key -5").status, 0);
    ASSERT_TRUE(test::readWav(out, drumsUp));
    ASSERT_GT(drumsPlain.peak(), 1000);
    EXPECT_TRUE(drumsPlain.samples == drumsUp.samples);
}

TEST_F(MidiRenderCommandTest, DenseSongsDoNotClipAndQuietOnesKeepTheirLoudness) {
    // Eight loud channels of brass and strings holding four-note chords, with drums.
    test::SmfTrack t;
    const int programs[] = {61, 48, 56, 30, 29, 62, 49, 57};
    for (int ch = 0; ch < 8; ++ch) t.event(0, {0xC0 | ch, programs[ch]}).event(0, {0xB0 | ch, 7, 127});
    for (int ch = 0; ch < 8; ++ch)
        for (int n : {48, 55, 60, 64}) t.noteOn(0, n + ch % 3, 127, ch);
    t.noteOn(0, 36, 127, 9).noteOn(0, 49, 127, 9).end(1920);
    const std::string dense = dir.file("dense.mid");
    test::writeBytes(dense, test::smfFile({t}));
    ASSERT_EQ(melnixTool("midi render " + dense + " " + out).status, 0);
    test::WavSound w;
    ASSERT_TRUE(test::readWav(out, w));
    ASSERT_GT(w.frames(), 44100u);
    int atFullScale = 0;
    for (int16_t s : w.samples) atFullScale += std::abs(static_cast<int>(s)) >= 32767;
    EXPECT_EQ(atFullScale, 0);  // 47,787 samples before the limiter
    EXPECT_GT(w.peak(), 25000);

    // The demonstration song measured -28.3 dBFS (RMS) before the limiter.
    ASSERT_EQ(melnixTool("midi render " + demo + " " + out).status, 0);
    ASSERT_TRUE(test::readWav(out, w));
    double sum = 0;
    for (int16_t s : w.samples) sum += static_cast<double>(s) * s;
    const double rmsDb = 10 * std::log10(sum / static_cast<double>(w.samples.size()) / (32768.0 * 32768.0));
    EXPECT_NEAR(rmsDb, -28.3, 3.0);
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
        {"midi render " + demo + " " + out + " --key 7", "", 2},
        {"midi render " + demo + " " + out + " --key +-1", "", 2},
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

// Inputs kept from fuzzing: each ends with a clear result instead of
// waiting or writing for ever.
TEST(MidiRenderKeptInputs, DamagedSongsEndWithAClearResult) {
    const std::string corpus = std::string(MELNIX_SOURCE_DIR) + "/fuzz/corpus/midi/";
    test::TempDir dir;
    const struct {
        const char* file;
        const char* command;  // OUT is the output
        int status;
        const char* says;  // on standard output
    } cases[] = {
        // A stream whose device stops moving: the render ends with what played.
        {"stalled-stream.mid", "midi render IN OUT", 0, "length_ms="},
        // A few bytes claiming days (a delta of 2^28 ticks), and a mutated
        // song claiming hours: refused before anything is written.
        {"huge-delta.mid", "midi render IN OUT", 1, ""},
        {"claims-hours.mid", "midi render IN OUT", 1, ""},
        // A video of its first two seconds synthesizes only those.
        {"huge-delta.mid", "video IN OUT.mp4 --to 2000 --size 320x240 --fps 5 --quality low", 0, "length_ms=2000"},
    };
    for (const auto& c : cases) {
        std::string cmd = c.command;
        cmd.replace(cmd.find("IN"), 2, corpus + c.file);
        cmd.replace(cmd.find("OUT"), 3, dir.file("out"));
        std::remove(dir.file("out").c_str());
        const ToolRun r = melnixTool(cmd);
        EXPECT_EQ(r.status, c.status) << c.file << ": " << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.file << ": " << r.out;
        if (c.status != 0) {
            EXPECT_NE(::access(dir.file("out").c_str(), F_OK), 0) << c.file;
        }
    }
}

}  // namespace
}  // namespace melnix
