// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/presentation.h"

#include <QImage>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "editor/editor_dialog.h"
#include "editor/editor_ids.h"
#include "editor/progress_slider.h"
#include "export/show_renderer.h"
#include "present/default_pictures.h"
#include "common/file.h"
#include "present/core/presentation_math.h"
#include "songlist/song_session.h"
#include "songlist/state_file.h"
#include "present/picture_image.h"
#include "present/picture_window.h"
#include "support/editor_song.h"
#include "playback/media_player2.h"
#include "ui/command_event.h"
#include "present/subtitle_window.h"
#include "ui/colour_ref.h"
#include "support/quiet_prompts.h"
#include "songlist/background_list.h"
#include "support/media_files.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

QByteArray greenJpeg() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(0, 200, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

void writePicture(const std::string& path, QColor colour, QSize size = {320, 240}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "JPG"));
}

bool near(QRgb c, QColor want) {
    return std::abs(qRed(c) - want.red()) < 40 && std::abs(qGreen(c) - want.green()) < 40 &&
           std::abs(qBlue(c) - want.blue()) < 40;
}

TEST(PictureImage, UnreadablePicturesGiveWayToTheProgramsOwn) {
    test::TempDir dir;
    writePicture(dir.file("red.jpg"), Qt::red);
    test::writeFile(dir.file("broken.jpg"), std::string(100, 'x'));
    PictureImage image;
    EXPECT_TRUE(image.load(dir.file("red.jpg"), greenJpeg));
    EXPECT_TRUE(near(image.image().pixel(5, 5), Qt::red));
    for (const std::string& other : {dir.file("broken.jpg"), dir.file("missing.jpg"), std::string("__1.jpg")}) {
        EXPECT_FALSE(image.load(other, greenJpeg)) << other;
        EXPECT_EQ(image.size(), QSize(64, 48)) << other;
    }

    // Drawn centred above the subtitle band, the margins in the fill colour.
    ASSERT_TRUE(image.load(dir.file("red.jpg"), greenJpeg));
    const QImage shown = image.render(QSize(640, 480), kModeActual, Qt::blue, QSize(1024, 768));
    EXPECT_TRUE(near(shown.pixel(320, 200), Qt::red));
    EXPECT_TRUE(near(shown.pixel(5, 5), Qt::blue));
    EXPECT_TRUE(near(shown.pixel(320, 470), Qt::blue));
    const QImage fitted = image.render(QSize(640, 480), kModeFitted, Qt::blue, QSize(1024, 768));
    EXPECT_TRUE(near(fitted.pixel(5, 240), Qt::red));
}

// Commands the picture window sends its owner.
class CommandLog : public QWidget {
public:
    std::vector<uint32_t> ids;

protected:
    void customEvent(QEvent* e) override {
        if (e->type() == CommandEvent::eventType()) ids.push_back(static_cast<CommandEvent*>(e)->commandId());
    }
};

class PictureWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, colour] : {std::pair{"a.jpg", QColor(Qt::red)}, {"b.jpg", QColor(Qt::blue)},
                                           {"c.jpg", QColor(Qt::yellow)}}) {
            writePicture(dir_.file(name), colour);
            list_.entries.push_back(dir_.file(name));
        }
        owner_.resize(400, 300);
        window_ = new PictureWindow(&owner_, list_, greenJpeg);
        owner_.show();
    }
    QRgb middle() {
        QImage shot(window_->size(), QImage::Format_RGB32);
        window_->render(&shot);
        return shot.pixel(shot.width() / 2, shot.height() / 3);
    }
    void key(int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier), release(QEvent::KeyRelease, k, Qt::NoModifier);
        QApplication::sendEvent(window_, &press);
        QApplication::sendEvent(window_, &release);
        QApplication::processEvents();
    }
    void click(QPoint at) {
        QMouseEvent down(QEvent::MouseButtonPress, at, window_->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                         Qt::NoModifier);
        QMouseEvent up(QEvent::MouseButtonRelease, at, window_->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(window_, &down);
        QApplication::sendEvent(window_, &up);
        QApplication::processEvents();
    }

    test::TempDir dir_;
    BackgroundMediaList list_;
    CommandLog owner_;
    PictureWindow* window_ = nullptr;
};

