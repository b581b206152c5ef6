// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/command_event.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "support/recording_owner.h"

namespace melnix {
namespace {

using test::RecordingOwner;

TEST(CommandEvent, PostedCommandArrivesAfterTheCurrentEvent) {
    RecordingOwner owner;
    postCommand(&owner, kCmdTogglePause);
    postCommand(&owner, 0xFFFFFFFFu);  // the full 32 bits travel
    EXPECT_TRUE(owner.commands.empty());
    QCoreApplication::sendPostedEvents(&owner);
    EXPECT_EQ(owner.commands, (std::vector<uint32_t>{kCmdTogglePause, 0xFFFFFFFFu}));
}

TEST(CommandEvent, SentCommandRunsAtOnce) {
    RecordingOwner owner;
    EXPECT_TRUE(sendCommand(&owner, kCmdWindowMoved));
    EXPECT_EQ(owner.commands, (std::vector<uint32_t>{kCmdWindowMoved}));
    EXPECT_FALSE(sendCommand(nullptr, kCmdWindowMoved));
}

TEST(CommandEvent, TypeIsRegisteredOnce) {
    QEvent::Type t = CommandEvent::eventType();
    EXPECT_GE(t, QEvent::User);
    EXPECT_EQ(CommandEvent::eventType(), t);
    EXPECT_NE(static_cast<QEvent::Type>(QEvent::registerEventType()), t);
}

TEST(CommandEvent, IdsAreTheFixedNumbers) {
    // Other windows and the editor agree on these numbers.
    EXPECT_EQ(kCmdTogglePause, 1962228866u);
    EXPECT_EQ(kCmdRestartSong, 1979858811u);
    EXPECT_EQ(kCmdChooseSong, 1921858811u);
    EXPECT_EQ(kCmdSubtitleFont, 1121876211u);
    EXPECT_EQ(kCmdBackToEditor, 1121888811u);
    EXPECT_EQ(kCmdExit, 1121858811u);
    EXPECT_EQ(kCmdEscape, 1191858811u);
    EXPECT_EQ(kCmdVolumeUp, 1121886111u);
    EXPECT_EQ(kCmdVolumeDown, 1121886211u);
    EXPECT_EQ(kCmdOtherPictures, 1122888881u);
    EXPECT_EQ(kCmdWindowSize, 1971858811u);
    EXPECT_EQ(kCmdWindowMoved, 1121899901u);
}

}  // namespace
}  // namespace melnix
