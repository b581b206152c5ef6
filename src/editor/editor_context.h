// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the parts of the editor window share: the song's state and lyric, the
// prompts, and each other. The window fills it in as it builds its parts;
// each part keeps a reference and reaches the others only through it.

#include "common/record_array.h"
#include "midi/midi_types.h"

class QWidget;

namespace melnix {

struct AppState;
struct EditorSettings;
class EditHistory;
class EditorControls;
class HintStrip;
class KeyControl;
class LayoutSnapshot;
class LineDisplay;
class LineEditor;
class LyricDocument;
class LyricFiles;
class Prompts;
class ShowBridge;
class SongClock;
class SongSession;
class SongSwitch;
class SubtitleWindow;
class TimelineView;
class Transport;
class TransportPanel;

struct EditorContext {
    QWidget* window = nullptr;
    Prompts* prompts = nullptr;
    AppState* state = nullptr;
    LyricDocument* document = nullptr;
    SongSession* session = nullptr;
    Transport* transport = nullptr;
    RecordArray<NoteSpan>* notes = nullptr;
    EditorSettings* settings = nullptr;
    EditHistory* history = nullptr;

    EditorControls* controls = nullptr;
    LayoutSnapshot* layout = nullptr;
    TimelineView* timeline = nullptr;
    SubtitleWindow* subtitle = nullptr;
    TransportPanel* panel = nullptr;
    SongClock* clock = nullptr;
    LineDisplay* lines = nullptr;
    LineEditor* editor = nullptr;
    LyricFiles* files = nullptr;
    SongSwitch* songs = nullptr;
    ShowBridge* show = nullptr;
    HintStrip* hints = nullptr;
    KeyControl* key = nullptr;
};

}  // namespace melnix
