#include "platform/mount_monitor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

#include "tests/support/tempdir.h"

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

// Runs the event loop until `done` holds or five seconds pass.
template <typename Done>
bool eventsUntil(Done done)
{
    const QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

TEST(MountTableMonitor, ReportsChangesThatTheDriveListHasAlreadyRead)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    const test::TempDir dir;
    const std::string point = dir.makeFolder("unita");
    std::vector<std::pair<int, std::string>> seen;
    MountTableMonitor monitor([&](const DriveChange &change) {
        if (change.drive.mountPoint == point)
            seen.emplace_back(change.event, point);
    });
    if (::mount("nomaro-test", point.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    // The drive list notices the change first; the monitor must still hear of it.
    mountedDrives();
    EXPECT_TRUE(eventsUntil([&] { return seen.size() == 1; }));
    ASSERT_EQ(::umount(point.c_str()), 0);
    mountedDrives();
    EXPECT_TRUE(eventsUntil([&] { return seen.size() == 2; }));
    const std::vector<std::pair<int, std::string>> expected = {{DeviceArrival, point}, {DeviceRemoveComplete, point}};
    EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace nomaro::platform
