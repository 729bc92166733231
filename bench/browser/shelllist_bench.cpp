// Times a full Refresh of the folder list over folders of 10,000 and 100,000 files against the
// bare cost of reading the same folder (readdir and one fstatat per entry), and measures the
// memory a row costs beyond its name. Times are the thread's CPU time, which other work on a
// shared machine disturbs far less than the wall clock; the wall-clock figures follow.

#include <QApplication>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "bench/browser/folderbench.h"
#include "browser/shelllist.h"

namespace {

using namespace nomaro::bench;

long statusKilobytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::atol(line.c_str() + prefix.size());
    }
    return 0;
}

void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void measure(int count)
{
    const BenchFolder made;
    if (made.path.empty())
        return;
    const std::string &folder = made.path;
    const std::size_t nameBytes = makeFolder(folder, count);
    bareRead(folder);

    const Timing bare = bestOf(7, [&] { bareRead(folder); });

    // Memory: a fresh list showing the desktop, then the big folder.
    double peakPerRow = 0;
    double heldPerRow = 0;
    {
        nomaro::ShellList list;
        list.resize(640, 400);
        list.show();
        QCoreApplication::processEvents();
        malloc_trim(0);
        const std::size_t heapBefore = mallinfo2().uordblks;
        const long rssBefore = statusKilobytes("VmRSS");
        resetPeak();
        list.setFolderPath(folder);
        const long peak = statusKilobytes("VmHWM");
        const std::size_t heapAfter = mallinfo2().uordblks;
        peakPerRow = (static_cast<double>(peak - rssBefore) * 1024.0 - static_cast<double>(nameBytes)) / count;
        heldPerRow = (static_cast<double>(heapAfter) - static_cast<double>(heapBefore) - static_cast<double>(nameBytes)) / count;
        if (list.itemCount() != count)
            std::printf("  (the list shows %d rows, not %d)\n", list.itemCount(), count);

        const Timing refresh = bestOf(7, [&] { list.Refresh(); });
        QCoreApplication::processEvents();

        std::printf("%7d entries: CPU: bare readdir+fstatat %7.1f ms, Refresh %7.1f ms, ratio %.2f (goal <= 2)\n",
                    count, bare.cpu, refresh.cpu, refresh.cpu / bare.cpu);
        std::printf("               wall: bare %7.1f ms, Refresh %7.1f ms, ratio %.2f\n", bare.wall, refresh.wall,
                    refresh.wall / bare.wall);
        std::printf("               memory beyond names: peak %.0f bytes/row, held %.0f bytes/row (goal < 400)\n",
                    peakPerRow, heldPerRow);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    for (const int count : {10000, 100000})
        measure(count);
    return 0;
}
