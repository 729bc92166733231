#pragma once

#include <string>

namespace nomaro::platform {

enum class RenameStatus {
    Renamed,       // the item now bears the new name (or already did)
    InvalidName,   // a name that is empty, ".", "..", or holds "/" or a NUL byte; disk untouched
    TargetExists,  // another item already bears the new name; it is left as it was
    Failed,        // the file system refused (missing item, permissions, name too long...)
};

// What the folder shows after a rename that failed with an error that does not prove nothing
// happened (a network file system that lost its answer), when it shows neither the old state nor
// a finished rename.
enum class Unsettled {
    No,
    BothNames,   // an item bears the old name and one bears the new name
    NeitherName, // nothing bears either name
};

struct RenameOutcome
{
    RenameStatus status = RenameStatus::Failed;
    // Empty unless a failed rename left the item under neither its old nor its new name (a
    // temporary name that nothing could take back): then the name it bears now.
    std::string strandedName;
    // For a Failed rename whose outcome the folder leaves open: the two names the folder shows
    // both or neither of (the old and the new name, or a temporary name on the way between).
    Unsettled unsettled = Unsettled::No;
    std::string unsettledFrom;
    std::string unsettledTo;
};

// Renames the item `oldName` of `folder` to `newName` in the same folder, never replacing an
// existing item. Giving an item its own name succeeds without touching the disk when the item
// exists. Where the file system's answer leaves the outcome open, the folder is read: a rename
// that took place counts as done, one that left both names or neither says so. Names are the file system's own bytes. One implementation per OS.
RenameOutcome renameItemReporting(const std::string &folder, const std::string &oldName,
                                  const std::string &newName);

// The same, for callers that need only the status.
RenameStatus renameItem(const std::string &folder, const std::string &oldName,
                        const std::string &newName);

} // namespace nomaro::platform
