// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's keys, the undo history of the lyric and the time shifts, on
// the offscreen platform with the silent audio backend.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QUndoStack>
#include <functional>

#include <gtest/gtest.h>

#include "common/file.h"
#include "dialogs/help_dialog.h"
#include "dialogs/save_dialog.h"
#include "editor/edit_history.h"
#include "editor/editor_dialog.h"
#include "editor/editor_ids.h"
#include "editor/timeline_view.h"
#include "lyrics/lyric_store.h"
#include "lyrics/mlx_block.h"
#include "present/picture_window.h"
#include "present/presentation.h"
#include "present/subtitle_window.h"
#include "support/editor_song.h"
#include "support/gbk_text.h"
#include "support/qt_wait.h"
#include "support/quiet_prompts.h"
#include "support/test_files.h"
#include "support/tone_wav.h"
#include "sync/time_rules.h"
#include "ui/command_event.h"
#include "ui/command_ids.h"

namespace melnix {
namespace {

using test::g;
using test::QuietPrompts;

class EditorKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::useQuietEditorEnvironment(home_.path());
        song_ = files_.file("tone.wav");
        test::writeEditorSong(song_);
        auto prompts = std::make_unique<QuietPrompts>();
        prompts_ = prompts.get();
        editor_ = std::make_unique<EditorDialog>(program_.path(), song_, "demo", std::move(prompts));
        editor_->show();
        ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
        button(idPause)->click();
    }

    QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(editor_->control(id)); }
    QComboBox* lineBox() { return qobject_cast<QComboBox*>(editor_->control(idLineBox)); }
    // A key as the user presses it, to the control with the focus.
    void key(QEvent::Type type, int k, Qt::KeyboardModifiers mods = Qt::NoModifier, bool repeat = false) {
        QKeyEvent e(type, k, mods, QString(), repeat);
        QApplication::sendEvent(button(idPause), &e);
    }
    void tap(int k) {
        key(QEvent::KeyPress, k);
        key(QEvent::KeyRelease, k);
    }
    // A paused wave song lands on the block that holds cs.
    void seek(int cs) { editor_->transport().seekUnits(cs); }
    // The lyric as the MLX block stores it: byte for byte what a save writes.
    std::string mlx() {
        const std::string path = files_.file("probe.MLX");
        {
            File f;
            EXPECT_TRUE(f.open(path, File::Mode::Create));
            writeLyricBlock(f, editor_->sheet(), 3000, "x");
        }
        return test::readFile(path);
    }
    void addLine(const char* text) {
        button(idAdd)->click();
        lineBox()->setEditText(QString::fromUtf8(text));
        button(idConfirmAdd)->click();
    }

    test::TempDir home_, files_, program_;
    std::string song_;
    std::unique_ptr<EditorDialog> editor_;
    QuietPrompts* prompts_ = nullptr;
};

TEST_F(EditorKeysTest, TheSyncKeyTimesAsTheButtonDoes) {
    const std::string original = mlx();
    seek(100);
    tap(Qt::Key_Return);
    seek(150);
    tap(Qt::Key_Enter);  // the keypad's Enter is the same key
    const std::string byKeys = mlx();
    ASSERT_NE(byKeys, original);
    ASSERT_TRUE(editor_->undo());
    ASSERT_TRUE(editor_->undo());
    ASSERT_EQ(mlx(), original);

    auto* sync = qobject_cast<QPushButton*>(button(idSync));
    seek(100);
    emit sync->pressed();
    emit sync->released();
    seek(150);
    emit sync->pressed();
    emit sync->released();
    EXPECT_EQ(mlx(), byKeys);
}

TEST_F(EditorKeysTest, HoldingTheKeyTapsOnce) {
    seek(100);
    key(QEvent::KeyPress, Qt::Key_Return);
    const std::string once = mlx();
    seek(150);
    key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, true);  // the key repeats
    key(QEvent::KeyPress, Qt::Key_Return);                         // no release came between
    EXPECT_EQ(mlx(), once);
    key(QEvent::KeyRelease, Qt::Key_Return);
    tap(Qt::Key_Return);
    EXPECT_NE(mlx(), once);
}

