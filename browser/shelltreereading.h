#pragma once

// One reading of a folder for the folder tree, apart from any widget: the children of the kinds
// the tree shows, each with what its node needs (the attributes of the acceptance test and the
// node's looks, whether it has subfolders, whether it is a link leading back up). A folder on a
// network drive is read on a worker thread and given up on after a bounded wait, so that a hung
// mount never freezes the window.

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "browser/boundedreading.h"
#include "platform/itemidlist.h"
#include "platform/shell_namespace.h"

namespace nomaro {

struct TreeChild
{
    platform::ItemIdList id;
    std::uint32_t attributes = 0;
    bool hasSubfolders = false;
    // A link to a folder at or above its own parent: shown, but never expanded.
    bool leadsBackUp = false;
};

struct TreeReadingRequest
{
    unsigned flags = platform::EnumFolders; // platform::EnumFlag
    // The longest wait for a folder on a network drive.
    std::chrono::milliseconds networkWait = kNetworkReadWait;
};

// The attributes asked of each child.
constexpr std::uint32_t kTreeChildAttributes = platform::AttrFileSystem | platform::AttrFolder
    | platform::AttrFileSystemAncestor | platform::AttrHidden | platform::AttrShare | platform::AttrLink
    | platform::AttrRemovable | platform::AttrStream;

// The children of `folder` in the folder's order; nullopt when the folder cannot be enumerated
// (it cannot be opened, it fails while read, or a network folder did not answer in time).
std::optional<std::vector<TreeChild>> readTreeChildren(const platform::ShellFolder &folder,
                                                       const TreeReadingRequest &request);

// What a node needs of one child of `folder`, asked alone (a folder the tree adds on its way
// to a folder it must show).
TreeChild describeTreeChild(const platform::ShellFolder &folder, platform::ItemIdList id, unsigned flags);

} // namespace nomaro
