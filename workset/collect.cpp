#include "workset/collect.h"

#include "platform/paths.h"

namespace nomaro {

AddOutcome AddSelectedItems(FileTable &table, const FolderItems &items, const ListedNameTest &isListed,
                            const EntryLookup &lookUp)
{
    AddOutcome outcome;
    const std::string folder = items.folderPath();
    const int count = items.itemCount();
    for (int index = 0; index < count; ++index) {
        if (!items.isItemSelected(index))
            continue;
        if (folder.empty())
            continue;
        const std::string name = items.itemName(index);
        const platform::EntryInfo entry = lookUp(platform::joinPath(folder, name));
        if (entry.status != platform::EntryInfo::Status::Found)
            continue;

        nm row;
        row.name = name;
        row.newName = name;
        row.folder = folder;
        row.dateTime = entry.lastWrite;
        row.size = static_cast<double>(entry.size);
        row.folderFlag = entry.isFolder ? kFolderFlag : 0;
        row.extension = extensionOf(name);
        if (isListed(displayName(row)))
            continue;
        if (!table.append(row)) {
            ++outcome.refused;
            continue;
        }
        ++outcome.added;
    }
    table.currentRenameRow = 0;
    return outcome;
}

} // namespace nomaro