TEST_F(PictureWindowTest, StepsThroughThePicturesBothWays) {
    window_->loadNow(list_.entries[0]);
    window_->startTransition(-1);  // the first one always directly
    list_.index = 1;
    window_->loadInBackground(list_.entries[1]);
    EXPECT_TRUE(near(middle(), Qt::red));
    key(Qt::Key_Right);
    EXPECT_TRUE(near(middle(), Qt::blue));
    EXPECT_EQ(list_.index, 2);
    key(Qt::Key_Down);
    EXPECT_TRUE(near(middle(), Qt::yellow));
    key(Qt::Key_Right);  // round to the first
    EXPECT_TRUE(near(middle(), Qt::red));
    key(Qt::Key_Left);
    EXPECT_TRUE(near(middle(), Qt::yellow));
    key(Qt::Key_Up);
    EXPECT_TRUE(near(middle(), Qt::blue));
}

TEST(PictureWindowTransitions, TheNextPictureIsRevealedByATickedEffect) {
    test::TempDir dir;
    writePicture(dir.file("a.jpg"), Qt::red);
    writePicture(dir.file("b.jpg"), Qt::blue);
    BackgroundMediaList list;
    list.entries = {dir.file("a.jpg"), dir.file("b.jpg")};
    std::array<uint8_t, 41> effects{};
    effects[1] = 1;  // the downward wipe only
    int32_t smoothness = 4;
    QWidget owner;
    owner.resize(320, 240);
    {
        PictureWindow window(&owner, list, greenJpeg, nullptr, &effects, &smoothness);
        owner.show();
        window.loadNow(list.entries[0]);
        window.startTransition(-1);  // the first picture: directly
        EXPECT_FALSE(window.transitionRunning());
        window.loadNow(list.entries[1]);
        window.startTransition(-1);
        EXPECT_TRUE(window.transitionRunning());
        ASSERT_TRUE(test::waitUntil([&] { return !window.transitionRunning(); }));
        QImage shot(window.size(), QImage::Format_RGB32);
        window.render(&shot);
        EXPECT_TRUE(near(shot.pixel(160, 100), Qt::blue));
    }
    // The window hands the smoothness back, finer after a quick effect.
    EXPECT_GE(smoothness, 4);
    EXPECT_LE(smoothness, 16);
}

TEST_F(PictureWindowTest, KeysWheelAndClicksCommandTheEditor) {
    const int mode = window_->displayMode();
    key(Qt::Key_Return);
    EXPECT_EQ(window_->displayMode(), (mode + 1) % 4);
    key(Qt::Key_Space);
    key(Qt::Key_Escape);
    key(Qt::Key_A);  // any other key: back to the editor
    key(Qt::Key_Alt);  // ignored
    EXPECT_EQ(owner_.ids, (std::vector<uint32_t>{kCmdTogglePause, kCmdEscape, kCmdBackToEditor}));

    // The release of an Esc pressed elsewhere (the one that closed the menu) does nothing.
    owner_.ids.clear();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window_, &release);
    QApplication::processEvents();
    EXPECT_TRUE(owner_.ids.empty());

    owner_.ids.clear();
    QWheelEvent wheel(QPointF(50, 50), window_->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window_, &wheel);
    EXPECT_EQ(owner_.ids, (std::vector<uint32_t>{kCmdVolumeUp, kCmdVolumeUp, kCmdVolumeUp}));

    // Two clicks in a row are a way back to the editor.
    owner_.ids.clear();
    click({200, 150});
    EXPECT_TRUE(owner_.ids.empty());
    click({200, 150});
    EXPECT_EQ(owner_.ids, std::vector<uint32_t>{kCmdBackToEditor});
}

class PresentationInTheEditor : public ::testing::Test {
protected:
    void SetUp() override {
        test::useQuietEditorEnvironment(home_.path());
        song_ = files_.file("tone.wav");
        test::writeEditorSong(song_);
        auto prompts = std::make_unique<test::QuietPrompts>();
        prompts_ = prompts.get();
        editor_ = std::make_unique<EditorDialog>(program_.path(), song_, "demo", std::move(prompts));
        editor_->show();
        ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
        editorSize_ = editor_->size();
        pauseHome_ = editor_->control(idPause)->geometry();
    }
    void press(int id) { qobject_cast<QAbstractButton*>(editor_->control(id))->click(); }

    test::TempDir home_, files_, program_;
    std::string song_;
    std::unique_ptr<EditorDialog> editor_;
    test::QuietPrompts* prompts_ = nullptr;
    QSize editorSize_;
    QRect pauseHome_;
};

