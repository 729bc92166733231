#include "platform/hourglass.h"

#include <QCursor>
#include <QGuiApplication>

namespace nomaro::platform {

HourglassGuard::HourglassGuard()
    : m_active(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
{
    if (m_active)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

HourglassGuard::~HourglassGuard()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace nomaro::platform
