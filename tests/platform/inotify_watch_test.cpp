#include "platform/inotify_watch.h"
#include "platform/watch_set.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/tempdir.h"

namespace nomaro::platform {
namespace {

using test::TempDir;
constexpr unsigned kNames = FileNameChanges | DirectoryNameChanges;

TEST(InotifyWatch, NoHandleForAMissingPathOrAFile)
{
    TempDir dir;
    EXPECT_EQ(InotifyWatch::open(dir.pathOf("missing"), kNames, false), nullptr);
    EXPECT_EQ(InotifyWatch::open(dir.writeFile("file.txt"), kNames, false), nullptr);
    EXPECT_EQ(InotifyWatch::open("", kNames, false), nullptr);
}

TEST(InotifyWatch, DrainingReportsAChangeOnceAndReArms)
{
    TempDir dir;
    auto watch = InotifyWatch::open(dir.path(), kNames, false);
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Nothing);
    dir.writeFile("a.txt");
    dir.writeFile("b.txt");
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Changed);
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Nothing);
    ASSERT_EQ(::rename(dir.pathOf("a.txt").c_str(), dir.pathOf("c.txt").c_str()), 0);
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Changed);
}

TEST(InotifyWatch, OnlyTheAskedKindsCount)
{
    TempDir dir;
    auto folders = InotifyWatch::open(dir.path(), DirectoryNameChanges, false);
    auto sizes = InotifyWatch::open(dir.path(), SizeChanges, false);
    ASSERT_NE(folders, nullptr);
    ASSERT_NE(sizes, nullptr);
    dir.writeFile("a.txt", "text");
    EXPECT_EQ(folders->drain(), InotifyWatch::Drained::Nothing);
    EXPECT_EQ(sizes->drain(), InotifyWatch::Drained::Changed);
    dir.makeFolder("sub");
    EXPECT_EQ(folders->drain(), InotifyWatch::Drained::Changed);
    EXPECT_EQ(sizes->drain(), InotifyWatch::Drained::Nothing);
}

TEST(InotifyWatch, AnOverflowedQueueCountsAsAChange)
{
    TempDir dir;
    // Files are not asked for, so only the overflow can report a change.
    auto watch = InotifyWatch::open(dir.path(), DirectoryNameChanges, false);
    ASSERT_NE(watch, nullptr);
    for (int i = 0; i < 17000; ++i)
        dir.writeFile("f" + std::to_string(i));
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Changed);
}

TEST(InotifyWatch, TheWatchedFolderRemovedOrMovedAbandonsTheWatch)
{
    TempDir dir;
    const std::string removed = dir.makeFolder("removed");
    dir.writeFile("removed/a.txt");
    const std::string moved = dir.makeFolder("moved");
    auto removedWatch = InotifyWatch::open(removed, kNames, false);
    auto movedWatch = InotifyWatch::open(moved, kNames, false);
    ASSERT_NE(removedWatch, nullptr);
    ASSERT_NE(movedWatch, nullptr);
    // The deletion inside and the folder's own removal in one batch.
    ASSERT_EQ(::unlink(dir.pathOf("removed/a.txt").c_str()), 0);
    ASSERT_EQ(::rmdir(removed.c_str()), 0);
    EXPECT_EQ(removedWatch->drain(), InotifyWatch::Drained::Abandoned);
    ASSERT_EQ(::rename(moved.c_str(), dir.pathOf("elsewhere").c_str()), 0);
    EXPECT_EQ(movedWatch->drain(), InotifyWatch::Drained::Abandoned);
}

TEST(InotifyWatch, ASubtreeWatchHoldsOnlyTheFoldersHandedToIt)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    const std::string deeper = dir.makeFolder("sub/deeper");
    auto watch = InotifyWatch::open(dir.path(), kNames, true);
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(watch->folderCount(), 1u);

    dir.writeFile("sub/not-watched-yet.txt");
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Nothing);
    ASSERT_TRUE(watch->addFolder(sub));
    EXPECT_TRUE(watch->addFolder(sub)); // already held
    EXPECT_EQ(watch->folderCount(), 2u);
    dir.writeFile("sub/seen.txt");
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Changed);
    dir.writeFile("sub/deeper/not-handed.txt");
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Nothing);

    watch->removeFolder(sub);
    watch->removeFolder(dir.path()); // the root stays
    EXPECT_EQ(watch->folderCount(), 1u);
    dir.writeFile("sub/after-removal.txt");
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Nothing);
    dir.writeFile("at-root.txt");
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Changed);
}

