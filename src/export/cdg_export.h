// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A song's lyric as CD+G graphics for karaoke hosts ("MP3+G"): the .cdg,
// and when the song is not an MP3, an MP3 of the same name beside it, as
// hosts play NAME.cdg with NAME.mp3. Both are written whole or not at all.
// The command line and the editor's window menu both come here.

#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "lyrics/lyric_sheet.h"

namespace melnix {

struct CdgExportRequest {
    std::string song;
    std::string out;                          // NAME.cdg
    LyricSheet sheet;
    QString face;                             // the subtitle face; empty: the default
    int linesOnScreen = 3;                    // 2..4
    std::optional<std::string> title, artist;  // UTF-8; unset: the song's own tags
};

struct CdgExportResult {
    bool ok = false;
    bool cancelled = false;
    std::string error;     // why not, for the user
    std::string mp3;       // the MP3 written beside, or empty
    int64_t lengthMs = 0;
};

// NAME.mp3 for NAME.cdg.
std::string mp3BesideCdg(const std::string& cdg);
bool songIsMp3(const std::string& song);

// Needs a QGuiApplication (the letters are drawn with Qt's fonts); may run on
// any thread. progress gets 0..100.
CdgExportResult exportCdg(const CdgExportRequest& request, const std::atomic<bool>* cancel = nullptr,
                          const std::function<void(int percent)>& progress = {});

}  // namespace melnix
