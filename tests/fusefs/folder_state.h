#pragma once

#include <map>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace nomaro::test {

// What an entry is, told apart by content rather than by name: its inode and a digest of what
// it holds (a file's bytes, a folder's entry names, a link's target).
struct ItemState
{
    ino_t inode = 0;
    char kind = '?'; // 'f' file, 'd' folder, 'l' symbolic link
    std::string digest;

    bool operator==(const ItemState &) const = default;
};

// For the test's failure messages.
void PrintTo(const ItemState &item, std::ostream *out);

// Every entry of the folder by name, read directly (not through a file system under test).
std::map<std::string, ItemState> folderState(const std::string &folder);

// The names in the folder, sorted.
std::vector<std::string> namesIn(const std::string &folder);

} // namespace nomaro::test