// The last character of a line held down lasts until the key comes up; the
// press and the release are one step of the history.
TEST_F(EditorKeysTest, HoldingTheLastCharacterEndsTheLineAtTheRelease) {
    seek(400);
    tap(Qt::Key_Return);  // 第
    seek(430);
    tap(Qt::Key_Return);  // 二
    const std::string beforeHold = mlx();
    seek(470);
    key(QEvent::KeyPress, Qt::Key_Return);  // 句, held
    const int pressed = editor_->transport().positionUnits();
    seek(650);
    const int released = editor_->transport().positionUnits();
    ASSERT_GT(released - pressed, 25);
    key(QEvent::KeyRelease, Qt::Key_Return);
    const LyricLine& line = *editor_->sheet().lineAt(1);
    EXPECT_EQ(line.startTime + line.charTimes[2], pressed);
    EXPECT_EQ(line.endTime(), released);
    ASSERT_TRUE(editor_->undo());
    EXPECT_EQ(mlx(), beforeHold) << "one undo takes back the press and the hold";
}

// "自动定时" is one step of the history, whatever it did to the lyric.
TEST_F(EditorKeysTest, AutomaticTimingIsOneStep) {
    const std::string before = mlx();
    const int steps = editor_->history().stack().count();
    editor_->autoTime(false);
    ASSERT_EQ(editor_->history().stack().count(), steps + 1);
    EXPECT_EQ(editor_->history().stack().undoText(), QString::fromUtf8("自动定时"));
    EXPECT_TRUE(test::timeRulesHold(editor_->sheet()));
    ASSERT_TRUE(editor_->undo());
    EXPECT_EQ(mlx(), before);
    EXPECT_TRUE(prompts_->errors.isEmpty()) << prompts_->errors.join("\n").toStdString();
}

TEST_F(EditorKeysTest, TheStepBackKeyRetimesTheLastCharacter) {
    seek(100);
    tap(Qt::Key_Return);
    const int lineStart = editor_->sheet().lineAt(0)->startTime;
    seek(150);
    tap(Qt::Key_Return);  // 一 at 150
    tap(Qt::Key_Backspace);
    seek(180);
    tap(Qt::Key_Return);  // 一 again, later
    const LyricLine& first = *editor_->sheet().lineAt(0);
    const int at = editor_->transport().positionUnits();
    EXPECT_EQ(first.startTime + first.charTimes[1], at);
    EXPECT_EQ(first.startTime, lineStart);  // 第 keeps the first tap
    EXPECT_TRUE(editor_->hintText().contains(QString::fromUtf8("退回一字")));
}

TEST_F(EditorKeysTest, TheChosenKeyIsKeptAndShownInTheTip) {
    editor_->setSyncKey(Qt::Key_J);
    seek(100);
    const std::string before = mlx();
    tap(Qt::Key_Return);  // not the sync key any more
    EXPECT_EQ(mlx(), before);
    tap(Qt::Key_J);
    EXPECT_NE(mlx(), before);
    EXPECT_TRUE(editor_->tipTextAt(editor_->control(idSync)->geometry().center()).contains("J"));
    EditorSettings kept;
    kept.load();
    EXPECT_EQ(kept.syncKey, Qt::Key_J);
}

