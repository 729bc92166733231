// Times the expansion of a folder tree node with 10,000 subfolders (a tenth of them holding a
// folder of their own, so that both answers of the has-subfolders probe are asked) against the
// bare cost of reading that folder: readdir and one fstatat per entry. Medians of repeated runs,
// both measured in the same run.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "bench/browser/folderbench.h"
#include "browser/shelltreemodel.h"
#include "platform/shell_namespace.h"

namespace {

constexpr int kFolders = 10000;
constexpr int kRuns = 9;

using nomaro::bench::bareRead;

template <typename F>
double medianMs(F work)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "nomaro-tree-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFolders; ++i) {
        const std::filesystem::path child = folder / ("Cartella " + std::to_string(i));
        std::filesystem::create_directory(child);
        if (i % 10 == 0)
            std::filesystem::create_directory(child / "dentro");
    }

    const nomaro::platform::ItemIdList base = nomaro::platform::idListFromPath(folder.string());
    nomaro::ShellTreeModel model;
    int nodes = 0;
    const double bare = medianMs([&] { bareRead(folder.string()); });
    const double tree = medianMs([&] {
        model.fillTop(base);
        nodes = static_cast<int>(model.top()->children.size());
    });
    const double bareAgain = medianMs([&] { bareRead(folder.string()); });
    std::printf("expanding a node of %d subfolders: %.1f ms (median of %d)\n", nodes, tree, kRuns);
    std::printf("bare readdir + fstatat: %.1f ms, then %.1f ms\n", bare, bareAgain);
    std::printf("ratio: %.2f x\n", tree / std::min(bare, bareAgain));
    std::filesystem::remove_all(folder);
    return 0;
}
