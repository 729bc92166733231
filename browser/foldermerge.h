#pragma once

// The heart of the incremental refresh, shared by the folder list and the folder tree: given
// the snapshot of what is shown and a new reading of the folder, which shown items vanished and
// which identifiers are new. It changes nothing itself; the caller removes and appends rows (or
// nodes) by ranges.
//
// In a folder with a file-system path identity is byte-wise, and the snapshot is looked up
// through a hash of the identifiers' bytes: one pass over each side, whatever the order of
// either. A virtual folder, whose own comparison decides identity, is searched by binary search
// in its sorted snapshot.

#include <cstddef>
#include <string_view>
#include <vector>

#include "browser/pidllist.h"

namespace nomaro {

struct FolderMerge
{
    // Tags of the snapshot's entries that the new reading no longer holds, ascending.
    std::vector<std::size_t> vanished;
    // The new reading's identifiers that the snapshot does not hold, in the reading's order.
    std::vector<platform::ItemIdList> added;
};

// `reading` is in enumeration order and is consumed. Both lists must follow the same identity
// rule; under a folder's own rule `snapshot` must be sorted, under the byte-wise one its order
// does not matter. Each snapshot entry matches at most one identifier of the reading, so an
// item read twice is new the second time.
FolderMerge mergeFolder(const PidlList &snapshot, PidlList reading);

// The same under the byte-wise rule for a snapshot given as the bytes of each shown
// identifier (which the caller keeps alive), tagged by their index.
FolderMerge mergeFolder(const std::vector<std::string_view> &shown, std::vector<platform::ItemIdList> reading);

} // namespace nomaro
