// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs in both languages: in English no Chinese text is left, and in
// either language no caption is cut off by the dialog's geometry.

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>

#include "dialogs/about_box.h"
#include "dialogs/desktop_prompts.h"
#include "dialogs/exchange_dialog.h"
#include "dialogs/help_dialog.h"
#include "dialogs/import_dialog.h"
#include "dialogs/save_dialog.h"
#include "dialogs/song_list_dialog.h"
#include "dialogs/track_dialog.h"
#include "midi/smf_builder.h"
#include "present/transition_dialog.h"
#include "lyrics/lyric_sheet.h"
#include "songlist/song_session.h"
#include "support/quiet_prompts.h"
#include "support/test_files.h"
#include "support/ui_texts.h"
#include "ui/prompt_dialog.h"
#include "ui/ui_language.h"

namespace melnix {
namespace {

using test::cutOff;
using test::hasChinese;
using test::shownTexts;

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
};

void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.name; }

class Dialogs : public ::testing::TestWithParam<DialogCase> {
protected:
    void SetUp() override { ::setenv("MELNIX_HOME", home_.path().c_str(), 1); }
    void TearDown() override {
        if (translator_) QCoreApplication::removeTranslator(translator_);
        delete translator_;
    }
    void english() {
        translator_ = installUiLanguage(*QCoreApplication::instance(), UiLanguage::English);
        ASSERT_NE(translator_, nullptr) << "the English translation is not linked in";
    }
    std::unique_ptr<QWidget> shown() {
        auto dialog = GetParam().make();
        dialog->show();
        // The offscreen screen is small, and a window opens at most at two
        // thirds of it; on a desktop it gets its size hint.
        dialog->resize(dialog->size().expandedTo(dialog->sizeHint()));
        QApplication::processEvents();
        return dialog;
    }

    test::TempDir home_;
    QTranslator* translator_ = nullptr;
};

TEST_P(Dialogs, EnglishLeavesNoChineseText) {
    english();
    auto dialog = shown();
    for (const QString& text : shownTexts(*dialog)) EXPECT_FALSE(hasChinese(text)) << text.toStdString();
}

TEST_P(Dialogs, ChineseStaysChinese) {
    auto dialog = shown();
    EXPECT_TRUE(hasChinese(shownTexts(*dialog).join('\n')));
}

TEST_P(Dialogs, NoCaptionIsCutOffInEitherLanguage) {
    {
        auto dialog = shown();
        EXPECT_EQ(cutOff(*dialog).join(" | ").toStdString(), "") << "Chinese";
    }
    english();
    auto dialog = shown();
    EXPECT_EQ(cutOff(*dialog).join(" | ").toStdString(), "") << "English";
}

// The desktop's message boxes size themselves by their text; a long title
// over a short text ("The video has been exported" over a path) would be
// cut by the title bar.
TEST(DesktopPromptsTitles, ALongTitleOverAShortTextIsWhole) {
    DesktopPrompts desktop;
    Prompts& prompts = desktop;
    QStringList cut;
    int opened = 0;
    auto closeWhenOpen = [&] {
        QTimer::singleShot(50, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            ++opened;
            for (const QString& c : cutOff(*box)) cut << box->metaObject()->className() + QStringLiteral(": ") + c;
            box->close();
        });
    };
    closeWhenOpen();
    prompts.info(nullptr, QStringLiteral("/a.mp4"), QStringLiteral("The video has been exported"));
    closeWhenOpen();
    prompts.ask(nullptr, QStringLiteral("Go?"), QStringLiteral("Error opening this file!"));
    closeWhenOpen();
    int value = 5;
    prompts.askNumber(nullptr, QStringLiteral("Shift the Whole Lyric"), QStringLiteral("Later by (1/100 s):"), value, 1,
                      10);
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(cut.join(" | ").toStdString(), "");
}

// The state and songs the dialogs work on, one for the whole program.
struct World {
    AppState state;
    LyricSheet sheet;
    NoWindowSongHost host;
    SongSession session{state, sheet, host};
    test::QuietPrompts prompts;
    MidiSongFile midi;
    int playingTracks = 0;
    EffectTable effects{};
    World() {
        test::SmfTrack t0, t1, t2;
        t0.meta(0, 0x03, "Song").tempo(0, 500000).end();
        t1.meta(0, 0x03, "Melody").event(0, {0xC0, 73}).noteOn(0, 72, 100).noteOn(480, 72, 0);
        // The longest names of either language in a cell, a second program too.
        t2.meta(0, 0x03, "Piano").event(0, {0xC0, 1}).noteOn(0, 60, 100).event(240, {0xC0, 0}).noteOn(480, 60, 0);
        midi.LoadBytes(test::smfFile({t0, t1.end(), t2.end()}), nullptr);
        playingTracks = midi.trackCount;
        state.list.addOrUpdateSong("/music/Beta.mp3", 54000, kLyricFlagHas, nullptr);
        state.list.addOrUpdateSong("/music/alpha.wav", 60000, 0, nullptr);
        state.list.selectSong(1);
        state.list.current.songPath = "/music/alpha.wav";
    }
};

World& world() {
    static World w;
    return w;
}

INSTANTIATE_TEST_SUITE_P(
    All, Dialogs,
    ::testing::Values(
        DialogCase{"Help", [] { return std::make_unique<HelpDialog>(nullptr, [] {}); }},
        DialogCase{"About", [] { return std::make_unique<AboutBox>(); }},
        DialogCase{"Save", [] { return std::make_unique<SaveDialog>(nullptr, "/music/alpha.wav", "/music/alpha.MLX"); }},
        DialogCase{"Import", [] { return std::make_unique<ImportDialog>(world().sheet, world().prompts); }},
        DialogCase{"SongList",
                   [] { return std::make_unique<SongListDialog>(world().state, world().session, nullptr, &world().prompts); }},
        DialogCase{"Exchange",
                   [] {
                       return std::make_unique<ExchangeDialog>(world().state, world().sheet, 3000, nullptr,
                                                               &world().prompts);
                   }},
        DialogCase{"Tracks",
                   [] { return std::make_unique<TrackDialog>(nullptr, world().midi, world().playingTracks); }},
        DialogCase{"Transitions", [] { return std::make_unique<TransitionDialog>(world().effects); }},
        DialogCase{"Password",
                   [] {
                       PromptRequest r;
                       r.firstLine = "/pictures/a.pik";
                       r.secondLine = PromptDialog::tr("的密码:");
                       r.passwordMode = true;
                       r.caption = PromptDialog::tr("请你输入");
                       return std::make_unique<PromptDialog>(r, nullptr);
                   }}),
    [](const ::testing::TestParamInfo<DialogCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace melnix
