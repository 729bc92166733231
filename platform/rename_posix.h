#pragma once

#include <string>

#include "platform/rename.h"

namespace nomaro::platform::posix {

// Moves oldPath to newPath on one file system, never replacing an existing item: the kernel's
// no-replace flag, else moveWithoutFlag. On Failed, errno holds the reason (EXDEV across file
// systems).
RenameStatus moveNoReplace(const std::string &oldPath, const std::string &newPath);

// Moves oldPath to newPath without the kernel's no-replace flag, for file systems that refuse it:
// link + unlink for files, else the new name is claimed exclusively (an empty file, or an empty
// folder for a folder) and the item renamed over that placeholder. Never replaces an item that
// anyone else made, also one made while the move runs. On Failed, errno holds the reason.
RenameStatus moveWithoutFlag(const std::string &oldPath, const std::string &newPath);

} // namespace nomaro::platform::posix
