#pragma once

#include <dirent.h>

namespace nomaro::test {

// The threads this process has now, as /proc lists them.
inline int threadCount()
{
    int count = 0;
    DIR *tasks = ::opendir("/proc/self/task");
    while (const dirent *entry = ::readdir(tasks))
        count += entry->d_name[0] != '.';
    ::closedir(tasks);
    return count;
}

} // namespace nomaro::test
