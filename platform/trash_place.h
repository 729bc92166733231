#pragma once

#include <string>

namespace nomaro::platform::trash {

// Where an item goes in the trash: the trash folder (with its "files" and "info" folders made)
// and the "Path" recorded for it, absolute in the home trash and relative to the mount's top
// folder in a mount's own trash.
struct TrashPlace
{
    std::string folder;
    std::string recordedPath;
};

// The trash for the item `name` of the folder whose resolved path is `realFolder`. False, with
// errno set, when no trash can be made on the item's file system.
bool findTrashPlace(const std::string &realFolder, const std::string &name, TrashPlace &place);

} // namespace nomaro::platform::trash
