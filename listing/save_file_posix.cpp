#include "listing/save_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro {
namespace {

SaveResult failure(int error)
{
    return {false, std::strerror(error)};
}

// Closes and removes the temporary file unless the save got as far as renaming it.
class TemporaryFile
{
public:
    ~TemporaryFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!path.empty())
            ::unlink(path.c_str());
    }
    std::string path;
    int fd = -1;
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
    for (unsigned attempt = 0; temporary.fd < 0; ++attempt) {
        temporary.path = folder + "/." + base + "." + std::to_string(::getpid()) + "-"
                         + std::to_string(attempt) + ".tmp";
        temporary.fd = ::open(temporary.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (temporary.fd < 0 && (errno != EEXIST || attempt == 100)) {
            const int error = errno;
            temporary.path.clear();
            return failure(error);
        }
    }
    if (exists) {
        // The replacement keeps the old file's owner where the user may give it (root, or the
        // owner keeping his own group); otherwise it becomes the user's like any new file.
        if (::fchown(temporary.fd, old.st_uid, old.st_gid) != 0 && errno != EPERM)
            return failure(errno);
        if (::fchmod(temporary.fd, old.st_mode & 07777) != 0)
            return failure(errno);
    }

    const std::string writeError = writeAll(temporary.fd, bytes);
    if (!writeError.empty())
        return {false, writeError};
    if (::fsync(temporary.fd) != 0)
        return failure(errno);
    const int fd = temporary.fd;
    temporary.fd = -1;
    if (::close(fd) != 0)
        return failure(errno);
    if (::rename(temporary.path.c_str(), target.c_str()) != 0)
        return failure(errno);
    temporary.path.clear();

    // The rename itself reaches the disk with the folder's own entry list.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return {true, {}};
}

} // namespace nomaro
