// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/video_command.h"

#include <unistd.h>

#include <QGuiApplication>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "cli/song_lyric.h"
#include "cli/tool_support.h"
#include "common/paths.h"
#include "export/video_export.h"
#include "ui/qt_text.h"

namespace {

using namespace melnix;

int videoUsage() {
    std::fputs("usage: melnix-tool video SONG OUT.mp4 [--size WxH] [--fps N] [--quality low|normal|high]\n"
               "                         [--pictures FILE_OR_FOLDER] [--from MS] [--to MS] [--preset X264PRESET]\n",
               stderr);
    return kExitUsage;
}

bool parseInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

}  // namespace

int runVideoCommand(const std::vector<std::string>& args) {
    if (args.size() < 2) return videoUsage();
    VideoExportRequest request;
    request.song = args[0];
    request.out = args[1];
    std::string pictures;
    bool picturesGiven = false;
    for (size_t i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return videoUsage();
        const std::string& opt = args[i];
        const std::string& value = args[i + 1];
        if (opt == "--size") {
            if (!parseVideoSize(value.c_str(), request.size)) return videoUsage();
        } else if (opt == "--fps") {
            if (!parseInt(value, kMinExportFps, kMaxExportFps, request.fps)) return videoUsage();
        } else if (opt == "--quality") {
            if (!parseQuality(value.c_str(), request.quality)) return videoUsage();
        } else if (opt == "--pictures") {
            pictures = value;
            picturesGiven = true;
        } else if (opt == "--from") {
            if (!parseInt(value, 0, 0x7FFFFFFF, request.fromMs)) return videoUsage();
        } else if (opt == "--to") {
            if (!parseInt(value, 1, 0x7FFFFFFF, request.toMs)) return videoUsage();
        } else if (opt == "--preset") {
            request.preset = value;
        } else {
            return videoUsage();
        }
    }
    if (request.toMs > 0 && request.toMs <= request.fromMs) {
        std::fputs("melnix-tool: --to must lie after --from\n", stderr);
        return kExitUsage;
    }

    // Fonts and pictures need Qt's painting, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "melnix-tool";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    const AppState state = readLastRunState();
    const int index = state.list.findSong(request.song);
    const SongEntry* entry = index >= 0 ? state.list.at(index) : nullptr;

    ShowContent& show = request.show;
    findLyric(request.song, entry, show.sheet);
    show.closing = exportClosingText(request.song);
    if (picturesGiven)
        show.pictures = exportPicturesFromPath(pictures);
    else
        chooseExportBackground(request, entry ? entry->pictureList : std::string());
    std::copy(state.effectSelected.begin(), state.effectSelected.end(), show.effects.begin());
    show.face = state.subtitleFont.empty() ? QStringLiteral("黑体") : fromGbk(state.subtitleFont);

    const bool terminal = isatty(STDERR_FILENO) != 0;
    int lastPercent = -1;
    const VideoExportResult result = exportVideo(request, nullptr, [&](int64_t done, int64_t total) {
        if (!terminal) return;
        const int percent = static_cast<int>(done * 100 / total);
        if (percent == lastPercent && done != total) return;
        lastPercent = percent;
        std::fprintf(stderr, "\rframe %lld of %lld (%d%%)", static_cast<long long>(done),
                     static_cast<long long>(total), percent);
        if (done == total) std::fputc('\n', stderr);
    });
    if (!result.ok) return fail(result.error);
    std::printf("length_ms=%lld\n", static_cast<long long>(result.lengthMs));
    return kExitOk;
}
