// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The undo history of the open song's lyric: every step the lyric document
// records, undone and redone on Qt's undo stack. Steps share the lyric
// between them, so a step costs one copy of the lyric; the history goes when
// another song opens, and the lyric counts as saved again whenever undo or
// redo comes back to what was stored.

#include <QUndoStack>
#include <functional>
#include <memory>

#include "editor/core/lyric_document.h"

namespace melnix {

class EditHistory : public LyricHistory {
public:
    // restored runs after undo or redo changed the lyric.
    EditHistory(LyricDocument& document, std::function<void()> restored);
    ~EditHistory() override;

    QUndoStack& stack() { return stack_; }
    bool undo();
    bool redo();

    // LyricHistory
    void record(const std::string& what, const LyricSheet& before, const LyricSheet& after) override;
    void loaded() override;
    void saved() override;

    // What the whole history holds, in bytes (roughly).
    size_t bytes() const;

private:
    class Step;
    void restoreTo(const std::shared_ptr<const LyricSheet>& sheet);
    void finishMove();

    LyricDocument& document_;
    std::function<void()> restored_;
    QUndoStack stack_;
    std::shared_ptr<const LyricSheet> last_;     // the lyric after the newest step
    std::shared_ptr<const LyricSheet> pending_;  // what undo or redo brings back
};

}  // namespace melnix
