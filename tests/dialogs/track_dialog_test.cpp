// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/track_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "editor/editor_dialog.h"
#include "playback/core/midi_song_engine.h"
#include "support/editor_song.h"
#include "midi/smf_builder.h"
#include "support/quiet_prompts.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::SmfTrack;

// Track 0 the tempo, track 1 "Piano" (program 0, volume 100), track 2
// "Melody" (program 73, volume 90), track 3 drums without program or
// volume; a note every half second on each of 1..3 for `seconds`.
std::vector<uint8_t> bandSong(int seconds = 2) {
    SmfTrack t0;
    t0.meta(0, 0x03, "Song").tempo(0, 500000).end();
    SmfTrack t1, t2, t3;
    t1.meta(0, 0x03, "Piano").event(0, {0xC0, 0}).event(0, {0xB0, 7, 100});
    t2.meta(0, 0x03, "Melody").event(0, {0xC1, 73}).event(0, {0xB1, 7, 90});
    t3.meta(0, 0x03, "Drums");
    for (int i = 0; i < seconds * 2; ++i) {
        t1.noteOn(0, 48, 80).noteOn(240, 48, 0, 0).noteOn(240, 50, 0);  // the last: a velocity-0 filler
        t2.noteOn(0, 72, 100, 1).noteOn(480, 72, 0, 1);
        t3.noteOn(0, 36, 100, 9).noteOn(480, 36, 0, 9);
    }
    return test::smfFile({t0, t1.end(), t2.end(), t3.end()});
}

class TrackDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::useQuietEditorEnvironment(home_.path());
        ASSERT_TRUE(song_.LoadBytes(bandSong(), nullptr));
        playing_ = song_.trackCount;
        dialog_ = std::make_unique<TrackDialog>(nullptr, song_, playing_);
        dialog_->show();
        dialog_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    }
    QTableWidget* list() { return dialog_->list(); }
    QString cell(int row, int column) { return list()->item(row, column)->text(); }
    QStringList column(int c) {
        QStringList texts;
        for (int r = 0; r < list()->rowCount(); ++r) texts << cell(r, c);
        return texts;
    }
    void doubleClick(int row, int column) {
        const QRect r = list()->visualRect(list()->model()->index(row, column));
        // The view takes a double-click only on the cell its press was on.
        QTest::mousePress(list()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, r.center());
        QApplication::processEvents();
    }
    QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(dialog_->control(id)); }
    QLineEdit* volumeEdit() { return qobject_cast<QLineEdit*>(dialog_->control(idTrackVolumeEdit)); }
    QComboBox* instrumentBox() { return qobject_cast<QComboBox*>(dialog_->control(idTrackInstrumentBox)); }
    // Moves the keyboard focus away from an in-place editor, as a click elsewhere does.
    void leaveEditor() {
        list()->setFocus();
        QApplication::processEvents();
    }

    test::TempDir home_;
    MidiSongFile song_;
    int playing_ = 0;
    std::unique_ptr<TrackDialog> dialog_;
};

