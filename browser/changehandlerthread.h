#pragma once

// The watcher thread of a folder component: it waits on up to 63 watched folders at once and
// tells its owner which watch saw a change, nothing more.
//
// How a component uses it:
//   - make one on first use with the component as owner:
//       m_watcher = std::make_unique<ChangeHandlerThread>(this);
//   - after every full refresh: m_watcher->RemoveAllWatches(); then
//       int slot; m_watcher->AddWatch(path, FileNameChanges | DirectoryNameChanges, &slot, false);
//     false means "not watched" (virtual folder, system limits, all slots taken, no answer in
//     2000 ms); show nothing and carry on.
//   - a tree adds the drive roots with wholeSubtree = true and hands each folder it fills to the
//     root's watch with AddFolder(slot, path), taking it back with RemoveFolder(slot, path).
//   - in event(QEvent *e): e->type() == ChangeNoticeEvent::type() carries slot(); restart the
//     coalescing timer (see changenoticecoalescer.h).
//   - destroy it with the component's window; that ends the thread within a moment.
// The thread never reads or changes component state; it only posts ChangeNoticeEvents.

#include <QEvent>
#include <QObject>
#include <array>
#include <atomic>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "platform/inotify_watch.h"
#include "platform/wait_events.h"

namespace nomaro {

// Posted to the owner on its own thread: the watch in slot() saw a change.
class ChangeNoticeEvent : public QEvent
{
public:
    explicit ChangeNoticeEvent(int slot);
    static QEvent::Type type();
    int slot() const { return m_slot; }

private:
    int m_slot;
};

class ChangeHandlerThread
{
public:
    static constexpr int kSlotCount = 63; // one descriptor of the 64 waited on is the action event
    static constexpr int kActionTimeoutMs = 2000;
    static constexpr int kEndTimeoutMs = 30000;

    // Starts the thread. `owner` (may be null) receives the notices and must outlive this object.
    explicit ChangeHandlerThread(QObject *owner);
    // Ends the thread, waiting at most kEndTimeoutMs, and closes every handle.
    ~ChangeHandlerThread();
    ChangeHandlerThread(const ChangeHandlerThread &) = delete;
    ChangeHandlerThread &operator=(const ChangeHandlerThread &) = delete;

    // Watches `path` for `kinds` (platform::ChangeKind bits); true with the slot number when the
    // watch got a slot. An empty or unwatchable path, all slots taken or no answer: false.
    bool AddWatch(const std::string &path, unsigned kinds, int *slot, bool wholeSubtree);
    bool RemoveWatch(int slot);
    bool RemoveAllWatches();
    // The folders of a whole-subtree watch, below its root.
    bool AddFolder(int slot, const std::string &path);
    bool RemoveFolder(int slot, const std::string &path);

private:
    enum class Action { PlaceWatch, RemoveWatch, RemoveAll, AddFolder, RemoveFolder };
    // A request goes Idle -> Requested (user-interface thread) -> Busy -> Answered (watcher) ->
    // Idle (user-interface thread). A request the watcher has not taken when the wait times out
    // is taken back, so the two threads never touch the request fields at the same time.
    enum class RequestState { Idle, Requested, Busy, Answered };

    struct Shared;
    bool request(Action action, int slot, const std::string &path,
                 std::unique_ptr<platform::InotifyWatch> handle = nullptr);
    static void run(Shared &shared);
    // One wait and what it brought; false when the thread is to end.
    static bool waitOnce(Shared &shared);
    static void perform(Shared &shared);

    std::shared_ptr<Shared> m_shared;
    std::future<void> m_ended;
    std::thread m_thread;
};

} // namespace nomaro
