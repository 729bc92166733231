#include "rename/renaming.h"

#include "platform/rename.h"

namespace nomaro {

RenameCounts renameRows(FileTable &table)
{
    RenameCounts counts;
    for (int i = 0; i < table.rowCount(); ++i) {
        nm &row = table.row(i);
        if (platform::renameItem(row.folder, row.name, row.newName)
            == platform::RenameStatus::Renamed) {
            row.name = row.newName;
            ++counts.renamed;
        } else {
            ++counts.failed;
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
