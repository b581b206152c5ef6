// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/video_export_runner.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "export_songs.h"
#include "mp4_reading.h"
#include "songlist/state_file.h"
#include "support/quiet_prompts.h"

namespace melnix {
namespace {

class EditorVideoExport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    std::string path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }

    VideoExportRequest request(const std::string& song) {
        AppState state;
        state.list.current.songPath = song;
        LyricSheet sheet;
        VideoExportRequest r = editorExportRequest(state, sheet, QStringLiteral("黑体"));
        r.preset = "ultrafast";
        return r;
    }

    // The options dialog answered: file, size index and quality index.
    void answerOptions(const QString& file, int size, int quality) {
        prompts_.onDialog = [=](QDialog& d) {
            d.findChild<QLineEdit*>()->setText(file);
            const auto boxes = d.findChildren<QComboBox*>();
            boxes.at(0)->setCurrentIndex(size);
            boxes.at(1)->setCurrentIndex(quality);
            return int(QDialog::Accepted);
        };
    }

    QTemporaryDir dir_;
    test::QuietPrompts prompts_;
};

TEST_F(EditorVideoExport, TheCurrentSongIsExportedAtTheChosenSize) {
    const std::string song = path("song.wav");
    test::writeFile(song, test::wavOf(test::chirp(2)));
    VideoExportRequest r = request(song);
    EXPECT_EQ(r.out, path("song.mp4"));  // offered beside the song
    EXPECT_EQ(request(path("clip.mp4")).out, path("clip-karaoke.mp4"));  // never over an MP4 song
    EXPECT_TRUE(r.show.closing.isEmpty());  // no tags: the video ends without words
    EXPECT_EQ(r.show.pictures.size(), 3u);  // the built-in pictures
    const QString out = QString::fromStdString(path("small.mp4"));
    answerOptions(out, 2, 0);
    EXPECT_TRUE(runVideoExport(nullptr, prompts_, r));
    EXPECT_EQ(prompts_.infos, QStringList{out});
    EXPECT_TRUE(prompts_.errors.isEmpty());
    const test::Mp4Contents mp4 = test::readMp4(out.toStdString());
    EXPECT_EQ(mp4.width, 854);
    EXPECT_EQ(mp4.height, 480);
    EXPECT_EQ(mp4.frames.size(), 60u);
}

// The dialog starts from what the last export chose: its size, its quality
// and its folder; what the user chooses now is kept for the next one.
TEST_F(EditorVideoExport, TheLastChoicesAreOfferedAgain) {
    const std::string song = path("song.wav");
    test::writeFile(song, test::wavOf(test::chirp(1)));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("videos"));
    ExportChoices remembered{2, 0, path("videos")};
    QString offered;
    int offeredSize = -1, offeredQuality = -1;
    prompts_.onDialog = [&](QDialog& d) {
        offered = d.findChild<QLineEdit*>()->text();
        const auto boxes = d.findChildren<QComboBox*>();
        offeredSize = boxes.at(0)->currentIndex();
        offeredQuality = boxes.at(1)->currentIndex();
        d.findChild<QLineEdit*>()->setText(QString::fromStdString(path("elsewhere.mp4")));
        boxes.at(0)->setCurrentIndex(1);
        boxes.at(1)->setCurrentIndex(2);
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(runVideoExport(nullptr, prompts_, request(song), &remembered));
    EXPECT_EQ(offered, QString::fromStdString(path("videos/song.mp4")));
    EXPECT_EQ(offeredSize, 2);
    EXPECT_EQ(offeredQuality, 0);
    EXPECT_EQ(remembered.size, 1);
    EXPECT_EQ(remembered.quality, 2);
    EXPECT_EQ(remembered.folder, dir_.path().toStdString());

    // A folder that is gone is not offered.
    remembered.folder = path("gone");
    prompts_.onDialog = [&](QDialog& d) {
        offered = d.findChild<QLineEdit*>()->text();
        return int(QDialog::Rejected);
    };
    EXPECT_FALSE(runVideoExport(nullptr, prompts_, request(song), &remembered));
    EXPECT_EQ(offered, QString::fromStdString(path("song.mp4")));
    EXPECT_EQ(remembered.folder, path("gone")) << "a cancelled export keeps the choices as they were";
}

TEST_F(EditorVideoExport, CancelInTheProgressDialogLeavesNoFile) {
    const std::string song = path("long.wav");
    test::writeFile(song, test::wavOf(test::chirp(30)));
    answerOptions(QString::fromStdString(path("long.mp4")), 0, 2);
    QTimer cancelSoon;
    QObject::connect(&cancelSoon, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->isVisible())
                if (auto* button = p->findChild<QPushButton*>()) button->click();
    });
    cancelSoon.start(300);
    EXPECT_FALSE(runVideoExport(nullptr, prompts_, request(song)));
    EXPECT_TRUE(prompts_.errors.isEmpty());
    EXPECT_TRUE(prompts_.infos.isEmpty());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"long.wav"});
}

TEST_F(EditorVideoExport, ASongThatCannotBeReadIsReported) {
    const std::string song = path("broken.mp3");
    test::writeFile(song, std::string(3000, 'x'));
    answerOptions(QString::fromStdString(path("broken.mp4")), 1, 1);
    EXPECT_FALSE(runVideoExport(nullptr, prompts_, request(song)));
    ASSERT_EQ(prompts_.errors.size(), 1);
    EXPECT_TRUE(prompts_.errors[0].startsWith(QStringLiteral("导出视频时出现错误，导出失败!:"))) << prompts_.errors[0].toStdString();
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"broken.mp3"});
}

TEST_F(EditorVideoExport, WithoutASongNothingIsAsked) {
    int dialogs = 0;
    prompts_.onDialog = [&](QDialog&) { return ++dialogs, int(QDialog::Rejected); };
    EXPECT_FALSE(runVideoExport(nullptr, prompts_, request("")));
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(prompts_.errors.size(), 1);
}

}  // namespace
}  // namespace melnix
