#pragma once

// The heart of the incremental refresh, shared by the folder list and the folder tree: given
// the sorted snapshot of what is shown and a new reading of the folder, which shown items
// vanished and which identifiers are new. It changes nothing itself; the caller removes and
// appends rows (or nodes) by ranges.

#include <cstddef>
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

// `snapshot` must be sorted; `reading` is in enumeration order and is consumed. Both lists must
// follow the same identity rule. Each snapshot entry matches at most one identifier of the
// reading, so an item read twice is new the second time.
FolderMerge mergeFolder(const PidlList &snapshot, PidlList reading);

} // namespace nomaro
