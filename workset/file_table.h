#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/datetime.h"
#include "platform/locale_formats.h"

namespace nomaro {

// One row of the working set. Names are the file system's own bytes.
struct nm
{
    std::string name;
    std::string newName;
    std::string folder;
    platform::DateTimeValue dateTime = 0.0;
    double size = 0.0;
    std::string extension;
    std::int32_t folderFlag = 0; // 16 for a folder, 0 for a file; any value > 0 counts as a folder
};

inline constexpr std::int32_t kFolderFlag = 16;

inline bool isFolder(const nm &row)
{
    return row.folderFlag > 0;
}

// The working set: a fixed table of 1001 rows laid out once, with a scratch twin used only while
// rows are removed. Rows 0 to rowCount() - 1 are in use, in display order.
class FileTable
{
public:
    static constexpr int Capacity = 1001;
    static constexpr int SortableColumns = 5;

    FileTable();

    int rowCount() const { return m_rowCount; }
    void setRowCount(int count);
    bool isFull() const { return m_rowCount >= Capacity; }

    nm &row(int index);
    const nm &row(int index) const;

    // Appends a row; false, with nothing written, when the table is full.
    bool append(const nm &row);
    void swapRows(int a, int b);

    std::array<nm, Capacity> &rows() { return *m_rows; }
    std::array<nm, Capacity> &scratch() { return *m_scratch; }

    int currentRenameRow = 0;
    // One ascending flag per sortable column of the rename list, false at start, kept for the run.
    std::array<bool, SortableColumns> ascending{};

private:
    std::unique_ptr<std::array<nm, Capacity>> m_rows;
    std::unique_ptr<std::array<nm, Capacity>> m_scratch;
    int m_rowCount = 0;
};

// The extension part of a name: from its last dot to its end, the dot included; empty without a dot.
std::string extensionOf(const std::string &name);
// The rest of the name: all of it without a dot, nothing for a name such as ".profile".
std::string basePartOf(const std::string &name);

// A file's bare name, a folder's name between "<" and ">".
std::string displayName(const nm &row);
// The new name shown the same way.
std::string displayNewName(const nm &row);

// Texts of the rename list's columns "Dim KB" and "Data".
std::string sizeKBText(const nm &row, const platform::LocaleFormats &formats);
std::string dateText(const nm &row, const platform::LocaleFormats &formats);

} // namespace nomaro
