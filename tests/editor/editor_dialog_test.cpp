// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editor_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QRadioButton>
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "ui/app_icons.h"
#include "editor/editor_ids.h"
#include "editor/timeline_view.h"
#include "editor/progress_slider.h"
#include "lyrics/lyric_store.h"
#include "ui/command_event.h"
#include "present/subtitle_window.h"
#include "support/gbk_text.h"
#include "support/editor_song.h"
#include "support/quiet_prompts.h"
#include "support/qt_wait.h"
#include "support/test_files.h"
#include "support/tone_wav.h"

namespace melnix {
namespace {

using test::g;
using test::QuietPrompts;

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::useQuietEditorEnvironment(home_.path());
        song_ = files_.file("tone.wav");
        test::writeEditorSong(song_);
    }
    void open(const std::string& argument) {
        auto prompts = std::make_unique<QuietPrompts>();
        prompts_ = prompts.get();
        editor_ = std::make_unique<EditorDialog>(program_.path(), argument, "demo", std::move(prompts));
        editor_->show();
        ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    }
    QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(editor_->control(id)); }
    QComboBox* lineBox() { return qobject_cast<QComboBox*>(editor_->control(idLineBox)); }
    // Whether the icon button shows the program's icon iconId.
    bool shows(int id, int iconId) {
        const QSize size(20, 20);
        return button(id)->icon().pixmap(size).toImage() == melnixIcon(iconId).pixmap(size).toImage();
    }

    test::TempDir home_, files_, program_;
    std::string song_;
    std::unique_ptr<EditorDialog> editor_;
    QuietPrompts* prompts_ = nullptr;
};

TEST_F(EditorTest, OpensTheSongWithItsLyricAndFollowsIt) {
    open(song_);
    EXPECT_EQ(editor_->sheet().lineCount(), 2);
    // 30 s in whole blocks of the engine.
    EXPECT_TRUE(qobject_cast<QLabel*>(editor_->control(idLength))->text().startsWith("0:29.9") ||
                qobject_cast<QLabel*>(editor_->control(idLength))->text().startsWith("0:30.0"));
    EXPECT_TRUE(test::waitUntil([&] { return editor_->clockRunning(); }));
    EXPECT_TRUE(button(idSave)->isEnabled());
    EXPECT_EQ(button(idSave)->text(), QString::fromUtf8("导出"));
    EXPECT_TRUE(button(idSync)->isVisible());
    EXPECT_FALSE(button(idTracks)->isVisible());
    EXPECT_EQ(editor_->windowTitle(), QString::fromStdString("Melnix  " + song_));
}

// Qt does not clear the window before it paints: its ground between the
// controls and around the areas is the window's own painting.
TEST_F(EditorTest, TheGroundAroundTheControlsIsTheWindowColour) {
    open(song_);
    const QImage shot = editor_->grab().toImage();
    const QColor ground = editor_->palette().color(QPalette::Window);
    QRegion areas;
    for (const QRect& a : {editor_->subtitleArea(), editor_->waveformArea(), editor_->adjustArea()})
        areas += a.adjusted(-2, -2, 2, 2);
    int checked = 0, wrong = 0;
    for (int y = 0; y < editor_->height(); y += 2)
        for (int x = 0; x < editor_->width(); x += 2) {
            if (editor_->childAt(x, y) || areas.contains(QPoint(x, y))) continue;
            ++checked;
            wrong += shot.pixelColor(x, y) != ground;
        }
    EXPECT_GT(checked, 1000);
    EXPECT_EQ(wrong, 0);
}

