#include "browser/folderlisting.h"

#include <algorithm>

#include "platform/dirsearch.h"

namespace nomaro {

std::vector<std::string> FolderListing::parseMasks(const std::string &text)
{
    std::vector<std::string> masks;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find(';', at);
        if (end == std::string::npos)
            end = text.size();
        if (end > at)
            masks.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return masks;
}

bool FolderListing::setFileFilter(const std::string &text)
{
    const std::string old = std::move(m_fileFilter);
    m_fileFilter = text;
    if (text != old) {
        m_masks = parseMasks(text);
        return true;
    }
    if (text.empty())
        m_masks.clear();
    return false;
}

void FolderListing::buildNameSet(const std::string &folderPath)
{
    m_nameSet.reset();
    if (folderPath.empty() || m_fileFilter.empty() || m_fileFilter == "*" || m_fileFilter == "*.*")
        return;

    std::vector<std::string> names;
    platform::ErrorModeGuard quiet;
    for (const std::string &mask : m_masks) {
        const platform::SearchResult result = platform::searchDirectory(
            folderPath, mask, [&names](std::string_view name, bool isDirectory) {
                if (!isDirectory)
                    names.emplace_back(name);
            });
        // Nothing found goes on to the next mask; a failed search ends the set where it is.
        if (result.outcome == platform::SearchOutcome::Failed)
            break;
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    m_nameSet = std::move(names);
}

FolderListing::Reading FolderListing::read(const platform::ShellFolder &folder, unsigned flags)
{
    Reading reading;
    platform::ErrorModeGuard quiet;
    reading.end = folder.enumerate(
        flags, [&reading](platform::ItemIdList &&child) { reading.children.push_back(std::move(child)); },
        reading.error);
    return reading;
}

bool FolderListing::accepts(const platform::ShellFolder &folder, const platform::ItemIdList &child,
                            std::uint32_t attributes, const Acceptance &acceptance) const
{
    if (!acceptance.nonFilesystemAncestors
        && !(attributes & (platform::AttrFileSystem | platform::AttrFileSystemAncestor)))
        return false;
    if (acceptance.hideFileSystemFolders && (attributes & platform::AttrFolder) && (attributes & platform::AttrFileSystem))
        return false;
    if (m_nameSet && !(attributes & platform::AttrFolder)) {
        // The file-name part of the child's full path, which for an entry is its own name.
        const platform::ItemElement element = child.firstElement();
        std::string_view name = element.name;
        if (element.type != platform::ElementType::Entry)
            name = name.substr(name.rfind('/') + 1);
        if (!std::binary_search(m_nameSet->begin(), m_nameSet->end(), name, std::less<>()))
            return false;
    }
    if (acceptance.onAddItem)
        return acceptance.onAddItem(folder, folder.absoluteId(), child, attributes);
    return true;
}

std::vector<platform::ItemIdList> FolderListing::accepted(const platform::ShellFolder &folder,
                                                          std::vector<platform::ItemIdList> children,
                                                          const Acceptance &acceptance) const
{
    std::vector<platform::ItemIdList> kept;
    kept.reserve(children.size());
    for (platform::ItemIdList &child : children) {
        const std::uint32_t attributes = folder.attributes(child, kAcceptanceAttributes);
        if (accepts(folder, child, attributes, acceptance))
            kept.push_back(std::move(child));
    }
    return kept;
}

} // namespace nomaro
