#include "platform/subfolders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/dir_reader.h"
#include "platform/drives.h"
#include "platform/entry_stat.h"
#include "platform/paths.h"
#include "platform/shell_namespace.h"
#include "platform/shell_namespace_parts.h"

namespace nomaro::platform {

namespace {

// The layout the kernel writes for getdents64.
struct LinuxDirent64
{
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// File systems that keep "2 + subfolders" as a folder's link count.
bool countsSubfoldersInLinks(long type)
{
    switch (type) {
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
    case TMPFS_MAGIC:
    case XFS_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

std::string resolved(const std::string &path)
{
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer))
        return {};
    return buffer;
}

} // namespace

SubfolderProbe::SubfolderProbe(const std::string &parentPath, bool includeHidden)
    : m_includeHidden(includeHidden)
{
    // A virtual parent has no path; its children are then asked by their absolute paths.
    if (parentPath.empty())
        return;
    m_parentFd = ::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_ownsFd = m_parentFd >= 0;
    struct statfs info{};
    // Hidden subfolders are in the count too, so it answers alone only when they count.
    if (m_parentFd >= 0 && includeHidden && ::fstatfs(m_parentFd, &info) == 0)
        m_linkCountCounts = countsSubfoldersInLinks(static_cast<long>(info.f_type));
}

SubfolderProbe::~SubfolderProbe()
{
    if (m_ownsFd)
        ::close(m_parentFd);
}

SubfolderAnswer SubfolderProbe::ask(const std::string &childName, std::uint64_t linkCount) const
{
    if (m_parentFd < 0 && childName.empty())
        return SubfolderAnswer::Unknown;
    if (m_linkCountCounts && linkCount > 0)
        return linkCount > 2 ? SubfolderAnswer::Yes : SubfolderAnswer::No;
    if (m_linkCountCounts) {
        struct stat info{};
        if (::fstatat(m_parentFd, childName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode))
            return info.st_nlink > 2 ? SubfolderAnswer::Yes : SubfolderAnswer::No;
    }
    const int fd = ::openat(m_parentFd, childName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return SubfolderAnswer::Unknown;
    alignas(LinuxDirent64) char buffer[8192];
    const long length = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
    SubfolderAnswer answer = length < 0 ? SubfolderAnswer::Unknown : SubfolderAnswer::No;
    for (long offset = 0; offset < length && answer == SubfolderAnswer::No;) {
        const auto *entry = reinterpret_cast<const LinuxDirent64 *>(buffer + offset);
        offset += entry->d_reclen;
        if (isDotOrDotDot(entry->d_name) || (!m_includeHidden && entry->d_name[0] == '.'))
            continue;
        if (entry->d_type == DT_DIR)
            answer = SubfolderAnswer::Yes;
        else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info{};
            if (::fstatat(fd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode))
                answer = SubfolderAnswer::Yes;
        }
    }
    // A full batch without a folder leaves the rest unread: the folder may still hold some.
    if (answer == SubfolderAnswer::No && length > 0 && static_cast<std::size_t>(length) > sizeof buffer / 2)
        answer = SubfolderAnswer::Yes;
    ::close(fd);
    return answer;
}

std::optional<std::vector<FolderChild>> readFolderChildren(const std::string &path, unsigned flags)
{
    std::vector<FolderChild> children;
    const std::optional<FolderRead> read =
        detail::readFileSystemChildren(path, flags, [&children](ItemIdList &&child, const EntryStatus &status) {
            // A link's own count says nothing of the folder it leads to.
            const bool ownFolder = status.isDirectory() && !status.isLink;
            children.push_back({std::move(child), ownFolder ? static_cast<std::uint64_t>(status.info.st_nlink) : 0});
        });
    if (!read || read->end != FolderReadEnd::Complete)
        return std::nullopt;
    return children;
}

bool leadsBackUp(const std::string &path, const std::string &ancestorPath)
{
    const std::string target = resolved(path);
    const std::string ancestor = resolved(ancestorPath);
    if (target.empty() || ancestor.empty())
        return false;
    return isAtOrBelow(ancestor, target);
}

bool isOnNetworkDrive(const std::string &path)
{
    const std::vector<Drive> drives = mountedDrives();
    const Drive *drive = driveOf(drives, path);
    return drive && mayHang(*drive);
}

} // namespace nomaro::platform
