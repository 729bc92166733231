#include "platform/drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace nomaro::platform {
namespace {

constexpr std::array kPseudoTypes = {
    "proc", "sysfs", "cgroup", "cgroup2", "devpts", "mqueue", "debugfs", "tracefs", "securityfs",
    "pstore", "bpf", "autofs", "fusectl", "configfs", "binfmt_misc", "hugetlbfs", "squashfs",
    "devtmpfs", "nsfs", "rpc_pipefs", "efivarfs", "fuse.portal", "fuse.gvfsd-fuse", "selinuxfs",
};
constexpr std::array kNetworkTypes = {
    "nfs", "nfs4", "cifs", "smb3", "9p", "fuse.sshfs", "ceph", "glusterfs",
};

template <std::size_t N>
bool among(const std::array<const char *, N> &names, std::string_view value)
{
    for (const char *name : names) {
        if (value == name)
            return true;
    }
    return false;
}

// mountinfo writes blanks, tabs, newlines and backslashes as three octal digits after "\".
std::string unescapeOctal(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i >= 4 && field[i + 1] >= '0' && field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7'
            && field[i + 3] >= '0' && field[i + 3] <= '7') {
            out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

// /dev/disk/by-label writes unsafe bytes as "\xNN".
std::string unescapeHex(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i >= 4 && field[i + 1] == 'x') {
            const std::string digits(field.substr(i + 2, 2));
            char *end = nullptr;
            const long value = std::strtol(digits.c_str(), &end, 16);
            if (end == digits.c_str() + 2) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = line.find(' ', at);
        fields.push_back(line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
    return fields;
}

bool isSystemMount(std::string_view mountPoint)
{
    return isAtOrBelow(mountPoint, "/proc") || isAtOrBelow(mountPoint, "/sys")
        || (isAtOrBelow(mountPoint, "/dev") && !isAtOrBelow(mountPoint, "/dev/shm"));
}

std::string readSysFile(const std::string &path)
{
    std::ifstream in(path);
    std::string value;
    std::getline(in, value);
    return value;
}

// The block device's own sysfs folder, whole disk rather than partition.
std::string diskFolderOf(const std::string &device)
{
    const std::string base = device.substr(device.rfind('/') + 1);
    char resolved[PATH_MAX];
    if (!::realpath(("/sys/class/block/" + base).c_str(), resolved))
        return {};
    std::string folder(resolved);
    if (QFileInfo::exists(QString::fromStdString(folder + "/partition")))
        folder = folder.substr(0, folder.rfind('/'));
    return folder;
}

DriveType typeOf(std::string_view fsType, std::string_view source)
{
    if (among(kNetworkTypes, fsType))
        return DriveType::Network;
    if (fsType == "tmpfs" || fsType == "ramfs")
        return DriveType::Ram;
    if (fsType == "iso9660" || fsType == "udf" || source.substr(0, 7) == "/dev/sr")
        return DriveType::Optical;
    if (source.substr(0, 5) == "/dev/") {
        const std::string disk = diskFolderOf(std::string(source));
        if (!disk.empty() && (readSysFile(disk + "/removable") == "1" || disk.find("/usb") != std::string::npos))
            return DriveType::Removable;
    }
    return DriveType::Fixed;
}

// Reads the mount table from `fd` (from its start) into drives; nullopt when it cannot be read.
std::optional<std::vector<Drive>> readDrives(int fd, std::string_view homeFolder)
{
    std::string text;
    char buffer[16384];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
    std::vector<Drive> drives = parseMountInfo(text, homeFolder);
    // A single file mounted over another (as containers do with /etc/hosts) is no drive. Network
    // and FUSE mounts are not asked: a server or a user-space file system that does not answer
    // would hold the window, and neither mounts single files.
    std::erase_if(drives, [](const Drive &drive) {
        if (mayHang(drive))
            return false;
        struct stat info;
        return ::stat(drive.mountPoint.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
    });
    return drives;
}

// The drive list, read again only after the kernel has flagged a change of the mount table on
// a descriptor kept open for the purpose (each open descriptor of mountinfo is flagged on its
// own, so a mount monitor's descriptor keeps its flags). Folder views ask for the drives at
// every level they open; this keeps those questions from reading and parsing the table anew.
class MountTableCache
{
public:
    static MountTableCache &instance()
    {
        static MountTableCache cache;
        return cache;
    }

    std::vector<Drive> drives()
    {
        const std::string home = QFile::encodeName(QDir::homePath()).toStdString();
        const std::lock_guard lock(m_mutex);
        if (m_fd < 0 || changed() || home != m_home) {
            // The flag is taken before reading, so a change made while reading flags again.
            reopenIfNamespaceMoved();
            std::optional<std::vector<Drive>> drives = m_fd >= 0 ? readDrives(m_fd, home) : std::nullopt;
            if (!drives) {
                closeFd();
                return {};
            }
            m_drives = std::move(*drives);
            m_home = home;
        }
        return m_drives;
    }

private:
    MountTableCache() = default;
    ~MountTableCache() { closeFd(); }

    // Whether the table changed since the last look, or the descriptor is no longer the one of
    // this process's mount namespace (which a descriptor keeps from when it was opened).
    bool changed()
    {
        pollfd watch{m_fd, POLLPRI, 0};
        int ready = 0;
        do {
            ready = ::poll(&watch, 1, 0);
        } while (ready < 0 && errno == EINTR);
        // A failed poll counts as a change: reading again is never wrong.
        return ready != 0 || namespaceInode() != m_namespace;
    }

    void reopenIfNamespaceMoved()
    {
        const ino_t current = namespaceInode();
        if (m_fd >= 0 && current == m_namespace)
            return;
        closeFd();
        m_namespace = current;
        m_fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    }

    static ino_t namespaceInode()
    {
        struct stat info;
        return ::stat("/proc/self/ns/mnt", &info) == 0 ? info.st_ino : 0;
    }

    void closeFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    std::mutex m_mutex;
    int m_fd = -1;
    ino_t m_namespace = 0;
    std::string m_home;
    std::vector<Drive> m_drives;
};

} // namespace

std::vector<Drive> parseMountInfo(std::string_view text, std::string_view homeFolder)
{
    std::vector<Drive> drives;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::vector<std::string_view> fields = splitFields(text.substr(at, end - at));
        at = end + 1;

        // Fields: id, parent, major:minor, root, mount point, options, optional fields, "-",
        // file-system type, source, super options.
        std::size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-")
            ++dash;
        if (fields.size() < 5 || dash + 2 >= fields.size())
            continue;
        Drive drive;
        drive.mountPoint = unescapeOctal(fields[4]);
        drive.fsType = std::string(fields[dash + 1]);
        drive.source = unescapeOctal(fields[dash + 2]);
        if (among(kPseudoTypes, drive.fsType) || isSystemMount(drive.mountPoint))
            continue;
        if (drive.fsType == "tmpfs" || drive.fsType == "ramfs") {
            // Only RAM disks the user would put files on; /run and the like are the system's.
            const bool userRam = isAtOrBelow(drive.mountPoint, "/tmp") || isAtOrBelow(drive.mountPoint, "/dev/shm")
                || isAtOrBelow(drive.mountPoint, homeFolder);
            if (!userRam)
                continue;
        }
        drive.type = typeOf(drive.fsType, drive.source);
        std::erase_if(drives, [&](const Drive &other) { return other.mountPoint == drive.mountPoint; });
        drives.push_back(std::move(drive));
    }
    return drives;
}

std::vector<Drive> mountedDrives()
{
    return MountTableCache::instance().drives();
}

bool mayHang(const Drive &drive)
{
    return drive.type == DriveType::Network || drive.fsType == "fuse" || drive.fsType.starts_with("fuse.");
}

const Drive *driveOf(const std::vector<Drive> &drives, std::string_view path)
{
    const Drive *best = nullptr;
    for (const Drive &drive : drives) {
        if (isAtOrBelow(path, drive.mountPoint) && (!best || drive.mountPoint.size() > best->mountPoint.size()))
            best = &drive;
    }
    return best;
}

std::string volumeLabel(const Drive &drive)
{
    if (drive.source.substr(0, 5) != "/dev/")
        return {};
    char device[PATH_MAX];
    if (!::realpath(drive.source.c_str(), device))
        return {};
    const QDir labels(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo &link : labels.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (QFile::encodeName(link.canonicalFilePath()).toStdString() == device)
            return unescapeHex(QFile::encodeName(link.fileName()).toStdString());
    }
    return {};
}

} // namespace nomaro::platform
