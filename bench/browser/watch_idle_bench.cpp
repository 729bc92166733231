// The watcher thread between notices: the processor time of every thread but the main one over a
// quiet second, with 63 folders watched, against the same process without a watcher.

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "browser/changehandlerthread.h"

namespace {

struct Cost
{
    long ticks = 0;         // utime + stime from /proc/self/task/*/stat
    long long nanoseconds = 0; // run time from /proc/self/task/*/schedstat, where the kernel keeps it
};

Cost otherThreadsCost()
{
    Cost cost;
    const QString self = QString::number(::gettid());
    for (const QString &task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (task == self)
            continue;
        const std::string folder = "/proc/self/task/" + task.toStdString();
        std::ifstream stat(folder + "/stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string field;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i >= 14)
                cost.ticks += std::stol(field);
        }
        std::ifstream schedstat(folder + "/schedstat");
        long long run = 0;
        if (schedstat >> run)
            cost.nanoseconds += run;
    }
    return cost;
}

Cost quietSecond()
{
    const Cost before = otherThreadsCost();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Cost after = otherThreadsCost();
    return {after.ticks - before.ticks, after.nanoseconds - before.nanoseconds};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir root;
    for (int run = 1; run <= 3; ++run) {
        const Cost bare = quietSecond();
        Cost watched;
        {
            nomaro::ChangeHandlerThread watcher(&application);
            for (int i = 0; i < nomaro::ChangeHandlerThread::kSlotCount; ++i) {
                const QString folder = root.filePath(QStringLiteral("d%1").arg(i));
                QDir().mkpath(folder);
                int slot;
                watcher.AddWatch(folder.toStdString(), nomaro::platform::FileNameChanges, &slot, false);
            }
            watched = quietSecond();
        }
        std::printf("run %d: other threads over a quiet second: bare %ld ticks, %lld us; "
                    "watcher with 63 watches %ld ticks, %lld us\n",
                    run, bare.ticks, bare.nanoseconds / 1000, watched.ticks, watched.nanoseconds / 1000);
    }
    return 0;
}
