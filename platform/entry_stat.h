#pragma once

// How the program looks at one file-system entry: lstat, and for a symbolic link a stat of what
// it leads to, so a link counts by its target while a link that leads nowhere (or into a loop)
// stays an entry of its own. Every lookup of the listing, the search and the working set goes
// through here, so they all agree on what a link is.

#include <optional>
#include <string>
#include <sys/stat.h>

namespace nomaro::platform {

struct EntryStatus
{
    int error = 0;         // 0 when the entry exists; the system's error number otherwise
    bool isLink = false;   // the entry itself is a symbolic link
    struct stat info = {}; // the entry, or for a link that leads somewhere its target

    bool found() const { return error == 0; }
    bool isDirectory() const { return found() && S_ISDIR(info.st_mode); }
    bool isRegular() const { return found() && S_ISREG(info.st_mode); }
};

// The entry `name` of the folder open as `folderFd`; AT_FDCWD with a full path looks the path up.
EntryStatus statEntry(int folderFd, const char *name);
EntryStatus statEntry(const std::string &fullPath);

// The folder that `path` leads to through every link on its way, as a path without links;
// nullopt when it leads to no folder.
std::optional<std::string> resolvedFolder(const std::string &path);

} // namespace nomaro::platform
