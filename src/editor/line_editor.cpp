// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/line_editor.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QIcon>
#include <QStyle>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <cstdlib>

#include "editor/core/action_enabling.h"
#include "editor/core/lyric_document.h"
#include "editor/editor_context.h"
#include "editor/editor_controls.h"
#include "editor/hint_strip.h"
#include "editor/line_display.h"
#include "editor/lyric_files.h"
#include "editor/transport_panel.h"
#include "lyrics/lyric_text.h"
#include "playback/core/transport.h"
#include "sync/line_edits.h"
#include "sync/line_shift.h"
#include "sync/line_times.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// The names of the steps, as the history of changes shows them.
const char* const kModeNames[] = {QT_TRANSLATE_NOOP("EditHistory", "添加"), QT_TRANSLATE_NOOP("EditHistory", "修改"),
                                  QT_TRANSLATE_NOOP("EditHistory", "删除"), QT_TRANSLATE_NOOP("EditHistory", "拆分"),
                                  QT_TRANSLATE_NOOP("EditHistory", "合并"), QT_TRANSLATE_NOOP("EditHistory", "参照")};

}  // namespace

LineEditor::LineEditor(EditorContext& ctx) : ctx_(ctx) {}

void LineEditor::connectControls() {
    EditorControls& c = *ctx_.controls;
    for (int i = 0; i < 6; ++i) {
        connect(c.button(kActionIds[i]), &QAbstractButton::clicked, this, [this, i] {
            ctx_.panel->stopResume();
            enter(static_cast<EditMode>(i));
        });
        connect(c.button(kConfirmIds[i]), &QAbstractButton::clicked, this, [this] {
            ctx_.panel->stopResume();
            confirm();
            buttonAction();
        });
    }
    connect(c.button(idCancel), &QAbstractButton::clicked, this, [this] {
        ctx_.panel->stopResume();
        cancel();
        buttonAction();
    });
    auto* sync = static_cast<QPushButton*>(c.control(idSync));
    connect(sync, &QPushButton::pressed, this, [this] { syncPressed(); });
    connect(sync, &QPushButton::released, this, [this] { syncReleased(); });
    QComboBox* box = c.lineBox();
    connect(box, &QComboBox::activated, this, [this, box](int) {
        if (mode_ == EditMode::Reference) box->setEditText(box->currentText());
    });
}

void LineEditor::buttonAction() {
    if (mode_ == EditMode::None) ctx_.controls->pauseButton()->setFocus();
}

void LineEditor::songStarted() {
    syncButton_.startRun();
    if (const LyricLine* first = ctx_.document->sheet().lineAt(0))
        ctx_.controls->lineBox()->setEditText(fromGbk(first->text));
}

void LineEditor::refillLineList() {
    QComboBox* box = ctx_.controls->lineBox();
    const QString text = box->currentText();
    box->clear();
    const QIcon look = weakLines_.empty() ? QIcon() : box->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    int i = 0;
    for (const LyricLine& l : ctx_.document->sheet()) {
        if (!l.text.empty()) {
            if (weakLine(i))
                box->addItem(look, fromGbk(l.text));
            else
                box->addItem(fromGbk(l.text));
        }
        ++i;
    }
    box->setEditText(text);
    ctx_.files->updateSaveButton();
}

void LineEditor::markWeakLines(const std::vector<int>& lines) {
    weakLines_.clear();
    const LyricSheet& sheet = ctx_.document->sheet();
    for (int i : lines)
        if (const LyricLine* l = sheet.lineAt(i)) weakLines_.emplace_back(i, l->text);
    refillLineList();
}

bool LineEditor::weakLine(int line) const {
    const LyricLine* l = ctx_.document->sheet().lineAt(line);
    for (const auto& [i, text] : weakLines_)
        if (i == line && l && l->text == text) return true;
    return false;
}

int LineEditor::lineAtPosition() {
    const Transport& t = *ctx_.transport;
    return LineForEdit(ctx_.document->sheet(), t.positionUnits(), t.timeScale());
}

void LineEditor::updateActionButtons() {
    if (mode_ != EditMode::None) return;
    const int line = lineAtPosition();
    const LyricSheet& sheet = ctx_.document->sheet();
    ctx_.controls->enableLineActions(actionEnabling(sheet, line));
    const LyricLine* l = sheet.lineAt(line);
    ctx_.controls->lineBox()->setEditText(l ? fromGbk(l->text) : QString());
}

