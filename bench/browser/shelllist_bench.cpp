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

#include "browser/shelllist.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Makes `count` empty files with names in no particular order; gives the total of name bytes.
std::size_t makeFolder(const std::string &path, int count)
{
    std::vector<int> numbers(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        numbers[static_cast<std::size_t>(i)] = i;
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(42));
    std::size_t nameBytes = 0;
    for (const int number : numbers) {
        const std::string name = "Foto " + std::to_string(number) + (number % 3 ? ".jpg" : ".txt");
        nameBytes += name.size();
        const int fd = ::open((path + "/" + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    return nameBytes;
}

// The bare cost: every entry read and looked at once.
int bareRead(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = ::fdopendir(fd);
    int entries = 0;
    while (const dirent *entry = ::readdir(dir)) {
        struct stat info;
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
            ++entries;
    }
    ::closedir(dir);
    return entries;
}

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

double cpuMs()
{
    timespec now;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Timing
{
    double cpu = 1e300;
    double wall = 1e300;
};

// The best of `runs` runs, by CPU time and by wall-clock time.
template <typename F>
Timing bestOf(int runs, F work)
{
    Timing best;
    for (int i = 0; i < runs; ++i) {
        const double cpuStart = cpuMs();
        const auto start = Clock::now();
        work();
        best.wall = std::min(best.wall, msSince(start));
        best.cpu = std::min(best.cpu, cpuMs() - cpuStart);
    }
    return best;
}

void measure(int count)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "nomaro-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return;
    }
    const std::string folder = pattern;
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

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
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
