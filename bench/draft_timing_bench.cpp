// SPDX-License-Identifier: GPL-3.0-or-later
// How close the draft timing puts each sung character to where it is sung,
// on songs with known timing made by bench/make_sung_songs.py:
//   draft_timing_bench [build/bench/sung_songs/songs.tsv]
// Prints Markdown tables: errors per character by how the lines came in and
// by vocal-to-music level, then the time and memory of a four-minute song.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "audio/voice_onsets.h"
#include "common/gbk.h"
#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_text.h"
#include "sync/draft_timing.h"

using namespace melnix;

namespace {

struct TrueLine {
    std::string gbk;
    int32_t endCs = 0;
    std::vector<int32_t> startsCs;   // one a syllable
    std::vector<int> firstChars;     // each syllable's first character in gbk
};

struct Song {
    std::string name, lang;
    int levelDb = 0;
    int channels = 0, rate = 0;
    std::vector<int16_t> pcm;
    std::vector<TrueLine> lines;
    double seconds() const { return static_cast<double>(pcm.size()) / channels / rate; }
};

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "draft_timing_bench: %s\n", why.c_str());
    std::exit(1);
}

uint32_t le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Plain 16-bit PCM WAV, its samples appended to out up to limit in all.
void readWav(const std::string& path, int& channels, int& rate, std::vector<int16_t>& out, size_t limit = SIZE_MAX) {
    std::ifstream f(path, std::ios::binary);
    unsigned char h[12];
    if (!f.read(reinterpret_cast<char*>(h), 12) || std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0)
        fail(path + ": not a WAV file");
    for (unsigned char c[8]; f.read(reinterpret_cast<char*>(c), 8);) {
        const uint32_t size = le32(c + 4);
        if (std::memcmp(c, "fmt ", 4) == 0) {
            std::vector<unsigned char> b(size);
            f.read(reinterpret_cast<char*>(b.data()), size);
            if (size < 16 || le16(b.data()) != 1 || le16(b.data() + 14) != 16) fail(path + ": not 16-bit PCM");
            channels = le16(b.data() + 2);
            rate = static_cast<int>(le32(b.data() + 4));
        } else if (std::memcmp(c, "data", 4) == 0) {
            const size_t n = std::min<size_t>(size / 2, limit - std::min(limit, out.size()));
            const size_t at = out.size();
            out.resize(at + n);
            f.read(reinterpret_cast<char*>(out.data() + at), static_cast<std::streamsize>(2 * n));
            out.resize(at + static_cast<size_t>(f.gcount()) / 2);  // the samples are little-endian, as is the host
            return;
        }
        if (std::memcmp(c, "fmt ", 4) != 0) f.seekg(size, std::ios::cur);
        if (size & 1) f.seekg(1, std::ios::cur);
    }
    fail(path + ": no data");
}

std::vector<TrueLine> readTruth(const std::string& path, const std::string& lang) {
    std::ifstream f(path);
    if (!f) fail("cannot read " + path);
    std::vector<TrueLine> lines;
    std::string row;
    while (std::getline(f, row)) {
        if (row.empty() || row[0] == '#') continue;
        std::istringstream cols(row);
        std::string text, end, starts;
        std::getline(cols, text, '\t');
        std::getline(cols, end, '\t');
        std::getline(cols, starts);
        TrueLine l;
        l.gbk = utf8ToGbk(text);
        l.endCs = std::stoi(end);
        std::istringstream ss(starts);
        for (int32_t t; ss >> t;) l.startsCs.push_back(t);
        if (lang == "cmn") {
            for (int c = 0; c < charCount(l.gbk); ++c) l.firstChars.push_back(c);
        } else {
            for (size_t c = 0; c < l.gbk.size(); ++c)
                if (l.gbk[c] != ' ' && (c == 0 || l.gbk[c - 1] == ' ')) l.firstChars.push_back(static_cast<int>(c));
        }
        if (l.firstChars.size() != l.startsCs.size() || static_cast<int>(l.gbk.size()) > kMaxLineBytes)
            fail(path + ": line does not match its syllables: " + text);
        lines.push_back(std::move(l));
    }
    return lines;
}

