#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/entry_lookup.h"
#include "workset/file_table.h"

class QItemSelectionModel;

namespace nomaro {

// The rows of a folder list as the working set reads them, in display order.
class FolderItems
{
public:
    virtual ~FolderItems() = default;
    virtual std::string folderPath() const = 0; // empty when the folder has no file-system path
    virtual int itemCount() const = 0;
    virtual bool isItemSelected(int index) const = 0;
    virtual std::string itemName(int index) const = 0; // the file-system name, as bytes
};

// Which rows of a flat list are selected, read once from the selection's ranges: asking the
// selection model row by row costs a pass over every range for each row. A row counts as
// selected, as QItemSelectionModel::isRowSelected has it, when every selectable column of it is.
class RowSelection
{
public:
    explicit RowSelection(const QItemSelectionModel &selection);

    int rowCount() const { return static_cast<int>(m_selected.size()); }
    bool isSelected(int row) const
    {
        return row >= 0 && row < rowCount() && m_selected[static_cast<std::size_t>(row)];
    }
    int selectedCount() const { return m_selectedCount; }

private:
    std::vector<bool> m_selected;
    int m_selectedCount = 0;
};

struct AddOutcome
{
    int added = 0;
    int refused = 0; // selected items that found the table full
};

using ListedNameTest = std::function<bool(const std::string &displayName)>;
using EntryLookup = std::function<platform::EntryInfo(const std::string &fullPath)>;

// Appends the selected items that exist and whose display name is not listed yet. The listed
// names are those shown before the call; items that vanished, that may not be read, or that lie in
// a folder without a file-system path are passed over. Nothing is written beyond the table's
// capacity: such items are counted as refused.
AddOutcome AddSelectedItems(FileTable &table, const FolderItems &items, const ListedNameTest &isListed,
                            const EntryLookup &lookUp = platform::lookUpEntry);

} // namespace nomaro
