// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "导出视频": the editor's way to the video export. It asks for the file, the
// size and the quality, then writes the show of the current song with a
// progress dialog that tells the time left and can cancel; the editor takes
// no input meanwhile but keeps repainting.

#include <QString>
#include <functional>
#include <string>

#include "export/video_export.h"

class QWidget;

namespace melnix {

class Prompts;
struct AppState;
class LyricSheet;

// The sizes offered, largest first, and the default among them.
struct ExportSizeChoice {
    const char* label;
    VideoSize size;
};
const std::vector<ExportSizeChoice>& exportSizeChoices();
constexpr int kDefaultExportSizeChoice = 1;  // 1280 x 720

// The export of the current song as the show would play it: its lyric, its
// background pictures, the ticked transitions, the subtitle face and the
// song's title and artist at the end.
VideoExportRequest editorExportRequest(const AppState& state, const LyricSheet& sheet, const QString& face);

// What the last export chose, offered again by the next one.
struct ExportChoices {
    int size = kDefaultExportSizeChoice;  // index in exportSizeChoices()
    int quality = 1;                      // low, normal, high
    std::string folder;                   // empty: beside the song
};

// Runs the whole dialogue. Returns true when a file was written. remembered,
// when given, sets what the dialog starts from and takes what was chosen.
bool runVideoExport(QWidget* parent, Prompts& prompts, VideoExportRequest request,
                    ExportChoices* remembered = nullptr);

}  // namespace melnix
