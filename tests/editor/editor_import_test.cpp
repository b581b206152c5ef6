// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's "导入歌词": the import dialog over the playing song, and the
// synchronized lyric file it can send the user to.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <deque>
#include <functional>

#include <gtest/gtest.h>

#include "editor/editor_dialog.h"
#include "editor/editor_ids.h"
#include "dialogs/import_dialog.h"
#include "support/editor_song.h"
#include "lyrics/lyric_store.h"
#include "support/quiet_prompts.h"
#include "support/quiet_prompts.h"
#include "support/gbk_text.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::QuietPrompts;

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

void click(ImportDialog& dialog, int id) { qobject_cast<QAbstractButton*>(dialog.control(id))->click(); }

class EditorImportTest : public ::testing::Test {
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
        ASSERT_EQ(editor_->sheet().lineCount(), 2);
    }

    // Presses "导入歌词"; each import dialog that shows is handed to the next
    // step, and one left without a step is abandoned.
    void import(std::deque<std::function<void(ImportDialog&)>> steps) {
        QTimer watch;
        int shown = 0;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<ImportDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->property("seen").toBool()) return;
            dialog->setProperty("seen", true);
            ++shown;
            if (steps.empty()) {
                dialog->done(QDialog::Rejected);
                return;
            }
            auto step = std::move(steps.front());
            steps.pop_front();
            step(*dialog);
        });
        watch.start(10);
        qobject_cast<QAbstractButton*>(editor_->control(idImport))->click();
        watch.stop();
        dialogsShown_ = shown;
    }
    std::vector<std::string> lineTexts() {
        std::vector<std::string> texts;
        for (const LyricLine& line : editor_->sheet()) texts.push_back(line.text);
        return texts;
    }
    QComboBox* lineBox() { return qobject_cast<QComboBox*>(editor_->control(idLineBox)); }

    test::TempDir home_, files_, program_;
    std::string song_;
    std::unique_ptr<EditorDialog> editor_;
    QuietPrompts* prompts_ = nullptr;
    int dialogsShown_ = 0;
};

TEST_F(EditorImportTest, ImportedLinesReplaceOrExtendTheLyricAndMarkItModified) {
    struct Case {
        int radio;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {ImportDialog::idAppend, {g("第一句歌词"), g("第二句"), g("新一句"), g("新二句")}},
        {ImportDialog::idReplace, {g("新一句"), g("新二句")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio);
        import({[&](ImportDialog& dialog) {
            dialog.editBox()->insertPlainText(q("新一句\n新二句\n"));
            click(dialog, c.radio);
            click(dialog, ImportDialog::idTake);
        }});
        EXPECT_EQ(lineTexts(), c.texts);
        EXPECT_TRUE(editor_->modified());
        EXPECT_EQ(qobject_cast<QAbstractButton*>(editor_->control(idSave))->text(), q("保存"));
        ASSERT_EQ(lineBox()->count(), static_cast<int>(c.texts.size()));
        EXPECT_EQ(lineBox()->itemText(lineBox()->count() - 1), q("新二句"));
        if (c.radio == ImportDialog::idAppend) {
            const LyricSheet& sheet = editor_->sheet();
            EXPECT_EQ(sheet.lineAt(2)->startTime, sheet.lineAt(1)->endTime() + 50);
        }
    }
    EXPECT_EQ(prompts_->asked, 1);  // the second import found unsaved lyrics
}

// A song without a lyric shows its name in the lyric's place; appending to
// it does not keep the name as a first lyric line.
TEST_F(EditorImportTest, AppendingToASongWithoutALyricLeavesOutItsName) {
    const std::string bare = files_.file("bare tune.wav");
    test::writeFile(bare, test::toneWav(30));  // no lyric block
    editor_->openNamedFile(bare);
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    ASSERT_EQ(lineTexts(), std::vector<std::string>{"bare tune"});
    import({[&](ImportDialog& dialog) {
        dialog.editBox()->insertPlainText(q("新一句\n新二句\n"));
        click(dialog, ImportDialog::idAppend);
        click(dialog, ImportDialog::idTake);
    }});
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{g("新一句"), g("新二句")}));
}

TEST_F(EditorImportTest, LeavingTheDialogKeepsTheLyric) {
    import({[](ImportDialog& dialog) { click(dialog, ImportDialog::idLeave); }});
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{g("第一句歌词"), g("第二句")}));
    EXPECT_FALSE(editor_->modified());
}

TEST_F(EditorImportTest, ASynchronizedLyricFileOpensFromTheDialog) {
    const std::string lyric = files_.file("other.MLX");
    LyricSheet other;
    other.appendLine(g("别的歌词"));
    ASSERT_TRUE(storeInLyricFile(lyric, other, 3000, "tone.wav"));
    prompts_->openFiles = {QString::fromStdString(lyric)};
    import({[](ImportDialog& dialog) { click(dialog, ImportDialog::idOpenLyricFile); }});
    EXPECT_EQ(prompts_->openTitles, QStringList{q("请打开相应的同步歌词文件")});
    EXPECT_EQ(lineTexts(), std::vector<std::string>{g("别的歌词")});
    EXPECT_FALSE(editor_->modified());
    EXPECT_EQ(editor_->state().list.current.lyricRef, lyric);
    EXPECT_TRUE(prompts_->errors.isEmpty());
}

TEST_F(EditorImportTest, AFileWithoutSynchronizationComesBackAsTextToPrepare) {
    const std::string text = files_.file("words.MLX");
    test::writeFile(text, g("甲句") + "\r\n" + g("乙句") + "\r\n");
    prompts_->openFiles = {QString::fromStdString(text)};
    QString shownAgain;
    import({[](ImportDialog& dialog) { click(dialog, ImportDialog::idOpenLyricFile); },
            [&](ImportDialog& dialog) {
                shownAgain = dialog.editBox()->toPlainText();
                click(dialog, ImportDialog::idReplace);
                click(dialog, ImportDialog::idTake);
            }});
    EXPECT_EQ(dialogsShown_, 2);
    EXPECT_EQ(prompts_->errors, QStringList{q("下列文件中同步信息有错!:") + QString::fromStdString(text)});
    EXPECT_EQ(shownAgain, q("甲句\n乙句\n"));
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{g("甲句"), g("乙句")}));
    EXPECT_TRUE(editor_->modified());
}

}  // namespace
}  // namespace melnix
