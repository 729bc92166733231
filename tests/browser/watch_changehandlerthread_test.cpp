#include "browser/changehandlerthread.h"

#include <QElapsedTimer>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "tests/browser/watch_support.h"
#include "tests/support/tempdir.h"

namespace nomaro {
namespace {

using test::TempDir;
constexpr unsigned kNames = platform::FileNameChanges | platform::DirectoryNameChanges;

// The owner side: keeps the slot numbers of the notices it receives.
class NoticeRecorder : public QObject
{
public:
    std::vector<int> slots;

    bool event(QEvent *event) override
    {
        if (event->type() != ChangeNoticeEvent::type())
            return QObject::event(event);
        slots.push_back(static_cast<ChangeNoticeEvent *>(event)->slot());
        return true;
    }
};

TEST(ChangeHandlerThread, AFileCreatedInAWatchedFolderPostsTheSlotNumber)
{
    TempDir quiet;
    TempDir busy;
    NoticeRecorder owner;
    ChangeHandlerThread watcher(&owner);
    int quietSlot = -1;
    int busySlot = -1;
    ASSERT_TRUE(watcher.AddWatch(quiet.path(), kNames, &quietSlot, false));
    ASSERT_TRUE(watcher.AddWatch(busy.path(), kNames, &busySlot, false));
    EXPECT_EQ(quietSlot, 0);
    EXPECT_EQ(busySlot, 1);

    busy.writeFile("new.txt");
    ASSERT_TRUE(test::processEventsUntil([&] { return !owner.slots.empty(); }, 5000));
    test::processEventsFor(100);
    EXPECT_EQ(owner.slots, std::vector<int>{busySlot});
}

TEST(ChangeHandlerThread, NoPathOrAnUnwatchablePathGivesNoWatch)
{
    TempDir dir;
    ChangeHandlerThread watcher(nullptr);
    int slot = -1;
    EXPECT_FALSE(watcher.AddWatch("", kNames, &slot, false));
    EXPECT_FALSE(watcher.AddWatch(dir.pathOf("missing"), kNames, &slot, false));
    EXPECT_FALSE(watcher.AddWatch(dir.writeFile("file.txt"), kNames, &slot, false));
    EXPECT_EQ(slot, -1);
}

TEST(ChangeHandlerThread, SixtyThreeWatchesAreAcceptedAndTheSixtyFourthRefused)
{
    TempDir dir;
    ChangeHandlerThread watcher(nullptr);
    for (int i = 0; i < ChangeHandlerThread::kSlotCount; ++i) {
        int slot = -1;
        ASSERT_TRUE(watcher.AddWatch(dir.makeFolder("d" + std::to_string(i)), kNames, &slot, false)) << i;
        EXPECT_EQ(slot, i);
    }
    const int descriptorsWhenFull = test::openDescriptorCount();
    int slot = -1;
    EXPECT_FALSE(watcher.AddWatch(dir.makeFolder("one-too-many"), kNames, &slot, false));
    EXPECT_EQ(test::openDescriptorCount(), descriptorsWhenFull); // the refused handle is closed

    // A freed slot is the next one given.
    ASSERT_TRUE(watcher.RemoveWatch(17));
    ASSERT_TRUE(watcher.AddWatch(dir.pathOf("one-too-many"), kNames, &slot, false));
    EXPECT_EQ(slot, 17);
    ASSERT_TRUE(watcher.RemoveAllWatches());
    ASSERT_TRUE(watcher.AddWatch(dir.pathOf("d5"), kNames, &slot, false));
    EXPECT_EQ(slot, 0);
}

// Removals are handed over without a wait, yet a change made after one is never told.
TEST(ChangeHandlerThread, AChangeAfterTheWatchesWereRemovedIsNotTold)
{
    TempDir first;
    TempDir second;
    TempDir later;
    NoticeRecorder owner;
    ChangeHandlerThread watcher(&owner);
    int slot = -1;
    ASSERT_TRUE(watcher.AddWatch(first.path(), kNames, &slot, false));
    ASSERT_TRUE(watcher.AddWatch(second.path(), kNames, &slot, false));
    ASSERT_EQ(slot, 1);
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(watcher.RemoveAllWatches());
        second.writeFile("unseen" + std::to_string(round));
        ASSERT_TRUE(watcher.AddWatch(later.path(), kNames, &slot, false));
        ASSERT_EQ(slot, 0);
        later.writeFile("seen" + std::to_string(round));
        ASSERT_TRUE(test::processEventsUntil([&] { return !owner.slots.empty(); }, 5000));
        EXPECT_EQ(owner.slots, std::vector<int>{0}) << round;
        owner.slots.clear();
        ASSERT_TRUE(watcher.AddWatch(second.path(), kNames, &slot, false));
        ASSERT_EQ(slot, 1);
    }
}

TEST(ChangeHandlerThread, EndingWhileWatchersWaitIsQuickAndLeavesNoDescriptorOpen)
{
    TempDir dir;
    const int before = test::openDescriptorCount();
    QElapsedTimer clock;
    {
        NoticeRecorder owner;
        auto watcher = std::make_unique<ChangeHandlerThread>(&owner);
        for (int i = 0; i < 10; ++i) {
            int slot;
            ASSERT_TRUE(watcher->AddWatch(dir.makeFolder("d" + std::to_string(i)), kNames, &slot, false));
        }
        EXPECT_GT(test::openDescriptorCount(), before + 10);
        clock.start();
        watcher.reset();
    }
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(test::openDescriptorCount(), before);
}

// A watched folder that goes away: the owner is told once more (it still shows what was there),
// then the watch is dropped and its slot is free again.
class GoneFolder : public ::testing::Test
{
protected:
    NoticeRecorder owner;
    ChangeHandlerThread watcher{&owner};
    int before = test::openDescriptorCount();