TEST_F(EditorTest, EditModesSwapTheButtonsAndAddALine) {
    open(song_);
    button(idAdd)->click();
    EXPECT_EQ(editor_->editMode(), EditMode::Add);
    EXPECT_EQ(editor_->transport().playState(), PlayState::Paused);
    EXPECT_TRUE(button(idConfirmAdd)->isVisible());
    EXPECT_TRUE(button(idCancel)->isVisible());
    EXPECT_FALSE(button(idAdd)->isVisible());
    for (int id : {idImport, idOpenList, idPresent, idSave, idPause, idVolume}) EXPECT_FALSE(editor_->control(id)->isEnabled()) << id;
    EXPECT_TRUE(lineBox()->isEnabled());

    lineBox()->setEditText(QString::fromUtf8("新加的一句"));
    button(idConfirmAdd)->click();
    EXPECT_EQ(editor_->editMode(), EditMode::None);
    EXPECT_EQ(editor_->sheet().lineCount(), 3);
    EXPECT_TRUE(editor_->modified());
    EXPECT_EQ(button(idSave)->text(), QString::fromUtf8("保存"));
    EXPECT_TRUE(button(idAdd)->isVisible());
    EXPECT_FALSE(lineBox()->isEnabled());

    button(idModify)->click();
    EXPECT_EQ(editor_->editMode(), EditMode::Modify);
    button(idCancel)->click();
    EXPECT_EQ(editor_->editMode(), EditMode::None);
    EXPECT_EQ(editor_->sheet().lineCount(), 3);
}

// An edit leaves the song where it stood: playing on when it played, still
// when the user had paused it, and never sent elsewhere.
TEST_F(EditorTest, AConfirmedEditLeavesTheSongAsItWas) {
    open(song_);
    for (const bool wasPlaying : {true, false}) {
        SCOPED_TRACE(wasPlaying);
        ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
        if (!wasPlaying) button(idPause)->click();
        button(idModify)->click();
        ASSERT_EQ(editor_->editMode(), EditMode::Modify);
        const int at = editor_->transport().positionUnits();
        lineBox()->setEditText(lineBox()->currentText() + QString::fromUtf8("啊"));
        button(idConfirmModify)->click();
        EXPECT_EQ(editor_->editMode(), EditMode::None);
        if (wasPlaying) {
            EXPECT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
            EXPECT_GE(editor_->transport().positionUnits(), at);
        } else {
            EXPECT_EQ(editor_->transport().playState(), PlayState::Paused);
            EXPECT_EQ(editor_->transport().positionUnits(), at);
            button(idPause)->click();
        }
    }
}

TEST_F(EditorTest, SplitNeedsTwelveBytesAndMergeFitsThirty) {
    open(song_);
    button(idPause)->click();
    editor_->transport().seekUnits(0);
    editor_->runCommand(kCmdSliderDrag);  // recompute at the slider position 0
    // The first line, "第一句歌词", has 10 bytes: no split; merged with "第二句" it fits.
    EXPECT_FALSE(button(idSplit)->isEnabled());
    EXPECT_TRUE(button(idMerge)->isEnabled());
    EXPECT_FALSE(button(idReference)->isEnabled());
    button(idSplit)->click();  // disabled: nothing happens
    EXPECT_EQ(editor_->editMode(), EditMode::None);
}

TEST_F(EditorTest, SpeedsVolumeAndCommands) {
    open(song_);
    auto* slow = qobject_cast<QRadioButton*>(editor_->control(idFirstSpeed));
    ASSERT_TRUE(test::waitUntil([&] { return slow->isEnabled(); }));
    slow->click();
    EXPECT_EQ(editor_->transport().speedIndex(), 0);
    EXPECT_FALSE(editor_->control(idVocal)->isEnabled());  // vocal removal only at normal speed
    slow->click();  // the chosen speed again: back to normal
    EXPECT_EQ(editor_->transport().speedIndex(), kNormalSpeedIndex);
    EXPECT_TRUE(editor_->control(idVocal)->isEnabled());

    sendCommand(editor_.get(), kCmdVolumeDown);
    EXPECT_EQ(editor_->transport().volumeLevel(), 950);
    sendCommand(editor_.get(), kCmdVolumeUp);
    EXPECT_EQ(editor_->transport().volumeLevel(), 1000);

    // A speed chosen while paused applies when the song plays again.
    button(idPause)->click();
    EXPECT_EQ(editor_->transport().playState(), PlayState::Paused);
    ASSERT_TRUE(slow->isEnabled());
    slow->click();
    EXPECT_EQ(editor_->transport().speedIndex(), 0);
    EXPECT_EQ(editor_->transport().speedPercent(), 100);
    button(idPause)->click();
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    EXPECT_EQ(editor_->transport().speedPercent(), speedAt(0).percent);
    EXPECT_TRUE(slow->isChecked());
}

