#include "rename/ordering.h"

#include "platform/ascii_case.h"

#include <string>
#include <utility>
#include <vector>

namespace nomaro {

bool moveRowUp(FileTable &table, int selected)
{
    if (selected <= 0 || selected >= table.rowCount())
        return false;
    table.swapRows(selected - 1, selected);
    table.currentRenameRow = selected - 1;
    return true;
}

bool moveRowDown(FileTable &table, int selected)
{
    if (selected < 0 || selected >= table.rowCount() - 1)
        return false;
    table.swapRows(selected, selected + 1);
    table.currentRenameRow = selected + 1;
    return true;
}

namespace {

// Keys are worked out once per row and travel with their rows; std::string compares bytes as
// unsigned values, a prefix first, and doubles compare as numbers.
template<typename Key>
class RowSorter
{
public:
    RowSorter(FileTable &table, std::vector<Key> keys, bool ascending)
        : m_table(table)
        , m_keys(std::move(keys))
        , m_ascending(ascending)
    {
    }

    void sort(int lo, int hi)
    {
        int i = lo;
        int j = hi;
        const Key pivot = m_keys[static_cast<std::size_t>((lo + hi) / 2)];
        do {
            if (m_ascending) {
                while (key(i) < pivot)
                    ++i;
                while (pivot < key(j))
                    --j;
            } else {
                while (pivot < key(i))
                    ++i;
                while (key(j) < pivot)
                    --j;
            }
            if (i <= j) {
                swap(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j)
            sort(lo, j);
        if (i < hi)
            sort(i, hi);
    }

private:
    const Key &key(int index) const { return m_keys[static_cast<std::size_t>(index)]; }

    void swap(int a, int b)
    {
        m_table.swapRows(a, b);
        std::swap(m_keys[static_cast<std::size_t>(a)], m_keys[static_cast<std::size_t>(b)]);
    }

    FileTable &m_table;
    std::vector<Key> m_keys;
    bool m_ascending;
};

template<typename Key, typename KeyOf>
void sortRows(FileTable &table, bool ascending, KeyOf keyOf)
{
    if (table.rowCount() < 2)
        return;
    std::vector<Key> keys;
    keys.reserve(static_cast<std::size_t>(table.rowCount()));
    for (int i = 0; i < table.rowCount(); ++i)
        keys.push_back(keyOf(table.row(i)));
    RowSorter<Key>(table, std::move(keys), ascending).sort(0, table.rowCount() - 1);
}

// The ascending flag of each sortable column.
int flagIndex(int column)
{
    switch (column) {
    case ColumnCurrentNames: return 0;
    case ColumnSizeKB: return 1;
    case ColumnDate: return 2;
    case ColumnExtension: return 3;
    case ColumnPath: return 4;
    default: return -1;
    }
}

} // namespace

SortResult sortByColumn(FileTable &table, int column)
{
    if (column == ColumnNewNames)
        return SortResult::NotSortable;
    const int flag = flagIndex(column);
    if (flag < 0)
        return SortResult::NoSuchColumn;
    bool &ascending = table.ascending[static_cast<std::size_t>(flag)];
    switch (column) {
    case ColumnCurrentNames:
        sortRows<std::string>(table, ascending, [](const nm &row) { return platform::lowerAscii(row.name); });
        break;
    case ColumnSizeKB:
        sortRows<double>(table, ascending, [](const nm &row) { return row.size; });
        break;
    case ColumnDate:
        sortRows<double>(table, ascending, [](const nm &row) { return row.dateTime; });
        break;
    case ColumnExtension:
        sortRows<std::string>(table, ascending,
                              [](const nm &row) { return platform::lowerAscii(row.extension); });
        break;
    case ColumnPath:
        sortRows<std::string>(table, ascending,
                              [](const nm &row) { return platform::lowerAscii(row.folder); });
        break;
    }
    ascending = !ascending;
    return SortResult::Sorted;
}

} // namespace nomaro