    void expectToldAndDropped(int slot)
    {
        EXPECT_TRUE(test::processEventsUntil(
            [&] { return !owner.slots.empty() && test::openDescriptorCount() == before; }, 5000));
        ASSERT_FALSE(owner.slots.empty());
        EXPECT_EQ(owner.slots.back(), slot);
        owner.slots.clear();
    }
};

TEST_F(GoneFolder, AnEmptyFolderRemovedPostsItsSlot)
{
    TempDir dir;
    const std::string folder = dir.makeFolder("watched");
    int slot = -1;
    ASSERT_TRUE(watcher.AddWatch(folder, kNames, &slot, false));
    ASSERT_EQ(::rmdir(folder.c_str()), 0); // no name event: only the folder's own removal
    expectToldAndDropped(slot);
    ASSERT_TRUE(watcher.AddWatch(dir.path(), kNames, &slot, false));
    EXPECT_EQ(slot, 0);
}

TEST_F(GoneFolder, AFolderDeletedInOneGoWithItsFilesPostsEveryRound)
{
    TempDir dir;
    for (int round = 0; round < 5; ++round) {
        const std::string folder = dir.makeFolder("round" + std::to_string(round));
        for (int i = 0; i < 20; ++i)
            dir.writeFile("round" + std::to_string(round) + "/f" + std::to_string(i));
        int slot = -1;
        ASSERT_TRUE(watcher.AddWatch(folder, kNames, &slot, false));
        EXPECT_EQ(slot, 0) << round;
        std::filesystem::remove_all(folder);
        expectToldAndDropped(slot);
    }
}

TEST_F(GoneFolder, AMovedFolderPostsAndIsNoLongerWatchedUnderItsNewName)
{
    TempDir dir;
    const std::string folder = dir.makeFolder("watched");
    int slot = -1;
    ASSERT_TRUE(watcher.AddWatch(folder, kNames, &slot, false));
    ASSERT_EQ(::rename(folder.c_str(), dir.pathOf("moved").c_str()), 0);
    expectToldAndDropped(slot);
    dir.writeFile("moved/after.txt");
    test::processEventsFor(100);
    EXPECT_TRUE(owner.slots.empty());
}

// The drive's root, and a folder on it that a list shows.
TEST_F(GoneFolder, AnUnmountedDrivePostsTheSlotsOfItsFolders)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    TempDir dir;
    const std::string mountPoint = dir.makeFolder("drive");
    if (::mount("nomaro-test", mountPoint.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const std::string shown = dir.makeFolder("drive/shown");
    int root = -1;
    int folder = -1;
    ASSERT_TRUE(watcher.AddWatch(mountPoint, kNames, &root, true));
    ASSERT_TRUE(watcher.AddWatch(shown, kNames, &folder, false));
    ASSERT_EQ(::umount(mountPoint.c_str()), 0);
    EXPECT_TRUE(test::processEventsUntil(
        [&] { return owner.slots.size() >= 2 && test::openDescriptorCount() == before; }, 5000));
    std::sort(owner.slots.begin(), owner.slots.end());
    EXPECT_EQ(owner.slots, (std::vector<int>{root, folder}));
}

TEST(ChangeHandlerThread, ASubtreeWatchReportsTheFoldersHandedToItUnderTheRootSlot)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    NoticeRecorder owner;
    ChangeHandlerThread watcher(&owner);
    int slot;
    ASSERT_TRUE(watcher.AddWatch(dir.path(), platform::DirectoryNameChanges, &slot, true));
    EXPECT_FALSE(watcher.AddFolder(slot + 1, sub)); // an empty slot
    ASSERT_TRUE(watcher.AddFolder(slot, sub));
    dir.makeFolder("sub/new");
    ASSERT_TRUE(test::processEventsUntil([&] { return !owner.slots.empty(); }, 5000));
    EXPECT_EQ(owner.slots.front(), slot);

    ASSERT_TRUE(watcher.RemoveFolder(slot, sub));
    test::processEventsFor(50);
    owner.slots.clear();
    dir.makeFolder("sub/unseen");
    test::processEventsFor(200);
    EXPECT_TRUE(owner.slots.empty());
}

// The per-user inotify limits and the descriptor limit give the same refusal: no watch, no
// message. A lowered descriptor limit stands in for them.
TEST(ChangeHandlerThread, TheExhaustedDescriptorLimitMeansNotWatched)
{
    TempDir dir;
    ChangeHandlerThread watcher(nullptr);
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct rlimit lowered = saved;
    lowered.rlim_cur = static_cast<rlim_t>(test::openDescriptorCount() + 8);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    int accepted = 0;
    bool refused = false;
    for (int i = 0; i < 20 && !refused; ++i) {
        int slot;
        if (watcher.AddWatch(dir.makeFolder("d" + std::to_string(i)), kNames, &slot, false))
            ++accepted;
        else
            refused = true;
    }
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_TRUE(refused);
    EXPECT_GT(accepted, 0);
    int slot;
    EXPECT_TRUE(watcher.AddWatch(dir.path(), kNames, &slot, false));
    EXPECT_EQ(slot, accepted);
}

} // namespace
} // namespace nomaro
