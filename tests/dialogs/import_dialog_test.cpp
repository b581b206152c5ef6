// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/import_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "support/quiet_prompts.h"
#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::QuietPrompts;

// The controls that wait for text in the edit box.
constexpr int kDependents[] = {ImportDialog::idHint,    ImportDialog::idTake,   ImportDialog::idWayLabel,
                               ImportDialog::idAppend,  ImportDialog::idReplace, ImportDialog::idSave,
                               ImportDialog::idRemovePunctuation, ImportDialog::idBreakLines};

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

class ImportDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("MELNIX_HOME", home_.path().c_str(), 1); }

    void open(const QString& textFile = QString()) {
        dialog_ = std::make_unique<ImportDialog>(sheet_, prompts_, textFile);
        dialog_->show();
    }
    void click(int id) { qobject_cast<QAbstractButton*>(dialog_->control(id))->click(); }
    // Replaces the whole text as the user would, so that it counts as changed.
    void type(const QString& text) {
        box()->selectAll();
        box()->insertPlainText(text);
    }
    QPlainTextEdit* box() { return dialog_->editBox(); }
    QString text() { return box()->toPlainText(); }
    bool dependentsAre(bool enabled) {
        for (int id : kDependents)
            if (dialog_->control(id)->isEnabled() != enabled) return false;
        return true;
    }

    test::TempDir home_, files_;
    LyricSheet sheet_;
    QuietPrompts prompts_;
    std::unique_ptr<ImportDialog> dialog_;
};

TEST_F(ImportDialogTest, OpensWithItsCaptionsAndWaitsForText) {
    open();
    EXPECT_EQ(dialog_->windowTitle(), q("导入同步歌词∕歌词文本"));
    const std::pair<int, const char*> captions[] = {
        {ImportDialog::idOpenLyricFile, "直接打开同步\n歌词文件(.MLX)"},
        {ImportDialog::idFromFile, "从\n文本文件\n导入"},
        {ImportDialog::idFromClipboard, "从\n剪贴板\n导入"},
        {ImportDialog::idRemovePunctuation, "去标点"},
        {ImportDialog::idBreakLines, "自动断行"},
        {ImportDialog::idTake, "确定使用\n编辑框中的歌词"},
        {ImportDialog::idAppend, "追加"},
        {ImportDialog::idReplace, "替换"},
        {ImportDialog::idSave, "保存编辑框"},
        {ImportDialog::idLeave, "放弃"},
    };
    for (const auto& [id, caption] : captions)
        EXPECT_EQ(qobject_cast<QAbstractButton*>(dialog_->control(id))->text(), q(caption)) << id;
    EXPECT_EQ(qobject_cast<QLabel*>(dialog_->control(ImportDialog::idWayLabel))->text(), q("方式:"));
    EXPECT_EQ(qobject_cast<QLabel*>(dialog_->control(ImportDialog::idHint))->text(),
              q("   点击下面的“确定使用”之前，请在左边的编辑框中预处理歌词，要求每行不超过15个汉字，建议不要标点。"));
    EXPECT_TRUE(qobject_cast<QRadioButton*>(dialog_->control(ImportDialog::idAppend))->isChecked());

    EXPECT_TRUE(dependentsAre(false));
    type(q("一句"));
    EXPECT_TRUE(dependentsAre(true));
}

TEST_F(ImportDialogTest, AnInitialTextFileIsLoadedAsUnchanged) {
    const std::string path = files_.file("song.txt");
    test::writeFile(path, g("第一句") + "\t" + g("尾") + "  \r\n" + g("第二句") + "\r\n\x1A" "not text");
    open(QString::fromStdString(path));
    // The tab stops at column 8: "第一句" takes six columns.
    EXPECT_EQ(text(), q("第一句  尾\n第二句\n"));
    EXPECT_TRUE(dependentsAre(true));
    EXPECT_FALSE(box()->document()->isModified());
    click(ImportDialog::idLeave);
    EXPECT_TRUE(prompts_.questions.isEmpty());
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->importResult(), ImportResult::None);
}

TEST_F(ImportDialogTest, TextFilesAndTheClipboardAddOnLinesOfTheirOwn) {
    const std::string path = files_.file("more.txt");
    test::writeFile(path, g("甲") + "\r\n" + g("乙") + "\r\n");
    open();
    type(q("已有"));
    prompts_.openFiles = {QString::fromStdString(path)};
    click(ImportDialog::idFromFile);
    EXPECT_EQ(prompts_.openTitles, QStringList{q("请打开相应的歌词文件")});
    EXPECT_EQ(text(), q("已有\n甲\n乙\n"));
    EXPECT_TRUE(box()->document()->isModified());

    QApplication::clipboard()->setText(q("丙\n丁"));
    click(ImportDialog::idFromClipboard);
    EXPECT_EQ(text(), q("已有\n甲\n乙\n丙\n丁"));
    click(ImportDialog::idFromClipboard);
    EXPECT_EQ(text(), q("已有\n甲\n乙\n丙\n丁\n丙\n丁"));

    const std::string missing = files_.file("gone.txt");
    prompts_.openFiles = {QString::fromStdString(missing)};
    click(ImportDialog::idFromFile);
    EXPECT_EQ(prompts_.errors, QStringList{q("下列文件打开失败:") + QString::fromStdString(missing)});
    EXPECT_EQ(text(), q("已有\n甲\n乙\n丙\n丁\n丙\n丁"));
}

