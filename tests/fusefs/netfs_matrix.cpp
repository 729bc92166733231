// Runs rename matrices through the engine behind "RINOMINA" on a mounted network folder and
// checks the outcome on the server's own folder, by inode and content:
//
//   nomaro_netfs_matrix CLIENT SERVER [OTHER_CLIENT]
//
// CLIENT is the share as this program sees it (an sshfs or smbnetfs mount), SERVER the same
// folder on the server's disk, OTHER_CLIENT (optional) a second mount of it, through which a
// thread plays another client making the new names while the renaming runs. Each matrix works in
// a fresh subfolder. It prints one line per matrix and ends with status 1 when any item was lost
// or replaced, or when the counts differ from what the server shows. scripts/netfs-matrix sets
// up the servers and mounts on the loopback address and runs it.

#include "rename/renaming.h"

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using nomaro::FileTable;
using nomaro::RenameCounts;

struct Item
{
    ino_t inode = 0;
    std::string content; // a file's bytes; a folder's: "dir:" + its one file's bytes

    bool operator<(const Item &other) const
    {
        return inode != other.inode ? inode < other.inode : content < other.content;
    }
};

std::string readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every entry of a server-side folder by name.
std::map<std::string, Item> serverState(const std::string &folder)
{
    std::map<std::string, Item> state;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        struct stat info;
        const std::string path = entry.path().string();
        if (::lstat(path.c_str(), &info) != 0)
            continue;
        Item item{info.st_ino, {}};
        item.content = S_ISDIR(info.st_mode) ? "dir:" + readAll(path + "/dentro") : readAll(path);
        state[entry.path().filename().string()] = item;
    }
    return state;
}

struct Matrix
{
    std::string name;
    // Makes the items on the server side and the rows to rename; the client path is the folder
    // the rows name.
    std::function<void(const std::string &server, const std::string &client, FileTable &)> setUp;
    bool otherClient = false;
    int mustRename = 0; // rows that a sound renaming renames in any case
};

std::string numbered(const char *prefix, int i, const char *suffix = "")
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%04d%s", prefix, i, suffix);
    return buffer;
}

void makeFile(const std::string &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary) << content;
}

void addRow(FileTable &table, const std::string &folder, const std::string &from,
            const std::string &to)
{
    nomaro::nm row;
    row.folder = folder;
    row.name = from;
    row.newName = to;
    table.append(row);
}

// The check: no item lost or duplicated, nothing replaced, each row's item under the name its
// count says, and the counts equal to what the server shows.
bool check(const std::map<std::string, Item> &before, const std::map<std::string, Item> &after,
           const FileTable &table, const RenameCounts &counts,
           const std::map<std::string, Item> &others, std::string &report)
{
    std::map<Item, int> seen;
    for (const auto &[name, item] : after)
        ++seen[item];
    int lost = 0;
    for (const auto &[name, item] : before)
        lost += seen[item] != 1;
    int replaced = 0;
    for (const auto &[name, item] : others) {
        const auto found = after.find(name);
        replaced += found == after.end() || found->second.content != item.content;
    }
    int renamedOnDisk = 0;
    int wrongRows = 0;
    for (int i = 0; i < table.rowCount(); ++i) {
        const nomaro::nm &row = table.row(i);
        const auto found = after.find(row.name);
        wrongRows += found == after.end();
        renamedOnDisk += row.name == row.newName && found != after.end();
    }
    std::ostringstream out;
    out << "renamed " << counts.renamed << " (disk " << renamedOnDisk << "), failed "
        << counts.failed << ", lost " << lost << ", replaced " << replaced << ", rows astray "
        << wrongRows << ", stranded " << counts.stranded.size() << ", unsettled "
        << counts.unsettled.size();
    report = out.str();
    return lost == 0 && replaced == 0 && wrongRows == 0 && renamedOnDisk == counts.renamed
        && counts.renamed + counts.failed == table.rowCount();
}