TEST_F(PresentationInTheEditor, ShowsTheLineOverPicturesAndComesBack) {
    press(idPresent);
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    EXPECT_EQ(show.kind(), Presentation::Kind::Pictures);
    PictureWindow* pictures = show.pictureWindow();
    ASSERT_NE(pictures, nullptr);
    EXPECT_EQ(pictures->geometry(), editor_->rect());
    EXPECT_FALSE(editor_->rect().intersects(editor_->control(idPause)->geometry()));
    // The line is drawn in the show's own window, whatever a window manager
    // does with other top-level windows.
    SubtitleWindow* subtitle = editor_->subtitleWindow();
    EXPECT_EQ(subtitle->where(), SubtitlePlace::OnStage);
    EXPECT_EQ(subtitle->window(), editor_.get());
    // The song without pictures of its own shows the program's.
    EXPECT_EQ(editor_->state().background.entries.size(), 3u);

    // The first line is on the screen once its time has come.
    editor_->transport().seekUnits(250);
    ASSERT_TRUE(test::waitUntil([&] {
        return editor_->subtitleWindow()->isVisible() && editor_->subtitleWindow()->text() == test::g("第一句歌词");
    }));
    EXPECT_EQ(editor_->clockRunning(), false);  // the show drives the subtitle, not the editor's clock
    {
        // Above the pictures: the band of the window's own picture shows the
        // letters' rim.
        const QObjectList& stack = editor_->children();
        EXPECT_GT(stack.indexOf(subtitle), stack.indexOf(pictures));
        const QImage shot = editor_->grab().toImage();
        const QRect band = subtitle->geometry();
        int rim = 0;
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left(); x <= band.right(); ++x)
                if (shot.pixelColor(x, y) == colorFromColorRef(kSubtitleBackColour)) ++rim;
        EXPECT_GT(rim, 100);
    }
    // Minimised, the line goes on over the desktop; restored, it is back in the show.
    editor_->showMinimized();
    EXPECT_TRUE(test::waitUntil([&] { return subtitle->onDesktop(); }));
    editor_->showNormal();
    EXPECT_TRUE(test::waitUntil([&] { return subtitle->where() == SubtitlePlace::OnStage; }));

    // Space pauses for good: the show does not start the song again.
    editor_->runCommand(kCmdTogglePause);
    EXPECT_TRUE(show.userPaused());
    show.step();
    EXPECT_EQ(editor_->transport().playState(), PlayState::Paused);
    editor_->runCommand(kCmdTogglePause);
    EXPECT_EQ(editor_->transport().playState(), PlayState::Playing);

    // Esc reaching the editor window itself ends the show, not the program.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(editor_.get(), &esc);
    EXPECT_TRUE(editor_->isVisible());
    EXPECT_FALSE(show.running());
    press(idPresent);
    ASSERT_TRUE(show.running());

    editor_->runCommand(kCmdBackToEditor);
    EXPECT_FALSE(show.running());
    EXPECT_EQ(show.pictureWindow(), nullptr);
    EXPECT_FALSE(editor_->subtitleWindow()->onDesktop());
    EXPECT_EQ(editor_->control(idPause)->geometry(), pauseHome_);
    EXPECT_TRUE(test::waitUntil([&] { return editor_->clockRunning(); }));
}

