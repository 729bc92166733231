#pragma once

#include "workset/file_table.h"

#include <string>
#include <vector>

namespace nomaro {

// An item that a failed rename left under a temporary name, nothing having given it back its own.
struct StrandedItem
{
    std::string folder;
    std::string oldName;
    std::string currentName;
};

// A rename the file system answered with an error that leaves open what happened (a network
// file system that lost the server's answer), after which the folder shows the item under both
// its old and its new name, or under neither: the user has to look.
struct UnsettledItem
{
    std::string folder;
    std::string oldName;
    std::string newName;
    // The two names of the move the answer left open: the old and the new name, or a temporary
    // name on the way between them.
    std::string fromName;
    std::string toName;
    bool bothNames = false; // else neither name is there
};

struct RenameCounts
{
    int renamed = 0;
    int failed = 0;
    std::vector<StrandedItem> stranded;   // each also counts as failed
    std::vector<UnsettledItem> unsettled; // each also counts as failed
};

// Renames every row on disk, in table order, from folder/name to folder/new name, never
// replacing an existing item. Where the file system's answer leaves the outcome open, the rows
// are counted by what the disk shows. A renamed row takes its new name as its name; a failed row keeps
// both, except that a stranded item's row takes the name the item bears now, so that the row
// still names it. Every row is attempted; nothing renamed before a failure is rolled back.
RenameCounts renameRows(FileTable &table);

// new name := name for every row; the disk is not touched.
void resetNewNames(FileTable &table);

} // namespace nomaro