std::vector<Matrix> matrices()
{
    constexpr int kRows = FileTable::Capacity;
    std::vector<Matrix> all;
    all.push_back({"bulk", [](const std::string &server, const std::string &client, FileTable &t) {
        for (int i = 0; i < kRows; ++i) {
            makeFile(server + "/" + numbered("a", i), numbered("content ", i));
            addRow(t, client, numbered("a", i), numbered("b", i));
        }
    }, false, kRows});
    all.push_back({"existing_targets",
                   [](const std::string &server, const std::string &client, FileTable &t) {
        for (int i = 0; i < kRows; ++i) {
            makeFile(server + "/" + numbered("a", i), numbered("content ", i));
            if (i % 2 == 0)
                makeFile(server + "/" + numbered("b", i), numbered("taken ", i));
            addRow(t, client, numbered("a", i), numbered("b", i));
        }
    }, false, kRows / 2});
    all.push_back({"swaps_and_chains",
                   [](const std::string &server, const std::string &client, FileTable &t) {
        constexpr int kChain = kRows / 2;
        for (int i = 0; i < kChain; ++i)
            makeFile(server + "/" + numbered("c", i), numbered("chain ", i));
        for (int i = kChain - 1; i >= 0; --i) // each target freed by the row before
            addRow(t, client, numbered("c", i), numbered("c", i + 1));
        for (int i = 1; i + 1 <= kChain; i += 2) { // swaps: both names taken, both rows fail
            addRow(t, client, numbered("c", i), numbered("c", i + 1));
            addRow(t, client, numbered("c", i + 1), numbered("c", i));
        }
    }, false, kRows / 2});
    all.push_back({"case_only",
                   [](const std::string &server, const std::string &client, FileTable &t) {
        for (int i = 0; i < kRows; ++i) {
            makeFile(server + "/" + numbered("FOTO", i, ".JPG"), numbered("photo ", i));
            addRow(t, client, numbered("FOTO", i, ".JPG"), numbered("foto", i, ".jpg"));
        }
    }, false, kRows});
    all.push_back({"folders", [](const std::string &server, const std::string &client, FileTable &t) {
        for (int i = 0; i < 300; ++i) {
            const std::string folder = server + "/" + numbered("d", i);
            ::mkdir(folder.c_str(), 0755);
            makeFile(folder + "/dentro", numbered("inside ", i));
            addRow(t, client, numbered("d", i), i % 3 == 0 ? numbered("d", i + 1) : numbered("e", i));
        }
    }, false, 200});
    all.push_back({"another_client_files",
                   [](const std::string &server, const std::string &client, FileTable &t) {
        for (int i = 0; i < 300; ++i) {
            makeFile(server + "/" + numbered("a", i), numbered("content ", i));
            addRow(t, client, numbered("a", i), numbered("b", i));
        }
    }, true});
    all.push_back({"another_client_folders",
                   [](const std::string &server, const std::string &client, FileTable &t) {
        for (int i = 0; i < 300; ++i) {
            const std::string folder = server + "/" + numbered("a", i);
            ::mkdir(folder.c_str(), 0755);
            makeFile(folder + "/dentro", numbered("inside ", i));
            addRow(t, client, numbered("a", i), numbered("b", i));
        }
    }, true});
    return all;
}

// Another client making the new names "b0000"... while the renaming runs: each a file holding
// "altro client" or an empty folder, made exclusively, so that every name it reports is its own.
std::set<std::string> runOtherClient(const std::string &folder, bool folders,
                                     const std::atomic<bool> &stop)
{
    std::set<std::string> made;
    for (int i = 0; !stop; i = (i + 7) % 300) {
        const std::string name = numbered("b", i);
        if (made.count(name))
            continue;
        const std::string path = folder + "/" + name;
        if (folders) {
            if (::mkdir(path.c_str(), 0755) == 0)
                made.insert(name);
            continue;
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            continue;
        // Some file systems (smbnetfs) do not keep to O_EXCL: write only into a file of our own.
        struct stat info;
        static const char kContent[] = "altro client";
        if (::fstat(fd, &info) == 0 && info.st_size == 0
            && ::write(fd, kContent, sizeof kContent - 1) == sizeof kContent - 1)
            made.insert(name);
        ::close(fd);
    }
    return made;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CLIENT SERVER [OTHER_CLIENT]\n", argv[0]);
        return 2;
    }
    const std::string clientRoot = argv[1];
    const std::string serverRoot = argv[2];
    const std::string otherRoot = argc > 3 ? argv[3] : "";
    bool allGood = true;
    int run = 0;
    for (const Matrix &matrix : matrices()) {
        if (matrix.otherClient && otherRoot.empty())
            continue;
        const std::string sub = "m" + std::to_string(::getpid()) + "-" + std::to_string(run++);
        const std::string server = serverRoot + "/" + sub;
        ::mkdir(server.c_str(), 0777);
        FileTable table;
        matrix.setUp(server, clientRoot + "/" + sub, table);
        const auto before = serverState(server);

        std::atomic<bool> stop{false};
        std::set<std::string> made;
        std::thread other;
        if (matrix.otherClient) {
            const bool folders = matrix.name.find("folders") != std::string::npos;
            other = std::thread([&, folders] { made = runOtherClient(otherRoot + "/" + sub, folders, stop); });
        }
        const RenameCounts counts = nomaro::renameRows(table);
        stop = true;
        if (other.joinable())
            other.join();

        const auto after = serverState(server);
        // What the other client made must be there as it made it.
        std::map<std::string, Item> others;
        const bool folders = matrix.name.find("folders") != std::string::npos;
        for (const std::string &name : made)
            others[name] = Item{0, folders ? "dir:" : "altro client"};
        std::string report;
        const bool good = check(before, after, table, counts, others, report)
                          && counts.renamed >= matrix.mustRename;
        std::printf("%-24s %s  %s, other client made %zu\n", matrix.name.c_str(),
                    good ? "ok  " : "FAIL", report.c_str(), made.size());
        allGood = allGood && good;
        std::filesystem::remove_all(server);
    }
    return allGood ? 0 : 1;
}
