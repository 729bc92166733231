#pragma once

// How a fill reads its folder, apart from any widget: the file masks and the name set they give,
// the enumeration of the children, and the acceptance test that decides which children become
// rows, with the `OnAddItem` hook asked last. The folder list keeps one; a full fill and an
// incremental refresh both go through it, as can the folder tree.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/itemidlist.h"
#include "platform/shell_namespace.h"

namespace nomaro {

class FolderListing
{
public:
    // Asked last for each child that passed the other steps; false rejects it.
    using AddItemHook = std::function<bool(const platform::ShellFolder &parent, const platform::ItemIdList &parentId,
                                           const platform::ItemIdList &child, std::uint32_t attributes)>;

    // What the acceptance test takes from the component's options and state.
    struct Acceptance
    {
        bool nonFilesystemAncestors = false; // any child is a candidate, not only file-system ones
        bool hideFileSystemFolders = false;  // folders that are file-system items are left to a linked tree
        AddItemHook onAddItem;
    };

    // The children of one reading, in the folder's order.
    struct Reading
    {
        platform::EnumEnd end = platform::EnumEnd::NoMoreItems;
        int error = 0; // the system's error number when `end` is not NoMoreItems
        bool unanswered = false; // the folder's drive did not answer in time
        std::vector<platform::ItemIdList> children;
    };

    // The attributes the acceptance test needs of a child.
    static constexpr std::uint32_t kAcceptanceAttributes = platform::AttrFileSystem | platform::AttrFolder
        | platform::AttrFileSystemAncestor | platform::AttrHidden | platform::AttrShare | platform::AttrLink;

    // The masks of a ";"-separated text: every maximal run of other characters, empty runs
    // dropped, nothing trimmed.
    static std::vector<std::string> parseMasks(const std::string &text);

    const std::string &fileFilter() const { return m_fileFilter; }
    const std::vector<std::string> &masks() const { return m_masks; }
    // Stores the filter text; gives whether it differs from the previous one, in which case the
    // masks are made again. Setting an empty text again drops the masks.
    bool setFileFilter(const std::string &text);

    // The name set of one fill: the names of the non-folders in `folderPath` that the masks find
    // through the platform's wildcard search, without regard to case. None (everything
    // passes) for a virtual folder, an empty filter, "*" or "*.*". A search that fails ends the
    // set at that mask.
    void buildNameSet(const std::string &folderPath);
    void discardNameSet() { m_nameSet.reset(); }
    bool hasNameSet() const { return m_nameSet.has_value(); }

    // Every child of `folder` of the kinds in `flags` (platform::EnumFlag), in the folder's order.
    static Reading read(const platform::ShellFolder &folder, unsigned flags);

    // The acceptance test for one child with its attributes (at least kAcceptanceAttributes).
    bool accepts(const platform::ShellFolder &folder, const platform::ItemIdList &child, std::uint32_t attributes,
                 const Acceptance &acceptance) const;
    // The accepted ones of `children`, in their order; the others are dropped.
    std::vector<platform::ItemIdList> accepted(const platform::ShellFolder &folder,
                                               std::vector<platform::ItemIdList> children,
                                               const Acceptance &acceptance) const;

private:
    std::string m_fileFilter;
    std::vector<std::string> m_masks;
    // The names the masks let through, sorted; exists only during a fill with masks.
    std::optional<std::vector<std::string>> m_nameSet;
};

} // namespace nomaro
