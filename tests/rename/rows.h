#pragma once

#include <string>

#include "workset/file_table.h"

namespace nomaro::test {

// A working-set row of a file in `folder` whose proposed new name is `newName`.
inline nm rowOf(const std::string &folder, const std::string &name, const std::string &newName)
{
    nm row;
    row.name = name;
    row.newName = newName;
    row.folder = folder;
    row.extension = extensionOf(name);
    return row;
}

} // namespace nomaro::test
