#pragma once

// Reads a folder the fast way: names in large getdents64 batches, then every entry looked up
// (lstat, and stat for a link, see entry_stat.h) on a small pool of threads, one per core and
// at most four. The pool only reads the disk into its own buffers; every entry is handed over
// on the calling thread, in the folder's order, after the pool has stopped, so callers see the
// same sequence a plain readdir loop gives them and no thread outlives the call.

#include <functional>
#include <string_view>

#include "platform/entry_stat.h"

namespace nomaro::platform {

enum class FolderReadEnd {
    Complete, // every entry was read
    Vanished, // the folder was removed while it was read; what was read is no listing
    Failed,   // reading failed; the error number tells why
};

struct FolderRead
{
    FolderReadEnd end = FolderReadEnd::Complete;
    int error = 0;
};

// Reads the folder open as `folderFd` (which stays open). "." and ".." are left out, and so is
// every name for which `wanted` says false, before it is looked up. `found` receives each other
// entry with its lookup; an entry that went away in between comes with ENOENT as its error.
FolderRead readFolder(int folderFd, const std::function<bool(std::string_view name)> &wanted,
                      const std::function<void(std::string_view name, const EntryStatus &status)> &found);

// How many threads look entries up: one per core, at most four.
unsigned lookupThreads();

} // namespace nomaro::platform