TEST_F(EditorTest, IconButtonsShowWhatIsOn) {
    open(song_);
    EXPECT_TRUE(shows(idMute, kIconSoundOn));
    EXPECT_TRUE(shows(idVocal, kIconVocalsKept));
    EXPECT_TRUE(shows(idRuler, kIconWaveform));
    EXPECT_TRUE(shows(idDoubleScale, kIconDoubleScale));

    button(idMute)->click();
    EXPECT_TRUE(editor_->transport().isMuted());
    EXPECT_TRUE(shows(idMute, kIconMuted));
    button(idMute)->click();
    EXPECT_TRUE(shows(idMute, kIconSoundOn));

    button(idRuler)->click();
    EXPECT_TRUE(shows(idRuler, kIconRuler));

    ASSERT_TRUE(test::waitUntil([&] { return button(idVocal)->isEnabled(); }));
    button(idVocal)->click();
    EXPECT_FALSE(editor_->transport().vocalsKept());
    EXPECT_TRUE(shows(idVocal, kIconVocalsRemoved));
    // Another speed has the singer back and the button off; at normal speed
    // he is gone again.
    auto* slow = qobject_cast<QRadioButton*>(editor_->control(idFirstSpeed));
    slow->click();
    EXPECT_FALSE(button(idVocal)->isEnabled());
    EXPECT_TRUE(shows(idVocal, kIconVocalsRemoved));
    slow->click();
    EXPECT_TRUE(button(idVocal)->isEnabled());
    EXPECT_FALSE(editor_->transport().vocalsKept());
    button(idVocal)->click();
    EXPECT_TRUE(shows(idVocal, kIconVocalsKept));
}

TEST_F(EditorTest, WindowMenuItemsRunAboutAndTheSubtitleFont) {
    open(song_);
    editor_->systemCommand(kSysAbout);
    EXPECT_EQ(prompts_->abouts, 1);

    // Cancelled: the face stays. The chooser starts from the face and size shown.
    SubtitleWindow& subtitle = *editor_->subtitleWindow();
    const int fitted = subtitle.fontHeight();
    editor_->systemCommand(kSysSubtitleFont);
    EXPECT_EQ(prompts_->offeredFont.family(), kDefaultSubtitleFace);
    EXPECT_EQ(prompts_->offeredFont.pixelSize(), fitted);

    prompts_->chosenFace = QStringLiteral("Noto Serif CJK SC");
    editor_->systemCommand(kSysSubtitleFont);
    editor_->systemCommand(kSysSubtitleFont);
    EXPECT_EQ(prompts_->offeredFont.family(), prompts_->chosenFace);  // the chooser starts from the face in use

    // A size chosen in points takes effect, up to the size that fills the band.
    const int half = fitted * 72 / editor_->logicalDpiY() / 2;
    prompts_->chosenPointSize = half;
    editor_->systemCommand(kSysSubtitleFont);
    EXPECT_NEAR(subtitle.fontHeight(), half * editor_->logicalDpiY() / 72, 2);
    const int chosen = subtitle.fontHeight();
    editor_->systemCommand(kSysSubtitleFont);
    EXPECT_EQ(prompts_->offeredFont.pixelSize(), chosen);
    button(idExit)->click();
    ASSERT_TRUE(test::waitUntil([&] { return !editor_->isVisible(); }));
    EXPECT_EQ(editor_->state().subtitleFont, "Noto Serif CJK SC");

    // Kept for the next start; too large a size fills the band and no more.
    open(song_);
    EXPECT_EQ(editor_->subtitleWindow()->fontHeight(), chosen);
    prompts_->chosenFace = QStringLiteral("Noto Serif CJK SC");
    prompts_->chosenPointSize = 400;
    editor_->systemCommand(kSysSubtitleFont);
    EXPECT_EQ(editor_->subtitleWindow()->fontHeight(), fitted);
}

