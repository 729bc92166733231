#include "platform/rename.h"
#include "platform/rename_posix.h"

#include "platform/ascii_case.h"
#include "platform/paths.h"

#include <QString>
#include <QStringDecoder>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
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

bool folderHoldsEntry(const std::string &folder, const std::string &name)
{
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return true; // cannot tell: assume the worst, so nothing gets replaced
    bool found = false;
    while (const dirent *entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Whether `path` names the item described by `info`: the same device and inode.
bool isSameItem(const std::string &path, const struct stat &info)
{
    struct stat now;
    return ::lstat(path.c_str(), &now) == 0 && now.st_dev == info.st_dev
        && now.st_ino == info.st_ino;
}

// The "existing" target is the very item being renamed, found under another letter case by a
// file system that ignores case, and not a second entry such as another hard link to the file.
bool targetIsSameEntry(const std::string &folder, const std::string &oldName,
                       const std::string &newName, const std::string &oldPath,
                       const std::string &newPath)
{
    if (!differInLetterCaseOnly(oldName, newName))
        return false;
    struct stat oldInfo;
    if (::lstat(oldPath.c_str(), &oldInfo) != 0 || !isSameItem(newPath, oldInfo))
        return false;
    return !folderHoldsEntry(folder, newName);
}

// Gives the item at `temporary` its old name back after the move to its new name failed. A
// failure here may be passing (a busy network file system), so the way back is tried more than
// once before the item is given up under its temporary name.
bool moveBack(const std::string &temporary, const std::string &oldPath)
{
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (posix::moveNoReplace(temporary, oldPath) == RenameStatus::Renamed)
            return true;
    }
    return false;
}

// A case-insensitive file system would treat a direct rename as one of an item onto itself and
// change nothing; going through a temporary name makes the new spelling stick.
RenameOutcome changeLetterCase(const std::string &folder, const std::string &oldPath,
                               const std::string &newPath)
{
    static std::atomic<unsigned> s_counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporaryName =
            ".nomaro-" + std::to_string(::getpid()) + "-" + std::to_string(s_counter++);
        const std::string temporary = joinPath(folder, temporaryName);
        const RenameStatus first = posix::moveNoReplace(oldPath, temporary);
        if (first == RenameStatus::TargetExists)
            continue;
        if (first != RenameStatus::Renamed)
            return {first, {}};
        const RenameStatus second = posix::moveNoReplace(temporary, newPath);
        if (second == RenameStatus::Renamed || moveBack(temporary, oldPath))
            return {second, {}};
        struct stat info;
        const bool stranded = ::lstat(temporary.c_str(), &info) == 0;
        return {second, stranded ? temporaryName : std::string()};
    }
    return {RenameStatus::Failed, {}};
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
            ::unlink(newPath.c_str());
            return RenameStatus::Failed;
        }
        switch (errno) {
        case EEXIST:
            return RenameStatus::TargetExists;
        case EPERM:
        case EOPNOTSUPP:
        case EMLINK:
        case ENOSYS:
            break; // no hard links here: check and rename below
        default:
            return RenameStatus::Failed;
        }
    }
    struct stat targetInfo;
    if (::lstat(newPath.c_str(), &targetInfo) == 0)
        return RenameStatus::TargetExists;
    if (errno != ENOENT)
        return RenameStatus::Failed;
    return ::rename(oldPath.c_str(), newPath.c_str()) == 0 ? RenameStatus::Renamed
                                                           : RenameStatus::Failed;
}

} // namespace posix

RenameOutcome renameItemReporting(const std::string &folder, const std::string &oldName,
                                  const std::string &newName)
{
    if (!isValidName(oldName) || !isValidName(newName))
        return {RenameStatus::InvalidName, {}};
    const std::string oldPath = joinPath(folder, oldName);
    if (newName == oldName) {
        struct stat info;
        return {::lstat(oldPath.c_str(), &info) == 0 ? RenameStatus::Renamed : RenameStatus::Failed,
                {}};
    }
    const std::string newPath = joinPath(folder, newName);
    const RenameStatus status = posix::moveNoReplace(oldPath, newPath);
    if (status == RenameStatus::TargetExists
        && targetIsSameEntry(folder, oldName, newName, oldPath, newPath))
        return changeLetterCase(folder, oldPath, newPath);
    return {status, {}};
}

RenameStatus renameItem(const std::string &folder, const std::string &oldName,
                        const std::string &newName)
{
    return renameItemReporting(folder, oldName, newName).status;
}

} // namespace nomaro::platform