TEST(InotifyWatch, FoldersOutsideTheRootOrItsMountAreRefused)
{
    TempDir dir;
    TempDir other;
    auto plain = InotifyWatch::open(dir.path(), kNames, false);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->addFolder(dir.makeFolder("sub")));

    auto subtree = InotifyWatch::open(dir.path(), kNames, true);
    ASSERT_NE(subtree, nullptr);
    EXPECT_FALSE(subtree->addFolder(other.path()));
    EXPECT_FALSE(subtree->addFolder(dir.path() + "x"));
    EXPECT_FALSE(subtree->addFolder(dir.pathOf("missing")));
    EXPECT_FALSE(subtree->addFolder(dir.writeFile("file.txt")));

    auto root = InotifyWatch::open("/", DirectoryNameChanges, true);
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(root->addFolder("/proc/self")); // another mount
    EXPECT_EQ(root->folderCount(), 1u);
}

TEST(InotifyWatch, AFolderBelowTheRootThatGoesJustLeavesTheSet)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    auto watch = InotifyWatch::open(dir.path(), kNames, true);
    ASSERT_NE(watch, nullptr);
    ASSERT_TRUE(watch->addFolder(sub));
    ASSERT_EQ(::rmdir(sub.c_str()), 0);
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Changed);
    EXPECT_EQ(watch->folderCount(), 1u);
    dir.writeFile("still-watched.txt");
    EXPECT_EQ(watch->drain(), InotifyWatch::Drained::Changed);
}

TEST(InotifyWatch, ASubtreeWatchHoldsAtMost4096Folders)
{
    TempDir dir;
    auto watch = InotifyWatch::open(dir.path(), kNames, true);
    ASSERT_NE(watch, nullptr);
    for (std::size_t i = 1; i < InotifyWatch::kMaxFolders; ++i)
        ASSERT_TRUE(watch->addFolder(dir.makeFolder("d" + std::to_string(i)))) << i;
    EXPECT_EQ(watch->folderCount(), InotifyWatch::kMaxFolders);
    EXPECT_FALSE(watch->addFolder(dir.makeFolder("one-too-many")));
}

// The set a watcher thread waits on.
TEST(WatchSet, AWaitAnswersTheSlotsThatSawAChangeAndEndsOnAWakeUp)
{
    TempDir quiet;
    TempDir busy;
    auto set = WatchSet::create(2);
    ASSERT_TRUE(set->valid());
    EXPECT_EQ(set->place(FolderWatch::open(quiet.path(), kNames, false)), 0);
    EXPECT_EQ(set->place(FolderWatch::open(busy.path(), kNames, false)), 1);
    EXPECT_EQ(set->place(FolderWatch::open(busy.path(), kNames, false)), -1); // full

    busy.writeFile("new.txt");
    const std::vector<WatchSet::Notice> notices = set->wait();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].slot, 1);
    EXPECT_FALSE(notices[0].spent);

    std::thread waker([&] { set->wake(); });
    EXPECT_TRUE(set->wait().empty());
    waker.join();

    EXPECT_TRUE(set->remove(0));
    EXPECT_FALSE(set->remove(0));
    EXPECT_EQ(set->at(0), nullptr);
    EXPECT_EQ(set->place(FolderWatch::open(quiet.path(), kNames, false)), 0);
    set->removeAll();
    EXPECT_EQ(set->at(1), nullptr);
}

TEST(WatchSet, AFolderDeletedWithItsFilesIsOneSpentNotice)
{
    TempDir dir;
    const std::string folder = dir.makeFolder("gone");
    dir.writeFile("gone/a.txt");
    auto set = WatchSet::create(1);
    ASSERT_EQ(set->place(FolderWatch::open(folder, kNames, false)), 0);
    ASSERT_EQ(::unlink(dir.pathOf("gone/a.txt").c_str()), 0);
    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    const std::vector<WatchSet::Notice> notices = set->wait();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].slot, 0);
    EXPECT_TRUE(notices[0].spent);
}

} // namespace
} // namespace nomaro::platform
