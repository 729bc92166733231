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
//     --fail-times=N        ... only the first N times (default: always); the count is shared
//                           with --rename-lies
//     --rename-lies=GLOB    a rename whose new name matches GLOB is carried out, then answered
//                           with EIO (a reply lost on the way back)
//     --write-zero          write() accepts nothing and returns 0
//     --another-client-file=GLOB
//     --another-client-folder=GLOB
//                           "another client": right after a look-up has answered that a name
//                           matching GLOB is absent, a file holding "altro client" (or an empty
//                           folder) appears under that name, as if made by someone else between
//                           a check and the call that follows it
//     --another-client-after=N  ... only after the Nth look-up that found such a name absent
//                           (default 1), to let the calls before the one to be caught pass
//     --case-inodes         names are looked up ignoring case (as --fold-case), and every
//                           spelling other than the stored one answers with an inode number of
//                           its own, so that an inode comparison cannot tell it is the same item
//     --hold-control=FILE   while FILE exists, it holds a pattern; every call on a path (below
//                           the mount, "/" for its root) that matches the pattern waits, as on
//                           a frozen server, until FILE is removed. When a call starts waiting
//                           FILE.held is created, so a test can tell that one is held. A held call
//                           gives up after 60 s, and at once when the file system ends.
//
// Names in GLOB are matched without their folder, and a leading dot must be matched explicitly
// (FNM_PERIOD), so that "*" never takes the renaming's temporary names.
// It runs in the foreground until it is unmounted or gets SIGTERM; with --hold-control it serves
// calls on several threads, so that calls in other folders keep answering (the kernel looks up
// names one at a time per folder, so a held look-up also holds look-ups beside it).

#define FUSE_USE_VERSION 31

#include <fuse.h>
#include <fuse_lowlevel.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <functional>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <chrono>
#include <thread>
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
    std::string renameLies;
    std::string anotherClientFile;
    std::string anotherClientFolder;
    long anotherClientAfter = 1;
    bool caseInodes = false;
    std::string holdControl;
};

Switches g_switches;
std::mutex g_countLock; // guards the counts: calls may run on several threads
long g_absentAnswers = 0; // look-ups that found a name for another client absent

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
{    // Nothing cached in the kernel: each look-up reaches this process, so folding case and the
    // injected faults show in every call.
    config->use_ino = 1;
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    config->direct_io = 1;
    return nullptr;
}

bool matches(const std::string &glob, const char *path)
{
    return !glob.empty() && ::fnmatch(glob.c_str(), lastComponent(path).c_str(), FNM_PERIOD) == 0;
}

// Waits while the hold control file names a pattern that `path` matches (see --hold-control).
void holdIfMarked(const char *path)
{
    const std::string &control = g_switches.holdControl;
    if (control.empty())
        return;
    const auto patternNow = [&control](std::string &pattern) {
        const int fd = ::open(control.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        char buffer[PATH_MAX];
        const ssize_t length = ::read(fd, buffer, sizeof buffer);
        ::close(fd);
        pattern.assign(buffer, length > 0 ? std::size_t(length) : 0);
        return true;
    };
    std::string pattern;
    if (!patternNow(pattern) || ::fnmatch(pattern.c_str(), path, 0) != 0)
        return;
    const int held = ::open((control + ".held").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (held >= 0)
        ::close(held);
    fuse_session *session = fuse_get_session(fuse_get_context()->fuse);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (patternNow(pattern) && !fuse_session_exited(session)
           && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// After a look-up found `backing` absent: another client makes it, when the switches say so.
void anotherClientMakes(const char *path, const std::string &backing)
{
    const bool folder = matches(g_switches.anotherClientFolder, path);
    if (!folder && !matches(g_switches.anotherClientFile, path))
        return;
    {
        const std::lock_guard lock(g_countLock);
        if (++g_absentAnswers < g_switches.anotherClientAfter)
            return;
    }
    if (folder) {
        ::mkdir(backing.c_str(), 0755);
    } else {
        const int fd = ::open(backing.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            static const char kContent[] = "altro client";
            [[maybe_unused]] const ssize_t written = ::write(fd, kContent, sizeof kContent - 1);
            ::close(fd);
        }
    }
}

// With --case-inodes, a spelling other than the stored one gets an inode number of its own.
void giveSpellingItsInode(const char *path, const std::string &backing, struct stat *info)
{
    const std::string asked = lastComponent(path);
    const std::string stored = lastComponent(backing.c_str());
    if (g_switches.caseInodes && asked != stored && !asked.empty())
        info->st_ino ^= (std::hash<std::string>{}(asked) | (ino_t(1) << 62));
}

int fsGetattr(const char *path, struct stat *info, fuse_file_info *file)
{
    holdIfMarked(path);
    const std::string backing = backingOf(path);
    if (file) {
        if (::fstat(int(file->fh), info) != 0)
            return -errno;
    } else if (::lstat(backing.c_str(), info) != 0) {
        const int error = errno;
        if (error == ENOENT)
            anotherClientMakes(path, backing);
        return -error;
    }
    giveSpellingItsInode(path, backing, info);
    return 0;
}

int fsAccess(const char *path, int mask)
{
    holdIfMarked(path);
    return status(::access(backingOf(path).c_str(), mask));
}

int fsReadlink(const char *path, char *buffer, size_t size)
{
    holdIfMarked(path);
    const ssize_t length = ::readlink(backingOf(path).c_str(), buffer, size - 1);
    if (length < 0)
        return -errno;
    buffer[length] = '\0';
    return 0;
}

int fsReaddir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t, fuse_file_info *,
              fuse_readdir_flags)
{
    holdIfMarked(path);
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
    holdIfMarked(path);
    return status(::mknod(backingOf(path).c_str(), mode, device));
}

int fsMkdir(const char *path, mode_t mode)
{
    holdIfMarked(path);
    return status(::mkdir(backingOf(path).c_str(), mode));
}

int fsUnlink(const char *path)
{
    holdIfMarked(path);
    if (!g_switches.unlinkFails.empty()
        && ::fnmatch(g_switches.unlinkFails.c_str(), lastComponent(path).c_str(), 0) == 0)
        return -EIO;
    if (::unlink(backingOf(path).c_str()) != 0)
        return -errno;
    return g_switches.unlinkLies ? -ENOENT : 0;
}

int fsRmdir(const char *path)
{
    holdIfMarked(path);
    return status(::rmdir(backingOf(path).c_str()));
}

int fsSymlink(const char *target, const char *path)
{
    holdIfMarked(path);
    return status(::symlink(target, backingOf(path).c_str()));
}

bool renameFailsNow(const std::string &glob, const char *to)
{
    const std::lock_guard lock(g_countLock);
    if (g_switches.failTimes == 0 || !matches(glob, to))
        return false;
    if (g_switches.failTimes > 0)
        --g_switches.failTimes;
    return true;
}

int fsRename(const char *from, const char *to, unsigned int flags)
{
    holdIfMarked(from);
    holdIfMarked(to);
    if (flags != 0 && g_switches.noNoReplace)
        return -EINVAL;
    if (renameFailsNow(g_switches.failRename, to))
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
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), flags) != 0)
        return -errno;
    return renameFailsNow(g_switches.renameLies, to) ? -EIO : 0;
}

