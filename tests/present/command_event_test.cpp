#include "present/command_event.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "recording_owner.h"

namespace melnix {
namespace {

using test::RecordingOwner;

TEST(CommandEvent, PostedCommandArrivesAfterTheCurrentEvent) {
    RecordingOwner owner;
    postCommand(&owner, cmdTogglePause);
    postCommand(&owner, 0xFFFFFFFFu);  // the full 32 bits travel
    EXPECT_TRUE(owner.commands.empty());
    QCoreApplication::sendPostedEvents(&owner);
    EXPECT_EQ(owner.commands, (std::vector<uint32_t>{cmdTogglePause, 0xFFFFFFFFu}));
}

TEST(CommandEvent, SentCommandRunsAtOnce) {
    RecordingOwner owner;
    EXPECT_TRUE(sendCommand(&owner, cmdWindowMoved));
    EXPECT_EQ(owner.commands, (std::vector<uint32_t>{cmdWindowMoved}));
    EXPECT_FALSE(sendCommand(nullptr, cmdWindowMoved));
}

TEST(CommandEvent, TypeIsRegisteredOnce) {
    QEvent::Type t = CommandEvent::eventType();
    EXPECT_GE(t, QEvent::User);
    EXPECT_EQ(CommandEvent::eventType(), t);
    EXPECT_NE(static_cast<QEvent::Type>(QEvent::registerEventType()), t);
}

TEST(CommandEvent, IdsAreTheFixedNumbers) {
    // Other windows and the editor agree on these numbers.
    EXPECT_EQ(cmdTogglePause, 1962228866u);
    EXPECT_EQ(cmdRestartSong, 1979858811u);
    EXPECT_EQ(cmdChooseSong, 1921858811u);
    EXPECT_EQ(cmdSubtitleFont, 1121876211u);
    EXPECT_EQ(cmdBackToEditor, 1121888811u);
    EXPECT_EQ(cmdExit, 1121858811u);
    EXPECT_EQ(cmdEscape, 1191858811u);
    EXPECT_EQ(cmdVolumeUp, 1121886111u);
    EXPECT_EQ(cmdVolumeDown, 1121886211u);
    EXPECT_EQ(cmdOtherPictures, 1122888881u);
    EXPECT_EQ(cmdWindowSize, 1971858811u);
    EXPECT_EQ(cmdWindowMoved, 1121899901u);
}

}  // namespace
}  // namespace melnix