TEST_F(ImportDialogTest, OnlyLinesOfAtMostThirtyBytesAreTaken) {
    struct Case {
        const char* line;
        bool taken;
    };
    const Case cases[] = {
        {"一二三四五六七八九十一二三四五", true},        // 15 characters, 30 bytes
        {"一二三四五六七八九十一二三四五六", false},     // 16 characters
        {"   一二三四五六七八九十一二三四五   ", true},  // spaces do not count
        {"abcdefghijabcdefghijabcdefghij", true},
        {"abcdefghijabcdefghijabcdefghijk", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        sheet_.clearLines();
        prompts_.errors.clear();
        open();
        type(q("短句\n") + q(c.line) + q("\n末句"));
        click(ImportDialog::idTake);
        if (c.taken) {
            EXPECT_TRUE(prompts_.errors.isEmpty());
            EXPECT_EQ(sheet_.lineCount(), 3);
            EXPECT_FALSE(dialog_->isVisible());
        } else {
            EXPECT_EQ(prompts_.errors, QStringList{q("Melnix:编辑框中有的行太长！")});
            EXPECT_EQ(box()->textCursor().selectedText(), q(c.line));
            EXPECT_TRUE(sheet_.empty());
            EXPECT_TRUE(dialog_->isVisible());
            EXPECT_EQ(dialog_->importResult(), ImportResult::None);
        }
    }
}

TEST_F(ImportDialogTest, BlankLinesAreNoContentAndDisableTheButtons) {
    for (int id : {ImportDialog::idTake, ImportDialog::idSave}) {
        SCOPED_TRACE(id);
        prompts_.errors.clear();
        open();
        type(q("  \n\t\n\n"));
        ASSERT_TRUE(dependentsAre(true));
        click(id);
        EXPECT_EQ(prompts_.errors, QStringList{q("Melnix:编辑框中无内容！")});
        EXPECT_TRUE(dependentsAre(false));
        EXPECT_FALSE(box()->document()->isModified());
        EXPECT_TRUE(dialog_->isVisible());
        EXPECT_TRUE(sheet_.empty());
        EXPECT_TRUE(prompts_.saveStarts.isEmpty());
        // Typing brings them back.
        type(q("有了"));
        EXPECT_TRUE(dependentsAre(true));
    }
}

TEST_F(ImportDialogTest, PunctuationGoesLightFirstThenFullInOneUndoStepEach) {
    open();
    type(q("你好，世界！\n《书名》“引号”(x)\n"));
    click(ImportDialog::idRemovePunctuation);
    EXPECT_EQ(text(), q("你好 世界\n《书名》“引号”(x)\n"));
    click(ImportDialog::idRemovePunctuation);
    EXPECT_EQ(text(), q("你好 世界\n书名 引号 x\n"));
    box()->undo();
    EXPECT_EQ(text(), q("你好 世界\n《书名》“引号”(x)\n"));
}

TEST_F(ImportDialogTest, AutoBreakCutsLongLinesIntoBalancedPieces) {
    open();
    // The long line has 40 bytes: fourteen characters, a comma and a full
    // stop, then four more; it becomes two pieces of ten characters.
    type(q("  短  \n一二三四五六七八九十一二三四，。五六七八\n末"));
    click(ImportDialog::idBreakLines);
    EXPECT_EQ(text(), q("短\n一二三四五六七八九十\n一二三四，。五六七八\n末"));
    for (const std::string& line : dialog_->editLines()) EXPECT_LE(line.size(), 30u);
}

TEST_F(ImportDialogTest, TakingReplacesOrAppendsWithDefaultTimes) {
    struct Case {
        int radio;
        ImportResult result;
        std::vector<std::string> texts;
        int32_t firstNewStart;
    };
    // The old line lasts 4 × 30 units from 200; appended lines follow 50 units after it.
    const Case cases[] = {
        {ImportDialog::idReplace, ImportResult::Replaced, {g("新一句"), g("新二句")}, 200},
        {ImportDialog::idAppend, ImportResult::Appended, {g("旧的一句"), g("新一句"), g("新二句")}, 200 + 120 + 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.result));
        sheet_.clearLines();
        sheet_.appendLine(g("旧的一句"));
        open();
        type(q(" 新一句\n\n新二句 \n"));
        qobject_cast<QAbstractButton*>(dialog_->control(c.radio))->click();
        click(ImportDialog::idTake);
        EXPECT_FALSE(dialog_->isVisible());
        EXPECT_EQ(dialog_->result(), QDialog::Accepted);
        EXPECT_EQ(dialog_->importResult(), c.result);
        std::vector<std::string> texts;
        for (const LyricLine& line : sheet_) texts.push_back(line.text);
        EXPECT_EQ(texts, c.texts);
        const int firstNew = static_cast<int>(c.texts.size()) - 2;
        EXPECT_EQ(sheet_.lineAt(firstNew)->startTime, c.firstNewStart);
    }
}

