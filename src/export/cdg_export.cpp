// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/cdg_export.h"

#include <strings.h>

#include <cstring>

#include "common/file.h"
#include "common/gbk.h"
#include "common/safe_save.h"
#include "export/cdg_glyphs.h"
#include "export/core/cdg_writer.h"
#include "export/core/mp3_writer.h"
#include "export/core/song_audio.h"
#include "export/core/song_credits.h"

namespace melnix {
namespace {

bool endsWith(const std::string& name, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return name.size() > n && ::strcasecmp(name.c_str() + name.size() - n, suffix) == 0;
}

// The share of the bar each stage takes: decoding, the graphics, the MP3.
constexpr int kDecodedAt = 40;
constexpr int kGraphicsAt = 60;

CdgExportResult failed(std::string why) {
    CdgExportResult r;
    r.cancelled = why == "cancelled";
    r.error = std::move(why);
    return r;
}

}  // namespace

std::string mp3BesideCdg(const std::string& cdg) {
    return (endsWith(cdg, ".cdg") ? cdg.substr(0, cdg.size() - 4) : cdg) + ".mp3";
}

bool songIsMp3(const std::string& song) { return endsWith(song, ".mp3"); }

CdgExportResult exportCdg(const CdgExportRequest& request, const std::atomic<bool>* cancel,
                          const std::function<void(int)>& progress) {
    const auto report = [&](int percent) {
        if (progress) progress(percent);
    };
    const bool mp3Song = songIsMp3(request.song);
    const std::string mp3 = mp3BesideCdg(request.out);
    if (request.sheet.empty()) return failed(request.song + ": the song has no lyric");
    if (sameFile(request.song, request.out) || (!mp3Song && sameFile(request.song, mp3)))
        return failed((sameFile(request.song, request.out) ? request.out : mp3) +
                      ": this is the song itself; choose another name for the output");
    // Before the long decoding: a folder that cannot be written fails now.
    SafeSave save;
    if (!save.begin(request.out))
        return failed(request.out + ": the folder cannot be written (" + std::strerror(save.lastErrno()) + ")");
    SongAudio audio;
    std::string error;
    if (!decodeSongAudio(request.song, 0, 0, audio, error, cancel))
        return failed(cancel && cancel->load() ? "cancelled" : error);
    report(kDecodedAt);
    CdgOptions options;
    options.linesOnScreen = request.linesOnScreen;
    options.durationMs = audio.lengthMs();
    const SongCredits credits = readSongCredits(request.song);
    const std::string title = request.title.value_or(credits.title);
    const std::string artist = request.artist.value_or(credits.artist);
    options.titleGbk = utf8ToGbk(title);
    options.artistGbk = utf8ToGbk(artist);
    QtCdgGlyphs glyphs(request.face);
    const std::vector<uint8_t> bytes = encodeCdg(request.sheet, options, glyphs, error, cancel, [&](int p) {
        report(kDecodedAt + p * (kGraphicsAt - kDecodedAt) / 100);
    });
    if (bytes.empty())
        return failed(error == "cancelled" ? error : request.song + ": the CD+G graphics cannot be made (" + error + ")");
    if (!save.file().write(bytes.data(), bytes.size()))
        return failed(request.out + ": " + std::strerror(save.file().lastErrno()));
    CdgExportResult result;
    if (!mp3Song) {
        if (!writeMp3(audio, mp3, Mp3Options{kMp3BitRate, title, artist}, error, cancel,
                      [&](int p) { report(kGraphicsAt + p * (100 - kGraphicsAt) / 100); }))
            return failed(error);
        result.mp3 = mp3;
    }
    if (!save.commit())
        return failed(request.out + ": the output cannot be written (" + std::strerror(save.lastErrno()) + ")");
    report(100);
    result.ok = true;
    result.lengthMs = options.durationMs;
    return result;
}

}  // namespace melnix
