#include "browser/changehandlerthread.h"

#include <QCoreApplication>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace nomaro {

using platform::FolderWatch;
using platform::WatchSet;

ChangeNoticeEvent::ChangeNoticeEvent(int slot)
    : QEvent(type())
    , m_slot(slot)
{
}

QEvent::Type ChangeNoticeEvent::type()
{
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
}

// The answer to a request that needs one. A caller that stops waiting marks it abandoned, under
// the same lock, so the thread never places a watch that nobody will know of.
struct ChangeHandlerThread::Reply
{
    std::mutex mutex;
    std::condition_variable done;
    bool answered = false;
    bool abandoned = false;
    bool succeeded = false;
    int slot = -1;
};

struct ChangeHandlerThread::Request
{
    Action action;
    int slot = -1;
    std::string path;
    unsigned kinds = 0;
    bool wholeSubtree = false;
    std::shared_ptr<Reply> reply; // none for the requests that need no answer
};

struct ChangeHandlerThread::Shared
{
    std::atomic<QObject *> owner;
    std::unique_ptr<WatchSet> watches = WatchSet::create(kSlotCount);
    std::atomic<bool> ending{false};
    // Set while the thread is inside a file-system call that a dead server may hold up.
    std::atomic<bool> inFileSystem{false};
    // Set when a caller gave up waiting; cleared when the thread answers again. Meanwhile the
    // requests that need an answer fail at once instead of each holding the caller.
    std::atomic<bool> stalled{false};

    std::mutex mutex;
    std::deque<Request> requests;

    // Changed by the watcher alone: raised whenever a slot's watch is placed or removed.
    std::array<std::uint64_t, kSlotCount> generations{};
};

ChangeHandlerThread::ChangeHandlerThread(QObject *owner)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->owner = owner;
    std::promise<void> ended;
    m_ended = ended.get_future();
    // The thread holds the shared state too, so a thread that outlives the end wait still finds it.
    m_thread = std::thread([shared = m_shared, ended = std::move(ended)]() mutable {
        run(*shared);
        ended.set_value();
    });
}

ChangeHandlerThread::~ChangeHandlerThread()
{
    Shared &shared = *m_shared;
    shared.owner = nullptr;
    shared.ending = true;
    shared.watches->wake();
    // The thread checks `ending` after it marks itself inside the file system, so either it sees
    // the end before it goes in, or this sees it inside.
    const int waitMs = shared.inFileSystem ? 0 : kEndTimeoutMs;
    if (m_ended.wait_for(std::chrono::milliseconds(waitMs)) == std::future_status::ready) {
        m_thread.join();
        return; // the handles close with the shared state
    }
    // A thread that did not end may still use its descriptors: closing them now could make it
    // read or wait on whatever the process opens next under the same numbers. It keeps them and
    // frees them when it ends; it no longer posts.
    m_thread.detach();
}

bool ChangeHandlerThread::AddWatch(const std::string &path, unsigned kinds, int *slot, bool wholeSubtree)
{
    if (path.empty())
        return false;
    return ask({Action::PlaceWatch, -1, path, kinds, wholeSubtree, nullptr}, slot);
}

bool ChangeHandlerThread::AddFolder(int slot, const std::string &path)
{
    return ask({Action::AddFolder, slot, path, 0, false, nullptr}, nullptr);
}

bool ChangeHandlerThread::RemoveWatch(int slot)
{
    return hand(Action::RemoveWatch, slot, {});
}

bool ChangeHandlerThread::RemoveAllWatches()
{
    return hand(Action::RemoveAll, -1, {});
}

bool ChangeHandlerThread::RemoveFolder(int slot, const std::string &path)
{
    return hand(Action::RemoveFolder, slot, path);
}

bool ChangeHandlerThread::hand(Action action, int slot, const std::string &path)
{
    Shared &shared = *m_shared;
    if (!shared.watches->valid())
        return false;
    {
        const std::lock_guard lock(shared.mutex);
        shared.requests.push_back({action, slot, path, 0, false, nullptr});
    }
    shared.watches->wake();
    return true;
}

