#include "app/single_instance.h"
#include "common/hand_over_file.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    std::string folder() const { return home_.path(); }
    QString name() const { return instanceServerName(folder()); }
    test::TempDir home_;
};

TEST_F(SingleInstanceTest, ASecondStartHandsItsFileOverAndEnds) {
    InstanceServer running;
    int handed = 0;
    QObject::connect(&running, &InstanceServer::handedOver, [&] { ++handed; });
    ASSERT_TRUE(running.listen(name()));

    // The second copy writes, sends and disconnects before the first one has
    // looked at the connection.
    const std::string song = "/music/第一首.mp3";
    EXPECT_TRUE(handToRunningCopy(name(), folder(), song));
    ASSERT_TRUE(test::waitUntil([&] { return handed == 1; }));
    EXPECT_EQ(takeHandedOverPath(folder()), song);
    EXPECT_EQ(test::readFile(home_.file("Melnix_001.tmp")), song + '\0');

    EXPECT_TRUE(handToRunningCopy(name(), folder(), "/music/second.wav"));
    ASSERT_TRUE(test::waitUntil([&] { return handed == 2; }));
    EXPECT_EQ(takeHandedOverPath(folder()), "/music/second.wav");

    // Without a file the running copy is only found.
    EXPECT_TRUE(handToRunningCopy(name(), folder(), ""));
    QCoreApplication::processEvents();
    EXPECT_EQ(handed, 2);
}

TEST_F(SingleInstanceTest, NoRunningCopyOrAnotherFolder) {
    EXPECT_FALSE(handToRunningCopy(name(), folder(), "/music/a.mp3"));
    test::TempDir other;
    InstanceServer running;
    ASSERT_TRUE(running.listen(instanceServerName(other.path())));
    EXPECT_FALSE(handToRunningCopy(name(), folder(), "/music/a.mp3"));
    EXPECT_EQ(takeHandedOverPath(folder()), "");
}

TEST_F(SingleInstanceTest, ACrashedCopysSocketIsTakenOver) {
    {
        InstanceServer crashed;
        ASSERT_TRUE(crashed.listen(name()));
    }
    InstanceServer next;
    EXPECT_TRUE(next.listen(name()));
    EXPECT_TRUE(handToRunningCopy(name(), folder(), ""));
}

}  // namespace
}  // namespace melnix