struct Entry {
    std::string name, lang, wav, truth;
    int levelDb = 0;
};

std::vector<Entry> readManifest(const std::string& manifest) {
    std::ifstream f(manifest);
    if (!f) fail("cannot read " + manifest + " (make it with bench/make_sung_songs.py)");
    const std::string dir = manifest.substr(0, manifest.find_last_of('/') + 1);
    std::vector<Entry> entries;
    std::string row;
    while (std::getline(f, row)) {
        if (row.empty() || row[0] == '#') continue;
        std::istringstream cols(row);
        Entry e;
        std::string level;
        cols >> e.name >> e.lang >> level >> e.wav >> e.truth;
        e.levelDb = std::stoi(level);
        e.wav = dir + e.wav;
        e.truth = dir + e.truth;
        entries.push_back(std::move(e));
    }
    return entries;
}

// Lines as an LRC file or an earlier timing gives them: each start up to
// half a second off, its characters even over a length up to 15 % off.
LyricSheet sheetWithTimes(const std::vector<TrueLine>& lines, std::mt19937& rng) {
    std::uniform_int_distribution<int> offset(-50, 50);
    std::uniform_real_distribution<double> stretch(0.85, 1.15);
    LyricSheet sheet;
    for (const TrueLine& t : lines) {
        LyricLine l;
        l.text = t.gbk;
        l.startTime = t.startsCs.front() + offset(rng);
        const int n = charCount(t.gbk);
        const int d = std::max(n * kMinCharTime, static_cast<int>(std::lround((t.endCs - t.startsCs.front()) * stretch(rng))));
        l.duration = static_cast<uint16_t>(d);
        l.charTimes = evenCharTimes(n, d);
        sheet.addLine(std::move(l));
    }
    sheet.normalizeLines();
    return sheet;
}

// Lines as a plain-text import makes them.
LyricSheet sheetWithoutTimes(const std::vector<TrueLine>& lines) {
    LyricSheet sheet;
    for (const TrueLine& t : lines) sheet.appendLine(t.gbk);
    return sheet;
}

struct Tally {
    std::vector<double> errorsMs, signedMs;
    int lines = 0, linesWithin300 = 0, weak = 0;
    int syllables = 0, withOnset = 0;  // true starts with a voice onset within 50 ms
    size_t phrases = 0;

    // What the analysis found, apart from how the lyric was laid on it.
    void addVoice(const VoiceAnalysis& voice, const std::vector<TrueLine>& truth) {
        phrases += voice.phrases.size();
        for (const TrueLine& t : truth) {
            for (int32_t start : t.startsCs) {
                ++syllables;
                const auto it = std::lower_bound(voice.onsets.begin(), voice.onsets.end(), start - 5,
                                                 [](const VoiceOnset& o, int32_t cs) { return o.timeCs < cs; });
                if (it != voice.onsets.end() && it->timeCs <= start + 5) ++withOnset;
            }
        }
    }

    void add(const LyricSheet& placed, const DraftResult& draft, const std::vector<TrueLine>& truth) {
        for (size_t i = 0; i < truth.size(); ++i) {
            const LyricLine& l = *placed.lineAt(static_cast<int>(i));
            const TrueLine& t = truth[i];
            for (size_t k = 0; k < t.startsCs.size(); ++k) {
                const double d = 10.0 * (l.startTime + l.charTimes[static_cast<size_t>(t.firstChars[k])] - t.startsCs[k]);
                errorsMs.push_back(std::abs(d));
                signedMs.push_back(d);
            }
            ++lines;
            if (std::abs(l.startTime + l.charTimes[static_cast<size_t>(t.firstChars[0])] - t.startsCs[0]) <= 30)
                ++linesWithin300;
            if (draft.lines[i].weak) ++weak;
        }
    }
};

