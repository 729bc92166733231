#pragma once

// Whether a folder has subfolders, asked of many children of one folder while a tree fills it.
// The answer must be cheap: a tree that opens a folder of thousands of subfolders asks once per
// child, so a child is never read in full.

#include <string>

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

    // `childName`: the name within the parent, or an absolute path.
    SubfolderAnswer ask(const std::string &childName) const;

private:
    int m_parentFd = -100; // AT_FDCWD until a parent folder is opened
    bool m_ownsFd = false;
    bool m_includeHidden;
    bool m_linkCountCounts = false;
};

// Whether the folder at `path` is the same folder as `ancestorPath` or lies above it, once
// both are resolved: a symbolic link such as "a -> .." leads back up and would make an endless
// path in a tree.
bool leadsBackUp(const std::string &path, const std::string &ancestorPath);

// Whether `path` lies on a network drive, where a folder may not answer at all.
bool isOnNetworkDrive(const std::string &path);

} // namespace nomaro::platform