void LineEditor::enter(EditMode mode) {
    if (mode_ != EditMode::None || mode == EditMode::None) return;
    playingBeforeEdit_ = ctx_.panel->playing();
    ctx_.panel->pause();
    editPosition_ = ctx_.transport->positionUnits();
    const EditSpot spot{editPosition_, ctx_.transport->timeScale()};
    LyricSheet& sheet = ctx_.document->sheet();
    const int lineIndex = LineForEdit(sheet, editPosition_, spot.timeScale);
    const LyricLine* line = sheet.lineAt(lineIndex);
    const LyricLine* next = sheet.lineAt(lineIndex + 1);
    QString boxText;
    int caret = -1;
    ReferenceList refs;
    switch (mode) {
        case EditMode::Add: break;
        case EditMode::Modify:
        case EditMode::Delete:
            if (line) boxText = fromGbk(line->text);
            break;
        case EditMode::Split:
            if (!line || line->text.size() < kSplitMinBytes) return;
            boxText = fromGbk(line->text);
            break;
        case EditMode::Merge: {
            if (!line || !next || line->text.size() + next->text.size() >= kMergeMaxBytes) return;
            const bool space = line->text.size() + next->text.size() < static_cast<size_t>(kMaxLineBytes);
            boxText = fromGbk(line->text) + (space ? " " : "");
            caret = static_cast<int>(boxText.size());
            boxText += fromGbk(next->text);
            break;
        }
        case EditMode::Reference:
            refs = referenceList(sheet, spot,
                                 QCoreApplication::translate("LineEdits", kReferenceSelfText).toStdString());
            if (refs.entries.empty()) return;
            break;
        case EditMode::None: return;
    }
    mode_ = mode;
    EditorControls& c = *ctx_.controls;
    c.showEditButtons(mode);
    for (int id : {idImport, idOpenList, idPresent, idSave}) c.control(id)->setEnabled(false);
    c.setTransportEnabled(false);
    QComboBox* box = c.lineBox();
    box->setEnabled(true);
    box->clear();
    if (mode == EditMode::Reference) {
        for (const std::string& e : refs.entries) box->addItem(fromGbk(e));
        boxText = fromGbk(refs.boxText);
    }
    box->setEditText(boxText);
    if (caret >= 0) box->lineEdit()->setCursorPosition(caret);
    box->setFocus();
}

void LineEditor::leave() {
    if (mode_ == EditMode::None) return;
    EditorControls& c = *ctx_.controls;
    c.showEditButtons(EditMode::None);
    mode_ = EditMode::None;
    for (int id : {idImport, idOpenList, idPresent}) c.control(id)->setEnabled(true);
    c.setTransportEnabled(true);
    c.lineBox()->setEnabled(false);
    refillLineList();
}

void LineEditor::confirm() {
    if (mode_ == EditMode::None) return;
    const EditSpot spot{editPosition_, ctx_.transport->timeScale()};
    const std::string text = toGbk(ctx_.controls->lineBox()->currentText());
    const EditMode mode = mode_;
    LyricDocument& doc = *ctx_.document;
    doc.beginChange(kModeNames[static_cast<int>(mode)]);
    LyricSheet& sheet = doc.sheet();
    EditResult r;
    switch (mode) {
        case EditMode::Add: r = confirmAdd(sheet, spot, text); break;
        case EditMode::Modify: r = confirmModify(sheet, spot, text); break;
        case EditMode::Delete: r = confirmDelete(sheet, spot); break;
        case EditMode::Split: r = confirmSplit(sheet, spot, text); break;
        case EditMode::Merge: r = confirmMerge(sheet, spot, text); break;
        case EditMode::Reference: r = confirmReference(sheet, spot, text); break;
        case EditMode::None: break;
    }
    // An added or deleted line is about that line alone when later lines do not follow.
    const bool oneLine = mode == EditMode::Add || mode == EditMode::Delete;
    doc.endChange(r.modified, oneLine ? -1 : LyricDocument::kChained);
    leave();
    apply(r);
}

void LineEditor::cancel() {
    const EditResult r = cancelEdit(EditSpot{editPosition_, ctx_.transport->timeScale()});
    leave();
    apply(r);
}

void LineEditor::apply(const EditResult& r) {
    if (ctx_.document->takeHeldBack())
        ctx_.hints->flash(QCoreApplication::translate("EditorDialog", "已到相邻歌词的限度 (后续歌词不跟随)"));
    if (r.refresh & kRefreshLineList) refillLineList();
    if (r.viewOrigin >= 0) ctx_.timeline->setViewOrigin(r.viewOrigin);
    if (r.seekUnits >= 0) ctx_.panel->seek(r.seekUnits);
    ctx_.lines->invalidate();
    switch (r.transport) {
        case TransportAction::Play: ctx_.panel->play(); break;
        case TransportAction::Pause: ctx_.panel->pause(); break;
        case TransportAction::PauseThenResume:
            ctx_.panel->pause();
            ctx_.panel->resumeLater();
            break;
        case TransportAction::Resume:
            if (playingBeforeEdit_) ctx_.panel->play();
            break;
        case TransportAction::Keep: break;
    }
    if (r.slowReplay) ctx_.panel->startSlowReplay();
    updateActionButtons();
    ctx_.window->update();
}

