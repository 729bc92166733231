#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <vector>

#include "platform/drives.h"

namespace nomaro::platform {

// The device broadcast codes the folder components act on.
enum DeviceEvent : int {
    DeviceArrival = 0x8000,
    DeviceRemoveComplete = 0x8004,
};

struct DriveChange
{
    int event;
    Drive drive;
};

// What turned `before` into `after`: removals first (in the old order), then arrivals (in the
// new order). A mount point that now holds another device is a removal and an arrival.
std::vector<DriveChange> compareDriveLists(const std::vector<Drive> &before, const std::vector<Drive> &after);

// Watches the mount table (the kernel flags /proc/self/mountinfo when it changes) and reports
// each drive that came or went, on the thread that made it.
class MountTableMonitor : public QObject
{
public:
    using Report = std::function<void(const DriveChange &)>;

    MountTableMonitor(Report report, QObject *parent = nullptr);
    ~MountTableMonitor() override;

    // Reads the mount table again and reports the differences (also what the notifier does).
    void recheck();

private:
    Report m_report;
    int m_fd;
    QSocketNotifier *m_notifier = nullptr;
    std::vector<Drive> m_drives;
};

} // namespace nomaro::platform
