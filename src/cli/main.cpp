// melnix-tool: the command-line companion for batch work and diagnostics on
// lyric files and songs.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/render_command.h"
#include "common/gbk.h"
#include "common/paths.h"
#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_store.h"
#include "songlist/media_kind.h"

namespace {

using namespace melnix;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int usage() {
    std::fputs(
        "usage:\n"
        "  melnix-tool lyrics show FILE\n"
        "  melnix-tool lyrics convert IN OUT.MLX [--length CS]\n"
        "  melnix-tool lyrics embed SONG LYRICS\n"
        "  melnix-tool lyrics extract SONG OUT.MLX\n"
        "  melnix-tool render SONG OUT.WAV [--speed 0..8] [--vocal-removal]\n",
        stderr);
    return kExitUsage;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "melnix-tool: %s\n", message.c_str());
    return kExitFailed;
}

// A song file gives its tail block; any other file is read as a lyric file.
bool loadAny(const std::string& path, LyricSheet& sheet, std::string& error) {
    if (isSongFile(path)) {
        switch (readTailLyric(path, sheet)) {
            case TailLoad::Loaded: return true;
            case TailLoad::Damaged:
                std::fprintf(stderr, "melnix-tool: %s: the lyric block's timings are damaged; default times used\n",
                             path.c_str());
                return !sheet.empty();
            case TailLoad::NoBlock: error = path + ": the song carries no lyric"; return false;
            case TailLoad::CannotOpen: error = path + ": " + std::strerror(errno); return false;
        }
        return false;
    }
    if (!openLyricFile(path, sheet)) {
        error = path + ": not a readable lyric file";
        return false;
    }
    if (sheet.empty()) {
        error = path + ": the file holds no lyric";
        return false;
    }
    return true;
}

int showLyrics(const std::string& path) {
    LyricSheet sheet;
    std::string error;
    if (!loadAny(path, sheet, error)) return fail(error);
    for (int i = 0; i < sheet.lineCount(); ++i) {
        const LyricLine& l = *sheet.lineAt(i);
        std::string times;
        for (size_t k = 0; k < l.charTimes.size(); ++k) {
            if (k) times += ',';
            times += std::to_string(l.charTimes[k]);
        }
        std::printf("%d\t%d\t%u\t%d\t%s\t%s\n", i, l.startTime, static_cast<unsigned>(l.duration), l.flags,
                    times.c_str(), gbkToUtf8(l.text).c_str());
    }
    return kExitOk;
}

bool parseLength(const char* s, int32_t& out) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s, &end, 10);
    if (errno || !end || *end || v < 0 || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

int convertLyrics(const std::string& in, const std::string& out, int32_t length) {
    LyricSheet sheet;
    std::string error;
    if (!loadAny(in, sheet, error)) return fail(error);
    StoreError se;
    std::string songName = isSongFile(in) ? fileNameOf(in) : std::string();
    if (!storeInLyricFile(out, sheet, length, songName, &se)) return fail(out + ": " + se.detail);
    return kExitOk;
}

int embedLyrics(const std::string& song, const std::string& lyrics) {
    LyricSheet sheet;
    std::string error;
    if (!loadAny(lyrics, sheet, error)) return fail(error);
    StoreError se;
    if (!storeInSongTail(song, sheet, &se)) return fail(song + ": " + se.detail);
    return kExitOk;
}

int extractLyrics(const std::string& song, const std::string& out) {
    LyricSheet sheet;
    switch (readTailLyric(song, sheet)) {
        case TailLoad::Loaded: break;
        case TailLoad::Damaged: return fail(song + ": the lyric block is damaged");
        case TailLoad::NoBlock: return fail(song + ": the song carries no lyric");
        case TailLoad::CannotOpen: return fail(song + ": " + std::strerror(errno));
    }
    StoreError se;
    if (!storeInLyricFile(out, sheet, 0, fileNameOf(song), &se)) return fail(out + ": " + se.detail);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "render") return runRenderCommand({args.begin() + 1, args.end()});
    if (args.size() < 2 || args[0] != "lyrics") return usage();
    const std::string& cmd = args[1];
    if (cmd == "show" && args.size() == 3) return showLyrics(args[2]);
    if (cmd == "convert" && (args.size() == 4 || args.size() == 6)) {
        int32_t length = 0;
        if (args.size() == 6 && (args[4] != "--length" || !parseLength(args[5].c_str(), length))) return usage();
        return convertLyrics(args[2], args[3], length);
    }
    if (cmd == "embed" && args.size() == 4) return embedLyrics(args[2], args[3]);
    if (cmd == "extract" && args.size() == 4) return extractLyrics(args[2], args[3]);
    return usage();
}
