// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/lyric_document.h"

#include "sync/step_isolation.h"

namespace melnix {

void LyricDocument::beginChange(const std::string& what) {
    if (depth_++ > 0) return;
    what_ = what;
    // Only a history needs the lyric as it was; a copy per step costs
    // nothing worth measuring next to the user's pace.
    if (history_ || !follow_) before_ = std::make_unique<LyricSheet>(sheet_);
}

void LyricDocument::endChange(bool changed, int touched) {
    if (depth_ == 0) return;
    if (depth_ == 1 && changed && !follow_ && touched != kChained && before_)
        heldBack_ = keepOtherLines(*before_, sheet_, touched);
    pending_ = pending_ || changed;
    if (--depth_ > 0) return;
    std::unique_ptr<LyricSheet> before = std::move(before_);
    const bool any = pending_;
    pending_ = false;
    if (!any) return;
    modified_ = true;
    if (history_ && before) history_->record(what_, *before, sheet_);
    notify();
}

void LyricDocument::changedSoFar(int touched) {
    // Without following, the other lines stay where they were all the way
    // through a long step, not only at its end.
    if (depth_ > 0 && !follow_ && touched != kChained && before_) heldBack_ = keepOtherLines(*before_, sheet_, touched);
    pending_ = true;
    modified_ = true;
    notify();
}

bool LyricDocument::change(const std::string& what, const std::function<bool(LyricSheet&)>& fn) {
    beginChange(what);
    const bool changed = fn(sheet_);
    endChange(changed);
    return changed;
}

void LyricDocument::loaded() {
    modified_ = false;
    if (history_) history_->loaded();
    notify();
}

void LyricDocument::saved() {
    modified_ = false;
    if (history_) history_->saved();
    notify();
}

void LyricDocument::restore(const LyricSheet& sheet, bool saved) {
    sheet_ = sheet;
    modified_ = !saved;
    notify();
}

void LyricDocument::replacedUnsaved() {
    modified_ = true;
    notify();
}

void LyricDocument::notify() {
    for (const Listener& l : listeners_) l();
}

}  // namespace melnix
