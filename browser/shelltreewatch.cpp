#include "browser/shelltreewatch.h"

#include <algorithm>

#include "browser/changehandlerthread.h"
#include "browser/shelltreenodedata.h"
#include "platform/watched_drives.h"

namespace nomaro {

ShellTreeWatch::ShellTreeWatch(QObject *owner)
    : m_owner(owner)
{
}

ShellTreeWatch::~ShellTreeWatch() = default;

void ShellTreeWatch::start(unsigned kinds)
{
    if (m_thread)
        m_thread->RemoveAllWatches();
    else
        m_thread = std::make_unique<ChangeHandlerThread>(m_owner);
    m_held.clear();
    m_rootSlots.clear();
    m_drives = platform::mountedDrives();
    // The drives that cannot hang go first: should a root that may hang hold the watcher up, the
    // requests after it fail at once, and the local drives are watched already.
    std::vector<platform::Drive> watched = platform::watchedDrives(m_drives);
    std::stable_partition(watched.begin(), watched.end(), [](const platform::Drive &drive) { return !platform::mayHang(drive); });
    for (const platform::Drive &drive : watched) {
        int slot = -1;
        // A root that cannot be watched (the system's limits, all slots taken) leaves its drive
        // current only after F5 or a folder change.
        if (m_thread->AddWatch(drive.mountPoint, kinds, &slot, true))
            m_rootSlots[drive.mountPoint] = slot;
    }
    m_watching = true;
}

void ShellTreeWatch::stop()
{
    if (m_thread)
        m_thread->RemoveAllWatches();
    m_held.clear();
    m_rootSlots.clear();
    m_watching = false;
}

int ShellTreeWatch::slotFor(const std::string &path) const
{
    // The drive that holds the folder, not merely one above it: a folder on a removable drive
    // mounted below a watched root is not watched.
    const platform::Drive *drive = platform::driveOf(m_drives, path);
    if (!drive)
        return -1;
    const auto found = m_rootSlots.find(drive->mountPoint);
    return found == m_rootSlots.end() ? -1 : found->second;
}

void ShellTreeWatch::add(const ShellTreeNodeData &node)
{
    if (!m_watching || m_held.contains(&node))
        return;
    std::string path = node.path();
    if (path.empty())
        return; // a virtual folder sends no notices
    const int slot = slotFor(path);
    if (slot < 0 || m_rootSlots.contains(path))
        return; // the root is held by its watch already
    if (m_thread->AddFolder(slot, path))
        m_held.emplace(&node, Held{slot, std::move(path)});
}

void ShellTreeWatch::remove(const ShellTreeNodeData &node)
{
    const auto found = m_held.find(&node);
    if (found == m_held.end())
        return;
    m_thread->RemoveFolder(found->second.slot, found->second.path);
    m_held.erase(found);
}

void ShellTreeWatch::renamed(const ShellTreeNodeData &node)
{
    // The system keeps watching a renamed folder, but the watch knows it by its old path: a new
    // folder made under that path would be taken for one already held.
    std::vector<const ShellTreeNodeData *> moved;
    for (const auto &[held, where] : m_held) {
        if (held->isAtOrBelow(&node))
            moved.push_back(held);
    }
    for (const ShellTreeNodeData *held : moved) {
        remove(*held);
        add(*held);
    }
}

} // namespace nomaro
