// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lyric's files: saving into the song's tail or a lyric file, importing
// text or another program's lyric, opening a named file, the song list, and
// the question about unsaved lyrics that guards them.

#include <string>

#include "lyrics/lyric_export.h"

namespace melnix {

struct EditorContext;

class LyricFiles {
public:
    explicit LyricFiles(EditorContext& ctx);

    // False when the user stays (Cancel).
    bool confirmUnsavedLyrics();
    void save();
    void import();
    // A song or lyric file named by the user or a second copy.
    void openNamedFile(const std::string& path);
    void openSongFile();
    void openSongList();
    // Mails the song's lyric; the song waits meanwhile.
    void exchange();
    // The save button's caption and state follow the lyric.
    void updateSaveButton();

private:
    bool storeInSongTail();
    // Writes the lyric for other players; the lyric stays unsaved.
    bool exportLyricFile(const std::string& path, ExportFormat format);
    bool storeInLyricFile(const std::string& path);
    // Reads a synchronized lyric file, or plain text as lines, as the song's lyric.
    void importLyricFile(const std::string& path);
    // False, with the sheet emptied and the error shown, when the file holds
    // no synchronized lyric.
    bool openSyncedLyricFile(const std::string& path);
    // New lines with default times became the lyric.
    void takeImportedLines();
    void showImportedLyric();

    EditorContext& ctx_;
};

}  // namespace melnix
