#pragma once

#include "workset/file_table.h"

namespace nomaro {

// Columns of the rename list, in display order.
enum RenameListColumn {
    ColumnCurrentNames = 0,
    ColumnNewNames = 1,
    ColumnSizeKB = 2,
    ColumnDate = 3,
    ColumnExtension = 4,
    ColumnPath = 5,
};

// Swap the selected row (-1 for none) with its neighbour and make the moved row the current
// rename row. False, with nothing changed, when there is no place to move to.
bool moveRowUp(FileTable &table, int selected);
bool moveRowDown(FileTable &table, int selected);

enum class SortResult {
    Sorted,      // rows sorted and the column's ascending flag inverted
    NotSortable, // "Nomi Nuovi": the order stays, the user hears a beep
    NoSuchColumn,
};

// Sorts the whole table by a column of the rename list: ascending when the column's flag is set,
// descending when not (so the first click gives descending), then inverts the flag, also on an
// empty table. Rows with equal keys may change their relative order.
SortResult sortByColumn(FileTable &table, int column);

} // namespace nomaro
