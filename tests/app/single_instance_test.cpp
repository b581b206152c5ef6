#include "app/single_instance.h"
#include "common/hand_over_file.h"

#include <QCoreApplication>
#include <cstdio>

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
    EXPECT_TRUE(handToRunningCopy(name(), folder(), {song}));
    ASSERT_TRUE(test::waitUntil([&] { return handed == 1; }));
    EXPECT_EQ(takeHandedOverPaths(folder()), std::vector<std::string>{song});
    EXPECT_EQ(test::readFile(home_.file("Melnix_001.tmp")), song + '\0');

    // A desktop's selection, in its order; a path far longer than the old
    // 260-byte limit of other systems arrives whole.
    const std::vector<std::string> selection = {"/music/second.wav", "/music/" + std::string(900, 'n') + ".mid",
                                                "/music/歌词.mlx"};
    EXPECT_TRUE(handToRunningCopy(name(), folder(), selection));
    ASSERT_TRUE(test::waitUntil([&] { return handed == 2; }));
    EXPECT_EQ(takeHandedOverPaths(folder()), selection);

    // Without a file the running copy is only found.
    EXPECT_TRUE(handToRunningCopy(name(), folder(), {}));
    QCoreApplication::processEvents();
    EXPECT_EQ(handed, 2);
}

TEST_F(SingleInstanceTest, NoRunningCopyOrAnotherFolder) {
    EXPECT_FALSE(handToRunningCopy(name(), folder(), {"/music/a.mp3"}));
    test::TempDir other;
    InstanceServer running;
    ASSERT_TRUE(running.listen(instanceServerName(other.path())));
    EXPECT_FALSE(handToRunningCopy(name(), folder(), {"/music/a.mp3"}));
    EXPECT_TRUE(takeHandedOverPaths(folder()).empty());
}

TEST_F(SingleInstanceTest, ACrashedCopysSocketIsTakenOver) {
    {
        InstanceServer crashed;
        ASSERT_TRUE(crashed.listen(name()));
    }
    InstanceServer next;
    EXPECT_TRUE(next.listen(name()));
    EXPECT_TRUE(handToRunningCopy(name(), folder(), {}));
}

// What other writers leave: a path without its end byte, and empty items.
TEST_F(SingleInstanceTest, HandOverFileReadsEveryPathItHolds) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::vector<std::string> paths;
    } cases[] = {
        {"/a.mp3"s, {"/a.mp3"}},
        {"/a.mp3\0/b.kar"s, {"/a.mp3", "/b.kar"}},
        {"\0/a.mp3\0\0/b.kar\0"s, {"/a.mp3", "/b.kar"}},
        {""s, {}},
    };
    for (const auto& c : cases) {
        test::writeFile(home_.file("Melnix_001.tmp"), c.bytes);
        EXPECT_EQ(takeHandedOverPaths(folder()), c.paths) << c.bytes;
    }
    std::remove(home_.file("Melnix_001.tmp").c_str());
    EXPECT_TRUE(takeHandedOverPaths(folder()).empty());
}

}  // namespace
}  // namespace melnix
