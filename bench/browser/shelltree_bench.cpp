// Times the expansion of a folder tree node with 10,000 subfolders (a tenth of them holding a
// folder of their own, so that both answers of the has-subfolders probe are asked) against the
// bare cost of reading that folder: readdir and one fstatat per entry. Medians of repeated runs,
// both measured in each run.

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
constexpr int kRuns = 15;

using nomaro::bench::bareRead;
using nomaro::bench::median;

template <typename F>
double timeMs(F work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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
    // Each run times the bare read and the expansion back to back, so both see the same load of
    // a shared machine; the ratio is the median of the runs' ratios.
    std::vector<double> bare;
    std::vector<double> tree;
    std::vector<double> ratios;
    for (int i = 0; i < kRuns; ++i) {
        bare.push_back(timeMs([&] { bareRead(folder.string()); }));
        tree.push_back(timeMs([&] {
            model.fillTop(base);
            nodes = static_cast<int>(model.top()->children.size());
        }));
        ratios.push_back(tree.back() / bare.back());
    }
    std::printf("expanding a node of %d subfolders: %.1f ms (median of %d)\n", nodes, median(tree), kRuns);
    std::printf("bare readdir + fstatat: %.1f ms\n", median(bare));
    std::printf("ratio: %.2f x (median of the runs' ratios; goal <= 2)\n", median(ratios));
    std::filesystem::remove_all(folder);
    return 0;
}
