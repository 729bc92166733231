#include "platform/watched_drives.h"

#include <algorithm>
#include <condition_variable>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/threads.h"

namespace nomaro::platform {
namespace {

std::vector<std::string> mountPoints(const std::vector<Drive> &drives)
{
    std::vector<std::string> points;
    for (const Drive &drive : drives)
        points.push_back(drive.mountPoint);
    return points;
}

using nomaro::test::threadCount;

// A server that does not answer until the test lets it: the questions block on a gate. Shared,
// so that a question still running when the test ends finds its gate.
struct Gate
{
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    int asked = 0;
    int waiting = 0;

    void release()
    {
        const std::lock_guard lock(mutex);
        open = true;
        opened.notify_all();
    }
};

NetworkProbes::Ask blockingAsk(const std::shared_ptr<Gate> &gate)
{
    return [gate](const std::string &) {
        std::unique_lock lock(gate->mutex);
        ++gate->asked;
        ++gate->waiting;
        gate->opened.wait(lock, [&] { return gate->open; });
        --gate->waiting;
        return true;
    };
}

TEST(WatchedDrives, FixedRamAndWorkingNetworkDrivesOnlyAndFuseDrivesOnlyWhenTheyAnswer)
{
    const std::vector<Drive> drives = {
        {"/", "ext4", "/dev/sda1", DriveType::Fixed},
        {"/media/usb", "vfat", "/dev/sdb1", DriveType::Removable},
        {"/media/cdrom", "iso9660", "/dev/sr0", DriveType::Optical},
        {"/tmp", "tmpfs", "tmpfs", DriveType::Ram},
        {"/mnt/up", "nfs4", "server:/up", DriveType::Network},
        {"/mnt/down", "cifs", "//server/down", DriveType::Network},
        {"/mnt/fuse-up", "fuse.rclone", "remote:", DriveType::Fixed},
        {"/mnt/fuse-down", "fuse", "remote:", DriveType::Fixed},
    };
    std::mutex mutex;
    std::vector<std::string> asked;
    NetworkProbes probes([&](const std::string &mountPoint) {
        const std::lock_guard lock(mutex);
        asked.push_back(mountPoint);
        return mountPoint.ends_with("-up") || mountPoint == "/mnt/up";
    });
    EXPECT_EQ(mountPoints(watchedDrives(drives, probes)),
              (std::vector<std::string>{"/", "/tmp", "/mnt/up", "/mnt/fuse-up"}));
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<std::string>{"/mnt/down", "/mnt/fuse-down", "/mnt/fuse-up", "/mnt/up"}));
}

TEST(WatchedDrives, AMountPointThatAnswersIsInWorkingOrder)
{
    NetworkProbes probes;
    EXPECT_EQ(probes.inWorkingOrder({"/", "/no/such/mount/point"}), (std::vector<bool>{true, false}));
    const std::vector<Drive> drives = {{"/", "nfs", "server:/", DriveType::Network}};
    EXPECT_EQ(watchedDrives(drives, probes).size(), 1u);
    EXPECT_EQ(probes.inFlight(), 0u);
}

// The tree looks at the drives on every refresh and every mount change; a frozen server must
// cost one thread and one time limit, not one of each per look.
TEST(WatchedDrives, AFrozenServerIsAskedOnceUntilItAnswers)
{
    auto gate = std::make_shared<Gate>();
    NetworkProbes probes(blockingAsk(gate), 50);
    const std::vector<Drive> drives = {
        {"/", "ext4", "/dev/sda1", DriveType::Fixed},
        {"/mnt/frozen", "fuse.sshfs", "server:", DriveType::Network},
    };
    const int threadsBefore = threadCount();
    for (int look = 0; look < 10; ++look)
        EXPECT_EQ(mountPoints(watchedDrives(drives, probes)), std::vector<std::string>{"/"}) << look;
    EXPECT_EQ(gate->asked, 1);
    EXPECT_EQ(probes.inFlight(), 1u);
    // A probe thread of an earlier test may still be on its way out, hence at most.
    EXPECT_LE(threadCount(), threadsBefore + 1);

    // Once it answers, it is asked again on the next look, and in working order then.
    gate->release();
    while (probes.inFlight() > 0)
        std::this_thread::yield();
    EXPECT_EQ(mountPoints(watchedDrives(drives, probes)), (std::vector<std::string>{"/", "/mnt/frozen"}));
    EXPECT_EQ(gate->asked, 2);
}

TEST(WatchedDrives, AFrozenMountDoesNotKeepAnotherFromBeingAsked)
{
    auto gate = std::make_shared<Gate>();
    NetworkProbes probes(
        [gate, block = blockingAsk(gate)](const std::string &mountPoint) { return mountPoint == "/mnt/up" || block(mountPoint); },
        50);
    EXPECT_EQ(probes.inWorkingOrder({"/mnt/frozen", "/mnt/up"}), (std::vector<bool>{false, true}));
    EXPECT_EQ(probes.inWorkingOrder({"/mnt/frozen", "/mnt/up"}), (std::vector<bool>{false, true}));
    EXPECT_EQ(gate->asked, 1);
    gate->release();
}

} // namespace
} // namespace nomaro::platform
