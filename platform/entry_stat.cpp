#include "platform/entry_stat.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>

namespace nomaro::platform {

EntryStatus statEntry(int folderFd, const char *name)
{
    EntryStatus status;
    if (::fstatat(folderFd, name, &status.info, AT_SYMLINK_NOFOLLOW) != 0) {
        status.error = errno;
        return status;
    }
    if (S_ISLNK(status.info.st_mode)) {
        status.isLink = true;
        struct stat target;
        if (::fstatat(folderFd, name, &target, 0) == 0)
            status.info = target;
    }
    return status;
}

EntryStatus statEntry(const std::string &fullPath)
{
    return statEntry(AT_FDCWD, fullPath.c_str());
}

std::optional<std::string> resolvedFolder(const std::string &path)
{
    char target[PATH_MAX];
    if (!::realpath(path.c_str(), target))
        return std::nullopt;
    const std::string resolved(target);
    if (!statEntry(resolved).isDirectory())
        return std::nullopt;
    return resolved;
}

} // namespace nomaro::platform
