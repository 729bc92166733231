#include <QDir>
#include <QThread>
#include <gtest/gtest.h>

#include "tests/browser/watch_support.h"

namespace nomaro::test {
namespace {
QStringList reports;
}

bool RecordingApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QCoreApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        reports.append(QString::fromUtf8(error.what()));
    }
    return false;
}

QStringList RecordingApplication::takeReports()
{
    return std::exchange(reports, {});
}

bool processEventsUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void processEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
}

int openDescriptorCount()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

} // namespace nomaro::test

int main(int argc, char **argv)
{
    nomaro::test::RecordingApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