TEST_F(EditorTest, QuittingWithUnsavedLyricsAsksFirst) {
    open(song_);
    button(idAdd)->click();
    lineBox()->setEditText("abc");
    button(idConfirmAdd)->click();
    ASSERT_TRUE(editor_->modified());
    prompts_->answer = Answer::Cancel;  // Cancel: stay
    editor_->close();
    EXPECT_EQ(prompts_->asked, 1);
    EXPECT_TRUE(editor_->isVisible());
    prompts_->answer = Answer::No;  // No: leave without saving
    button(idExit)->click();
    EXPECT_TRUE(test::waitUntil([&] { return !editor_->isVisible(); }));
    // The state was saved on the way out.
    EXPECT_FALSE(test::readFile(home_.file("KTextParam.rec")).empty());
}

TEST_F(EditorTest, TheLineBoxTakesThirtyBytesOfText) {
    open(song_);
    button(idAdd)->click();
    QLineEdit* edit = lineBox()->lineEdit();
    edit->clear();
    edit->insert(QString::fromUtf8("一二三四五六七八九十一二三四"));  // 28 bytes
    edit->insert("ab");
    EXPECT_EQ(edit->text(), QString::fromUtf8("一二三四五六七八九十一二三四ab"));
    edit->insert(QString::fromUtf8("五"));  // would be 32: refused whole
    edit->insert("c");
    EXPECT_EQ(edit->text(), QString::fromUtf8("一二三四五六七八九十一二三四ab"));
    edit->backspace();
    edit->backspace();
    edit->insert(QString::fromUtf8("五"));
    button(idConfirmAdd)->click();
    EXPECT_EQ(editor_->sheet().lineCount(), 3);
    bool found = false;
    for (int i = 0; i < editor_->sheet().lineCount(); ++i)
        found |= editor_->sheet().lineAt(i)->text == g("一二三四五六七八九十一二三四五");
    EXPECT_TRUE(found);
}

TEST_F(EditorTest, NamedFilesOpenAsSongsOrLyricsOrAreRefused) {
    open(song_);
    const std::string lrc = files_.file("words.lrc");
    test::writeFile(lrc, "[00:01.00]第一行\n[00:03.00]第二行\n[00:05.00]第三行\n[00:07.00]第四行\n"
                         "[00:09.00]第五行\n[00:11.00]第六行\n");
    editor_->openNamedFile(lrc);
    EXPECT_TRUE(prompts_->errors.isEmpty()) << prompts_->errors.join("\n").toStdString();
    EXPECT_EQ(editor_->sheet().lineCount(), 6);
    EXPECT_EQ(editor_->state().list.current.lyricRef, lrc);

    // Neither a song nor a lyric: said so, and the lyric stays.
    const std::string picture = files_.file("cover.jpg");
    test::writeFile(picture, std::string(100, 'x'));
    editor_->openNamedFile(picture);
    EXPECT_EQ(prompts_->errors, QStringList{QString::fromUtf8("打开下列文件时出错!:") + QString::fromStdString(picture)});
    EXPECT_EQ(editor_->sheet().lineCount(), 6);

    const std::string broken = files_.file("broken.mlx");
    test::writeFile(broken, std::string(300, '\x01'));
    editor_->openNamedFile(broken);
    EXPECT_EQ(prompts_->errors.last(), QString::fromUtf8("下列文件中同步信息有错!:") + QString::fromStdString(broken));
}

