#include "platform/mount_monitor.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace nomaro::platform {
namespace {

bool sameDrive(const Drive &a, const Drive &b)
{
    return a.mountPoint == b.mountPoint && a.source == b.source && a.fsType == b.fsType;
}

bool holds(const std::vector<Drive> &drives, const Drive &drive)
{
    return std::any_of(drives.begin(), drives.end(), [&](const Drive &other) { return sameDrive(other, drive); });
}

} // namespace

std::vector<DriveChange> compareDriveLists(const std::vector<Drive> &before, const std::vector<Drive> &after)
{
    std::vector<DriveChange> changes;
    for (const Drive &drive : before) {
        if (!holds(after, drive))
            changes.push_back({DeviceRemoveComplete, drive});
    }
    for (const Drive &drive : after) {
        if (!holds(before, drive))
            changes.push_back({DeviceArrival, drive});
    }
    return changes;
}

MountTableMonitor::MountTableMonitor(Report report, QObject *parent)
    : QObject(parent)
    , m_report(std::move(report))
    , m_fd(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC))
    , m_drives(mountedDrives())
{
    if (m_fd < 0)
        return;
    // The kernel marks the file exceptional (POLLPRI) after each change of the mount table.
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MountTableMonitor::recheck);
}

MountTableMonitor::~MountTableMonitor()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void MountTableMonitor::recheck()
{
    std::vector<Drive> drives = mountedDrives();
    const std::vector<DriveChange> changes = compareDriveLists(m_drives, drives);
    m_drives = std::move(drives);
    for (const DriveChange &change : changes)
        m_report(change);
}

} // namespace nomaro::platform
