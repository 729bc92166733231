#include "browser/shelltreereading.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "browser/folderlisting.h"
#include "platform/subfolders.h"

namespace nomaro {

namespace {

TreeChild describe(const platform::ShellFolder &folder, platform::ItemIdList id, const platform::SubfolderProbe &probe,
                   std::uint64_t linkCount = 0)
{
    TreeChild child;
    child.attributes = folder.attributes(id, kTreeChildAttributes);
    const platform::ItemElement element = id.firstElement();
    if (element.type == platform::ElementType::Computer)
        child.hasSubfolders = true;
    else if (child.attributes & platform::AttrFolder) {
        if ((element.flags & platform::ElementLinkToDirectory) && !folder.path().empty())
            child.leadsBackUp = platform::leadsBackUp(folder.childPath(element), folder.path());
        child.hasSubfolders = !child.leadsBackUp && probe.ask(std::string(element.name), linkCount) != platform::SubfolderAnswer::No;
    }
    child.id = std::move(id);
    return child;
}

std::optional<std::vector<TreeChild>> readNow(const platform::ShellFolder &folder, unsigned flags)
{
    const platform::SubfolderProbe probe(folder.path(), flags & platform::EnumHidden);
    if (!folder.path().empty()) {
        // The lookup of each child that the reading makes anyway holds the link count that
        // answers the has-subfolders question on most file systems.
        std::optional<std::vector<platform::FolderChild>> read = platform::readFolderChildren(folder.path(), flags);
        if (!read)
            return std::nullopt;
        std::vector<TreeChild> children;
        children.reserve(read->size());
        for (platform::FolderChild &child : *read)
            children.push_back(describe(folder, std::move(child.id), probe, child.linkCount));
        return children;
    }
    FolderListing::Reading reading = FolderListing::read(folder, flags);
    if (reading.end != platform::EnumEnd::NoMoreItems)
        return std::nullopt;
    std::vector<TreeChild> children;
    children.reserve(reading.children.size());
    for (platform::ItemIdList &id : reading.children)
        children.push_back(describe(folder, std::move(id), probe));
    return children;
}

// What the worker and the waiting thread share; the worker keeps it alive when the wait is
// given up.
struct BoundedReading
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<std::vector<TreeChild>> result;
};

} // namespace

TreeChild describeTreeChild(const platform::ShellFolder &folder, platform::ItemIdList id, unsigned flags)
{
    const platform::SubfolderProbe probe(folder.path(), flags & platform::EnumHidden);
    return describe(folder, std::move(id), probe);
}

std::optional<std::vector<TreeChild>> readTreeChildren(const platform::ShellFolder &folder,
                                                       const TreeReadingRequest &request)
{
    if (folder.path().empty() || !platform::isOnNetworkDrive(folder.path()))
        return readNow(folder, request.flags);

    // The worker binds its own folder object, since the caller's may be gone when it ends.
    auto shared = std::make_shared<BoundedReading>();
    std::thread([shared, absolute = folder.absoluteId(), flags = request.flags] {
        std::optional<std::vector<TreeChild>> result;
        try {
            result = readNow(*platform::ShellFolder::bind(absolute), flags);
        } catch (...) {
            // A folder that cannot be bound cannot be enumerated either.
        }
        const std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->finished = true;
        shared->done.notify_all();
    }).detach();

    std::unique_lock lock(shared->mutex);
    if (!shared->done.wait_for(lock, request.networkWait, [&] { return shared->finished; }))
        return std::nullopt;
    return std::move(shared->result);
}

} // namespace nomaro
