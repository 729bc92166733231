#pragma once

#include <memory>
#include <string>
#include <sys/types.h>
#include <unordered_map>

#include "platform/watch_set.h"

namespace nomaro::platform {

// One watch handle: an inotify instance of its own, so that a wait set can hold each watch as one
// descriptor. A plain watch holds one folder. A whole-subtree watch of a drive root holds the root
// and the folders handed to it (at most kMaxFolders, all on the root's mount); it never walks the
// drive by itself, since a crawl would use up the per-user watch limit that every program shares.
// Not thread-safe: one thread at a time uses a handle.
class InotifyWatch : public FolderWatch
{
public:
    static constexpr std::size_t kMaxFolders = 4096;

    enum class Drained {
        Nothing,   // only events of kinds nobody asked for
        Changed,   // something of the asked kinds changed (or the kernel's queue overflowed)
        // The root was deleted, moved or unmounted, or the descriptor failed: the watch cannot be
        // re-armed, and whatever its owner shows of the root is out of date.
        Abandoned,
    };

    // nullptr when there is nothing to watch (missing path, not a folder) or when inotify refuses
    // (ENOSPC, EMFILE: the per-user limits). The caller shows nothing in either case.
    static std::unique_ptr<InotifyWatch> open(const std::string &path, unsigned kinds, bool wholeSubtree);

    ~InotifyWatch() override;
    InotifyWatch(const InotifyWatch &) = delete;
    InotifyWatch &operator=(const InotifyWatch &) = delete;

    // The descriptor to wait on: readable when events are pending.
    int descriptor() const { return m_fd; }

    // Reads every pending event, which re-arms the descriptor (unless it answers Abandoned).
    Drained drain();

    // Whole-subtree watches only: adds a folder below the root. False for a plain watch, a folder
    // on another mount or outside the root, a full set, or a folder inotify refuses.
    bool addFolder(const std::string &path) override;
    // Takes a folder back; the root stays.
    void removeFolder(const std::string &path) override;
    // The folders held, the root included.
    std::size_t folderCount() const { return m_pathOf.size(); }

private:
    InotifyWatch(int fd, unsigned kinds, bool wholeSubtree);
    bool watchFolder(const std::string &path);

    int m_fd;
    unsigned m_kinds;
    bool m_wholeSubtree;
    int m_rootWd = -1;
    std::string m_root;
    dev_t m_device = 0;
    std::unordered_map<int, std::string> m_pathOf;
    std::unordered_map<std::string, int> m_wdOf;
};

} // namespace nomaro::platform
