#include "platform/watched_drives.h"

#include <gtest/gtest.h>
#include <string>

namespace nomaro::platform {
namespace {

std::vector<std::string> mountPoints(const std::vector<Drive> &drives)
{
    std::vector<std::string> points;
    for (const Drive &drive : drives)
        points.push_back(drive.mountPoint);
    return points;
}

TEST(WatchedDrives, FixedRamAndWorkingNetworkDrivesOnly)
{
    const std::vector<Drive> drives = {
        {"/", "ext4", "/dev/sda1", DriveType::Fixed},
        {"/media/usb", "vfat", "/dev/sdb1", DriveType::Removable},
        {"/media/cdrom", "iso9660", "/dev/sr0", DriveType::Optical},
        {"/tmp", "tmpfs", "tmpfs", DriveType::Ram},
        {"/mnt/up", "nfs4", "server:/up", DriveType::Network},
        {"/mnt/down", "cifs", "//server/down", DriveType::Network},
    };
    std::vector<std::string> asked;
    const auto probe = [&](const std::string &mountPoint) {
        asked.push_back(mountPoint);
        return mountPoint == "/mnt/up";
    };
    EXPECT_EQ(mountPoints(watchedDrives(drives, probe)), (std::vector<std::string>{"/", "/tmp", "/mnt/up"}));
    EXPECT_EQ(asked, (std::vector<std::string>{"/mnt/up", "/mnt/down"}));
}

TEST(WatchedDrives, AMountPointThatAnswersIsInWorkingOrder)
{
    EXPECT_TRUE(answersWithin("/", 1000));
    EXPECT_FALSE(answersWithin("/no/such/mount/point", 1000));
    const std::vector<Drive> drives = {{"/", "nfs", "server:/", DriveType::Network}};
    EXPECT_EQ(watchedDrives(drives).size(), 1u);
}

} // namespace
} // namespace nomaro::platform
