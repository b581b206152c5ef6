// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cdg_command.h"

#include <unistd.h>

#include <QGuiApplication>
#include <cstdio>
#include <optional>

#include "cli/song_lyric.h"
#include "cli/tool_support.h"
#include "common/file.h"
#include "export/cdg_export.h"
#include "ui/qt_text.h"

namespace {

using namespace melnix;

int cdgUsage() {
    std::fputs("usage: melnix-tool cdg SONG OUT.cdg [--lines 2..4] [--title T] [--artist A]\n", stderr);
    return kExitUsage;
}

}  // namespace

int runCdgCommand(const std::vector<std::string>& args) {
    if (args.size() < 2) return cdgUsage();
    const std::string& song = args[0];
    const std::string& out = args[1];
    int lines = 3;
    std::optional<std::string> title, artist;  // UTF-8, as typed
    for (size_t i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return cdgUsage();
        const std::string& opt = args[i];
        const std::string& value = args[i + 1];
        if (opt == "--lines") {
            if (value.size() != 1 || value[0] < '2' || value[0] > '4') return cdgUsage();
            lines = value[0] - '0';
        } else if (opt == "--title") {
            title = value;
        } else if (opt == "--artist") {
            artist = value;
        } else {
            return cdgUsage();
        }
    }

    // An MP3 song is played as it is; any other gets one made from it.
    const std::string mp3 = mp3BesideCdg(out);
    if (sameFile(song, out) || (!songIsMp3(song) && sameFile(song, mp3)))
        return fail((sameFile(song, out) ? out : mp3) + ": this is the song itself; choose another name for the output");

    // The letters are drawn with the show's fonts, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "melnix-tool";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    const AppState state = readLastRunState();
    const int index = state.list.findSong(song);
    CdgExportRequest request;
    request.song = song;
    request.out = out;
    findLyric(song, index >= 0 ? state.list.at(index) : nullptr, request.sheet);
    if (request.sheet.empty())
        return fail(song + ": the song has no lyric (stored in it, named in the song list or an .MLX beside it)");
    request.face = state.subtitleFont.empty() ? QString() : fromGbk(state.subtitleFont);
    request.linesOnScreen = lines;
    request.title = title;
    request.artist = artist;
    const bool terminal = isatty(STDERR_FILENO) != 0;
    const CdgExportResult result = exportCdg(request, nullptr, [terminal](int percent) {
        if (!terminal) return;
        std::fprintf(stderr, "\r%d%%", percent);
        if (percent == 100) std::fputc('\n', stderr);
    });
    if (!result.ok) return fail(result.error);
    if (songIsMp3(song) && !sameFile(song, mp3))
        std::fprintf(stderr, "melnix-tool: note: players look for the song as %s\n", mp3.c_str());
    std::printf("cdg=%s\n", out.c_str());
    if (!result.mp3.empty()) std::printf("mp3=%s\n", result.mp3.c_str());
    std::printf("length_ms=%lld\n", static_cast<long long>(result.lengthMs));
    return kExitOk;
}
