// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cdg_command.h"

#include <unistd.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <optional>
#include <strings.h>

#include "cli/song_lyric.h"
#include "cli/tool_support.h"
#include "common/file.h"
#include "common/gbk.h"
#include "common/safe_save.h"
#include "export/cdg_glyphs.h"
#include "export/core/cdg_writer.h"
#include "export/core/mp3_writer.h"
#include "export/core/song_audio.h"
#include "export/core/song_credits.h"
#include "ui/qt_text.h"

namespace {

using namespace melnix;

int cdgUsage() {
    std::fputs("usage: melnix-tool cdg SONG OUT.cdg [--lines 2..4] [--title T] [--artist A]\n", stderr);
    return kExitUsage;
}

bool endsWith(const std::string& name, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return name.size() > n && ::strcasecmp(name.c_str() + name.size() - n, suffix) == 0;
}

// Hosts play song.cdg with the song.mp3 of the same name.
std::string mp3Beside(const std::string& cdg) {
    return (endsWith(cdg, ".cdg") ? cdg.substr(0, cdg.size() - 4) : cdg) + ".mp3";
}

}  // namespace

int runCdgCommand(const std::vector<std::string>& args) {
    if (args.size() < 2) return cdgUsage();
    const std::string& song = args[0];
    const std::string& out = args[1];
    CdgOptions options;
    std::optional<std::string> title, artist;  // UTF-8, as typed
    for (size_t i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return cdgUsage();
        const std::string& opt = args[i];
        const std::string& value = args[i + 1];
        if (opt == "--lines") {
            if (value.size() != 1 || value[0] < '2' || value[0] > '4') return cdgUsage();
            options.linesOnScreen = value[0] - '0';
        } else if (opt == "--title") {
            title = value;
        } else if (opt == "--artist") {
            artist = value;
        } else {
            return cdgUsage();
        }
    }

    // An MP3 song is played as it is; any other gets one made from it.
    const bool songIsMp3 = endsWith(song, ".mp3");
    const std::string mp3 = mp3Beside(out);
    if (sameFile(song, out) || (!songIsMp3 && sameFile(song, mp3)))
        return fail((sameFile(song, out) ? out : mp3) + ": this is the song itself; choose another name for the output");

    // The letters are drawn with the show's fonts, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "melnix-tool";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    const AppState state = readLastRunState();
    const int index = state.list.findSong(song);
    LyricSheet sheet;
    findLyric(song, index >= 0 ? state.list.at(index) : nullptr, sheet);
    if (sheet.empty()) return fail(song + ": the song has no lyric (stored in it, named in the song list or an .MLX beside it)");

    // Before the long decoding: a folder that cannot be written fails now.
    SafeSave save;
    if (!save.begin(out)) return fail(out + ": the folder cannot be written (" + std::strerror(save.lastErrno()) + ")");

    SongAudio audio;
    std::string error;
    if (!decodeSongAudio(song, 0, 0, audio, error)) return fail(error);
    options.durationMs = audio.lengthMs();

    const SongCredits credits = readSongCredits(song);
    const std::string titleUtf8 = title.value_or(credits.title);
    const std::string artistUtf8 = artist.value_or(credits.artist);
    options.titleGbk = utf8ToGbk(titleUtf8);
    options.artistGbk = utf8ToGbk(artistUtf8);

    QtCdgGlyphs glyphs(state.subtitleFont.empty() ? QString() : fromGbk(state.subtitleFont));
    const std::vector<uint8_t> bytes = encodeCdg(sheet, options, glyphs, error);
    if (bytes.empty()) return fail(song + ": the CD+G graphics cannot be made (" + error + ")");
    save.file().write(bytes.data(), bytes.size());

    if (!songIsMp3) {
        const bool terminal = isatty(STDERR_FILENO) != 0;
        const auto progress = [terminal](int percent) {
            if (!terminal) return;
            std::fprintf(stderr, "\rMP3 %d%%", percent);
            if (percent == 100) std::fputc('\n', stderr);
        };
        if (!writeMp3(audio, mp3, Mp3Options{kMp3BitRate, titleUtf8, artistUtf8}, error, nullptr, progress))
            return fail(error);
    } else if (!sameFile(song, mp3)) {
        std::fprintf(stderr, "melnix-tool: note: players look for the song as %s\n", mp3.c_str());
    }
    if (!save.commit()) return fail(out + ": the output cannot be written (" + std::strerror(save.lastErrno()) + ")");

    std::printf("cdg=%s\n", out.c_str());
    if (!songIsMp3) std::printf("mp3=%s\n", mp3.c_str());
    std::printf("length_ms=%lld\n", static_cast<long long>(options.durationMs));
    return kExitOk;
}
