#include "platform/file_verbs.h"

#include "platform/file_ops.h"
#include "platform/rename_posix.h"
#include "platform/paths.h"
#include "platform/shell_error.h"

#include <cerrno>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nomaro::platform {
namespace {

using fileops::canonical;
using fileops::nameOf;
using fileops::parentOf;

constexpr int kMostCopyNames = 10000;

// What a paste has done so far, told to the watcher of its progress, and whether it was asked
// to stop. Lives on the copying thread.
class CopyMeter
{
public:
    explicit CopyMeter(const PasteProgress &progress) : m_progress(progress) {}

    bool cancelled() const { return m_progress.cancelled && m_progress.cancelled->load(); }
    void startItem(const std::string &name)
    {
        m_status.current = name;
        tell();
    }
    void itemDone()
    {
        ++m_status.itemsDone;
        tell();
    }
    void addBytes(std::uint64_t bytes)
    {
        m_status.bytesDone += bytes;
        tell();
    }
    void setItems(size_t items) { m_status.items = items; }

private:
    void tell()
    {
        if (m_progress.onProgress)
            m_progress.onProgress(m_status);
    }

    const PasteProgress &m_progress;
    PasteStatus m_status;
};

// Each copy function returns 0 or the errno of the first failure (ECANCELED when the paste was
// asked to stop). `created` tells the caller that `target` now exists and is ours to remove again.
int copyEntry(const std::string &source, const std::string &target, const struct stat &info,
              bool &created, CopyMeter &meter);

void keepTimes(const std::string &target, const struct stat &info)
{
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ::utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

int writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= written;
    }
    return 0;
}

int copyContents(int in, int out, CopyMeter &meter)
{
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        if (meter.cancelled())
            return ECANCELED;
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (const int error = writeAll(out, buffer.data(), got))
            return error;
        meter.addBytes(std::uint64_t(got));
    }
}

int copyFile(const std::string &source, const std::string &target, const struct stat &info,
             bool &created, CopyMeter &meter)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return errno;
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           0600);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    created = true;
    int error = copyContents(in, out, meter);
    ::close(in);
    if (error == 0) {
        ::fchmod(out, info.st_mode & 07777);
        const timespec times[2] = {info.st_atim, info.st_mtim};
        ::futimens(out, times);
    }
    if (::close(out) != 0 && error == 0)
        error = errno;
    return error;
}

int copyFolder(const std::string &source, const std::string &target, const struct stat &info,
               bool &created, CopyMeter &meter)
{
    if (::mkdir(target.c_str(), 0700) != 0)
        return errno;
    created = true;
    DIR *dir = ::opendir(source.c_str());
    if (!dir)
        return errno;
    int error = 0;
    for (;;) {
        if (meter.cancelled()) {
            error = ECANCELED;
            break;
        }
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            error = errno;
            break;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string child = joinPath(source, name);
        struct stat childInfo;
        if (::lstat(child.c_str(), &childInfo) != 0) {
            error = errno;
            break;
        }
        bool childCreated = false;
        if ((error = copyEntry(child, joinPath(target, name), childInfo, childCreated, meter)) != 0)
            break;
    }
    ::closedir(dir);
    if (error != 0)
        return error;
    // Last, so that a read-only source folder still took its contents and keeps its time.
    ::chmod(target.c_str(), info.st_mode & 07777);
    keepTimes(target, info);
    return 0;
}

int copyLink(const std::string &source, const std::string &target, const struct stat &info,
             bool &created)
{
    std::string destination(size_t(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
    const ssize_t length = ::readlink(source.c_str(), destination.data(), destination.size());
    if (length < 0)
        return errno;
    if (size_t(length) == destination.size())
        return ENAMETOOLONG; // the link grew since lstat
    destination.resize(size_t(length));
    if (::symlink(destination.c_str(), target.c_str()) != 0)
        return errno;
    created = true;
    keepTimes(target, info);
    return 0;
}

int copyEntry(const std::string &source, const std::string &target, const struct stat &info,
              bool &created, CopyMeter &meter)
{
    if (S_ISREG(info.st_mode))
        return copyFile(source, target, info, created, meter);
    if (S_ISDIR(info.st_mode))
        return copyFolder(source, target, info, created, meter);
    if (S_ISLNK(info.st_mode))
        return copyLink(source, target, info, created);
    // Pipes, sockets and devices: a new node of the same kind (devices need privileges).
    if (::mknod(target.c_str(), info.st_mode, info.st_rdev) != 0)
        return errno;
    created = true;
    keepTimes(target, info);
    return 0;
}

// Removes an item and everything in it; `ours` makes our own read-only copies removable.
int removeTree(const std::string &path, bool ours)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return errno;
    if (!S_ISDIR(info.st_mode))
        return ::unlink(path.c_str()) == 0 ? 0 : errno;
    if (ours)
        ::chmod(path.c_str(), 0700);
    DIR *dir = ::opendir(path.c_str());
    if (!dir)
        return errno;
    int error = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && error == 0)
            error = removeTree(joinPath(path, name), ours);
    }
    ::closedir(dir);
    if (error != 0)
        return error;
    return ::rmdir(path.c_str()) == 0 ? 0 : errno;
}

// Whether removeTree(path, false) can be expected to succeed: every folder on the way writable.
int removable(const std::string &path, const struct stat &info)
{
    if (::access(parentOf(path).c_str(), W_OK | X_OK) != 0)
        return errno;
    if (!S_ISDIR(info.st_mode))
        return 0;
    DIR *dir = ::opendir(path.c_str());
    if (!dir)
        return errno;
    int error = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat childInfo;
        if (name == "." || name == ".." || error != 0)
            continue;
        const std::string child = joinPath(path, name);
        error = ::lstat(child.c_str(), &childInfo) == 0 ? removable(child, childInfo) : errno;
    }
    ::closedir(dir);
    return error;
}

