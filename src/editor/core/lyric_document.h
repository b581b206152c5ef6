// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lyric of the open song as the editor changes it. Every change goes
// through here: it owns the sheet, knows whether what it holds is saved, and
// tells its views that the lyric changed. A change is bracketed by
// beginChange and endChange, so that one place sees the lyric before and
// after each step; the history records exactly these pairs.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lyrics/lyric_sheet.h"

namespace melnix {

// What keeps the steps of the open song's lyric (the editor's undo history).
class LyricHistory {
public:
    virtual ~LyricHistory() = default;
    // One step: its name, the lyric before and after it.
    virtual void record(const std::string& what, const LyricSheet& before, const LyricSheet& after) = 0;
    // Another lyric (another song) was loaded: the steps so far are gone.
    virtual void loaded() = 0;
    // The lyric as it is now is stored.
    virtual void saved() = 0;
};

class LyricDocument {
public:
    using Listener = std::function<void()>;

    const LyricSheet& sheet() const { return sheet_; }
    // For the readers that fill the sheet from a file or a song (followed by
    // loaded()) and for operations run inside beginChange/endChange.
    LyricSheet& sheet() { return sheet_; }

    bool modified() const { return modified_; }
    bool changing() const { return depth_ > 0; }

    // A step that may change the lyric; what names it ("拆分", "同步"...).
    // Steps may nest: the outermost one counts.
    void beginChange(const std::string& what);
    // The step moved every line after `touched` along with it (kChained:
    // that is what the step is).
    static constexpr int kChained = -2;
    // changed: the step did change the lyric. A step about one line (a tap,
    // a drag, a hold, an added or deleted line) names it in touched; unless
    // later lines follow, only that line keeps the change (-1: the first
    // line that differs).
    void endChange(bool changed, int touched = kChained);
    // A long step (a drag) has changed the lyric already: it counts as
    // modified now, before the step ends. touched as for endChange.
    void changedSoFar(int touched = kChained);
    // A whole step in one call; fn returns whether it changed the lyric.
    bool change(const std::string& what, const std::function<bool(LyricSheet&)>& fn);

    // The sheet now holds a lyric as read from a file or a song: saved.
    void loaded();
    // The lyric was stored where it belongs.
    void saved();
    // The lyric was replaced by one that is not stored anywhere yet.
    void replacedUnsaved();

    // Back to a lyric of the history (undo, redo); saved: it is the one stored.
    void restore(const LyricSheet& sheet, bool saved);

    void setHistory(LyricHistory* history) { history_ = history; }

    // Later lines follow a line's change (the chained timing); off, a step
    // about one line changes that line only.
    void setLaterLinesFollow(bool on) { follow_ = on; }
    bool laterLinesFollow() const { return follow_; }
    // Whether the last step about one line was held back short of where it
    // went, to stay 3 cs clear of its neighbours; asking clears it.
    bool takeHeldBack() {
        const bool b = heldBack_;
        heldBack_ = false;
        return b;
    }
    void addListener(Listener l) { listeners_.push_back(std::move(l)); }

private:
    void notify();

    LyricSheet sheet_;
    bool modified_ = false;
    int depth_ = 0;
    bool pending_ = false;  // a nested step changed the lyric
    bool follow_ = true;
    bool heldBack_ = false;
    std::string what_;
    std::unique_ptr<LyricSheet> before_;
    LyricHistory* history_ = nullptr;
    std::vector<Listener> listeners_;
};

}  // namespace melnix
