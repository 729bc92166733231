#pragma once

// Change watching as the system offers it. The watcher thread of a folder component sees only
// these two interfaces; each operating system implements them in a file of its own
// (watch_set_inotify.cpp here).

#include <memory>
#include <string>
#include <vector>

namespace nomaro::platform {

// What a watch reports, as bits that may be combined.
enum ChangeKind : unsigned {
    FileNameChanges = 1,      // a file created, deleted or renamed
    DirectoryNameChanges = 2, // a folder created, deleted or renamed
    SizeChanges = 8,          // a file written and closed
};

// One watched folder, or a drive root with the folders of that drive handed to it.
class FolderWatch
{
public:
    virtual ~FolderWatch() = default;

    // nullptr when there is nothing to watch (missing path, not a folder) or when the system
    // refuses (its per-user limits). The caller shows nothing in either case.
    static std::unique_ptr<FolderWatch> open(const std::string &path, unsigned kinds, bool wholeSubtree);

    // Whole-subtree watches only: a folder below the root joins or leaves the watch.
    virtual bool addFolder(const std::string &path) = 0;
    virtual void removeFolder(const std::string &path) = 0;
};

// The slots of one watcher thread and its wait: numbered watches, and one blocking wait for the
// next change in any of them that another thread can cut short. Everything but valid() and
// wake() belongs to the waiting thread.
class WatchSet
{
public:
    struct Notice
    {
        int slot;
        // The watch cannot be re-armed (its folder was deleted, moved or unmounted): tell the
        // owner, then remove it.
        bool spent;
    };

    static std::unique_ptr<WatchSet> create(int slotCount);
    virtual ~WatchSet() = default;

    // False when the system gave nothing to wake the wait with; such a set cannot be used.
    virtual bool valid() const = 0;
    // Any thread: ends the current or next wait.
    virtual void wake() = 0;
    // Blocks until wake() or a change: the slots whose watches saw something of their kinds.
    // A wait that fails pauses a little before it answers nothing, so a loop never spins.
    virtual std::vector<Notice> wait() = 0;

    // The lowest empty slot gets the watch; -1 (and the watch closed) when none is empty.
    virtual int place(std::unique_ptr<FolderWatch> watch) = 0;
    // False when the slot held nothing.
    virtual bool remove(int slot) = 0;
    virtual void removeAll() = 0;
    // The watch in a slot, or nullptr.
    virtual FolderWatch *at(int slot) = 0;
};

} // namespace nomaro::platform
