#pragma once

// The watch set of a folder tree: one whole-subtree watch per watched drive root, each holding
// the root and the folders of that drive that the tree has filled and still shows. A drive is
// never crawled: a folder enters its drive's watch when its node is filled and leaves it when
// the node goes, so the set is exactly what the tree's incremental refresh can act on.

#include <QObject>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/drives.h"

namespace nomaro {

class ChangeHandlerThread;
class ShellTreeNodeData;

class ShellTreeWatch
{
public:
    // `owner` receives the ChangeNoticeEvents and must outlive this object.
    explicit ShellTreeWatch(QObject *owner);
    ~ShellTreeWatch();
    ShellTreeWatch(const ShellTreeWatch &) = delete;
    ShellTreeWatch &operator=(const ShellTreeWatch &) = delete;

    // Drops every watch and watches the roots of the drives mounted now that are watched
    // (fixed, RAM, network drives that answer), for `kinds` (platform::ChangeKind bits). The
    // watcher thread is made on the first start.
    void start(unsigned kinds);
    // Drops every watch; nothing is watched until the next start.
    void stop();
    bool isWatching() const { return m_watching; }

    // A node that was filled: its folder joins the watch of its drive, if that drive is watched.
    void add(const ShellTreeNodeData &node);
    // A node about to go: its folder leaves the watch.
    void remove(const ShellTreeNodeData &node);
    // `node` was renamed: its folder and the folders below it are held under their new paths.
    void renamed(const ShellTreeNodeData &node);

    // The folders held below the drive roots, for the tree's tests and diagnostics.
    std::size_t heldCount() const { return m_held.size(); }

private:
    struct Held
    {
        int slot = -1;
        std::string path;
    };

    // The slot of the watch of the drive that holds `path`; -1 when that drive is not watched.
    int slotFor(const std::string &path) const;

    QObject *m_owner;
    std::unique_ptr<ChangeHandlerThread> m_thread;
    bool m_watching = false;
    std::vector<platform::Drive> m_drives;
    std::unordered_map<std::string, int> m_rootSlots; // by mount point
    std::unordered_map<const ShellTreeNodeData *, Held> m_held;
};

} // namespace nomaro
