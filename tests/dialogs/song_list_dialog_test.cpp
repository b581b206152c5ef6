// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/song_list_dialog.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "editor/editor_dialog.h"
#include "editor/editor_ids.h"
#include "dialogs/exchange_dialog.h"
#include "present/picture_image.h"
#include "common/paths.h"
#include <filesystem>
#include "present/core/picture_scrambler.h"
#include "support/editor_song.h"
#include "support/quiet_prompts.h"
#include "support/gbk_text.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;

class SongListDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("MELNIX_HOME", home_.path().c_str(), 1);
        // Oldest first in the list; the dialog shows the newest on top.
        add("/music/Beta.mp3", 54000, kLyricFlagHas);                  // 9:00.00
        add("/music/alpha.wav", 60000, 0, "/music/alpha.MLX");         // 10:00.00
        add("/video/clip.mpg", 5, kLyricFlagUnknown, "@" + g("片名"));  // unknown length
        state_.list.selectSong(1);
    }
    void add(const std::string& path, int32_t length, uint16_t flags, const std::string& ref = {}) {
        state_.list.addOrUpdateSong(path, length, flags, ref.empty() ? nullptr : &ref);
    }
    SongListDialog& dialog() {
        if (!dialog_) dialog_ = std::make_unique<SongListDialog>(state_, session_, nullptr, &files_);
        return *dialog_;
    }
    QString cell(int row, int column) { return dialog().list()->item(row, column)->text(); }
    QStringList column(int c) {
        QStringList out;
        for (int r = 0; r < dialog().list()->rowCount(); ++r) out << cell(r, c);
        return out;
    }
    void select(std::initializer_list<int> rows) {
        QTableWidget* list = dialog().list();
        list->clearSelection();
        for (int r : rows)
            list->selectionModel()->select(list->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    bool enabled(int id) { return dialog().button(id)->isEnabled(); }

    test::TempDir home_;
    AppState state_;
    LyricSheet sheet_;
    NoWindowSongHost host_;
    SongSession session_{state_, sheet_, host_};
    test::QuietPrompts files_;
    std::unique_ptr<SongListDialog> dialog_;
};

TEST_F(SongListDialogTest, ListsTheSongsNewestFirst) {
    EXPECT_EQ(column(SongListDialog::ColName), (QStringList{"clip", "alpha", "Beta"}));
    EXPECT_EQ(column(SongListDialog::ColType), (QStringList{"mpg", "wav", "mp3"}));
    EXPECT_EQ(column(SongListDialog::ColLyric), (QStringList{"未知", "不带", "自带"}));
    EXPECT_EQ(column(SongListDialog::ColLength), (QStringList{"未知", "10:00.00", "9:00.00"}));
    EXPECT_EQ(column(SongListDialog::ColFolder), (QStringList{"/video", "/music", "/music"}));
    EXPECT_EQ(column(SongListDialog::ColLyricRef), (QStringList{"(片名)", "alpha.MLX", ""}));
    // The current song is the chosen row.
    const auto rows = dialog().list()->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().row(), 1);

    dialog().resize(800, 400);
    dialog().show();
    const int w = dialog().list()->viewport()->width();
    EXPECT_EQ(dialog().list()->columnWidth(SongListDialog::ColName), 3 * w / 16);
    EXPECT_EQ(dialog().list()->columnWidth(SongListDialog::ColPictures), 3 * w);
}

TEST_F(SongListDialogTest, ASongsKeyShowsBesideItsType) {
    dialog().setSongKeys({{"/music/alpha.wav", -2}, {"/music/Beta.mp3", 3}, {"/elsewhere/gone.mp3", 1}});
    EXPECT_EQ(column(SongListDialog::ColType), (QStringList{"mpg", "wav -2", "mp3 +3"}));
    EXPECT_TRUE(dialog().list()->item(0, SongListDialog::ColType)->toolTip().isEmpty());
    EXPECT_FALSE(dialog().list()->item(2, SongListDialog::ColType)->toolTip().isEmpty());
    // The current song stays chosen.
    const auto rows = dialog().list()->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().row(), 1);
}

