#include "platform/trash_place.h"

#include "platform/file_ops.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::platform::trash {
namespace {

using fileops::parentOf;

std::string homeTrashFolder()
{
    const char *dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return joinPath(dataHome, "Trash");
    const char *home = std::getenv("HOME");
    std::string homeFolder = home && home[0] == '/' ? home : "";
    if (homeFolder.empty()) {
        if (const passwd *user = ::getpwuid(::getuid()))
            homeFolder = user->pw_dir;
    }
    return homeFolder.empty() ? std::string() : joinPath(homeFolder, ".local/share/Trash");
}

// The file system a folder is or would be made on: that of its deepest existing ancestor.
bool deviceOf(std::string path, dev_t &device)
{
    struct stat info;
    while (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT || path == "/")
            return false;
        path = parentOf(path);
    }
    device = info.st_dev;
    return true;
}

// The top folder of the mount that holds `realFolder`, found by going up while the file system
// stays the same.
std::string mountTop(std::string folder, dev_t device)
{
    struct stat info;
    while (folder != "/") {
        const std::string parent = parentOf(folder);
        if (::stat(parent.c_str(), &info) != 0 || info.st_dev != device)
            break;
        folder = parent;
    }
    return folder;
}

// Makes `path` with its missing parents, as the home's data folders are made: for the user only.
bool makeFolders(const std::string &path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        errno = ENOTDIR;
        return S_ISDIR(info.st_mode);
    }
    if (path == "/" || !makeFolders(parentOf(path)))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// A folder of a trash on a shared mount: made when missing, and used only when it is a real
// folder of this user, so another user cannot lead our items into a place of theirs.
bool ownFolder(const std::string &path, dev_t device)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || info.st_dev != device) {
        errno = EPERM;
        return false;
    }
    return true;
}

bool ownTrash(const std::string &folder, dev_t device)
{
    return ownFolder(folder, device) && ownFolder(joinPath(folder, "files"), device)
        && ownFolder(joinPath(folder, "info"), device);
}

// "$topdir/.Trash/$uid" when the administrator made ".Trash" a shared folder with the sticky
// bit, else "$topdir/.Trash-$uid".
bool mountTrash(const std::string &top, dev_t device, std::string &folder)
{
    const std::string uid = std::to_string(::getuid());
    const std::string shared = joinPath(top, ".Trash");
    struct stat info;
    if (::lstat(shared.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX)) {
        folder = joinPath(shared, uid);
        if (ownTrash(folder, device))
            return true;
    }
    folder = joinPath(top, ".Trash-" + uid);
    return ownTrash(folder, device);
}

} // namespace

bool findTrashPlace(const std::string &realFolder, const std::string &name, TrashPlace &place)
{
    struct stat info;
    if (::stat(realFolder.c_str(), &info) != 0)
        return false;
    const std::string item = joinPath(realFolder, name);
    const std::string home = homeTrashFolder();
    dev_t homeDevice = 0;
    if (!home.empty() && deviceOf(home, homeDevice) && homeDevice == info.st_dev) {
        place = {home, item};
        return makeFolders(joinPath(home, "files")) && makeFolders(joinPath(home, "info"));
    }
    const std::string top = mountTop(realFolder, info.st_dev);
    // Recorded from the top folder, so the entry stays right wherever the disk is mounted next.
    place.recordedPath = item.substr(top == "/" ? 1 : top.size() + 1);
    return mountTrash(top, info.st_dev, place.folder);
}

} // namespace nomaro::platform::trash