// Every kind of change is one step: undone and redone to the same bytes.
TEST_F(EditorKeysTest, EveryChangeIsUndoneAndRedone) {
    struct Change {
        const char* name;
        std::function<void()> make;
    };
    const std::string text = files_.file("words.txt");
    test::writeFile(text, g("一二三四五六七八\r\n九十\r\n"));
    const std::vector<Change> changes = {
        {"add", [&] { addLine("新加的一句"); }},
        {"modify",
         [&] {
             seek(0);
             button(idModify)->click();
             lineBox()->setEditText(QString::fromUtf8("改过的一句"));
             button(idConfirmModify)->click();
         }},
        {"import", [&] { editor_->openNamedFile(text); }},
        {"split",
         [&] {
             seek(0);
             button(idSplit)->click();
             lineBox()->setEditText(QString::fromUtf8("一二三四"));  // the beginning kept
             button(idConfirmSplit)->click();
         }},
        {"merge",
         [&] {
             seek(0);
             button(idMerge)->click();
             button(idConfirmMerge)->click();
         }},
        {"sync",
         [&] {
             seek(50);
             tap(Qt::Key_Return);
         }},
        {"shift", [&] { key(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier); }},
        {"delete",
         [&] {
             seek(0);
             button(idDelete)->click();
             button(idConfirmDelete)->click();
         }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        const std::string before = mlx();
        c.make();
        const std::string after = mlx();
        ASSERT_NE(after, before);
        ASSERT_TRUE(editor_->undo());
        EXPECT_EQ(mlx(), before);
        ASSERT_TRUE(editor_->redo());
        EXPECT_EQ(mlx(), after);
    }
    // Undone all the way back, the song's own lyric is there and counts as saved.
    while (editor_->undo()) {
    }
    EXPECT_EQ(editor_->sheet().lineCount(), 2);
    EXPECT_FALSE(editor_->modified());
    // A typical history stays small.
    EXPECT_LT(editor_->history().bytes(), 64u * 1024);
}

TEST_F(EditorKeysTest, UndoToTheSavedLyricClearsTheMark) {
    addLine("新的一句");
    ASSERT_TRUE(editor_->modified());
    ASSERT_TRUE(editor_->undo());
    EXPECT_FALSE(editor_->modified());
    ASSERT_TRUE(editor_->redo());
    EXPECT_TRUE(editor_->modified());

    // Saved into the song: that lyric is the clean one now.
    prompts_->onDialog = [](QDialog& d) {
        d.findChild<QPushButton*>("control1")->click();
        return d.result();
    };
    editor_->action("Ctrl+S")->trigger();
    ASSERT_FALSE(editor_->modified());
    EXPECT_TRUE(editor_->hintText().contains(QString::fromUtf8("歌词已保存")));
    ASSERT_TRUE(editor_->undo());
    EXPECT_TRUE(editor_->modified());
    ASSERT_TRUE(editor_->redo());
    EXPECT_FALSE(editor_->modified());
    // The menu names the step.
    EXPECT_EQ(editor_->history().stack().undoText(), QString::fromUtf8("添加"));
}

TEST_F(EditorKeysTest, AnotherSongDropsTheHistory) {
    addLine("新的一句");
    prompts_->answer = Answer::No;  // the unsaved lyric goes
    const std::string other = files_.file("other.wav");
    test::writeEditorSong(other);
    editor_->openNamedFile(other);
    ASSERT_TRUE(test::waitUntil([&] { return editor_->windowTitle().endsWith("other.wav"); }));
    EXPECT_FALSE(editor_->undo());
}

TEST_F(EditorKeysTest, ShiftsStopAtTheEdges) {
    // The first line starts at 2 s: the whole lyric earlier by 5 s stops at 0.
    prompts_->number = 500;
    editor_->askShift(true, -1);
    EXPECT_EQ(editor_->sheet().lineAt(0)->startTime, 0);
    EXPECT_TRUE(editor_->hintText().contains(QString::fromUtf8("限度")));
    const int gap = editor_->sheet().lineAt(1)->startTime - editor_->sheet().lineAt(0)->endTime();
    // Later by a minute and a half (typed whole, not cut to three digits):
    // the last line stops at the song's end.
    prompts_->number = 9000;
    editor_->askShift(true, +1);
    EXPECT_LE(editor_->sheet().lineAt(1)->startTime, editor_->transport().lengthCs());
    EXPECT_EQ(editor_->sheet().lineAt(1)->startTime - editor_->sheet().lineAt(0)->endTime(), gap);
    EXPECT_EQ(prompts_->offeredNumber, 500);  // the last step is offered again
    // Ctrl+Left on the second line moves it alone, never within 3 cs of the first.
    seek(editor_->sheet().lineAt(1)->startTime + 5);
    for (int i = 0; i < 200; ++i) key(QEvent::KeyPress, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(editor_->sheet().lineAt(1)->startTime, editor_->sheet().lineAt(0)->endTime() + 3);
}

// "后续歌词跟随" off: a tap, an added and a deleted line leave every other
// line where it was; undo brings back what the step did.
TEST_F(EditorKeysTest, WithoutFollowingLinesOnlyTheTouchedLineMoves) {
    editor_->setLaterLinesFollow(false);
    auto starts = [&] {
        std::vector<int32_t> v;
        for (const LyricLine& l : editor_->sheet()) v.push_back(l.startTime);
        return v;
    };
    const int32_t second = editor_->sheet().lineAt(1)->startTime;
    seek(100);
    tap(Qt::Key_Return);
    EXPECT_LT(editor_->sheet().lineAt(0)->startTime, 200);
    EXPECT_EQ(editor_->sheet().lineAt(1)->startTime, second);

    const std::vector<int32_t> before = starts();
    seek(editor_->sheet().lineAt(0)->endTime() + 20);
    addLine("插入");
    ASSERT_EQ(editor_->sheet().lineCount(), 3);
    EXPECT_EQ(editor_->sheet().lineAt(2)->startTime, second);
    ASSERT_TRUE(editor_->undo());
    EXPECT_EQ(starts(), before);

    seek(0);
    button(idDelete)->click();
    button(idConfirmDelete)->click();
    ASSERT_EQ(editor_->sheet().lineCount(), 1);
    EXPECT_EQ(editor_->sheet().lineAt(0)->startTime, second);

    EditorSettings kept;
    kept.load();
    EXPECT_FALSE(kept.laterLinesFollow);
}

// A hint too long for the strip ends in an ellipsis inside it and never
// runs under the clock boxes.
TEST_F(EditorKeysTest, LongHintsStayInsideTheirStrip) {
    QString longText;
    for (int i = 0; i < 12; ++i) longText += QString::fromUtf8("很长的提示文字");
    editor_->flashHint(longText);
    auto* strip = qobject_cast<QAbstractButton*>(editor_->control(idHints));
    EXPECT_EQ(editor_->hintText(), longText);
    EXPECT_TRUE(strip->text().endsWith(QChar(0x2026)));
    EXPECT_LE(strip->geometry().right(), editor_->control(idSize)->geometry().right());
    EXPECT_LE(strip->sizeHint().width(), strip->width() + 2);
}

TEST_F(EditorKeysTest, KeysOfADesktopEditor) {
    // Space plays and pauses wherever the focus is.
    key(QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(editor_->transport().playState(), PlayState::Playing);
    key(QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(editor_->transport().playState(), PlayState::Paused);
    // The arrows step the view as "<" and ">" do.
    seek(1500);
    const int origin = editor_->timeline().viewOrigin();
    key(QEvent::KeyPress, Qt::Key_Right);
    EXPECT_GT(editor_->timeline().viewOrigin(), origin);

    QStringList shown;
    prompts_->onDialog = [&](QDialog& d) {
        shown << d.metaObject()->className();
        return int(QDialog::Rejected);
    };
    editor_->action("F1")->trigger();
    editor_->action("Ctrl+S")->trigger();
    EXPECT_EQ(shown, (QStringList{"melnix::HelpDialog", "melnix::SaveDialog"}));
    editor_->action("Ctrl+O")->trigger();
    EXPECT_EQ(prompts_->openTitles.size(), 1);

    // Esc cancels an edit and otherwise leaves the editor as it is.
    button(idAdd)->click();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(editor_.get(), &esc);
    EXPECT_EQ(editor_->editMode(), EditMode::None);
    QApplication::sendEvent(editor_.get(), &esc);
    EXPECT_TRUE(editor_->isVisible());

    // Ctrl+Q asks about unsaved lyrics like any other way out.
    addLine("未存的一句");
    prompts_->answer = Answer::Cancel;
    editor_->action("Ctrl+Q")->trigger();
    EXPECT_EQ(prompts_->asked, 1);
    EXPECT_TRUE(editor_->isVisible());
}

// An item of a menu's submenu by their texts, or null.
QAction* subItem(QMenu& menu, const char* submenu, const char* item) {
    for (QAction* a : menu.actions())
        if (a->menu() && a->text() == QString::fromUtf8(submenu))
            for (QAction* b : a->menu()->actions())
                if (b->text() == QString::fromUtf8(item)) return b;
    return nullptr;
}

TEST_F(EditorKeysTest, TheSingersKeyFromTheKeysAndTheShowsMenusKeptPerSong) {
    const int Up = Qt::Key_Up, Down = Qt::Key_Down;
    auto* box = editor_->findChild<QSpinBox*>("KeyControl");
    ASSERT_NE(box, nullptr);
    key(QEvent::KeyPress, Up, Qt::ControlModifier);
    key(QEvent::KeyPress, Up, Qt::ControlModifier);
    key(QEvent::KeyPress, Down, Qt::ControlModifier);
    EXPECT_EQ(editor_->transport().key(), 1);
    EXPECT_EQ(box->value(), 1);  // shown at once
    key(QEvent::KeyPress, Qt::Key_0, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(editor_->transport().key(), 0);
    // A plain Down stays the sync key's choice, not the key's.
    key(QEvent::KeyPress, Down);
    EXPECT_EQ(editor_->transport().key(), 0);
    // Not while a line is typed.
    button(idAdd)->click();
    key(QEvent::KeyPress, Up, Qt::ControlModifier);
    EXPECT_EQ(editor_->transport().key(), 0);
    button(idCancel)->click();

    // The show's menus send their commands to the editor.
    button(idPause)->click();
    button(idPresent)->click();
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    struct Case {
        QMenu* menu;
        const char* item;
        int key;
    } const cases[] = {
        {show.pictureWindow()->menu(), "升高音调", 1},   {show.pictureWindow()->menu(), "升高音调", 2},
        {show.pictureWindow()->menu(), "降低音调", 1},   {show.pictureWindow()->menu(), "复 位", 0},
        {editor_->subtitleWindow()->menu(), "降低音调", -1}, {editor_->subtitleWindow()->menu(), "降低音调", -2},
        {editor_->subtitleWindow()->menu(), "复 位", 0},  {editor_->subtitleWindow()->menu(), "升高音调", 1},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.menu, nullptr);
        QAction* item = subItem(*c.menu, "升降调", c.item);
        ASSERT_NE(item, nullptr) << c.item;
        item->trigger();
        QApplication::processEvents();
        EXPECT_EQ(editor_->transport().key(), c.key) << c.item;
    }
    sendCommand(editor_.get(), kCmdKeyUp);
    sendCommand(editor_.get(), kCmdKeyUp);
    EXPECT_EQ(editor_->transport().key(), 3);
    sendCommand(editor_.get(), kCmdBackToEditor);
    ASSERT_TRUE(test::waitUntil([&] { return !show.running(); }));

    // Each song its own key, opened with it, also after a restart.
    const std::string other = files_.file("other.wav");
    test::writeFile(other, test::toneWav(10));
    editor_->openNamedFile(other);
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    EXPECT_EQ(editor_->transport().key(), 0);
    EXPECT_TRUE(test::waitUntil([&] { return box->value() == 0; }));
    editor_->openNamedFile(song_);
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    EXPECT_EQ(editor_->transport().key(), 3);
    editor_->close();
    editor_ = std::make_unique<EditorDialog>(program_.path(), song_, "demo", std::make_unique<QuietPrompts>());
    editor_->show();
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    EXPECT_EQ(editor_->transport().key(), 3);
    EXPECT_TRUE(test::waitUntil([&] { return editor_->findChild<QSpinBox*>("KeyControl")->value() == 3; }));
}

}  // namespace
}  // namespace melnix
