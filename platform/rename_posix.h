#pragma once

#include <string>

#include "platform/rename.h"

namespace nomaro::platform::posix {

// Moves oldPath to newPath on one file system, never replacing an existing item: the kernel's
// no-replace flag, else moveWithoutFlag. On Failed, errno holds the reason (EXDEV across file
// systems).
RenameStatus moveNoReplace(const std::string &oldPath, const std::string &newPath);

// Moves oldPath to newPath without the kernel's no-replace flag, for file systems that refuse it:
// link + unlink for files, else a check that the target is absent followed by rename (the narrow
// race between the two is accepted). Never replaces an existing item.
RenameStatus moveWithoutFlag(const std::string &oldPath, const std::string &newPath);

} // namespace nomaro::platform::posix
