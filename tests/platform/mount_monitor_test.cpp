#include "platform/mount_monitor.h"

#include <gtest/gtest.h>
#include <string>

namespace nomaro::platform {
namespace {

Drive drive(const char *mountPoint, const char *source = "/dev/sda1")
{
    return {mountPoint, "ext4", source, DriveType::Fixed};
}

struct CompareCase
{
    const char *what;
    std::vector<Drive> before;
    std::vector<Drive> after;
    std::vector<std::pair<int, std::string>> expected; // event, mount point
};

TEST(CompareDriveLists, TellsWhichDrivesCameAndWent)
{
    const CompareCase cases[] = {
        {"nothing changed", {drive("/"), drive("/home", "/dev/sda2")}, {drive("/"), drive("/home", "/dev/sda2")}, {}},
        {"a drive plugged in", {drive("/")}, {drive("/"), drive("/media/usb", "/dev/sdb1")},
         {{DeviceArrival, "/media/usb"}}},
        {"a drive taken out", {drive("/"), drive("/media/usb", "/dev/sdb1")}, {drive("/")},
         {{DeviceRemoveComplete, "/media/usb"}}},
        {"another device on the same mount point", {drive("/mnt", "/dev/sdb1")}, {drive("/mnt", "/dev/sdc1")},
         {{DeviceRemoveComplete, "/mnt"}, {DeviceArrival, "/mnt"}}},
        {"removals come before arrivals", {drive("/"), drive("/a", "/dev/sdb1")}, {drive("/"), drive("/b", "/dev/sdc1")},
         {{DeviceRemoveComplete, "/a"}, {DeviceArrival, "/b"}}},
        {"the order of the table alone is no change", {drive("/"), drive("/a", "/dev/sdb1")},
         {drive("/a", "/dev/sdb1"), drive("/")}, {}},
        {"from an unreadable table", {}, {drive("/")}, {{DeviceArrival, "/"}}},
    };
    for (const CompareCase &row : cases) {
        std::vector<std::pair<int, std::string>> got;
        for (const DriveChange &change : compareDriveLists(row.before, row.after))
            got.emplace_back(change.event, change.drive.mountPoint);
        EXPECT_EQ(got, row.expected) << row.what;
    }
}

} // namespace
} // namespace nomaro::platform