// 99 in the manifest's level column stands for the voice alone.
std::string levelName(int db) { return db >= 99 ? "voice alone" : std::to_string(db) + " dB"; }

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size())));
    return v[std::clamp<size_t>(rank, 1, v.size()) - 1];
}

double share(const std::vector<double>& v, double limit) {
    return v.empty() ? 0 : 100.0 * static_cast<double>(std::count_if(v.begin(), v.end(), [&](double e) { return e <= limit; })) /
                               static_cast<double>(v.size());
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long maxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

struct FourMinutes {
    double songSeconds = 0, wall = 0, cpu = 0;
    long rssBeforeKb = 0, rssAfterKb = 0;
    int lines = 0;
};

// A four-minute song from the -6 dB songs one after the other, in a process
// of its own so that its peak memory is that of one run.
FourMinutes fourMinuteRun(const std::string& manifest) {
    int fd[2];
    if (pipe(fd) != 0) fail("pipe");
    const pid_t pid = fork();
    if (pid < 0) fail("fork");
    if (pid == 0) {
        close(fd[0]);
        FourMinutes r;
        {
            std::vector<int16_t> pcm;
            std::vector<TrueLine> lines;
            int channels = 2, rate = 44100;
            const size_t want = static_cast<size_t>(240) * rate * channels;
            pcm.reserve(want);
            for (const Entry& e : readManifest(manifest)) {
                if (e.levelDb != -6 || pcm.size() >= want) continue;
                const auto at = static_cast<int32_t>(pcm.size() / channels * 100 / rate);
                readWav(e.wav, channels, rate, pcm, want);
                if (channels != 2 || rate != 44100) fail(e.wav + ": not 44.1 kHz stereo");
                for (TrueLine l : readTruth(e.truth, e.lang)) {
                    if (static_cast<size_t>(l.endCs + at) * rate * channels / 100 > want) break;
                    for (int32_t& t : l.startsCs) t += at;
                    l.endCs += at;
                    lines.push_back(std::move(l));
                }
            }
            LyricSheet sheet = sheetWithoutTimes(lines);
            r.songSeconds = static_cast<double>(pcm.size()) / channels / rate;
            r.lines = sheet.lineCount();
            r.rssBeforeKb = maxRssKb();
            const double w0 = wallSeconds(), c0 = cpuSeconds();
            VoiceAnalysis voice;
            analyzeVoice(pcm, channels, rate, voice);
            DraftResult draft = alignLyric(sheet, voice, DraftOptions{false});
            applyDraft(sheet, draft);
            r.wall = wallSeconds() - w0;
            r.cpu = cpuSeconds() - c0;
            r.rssAfterKb = maxRssKb();
        }
        if (write(fd[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) _exit(1);
        _exit(0);
    }
    close(fd[1]);
    FourMinutes r;
    const bool ok = read(fd[0], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
    close(fd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("the four-minute run failed");
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string manifest = argc > 1 ? argv[1] : "build/bench/sung_songs/songs.tsv";
    const FourMinutes four = fourMinuteRun(manifest);

    std::vector<Song> songs;
    for (const Entry& e : readManifest(manifest)) {
        Song s;
        s.name = e.name;
        s.lang = e.lang;
        s.levelDb = e.levelDb;
        readWav(e.wav, s.channels, s.rate, s.pcm);
        s.lines = readTruth(e.truth, e.lang);
        songs.push_back(std::move(s));
    }
    std::mt19937 rng(20261211);
    // [condition][level] and [condition][level][lang]
    std::map<std::string, std::map<int, Tally>> all;
    std::map<std::string, std::map<int, std::map<std::string, Tally>>> byLang;
    std::map<int, std::map<std::string, Tally>> voiceFound;
    double analysisCpu = 0, analysisWall = 0, alignCpu = 0, songSeconds = 0;
    for (const Song& s : songs) {
        double w0 = wallSeconds(), c0 = cpuSeconds();
        VoiceAnalysis voice;
        if (!analyzeVoice(s.pcm, s.channels, s.rate, voice)) fail(s.name + ": analysis refused");
        analysisWall += wallSeconds() - w0;
        analysisCpu += cpuSeconds() - c0;
        songSeconds += s.seconds();
        voiceFound[s.levelDb][s.lang].addVoice(voice, s.lines);
        for (const bool known : {true, false}) {
            LyricSheet sheet = known ? sheetWithTimes(s.lines, rng) : sheetWithoutTimes(s.lines);
            c0 = cpuSeconds();
            const DraftResult draft = alignLyric(sheet, voice, DraftOptions{known});
            applyDraft(sheet, draft);
            alignCpu += cpuSeconds() - c0;
            const std::string cond = known ? "line times given (±0.5 s)" : "no times (plain text)";
            all[cond][s.levelDb].add(sheet, draft, s.lines);
            byLang[cond][s.levelDb][s.lang].add(sheet, draft, s.lines);
        }
    }

    std::printf("%zu song files, %.1f min of song; errors are |placed - true| of each character's start\n\n",
                songs.size(), songSeconds / 60);
    std::printf("| lines | vocal-to-music | characters | median | 90th pct | within 100 ms | line starts within 300 ms | weak lines |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const auto& [cond, levels] : all) {
        for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
            const Tally& t = it->second;
            std::printf("| %s | %s | %zu | %.0f ms | %.0f ms | %.0f %% | %.0f %% | %d of %d |\n", cond.c_str(), levelName(it->first).c_str(),
                        t.errorsMs.size(), percentile(t.errorsMs, 0.5), percentile(t.errorsMs, 0.9),
                        share(t.errorsMs, 100), 100.0 * t.linesWithin300 / std::max(1, t.lines), t.weak, t.lines);
        }
    }
    std::printf("\nBy language (signed = median of placed - true; onsets = true starts with a voice onset within "
                "50 ms; phrases = voiced phrases found against lines sung):\n\n");
    std::printf("| lines | vocal-to-music | language | median | 90th pct | signed | within 100 ms | line starts within 300 ms | onsets | phrases |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (const auto& [cond, levels] : byLang) {
        for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
            for (const auto& [lang, t] : it->second) {
                const Tally& v = voiceFound[it->first][lang];
                std::printf("| %s | %s | %s | %.0f ms | %.0f ms | %+.0f ms | %.0f %% | %.0f %% | %.0f %% | %zu of %d |\n",
                            cond.c_str(), levelName(it->first).c_str(), lang.c_str(), percentile(t.errorsMs, 0.5),
                            percentile(t.errorsMs, 0.9), percentile(t.signedMs, 0.5), share(t.errorsMs, 100),
                            100.0 * t.linesWithin300 / std::max(1, t.lines), 100.0 * v.withOnset / std::max(1, v.syllables),
                            v.phrases, t.lines);
            }
        }
    }
    const double minutes = songSeconds / 60;
    std::printf("\nAnalysis (analyzeVoice): %.2f s CPU, %.2f s wall a minute of song; alignLyric + applyDraft: %.1f ms CPU a minute\n",
                analysisCpu / minutes, analysisWall / minutes, 1000 * alignCpu / minutes / 2);
    std::printf("Four-minute song (%.0f s, %d lines, no times), one run in its own process: %.2f s wall, %.2f s CPU; "
                "peak memory %.1f MB (%.1f MB before the analysis, the 16-bit PCM being %.1f MB)\n",
                four.songSeconds, four.lines, four.wall, four.cpu, static_cast<double>(four.rssAfterKb) / 1024, static_cast<double>(four.rssBeforeKb) / 1024,
                four.songSeconds * 44100 * 4 / 1048576.0);
    return 0;
}
