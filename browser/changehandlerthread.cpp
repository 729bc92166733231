#include "browser/changehandlerthread.h"

#include <QCoreApplication>
#include <chrono>
#include <vector>

namespace nomaro {

using platform::InotifyWatch;

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

struct ChangeHandlerThread::Shared
{
    std::atomic<QObject *> owner;
    platform::AutoResetEvent actionEvent;
    platform::AutoResetEvent doneEvent;
    std::atomic<bool> ending{false};
    std::atomic<RequestState> state{RequestState::Idle};

    // The request and its answer: written by one thread at a time, as `state` says.
    Action action = Action::PlaceWatch;
    int slot = -1;
    std::string path;
    std::unique_ptr<InotifyWatch> pending;
    bool succeeded = false;

    // Changed by the watcher alone while it runs.
    std::array<std::unique_ptr<InotifyWatch>, kSlotCount> slots;
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
    m_shared->ending = true;
    m_shared->actionEvent.set();
    if (m_ended.wait_for(std::chrono::milliseconds(kEndTimeoutMs)) == std::future_status::ready) {
        m_thread.join();
        return; // the handles and events close with the shared state
    }
    // A thread that did not end may still use its descriptors: closing them now could make it
    // read or wait on whatever the process opens next under the same numbers. It keeps them and
    // frees them when it ends; it no longer posts.
    m_shared->owner = nullptr;
    m_thread.detach();
}

bool ChangeHandlerThread::AddWatch(const std::string &path, unsigned kinds, int *slot, bool wholeSubtree)
{
    if (path.empty())
        return false;
    std::unique_ptr<InotifyWatch> handle = InotifyWatch::open(path, kinds, wholeSubtree);
    if (!handle || !request(Action::PlaceWatch, -1, {}, std::move(handle)))
        return false;
    if (slot)
        *slot = m_shared->slot;
    return true;
}

bool ChangeHandlerThread::RemoveWatch(int slot)
{
    return request(Action::RemoveWatch, slot, {});
}

bool ChangeHandlerThread::RemoveAllWatches()
{
    return request(Action::RemoveAll, -1, {});
}

bool ChangeHandlerThread::AddFolder(int slot, const std::string &path)
{
    return request(Action::AddFolder, slot, path);
}

bool ChangeHandlerThread::RemoveFolder(int slot, const std::string &path)
{
    return request(Action::RemoveFolder, slot, path);
}

bool ChangeHandlerThread::request(Action action, int slot, const std::string &path, std::unique_ptr<InotifyWatch> handle)
{
    Shared &shared = *m_shared;
    if (shared.state == RequestState::Answered) {
        // The answer to a request that timed out came late: drop it.
        shared.doneEvent.reset();
        shared.pending.reset();
        shared.state = RequestState::Idle;
    }
    if (shared.state != RequestState::Idle || !shared.actionEvent.valid() || !shared.doneEvent.valid())
        return false;
    shared.action = action;
    shared.slot = slot;
    shared.path = path;
    shared.pending = std::move(handle);
    shared.succeeded = false;
    shared.state = RequestState::Requested;
    shared.actionEvent.set();
    if (shared.doneEvent.wait(kActionTimeoutMs)) {
        const bool succeeded = shared.succeeded;
        shared.pending.reset(); // a handle that found no slot
        shared.state = RequestState::Idle;
        return succeeded;
    }
    RequestState requested = RequestState::Requested;
    if (shared.state.compare_exchange_strong(requested, RequestState::Idle))
        shared.pending.reset();
    return false;
}

void ChangeHandlerThread::perform(Shared &shared)
{
    RequestState requested = RequestState::Requested;
    if (!shared.state.compare_exchange_strong(requested, RequestState::Busy))
        return;
    const bool validSlot = shared.slot >= 0 && shared.slot < kSlotCount;
    InotifyWatch *target = validSlot ? shared.slots[shared.slot].get() : nullptr;
    switch (shared.action) {
    case Action::PlaceWatch:
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (!shared.slots[slot]) {
                shared.slots[slot] = std::move(shared.pending);
                shared.slot = slot;
                shared.succeeded = true;
                break;
            }
        }
        break;
    case Action::RemoveWatch:
        if (validSlot) {
            shared.succeeded = target != nullptr;
            shared.slots[shared.slot].reset();
        }
        break;
    case Action::RemoveAll:
        for (auto &handle : shared.slots)
            handle.reset();
        shared.succeeded = true;
        break;
    case Action::AddFolder:
        shared.succeeded = target && target->addFolder(shared.path);
        break;
    case Action::RemoveFolder:
        if (target)
            target->removeFolder(shared.path);
        shared.succeeded = target != nullptr;
        break;
    }
    shared.state = RequestState::Answered;
    shared.doneEvent.set();
}

void ChangeHandlerThread::run(Shared &shared)
{
    for (;;) {
        try {
            if (!waitOnce(shared))
                return;
        } catch (...) {
            // Nothing may leave the thread: a failure to post (memory) loses one notice.
            platform::pause(100);
        }
    }
}

bool ChangeHandlerThread::waitOnce(Shared &shared)
{
    std::vector<int> descriptors{shared.actionEvent.descriptor()};
    std::vector<int> slotOf{-1};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (shared.slots[slot]) {
            descriptors.push_back(shared.slots[slot]->descriptor());
            slotOf.push_back(slot);
        }
    }
    const std::vector<platform::Readiness> ready = platform::waitForAny(descriptors);
    if (shared.ending)
        return false;
    if (ready.empty()) {
        // The wait itself failed (the system is short of memory): try again a little later
        // rather than spin.
        platform::pause(100);
        return true;
    }
    if (ready[0] != platform::Readiness::Quiet) {
        shared.actionEvent.reset();
        perform(shared);
        return true; // the slot table may have changed
    }
    for (std::size_t i = 1; i < ready.size(); ++i) {
        if (ready[i] == platform::Readiness::Quiet)
            continue;
        std::unique_ptr<InotifyWatch> &handle = shared.slots[slotOf[i]];
        const InotifyWatch::Drained drained =
            ready[i] == platform::Readiness::Failed ? InotifyWatch::Drained::Abandoned : handle->drain();
        // A watch that is dropped posts too: its folder was deleted, moved or unmounted, often
        // in the same batch as the deletions inside it, and the owner still shows what was there.
        QObject *owner = shared.owner;
        if (drained != InotifyWatch::Drained::Nothing && owner)
            QCoreApplication::postEvent(owner, new ChangeNoticeEvent(slotOf[i]));
        if (drained == InotifyWatch::Drained::Abandoned)
            handle.reset();
    }
    return true;
}

} // namespace nomaro
