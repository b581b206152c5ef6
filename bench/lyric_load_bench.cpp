// SPDX-License-Identifier: GPL-3.0-or-later
// Loading long files: plain text lines (as an MLX block's text and through the
// text import), LRC, KSC and the state file with its song list, from 10,000 to
// 300,000 lines or songs. The time per line (us_per_item) must stay flat:
// growth that is not geometric shows up as a time per line that rises with N.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

#include "common/file.h"
#include "lyrics/lyric_import.h"
#include "lyrics/lyric_store.h"
#include "lyrics/mlx_block.h"
#include "songlist/state_file.h"

namespace {

using namespace melnix;

// "第N行" and friends in GBK: two-byte characters and digits.
std::string gbkLine(int i) {
    static const char kLine[] = "\xB5\xDA";  // 第
    return std::string(kLine) + std::to_string(i) + "\xD0\xD0";  // 行
}

std::string timeTag(int cs) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d.%02d", cs / 6000 % 100, cs / 100 % 60, cs % 100);
    return b;
}

std::string makeText(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += gbkLine(i) + "\r\n";
    return s;
}

// Times spread over the 100 minutes a two-digit minute field can hold.
int spreadCs(int i, int n) { return static_cast<int>(int64_t{i} * 599000 / n); }

std::string makeLrc(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "[" + timeTag(spreadCs(i, n)) + "]" + gbkLine(i) + "\r\n";
    return s;
}

std::string makeKsc(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        const int t = spreadCs(i, n) * 10;
        char b[128];
        std::snprintf(b, sizeof b, "karaoke.add('%02d:%02d.%03d', '%02d:%02d.%03d', '", t / 60000, t / 1000 % 60, t % 1000,
                      (t + 400) / 60000, (t + 400) / 1000 % 60, (t + 400) % 1000);
        s += b + gbkLine(i) + "', '100,100,100,100');\r\n";
    }
    return s;
}

std::string makeMlx(int n) {
    LyricSheet sheet;
    for (int i = 0; i < n; ++i) sheet.appendLine(gbkLine(i));
    File f;
    f.openMemory("");
    writeLyricBlock(f, sheet, 0, "");
    std::string out(static_cast<size_t>(f.length()), '\0');
    f.seek(0);
    f.readExact(out.data(), out.size());
    return out;
}

std::string makeState(int n) {
    AppState s;
    for (int i = 0; i < n; ++i) {
        SongEntry e;
        e.songPath = "/home/user/music/album " + std::to_string(i / 12) + "/song " + std::to_string(i) + ".mp3";
        e.length = 24000 + i % 1000;
        s.list.append(std::move(e));
    }
    return writeStateBytes(s);
}

// Each file is made once and kept in /tmp while the benchmark runs.
const std::string& fileOf(const char* kind, int n, std::string (*make)(int)) {
    static std::map<std::string, std::string> paths;
    const std::string key = std::string(kind) + std::to_string(n);
    auto it = paths.find(key);
    if (it != paths.end()) return it->second;
    const std::string path = "/tmp/melnix-bench-" + std::to_string(::getpid()) + "-" + key;
    const std::string bytes = make(n);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    std::atexit([] {
        for (const auto& [k, p] : paths) std::remove(p.c_str());
    });
    return paths.emplace(key, path).first->second;
}

void openLyric(benchmark::State& state, const char* kind, std::string (*make)(int)) {
    const int n = static_cast<int>(state.range(0));
    const std::string& path = fileOf(kind, n, make);
    int loaded = 0;
    for (auto _ : state) {
        LyricSheet sheet;
        if (!openLyricFile(path, sheet)) state.SkipWithError("not loaded");
        loaded = sheet.lineCount();
    }
    state.SetItemsProcessed(state.iterations() * n);
    // 100 minutes cannot hold 300,000 LRC lines 3/100 s apart: the reader
    // reads them all and keeps those that fit.
    state.counters["lines_kept"] = loaded;
}

void BM_LoadMlx(benchmark::State& state) { openLyric(state, "mlx", makeMlx); }
void BM_LoadLrc(benchmark::State& state) { openLyric(state, "lrc", makeLrc); }
void BM_LoadKsc(benchmark::State& state) { openLyric(state, "ksc", makeKsc); }

void BM_ImportText(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string& path = fileOf("txt", n, makeText);
    for (auto _ : state) {
        std::vector<std::string> lines;
        LyricSheet sheet;
        if (!readTextFileLines(path, lines)) state.SkipWithError("not read");
        takeEditLines(sheet, lines, true);
        if (sheet.lineCount() < n * 9 / 10) state.SkipWithError("not taken");
        benchmark::DoNotOptimize(sheet.lineCount());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_LoadStateFile(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string& path = fileOf("state", n, makeState);
    for (auto _ : state) {
        std::string bytes;
        AppState s;
        if (!readWholeFile(path, bytes, int64_t{1} << 30) || !readStateBytes(bytes, s, true).listComplete ||
            s.list.size() != n)
            state.SkipWithError("not read");
        benchmark::DoNotOptimize(s.list.size());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

#define LINES Arg(10000)->Arg(30000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond)->MinTime(0.5)
BENCHMARK(BM_LoadMlx)->LINES;
BENCHMARK(BM_LoadLrc)->LINES;
BENCHMARK(BM_LoadKsc)->LINES;
BENCHMARK(BM_ImportText)->LINES;
BENCHMARK(BM_LoadStateFile)->LINES;

}  // namespace