TEST_F(SongListDialogTest, ButtonsFollowTheSelectionAndTitlesSort) {
    select({0, 2});
    EXPECT_TRUE(enabled(1057));
    EXPECT_TRUE(enabled(1058));
    EXPECT_FALSE(enabled(1059));
    EXPECT_FALSE(enabled(1008));
    select({});
    EXPECT_FALSE(enabled(1057));
    select({2});
    EXPECT_TRUE(enabled(1059));
    EXPECT_TRUE(enabled(1008));

    // Texts, not times: "10:00.00" comes before "9:00.00"; letters in any case.
    dialog().list()->horizontalHeader()->sectionClicked(SongListDialog::ColLength);
    EXPECT_EQ(column(SongListDialog::ColLength), (QStringList{"10:00.00", "9:00.00", "未知"}));
    // A second click reverses the order, and the title shows it.
    dialog().list()->horizontalHeader()->sectionClicked(SongListDialog::ColLength);
    EXPECT_EQ(column(SongListDialog::ColLength), (QStringList{"未知", "9:00.00", "10:00.00"}));
    EXPECT_TRUE(dialog().list()->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(dialog().list()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    // The lyric column by meaning: carried, not carried, unknown.
    dialog().list()->horizontalHeader()->sectionClicked(SongListDialog::ColLyric);
    EXPECT_EQ(column(SongListDialog::ColLyric), (QStringList{"自带", "不带", "未知"}));
    dialog().list()->horizontalHeader()->sectionClicked(SongListDialog::ColName);
    EXPECT_EQ(column(SongListDialog::ColName), (QStringList{"alpha", "Beta", "clip"}));
    // Rows still lead to their songs after sorting.
    select({1});
    dialog().openSelected();
    EXPECT_EQ(state_.list.current.songPath, "/music/Beta.mp3");
    EXPECT_EQ(dialog().result(), QDialog::Accepted);
}

TEST_F(SongListDialogTest, OpeningSeveralMakesThemNewest) {
    select({1, 2});  // alpha, Beta
    dialog().openSelected();
    EXPECT_EQ(state_.list.current.songPath, "/music/alpha.wav");
    EXPECT_EQ(state_.list.at(2)->songPath, "/music/alpha.wav");
    EXPECT_EQ(state_.list.at(1)->songPath, "/music/Beta.mp3");
    EXPECT_EQ(state_.list.at(0)->songPath, "/video/clip.mpg");
}

TEST_F(SongListDialogTest, OpeningOneMakesItNewest) {
    select({2});  // Beta, the oldest
    dialog().openSelected();
    EXPECT_EQ(state_.list.current.songPath, "/music/Beta.mp3");
    EXPECT_EQ(state_.list.at(state_.list.size() - 1)->songPath, "/music/Beta.mp3");
}

// The first filter of the song dialog takes every kind the program plays;
// the last takes any file.
TEST(SongOpenFilter, TheFirstTakesEverySongKindAndTheLastAnyFile) {
    const QStringList filters = songOpenFilter().split(";;");
    ASSERT_GE(filters.size(), 3);
    for (const char* ext : {"mp3", "wav", "mid", "kar", "flac", "m4a", "aac", "ogg", "opus", "mov", "avi", "mp4", "mkv"})
        EXPECT_TRUE(filters.front().contains(QString("*.") + ext, Qt::CaseInsensitive)) << ext;
    EXPECT_TRUE(filters.back().endsWith("(*)"));
}

TEST_F(SongListDialogTest, RemovingTakesRowsAndSongs) {
    select({0, 2});
    dialog().removeSelected();
    EXPECT_EQ(column(SongListDialog::ColName), QStringList{"alpha"});
    EXPECT_EQ(state_.list.size(), 1);
    EXPECT_EQ(state_.list.findSong("/video/clip.mpg"), -1);
    EXPECT_FALSE(enabled(1058));
}

TEST_F(SongListDialogTest, AddingSongFiles) {
    dialog().addSongFiles();  // cancelled: the list stays open
    EXPECT_EQ(dialog().result(), 0);
    EXPECT_EQ(files_.openTitles.last(), QString::fromUtf8("请打开一个或一组音像文件"));

    test::TempDir dir;
    QStringList chosen;
    for (const char* name : {"one.wav", "two.wav", "three.wav"}) {
        test::writeEditorSong(dir.file(name));
        chosen << QString::fromStdString(dir.file(name));
    }
    files_.chosenFiles = chosen;
    dialog().addSongFiles();
    EXPECT_EQ(dialog().result(), QDialog::Accepted);
    EXPECT_EQ(state_.list.size(), 6);
    EXPECT_EQ(state_.list.current.songPath, dir.file("three.wav"));
    EXPECT_EQ(state_.lastSongFolder, dir.path());
    // Each was looked at: its lyric's first line labels it.
    EXPECT_EQ(state_.list.at(state_.list.findSong(dir.file("one.wav")))->lyricRef, "@" + g("第一句歌词"));
}

TEST_F(SongListDialogTest, ABackgroundForTheChosenSong) {
    test::TempDir pictures;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) test::writeFile(pictures.file(name), "x");
    select({1});  // alpha.wav, the current song
    files_.chosenFiles = QStringList{QString::fromStdString(pictures.file("b.jpg"))};
    dialog().chooseBackground();
    const std::string want = pictures.file("b.jpg") + "||c.jpg||a.jpg";
    EXPECT_EQ(state_.list.at(state_.list.findSong("/music/alpha.wav"))->pictureList, want);
    EXPECT_EQ(state_.list.current.pictureList, want);
    EXPECT_EQ(cell(1, SongListDialog::ColPictures).toStdString(), want);
    EXPECT_EQ(state_.lastPictureFolder, pictures.path());
    EXPECT_TRUE(files_.openFilters.last().contains("*.JPG"));

    // A video takes music behind it; another song's choice leaves the current one alone.
    select({0});
    files_.chosenFiles = QStringList{"/songs/x.mp3", "/songs/y.mp3"};
    dialog().chooseBackground();
    EXPECT_EQ(files_.openTitles.last(), QString::fromUtf8("媒体本身是电影，可以选一个或一组音乐做背景"));
    EXPECT_FALSE(files_.openFilters.last().contains("*.JPG"));
    EXPECT_EQ(state_.list.at(state_.list.findSong("/video/clip.mpg"))->pictureList, "/songs/x.mp3||y.mp3");
    EXPECT_EQ(state_.list.current.pictureList, want);
}

TEST_F(SongListDialogTest, AFolderIsScrambledAndOpenedUpAgainAsItIsChosen) {
    test::TempDir pictures;
    QImage red(64, 48, QImage::Format_RGB32);
    red.fill(Qt::red);
    for (const char* name : {"a.jpg", "b.jpg"}) ASSERT_TRUE(red.save(QString::fromStdString(pictures.file(name)), "JPG"));
    // The first picture opened up always asks for the password.
    int asked = 0;
    PictureScrambler scrambler([&](const PasswordRequest&) {
        ++asked;
        return std::optional<std::string>("secret");
    });
    dialog_ = std::make_unique<SongListDialog>(state_, session_, nullptr, &files_, &scrambler);
    select({1});

    files_.chosenFiles = QStringList{QString::fromStdString(pictures.file("b.jpg"))};
    files_.answer = Answer::Yes;
    files_.password = "secret";
    dialog().chooseBackground();
    ASSERT_EQ(files_.questions.size(), 1);
    EXPECT_TRUE(files_.questions.last().contains(QString::fromUtf8("你选择的文件是未加密的")));
    const std::string spec = state_.list.at(state_.list.findSong("/music/alpha.wav"))->pictureList;
    EXPECT_EQ(spec, pictures.file("b.PIK") + "||a.PIK");
    EXPECT_FALSE(std::filesystem::exists(pictures.file("a.jpg")));
    // The show opens them with the password given.
    PictureImage shown;
    EXPECT_TRUE(shown.load(pictures.file("a.PIK"), {}, &scrambler));
    EXPECT_EQ(shown.size(), QSize(64, 48));
    PictureScrambler stranger;  // knows no password and may not ask
    EXPECT_FALSE(shown.load(pictures.file("a.PIK"), {}, &stranger));

    // Choosing a scrambled one offers to open the folder up again.
    files_.chosenFiles = QStringList{QString::fromStdString(pictures.file("a.PIK"))};
    dialog().chooseBackground();
    EXPECT_TRUE(files_.questions.last().contains(QString::fromUtf8("你选择的文件是已加密的")));
    EXPECT_EQ(state_.list.current.pictureList, pictures.file("a.jpg") + "||b.jpg");
    EXPECT_TRUE(std::filesystem::exists(pictures.file("b.jpg")));
    EXPECT_EQ(asked, 1);

    // Cancel leaves the background as it was.
    files_.answer = Answer::Cancel;
    files_.chosenFiles = QStringList{QString::fromStdString(pictures.file("a.jpg"))};
    dialog().chooseBackground();
    EXPECT_EQ(state_.list.current.pictureList, pictures.file("a.jpg") + "||b.jpg");
}

TEST_F(SongListDialogTest, MailingTakesOneSongWithALyric) {
    add("/music/plain.mp3", 3000, 0);  // no lyric of any kind; the newest row
    struct Case {
        const char* what;
        std::initializer_list<int> rows;
        bool enabled;
    };
    const Case cases[] = {
        {"two songs", {1, 2}, false},
        {"a song without a lyric", {0}, false},
        {"a lyric found in the song", {1}, true},
        {"a lyric file of its own", {2}, true},
        {"a lyric known by its flags", {3}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        select(c.rows);
        EXPECT_EQ(enabled(1060), c.enabled);
    }
    // Clicked anyway, a song without a lyric chooses nothing.
    select({0});
    dialog().mailSelected();
    EXPECT_EQ(dialog().result(), 0);
    EXPECT_EQ(dialog().mailedSong(), -1);
    EXPECT_EQ(state_.list.current.songPath, "/music/alpha.wav");

    select({1});  // clip.mpg, labelled by its own lyric
    dialog().button(1060)->click();
    EXPECT_EQ(dialog().result(), QDialog::Accepted);
    EXPECT_EQ(dialog().mailedSong(), state_.list.findSong("/video/clip.mpg"));
    EXPECT_EQ(state_.list.current.songPath, "/video/clip.mpg");
}

// The editor playing the first of two songs, both with a lyric in their tail.
class SongListInTheEditor : public ::testing::Test {
protected:
    void SetUp() override {
        test::useQuietEditorEnvironment(home.path());
        test::writeEditorSong(first);
        test::writeEditorSong(second);
        auto prompts = std::make_unique<test::QuietPrompts>();
        p = prompts.get();
        editorWindow = std::make_unique<EditorDialog>(program.path(), first, "demo", std::move(prompts));
        editorWindow->show();
        ASSERT_TRUE(test::waitUntil([&] { return editorWindow->transport().playState() == PlayState::Playing; }));
    }

    test::TempDir home, files, program;
    const std::string first = files.file("first.wav"), second = files.file("second.wav");
    test::QuietPrompts* p = nullptr;
    std::unique_ptr<EditorDialog> editorWindow;
};

// The editor's "打开列表" runs the list and opens what was chosen there.
TEST_F(SongListInTheEditor, OpensTheChosenSong) {
    EditorDialog& editor = *editorWindow;
    p->chosenFiles = QStringList{QString::fromStdString(second)};
    p->onDialog = [](QDialog& d) {
        static_cast<SongListDialog&>(d).addSongFiles();
        return d.result();
    };
    qobject_cast<QPushButton*>(editor.control(idOpenList))->click();
    EXPECT_EQ(editor.windowTitle(), QString::fromStdString("Melnix  " + second));
    EXPECT_GE(editor.state().list.findSong(first), 0);
    EXPECT_GE(editor.state().list.findSong(second), 0);
    EXPECT_TRUE(test::waitUntil([&] { return editor.transport().playState() == PlayState::Playing; }));
}

// The song list's "交流同步歌词" opens the song and then the exchange, with
// the song paused meanwhile.
TEST_F(SongListInTheEditor, TheMailChoiceOpensTheExchangeOverThePausedSong) {
    EditorDialog& editor = *editorWindow;
    const int secondIndex = editor.state().list.addOrUpdateSong(second, 3000, kLyricFlagHas);

    int chosen = -1;
    bool exchangeShown = false, pausedMeanwhile = false;
    std::string file;
    QString songName;
    p->onDialog = [&](QDialog& d) {
        if (auto* list = qobject_cast<SongListDialog*>(&d)) {
            list->list()->clearSelection();
            list->list()->selectRow(0);  // the newest: second.wav
            list->button(1060)->click();
            chosen = list->mailedSong();
            return d.result();
        }
        auto* exchange = qobject_cast<ExchangeDialog*>(&d);
        if (!exchange) return int(QDialog::Rejected);
        exchangeShown = true;
        pausedMeanwhile = editor.transport().playState() != PlayState::Playing;
        file = exchange->fileToSend();
        songName = qobject_cast<QLineEdit*>(exchange->control(ExchangeDialog::idSongName))->text();
        qobject_cast<QLineEdit*>(exchange->control(ExchangeDialog::idName))->setText("Wang");
        qobject_cast<QPushButton*>(exchange->control(ExchangeDialog::idCancel))->click();
        return d.result();
    };
    qobject_cast<QPushButton*>(editor.control(idOpenList))->click();
    EXPECT_EQ(chosen, secondIndex);
    EXPECT_EQ(editor.state().list.current.songPath, second);
    ASSERT_TRUE(test::waitUntil([&] { return exchangeShown; }));
    EXPECT_TRUE(pausedMeanwhile);
    // The song is too large to mail: its lyric goes as a file of its own.
    EXPECT_EQ(file, dataFolder() + "/second.MLX");
    EXPECT_EQ(songName, "second");
    EXPECT_EQ(editor.state().profile[0], "Wang");
    EXPECT_TRUE(test::waitUntil([&] { return editor.transport().playState() == PlayState::Playing; }));
}

}  // namespace
}  // namespace melnix
