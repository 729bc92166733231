#include "workset/file_table.h"

#include <cassert>
#include <utility>

namespace nomaro {

FileTable::FileTable()
    : m_rows(std::make_unique<std::array<nm, Capacity>>())
    , m_scratch(std::make_unique<std::array<nm, Capacity>>())
{
}

void FileTable::setRowCount(int count)
{
    assert(count >= 0 && count <= Capacity);
    m_rowCount = count;
}

nm &FileTable::row(int index)
{
    assert(index >= 0 && index < Capacity);
    return (*m_rows)[static_cast<std::size_t>(index)];
}

const nm &FileTable::row(int index) const
{
    assert(index >= 0 && index < Capacity);
    return (*m_rows)[static_cast<std::size_t>(index)];
}

bool FileTable::append(const nm &newRow)
{
    if (isFull())
        return false;
    row(m_rowCount) = newRow;
    ++m_rowCount;
    return true;
}

void FileTable::swapRows(int a, int b)
{
    std::swap(row(a), row(b));
}

std::string extensionOf(const std::string &name)
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string basePartOf(const std::string &name)
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

namespace {
std::string shown(const nm &row, const std::string &name)
{
    return isFolder(row) ? "<" + name + ">" : name;
}
} // namespace

std::string displayName(const nm &row)
{
    return shown(row, row.name);
}

std::string displayNewName(const nm &row)
{
    return shown(row, row.newName);
}

std::string sizeKBText(const nm &row, const platform::LocaleFormats &formats)
{
    return platform::formatWholeNumber(row.size / 1024.0, 8, formats);
}

std::string dateText(const nm &row, const platform::LocaleFormats &formats)
{
    return platform::formatDateTime(row.dateTime, formats);
}

} // namespace nomaro
