// Renames 1001 files of one folder through the engine behind "RINOMINA" and, in the same run,
// the same renames with a bare renameat2 loop, and prints the ratio of the two (goal: <= 1.3).

#include "rename/renaming.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFiles = nomaro::FileTable::Capacity;
constexpr int kRounds = 21;

std::string nameOf(char prefix, int index)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%cIMG_%04d.jpg", prefix, index);
    return buffer;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "bench_rename: %s\n", what);
        std::exit(1);
    }
}

} // namespace

int main()
{
    std::string folder = (std::filesystem::temp_directory_path() / "nomaro-bench-XXXXXX").string();
    require(::mkdtemp(folder.data()) != nullptr, "cannot make the folder");
    for (int i = 0; i < kFiles; ++i) {
        const int fd = ::open((folder + "/" + nameOf('a', i)).c_str(), O_CREAT | O_WRONLY, 0644);
        require(fd >= 0, "cannot make a file");
        ::close(fd);
    }

    std::vector<std::string> aPaths;
    std::vector<std::string> bPaths;
    for (int i = 0; i < kFiles; ++i) {
        aPaths.push_back(folder + "/" + nameOf('a', i));
        bPaths.push_back(folder + "/" + nameOf('b', i));
    }
    const auto bareLoop = [&](const std::vector<std::string> &from,
                              const std::vector<std::string> &to) {
        int failed = 0;
        for (int i = 0; i < kFiles; ++i)
            failed += ::renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(),
                                  RENAME_NOREPLACE) != 0;
        return failed;
    };

    nomaro::FileTable table;
    std::vector<double> engine;
    std::vector<double> bare;
    for (int round = 0; round < kRounds; ++round) {
        // a -> b through the engine, back untimed, then a -> b with the bare loop, back untimed.
        table.setRowCount(0);
        for (int i = 0; i < kFiles; ++i) {
            nomaro::nm row;
            row.name = nameOf('a', i);
            row.newName = nameOf('b', i);
            row.folder = folder;
            table.append(row);
        }
        auto start = Clock::now();
        const nomaro::RenameCounts counts = nomaro::renameRows(table);
        engine.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        require(counts.renamed == kFiles && counts.failed == 0, "the engine failed a rename");
        require(bareLoop(bPaths, aPaths) == 0, "cannot put the files back");

        start = Clock::now();
        const int failed = bareLoop(aPaths, bPaths);
        bare.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        require(failed == 0, "the bare loop failed a rename");
        require(bareLoop(bPaths, aPaths) == 0, "cannot put the files back");
    }
    std::filesystem::remove_all(folder);

    const double engineUs = median(engine);
    const double bareUs = median(bare);
    std::printf("renaming %d files, median of %d rounds\n", kFiles, kRounds);
    std::printf("  engine (RINOMINA path): %10.0f us\n", engineUs);
    std::printf("  bare renameat2 loop:    %10.0f us\n", bareUs);
    std::printf("  ratio: %.3f (goal <= 1.3)\n", engineUs / bareUs);
    return 0;
}