// The show's window has no title bar at any size; the sizes of its menu and
// the external-screen item move it, and the editor comes back as it was.
TEST_F(PresentationInTheEditor, ShowWindowSizesWithoutATitleBar) {
    const Qt::WindowFlags editorFlags = editor_->windowFlags();
    press(idPresent);
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    EXPECT_TRUE(editor_->windowFlags() & Qt::FramelessWindowHint);
    QScreen* screen = QGuiApplication::primaryScreen();

    emit show.pictureWindow()->sizeRequested(QSize(1, 1));  // "全桌面": the work area
    EXPECT_FALSE(editor_->isFullScreen());
    EXPECT_EQ(editor_->geometry(), screen->availableGeometry());
    emit show.pictureWindow()->sizeRequested(QSize(640, 480));
    EXPECT_EQ(editor_->size(), QSize(640, 480));
    EXPECT_EQ(editor_->geometry().center(), screen->geometry().center());
    // The subtitle follows the window: at six sevenths down, 2/21 of the width high.
    const QRect band = editor_->subtitleWindow()->geometry();
    EXPECT_EQ(band.height(), 640 * 2 / 21);
    EXPECT_EQ(band.top(), 480 * 6 / 7);

    // One screen: no other to move to; the item says so by being disabled.
    QMenu* menu = show.pictureWindow()->menu();
    QAction* external = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == QString::fromUtf8("在外屏上显示")) external = a;
    ASSERT_NE(external, nullptr);
    QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QTimer::singleShot(0, menu, [menu] { menu->close(); });
    QApplication::sendEvent(show.pictureWindow(), &open);
    EXPECT_EQ(external->isEnabled(), QGuiApplication::screens().size() > 1);
    const QRect before = editor_->geometry();
    emit show.pictureWindow()->sizeRequested(QSize(160, 120));
    if (QGuiApplication::screens().size() == 1) {
        EXPECT_EQ(editor_->geometry(), before);
    }

    editor_->runCommand(kCmdBackToEditor);
    EXPECT_EQ(editor_->windowFlags(), editorFlags);
    EXPECT_TRUE(editor_->isVisible());
    EXPECT_EQ(editor_->size(), editorSize_);
}

// "导出视频" in the show's menus leaves the show for the export's dialog and
// comes back into it.
TEST_F(PresentationInTheEditor, ExportingFromTheShowComesBackIntoIt) {
    press(idPresent);
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    bool offeredOutsideTheShow = false;
    QString title;
    prompts_->onDialog = [&](QDialog& d) {
        title = d.windowTitle();
        offeredOutsideTheShow = !show.running() && editor_->transport().playState() == PlayState::Paused;
        return int(QDialog::Rejected);
    };
    editor_->runCommand(kCmdExportVideo);
    EXPECT_EQ(title, QString::fromUtf8("导出视频"));
    EXPECT_TRUE(offeredOutsideTheShow);
    EXPECT_TRUE(test::waitUntil([&] { return show.running(); }));
    EXPECT_EQ(editor_->transport().playState(), PlayState::Playing);
    bool inMenu = false;
    for (QAction* a : show.pictureWindow()->menu()->actions()) inMenu |= a->text() == QString::fromUtf8("导出视频...");
    EXPECT_TRUE(inMenu);
}

// The background colour and display mode outlive the program in the state file.
TEST_F(PresentationInTheEditor, BackgroundColourAndModeAreKept) {
    PictureWindow::restoreSetting(packPictureSetting(0x336699, kModeTiled));
    ASSERT_TRUE(editor_->close());
    editor_.reset();
    AppState saved;
    std::string bytes;
    ASSERT_TRUE(readWholeFile(SongSession::stateFilePath(), bytes, 1 << 20));
    readStateBytes(bytes, saved, true);
    uint32_t bgr = 0;
    int mode = -1;
    unpackPictureSetting(saved.pictureWindowSetting, bgr, mode);
    EXPECT_EQ(bgr, 0x336699u);
    EXPECT_EQ(mode, kModeTiled);
    PictureWindow::restoreSetting(0);
    EXPECT_EQ(PictureWindow::backColour(), QColor(0, 0, 0));
}

// Pictures chosen for one song stay with it: the next song without pictures
// of its own shows the program's.
TEST_F(PresentationInTheEditor, EachSongShowsItsOwnBackground) {
    const std::string picture = files_.file("beach.jpg");
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(QString::fromStdString(picture)));
    editor_->state().list.current.pictureList = picture;
    press(idPresent);
    ASSERT_TRUE(editor_->presentation().running());
    EXPECT_EQ(editor_->state().background.entries.front(), picture);
    editor_->runCommand(kCmdBackToEditor);

    const std::string second = files_.file("second.wav");
    test::writeEditorSong(second);
    editor_->openNamedFile(second);
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    press(idPresent);
    ASSERT_TRUE(editor_->presentation().running());
    const std::vector<std::string> builtIn = {builtInPictureName(0), builtInPictureName(1), builtInPictureName(2)};
    EXPECT_EQ(editor_->state().background.entries, builtIn);
}

