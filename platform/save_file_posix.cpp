#include "platform/save_file.h"

#include "platform/outcome_errors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::platform {
namespace {

SaveResult failure(int error)
{
    return {false, std::strerror(error)};
}

bool exists(const std::string &path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

// The file the bytes go to before it takes the target's place. Whatever way the save fails, it
// is removed; where even that fails, the failure says so by name, so that the user can remove
// a file that is hidden and may be large.
class TemporaryFile
{
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile() { discard(); }

    // Creates a new file of the given mode beside the target; false with errno set when none
    // can be made.
    bool create(const std::string &folder, const std::string &base, mode_t mode)
    {
        for (unsigned attempt = 0;; ++attempt) {
            m_path = folder + "/." + base + "." + std::to_string(::getpid()) + "-"
                     + std::to_string(attempt) + ".tmp";
            m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (m_fd >= 0)
                return true;
            if (errno != EEXIST || attempt == 100) {
                const int error = errno;
                m_path.clear();
                errno = error;
                return false;
            }
        }
    }

    int fd() const { return m_fd; }
    const std::string &path() const { return m_path; }

    // Closes the file; false with errno set when the close reports that the data did not all
    // reach the file.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

    // The file now bears the target's name: nothing left to remove.
    void release() { m_path.clear(); }

    // Closes and removes the file. Returns the error text of a failed save, `error`, followed by
    // the name of the file where it could not be removed.
    std::string failWith(std::string error)
    {
        if (!discard()) {
            error += "\nIl file temporaneo \"" + m_path
                     + "\" non si è potuto cancellare: va cancellato a mano.";
            m_path.clear();
        }
        return error;
    }

private:
    // True when no temporary file is left.
    bool discard()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        if (m_path.empty())
            return true;
        // A network file system may remove the file and still answer with an error.
        if (::unlink(m_path.c_str()) == 0 || !exists(m_path)) {
            m_path.clear();
            return true;
        }
        return false;
    }

    std::string m_path;
    int m_fd = -1;
};

// The system has no text of its own for a write() that keeps taking nothing.
constexpr const char *kNoProgress = "Il file system non accetta i dati (nessun byte scritto).";

// Empty when every byte is written, else why not.
std::string writeAll(int fd, std::string_view bytes)
{
    // A write() that takes nothing is allowed to happen now and then; one that keeps doing it
    // would keep the save (and the window) busy for ever.
    constexpr int kZeroWritesAllowed = 3;
    int zeroWrites = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return std::strerror(errno);
        }
        if (written == 0) {
            if (++zeroWrites > kZeroWritesAllowed)
                return kNoProgress;
            continue;
        }
        zeroWrites = 0;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

// Renames the finished temporary file over the target. Where the answer is an error that leaves
// the outcome open, the disk says whether the rename took place: the temporary name gone and the
// target being the written file.
bool renameOver(const std::string &temporary, const std::string &target, const struct stat &written)
{
    if (::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    const int error = errno;
    struct stat now;
    const bool done = leavesOutcomeOpen(error) && !exists(temporary)
                      && ::stat(target.c_str(), &now) == 0 && now.st_dev == written.st_dev
                      && now.st_ino == written.st_ino;
    errno = error;
    return done;
}

} // namespace

SaveResult saveFileReplacing(const std::string &path, std::string_view bytes)
{
    std::string target = path;
    struct stat link{};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path.c_str(), resolved))
            return failure(errno);
        target = resolved;
    }

    struct stat old{};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return failure(EISDIR);
    // A new file renamed over a pipe, a device or a socket would take its place: pointed at
    // /dev/null or a terminal by root, the save would replace a device of the system.
    if (exists && !S_ISREG(old.st_mode))
        return {false, "Non è un file normale (è un dispositivo, una pipe o un socket): non viene "
                       "sostituito."};
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return failure(errno);

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : target.substr(0, slash);
    // Kept well below the longest name a folder allows, whatever the target's own length.
    const std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1).substr(0, 200);

    // The mode given to open() passes through the umask, as for any new file of the user's.
    const mode_t mode = exists ? (old.st_mode & 0777) : 0666;
    TemporaryFile temporary;
    if (!temporary.create(folder, base, mode))
        return failure(errno);
    const auto failed = [&temporary](std::string error) {
        return SaveResult{false, temporary.failWith(std::move(error))};
    };
    if (exists) {
        // The replacement keeps the old file's owner where the user may give it (root, or the
        // owner keeping his own group); otherwise it becomes the user's like any new file.
        if (::fchown(temporary.fd(), old.st_uid, old.st_gid) != 0 && errno != EPERM)
            return failed(std::strerror(errno));
        if (::fchmod(temporary.fd(), old.st_mode & 07777) != 0)
            return failed(std::strerror(errno));
    }

    const std::string writeError = writeAll(temporary.fd(), bytes);
    if (!writeError.empty())
        return failed(writeError);
    struct stat written{};
    if (::fsync(temporary.fd()) != 0 || ::fstat(temporary.fd(), &written) != 0)
        return failed(std::strerror(errno));
    if (!temporary.close())
        return failed(std::strerror(errno));
    if (!renameOver(temporary.path(), target, written))
        return failed(std::strerror(errno));
    temporary.release();

    // The rename itself reaches the disk with the folder's own entry list.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return {true, {}};
}

} // namespace nomaro::platform
