// SPDX-License-Identifier: GPL-3.0-or-later
// The editor, its window menu and the show's menus in English: no Chinese
// text is left, and in either language no caption is cut off by the fixed
// layout of the window.

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QTranslator>
#include <ostream>

#include <gtest/gtest.h>

#include "editor/editor_dialog.h"
#include "editor/editor_ids.h"
#include "lyrics/lyric_store.h"
#include "present/closing_texts.h"
#include "present/picture_window.h"
#include "present/presentation.h"
#include "present/subtitle_window.h"
#include "support/editor_song.h"
#include "support/quiet_prompts.h"
#include "support/qt_wait.h"
#include "support/test_files.h"
#include "support/tone_wav.h"
#include "support/ui_texts.h"
#include "ui/command_ids.h"
#include "ui/qt_text.h"
#include "ui/ui_language.h"

namespace melnix {

// Found by gtest through the enum's namespace.
void PrintTo(UiLanguage l, std::ostream* out) { *out << (l == UiLanguage::English ? "English" : "Chinese"); }

namespace {

using test::cutOff;
using test::hasChinese;
using test::menuTexts;
using test::shownTexts;

// What a language leaves wrong in a list of texts: Chinese in English.
std::string chineseIn(const QStringList& texts) {
    QStringList found;
    for (const QString& t : texts)
        if (hasChinese(t)) found << t;
    return found.join(" | ").toStdString();
}

class EditorLanguage : public ::testing::TestWithParam<UiLanguage> {
protected:
    void SetUp() override {
        test::useQuietEditorEnvironment(home_.path());
        if (english()) {
            translator_ = installUiLanguage(*QCoreApplication::instance(), UiLanguage::English);
            ASSERT_NE(translator_, nullptr) << "the English translation is not linked in";
        }
        // Latin lyric lines, so that any Chinese on the screen is the program's.
        song_ = files_.file("tone.wav");
        test::writeFile(song_, test::toneWav(30));
        LyricSheet lines;
        for (const char* text : {"Sing along now", "Sing along now", "and the last line"}) lines.appendLine(text);
        ASSERT_TRUE(storeInSongTail(song_, lines));
        auto prompts = std::make_unique<test::QuietPrompts>();
        editor_ = std::make_unique<EditorDialog>(program_.path(), song_, "demo", std::move(prompts));
        editor_->show();
        ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    }
    void TearDown() override {
        editor_.reset();
        if (translator_) QCoreApplication::removeTranslator(translator_);
        delete translator_;
    }
    bool english() const { return GetParam() == UiLanguage::English; }
    QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(editor_->control(id)); }
    // The items of the window menu, read while it is open.
    QStringList windowMenu() {
        QStringList texts;
        QTimer::singleShot(0, editor_.get(), [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                texts = menuTexts(*menu);
                menu->close();
            }
        });
        QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(630, 425), editor_->mapToGlobal(QPoint(630, 425)));
        QApplication::sendEvent(editor_.get(), &open);
        return texts;
    }

    test::TempDir home_, files_, program_;
    std::string song_;
    std::unique_ptr<EditorDialog> editor_;
    QTranslator* translator_ = nullptr;
};

TEST_P(EditorLanguage, TheWindowAndEveryEditModeFitTheirCaptions) {
    EXPECT_EQ(cutOff(*editor_, {editor_->control(idHints)}).join(" | ").toStdString(), "");
    if (english()) {
        EXPECT_EQ(chineseIn(shownTexts(*editor_)), "");
        EXPECT_EQ(button(idPause)->text(), "Pause");
    } else {
        EXPECT_EQ(button(idPause)->text(), QString::fromUtf8("暂停"));
    }

    // Each mode shows its own confirm button and the cancel button.
    button(idPause)->click();
    editor_->transport().seekUnits(0);
    editor_->runCommand(kCmdSliderDrag);
    for (int id : {idAdd, idModify, idDelete, idSplit, idMerge, idReference}) {
        ASSERT_TRUE(button(id)->isEnabled()) << id;
        button(id)->click();
        ASSERT_NE(editor_->editMode(), EditMode::None) << id;
        EXPECT_EQ(cutOff(*editor_, {editor_->control(idHints)}).join(" | ").toStdString(), "") << id;
        if (english()) {
            EXPECT_EQ(chineseIn(shownTexts(*editor_)), "") << id;
        }
        button(idCancel)->click();
        EXPECT_EQ(editor_->editMode(), EditMode::None) << id;
    }
}

TEST_P(EditorLanguage, TheWindowMenuSpeaksTheLanguage) {
    const QStringList items = windowMenu();
    ASSERT_FALSE(items.isEmpty());
    if (english()) {
        EXPECT_EQ(chineseIn(items), "");
        EXPECT_TRUE(items.contains("Export Video...")) << items.join(" | ").toStdString();
    } else {
        EXPECT_TRUE(items.contains(QString::fromUtf8("导出视频")));
    }
}

TEST_P(EditorLanguage, TheShowsMenusAndClosingTextsSpeakTheLanguage) {
    qobject_cast<QAbstractButton*>(editor_->control(idPresent))->click();
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    ASSERT_NE(show.pictureWindow(), nullptr);
    QStringList texts = menuTexts(*show.pictureWindow()->menu()) + menuTexts(*editor_->subtitleWindow()->menu());
    for (int i = 0; i < kClosingTextCount; ++i) texts << closingText(i, true) << closingText(i, false);
    if (english()) {
        EXPECT_EQ(chineseIn(texts), "");
        EXPECT_TRUE(texts.contains("Back to the editor (Esc)"));
    } else {
        EXPECT_TRUE(texts.contains(QString::fromUtf8("返回编辑界面(Esc)")));
    }
    editor_->runCommand(kCmdBackToEditor);
}

// The editor's subtitle shows the closing texts when idle ("For moving
// pictures, click the [Show] button"): in either language they are whole.
TEST_P(EditorLanguage, TheSubtitlesIdleTextsAreWhole) {
    SubtitleWindow& subtitle = *editor_->subtitleWindow();
    for (int i = 0; i < kClosingTextCount; ++i) {
        for (bool hasLines : {true, false}) {
            const QString text = closingText(i, hasLines);
            SCOPED_TRACE(text.toStdString());
            subtitle.setText(toGbk(text), true);
            EXPECT_GE(subtitle.textLeft(), 0);
            EXPECT_LE(subtitle.textLeft() + subtitle.textWidth(), subtitle.boxWidth());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Both, EditorLanguage, ::testing::Values(UiLanguage::Chinese, UiLanguage::English),
                         [](const ::testing::TestParamInfo<UiLanguage>& p) {
                             return std::string(p.param == UiLanguage::English ? "English" : "Chinese");
                         });

}  // namespace
}  // namespace melnix
