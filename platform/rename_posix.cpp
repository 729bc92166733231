#include "platform/rename.h"
#include "platform/rename_posix.h"

#include "platform/ascii_case.h"
#include "platform/outcome_errors.h"
#include "platform/paths.h"

#include <QString>
#include <QStringDecoder>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro::platform {
namespace {

bool isValidName(const std::string &name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && name.find('\0') == std::string::npos;
}

bool decodeUtf8(const std::string &bytes, QString &text)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

// Two different names that a case-insensitive file system may take for one and the same entry.
bool differInLetterCaseOnly(const std::string &a, const std::string &b)
{
    if (a == b)
        return false;
    if (equalIgnoringAsciiCase(a, b))
        return true;
    QString textA;
    QString textB;
    return decodeUtf8(a, textA) && decodeUtf8(b, textB)
        && textA.compare(textB, Qt::CaseInsensitive) == 0;
}

RenameOutcome plain(RenameStatus status)
{
    RenameOutcome outcome;
    outcome.status = status;
    return outcome;
}

RenameOutcome unsettled(Unsettled what, const std::string &fromName, const std::string &toName)
{
    RenameOutcome outcome;
    outcome.status = RenameStatus::Failed;
    outcome.unsettled = what;
    outcome.unsettledFrom = fromName;
    outcome.unsettledTo = toName;
    return outcome;
}

// Whether `path` names the item described by `info`: the same device and inode.
bool isSameItem(const std::string &path, const struct stat &info)
{
    struct stat now;
    return ::lstat(path.c_str(), &now) == 0 && now.st_dev == info.st_dev
        && now.st_ino == info.st_ino;
}

bool exists(const std::string &path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// Whether the folder holds `name`; a name that cannot be looked up counts as there.
bool nameIsThere(const std::string &folder, const std::string &name)
{
    if (exists(joinPath(folder, name)))
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}

// Moves `fromName` to `toName` in `folder` without replacing. When the answer is an error that
// does not prove that nothing happened, the folder says what did: the old name gone and the new
// one there is a rename; both names there, or neither, is reported as such.
RenameOutcome moveReadingTheDisk(const std::string &folder, const std::string &fromName,
                                 const std::string &toName)
{
    const RenameStatus status =
        posix::moveNoReplace(joinPath(folder, fromName), joinPath(folder, toName));
    if (status != RenameStatus::Failed || !leavesOutcomeOpen(errno))
        return plain(status);
    const int error = errno;
    const bool fromThere = nameIsThere(folder, fromName);
    const bool toThere = nameIsThere(folder, toName);
    errno = error;
    if (fromThere != toThere)
        return plain(toThere ? RenameStatus::Renamed : RenameStatus::Failed);
    return unsettled(fromThere ? Unsettled::BothNames : Unsettled::NeitherName, fromName, toName);
}

// Gives the item at `temporaryName` its old name back after the move to its new name failed. A
// failure here may be passing (a busy network file system), so the way back is tried more than
// once before the item is given up under its temporary name.
bool moveBack(const std::string &folder, const std::string &temporaryName,
              const std::string &oldName)
{
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (moveReadingTheDisk(folder, temporaryName, oldName).status == RenameStatus::Renamed)
            return true;
    }
    return false;
}

// The outcome of a rename that could not be finished and left the item at `temporaryName`
// unless the way back gives it its old name.
RenameOutcome endWithMoveBack(const std::string &folder, const std::string &temporaryName,
                              const std::string &oldName, RenameStatus status)
{
    if (moveBack(folder, temporaryName, oldName))
        return plain(status);
    RenameOutcome outcome = plain(status);
    if (exists(joinPath(folder, temporaryName)))
        outcome.strandedName = temporaryName;
    return outcome;
}

// Names that differ in letter case only. A file system that ignores case takes the new name for
// the item itself; inode numbers cannot tell (some network file systems give each spelling its
// own), and neither can a look-up of the new name, which the kernel may go on answering from its
// cache after the item has moved. So the item goes to a temporary name, and then to the new name
// without replacing: if that name has gone with the item, it was this item and the new spelling
// sticks; if another item still bears it, the item goes back. The new name is not looked up
// before that second step.
RenameOutcome changeLetterCase(const std::string &folder, const std::string &oldName,
                               const std::string &newName)
{
    static std::atomic<unsigned> s_counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporaryName =
            ".nomaro-" + std::to_string(::getpid()) + "-" + std::to_string(s_counter++);
        const RenameOutcome first = moveReadingTheDisk(folder, oldName, temporaryName);
        if (first.status == RenameStatus::TargetExists)
            continue;
        if (first.status != RenameStatus::Renamed)
            return first;
        const RenameOutcome second = moveReadingTheDisk(folder, temporaryName, newName);
        if (second.status == RenameStatus::Renamed || second.unsettled != Unsettled::No)
            return second;
        return endWithMoveBack(folder, temporaryName, oldName, second.status);
    }
    return plain(RenameStatus::Failed);
}

