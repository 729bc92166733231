#pragma once

#include <string>

namespace nomaro::platform {

enum class RenameStatus {
    Renamed,       // the item now bears the new name (or already did)
    InvalidName,   // a name that is empty, ".", "..", or holds "/" or a NUL byte; disk untouched
    TargetExists,  // another item already bears the new name; it is left as it was
    Failed,        // the file system refused (missing item, permissions, name too long...)
};

struct RenameOutcome
{
    RenameStatus status = RenameStatus::Failed;
    // Empty unless a failed rename left the item under neither its old nor its new name (a
    // temporary name that nothing could take back): then the name it bears now.
    std::string strandedName;
};

// Renames the item `oldName` of `folder` to `newName` in the same folder, never replacing an
// existing item. Giving an item its own name succeeds without touching the disk when the item
// exists. Names are the file system's own bytes. One implementation per OS.
RenameOutcome renameItemReporting(const std::string &folder, const std::string &oldName,
                                  const std::string &newName);

// The same, for callers that need only the status.
RenameStatus renameItem(const std::string &folder, const std::string &oldName,
                        const std::string &newName);

} // namespace nomaro::platform
