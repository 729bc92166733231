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
//   - destroy it with the component's window; that ends the thread within a moment, and never
//     waits for a thread held up by a server that does not answer.
// The thread never reads or changes component state; it only posts ChangeNoticeEvents.

#include <QEvent>
#include <QObject>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "platform/watch_set.h"

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
    static constexpr int kSlotCount = 63; // the wait holds 64 things, one of them the wake-up
    static constexpr int kActionTimeoutMs = 2000;
    static constexpr int kEndTimeoutMs = 30000;

    // Starts the thread. `owner` (may be null) receives the notices and must outlive this object.
    explicit ChangeHandlerThread(QObject *owner);
    // Ends the thread, waiting at most kEndTimeoutMs, and closes every handle. A thread held up
    // inside the file system (a folder on a server that does not answer) is not waited for: it
    // ends, and closes its handles, when the call comes back.
    ~ChangeHandlerThread();
    ChangeHandlerThread(const ChangeHandlerThread &) = delete;
    ChangeHandlerThread &operator=(const ChangeHandlerThread &) = delete;

    // Watches `path` for `kinds` (platform::ChangeKind bits); true with the slot number when the
    // watch got a slot. An empty or unwatchable path, all slots taken or no answer within
    // kActionTimeoutMs: false.
    bool AddWatch(const std::string &path, unsigned kinds, int *slot, bool wholeSubtree);
    // The folders of a whole-subtree watch, below its root; true when the watch took it.
    bool AddFolder(int slot, const std::string &path);
    // These need no answer: they are handed to the thread, which carries them out in order
    // before any later request. True when handed over.
    bool RemoveWatch(int slot);
    bool RemoveAllWatches();
    bool RemoveFolder(int slot, const std::string &path);

private:
    enum class Action { PlaceWatch, RemoveWatch, RemoveAll, AddFolder, RemoveFolder };
    struct Request;
    struct Reply;
    struct Shared;

    bool hand(Action action, int slot, const std::string &path);
    bool ask(Request request, int *placedSlot);
    static void run(Shared &shared);
    static void perform(Shared &shared, Request &request);
    // Runs a call that looks a folder up, which may wait on its server, so that the owner's end
    // does not wait for it; skipped once the end has begun.
    static void lookUp(Shared &shared, const std::function<void()> &call);

    std::shared_ptr<Shared> m_shared;
    std::future<void> m_ended;
    std::thread m_thread;
};

} // namespace nomaro