int fsLink(const char *from, const char *to)
{
    holdIfMarked(from);
    if (g_switches.noLinks)
        return -EPERM;
    return status(::link(backingOf(from).c_str(), backingOf(to).c_str()));
}

int fsChmod(const char *path, mode_t mode, fuse_file_info *file)
{
    holdIfMarked(path);
    if (file)
        return status(::fchmod(int(file->fh), mode));
    return status(::chmod(backingOf(path).c_str(), mode));
}

int fsChown(const char *path, uid_t owner, gid_t group, fuse_file_info *file)
{
    holdIfMarked(path);
    if (file)
        return status(::fchown(int(file->fh), owner, group));
    return status(::lchown(backingOf(path).c_str(), owner, group));
}

int fsTruncate(const char *path, off_t size, fuse_file_info *file)
{
    holdIfMarked(path);
    if (file)
        return status(::ftruncate(int(file->fh), size));
    return status(::truncate(backingOf(path).c_str(), size));
}

int fsUtimens(const char *path, const timespec times[2], fuse_file_info *file)
{
    holdIfMarked(path);
    if (file)
        return status(::futimens(int(file->fh), times));
    return status(::utimensat(AT_FDCWD, backingOf(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int fsCreate(const char *path, mode_t mode, fuse_file_info *file)
{
    holdIfMarked(path);
    const int fd = ::open(backingOf(path).c_str(), file->flags, mode);
    if (fd < 0)
        return -errno;
    file->fh = std::uint64_t(fd);
    return 0;
}

int fsOpen(const char *path, fuse_file_info *file)
{
    holdIfMarked(path);
    const int fd = ::open(backingOf(path).c_str(), file->flags);
    if (fd < 0)
        return -errno;
    file->fh = std::uint64_t(fd);
    return 0;
}

int fsRead(const char *path, char *buffer, size_t size, off_t offset, fuse_file_info *file)
{
    holdIfMarked(path);
    const ssize_t count = ::pread(int(file->fh), buffer, size, offset);
    return count < 0 ? -errno : int(count);
}

int fsWrite(const char *path, const char *buffer, size_t size, off_t offset, fuse_file_info *file)
{
    holdIfMarked(path);
    if (g_switches.writeZero)
        return 0;
    const ssize_t count = ::pwrite(int(file->fh), buffer, size, offset);
    return count < 0 ? -errno : int(count);
}

int fsStatfs(const char *path, struct statvfs *info)
{
    holdIfMarked(path);
    return status(::statvfs(backingOf(path).c_str(), info));
}

int fsRelease(const char *, fuse_file_info *file)
{
    ::close(int(file->fh));
    return 0;
}

int fsFsync(const char *path, int dataOnly, fuse_file_info *file)
{
    holdIfMarked(path);
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
    else if (valueOf("--rename-lies=", value))
        g_switches.renameLies = value;
    else if (valueOf("--another-client-file=", value))
        g_switches.anotherClientFile = value;
    else if (valueOf("--another-client-folder=", value))
        g_switches.anotherClientFolder = value;
    else if (valueOf("--another-client-after=", value))
        g_switches.anotherClientAfter = std::strtol(value.c_str(), nullptr, 10);
    else if (arg == "--case-inodes")
        g_switches.foldCase = g_switches.caseInodes = true;
    else if (valueOf("--hold-control=", value))
        g_switches.holdControl = value;
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

    std::vector<char *> fuseArgs = {argv[0], argv[2], const_cast<char *>("-f")};
    if (g_switches.holdControl.empty())
        fuseArgs.push_back(const_cast<char *>("-s"));
    return fuse_main(int(fuseArgs.size()), fuseArgs.data(), &operations, nullptr);
}