// A song that cannot be opened is told once with its reason, leaves the list
// and no lyric of its own behind, and the editor goes back to the song before.
TEST_F(EditorTest, AFailedSongIsToldWhyAndLeavesNoTrace) {
    open(song_);
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"broken.mid", "MThd" + std::string(200, '\x7f'), "MIDI 文件已损坏,读不出其中的音轨。"},
        {"notes.mid", std::string(200, 'x'), "这不是 MIDI 文件。"},
        {"empty.mp3", "", "文件是空的(0 字节)。"},
        {"noise.mp3", std::string(3000, '\x01'), "文件中找不到 MP3 音频帧。"},
        {"text.wav", "RIFF....WAVEjunk", "这不是能播放的 PCM WAV 文件。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = files_.file(c.name);
        test::writeFile(path, c.bytes);
        prompts_->errors.clear();
        editor_->openNamedFile(path);
        ASSERT_EQ(prompts_->errors.size(), 1);
        EXPECT_TRUE(prompts_->errors[0].startsWith(QString::fromUtf8("打开下列文件时出错!:") + QString::fromStdString(path) +
                                                   "\n\n" + QString::fromUtf8(c.reason)))
            << prompts_->errors[0].toStdString();
        EXPECT_LT(editor_->state().list.findSong(path), 0);
        ASSERT_TRUE(test::waitUntil([&] { return editor_->windowTitle() == QString::fromStdString("Melnix  " + song_); }));
        EXPECT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
        EXPECT_EQ(editor_->sheet().lineCount(), 2);
        EXPECT_EQ(lineBox()->itemText(0), QString::fromUtf8("第一句歌词"));
    }
    // Told once: the same file again goes by without a box.
    prompts_->errors.clear();
    editor_->openNamedFile(files_.file("empty.mp3"));
    EXPECT_TRUE(prompts_->errors.isEmpty());
}

// When the list moves on by itself, a broken song is told and passed by.
TEST_F(EditorTest, ABrokenSongInTheListIsPassedBy) {
    open(song_);
    const std::string second = files_.file("second.wav");
    test::writeEditorSong(second);
    const std::string broken = files_.file("broken.mid");
    test::writeFile(broken, "MThd" + std::string(200, '\x7f'));
    SongList& list = editor_->state().list;
    while (list.size() > 1) list.removeSong(list.at(list.findSong(song_) == 0 ? 1 : 0)->songPath);
    ASSERT_EQ(list.findSong(song_), 0);
    list.addOrUpdateSong(second, 0, 0);
    list.addOrUpdateSong(broken, 0, 0);
    ASSERT_EQ(list.findSong(broken), list.lastIndex());
    editor_->runCommand(kCmdWaveEnded);  // the song ends: the next is the broken one
    ASSERT_TRUE(test::waitUntil([&] { return editor_->windowTitle() == QString::fromStdString("Melnix  " + second); }));
    EXPECT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    EXPECT_EQ(prompts_->errors.size(), 1);
    EXPECT_LT(list.findSong(broken), 0);
}

// With no song before it, a failed song leaves the editor on no song.
TEST_F(EditorTest, AFailedFirstSongLeavesTheEditorEmpty) {
    const std::string empty = files_.file("empty.mp3");
    test::writeFile(empty, "");
    auto prompts = std::make_unique<QuietPrompts>();
    prompts_ = prompts.get();
    editor_ = std::make_unique<EditorDialog>(program_.path(), empty, "demo", std::move(prompts));
    editor_->show();
    ASSERT_TRUE(test::waitUntil([&] { return !prompts_->errors.isEmpty(); }));
    test::pumpFor(300);
    EXPECT_FALSE(editor_->transport().hasEngine());
    EXPECT_FALSE(editor_->clockRunning());
    EXPECT_EQ(qobject_cast<QLabel*>(editor_->control(idPosition))->text(), "0:00.0");
    EXPECT_EQ(qobject_cast<QLabel*>(editor_->control(idLength))->text(), "0:00.0");
    EXPECT_EQ(editor_->sheet().lineCount(), 0);
    EXPECT_EQ(lineBox()->count(), 0);
    EXPECT_TRUE(lineBox()->currentText().isEmpty());
    EXPECT_EQ(editor_->windowTitle(), "Melnix");
    EXPECT_LT(editor_->state().list.findSong(empty), 0);
}

// A logout or kill while a dialog is open ends the program with its state
// kept, without asking anything.
TEST_F(EditorTest, ATerminateSignalEndsThroughAnOpenDialogAndKeepsTheState) {
    open(song_);
    button(idAdd)->click();
    lineBox()->setEditText("abc");
    button(idConfirmAdd)->click();
    ASSERT_TRUE(editor_->modified());  // even so, nothing is asked
    std::remove(home_.file("KTextParam.rec").c_str());
    QDialog outer(editor_.get());
    bool innerReturned = false;
    QTimer::singleShot(0, &outer, [&] {
        QDialog inner(&outer);  // nested, as help over the show or a save's file chooser
        QTimer::singleShot(0, &inner, [&] { editor_->terminate(); });
        inner.exec();
        innerReturned = true;
    });
    outer.exec();
    EXPECT_TRUE(innerReturned);
    EXPECT_FALSE(outer.isVisible());
    EXPECT_NE(test::readFile(home_.file("KTextParam.rec")).find(song_), std::string::npos);
    EXPECT_TRUE(prompts_->questions.isEmpty());
}