enum class Attempt { Done, NameTaken, Failed };

// Tries the item's own name (from n = 0) or its copy names (from n = 1) until `attempt` is done
// or fails; `target` is the last path tried.
Attempt tryNames(const std::string &folder, const std::string &name, bool isFolder, int firstN,
                 const std::function<Attempt(const std::string &)> &attempt, std::string &target,
                 int &error)
{
    for (int n = firstN; n < kMostCopyNames; ++n) {
        target = joinPath(folder, n == 0 ? name : copyName(name, isFolder, n));
        const Attempt result = attempt(target);
        if (result != Attempt::NameTaken)
            return result;
    }
    error = EEXIST;
    return Attempt::Failed;
}

class ItemPaster
{
public:
    ItemPaster(std::string source, const std::string &folder, bool cut, CopyMeter &meter)
        : m_source(std::move(source))
        , m_folder(folder)
        , m_cut(cut)
        , m_meter(meter)
        , m_what(std::string(cut ? "Impossibile spostare " : "Impossibile copiare ")
                 + fileops::quotedName(m_source))
    {
    }

    PasteResult run()
    {
        PasteResult result{m_source, {}, PasteOutcome::Failed, {}};
        struct stat info;
        const std::string name = nameOf(m_source);
        if (name.empty() || name == "." || name == "..")
            return failed(result, EINVAL);
        if (::lstat(m_source.c_str(), &info) != 0)
            return failed(result, errno);
        const std::string folderReal = canonical(m_folder);
        if (folderReal.empty())
            return failed(result, errno);
        const bool isFolder = S_ISDIR(info.st_mode);
        if (isFolder) {
            const std::string sourceReal = canonical(m_source);
            if (folderReal == sourceReal || folderReal.starts_with(sourceReal + "/")) {
                result.message = m_what + ": la cartella di destinazione è la cartella stessa o una"
                                          " sua sottocartella";
                return result;
            }
        }
        const bool sameFolder = canonical(parentOf(m_source)) == folderReal;
        if (m_cut && sameFolder) {
            result.outcome = PasteOutcome::Unchanged;
            result.target = m_source;
            return result;
        }
        int error = 0;
        bool acrossFileSystems = false;
        if (m_cut) {
            const auto move = [&](const std::string &target) {
                switch (posix::moveNoReplace(m_source, target)) {
                case RenameStatus::Renamed:
                    return Attempt::Done;
                case RenameStatus::TargetExists:
                    return Attempt::NameTaken;
                default:
                    error = errno;
                    return Attempt::Failed;
                }
            };
            if (tryNames(m_folder, name, isFolder, 0, move, result.target, error) == Attempt::Done) {
                result.outcome = PasteOutcome::Moved;
                return result;
            }
            if (error != EXDEV)
                return failed(result, error);
            if ((error = removable(m_source, info)) != 0)
                return failed(result, error);
            acrossFileSystems = true;
        }
        const auto copy = [&](const std::string &target) {
            bool created = false;
            error = copyEntry(m_source, target, info, created, m_meter);
            if (error == 0)
                return Attempt::Done;
            if (!created && error == EEXIST)
                return Attempt::NameTaken;
            if (created)
                removeTree(target, true);
            return Attempt::Failed;
        };
        if (tryNames(m_folder, name, isFolder, sameFolder ? 1 : 0, copy, result.target, error)
            != Attempt::Done)
            return error == ECANCELED ? cancelled(result) : failed(result, error);
        result.outcome = PasteOutcome::Copied;
        if (acrossFileSystems) {
            if ((error = removeTree(m_source, false)) != 0)
                result.message = systemMessage("Copiato in \"" + result.target
                                                   + "\", ma impossibile rimuovere l'originale "
                                                   + fileops::quotedName(m_source),
                                               error);
            else
                result.outcome = PasteOutcome::Moved;
        }
        return result;
    }

    // An item the paste never reached, or whose half-made copy it removed: no message.
    static PasteResult &cancelled(PasteResult &result)
    {
        result.target.clear();
        result.outcome = PasteOutcome::Cancelled;
        return result;
    }

private:
    PasteResult &failed(PasteResult &result, int error)
    {
        result.target.clear();
        result.message = systemMessage(m_what, error);
        return result;
    }

    std::string m_source;
    const std::string &m_folder;
    bool m_cut;
    CopyMeter &m_meter;
    std::string m_what;
};

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string copyName(const std::string &name, bool isFolder, int n)
{
    const std::string suffix = n == 1 ? " (copia)" : " (copia " + std::to_string(n) + ")";
    const size_t dot = isFolder ? std::string::npos : name.find_last_of('.');
    if (dot == std::string::npos || dot == 0)
        return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::vector<PasteResult> pasteItems(const std::vector<std::string> &items,
                                    const std::string &targetFolder, bool cut)
{
    return pasteItems(items, targetFolder, cut, PasteProgress{});
}

std::vector<PasteResult> pasteItems(const std::vector<std::string> &items,
                                    const std::string &targetFolder, bool cut,
                                    const PasteProgress &progress)
{
    CopyMeter meter(progress);
    meter.setItems(items.size());
    std::vector<PasteResult> results;
    results.reserve(items.size());
    for (const std::string &item : items) {
        const std::string source = withoutTrailingSlashes(item);
        if (meter.cancelled()) {
            PasteResult result{source, {}, PasteOutcome::Failed, {}};
            results.push_back(ItemPaster::cancelled(result));
            continue;
        }
        meter.startItem(nameOf(source));
        results.push_back(ItemPaster(source, targetFolder, cut, meter).run());
        meter.itemDone();
    }
    return results;
}

} // namespace nomaro::platform
