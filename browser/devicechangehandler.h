#pragma once

// The one process-wide receiver of drive arrivals and removals, which passes them to every
// registered component on the user-interface thread.
//
// How a component uses it:
//   - in its constructor: DeviceChangeHandler::instance()->Register(this,
//         [this](DeviceChangeHandler &, int event, const platform::Drive &) { ... });
//     in its destructor: DeviceChangeHandler::instance()->Unregister(this);
//   - in the callback, for platform::DeviceArrival and platform::DeviceRemoveComplete only:
//     refresh if the component shows the computer's drives (binding "Computer" reads the mount
//     table again, which is all the revalidation the drives need here).
//   - an exception (std::exception) from a callback reaches the application's error report;
//     the next callback still runs.

#include <QObject>
#include <functional>
#include <vector>

#include "platform/drives.h"

namespace nomaro {

namespace platform {
class MountTableMonitor;
}

class DeviceChangeHandler : public QObject
{
public:
    using Callback = std::function<void(DeviceChangeHandler &, int event, const platform::Drive &)>;

    // Made on first use, owned by the application object; watches the mount table.
    static DeviceChangeHandler *instance();

    // Without a monitor: for tests, which call broadcast() themselves.
    DeviceChangeHandler(bool watchMounts, QObject *parent = nullptr);

    void Register(const void *component, Callback callback);
    // Removes the first registration of `component`.
    void Unregister(const void *component);

    // A broadcast: posted to this object again, so components never react inside the caller.
    void broadcast(int event, const platform::Drive &drive);

private:
    void dispatch(int event, const platform::Drive &drive);

    struct Registration
    {
        const void *component;
        Callback callback;
    };
    std::vector<Registration> m_registrations;
    platform::MountTableMonitor *m_monitor = nullptr;
};

} // namespace nomaro
