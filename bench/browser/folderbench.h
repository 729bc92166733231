#pragma once

// What the folder benchmarks share: a large folder to read, the bare cost of reading it, and
// timing by the thread's CPU time and the wall clock.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <dirent.h>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nomaro::bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The middle one of a run's timings (the upper middle for an even count).
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Makes `count` empty files with names in no particular order; gives the total of name bytes.
inline std::size_t makeFolder(const std::string &path, int count)
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
inline int bareRead(const std::string &path)
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

inline double cpuMs()
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

// A temporary folder, removed with everything in it at the end; `path` is empty when it could
// not be made.
struct BenchFolder
{
    std::string path;

    BenchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "nomaro-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path = pattern;
        else
            std::perror("mkdtemp");
    }
    ~BenchFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    BenchFolder(const BenchFolder &) = delete;
    BenchFolder &operator=(const BenchFolder &) = delete;
};

} // namespace nomaro::bench
