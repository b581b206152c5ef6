// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/key_control.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>

#include "playback/core/transport.h"
#include "support/test_files.h"
#include "support/tone_wav.h"

namespace melnix {
namespace {

TEST(KeyControl, SetsTheOpenSongsKeyAndShowsEachSongsOwn) {
    ::setenv("MELNIX_AUDIO", "null", 1);  // songs play in real time, silently
    test::TempDir dir;
    test::writeFile(dir.file("a.wav"), test::toneWav(5));
    test::writeFile(dir.file("b.wav"), test::toneWav(5));
    QWidget window;
    window.resize(640, 480);
    auto* beside = new QPushButton("import", &window);
    beside->setGeometry(432, 320, 76, 24);
    Transport transport;
    KeyControl key(&window, beside, transport);
    QSpinBox* box = key.spinBox();
    // Nothing open: nothing to change, placed right of the button.
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(box->geometry().left(), 514);
    EXPECT_EQ(box->geometry().top(), 320);

    ASSERT_TRUE(transport.openSong(dir.file("a.wav"), 0));
    key.refresh();
    EXPECT_TRUE(box->isEnabled());
    box->setValue(2);
    EXPECT_EQ(transport.key(), 2);
    box->stepBy(10);  // stops at half an octave
    EXPECT_EQ(transport.key(), 6);
    EXPECT_EQ(box->value(), 6);

    ASSERT_TRUE(transport.openSong(dir.file("b.wav"), 0));
    key.refresh();
    EXPECT_EQ(box->value(), 0);
    ASSERT_TRUE(transport.openSong(dir.file("a.wav"), 0));
    key.refresh();
    EXPECT_EQ(box->value(), 6);

    // It follows the button when the window lays itself out anew.
    beside->setGeometry(600, 500, 100, 30);
    key.refresh();
    EXPECT_EQ(box->geometry().left(), 706);
    EXPECT_EQ(box->geometry().height(), 30);
}

// Raise, lower and reset, as the box's menu and the window menu offer them:
// each one only where it changes something.
TEST(KeyControl, ItsItemsStepAndResetWithinTheRange) {
    ::setenv("MELNIX_AUDIO", "null", 1);
    test::TempDir dir;
    test::writeFile(dir.file("a.wav"), test::toneWav(5));
    QWidget window;
    Transport transport;
    KeyControl key(&window, nullptr, transport);
    auto items = [&] {
        QMenu menu;
        key.addItems(menu);
        QList<QAction*> a = menu.actions();
        EXPECT_EQ(a.size(), 3);
        std::vector<bool> on;
        for (QAction* i : a) on.push_back(i->isEnabled());
        return on;
    };
    EXPECT_EQ(items(), (std::vector<bool>{false, false, false}));  // no song
    ASSERT_TRUE(transport.openSong(dir.file("a.wav"), 0));
    EXPECT_EQ(items(), (std::vector<bool>{true, true, false}));
    struct Case {
        int delta;  // 0: reset
        int key;
        std::vector<bool> items;  // up, down, reset
    } const cases[] = {
        {+1, 1, {true, true, true}},   {+9, 6, {false, true, true}}, {+1, 6, {false, true, true}},
        {0, 0, {true, true, false}},   {-6, -6, {true, false, true}}, {-1, -6, {true, false, true}},
        {0, 0, {true, true, false}},
    };
    for (const Case& c : cases) {
        if (c.delta == 0) key.reset();
        else key.step(c.delta);
        EXPECT_EQ(transport.key(), c.key) << c.delta;
        EXPECT_EQ(key.spinBox()->value(), c.key) << c.delta;
        EXPECT_EQ(items(), c.items) << c.delta;
    }
    QMenu menu;
    key.addItems(menu);
    menu.actions().at(0)->trigger();
    EXPECT_EQ(transport.key(), 1);
    EXPECT_EQ(menu.actions().at(0)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Up));
}

}  // namespace
}  // namespace melnix
