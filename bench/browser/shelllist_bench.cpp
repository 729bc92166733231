// Times a full Refresh of the folder list over folders of 1,000, 100,000 and (with the argument
// "1000000") 1,000,000 entries, 99% files and 1% folders, against the bare cost of reading the
// same folder in the same run: one thread, readdir and one fstatat per entry. Then the sorts by
// "Dimensione", "Tipo" and "Modificato" against a std::sort of the same keys, and the memory a
// row holds beyond its name. Rounds alternate between the two sides; the medians are printed.
// The list reads with several threads, so the times are wall-clock times.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "bench/browser/folderbench.h"
#include "browser/shelllist.h"
#include "browser/shelllistmodel.h"
#include "platform/dir_reader.h"
#include "platform/shell_namespace.h"

namespace {

using nomaro::bench::bareRead;
using nomaro::bench::median;
using nomaro::bench::Clock;
using nomaro::bench::msSince;

template <typename F>
double timed(F work)
{
    const auto start = Clock::now();
    work();
    return msSince(start);
}

// `count` entries with names in no particular order, one in a hundred a folder, the files of
// ten types with sizes and times spread out (sparse, so making them is cheap). Gives the total
// of name bytes.
std::size_t makeFolder(const std::string &path, int count)
{
    static const char *const extensions[] = {".jpg", ".txt", ".png", ".pdf", ".doc", ".mp3", ".zip", ".html", ".csv", ".c"};
    std::vector<int> numbers(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        numbers[static_cast<std::size_t>(i)] = i;
    std::mt19937 random(42);
    std::shuffle(numbers.begin(), numbers.end(), random);
    std::size_t nameBytes = 0;
    for (const int number : numbers) {
        const bool folder = number % 100 == 0;
        const std::string name = (folder ? "Cartella " : "Foto ") + std::to_string(number) + (folder ? "" : extensions[number % 10]);
        nameBytes += name.size();
        const std::string full = path + "/" + name;
        if (folder) {
            ::mkdir(full.c_str(), 0755);
            continue;
        }
        const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            continue;
        if (::ftruncate(fd, static_cast<off_t>(random() % 5000000)) != 0)
            std::perror("ftruncate");
        const timespec times[2] = {{1600000000 + static_cast<time_t>(random() % 100000000), 0},
                                   {1600000000 + static_cast<time_t>(random() % 100000000), static_cast<long>(random() % 1000000000)}};
        ::futimens(fd, times);
        ::close(fd);
    }
    return nameBytes;
}

void measureSorts(nomaro::ShellList &list, int rounds)
{
    nomaro::ShellListModel &model = list.rowModel();
    const nomaro::platform::ShellFolder &folder = *list.boundFolder();
    std::vector<nomaro::platform::ItemElement> elements;
    for (int row = 0; row < model.rowCount(); ++row)
        elements.push_back(model.item(row)->element());
    struct Column
    {
        const char *caption;
        int key;
    };
    for (const Column column : {Column{"Dimensione", 2}, Column{"Tipo", 3}, Column{"Modificato", 4}}) {
        std::vector<double> sorts;
        std::vector<double> bare;
        for (int round = 0; round < rounds; ++round) {
            model.sortRows(1);
            sorts.push_back(timed([&] { model.sortRows(column.key); }));
            model.sortRows(1);
            std::vector<nomaro::platform::SortKey> keys = folder.sortKeys(column.key - 1, elements);
            bare.push_back(timed([&] { std::sort(keys.begin(), keys.end()); }));
        }
        const double sortMs = median(sorts);
        const double bareMs = median(bare);
        std::printf("               sort by %-10s %7.1f ms, std::sort of the keys %6.1f ms, ratio %.2f (goal <= 3)\n",
                    column.caption, sortMs, bareMs, sortMs / bareMs);
    }
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
    const int rounds = count >= 1000000 ? 3 : count >= 100000 ? 7 : 21;

    {
        nomaro::ShellList list;
        list.resize(640, 400);
        list.show();
        QCoreApplication::processEvents();
        malloc_trim(0);
        const std::size_t heapBefore = mallinfo2().uordblks + mallinfo2().hblkhd;
        list.setFolderPath(folder);
        malloc_trim(0);
        const std::size_t heapAfter = mallinfo2().uordblks + mallinfo2().hblkhd;
        const double heldPerRow = (static_cast<double>(heapAfter) - static_cast<double>(heapBefore) - static_cast<double>(nameBytes)) / count;
        if (list.itemCount() != count)
            std::printf("  (the list shows %d rows, not %d)\n", list.itemCount(), count);

        std::vector<double> bare;
        std::vector<double> refresh;
        for (int round = 0; round < rounds; ++round) {
            bare.push_back(timed([&] { bareRead(folder); }));
            refresh.push_back(timed([&] { list.Refresh(); }));
            QCoreApplication::processEvents();
        }
        const double bareMs = median(bare);
        const double refreshMs = median(refresh);
        std::printf("%7d entries: bare readdir+fstatat %8.1f ms, Refresh %8.1f ms, ratio %.2f (goal <= 1.0; %u lookup threads)\n",
                    count, bareMs, refreshMs, refreshMs / bareMs, nomaro::platform::lookupThreads());
        std::printf("               memory held beyond names: %.0f bytes/row (goal <= 120)\n", heldPerRow);
        measureSorts(list, rounds);
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
    std::vector<int> counts = {1000, 100000};
    if (argc > 1 && std::string(argv[1]) == "1000000")
        counts.push_back(1000000);
    for (const int count : counts)
        measure(count);
    return 0;
}
