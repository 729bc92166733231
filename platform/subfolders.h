#pragma once

// Whether a folder has subfolders, asked of many children of one folder while a tree fills it.
// The answer must be cheap: a tree that opens a folder of thousands of subfolders asks once per
// child, so a child is never read in full.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/itemidlist.h"

namespace nomaro::platform {

enum class SubfolderAnswer {
    Yes,
    No,
    Unknown, // the child could not be looked at; it is shown as having some, to be tried
};

// Asks about the children of one parent folder. On file systems whose folder link count is two
// plus the number of subfolders the count answers alone; elsewhere one batch of directory entries
// is read, and a batch without a folder in it that is not the end of the folder answers Yes.
class SubfolderProbe
{
public:
    // `includeHidden`: whether folders whose name starts with "." count.
    SubfolderProbe(const std::string &parentPath, bool includeHidden);
    ~SubfolderProbe();
    SubfolderProbe(const SubfolderProbe &) = delete;
    SubfolderProbe &operator=(const SubfolderProbe &) = delete;

    // `childName`: the name within the parent, or an absolute path. `linkCount`: the child's link
    // count when the caller has it from its own lookup of the child (0 when not), which spares a
    // second lookup where the count answers.
    SubfolderAnswer ask(const std::string &childName, std::uint64_t linkCount = 0) const;

private:
    int m_parentFd = -100; // AT_FDCWD until a parent folder is opened
    bool m_ownsFd = false;
    bool m_includeHidden;
    bool m_linkCountCounts = false;
};

// A child of a file-system folder read for a tree: its identifier as the folder's enumeration
// makes it, and the link count of the lookup that made it (0 for a symbolic link, whose own
// count says nothing of the folder it leads to, and for an entry that could not be looked at).
struct FolderChild
{
    ItemIdList id;
    std::uint64_t linkCount = 0;
};

// The children of the file-system folder at `path` of the kinds in `flags` (EnumFlag), in the
// folder's order, as the folder's enumeration lists them; nullopt when the folder cannot be read
// whole (it cannot be opened, it fails or goes away while it is read).
std::optional<std::vector<FolderChild>> readFolderChildren(const std::string &path, unsigned flags);

// Whether the folder at `path` is the same folder as `ancestorPath` or lies above it, once
// both are resolved: a symbolic link such as "a -> .." leads back up and would make an endless
// path in a tree.
bool leadsBackUp(const std::string &path, const std::string &ancestorPath);

// Whether `path` lies on a network drive, where a folder may not answer at all. A FUSE drive
// counts as one: its process may stop answering just as a server may. The mount table is read,
// no folder is looked at.
bool isOnNetworkDrive(const std::string &path);

} // namespace nomaro::platform
