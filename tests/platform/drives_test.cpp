#include <atomic>
#include <barrier>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

#include "platform/drives.h"
#include "tests/support/tempdir.h"

using namespace nomaro;
using namespace nomaro::platform;

namespace {

std::string line(const std::string &mountPoint, const std::string &type, const std::string &source)
{
    return "36 35 98:0 / " + mountPoint + " rw,noatime master:1 - " + type + " " + source + " rw\n";
}

std::vector<std::string> mountPoints(const std::vector<Drive> &drives)
{
    std::vector<std::string> points;
    for (const Drive &drive : drives)
        points.push_back(drive.mountPoint);
    return points;
}

} // namespace

TEST(ParseMountInfo, KeepsDrivesAndLeavesOutTheSystemsOwnMounts)
{
    const std::string text = line("/", "ext4", "/dev/nvme0n1p2") + line("/proc", "proc", "proc")
        + line("/sys", "sysfs", "sysfs") + line("/dev/pts", "devpts", "devpts") + line("/run", "tmpfs", "tmpfs")
        + line("/snap/core/1", "squashfs", "/dev/loop0") + line("/tmp", "tmpfs", "tmpfs")
        + line("/home/ada/ram", "tmpfs", "tmpfs") + line("/mnt/share", "cifs", "//server/share")
        + line("/media/ada/My\\040Disk", "vfat", "/dev/nonexistent1");
    const std::vector<Drive> drives = parseMountInfo(text, "/home/ada");
    const std::vector<std::string> expected = {"/", "/tmp", "/home/ada/ram", "/mnt/share", "/media/ada/My Disk"};
    ASSERT_EQ(mountPoints(drives), expected);
    EXPECT_EQ(drives[1].type, DriveType::Ram);
    EXPECT_EQ(drives[2].type, DriveType::Ram);
    EXPECT_EQ(drives[3].type, DriveType::Network);
    EXPECT_EQ(drives[4].type, DriveType::Fixed);
}

TEST(ParseMountInfo, AMountPointMountedAgainKeepsItsLastMount)
{
    const std::string text = line("/data", "ext4", "/dev/nonexistent1") + line("/data", "iso9660", "/dev/nonexistent2");
    const std::vector<Drive> drives = parseMountInfo(text, "/home/ada");
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].type, DriveType::Optical);
}

TEST(ParseMountInfo, SkipsLinesWithoutTheSeparator)
{
    EXPECT_TRUE(parseMountInfo("36 35 98:0 / /x rw\n\ngarbage\n", "/home/ada").empty());
}

TEST(DriveOf, TakesTheLongestMountPointThatHoldsThePath)
{
    std::vector<Drive> drives(3);
    drives[0].mountPoint = "/";
    drives[1].mountPoint = "/home";
    drives[2].mountPoint = "/home/ada/usb";
    EXPECT_EQ(driveOf(drives, "/home/ada/usb/x")->mountPoint, "/home/ada/usb");
    EXPECT_EQ(driveOf(drives, "/home/ada/usbstick")->mountPoint, "/home");
    EXPECT_EQ(driveOf(drives, "/etc")->mountPoint, "/");
}

namespace {

// The fields that tell one mount from another, for comparing two readings of the table.
std::vector<std::tuple<std::string, std::string, std::string, DriveType>> identities(const std::vector<Drive> &drives)
{
    std::vector<std::tuple<std::string, std::string, std::string, DriveType>> out;
    for (const Drive &drive : drives)
        out.emplace_back(drive.mountPoint, drive.fsType, drive.source, drive.type);
    return out;
}

const Drive *findDrive(const std::vector<Drive> &drives, const std::string &mountPoint)
{
    for (const Drive &drive : drives) {
        if (drive.mountPoint == mountPoint)
            return &drive;
    }
    return nullptr;
}

bool mountTmpfs(const std::string &point, const char *source)
{
    return ::mount(source, point.c_str(), "tmpfs", 0, "size=1m") == 0;
}

} // namespace

TEST(MountedDrives, RepeatedCallsWithoutAChangeGiveTheSameList)
{
    const std::vector<Drive> first = mountedDrives();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(identities(mountedDrives()), identities(first));
    EXPECT_EQ(identities(mountedDrives()), identities(first));
}

TEST(MountedDrives, TheVeryNextCallSeesEachMountAndUnmount)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    const test::TempDir dir;
    const std::string point = dir.makeFolder("unita");
    ASSERT_EQ(findDrive(mountedDrives(), point), nullptr);
    if (!mountTmpfs(point, "nomaro-first"))
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const Drive *drive = nullptr;
    std::vector<Drive> drives = mountedDrives();
    ASSERT_NE(drive = findDrive(drives, point), nullptr);
    EXPECT_EQ(drive->source, "nomaro-first");

    // Mounted over again: the same mount point now holds another device.
    ASSERT_TRUE(mountTmpfs(point, "nomaro-second"));
    drives = mountedDrives();
    ASSERT_NE(drive = findDrive(drives, point), nullptr);
    EXPECT_EQ(drive->source, "nomaro-second");

    ASSERT_EQ(::umount(point.c_str()), 0);
    drives = mountedDrives();
    ASSERT_NE(drive = findDrive(drives, point), nullptr);
    EXPECT_EQ(drive->source, "nomaro-first");
    ASSERT_EQ(::umount(point.c_str()), 0);
    EXPECT_EQ(findDrive(mountedDrives(), point), nullptr);
}

TEST(MountedDrives, WorkerThreadsAskingTogetherAfterAChangeAllSeeIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    const test::TempDir dir;
    const std::string point = dir.makeFolder("unita");
    constexpr int kWorkers = 2;
    constexpr int kRounds = 200;
    std::barrier sync(kWorkers + 1);
    bool mounted = false; // written by this thread only while the workers wait
    std::atomic<int> stale = 0;
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i) {
        workers.emplace_back([&] {
            for (int round = 0; round < kRounds; ++round) {
                sync.arrive_and_wait();
                if ((findDrive(mountedDrives(), point) != nullptr) != mounted)
                    ++stale;
                sync.arrive_and_wait();
            }
        });
    }
    bool mountable = true;
    for (int round = 0; round < kRounds; ++round) {
        if (mountable && !mounted)
            mountable = mounted = mountTmpfs(point, "nomaro-test");
        else if (mounted)
            mounted = ::umount(point.c_str()) != 0;
        sync.arrive_and_wait();
        sync.arrive_and_wait();
    }
    for (std::thread &worker : workers)
        worker.join();
    if (mounted)
        ::umount(point.c_str());
    if (!mountable)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    EXPECT_EQ(stale, 0);
}

TEST(MountedDrives, AMountInAnotherMountNamespaceIsSeenThere)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    const test::TempDir dir;
    const std::string point = dir.makeFolder("unita");
    // The reading kept for this namespace must not answer for the child's own namespace.
    ASSERT_EQ(findDrive(mountedDrives(), point), nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || !mountTmpfs(point, "nomaro-test"))
            ::_exit(2);
        ::_exit(findDrive(mountedDrives(), point) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "no mount namespace of its own here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's tmpfs was not among its drives";
    EXPECT_EQ(findDrive(mountedDrives(), point), nullptr);
}
