#include "editor/key_control.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

}  // namespace
}  // namespace melnix