// Where the new name was claimed with a placeholder and the rename over it failed: removes the
// placeholder, but only while it is still the one made here (same item, still empty), so that
// neither the renamed item nor anything another client put there is taken away.
void removePlaceholder(const std::string &path, const struct stat &claimed)
{
    const int error = errno;
    struct stat now;
    if (::lstat(path.c_str(), &now) == 0 && now.st_dev == claimed.st_dev
        && now.st_ino == claimed.st_ino) {
        if (S_ISDIR(now.st_mode))
            ::rmdir(path.c_str()); // refused unless empty
        else if (S_ISREG(now.st_mode) && now.st_size == 0)
            ::unlink(path.c_str());
    }
    errno = error;
}

// Claims `path` for an item of the given kind: an empty folder for a folder, an empty file for
// anything else. Fails with EEXIST when the name is taken, by whomever.
bool claimName(const std::string &path, bool forFolder, struct stat &claimed)
{
    if (forFolder) {
        if (::mkdir(path.c_str(), 0700) != 0)
            return false;
        if (::lstat(path.c_str(), &claimed) == 0)
            return true;
        const int error = errno;
        ::rmdir(path.c_str());
        errno = error;
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const bool described = ::fstat(fd, &claimed) == 0;
    const int error = errno;
    ::close(fd);
    if (!described) {
        ::unlink(path.c_str());
        errno = error;
        return false;
    }
    // A file system that does not keep to O_EXCL may have opened a file someone else has just
    // written: that one is not ours to rename over.
    if (claimed.st_size != 0) {
        errno = EEXIST;
        return false;
    }
    return true;
}

// Moves an item with rename(), which replaces what bears the new name: the new name is first
// claimed exclusively, so that what rename() replaces is only the placeholder made here.
RenameStatus claimThenRename(const std::string &oldPath, const std::string &newPath,
                             bool isFolder)
{
    struct stat claimed;
    if (!claimName(newPath, isFolder, claimed))
        return errno == EEXIST ? RenameStatus::TargetExists : RenameStatus::Failed;
    // Where a file system lets a second client open the same "new" file (smbnetfs does not keep
    // to O_EXCL), the other one may be writing into it by now: then it is not ours to replace.
    struct stat now;
    if (!isFolder && (::lstat(newPath.c_str(), &now) != 0 || now.st_ino != claimed.st_ino
                      || now.st_size != 0)) {
        errno = EEXIST;
        return RenameStatus::TargetExists;
    }
    if (::rename(oldPath.c_str(), newPath.c_str()) == 0)
        return RenameStatus::Renamed;
    removePlaceholder(newPath, claimed);
    return RenameStatus::Failed;
}

} // namespace

namespace posix {

RenameStatus moveNoReplace(const std::string &oldPath, const std::string &newPath)
{
    if (::renameat2(AT_FDCWD, oldPath.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0)
        return RenameStatus::Renamed;
    switch (errno) {
    case EEXIST:
        return RenameStatus::TargetExists;
    case EINVAL:
    case ENOSYS:
        return moveWithoutFlag(oldPath, newPath);
    default:
        return RenameStatus::Failed;
    }
}

RenameStatus moveWithoutFlag(const std::string &oldPath, const std::string &newPath)
{
    struct stat oldInfo;
    if (::lstat(oldPath.c_str(), &oldInfo) != 0)
        return RenameStatus::Failed;
    if (!S_ISDIR(oldInfo.st_mode)) {
        if (::link(oldPath.c_str(), newPath.c_str()) == 0) {
            // A network file system may remove the old name and still report the unlink as
            // failed (a retried request finds nothing): the new link is then the only name left.
            if (::unlink(oldPath.c_str()) == 0 || !isSameItem(oldPath, oldInfo))
                return RenameStatus::Renamed;
            const int error = errno;
            ::unlink(newPath.c_str());
            errno = error;
            return RenameStatus::Failed;
        }
        switch (errno) {
        case EEXIST:
            return RenameStatus::TargetExists;
        case EPERM:
        case EOPNOTSUPP:
        case EMLINK:
        case ENOSYS:
            break; // no hard links here: claim and rename below
        default:
            return RenameStatus::Failed;
        }
    }
    return claimThenRename(oldPath, newPath, S_ISDIR(oldInfo.st_mode));
}

} // namespace posix

RenameOutcome renameItemReporting(const std::string &folder, const std::string &oldName,
                                  const std::string &newName)
{
    if (!isValidName(oldName) || !isValidName(newName))
        return plain(RenameStatus::InvalidName);
    const std::string oldPath = joinPath(folder, oldName);
    if (newName == oldName) {
        struct stat info;
        return plain(::lstat(oldPath.c_str(), &info) == 0 ? RenameStatus::Renamed
                                                          : RenameStatus::Failed);
    }
    if (differInLetterCaseOnly(oldName, newName))
        return changeLetterCase(folder, oldName, newName);
    return moveReadingTheDisk(folder, oldName, newName);
}

RenameStatus renameItem(const std::string &folder, const std::string &oldName,
                        const std::string &newName)
{
    return renameItemReporting(folder, oldName, newName).status;
}

} // namespace nomaro::platform
