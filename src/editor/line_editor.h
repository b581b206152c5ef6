// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Editing and timing the lyric line by line: the edit modes with the line
// box (add, modify, delete, split, merge, reference), the placement of a
// line, the sync button, and what a timing gesture of the time line asks
// for once it has changed the lyric.

#include <QObject>
#include <string>
#include <utility>
#include <vector>

#include "editor/editor_ids.h"
#include "editor/timeline_view.h"
#include "sync/edit_result.h"
#include "sync/sync_button.h"

class QKeyEvent;

namespace melnix {

struct EditorContext;

class LineEditor : public QObject, public TimelineHost {
public:
    explicit LineEditor(EditorContext& ctx);

    // Wires the action, confirm, cancel and sync buttons and the line box.
    void connectControls();

    EditMode mode() const { return mode_; }
    void enter(EditMode mode);
    void confirm();
    void cancel();
    // Up (+1) or down (-1): the line's caption at the normal or the alternate place.
    void changePlacement(int delta);
    void syncPressed();
    void syncReleased();
    // The last tap is taken back: the next one times that character again.
    void stepBack();
    // Moves the whole lyric, or the current line and every line after it,
    // by deltaCs; the hint strip tells when the rules held it back.
    void shiftLines(bool wholeLyric, int deltaCs);
    // The mouse moved over the window: the next sync press starts a new run.
    void startSyncRun() { syncButton_.startRun(); }

    // Carries out what an edit or a gesture asks once the lyric changed.
    void apply(const EditResult& r);
    // The song started playing.
    void songStarted();
    // After every button action the pause button gets the focus back.
    void buttonAction();
    void refillLineList();
    // The line being sung (or the one after, between lines).
    int lineAtPosition();
    // Marks lines the automatic timing was unsure of in the line list.
    void markWeakLines(const std::vector<int>& lines);
    bool weakLine(int line) const;
    void updateActionButtons();
    // The line box's own keys; true when taken.
    bool lineBoxKey(QKeyEvent* key);

    // TimelineHost
    bool timelineTransportEnabled() const override;
    bool timelineMelodyAlone() const override;
    void timelineSeek(int units) override;
    void timelinePause() override;
    void timelinePlay() override;
    void timelineStopResumeTimer() override;
    void timelineApply(const EditResult& result) override { apply(result); }
    void timelineEndSlowReplay() override;

private:
    void leave();

    EditorContext& ctx_;
    EditMode mode_ = EditMode::None;
    int editPosition_ = 0;
    // Lines the automatic timing was unsure of, by index and the text they
    // had: marked in the line list until they change.
    std::vector<std::pair<int, std::string>> weakLines_;
    SyncButton syncButton_;
    bool playingBeforeEdit_ = false;  // the song plays on after the edit only then
    // A press on a line's last character keeps its step open until the
    // release, which may still move the line's end: one step, one undo.
    bool holding_ = false;
};

}  // namespace melnix
