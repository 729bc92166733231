// Times the expansion of a chain of nested folders in the folder tree, node after node as a user
// or the list's show-folder would open them, and the memory the expanded tree holds. The default
// depth of 1,986 one-letter folders keeps the deepest path just under PATH_MAX below /tmp; give
// another depth as the first argument (250 shows how the cost grows with depth). The bare floor
// walks the same chain with openat, reading each folder and looking at each entry once.

#include <QApplication>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "bench/browser/folderbench.h"
#include "browser/shelltreemodel.h"
#include "platform/shell_namespace.h"

namespace {

using namespace nomaro::bench;

constexpr int kDefaultDepth = 1986;
constexpr int kRuns = 3;

// Makes `depth` folders "d", each inside the one before; false when the system refuses one.
bool makeChain(const std::string &top, int depth)
{
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < depth && fd >= 0; ++i) {
        if (::mkdirat(fd, "d", 0755) != 0) {
            ::close(fd);
            return false;
        }
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Every folder of the chain read and each entry looked at once, each folder opened through the
// one above it.
int bareChainRead(const std::string &top)
{
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int folders = 0;
    while (fd >= 0) {
        ++folders;
        const int probe = ::dup(fd);
        DIR *dir = ::fdopendir(probe);
        bool deeper = false;
        while (const dirent *entry = ::readdir(dir)) {
            struct stat info;
            if (entry->d_name[0] != '.' && ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                deeper = S_ISDIR(info.st_mode);
        }
        ::closedir(dir);
        const int next = deeper ? ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        ::close(fd);
        fd = next;
    }
    return folders;
}

// Opens every node down the chain the way a view expands it; gives the depth reached.
int expandChain(nomaro::ShellTreeModel &model, const nomaro::platform::ItemIdList &base)
{
    model.fillTop(base);
    int depth = 0;
    QModelIndex at = model.index(0, 0, model.indexOf(model.top()));
    while (at.isValid()) {
        ++depth;
        model.fetchMore(at);
        at = model.index(0, 0, at);
    }
    return depth;
}

double heapMb()
{
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

double peakMb()
{
    struct rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int depth = argc > 1 ? std::atoi(argv[1]) : kDefaultDepth;
    const BenchFolder made;
    if (made.path.empty() || !makeChain(made.path, depth)) {
        std::perror("making the chain");
        return 1;
    }
    std::printf("chain of %d folders, deepest path %zu bytes (PATH_MAX %d)\n", depth,
                made.path.size() + 2 * static_cast<std::size_t>(depth), PATH_MAX);

    const nomaro::platform::ItemIdList base = nomaro::platform::idListFromPath(made.path);
    // The thread's CPU time says more than the wall clock on a machine shared with other work.
    std::vector<double> bare;
    std::vector<double> tree;
    std::vector<double> treeCpu;
    std::vector<double> ratios;
    double heapHeld = 0;
    double peakGrowth = 0;
    int reached = 0;
    for (int i = 0; i < kRuns; ++i) {
        bare.push_back(bestOf(1, [&] { bareChainRead(made.path); }).wall);
        nomaro::ShellTreeModel model;
        const double heapBefore = heapMb();
        const double peakBefore = peakMb();
        const Timing expanding = bestOf(1, [&] { reached = expandChain(model, base); });
        tree.push_back(expanding.wall);
        treeCpu.push_back(expanding.cpu);
        ratios.push_back(tree.back() / bare.back());
        heapHeld = heapMb() - heapBefore;
        if (i == 0)
            peakGrowth = peakMb() - peakBefore;
    }
    std::printf("expanding %d nested nodes: %.1f ms, CPU %.1f ms (medians of %d; goal < 1000 ms at 1,986)\n",
                reached, median(tree), median(treeCpu), kRuns);
    std::printf("bare openat + readdir + fstatat down the chain: %.1f ms; ratio %.1f x\n", median(bare),
                median(ratios));
    std::printf("heap held by the expanded tree: %.2f MB; peak RSS growth while expanding: %.1f MB "
                "(goal < 10 MB)\n",
                heapHeld, peakGrowth);
    return 0;
}
