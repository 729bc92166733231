#pragma once

#include "workset/file_table.h"

namespace nomaro {

struct RenameCounts
{
    int renamed = 0;
    int failed = 0;
};

// Renames every row on disk, in table order, from folder/name to folder/new name, never
// replacing an existing item. A renamed row takes its new name as its name; a failed row keeps
// both. Every row is attempted; nothing renamed before a failure is rolled back.
RenameCounts renameRows(FileTable &table);

// new name := name for every row; the disk is not touched.
void resetNewNames(FileTable &table);

} // namespace nomaro
