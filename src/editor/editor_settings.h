// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's own settings beyond the state file (whose layout other
// copies rely on): the timing keys, the chained timing, the subtitle's size
// and the last video export's choices, kept in
// "settings.ini" in the data folder.

#include <QString>
#include <string>
#include <vector>

namespace melnix {

struct SyncKeyChoice {
    int key;       // Qt::Key
    const char* name;
};
// The keys the user may time with: large keys under the fingers.
const std::vector<SyncKeyChoice>& syncKeyChoices();
QString syncKeyName(int key);

constexpr int kMinSubtitleSizePercent = 30;

struct EditorSettings {
    int syncKey;             // times the next character, as "同步" does
    int stepBackKey;         // takes the last tap back
    bool laterLinesFollow = true;
    int shiftStepCs = 10;    // the step of a time shift, 1/100 s
    // The subtitle's letters as a share of the height that fills the band,
    // chosen with the font chooser's size.
    int subtitleSizePercent = 100;
    // What the last video export chose: its size and quality (indices of
    // the dialog's lists) and its folder (local 8-bit, empty: beside the song).
    int exportSize = 1;
    int exportQuality = 1;
    std::string exportFolder;

    EditorSettings();
    void load();
    void save() const;
};

}  // namespace melnix