TEST_F(EditorTest, AHandOverWaitsForTheDialogOverTheEditor) {
    open(song_);
    const std::string second = files_.file("second.wav");
    test::writeEditorSong(second);
    QDialog dialog(editor_.get());
    QString titleUnderDialog;
    QTimer::singleShot(0, &dialog, [&] {
        editor_->queueHandOver({second});
        QApplication::processEvents();
        titleUnderDialog = editor_->windowTitle();
        dialog.accept();
    });
    dialog.exec();
    EXPECT_EQ(titleUnderDialog, QString::fromStdString("Melnix  " + song_));
    EXPECT_TRUE(test::waitUntil([&] { return editor_->windowTitle() == QString::fromStdString("Melnix  " + second); }));
}

// A desktop hands over its whole selection, at start or to the running copy:
// the first song opens, the others wait in the song list.
TEST_F(EditorTest, ASelectionOpensItsFirstSongAndListsTheRest) {
    const std::string second = files_.file("second.wav");
    const std::string third = files_.file("third.wav");
    test::writeEditorSong(second);
    test::writeEditorSong(third);
    auto listed = [&](const std::string& path) { return editor_->state().list.findSong(path) >= 0; };

    auto prompts = std::make_unique<QuietPrompts>();
    prompts_ = prompts.get();
    editor_ = std::make_unique<EditorDialog>(program_.path(), second, "demo", std::move(prompts));
    const std::string picture = files_.file("cover.jpg");
    test::writeFile(picture, std::string(100, 'x'));
    editor_->addToSongListAtStart({picture, third});
    editor_->show();
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    EXPECT_EQ(editor_->windowTitle(), QString::fromStdString("Melnix  " + second));
    EXPECT_TRUE(listed(third));
    EXPECT_FALSE(listed(picture));
    EXPECT_EQ(editor_->state().list.current.songPath, second);

    const std::string fourth = files_.file("fourth.wav");
    test::writeEditorSong(fourth);
    // Two starts in a burst: the first file of the first opens, the rest join
    // the list once each.
    editor_->queueHandOver({song_, fourth});
    editor_->queueHandOver({fourth, song_});
    EXPECT_TRUE(test::waitUntil([&] { return editor_->windowTitle() == QString::fromStdString("Melnix  " + song_); }));
    EXPECT_TRUE(listed(fourth));
    EXPECT_EQ(editor_->state().list.current.songPath, song_);
    int count = 0;
    for (int i = 0; i < editor_->state().list.size(); ++i)
        if (editor_->state().list.at(i)->songPath == fourth) ++count;
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(prompts_->errors.isEmpty()) << prompts_->errors.join("\n").toStdString();
}