TEST_F(ImportDialogTest, SavedEditBoxIsGbkTextEndingWithTheEndMark) {
    open();
    type(q("第一句\n\n第二句\n"));
    const std::string saved = files_.file("lyric.TXT");
    prompts_.saveFiles = {QString::fromStdString(saved)};
    click(ImportDialog::idSave);
    EXPECT_EQ(test::readFile(saved), g("第一句") + "\r\n\r\n" + g("第二句") + "\r\n\x1A");
    EXPECT_FALSE(box()->document()->isModified());

    // The path is remembered: a later save asks nothing.
    type(q("改过"));
    click(ImportDialog::idSave);
    EXPECT_EQ(prompts_.saveStarts.size(), 1);
    EXPECT_EQ(test::readFile(saved), g("改过") + "\r\n\x1A");
    EXPECT_TRUE(prompts_.errors.isEmpty());
}

TEST_F(ImportDialogTest, AFailedSaveIsReportedAndAsksForAnotherFile) {
    open();
    type(q("一句"));
    const QString unwritable = QString::fromStdString(files_.file("no/such/folder/a.TXT"));
    prompts_.saveFiles = {unwritable, QString::fromStdString(files_.file("b.TXT"))};
    click(ImportDialog::idSave);
    EXPECT_EQ(prompts_.errors, QStringList{q("保存到下列文件时，出现错误，保存失败!:") + unwritable});
    EXPECT_EQ(prompts_.saveStarts.size(), 2);
    EXPECT_EQ(test::readFile(files_.file("b.TXT")), g("一句") + "\r\n\x1A");
}

TEST_F(ImportDialogTest, SavingStartsAtTheLoadedTextButNeverAtALyricFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"words.txt", "words.txt"},
        {"words.Ced", "words.Ced"},
        {"song.MLX", "song.TXT"},
        {"song.lrc", "song.TXT"},
    };
    for (const auto& [loaded, start] : cases) {
        SCOPED_TRACE(loaded);
        prompts_.saveStarts.clear();
        test::writeFile(files_.file(loaded), "line\r\n");
        open(QString::fromStdString(files_.file(loaded)));
        click(ImportDialog::idSave);  // and cancel
        EXPECT_EQ(prompts_.saveStarts, QStringList{QString::fromStdString(files_.file(start))});
    }
}

TEST_F(ImportDialogTest, LeavingWithUnsavedTextAsksFirst) {
    struct Case {
        const char* name;
        const char* typed;  // nullptr: only the loaded file
        bool yes;
        bool saveChosen;
        int button;  // 0: the close box or Escape
        bool asked;
        bool closed;
        ImportResult result;
    };
    const Case cases[] = {
        {"unchanged file", nullptr, false, false, ImportDialog::idLeave, false, true, ImportResult::None},
        {"no", "一句", false, false, ImportDialog::idLeave, true, true, ImportResult::None},
        {"no, open a lyric file", "一句", false, false, ImportDialog::idOpenLyricFile, true, true, ImportResult::OpenLyricFile},
        {"yes, save cancelled", "一句", true, false, ImportDialog::idLeave, true, false, ImportResult::None},
        {"yes, saved", "一句", true, true, ImportDialog::idOpenLyricFile, true, true, ImportResult::OpenLyricFile},
        {"close box", "一句", false, false, 0, true, true, ImportResult::None},
        {"only blanks", "  \n", false, false, ImportDialog::idLeave, false, true, ImportResult::None},
    };
    const std::string loaded = files_.file("loaded.txt");
    test::writeFile(loaded, "loaded\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts_.questions.clear();
        prompts_.questionTitles.clear();
        prompts_.answer = c.yes ? Answer::Yes : Answer::No;
        const std::string target = files_.file(std::string(c.name) + ".TXT");
        if (c.saveChosen) prompts_.saveFiles = {QString::fromStdString(target)};
        open(QString::fromStdString(loaded));
        if (c.typed) type(q(c.typed));
        if (c.button) {
            click(c.button);
        } else {
            dialog_->close();
        }
        EXPECT_EQ(prompts_.questions.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(prompts_.questionTitles[0] + ":" + prompts_.questions[0], q("警告:编辑框中内容更改后尚未保存!\n\n你需要保存吗？"));
        }
        EXPECT_EQ(dialog_->isVisible(), !c.closed);
        EXPECT_EQ(dialog_->importResult(), c.result);
        EXPECT_EQ(test::readFile(target), c.saveChosen ? g(c.typed) + "\r\n\x1A" : "");
    }
}

}  // namespace
}  // namespace melnix
