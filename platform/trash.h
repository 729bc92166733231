#pragma once

// Our writer of the desktop's trash, in the shared layout that file managers and trash tools
// read: a trash folder holds "files/NAME" (the item itself) and "info/NAME.trashinfo" (where it
// came from and when). Items on the home's file system go to the home trash
// ($XDG_DATA_HOME/Trash), others to their mount's own "$topdir/.Trash/$uid" (when ".Trash" is a
// real folder with the sticky bit) or "$topdir/.Trash-$uid". An item is only ever renamed into a
// trash on its own file system, never copied: where no trash can be made there, it stays put.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace nomaro::platform {

struct TrashResult
{
    std::string path;
    bool trashed = false;
    std::string message; // why the item stayed, in Italian
};

// Moves each item to the trash (never a plain delete); an item the trash refuses stays in place.
// Paths are the file system's own bytes; names that are not UTF-8 are kept as they are.
std::vector<TrashResult> moveItemsToTrash(const std::vector<std::string> &paths);

namespace trash {

// The "Path" value of an info file: the bytes of `path` with everything but letters, digits,
// "-_.!~*'()" and "/" written as %XX, so spaces, "%", accented letters and bytes that are not
// UTF-8 all survive the trip through a text file.
std::string escapedPath(std::string_view path);

// The "DeletionDate" value: YYYY-MM-DDThh:mm:ss in local time.
std::string deletionDate(std::time_t when);

// The name under which the n-th attempt (from 1) files `name` in a trash: the name itself,
// then "nome.2.txt", "nome.3.txt"..., cut short (at a character boundary) so that the info
// file's name still fits the file system's 255 bytes.
std::string trashName(const std::string &name, bool isFolder, int n);

} // namespace trash
} // namespace nomaro::platform