TEST_F(EditorTest, SavesIntoTheSongAndIntoALyricFile) {
    open(song_);
    auto addLine = [&](const char* text) {
        button(idAdd)->click();
        lineBox()->setEditText(QString::fromUtf8(text));
        button(idConfirmAdd)->click();
    };
    auto pressInSaveDialog = [&](int id) {
        prompts_->onDialog = [id](QDialog& d) {
            d.findChild<QPushButton*>(QString("control%1").arg(id))->click();
            return d.result();
        };
    };

    addLine("新的一句");
    ASSERT_TRUE(editor_->modified());
    // Levels measured so far, and the time line where the user put it.
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().positionUnits() > 60; }));
    editor_->transport().levelTrack()[3000].store(77);
    editor_->timeline().setViewOrigin(1200);
    pressInSaveDialog(1);  // into the song
    button(idSave)->click();
    EXPECT_FALSE(editor_->modified());
    LyricSheet stored;
    ASSERT_EQ(readTailLyric(song_, stored), TailLoad::Loaded);
    EXPECT_EQ(stored.lineCount(), 3);
    // The song was let go for the save and plays on, its levels and the
    // time line kept.
    EXPECT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    EXPECT_EQ(editor_->transport().levelTrack()[3000].load(), 77);
    EXPECT_GE(editor_->timeline().viewOrigin(), 1200);

    addLine("再加一句");
    const std::string mlx = files_.file("words.MLX");
    prompts_->saveFiles = QStringList{QString::fromStdString(mlx)};
    pressInSaveDialog(1042);  // save as
    button(idSave)->click();
    EXPECT_FALSE(editor_->modified());
    EXPECT_EQ(editor_->state().list.current.lyricRef, mlx);
    LyricSheet fromFile;
    ASSERT_TRUE(openLyricFile(mlx, fromFile));
    EXPECT_EQ(fromFile.lineCount(), 4);

    // Cancelled: nothing is written.
    addLine("第三次");
    pressInSaveDialog(2);
    button(idSave)->click();
    EXPECT_TRUE(editor_->modified());
    ASSERT_TRUE(openLyricFile(mlx, fromFile));
    EXPECT_EQ(fromFile.lineCount(), 4);
}

// "Save as" writes what the chosen name and filter ask for; a lyric written
// for other players leaves the lyric unsaved and its own file as it was.
TEST_F(EditorTest, SaveAsWritesTheFormatOfTheChosenName) {
    open(song_);
    button(idAdd)->click();
    lineBox()->setEditText(QString::fromUtf8("再加一句"));
    button(idConfirmAdd)->click();
    ASSERT_TRUE(editor_->modified());
    auto pressInSaveDialog = [&](int id) {
        prompts_->onDialog = [id](QDialog& d) {
            d.findChild<QPushButton*>(QString("control%1").arg(id))->click();
            return d.result();
        };
    };
    const std::string lyricRef = editor_->state().list.current.lyricRef;
    const struct {
        const char* name;
        int filter;  // as listed: MLX, LRC, enhanced LRC, ASS, UltraStar
        const char* has;
        const char* hasNot;
    } cases[] = {
        {"plain.lrc", 1, "]", "<"},
        {"words.lrc", 2, "<", nullptr},
        {"show.ass", 3, "\\k", nullptr},
        {"game.txt", 4, "#TITLE", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = files_.file(c.name);
        prompts_->saveFiles = QStringList{QString::fromStdString(path)};
        prompts_->saveFilterIndex = c.filter;
        pressInSaveDialog(1042);  // save as
        button(idSave)->click();
        const std::string text = test::readFile(path);
        EXPECT_NE(text.find(c.has), std::string::npos) << text;
        if (c.hasNot) {
            EXPECT_EQ(text.find(c.hasNot), std::string::npos) << text;
        }
        EXPECT_TRUE(editor_->modified());
        EXPECT_EQ(editor_->state().list.current.lyricRef, lyricRef);
    }
    EXPECT_EQ(prompts_->saveFilters.last().count(";;"), 4);
}

// "导出 CD+G" writes the graphics and, the song being a WAV, the MP3 hosts
// play beside them; cancelled at the file chooser it writes nothing.
TEST_F(EditorTest, CdgExportWritesTheGraphicsAndTheMp3Beside) {
    open(song_);
    editor_->exportCdg();  // the chooser cancelled
    EXPECT_TRUE(prompts_->infos.isEmpty());
    const std::string cdg = files_.file("host.cdg");
    prompts_->saveFiles = QStringList{QString::fromStdString(cdg)};
    editor_->exportCdg();
    ASSERT_EQ(prompts_->infos.size(), 1) << prompts_->errors.join("\n").toStdString();
    const int64_t ms = editor_->transport().lengthCs() * 10;
    EXPECT_NEAR(static_cast<double>(test::readFile(cdg).size()), static_cast<double>((ms * 300 + 999) / 1000 * 24),
                24.0 * 300 / 10);  // the decoded length, within a block of the engine's
    EXPECT_GT(test::readFile(files_.file("host.mp3")).size(), 10000u);
    EXPECT_TRUE(prompts_->errors.isEmpty());
}

// A save that fails says why, keeps the lyric modified and the song as it
// was, and the song plays on.
TEST_F(EditorTest, AFailedSaveSaysWhyAndKeepsTheLyric) {
    open(song_);
    const std::string before = test::readFile(song_);
    button(idAdd)->click();
    lineBox()->setEditText(QString::fromUtf8("新的一句"));
    button(idConfirmAdd)->click();
    ASSERT_TRUE(editor_->modified());
    std::filesystem::permissions(song_, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
    // Into the song; the save dialog comes back after the failure, and is cancelled.
    int offered = 0;
    const auto pressThenCancel = [&offered](int id) {
        return [&offered, id](QDialog& d) {
            d.findChild<QPushButton*>(QString("control%1").arg(offered++ == 0 ? id : 2))->click();
            return d.result();
        };
    };
    prompts_->onDialog = pressThenCancel(1);
    button(idSave)->click();
    EXPECT_EQ(offered, 2);
    ASSERT_EQ(prompts_->errors.size(), 1);
    EXPECT_TRUE(prompts_->errors[0].contains(QString::fromUtf8("文件是只读的，或者没有写入它的权限。")))
        << prompts_->errors[0].toStdString();
    EXPECT_TRUE(prompts_->errors[0].contains(".MLX"));
    EXPECT_TRUE(editor_->modified());
    EXPECT_EQ(test::readFile(song_), before);
    EXPECT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));

    // Into a lyric file in a folder that is gone: said so as well.
    prompts_->errors.clear();
    prompts_->saveFiles = QStringList{QString::fromStdString(files_.file("gone/words.MLX"))};
    offered = 0;
    prompts_->onDialog = pressThenCancel(1042);  // save as
    button(idSave)->click();
    ASSERT_EQ(prompts_->errors.size(), 1);
    EXPECT_TRUE(prompts_->errors[0].contains(QString::fromUtf8("文件或文件夹已不存在。"))) << prompts_->errors[0].toStdString();
    EXPECT_TRUE(editor_->modified());
}

