#include "browser/devicechangehandler.h"

#include <QCoreApplication>
#include <QPointer>
#include <algorithm>
#include <exception>

#include "platform/mount_monitor.h"

namespace nomaro {
DeviceChangeHandler *DeviceChangeHandler::instance()
{
    static QPointer<DeviceChangeHandler> handler;
    if (!handler)
        handler = new DeviceChangeHandler(true, QCoreApplication::instance());
    return handler;
}

DeviceChangeHandler::DeviceChangeHandler(bool watchMounts, QObject *parent)
    : QObject(parent)
{
    if (watchMounts)
        m_monitor = new platform::MountTableMonitor(
            [this](const platform::DriveChange &change) { broadcast(change.event, change.drive); }, this);
}

void DeviceChangeHandler::Register(const void *component, Callback callback)
{
    m_registrations.push_back({component, std::move(callback)});
}

void DeviceChangeHandler::Unregister(const void *component)
{
    const auto found = std::find_if(m_registrations.begin(), m_registrations.end(),
                                    [&](const Registration &registration) { return registration.component == component; });
    if (found != m_registrations.end())
        m_registrations.erase(found);
}

void DeviceChangeHandler::broadcast(int event, const platform::Drive &drive)
{
    QMetaObject::invokeMethod(this, [this, event, drive] { dispatch(event, drive); }, Qt::QueuedConnection);
}

void DeviceChangeHandler::dispatch(int event, const platform::Drive &drive)
{
    // A callback may register or unregister components; those calls take effect next time.
    const std::vector<Registration> registrations = m_registrations;
    for (const Registration &registration : registrations) {
        try {
            registration.callback(*this, event, drive);
        } catch (const std::exception &) {
            // Thrown again from an event of its own, it reaches the application's report of
            // exceptions that leave an event handler, while the remaining callbacks run now.
            QMetaObject::invokeMethod(
                this, [error = std::current_exception()] { std::rethrow_exception(error); }, Qt::QueuedConnection);
        }
    }
}

} // namespace nomaro
