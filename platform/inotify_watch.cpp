#include "platform/inotify_watch.h"

#include <cerrno>
#include <climits>
#include <cstddef>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace nomaro::platform {
namespace {

constexpr std::uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

std::uint32_t inotifyMask(unsigned kinds)
{
    // A moved root goes on being watched under a path that no longer names it.
    std::uint32_t mask = IN_ONLYDIR | IN_EXCL_UNLINK | IN_MOVE_SELF;
    if (kinds & (FileNameChanges | DirectoryNameChanges))
        mask |= kNameEvents;
    if (kinds & SizeChanges)
        mask |= IN_CLOSE_WRITE;
    return mask;
}

bool asked(unsigned kinds, std::uint32_t event)
{
    if (event & IN_Q_OVERFLOW)
        return true;
    if (event & IN_CLOSE_WRITE)
        return kinds & SizeChanges;
    if (event & kNameEvents)
        return kinds & ((event & IN_ISDIR) ? DirectoryNameChanges : FileNameChanges);
    return false;
}

} // namespace

std::unique_ptr<InotifyWatch> InotifyWatch::open(const std::string &path, unsigned kinds, bool wholeSubtree)
{
    struct stat info;
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return nullptr;
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<InotifyWatch> watch(new InotifyWatch(fd, kinds, wholeSubtree));
    if (!watch->watchFolder(path))
        return nullptr;
    watch->m_root = path;
    watch->m_rootWd = watch->m_wdOf.at(path);
    watch->m_device = info.st_dev;
    return watch;
}

InotifyWatch::InotifyWatch(int fd, unsigned kinds, bool wholeSubtree)
    : m_fd(fd)
    , m_kinds(kinds)
    , m_wholeSubtree(wholeSubtree)
{
}

InotifyWatch::~InotifyWatch()
{
    ::close(m_fd);
}

bool InotifyWatch::watchFolder(const std::string &path)
{
    const int wd = ::inotify_add_watch(m_fd, path.c_str(), inotifyMask(m_kinds));
    if (wd < 0)
        return false;
    m_pathOf[wd] = path;
    m_wdOf[path] = wd;
    return true;
}

bool InotifyWatch::addFolder(const std::string &path)
{
    if (!m_wholeSubtree || m_wdOf.contains(path))
        return m_wholeSubtree;
    struct stat info;
    if (m_pathOf.size() >= kMaxFolders || path == m_root || !isAtOrBelow(path, m_root) || ::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)
        || info.st_dev != m_device)
        return false;
    return watchFolder(path);
}

void InotifyWatch::removeFolder(const std::string &path)
{
    const auto found = m_wdOf.find(path);
    if (found == m_wdOf.end() || found->second == m_rootWd)
        return;
    ::inotify_rm_watch(m_fd, found->second);
    m_pathOf.erase(found->second);
    m_wdOf.erase(found);
}

InotifyWatch::Drained InotifyWatch::drain()
{
    // Aligned as the kernel's records are; room for many events per read.
    alignas(struct inotify_event) char buffer[16 * (sizeof(struct inotify_event) + NAME_MAX + 1)];
    Drained result = Drained::Nothing;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0 && errno == EAGAIN)
            return result;
        if (length <= 0)
            return Drained::Abandoned;
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const struct inotify_event *>(buffer + at);
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
            // Whatever else the batch holds, the owner must look again and the watch is spent.
            if (event->wd == m_rootWd && (event->mask & (IN_IGNORED | IN_UNMOUNT | IN_MOVE_SELF)))
                return Drained::Abandoned;
            if (event->mask & (IN_IGNORED | IN_UNMOUNT)) {
                // A folder below the root that went away just leaves the set.
                const auto found = m_pathOf.find(event->wd);
                if (found != m_pathOf.end()) {
                    m_wdOf.erase(found->second);
                    m_pathOf.erase(found);
                }
                continue;
            }
            if (asked(m_kinds, event->mask))
                result = Drained::Changed;
        }
    }
}

} // namespace nomaro::platform
