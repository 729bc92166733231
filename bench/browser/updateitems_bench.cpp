// Times UpdateItems of the folder list over a folder of 100,000 files after one file was created
// in it, against the bare cost of reading the same folder (readdir and one fstatat per entry)
// and against a full Refresh, all in the same run. Figures are medians of the thread's CPU
// time, then of the wall clock.

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "bench/browser/folderbench.h"
#include "browser/shelllist.h"

namespace {

using namespace nomaro::bench;

struct Medians
{
    double cpu = 0;
    double wall = 0;
};

// The medians of `runs` runs of `work`, each after `prepare` (not timed).
template <typename Prepare, typename Work>
Medians medianOf(int runs, Prepare prepare, Work work)
{
    std::vector<double> cpu;
    std::vector<double> wall;
    for (int i = 0; i < runs; ++i) {
        prepare(i);
        const double cpuStart = cpuMs();
        const auto start = Clock::now();
        work();
        wall.push_back(msSince(start));
        cpu.push_back(cpuMs() - cpuStart);
    }
    const auto median = [](std::vector<double> &values) {
        std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
        return values[values.size() / 2];
    };
    return {median(cpu), median(wall)};
}

void measure(int count, int runs)
{
    const BenchFolder made;
    if (made.path.empty())
        return;
    const std::string &folder = made.path;
    makeFolder(folder, count);
    bareRead(folder);

    nomaro::ShellList list;
    // The list is driven by hand here; its own watch would refresh it between the runs.
    list.SetOptions(list.Options() & ~nomaro::ShellListOptions(nomaro::sloDynamicRefresh));
    list.resize(640, 400);
    list.show();
    QCoreApplication::processEvents();
    list.setFolderPath(folder);

    const auto nothing = [](int) {};
    const auto createOne = [&](int i) {
        const std::string name = folder + "/Nuovo " + std::to_string(i) + ".txt";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    };
    const Medians bare = medianOf(runs, nothing, [&] { bareRead(folder); });
    int created = 0;
    const Medians update = medianOf(runs, [&](int i) { createOne(i); ++created; }, [&] { list.UpdateItems(); });
    const Medians refresh = medianOf(runs, nothing, [&] { list.Refresh(); });
    if (list.itemCount() != count + created)
        std::printf("  (the list shows %d rows, not %d)\n", list.itemCount(), count + created);

    std::printf("%7d entries, one file created: medians of %d runs\n", count, runs);
    std::printf("  CPU:  bare readdir+fstatat %7.1f ms, UpdateItems %7.1f ms (ratio %.2f, goal <= 1.3), Refresh %7.1f ms\n",
                bare.cpu, update.cpu, update.cpu / bare.cpu, refresh.cpu);
    std::printf("  wall: bare readdir+fstatat %7.1f ms, UpdateItems %7.1f ms (ratio %.2f), Refresh %7.1f ms\n", bare.wall,
                update.wall, update.wall / bare.wall, refresh.wall);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    measure(100000, 9);
    return 0;
}
