#include <gtest/gtest.h>

#include "platform/drives.h"

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
