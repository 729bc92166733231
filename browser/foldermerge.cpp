#include "browser/foldermerge.h"

#include <algorithm>

namespace nomaro {

FolderMerge mergeFolder(const PidlList &snapshot, PidlList reading)
{
    // Matched entries are marked rather than erased, so a burst of changes in a large folder
    // costs one binary search per identifier and no shifting of the lists.
    std::vector<bool> matched(snapshot.size(), false);
    std::vector<bool> known(reading.size(), false);
    for (std::size_t i = reading.size(); i-- > 0;) {
        const platform::ItemIdList &id = reading[i].id;
        for (std::size_t at = snapshot.lowerBound(id); at < snapshot.size() && snapshot.compare(snapshot[at].id, id) == 0;
             ++at) {
            if (!matched[at]) {
                matched[at] = true;
                known[i] = true;
                break;
            }
        }
    }

    FolderMerge merge;
    for (std::size_t at = 0; at < snapshot.size(); ++at) {
        if (!matched[at])
            merge.vanished.push_back(snapshot[at].tag);
    }
    std::sort(merge.vanished.begin(), merge.vanished.end());
    for (std::size_t i = 0; i < reading.size(); ++i) {
        if (!known[i])
            merge.added.push_back(std::move(reading[i].id));
    }
    return merge;
}

} // namespace nomaro
