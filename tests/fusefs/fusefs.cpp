// A passthrough file system for the tests: it serves a backing folder at a mount point and, on
// request, behaves like the file systems the renaming and the save must survive.
//
//   nomaro_fusefs BACKING MOUNTPOINT [switch...]
//     --no-noreplace        a rename with flags (RENAME_NOREPLACE) fails with EINVAL
//     --no-links            link() fails with EPERM
//     --fold-case           names are looked up ignoring the case of A-Z
//     --unlink-lies         unlink() removes the name, then reports ENOENT
//     --unlink-fails=GLOB   unlink() of a name matching GLOB fails with EIO, removing nothing
//     --fail-rename=GLOB    a rename whose new name matches GLOB fails with EIO
//     --fail-times=N        ... only the first N times (default: always)
//     --write-zero          write() accepts nothing and returns 0
//
// It runs in the foreground, single-threaded, until it is unmounted or gets SIGTERM.

#define FUSE_USE_VERSION 31

#include <fuse.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>
#include <vector>

namespace {

struct Switches
{
    std::string backing;
    bool noNoReplace = false;
    bool noLinks = false;
    bool foldCase = false;
    bool unlinkLies = false;
    std::string unlinkFails;
    std::string failRename;
    long failTimes = -1; // negative: every time
    bool writeZero = false;
};

Switches g_switches;

bool equalFolded(const char *a, const char *b)
{
    for (; *a && *b; ++a, ++b) {
        const char x = *a >= 'A' && *a <= 'Z' ? char(*a - 'A' + 'a') : *a;
        const char y = *b >= 'A' && *b <= 'Z' ? char(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

// The backing folder's own spelling of `name` in `folder`: the exact name when it exists, else
// (with --fold-case) the first entry equal to it ignoring case, else `name` itself.
std::string spellingIn(const std::string &folder, const std::string &name)
{
    struct stat info;
    if (!g_switches.foldCase || ::lstat((folder + "/" + name).c_str(), &info) == 0)
        return name;
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return name;
    std::string found = name;
    while (const dirent *entry = ::readdir(dir)) {
        if (equalFolded(entry->d_name, name.c_str())) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// The backing path of a path below the mount point ("/" is the backing folder itself).
std::string backingOf(const char *path)
{
    std::string result = g_switches.backing;
    std::string rest(path);
    std::size_t start = 0;
    while (start < rest.size()) {
        const std::size_t slash = rest.find('/', start);
        const std::size_t end = slash == std::string::npos ? rest.size() : slash;
        if (end > start)
            result += "/" + spellingIn(result, rest.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

std::string lastComponent(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

int status(int result)
{
    return result < 0 ? -errno : 0;
}

void *fsInit(fuse_conn_info *, fuse_config *config)
{
    // Nothing cached in the kernel: each look-up reaches this process, so folding case and the
    // injected faults show in every call.
    config->use_ino = 1;
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    config->direct_io = 1;
    return nullptr;
}

int fsGetattr(const char *path, struct stat *info, fuse_file_info *file)
{
    if (file)
        return status(::fstat(int(file->fh), info));
    return status(::lstat(backingOf(path).c_str(), info));
}

int fsAccess(const char *path, int mask)
{
    return status(::access(backingOf(path).c_str(), mask));
}

int fsReadlink(const char *path, char *buffer, size_t size)
{
    const ssize_t length = ::readlink(backingOf(path).c_str(), buffer, size - 1);
    if (length < 0)
        return -errno;
    buffer[length] = '\0';
    return 0;
}

int fsReaddir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t, fuse_file_info *,
              fuse_readdir_flags)
{
    DIR *dir = ::opendir(backingOf(path).c_str());
    if (!dir)
        return -errno;
    while (const dirent *entry = ::readdir(dir)) {
        struct stat info{};
        info.st_ino = entry->d_ino;
        info.st_mode = mode_t(entry->d_type) << 12;
        if (fill(buffer, entry->d_name, &info, 0, fuse_fill_dir_flags(0)))
            break;
    }
    ::closedir(dir);
    return 0;
}

int fsMknod(const char *path, mode_t mode, dev_t device)
{
    return status(::mknod(backingOf(path).c_str(), mode, device));
}

int fsMkdir(const char *path, mode_t mode)
{
    return status(::mkdir(backingOf(path).c_str(), mode));
}

int fsUnlink(const char *path)
{
    if (!g_switches.unlinkFails.empty()
        && ::fnmatch(g_switches.unlinkFails.c_str(), lastComponent(path).c_str(), 0) == 0)
        return -EIO;
    if (::unlink(backingOf(path).c_str()) != 0)
        return -errno;
    return g_switches.unlinkLies ? -ENOENT : 0;
}

int fsRmdir(const char *path)
{
    return status(::rmdir(backingOf(path).c_str()));
}

int fsSymlink(const char *target, const char *path)
{
    return status(::symlink(target, backingOf(path).c_str()));
}

bool renameFailsNow(const char *to)
{
    if (g_switches.failRename.empty() || g_switches.failTimes == 0
        || ::fnmatch(g_switches.failRename.c_str(), lastComponent(to).c_str(), FNM_PERIOD) != 0)
        return false;
    if (g_switches.failTimes > 0)
        --g_switches.failTimes;
    return true;
}

int fsRename(const char *from, const char *to, unsigned int flags)
{
    if (flags != 0 && g_switches.noNoReplace)
        return -EINVAL;
    if (renameFailsNow(to))
        return -EIO;
    const std::string source = backingOf(from);
    std::string target = backingOf(to);
    // Under folded case the target may be the source itself in another spelling: then the rename
    // gives the item the new spelling, as case-insensitive file systems do.
    struct stat sourceInfo;
    struct stat targetInfo;
    if (::lstat(source.c_str(), &sourceInfo) == 0 && ::lstat(target.c_str(), &targetInfo) == 0
        && sourceInfo.st_ino == targetInfo.st_ino && source != target) {
        if (flags != 0)
            return -EEXIST;
        target = target.substr(0, target.rfind('/') + 1) + lastComponent(to);
    }
    return status(::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), flags));
}

int fsLink(const char *from, const char *to)
{
    if (g_switches.noLinks)
        return -EPERM;
    return status(::link(backingOf(from).c_str(), backingOf(to).c_str()));
}

int fsChmod(const char *path, mode_t mode, fuse_file_info *file)
{
    if (file)
        return status(::fchmod(int(file->fh), mode));
    return status(::chmod(backingOf(path).c_str(), mode));
}

int fsChown(const char *path, uid_t owner, gid_t group, fuse_file_info *file)
{
    if (file)
        return status(::fchown(int(file->fh), owner, group));
    return status(::lchown(backingOf(path).c_str(), owner, group));
}

int fsTruncate(const char *path, off_t size, fuse_file_info *file)
{
    if (file)
        return status(::ftruncate(int(file->fh), size));
    return status(::truncate(backingOf(path).c_str(), size));
}

int fsUtimens(const char *path, const timespec times[2], fuse_file_info *file)
{
    if (file)
        return status(::futimens(int(file->fh), times));
    return status(::utimensat(AT_FDCWD, backingOf(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int fsCreate(const char *path, mode_t mode, fuse_file_info *file)
{
    const int fd = ::open(backingOf(path).c_str(), file->flags, mode);
    if (fd < 0)
        return -errno;
    file->fh = std::uint64_t(fd);
    return 0;
}

int fsOpen(const char *path, fuse_file_info *file)
{
    const int fd = ::open(backingOf(path).c_str(), file->flags);
    if (fd < 0)
        return -errno;
    file->fh = std::uint64_t(fd);
    return 0;
}

int fsRead(const char *, char *buffer, size_t size, off_t offset, fuse_file_info *file)
{
    const ssize_t count = ::pread(int(file->fh), buffer, size, offset);
    return count < 0 ? -errno : int(count);
}

int fsWrite(const char *, const char *buffer, size_t size, off_t offset, fuse_file_info *file)
{
    if (g_switches.writeZero)
        return 0;
    const ssize_t count = ::pwrite(int(file->fh), buffer, size, offset);
    return count < 0 ? -errno : int(count);
}

int fsStatfs(const char *path, struct statvfs *info)
{
    return status(::statvfs(backingOf(path).c_str(), info));
}

int fsRelease(const char *, fuse_file_info *file)
{
    ::close(int(file->fh));
    return 0;
}

int fsFsync(const char *, int dataOnly, fuse_file_info *file)
{
    return status(dataOnly ? ::fdatasync(int(file->fh)) : ::fsync(int(file->fh)));
}

bool parseSwitch(const std::string &arg)
{
    const auto valueOf = [&arg](const char *prefix, std::string &value) {
        const std::size_t length = std::strlen(prefix);
        if (arg.compare(0, length, prefix) != 0)
            return false;
        value = arg.substr(length);
        return true;
    };
    std::string value;
    if (arg == "--no-noreplace")
        g_switches.noNoReplace = true;
    else if (arg == "--no-links")
        g_switches.noLinks = true;
    else if (arg == "--fold-case")
        g_switches.foldCase = true;
    else if (arg == "--unlink-lies")
        g_switches.unlinkLies = true;
    else if (valueOf("--unlink-fails=", value))
        g_switches.unlinkFails = value;
    else if (arg == "--write-zero")
        g_switches.writeZero = true;
    else if (valueOf("--fail-rename=", value))
        g_switches.failRename = value;
    else if (valueOf("--fail-times=", value))
        g_switches.failTimes = std::strtol(value.c_str(), nullptr, 10);
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s BACKING MOUNTPOINT [switch...]\n", argv[0]);
        return 2;
    }
    char resolved[PATH_MAX];
    if (!::realpath(argv[1], resolved)) {
        std::perror(argv[1]);
        return 2;
    }
    g_switches.backing = resolved;
    for (int i = 3; i < argc; ++i) {
        if (!parseSwitch(argv[i])) {
            std::fprintf(stderr, "unknown switch %s\n", argv[i]);
            return 2;
        }
    }

    fuse_operations operations{};
    operations.init = fsInit;
    operations.getattr = fsGetattr;
    operations.access = fsAccess;
    operations.readlink = fsReadlink;
    operations.readdir = fsReaddir;
    operations.mknod = fsMknod;
    operations.mkdir = fsMkdir;
    operations.unlink = fsUnlink;
    operations.rmdir = fsRmdir;
    operations.symlink = fsSymlink;
    operations.rename = fsRename;
    operations.link = fsLink;
    operations.chmod = fsChmod;
    operations.chown = fsChown;
    operations.truncate = fsTruncate;
    operations.utimens = fsUtimens;
    operations.create = fsCreate;
    operations.open = fsOpen;
    operations.read = fsRead;
    operations.write = fsWrite;
    operations.statfs = fsStatfs;
    operations.release = fsRelease;
    operations.fsync = fsFsync;

    std::vector<char *> fuseArgs = {argv[0], argv[2], const_cast<char *>("-f"),
                                    const_cast<char *>("-s")};
    return fuse_main(int(fuseArgs.size()), fuseArgs.data(), &operations, nullptr);
}
