// A long paste as the window lives it: the longest the user-interface thread goes without
// handling an event while 20,000 small files, then one 512 MiB file, are copied through the
// progress dialog's runner (a plain paste on that thread would freeze it for the whole copy),
// and the copying time against a plain paste without progress.

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "browser/pasteprogressdialog.h"

namespace {

// Runs `work` while a 5 ms timer ticks on this thread; gives the longest gap between ticks.
template<typename Work>
qint64 longestStall(Work work)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(5);
    work();
    return std::max(longest, clock.elapsed() - last);
}

// Plain and threaded pastes alternate, each into an empty folder removed afterwards, so that
// neither pays for the other's writing back to the disk.
void measure(const char *what, const std::vector<std::string> &items, const std::string &target)
{
    QWidget owner;
    QElapsedTimer clock;
    qint64 plain = 0;
    qint64 withProgress = 0;
    qint64 stall = 0;
    constexpr int kRounds = 2;
    for (int round = 0; round < kRounds; ++round) {
        std::filesystem::create_directories(target);
        ::sync();
        clock.start();
        nomaro::platform::pasteItems(items, target, false);
        plain += clock.elapsed();
        std::filesystem::remove_all(target);

        std::filesystem::create_directories(target);
        ::sync();
        stall = std::max(stall, longestStall([&] {
            // A dialog that shows is answered by nobody: the paste runs to its end.
            clock.restart();
            nomaro::runPasteWithProgress(&owner, false, [&](const nomaro::platform::PasteProgress &progress) {
                return nomaro::platform::pasteItems(items, target, false, progress);
            });
            withProgress += clock.elapsed();
        }));
        std::filesystem::remove_all(target);
    }
    std::printf("%s: plain paste %lld ms, through the progress runner %lld ms (%.2fx), mean of %d; "
                "longest time without events on the window's thread %lld ms\n",
                what, plain / kRounds, withProgress / kRounds,
                plain > 0 ? double(withProgress) / double(plain) : 0.0, kRounds, stall);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QTemporaryDir root;
    const std::string base = root.path().toStdString();
    for (const char *folder : {"/small", "/big"})
        std::filesystem::create_directories(base + folder);

    std::vector<std::string> small;
    for (int i = 0; i < 20000; ++i) {
        small.push_back(base + "/small/f" + std::to_string(i) + ".txt");
        std::ofstream(small.back()) << "piccolo " << i << '\n';
    }
    measure("20,000 small files", small, base + "/out");
    {
        std::ofstream big(base + "/big/grande.bin", std::ios::binary);
        const std::string block(1024 * 1024, 'x');
        for (int i = 0; i < 512; ++i)
            big << block;
    }
    measure("one 512 MiB file", {base + "/big/grande.bin"}, base + "/out");
    return 0;
}