bool ChangeHandlerThread::ask(Request request, int *placedSlot)
{
    Shared &shared = *m_shared;
    if (!shared.watches->valid() || shared.stalled)
        return false;
    auto reply = std::make_shared<Reply>();
    request.reply = reply;
    {
        const std::lock_guard lock(shared.mutex);
        shared.requests.push_back(std::move(request));
    }
    shared.watches->wake();

    std::unique_lock lock(reply->mutex);
    if (!reply->done.wait_for(lock, std::chrono::milliseconds(kActionTimeoutMs), [&] { return reply->answered; })) {
        reply->abandoned = true;
        shared.stalled = true;
        return false;
    }
    if (placedSlot && reply->succeeded)
        *placedSlot = reply->slot;
    return reply->succeeded;
}

void ChangeHandlerThread::lookUp(Shared &shared, const std::function<void()> &call)
{
    shared.inFileSystem = true;
    if (!shared.ending)
        call();
    shared.inFileSystem = false;
}

void ChangeHandlerThread::perform(Shared &shared, Request &request)
{
    WatchSet &watches = *shared.watches;
    // The calls that may wait on a server run before the reply is locked: a caller that gives up
    // must be able to say so.
    std::unique_ptr<FolderWatch> opened;
    bool succeeded = false;
    int slot = request.slot;
    switch (request.action) {
    case Action::PlaceWatch:
        lookUp(shared, [&] { opened = FolderWatch::open(request.path, request.kinds, request.wholeSubtree); });
        break;
    case Action::RemoveWatch:
        if (watches.remove(slot))
            ++shared.generations[slot];
        break;
    case Action::RemoveAll:
        watches.removeAll();
        for (std::uint64_t &generation : shared.generations)
            ++generation;
        break;
    case Action::AddFolder:
        if (FolderWatch *target = watches.at(slot))
            lookUp(shared, [&] { succeeded = target->addFolder(request.path); });
        break;
    case Action::RemoveFolder:
        if (FolderWatch *target = watches.at(slot))
            target->removeFolder(request.path);
        break;
    }
    if (!request.reply)
        return;

    const std::lock_guard answer(request.reply->mutex);
    if (request.reply->abandoned) {
        // Nobody would know of it: a folder taken would never be handed back.
        if (succeeded)
            watches.at(slot)->removeFolder(request.path);
        return;
    }
    if (request.action == Action::PlaceWatch) {
        slot = opened ? watches.place(std::move(opened)) : -1;
        succeeded = slot >= 0;
        if (succeeded)
            ++shared.generations[slot];
    }
    request.reply->answered = true;
    request.reply->succeeded = succeeded;
    request.reply->slot = slot;
    request.reply->done.notify_all();
}

void ChangeHandlerThread::run(Shared &shared)
{
    if (!shared.watches->valid())
        return;
    while (!shared.ending) {
        try {
            const std::vector<WatchSet::Notice> notices = shared.watches->wait();
            std::vector<std::uint64_t> seenIn;
            for (const WatchSet::Notice &notice : notices)
                seenIn.push_back(shared.generations[notice.slot]);
            std::deque<Request> requests;
            {
                const std::lock_guard lock(shared.mutex);
                requests.swap(shared.requests);
            }
            for (Request &request : requests) {
                if (shared.ending)
                    return;
                perform(shared, request);
                // After the reply: a caller that gave up on this very request says so under the
                // reply's lock, before the thread is free again.
                shared.stalled = false;
            }
            // Requests first: a change read after the owner asked to remove its watch is not
            // told. A spent watch posts too, since its folder went away, often in the same batch
            // as the deletions inside it, and the owner still shows what was there.
            for (std::size_t i = 0; i < notices.size(); ++i) {
                const int slot = notices[i].slot;
                if (shared.generations[slot] != seenIn[i])
                    continue; // removed, or given to another watch, meanwhile
                if (QObject *owner = shared.owner)
                    QCoreApplication::postEvent(owner, new ChangeNoticeEvent(slot));
                if (notices[i].spent) {
                    shared.watches->remove(slot);
                    ++shared.generations[slot];
                }
            }
        } catch (...) {
            // Nothing may leave the thread: a failure to post (memory) loses one notice.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
}

} // namespace nomaro
