#include "tests/fusefs/folder_state.h"

#include "tests/support/tempdir.h"

#include <algorithm>
#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::test {

std::map<std::string, ItemState> folderState(const std::string &folder)
{
    std::map<std::string, ItemState> state;
    for (const std::string &name : namesIn(folder)) {
        const std::string path = folder + "/" + name;
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0)
            continue;
        ItemState item;
        item.inode = info.st_ino;
        if (S_ISLNK(info.st_mode)) {
            char target[PATH_MAX];
            const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
            item.kind = 'l';
            item.digest.assign(target, length > 0 ? std::size_t(length) : 0);
        } else if (S_ISDIR(info.st_mode)) {
            item.kind = 'd';
            for (const std::string &inside : namesIn(path))
                item.digest += inside + "/";
        } else {
            item.kind = 'f';
            item.digest = readFile(path);
        }
        state[name] = item;
    }
    return state;
}

void PrintTo(const ItemState &item, std::ostream *out)
{
    *out << item.kind << " inode " << item.inode << " (" << item.digest.size() << " bytes)";
}

std::vector<std::string> namesIn(const std::string &folder)
{
    std::vector<std::string> names;
    if (DIR *dir = ::opendir(folder.c_str())) {
        while (const dirent *entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace nomaro::test