void LineEditor::changePlacement(int delta) {
    const int line = lineAtPosition();
    const bool changed = ctx_.document->change(QT_TRANSLATE_NOOP("EditHistory", "位置"), [&](LyricSheet& sheet) {
        LyricLine* l = sheet.lineAt(line);
        if (!l) return false;
        if (delta <= 0) {
            l->flags |= kLineAltPlacement;
        } else {
            l->flags &= ~kLineAltPlacement;
        }
        return true;
    });
    if (!changed) return;
    ctx_.lines->invalidate();
    ctx_.window->update();
}

void LineEditor::syncPressed() {
    // A hold whose release never came ends as a tap.
    if (holding_) {
        holding_ = false;
        syncButton_.release(ctx_.document->sheet(), -1);
        ctx_.document->endChange(true, syncButton_.syncLine);
    }
    ctx_.panel->stopResume();
    const int t = ctx_.transport->positionUnits() / ctx_.transport->timeScale();
    LyricDocument& doc = *ctx_.document;
    doc.beginChange(QT_TRANSLATE_NOOP("EditHistory", "同步"));
    const EditResult r = syncButton_.press(doc.sheet(), t);
    if (r.modified && syncButton_.mayHoldLineEnd()) {
        holding_ = true;
        doc.changedSoFar(syncButton_.syncLine);
    } else {
        doc.endChange(r.modified, syncButton_.syncLine);
    }
    apply(r);
}

void LineEditor::stepBack() {
    if (syncButton_.stepBack(ctx_.document->sheet()))
        ctx_.hints->flash(QCoreApplication::translate("EditorDialog", "退回一字: 下一次同步重新确定刚才那个字的时间"));
}

void LineEditor::shiftLines(bool wholeLyric, int deltaCs) {
    if (mode_ != EditMode::None || ctx_.document->changing()) return;
    const int first = wholeLyric ? 0 : std::max(0, lineAtPosition());
    if (!ctx_.document->sheet().lineAt(first)) return;
    ShiftResult r;
    ctx_.document->change(wholeLyric ? QT_TRANSLATE_NOOP("EditHistory", "整体移动") : QT_TRANSLATE_NOOP("EditHistory", "移动本句及以后"), [&](LyricSheet& sheet) {
        r = shiftBlockFrom(sheet, first, deltaCs, ctx_.transport->lengthCs());
        return r.applied != 0;
    });
    const QString seconds = QString::number(std::abs(r.applied) / 100.0, 'f', 2);
    const char* direction = r.applied < 0 ? QT_TRANSLATE_NOOP("EditorDialog", "提前") : QT_TRANSLATE_NOOP("EditorDialog", "推后");
    QString text = r.applied == 0 ? QCoreApplication::translate("EditorDialog", "歌词已到限度, 无法再移动")
                                  : QCoreApplication::translate("EditorDialog", "歌词已%1 %2 秒")
                                        .arg(QCoreApplication::translate("EditorDialog", direction), seconds);
    if (r.limited && r.applied != 0) text += QCoreApplication::translate("EditorDialog", " (已到限度)");
    ctx_.hints->flash(text);
    EditResult shown;
    shown.refresh = kRefreshLineList;
    apply(shown);
}

void LineEditor::syncReleased() {
    const int t = ctx_.transport->positionUnits() / ctx_.transport->timeScale();
    LyricDocument& doc = *ctx_.document;
    if (!holding_) {
        syncButton_.release(doc.sheet(), t);  // only notes the time
        return;
    }
    holding_ = false;
    const EditResult r = syncButton_.release(doc.sheet(), t);
    doc.endChange(true, syncButton_.syncLine);
    if (r.modified) apply(r);
}

// Enter confirms an add, modify or delete, Escape cancels, Tab stays, Up and
// Down open the list.
bool LineEditor::lineBoxKey(QKeyEvent* key) {
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (mode_ == EditMode::Add || mode_ == EditMode::Modify || mode_ == EditMode::Delete) confirm();
            return true;
        case Qt::Key_Escape:
            if (mode_ != EditMode::None) cancel();
            return true;
        case Qt::Key_Tab: return true;
        case Qt::Key_Up:
        case Qt::Key_Down: ctx_.controls->lineBox()->showPopup(); return true;
        default: return false;
    }
}

bool LineEditor::timelineTransportEnabled() const { return ctx_.controls->transportEnabled(); }
bool LineEditor::timelineMelodyAlone() const { return ctx_.panel->melodyAlone(); }
void LineEditor::timelineSeek(int units) { ctx_.panel->seek(units); }
void LineEditor::timelinePause() { ctx_.panel->pause(); }
void LineEditor::timelinePlay() { ctx_.panel->play(); }
void LineEditor::timelineStopResumeTimer() { ctx_.panel->stopResume(); }
void LineEditor::timelineEndSlowReplay() { ctx_.panel->endSlowReplay(); }

}  // namespace melnix
