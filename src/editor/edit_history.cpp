// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/edit_history.h"

#include <QCoreApplication>

namespace melnix {
namespace {

bool sameLyric(const LyricSheet& a, const LyricSheet& b) {
    if (a.lineCount() != b.lineCount()) return false;
    for (int i = 0; i < a.lineCount(); ++i) {
        const LyricLine& x = *a.lineAt(i);
        const LyricLine& y = *b.lineAt(i);
        if (x.startTime != y.startTime || x.flags != y.flags || x.duration != y.duration || x.text != y.text ||
            x.charTimes != y.charTimes)
            return false;
    }
    return true;
}

size_t lyricBytes(const LyricSheet& s) {
    size_t n = sizeof(LyricSheet);
    for (const LyricLine& l : s) n += sizeof(LyricLine) + l.text.capacity() + l.charTimes.capacity() * sizeof(uint16_t);
    return n;
}

}  // namespace

class EditHistory::Step : public QUndoCommand {
public:
    Step(EditHistory& history, const QString& text, std::shared_ptr<const LyricSheet> before,
         std::shared_ptr<const LyricSheet> after)
        : QUndoCommand(text), history_(history), before_(std::move(before)), after_(std::move(after)) {}

    // The step has happened already when it is pushed.
    void redo() override {
        if (done_) history_.restoreTo(after_);
        done_ = true;
    }
    void undo() override { history_.restoreTo(before_); }

    const LyricSheet& before() const { return *before_; }
    const LyricSheet& after() const { return *after_; }
    bool sharesBefore(const Step& earlier) const { return before_ == earlier.after_; }

private:
    EditHistory& history_;
    std::shared_ptr<const LyricSheet> before_;
    std::shared_ptr<const LyricSheet> after_;
    bool done_ = false;
};

EditHistory::EditHistory(LyricDocument& document, std::function<void()> restored)
    : document_(document), restored_(std::move(restored)) {
    document_.setHistory(this);
}

EditHistory::~EditHistory() { document_.setHistory(nullptr); }

void EditHistory::record(const std::string& what, const LyricSheet& before, const LyricSheet& after) {
    // The lyric after the last step is usually the one before this step:
    // both steps keep the same copy.
    std::shared_ptr<const LyricSheet> b =
        last_ && stack_.index() == stack_.count() && sameLyric(*last_, before) ? last_
                                                                               : std::make_shared<LyricSheet>(before);
    last_ = std::make_shared<LyricSheet>(after);
    stack_.push(new Step(*this, QCoreApplication::translate("EditHistory", what.c_str()), std::move(b), last_));
}

void EditHistory::loaded() {
    stack_.clear();
    last_.reset();
}

void EditHistory::saved() { stack_.setClean(); }

bool EditHistory::undo() {
    if (!stack_.canUndo() || document_.changing()) return false;
    stack_.undo();
    finishMove();
    return true;
}

bool EditHistory::redo() {
    if (!stack_.canRedo() || document_.changing()) return false;
    stack_.redo();
    finishMove();
    return true;
}

void EditHistory::restoreTo(const std::shared_ptr<const LyricSheet>& sheet) { pending_ = sheet; }

void EditHistory::finishMove() {
    // The stack has moved its index now, so it knows whether this is the
    // lyric that was stored.
    std::shared_ptr<const LyricSheet> sheet = std::move(pending_);
    last_.reset();  // the newest step's lyric may no longer be the one on show
    if (!sheet) return;
    document_.restore(*sheet, stack_.isClean());
    if (restored_) restored_();
}

size_t EditHistory::bytes() const {
    size_t n = 0;
    const Step* previous = nullptr;
    for (int i = 0; i < stack_.count(); ++i) {
        const auto* step = static_cast<const Step*>(stack_.command(i));
        if (!previous || !step->sharesBefore(*previous)) n += lyricBytes(step->before());
        n += lyricBytes(step->after());
        previous = step;
    }
    return n;
}

}  // namespace melnix