TEST_F(PresentationInTheEditor, TheWipeRunsATenthAheadOfTheSound) {
    press(idPresent);
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    editor_->runCommand(kCmdTogglePause);
    // 2.5 s: inside the first line (from 2 s, 30 cs a character).
    editor_->transport().seekUnits(250);
    show.step();
    const SubtitleWindow& subtitle = *editor_->subtitleWindow();
    ASSERT_EQ(subtitle.text(), test::g("第一句歌词"));
    const int cs = editor_->transport().positionUnits() / editor_->transport().timeScale();
    EXPECT_EQ(subtitle.wipeX(), wipePosition(subtitle.layout(), subtitle.lineTiming(), cs + kWipeLead));
    EXPECT_GT(subtitle.wipeX(), wipePosition(subtitle.layout(), subtitle.lineTiming(), cs));
}

// Leaving a show paused with Space, the editor shows where the song stands,
// not where it stood before the show.
// The show on the screen and an exported video keep one schedule: at every
// moment of the song they show the same line, or both the closing text.
TEST_F(PresentationInTheEditor, TheShowAndTheExportShowTheSameLineThroughTheSong) {
    press(idPresent);
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    editor_->runCommand(kCmdTogglePause);  // held where the test puts it
    const LyricSheet& sheet = editor_->sheet();
    ASSERT_EQ(sheet.lineCount(), 2);
    ShowContent content;
    content.sheet = sheet;
    ShowRenderer video(content, QSize(320, 240), [] { return NextDefaultPicture(); });
    const SubtitleWindow* subtitle = editor_->subtitleWindow();
    const int scale = editor_->transport().timeScale();
    int changes = 0;
    for (int cs = 0; cs <= 700; cs += 10) {
        SCOPED_TRACE(cs);
        ASSERT_TRUE(editor_->transport().seekUnits(cs * scale));
        show.step();
        // A paused song lands on the block that holds cs: both go by where it stands.
        const int at = editor_->transport().positionUnits() / scale;
        const int before = video.shownLine();
        video.frameAt(int64_t{at} * 10000);
        if (video.shownLine() != before) ++changes;
        if (video.shownLine() >= 0) {
            EXPECT_EQ(subtitle->text(), sheet.lineAt(video.shownLine())->text);
        } else {
            EXPECT_NE(subtitle->text(), sheet.lineAt(0)->text);
            EXPECT_NE(subtitle->text(), sheet.lineAt(1)->text);
        }
    }
    EXPECT_EQ(changes, 3) << "the first line, the second and the closing text";
}

TEST_F(PresentationInTheEditor, LeavingAPausedShowShowsWhereTheSongStands) {
    press(idPresent);
    ASSERT_TRUE(editor_->presentation().running());
    editor_->runCommand(kCmdTogglePause);
    // Into the second line, far from where the editor looked.
    editor_->transport().seekUnits((editor_->sheet().lineAt(1)->startTime + 10) * editor_->transport().timeScale());
    editor_->runCommand(kCmdBackToEditor);
    ASSERT_FALSE(editor_->presentation().running());
    const int cs = editor_->transport().positionUnits() / editor_->transport().timeScale();
    auto* slider = qobject_cast<ProgressSlider*>(editor_->control(idSlider));
    ASSERT_NE(slider, nullptr);
    EXPECT_NEAR(slider->getPos(), cs, 20);  // a pixel of the slider is some 10 cs
    EXPECT_EQ(editor_->subtitleWindow()->text(), test::g("第二句"));
}

// The first start plays the demonstration song straight into the show; Esc
// there ends the program, while Esc in a show the user started goes back.
TEST(AutomaticShow, TheFirstStartGoesIntoTheShowAndEscEndsIt) {
    test::TempDir home, program;
    test::useQuietEditorEnvironment(home.path());
    const std::string demo = test::readFile(std::string(MELNIX_SOURCE_DIR) + "/res/BHL.MID");
    EditorDialog editor(program.path(), "", demo, std::make_unique<test::QuietPrompts>());
    editor.show();
    ASSERT_TRUE(test::waitUntil([&] { return editor.presentation().running(); }));
    editor.runCommand(kCmdBackToEditor);
    EXPECT_FALSE(editor.presentation().running());
    // Started by the user, Esc only leaves the show.
    qobject_cast<QAbstractButton*>(editor.control(idPresent))->click();
    ASSERT_TRUE(editor.presentation().running());
    editor.runCommand(kCmdEscape);
    EXPECT_FALSE(editor.presentation().running());
    EXPECT_TRUE(editor.isVisible());

    EditorDialog again(program.path(), "", demo, std::make_unique<test::QuietPrompts>());
    again.show();
    ASSERT_TRUE(test::waitUntil([&] { return again.presentation().running(); }));
    again.runCommand(kCmdEscape);
    EXPECT_TRUE(test::waitUntil([&] { return !again.isVisible(); }));
}

