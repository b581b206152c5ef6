// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's own settings beyond the state file (whose layout other
// copies rely on): the timing keys and the chained timing, kept in
// "settings.ini" in the data folder.

#include <QString>
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

    EditorSettings();
    void load();
    void save() const;
};

}  // namespace melnix
