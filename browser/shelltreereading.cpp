#include "browser/shelltreereading.h"

#include "browser/boundedreading.h"
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

} // namespace

TreeChild describeTreeChild(const platform::ShellFolder &folder, platform::ItemIdList id, unsigned flags)
{
    const platform::SubfolderProbe probe(folder.path(), flags & platform::EnumHidden);
    return describe(folder, std::move(id), probe);
}

std::optional<std::vector<TreeChild>> readTreeChildren(const platform::ShellFolder &folder,
                                                       const TreeReadingRequest &request)
{
    const unsigned flags = request.flags;
    return readBounded<std::vector<TreeChild>>(
        folder, request.networkWait, [flags](const platform::ShellFolder &bound) { return readNow(bound, flags); });
}

} // namespace nomaro