// A lyric file opens the song it belongs to, whatever is open or failed.
TEST_F(EditorTest, ALyricFileOpensItsOwnSong) {
    open(song_);
    const std::string second = files_.file("second.wav");
    test::writeEditorSong(second);
    const std::string lrc = files_.file("second.lrc");
    test::writeFile(lrc, "[00:01.00]one\r\n[00:02.00]two\r\n");
    editor_->state().list.addOrUpdateSong(second, 0, 0, &lrc);
    // The song open now fails: an empty file.
    const std::string broken = files_.file("broken.mp3");
    test::writeFile(broken, "");
    editor_->openNamedFile(broken);
    prompts_->errors.clear();

    editor_->openNamedFile(lrc);
    EXPECT_EQ(editor_->state().list.current.songPath, second);
    EXPECT_EQ(editor_->state().list.current.lyricRef, lrc);
    EXPECT_EQ(editor_->sheet().lineAt(0)->text, "one");

    // A lyric of no known song is not bound to a song that failed.
    editor_->openNamedFile(broken);
    const std::string stray = files_.file("stray.lrc");
    test::writeFile(stray, "[00:01.00]x\r\n");
    prompts_->errors.clear();
    editor_->openNamedFile(stray);
    for (int i = 0; i < editor_->state().list.size(); ++i)
        EXPECT_NE(editor_->state().list.at(i)->lyricRef, stray);
}

TEST_F(EditorTest, AMissingSongIsReportedAndDropped) {
    auto prompts = std::make_unique<QuietPrompts>();
    QuietPrompts* p = prompts.get();
    EditorDialog editor(program_.path(), files_.file("gone.mp3"), "demo", std::move(prompts));
    QApplication::processEvents();
    test::waitUntil([&] { return !p->errors.isEmpty(); }, 3000);
    // The argument does not exist: the demonstration song is the only one, and
    // without a MIDI engine it cannot play.
    EXPECT_EQ(editor.state().list.findSong(files_.file("gone.mp3")), -1);
}

}  // namespace
}  // namespace melnix
