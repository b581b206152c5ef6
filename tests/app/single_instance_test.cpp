// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <thread>

#include <gtest/gtest.h>

#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    QString name() const { return instanceServerName(home_.path()); }
    test::TempDir home_;
};

// The second copy runs on its own thread, as it would in its own process,
// while this one serves.
HandOver handOverFromAnotherStart(const QString& name, const std::vector<std::string>& files, int waitMs = 5000) {
    HandOver result = HandOver::NoRunningCopy;
    bool done = false;
    std::thread start([&] {
        result = handToRunningCopy(name, files, waitMs);
        done = true;
    });
    test::waitUntil([&] { return done; }, waitMs + 5000);
    start.join();
    return result;
}

TEST_F(SingleInstanceTest, ASecondStartHandsItsFilesOverInTheMessage) {
    InstanceServer running;
    std::vector<std::vector<std::string>> received;
    QObject::connect(&running, &InstanceServer::handedOver,
                     [&](const std::vector<std::string>& paths) { received.push_back(paths); });
    ASSERT_TRUE(running.listen(name()));

    const std::string song = "/music/第一首.mp3";
    EXPECT_EQ(handOverFromAnotherStart(name(), {song}), HandOver::Taken);
    // A desktop's selection, in its order; a path far longer than the old
    // 260-byte limit of other systems arrives whole.
    const std::vector<std::string> selection = {"/music/second.wav", "/music/" + std::string(900, 'n') + ".mid",
                                                "/music/歌词.mlx"};
    EXPECT_EQ(handOverFromAnotherStart(name(), selection), HandOver::Taken);
    EXPECT_EQ(received, (std::vector<std::vector<std::string>>{{song}, selection}));
    // No file in the data folder that another start could overwrite.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(home_.file("Melnix_001.tmp"))));

    // Without files the running copy is only found.
    EXPECT_EQ(handToRunningCopy(name(), {}), HandOver::Taken);
    QCoreApplication::processEvents();
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(SingleInstanceTest, NoRunningCopyOrAnotherFolder) {
    EXPECT_EQ(handToRunningCopy(name(), {"/music/a.mp3"}), HandOver::NoRunningCopy);
    test::TempDir other;
    InstanceServer running;
    ASSERT_TRUE(running.listen(instanceServerName(other.path())));
    EXPECT_EQ(handToRunningCopy(name(), {"/music/a.mp3"}), HandOver::NoRunningCopy);
}

TEST_F(SingleInstanceTest, AnUnconfirmedHandOverSaysSo) {
    // A listener that takes the connection but never answers: a copy that hangs.
    QLocalServer mute;
    ASSERT_TRUE(mute.listen(name()));
    EXPECT_EQ(handOverFromAnotherStart(name(), {"/music/a.mp3"}, 300), HandOver::NotTaken);
}

TEST_F(SingleInstanceTest, ACrashedCopysSocketIsTakenOver) {
    {
        InstanceServer crashed;
        ASSERT_TRUE(crashed.listen(name()));
    }
    InstanceServer next;
    EXPECT_TRUE(next.listen(name()));
    EXPECT_EQ(handToRunningCopy(name(), {}), HandOver::Taken);
}

}  // namespace
}  // namespace melnix