TEST_F(TrackDialogTest, ListsTheTracksInItsColumns) {
    EXPECT_EQ(dialog_->windowTitle(), QString::fromUtf8("MIDI音轨"));
    const QStringList headers = {"轨号", "播放状态", "主旋律", "音轨名称", "音符数", "音量", "乐器中文名", "乐器英文名"};
    ASSERT_EQ(list()->columnCount(), 8);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(list()->horizontalHeaderItem(c)->text(), headers[c]);
    // Each column holds its title and its cells, and the list shows them all.
    const int widths[] = {48, 80, 64, 120, 64, 48};
    int total = 0;
    for (int c = 0; c < 8; ++c) {
        if (c < 6) {
            EXPECT_GE(list()->columnWidth(c), widths[c]) << c;
        }
        EXPECT_GT(list()->columnWidth(c), list()->horizontalHeader()->fontMetrics().horizontalAdvance(headers[c])) << c;
        for (int r = 0; r < list()->rowCount(); ++r)
            EXPECT_GT(list()->columnWidth(c), list()->fontMetrics().horizontalAdvance(list()->item(r, c)->text())) << c;
        total += list()->columnWidth(c);
    }
    EXPECT_LE(total, list()->viewport()->width());
    EXPECT_EQ(list()->palette().color(QPalette::Text), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(list()->palette().color(QPalette::Base), QColor(0xE4, 0xE4, 0xE4));
    EXPECT_TRUE(list()->showGrid());
    EXPECT_EQ(list()->selectionBehavior(), QAbstractItemView::SelectRows);

    ASSERT_EQ(list()->rowCount(), 4);
    EXPECT_EQ(column(kColTrackNumber), (QStringList{"   0", "   1", "   2", "   3"}));
    EXPECT_EQ(column(kColMelody), (QStringList{"", "", "主旋律", ""}));
    EXPECT_EQ(column(kColNoteCount), (QStringList{"    0", "    4", "    4", "    4"}));
    EXPECT_EQ(column(kColVolume), (QStringList{"默认", " 100", "  90", "默认"}));
    EXPECT_EQ(column(kColEnglishInstrument), (QStringList{"", "Acoustic Grand Piano", "Flute", ""}));

    const std::pair<int, const char*> buttons[] = {
        {idTrackOk, "确 定"}, {idTrackInvert, "反选播放状态"}, {idTrackReset, "复 位"}, {idTrackMelodyAlone, "只播主旋律"}};
    for (const auto& [id, caption] : buttons) {
        ASSERT_NE(button(id), nullptr) << id;
        EXPECT_EQ(button(id)->text(), QString::fromUtf8(caption));
        EXPECT_TRUE(button(id)->isVisible()) << id;
    }
    EXPECT_FALSE(button(idTrackCancel)->isVisible());
    EXPECT_FALSE(volumeEdit()->isVisible());
    EXPECT_FALSE(instrumentBox()->isVisible());
    bool hinted = false;
    for (QLabel* l : dialog_->findChildren<QLabel*>())
        hinted |= l->text() == QString::fromUtf8("在下列列表中双击“播放状态”、“主旋律”、“音量”、“乐器名称”可改变其值。");
    EXPECT_TRUE(hinted);
}

TEST_F(TrackDialogTest, DoubleClickTogglesPlayAndMovesTheMelody) {
    doubleClick(3, kColPlayStatus);
    EXPECT_EQ(column(kColPlayStatus), (QStringList{"  播放", "  播放", "  播放", " 不播放"}));
    EXPECT_TRUE(song_.tracks[3].muted());
    doubleClick(1, kColMelody);
    EXPECT_EQ(column(kColMelody), (QStringList{"", "主旋律", "", ""}));
    // Cells that cannot change do nothing.
    for (int c : {kColTrackNumber, kColTrackName, kColNoteCount}) doubleClick(1, c);
    doubleClick(3, kColVolume);
    doubleClick(0, kColChineseInstrument);
    EXPECT_FALSE(volumeEdit()->isVisible());
    EXPECT_FALSE(instrumentBox()->isVisible());
    EXPECT_EQ(column(kColPlayStatus), (QStringList{"  播放", "  播放", "  播放", " 不播放"}));
}

TEST_F(TrackDialogTest, VolumeIsTypedOverItsCell) {
    doubleClick(2, kColVolume);
    ASSERT_TRUE(volumeEdit()->isVisible());
    EXPECT_TRUE(volumeEdit()->hasFocus());
    EXPECT_EQ(volumeEdit()->text(), "90");
    // Over the cell, two pixels taller above and below.
    const QRect c = list()->visualRect(list()->model()->index(2, kColVolume));
    const QPoint at = list()->viewport()->mapTo(dialog_.get(), c.topLeft());
    EXPECT_EQ(volumeEdit()->geometry(), QRect(at.x(), at.y() - 2, c.width(), c.height() + 4));

    volumeEdit()->setText("300");
    leaveEditor();
    EXPECT_FALSE(volumeEdit()->isVisible());
    EXPECT_EQ(cell(2, kColVolume), " 127");
    EXPECT_EQ(song_.fileData[static_cast<size_t>(song_.tracks[2].volumeByte)], 127);

    // Enter finishes the edit and leaves the dialog open.
    doubleClick(2, kColVolume);
    volumeEdit()->setText("-4");
    QTest::keyClick(volumeEdit(), Qt::Key_Return);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_FALSE(volumeEdit()->isVisible());
    EXPECT_EQ(cell(2, kColVolume), "   0");
}

TEST_F(TrackDialogTest, InstrumentIsChosenOverItsCell) {
    struct Case {
        int column;
        const char* first;
        const char* shown;
    };
    const Case cases[] = {{kColChineseInstrument, "平台钢琴", "小提琴"}, {kColEnglishInstrument, "Acoustic Grand Piano", "Violin"}};
    for (const Case& k : cases) {
        doubleClick(2, k.column);
        ASSERT_TRUE(instrumentBox()->isVisible());
        EXPECT_EQ(instrumentBox()->count(), 128);
        EXPECT_EQ(instrumentBox()->itemText(0), QString::fromUtf8(k.first));
        EXPECT_EQ(instrumentBox()->currentIndex(), 73);
        const QRect c = list()->visualRect(list()->model()->index(2, k.column));
        EXPECT_EQ(instrumentBox()->geometry().topLeft(), list()->viewport()->mapTo(dialog_.get(), c.topLeft()) - QPoint(0, 3));
        // Its list dropping down takes the focus without ending the choice.
        instrumentBox()->showPopup();
        QApplication::processEvents();
        EXPECT_TRUE(instrumentBox()->isVisible());
        instrumentBox()->setCurrentIndex(40);
        instrumentBox()->hidePopup();
        QApplication::processEvents();
        EXPECT_TRUE(instrumentBox()->isVisible());
        leaveEditor();
        EXPECT_FALSE(instrumentBox()->isVisible());
        EXPECT_EQ(cell(2, k.column), QString::fromUtf8(k.shown));
        EXPECT_EQ(song_.fileData[static_cast<size_t>(song_.tracks[2].programByte)], 40);
        // Back, through the reset.
        button(idTrackReset)->click();
        EXPECT_EQ(song_.fileData[static_cast<size_t>(song_.tracks[2].programByte)], 73);
    }
}

TEST_F(TrackDialogTest, InvertAndResetThePlayStatus) {
    doubleClick(2, kColPlayStatus);
    doubleClick(1, kColVolume);
    volumeEdit()->setText("5");
    button(idTrackInvert)->click();  // an open edit is taken first
    EXPECT_EQ(column(kColPlayStatus), (QStringList{" 不播放", " 不播放", "  播放", " 不播放"}));
    EXPECT_EQ(cell(1, kColVolume), "   5");
    button(idTrackReset)->click();
    EXPECT_EQ(column(kColPlayStatus), (QStringList{"  播放", "  播放", "  播放", "  播放"}));
    EXPECT_EQ(cell(1, kColVolume), " 100");
    EXPECT_EQ(playing_, 4);  // only OK counts
}

TEST_F(TrackDialogTest, ClosingButtons) {
    struct Case {
        const char* name;
        std::function<void(TrackDialog&)> close;
        int result;
        int playing;
        std::vector<bool> muted;
    };
    const Case cases[] = {
        {"ok", [](TrackDialog& d) { qobject_cast<QAbstractButton*>(d.control(idTrackOk))->click(); }, QDialog::Accepted,
         3, {false, true, false, false}},
        {"melody alone", [](TrackDialog& d) { qobject_cast<QAbstractButton*>(d.control(idTrackMelodyAlone))->click(); },
         QDialog::Accepted, 1, {true, true, false, true}},
        {"escape", [](TrackDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, QDialog::Rejected, 4,
         {false, true, false, false}},
    };
    for (const Case& c : cases) {
        SetUp();
        doubleClick(1, kColPlayStatus);
        doubleClick(1, kColVolume);
        volumeEdit()->setText("77");
        c.close(*dialog_);
        EXPECT_FALSE(dialog_->isVisible()) << c.name;
        EXPECT_EQ(dialog_->result(), c.result) << c.name;
        EXPECT_EQ(playing_, c.playing) << c.name;
        std::vector<bool> muted;
        for (const MidiTrack& t : song_.tracks) muted.push_back(t.muted());
        EXPECT_EQ(muted, c.muted) << c.name;
        // The edit still open when the dialog closed is kept.
        EXPECT_EQ(song_.fileData[static_cast<size_t>(song_.tracks[1].volumeByte)], 77) << c.name;
    }
}

// The dialog over the editor playing a MIDI song.
class EditorTracksTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::useQuietEditorEnvironment(home_.path());
        song_ = files_.file("band.mid");
        test::writeBytes(song_, bandSong(30));
        auto prompts = std::make_unique<test::QuietPrompts>();
        editor_ = std::make_unique<EditorDialog>(program_.path(), song_, "demo", std::move(prompts));
        editor_->show();
        ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
        ASSERT_TRUE(editor_->transport().kind() == SongKind::Midi);
    }
    MidiStreamPlayer& player() { return static_cast<MidiSongEngine*>(editor_->transport().engine())->player(); }
    // Presses the tracks button and lets `act` work the dialog once it is up.
    void runTracks(const std::function<void(TrackDialog&)>& act) {
        bool seen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* d = qobject_cast<TrackDialog*>(QApplication::activeModalWidget());
            if (!d || seen) return;
            seen = true;
            act(*d);
        });
        poll.start(10);
        qobject_cast<QAbstractButton*>(editor_->control(idTracks))->click();
        EXPECT_TRUE(seen);
    }
    std::set<int> noteTracks() {
        std::set<int> tracks;
        for (const NoteSpan& n : editor_->noteList()) tracks.insert(n.track());
        return tracks;
    }

    test::TempDir home_, files_, program_;
    std::string song_;
    std::unique_ptr<EditorDialog> editor_;
};

