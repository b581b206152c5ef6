// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The show of one song written into an MP4 file: its sound decoded, its
// frames rendered on one thread and encoded on another, into a temporary
// file that takes the final name only when everything was written.

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "export/core/video_settings.h"
#include "export/show_renderer.h"

namespace melnix {

struct VideoExportRequest {
    std::string song;
    std::string out;
    VideoSize size;
    int fps = 30;
    ExportQuality quality = ExportQuality::Normal;
    std::string preset = "veryfast";  // x264's speed preset: slideshows need no slower one
    int32_t fromMs = 0;             // song time of the first frame
    int32_t toMs = 0;               // 0: the song's end
    std::string sound;              // heard instead of the song's own sound; empty: the song's
    ShowContent show;               // lines, closing texts, pictures, transitions, face
};

struct VideoExportResult {
    bool ok = false;
    bool cancelled = false;
    std::string error;      // why it failed, in words
    int64_t lengthMs = 0;   // of the file written
    int64_t frames = 0;
};

// done of total frames, from the calling thread.
using ExportProgress = std::function<void(int64_t done, int64_t total)>;

// Needs a QGuiApplication (the fonts). Blocks until the file is written,
// cancelled or failed; a failed or cancelled export leaves no file behind.
VideoExportResult exportVideo(const VideoExportRequest& request, const std::atomic<bool>* cancel = nullptr,
                              const ExportProgress& progress = {});

// The pictures of a background string from the song list, or of a picture
// file or a folder of pictures, ready for ShowContent::pictures (padded with
// the built-in ones as the show pads them). Video and sound entries are left
// out: the export shows pictures only.
std::vector<std::string> exportPicturesFromSpec(const std::string& spec);
std::vector<std::string> exportPicturesFromPath(const std::string& fileOrFolder);

// What a video ends with: the song's title and artist when its tags name
// them, else nothing (the editor's own prompts have no place in a video).
QString exportClosingText(const std::string& song);

// The background as the show picks it from the song and its background
// string: the song's own video (with the music chosen for it, when the
// string begins with a sound file), else a background video that loops,
// else the pictures.
void chooseExportBackground(VideoExportRequest& request, const std::string& spec);

}  // namespace melnix
