#include "browser/devicechangehandler.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/mount_monitor.h"
#include "tests/browser/watch_support.h"
#include "tests/support/tempdir.h"

namespace nomaro {
namespace {

const platform::Drive kUsb{"/media/usb", "vfat", "/dev/sdb1", platform::DriveType::Removable};

TEST(DeviceChangeHandler, ABroadcastReachesTheCallbacksInOrderAfterARepost)
{
    DeviceChangeHandler handler(false);
    std::vector<std::string> calls;
    int first = 0;
    int second = 0;
    handler.Register(&first, [&](DeviceChangeHandler &, int event, const platform::Drive &drive) {
        calls.push_back("first " + std::to_string(event) + " " + drive.mountPoint);
    });
    handler.Register(&second, [&](DeviceChangeHandler &, int event, const platform::Drive &) {
        calls.push_back("second " + std::to_string(event));
    });
    handler.broadcast(platform::DeviceArrival, kUsb);
    EXPECT_TRUE(calls.empty()); // not inside the broadcast
    EXPECT_TRUE(test::processEventsUntil([&] { return calls.size() >= 2; }, 5000));
    EXPECT_EQ(calls, (std::vector<std::string>{"first 32768 /media/usb", "second 32768"}));

    calls.clear();
    handler.Unregister(&first);
    handler.broadcast(platform::DeviceRemoveComplete, kUsb);
    EXPECT_TRUE(test::processEventsUntil([&] { return !calls.empty(); }, 5000));
    EXPECT_EQ(calls, std::vector<std::string>{"second 32772"});
}

TEST(DeviceChangeHandler, AFailingCallbackIsReportedAndTheNextStillRuns)
{
    DeviceChangeHandler handler(false);
    test::RecordingApplication::takeReports();
    int failing = 0;
    int next = 0;
    bool nextRan = false;
    handler.Register(&failing, [](DeviceChangeHandler &, int, const platform::Drive &) {
        throw std::runtime_error("Impossibile leggere le unità");
    });
    handler.Register(&next, [&](DeviceChangeHandler &, int, const platform::Drive &) { nextRan = true; });
    handler.broadcast(platform::DeviceArrival, kUsb);
    QStringList reports;
    EXPECT_TRUE(test::processEventsUntil(
        [&] {
            reports += test::RecordingApplication::takeReports();
            return nextRan && !reports.empty();
        },
        5000));
    EXPECT_EQ(reports, QStringList{QStringLiteral("Impossibile leggere le unità")});
}

TEST(DeviceChangeHandler, AMountedAndUnmountedDriveArrivesAndLeaves)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    test::TempDir dir;
    const std::string mountPoint = dir.makeFolder("drive");
    DeviceChangeHandler handler(true);
    std::vector<std::pair<int, std::string>> seen;
    handler.Register(&seen, [&](DeviceChangeHandler &, int event, const platform::Drive &drive) {
        if (drive.mountPoint == mountPoint)
            seen.emplace_back(event, drive.mountPoint);
    });
    if (::mount("nomaro-test", mountPoint.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    EXPECT_TRUE(test::processEventsUntil([&] { return seen.size() == 1; }, 5000));
    ASSERT_EQ(::umount(mountPoint.c_str()), 0);
    EXPECT_TRUE(test::processEventsUntil([&] { return seen.size() == 2; }, 5000));
    const std::vector<std::pair<int, std::string>> expected = {{platform::DeviceArrival, mountPoint},
                                                               {platform::DeviceRemoveComplete, mountPoint}};
    EXPECT_EQ(seen, expected);
}

TEST(DeviceChangeHandler, OneInstancePerProcess)
{
    EXPECT_EQ(DeviceChangeHandler::instance(), DeviceChangeHandler::instance());
}

} // namespace
} // namespace nomaro