TEST_F(PresentationInTheEditor, ExitFromTheShowEndsTheProgram) {
    press(idPresent);
    ASSERT_TRUE(editor_->presentation().running());
    editor_->runCommand(kCmdExit);
    EXPECT_TRUE(test::waitUntil([&] { return !editor_->isVisible(); }));
    EXPECT_FALSE(editor_->presentation().running());
}

TEST_F(PresentationInTheEditor, TheShowGoesOnWithTheNextSong) {
    const std::string second = files_.file("second.wav");
    test::writeEditorSong(second);
    editor_->openNamedFile(second);
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    press(idPresent);
    ASSERT_TRUE(editor_->presentation().running());
    // Near its end the song runs out; the one before it in the list follows.
    // It has pictures of its own, and its show begins with them.
    const std::string ownPicture = files_.file("own.png");
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(QString::fromStdString(ownPicture)));
    const int first = editor_->state().list.findSong(song_);
    ASSERT_GE(first, 0);
    editor_->state().list.at(first)->pictureList = ownPicture + "|" + ownPicture;
    editor_->transport().seekUnits(2950);
    ASSERT_TRUE(test::waitUntil([&] { return editor_->windowTitle() == QString::fromStdString("Melnix  " + song_); }));
    EXPECT_TRUE(editor_->presentation().running());
    ASSERT_NE(editor_->presentation().pictureWindow(), nullptr);
    EXPECT_EQ(editor_->presentation().pictureWindow()->current().path(), ownPicture);
    EXPECT_TRUE(test::waitUntil([&] { return editor_->transport().playState() == PlayState::Playing; }));
    // The subtitle stays on the stage for the new song.
    EXPECT_EQ(editor_->subtitleWindow()->where(), SubtitlePlace::OnStage);
    editor_->transport().seekUnits(250);
    EXPECT_TRUE(test::waitUntil([&] {
        return editor_->subtitleWindow()->isVisible() && editor_->subtitleWindow()->text() == test::g("第一句歌词");
    }));
}

TEST_F(PresentationInTheEditor, ABackgroundVideoPlaysSilentlyBehindTheLyric) {
    const std::string clip = test::makeTestMedia(files_.path(), "clip.mpg", 4);
    ASSERT_FALSE(clip.empty());
    editor_->state().list.current.pictureList = clip;
    press(idPresent);
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    EXPECT_EQ(show.kind(), Presentation::Kind::Video);
    auto* player = editor_->findChild<CMediaPlayer2*>("control1003");
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->GetMute());
    EXPECT_EQ(player->geometry(), editor_->rect());
    EXPECT_TRUE(test::waitUntil([&] { return player->GetPlayState() == kMpPlaying; }));
    editor_->runCommand(kCmdBackToEditor);
    EXPECT_FALSE(show.running());
    EXPECT_TRUE(test::waitUntil([&] { return editor_->findChild<CMediaPlayer2*>("control1003") == nullptr; }));
}

TEST_F(PresentationInTheEditor, MusicChosenForAVideoSongPlaysInsteadOfItsSound) {
    const std::string clip = test::makeTestMedia(files_.path(), "clip.mpg", 4);
    ASSERT_FALSE(clip.empty());
    editor_->openNamedFile(clip);
    ASSERT_TRUE(test::waitUntil([&] { return editor_->transport().videoWidth() >= 2; }));
    editor_->state().list.current.pictureList = song_;
    press(idPresent);
    Presentation& show = editor_->presentation();
    ASSERT_TRUE(show.running());
    EXPECT_EQ(show.kind(), Presentation::Kind::Video);
    auto* music = editor_->findChild<CMediaPlayer2*>("control1003");
    ASSERT_NE(music, nullptr);
    EXPECT_FALSE(music->GetMute());
    EXPECT_TRUE(editor_->transport().isMuted());
    editor_->runCommand(kCmdBackToEditor);
    EXPECT_FALSE(editor_->transport().isMuted());
    EXPECT_TRUE(test::waitUntil([&] { return editor_->findChild<CMediaPlayer2*>("control1003") == nullptr; }));
}

}  // namespace
}  // namespace melnix
