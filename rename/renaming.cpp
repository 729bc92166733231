#include "rename/renaming.h"

#include "platform/rename.h"

namespace nomaro {

RenameCounts renameRows(FileTable &table)
{
    RenameCounts counts;
    for (int i = 0; i < table.rowCount(); ++i) {
        nm &row = table.row(i);
        const platform::RenameOutcome outcome =
            platform::renameItemReporting(row.folder, row.name, row.newName);
        if (outcome.status == platform::RenameStatus::Renamed) {
            row.name = row.newName;
            ++counts.renamed;
            continue;
        }
        ++counts.failed;
        if (outcome.unsettled != platform::Unsettled::No)
            counts.unsettled.push_back({row.folder, row.name, row.newName, outcome.unsettledFrom,
                                        outcome.unsettledTo,
                                        outcome.unsettled == platform::Unsettled::BothNames});
        if (!outcome.strandedName.empty()) {
            counts.stranded.push_back({row.folder, row.name, outcome.strandedName});
            row.name = outcome.strandedName;
        }
    }
    return counts;
}

void resetNewNames(FileTable &table)
{
    for (int i = 0; i < table.rowCount(); ++i)
        table.row(i).newName = table.row(i).name;
}

} // namespace nomaro