TEST_F(EditorTracksTest, MelodyAloneLeavesOneTrackPlayingForTheSync) {
    ASSERT_TRUE(editor_->control(idTracks)->isVisible());
    EXPECT_FALSE(editor_->transport().engine()->playsMelodyAlone());
    EXPECT_EQ(noteTracks(), (std::set<int>{1, 2, 3}));
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().positionUnits() > 50; }));

    // Escape keeps the marks but restarts nothing.
    runTracks([](TrackDialog& d) {
        d.activateCell(3, kColPlayStatus);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_TRUE(player().tracks[3].muted());
    EXPECT_EQ(player().playingTrackCount, 4);
    EXPECT_EQ(noteTracks(), (std::set<int>{1, 2, 3}));

    const int before = editor_->transport().positionUnits();
    runTracks([](TrackDialog& d) { qobject_cast<QAbstractButton*>(d.control(idTrackMelodyAlone))->click(); });
    EXPECT_TRUE(editor_->transport().engine()->playsMelodyAlone());
    EXPECT_EQ(noteTracks(), (std::set<int>{2}));
    // Played on from where it was.
    EXPECT_EQ(editor_->transport().playState(), PlayState::Playing);
    EXPECT_GE(editor_->transport().positionUnits(), before);
    EXPECT_LT(editor_->transport().positionUnits(), before + 300);

    // OK with every track playing again ends the melody-alone state.
    runTracks([](TrackDialog& d) {
        qobject_cast<QAbstractButton*>(d.control(idTrackReset))->click();
        qobject_cast<QAbstractButton*>(d.control(idTrackOk))->click();
    });
    EXPECT_FALSE(editor_->transport().engine()->playsMelodyAlone());
    EXPECT_EQ(noteTracks(), (std::set<int>{1, 2, 3}));
}

}  // namespace
}  // namespace melnix
