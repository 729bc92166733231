// The watch set over inotify: each watch is an inotify instance of its own, and the wait is one
// poll over their descriptors and an eventfd that wake() signals.

#include <vector>

#include "platform/inotify_watch.h"
#include "platform/wait_events.h"
#include "platform/watch_set.h"

namespace nomaro::platform {
namespace {

class InotifyWatchSet : public WatchSet
{
public:
    explicit InotifyWatchSet(int slotCount)
        : m_slots(static_cast<std::size_t>(slotCount))
    {
    }

    bool valid() const override { return m_wake.valid(); }
    void wake() override { m_wake.set(); }

    std::vector<Notice> wait() override
    {
        std::vector<int> descriptors{m_wake.descriptor()};
        std::vector<int> slotOf{-1};
        for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
            if (m_slots[slot]) {
                descriptors.push_back(m_slots[slot]->descriptor());
                slotOf.push_back(static_cast<int>(slot));
            }
        }
        const std::vector<Readiness> ready = waitForAny(descriptors);
        if (ready.empty()) {
            // The wait itself failed (the system is short of memory): try again a little later
            // rather than spin.
            pause(100);
            return {};
        }
        if (ready[0] != Readiness::Quiet)
            m_wake.reset();
        std::vector<Notice> notices;
        for (std::size_t i = 1; i < ready.size(); ++i) {
            if (ready[i] == Readiness::Quiet)
                continue;
            const InotifyWatch::Drained drained =
                ready[i] == Readiness::Failed ? InotifyWatch::Drained::Abandoned : m_slots[slotOf[i]]->drain();
            if (drained != InotifyWatch::Drained::Nothing)
                notices.push_back({slotOf[i], drained == InotifyWatch::Drained::Abandoned});
        }
        return notices;
    }

    int place(std::unique_ptr<FolderWatch> watch) override
    {
        for (std::size_t slot = 0; slot < m_slots.size(); ++slot) {
            if (!m_slots[slot]) {
                // The only watches made here are inotify ones (FolderWatch::open below).
                m_slots[slot].reset(static_cast<InotifyWatch *>(watch.release()));
                return static_cast<int>(slot);
            }
        }
        return -1;
    }

    bool remove(int slot) override
    {
        if (!at(slot))
            return false;
        m_slots[static_cast<std::size_t>(slot)].reset();
        return true;
    }

    void removeAll() override
    {
        for (auto &watch : m_slots)
            watch.reset();
    }

    FolderWatch *at(int slot) override
    {
        if (slot < 0 || static_cast<std::size_t>(slot) >= m_slots.size())
            return nullptr;
        return m_slots[static_cast<std::size_t>(slot)].get();
    }

private:
    AutoResetEvent m_wake;
    std::vector<std::unique_ptr<InotifyWatch>> m_slots;
};

} // namespace

std::unique_ptr<FolderWatch> FolderWatch::open(const std::string &path, unsigned kinds, bool wholeSubtree)
{
    return InotifyWatch::open(path, kinds, wholeSubtree);
}

std::unique_ptr<WatchSet> WatchSet::create(int slotCount)
{
    return std::make_unique<InotifyWatchSet>(slotCount);
}

} // namespace nomaro::platform
