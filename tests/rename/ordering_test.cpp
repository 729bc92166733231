#include "rename/ordering.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nomaro {
namespace {

using Names = std::vector<std::string>;

nm rowNamed(const std::string &name, double size = 0, double date = 0,
            const std::string &folder = "/tmp")
{
    nm row;
    row.name = name;
    row.newName = "new " + name;
    row.folder = folder;
    row.size = size;
    row.dateTime = date;
    row.extension = extensionOf(name);
    return row;
}

FileTable tableOf(const std::vector<nm> &rows)
{
    FileTable table;
    for (const nm &row : rows)
        table.append(row);
    return table;
}

Names namesOf(const FileTable &table)
{
    Names names;
    for (int i = 0; i < table.rowCount(); ++i)
        names.push_back(table.row(i).name);
    return names;
}

TEST(SortByColumn, FirstClickDescendingSecondAscending)
{
    FileTable table = tableOf({rowNamed("b.txt"), rowNamed("A.txt"), rowNamed("c.txt")});
    EXPECT_EQ(sortByColumn(table, ColumnCurrentNames), SortResult::Sorted);
    EXPECT_EQ(namesOf(table), (Names{"c.txt", "b.txt", "A.txt"}));
    sortByColumn(table, ColumnCurrentNames);
    EXPECT_EQ(namesOf(table), (Names{"A.txt", "b.txt", "c.txt"}));
}

TEST(SortByColumn, EachColumnKeepsItsOwnFlag)
{
    FileTable table = tableOf({rowNamed("b", 1), rowNamed("a", 3), rowNamed("c", 2)});
    sortByColumn(table, ColumnCurrentNames); // descending by name
    sortByColumn(table, ColumnSizeKB);       // descending by size
    EXPECT_EQ(namesOf(table), (Names{"a", "c", "b"}));
    sortByColumn(table, ColumnCurrentNames); // the name column's second click: ascending
    EXPECT_EQ(namesOf(table), (Names{"a", "b", "c"}));
}

TEST(SortByColumn, NewNamesColumnIsNotSortedAndKeepsFlags)
{
    FileTable table = tableOf({rowNamed("b"), rowNamed("a"), rowNamed("c")});
    EXPECT_EQ(sortByColumn(table, ColumnNewNames), SortResult::NotSortable);
    EXPECT_EQ(namesOf(table), (Names{"b", "a", "c"}));
    EXPECT_EQ(table.ascending, (std::array<bool, 5>{}));
    EXPECT_EQ(sortByColumn(table, 6), SortResult::NoSuchColumn);
    EXPECT_EQ(sortByColumn(table, -1), SortResult::NoSuchColumn);
}

TEST(SortByColumn, EmptyTableStillInvertsTheFlag)
{
    FileTable table;
    EXPECT_EQ(sortByColumn(table, ColumnPath), SortResult::Sorted);
    EXPECT_EQ(table.ascending, (std::array<bool, 5>{false, false, false, false, true}));
}

// Equal keys get no tie-break: three rows sharing one date come out reversed by the swaps of the
// quicksort, where a stable sort would keep them in place.
TEST(SortByColumn, EqualKeysFollowTheQuicksortsSwaps)
{
    FileTable table = tableOf({rowNamed("x1", 0, 5), rowNamed("x2", 0, 5), rowNamed("x3", 0, 5)});
    sortByColumn(table, ColumnDate);
    EXPECT_EQ(namesOf(table), (Names{"x3", "x2", "x1"}));
}

struct AscendingCase
{
    const char *what;
    int column;
    std::vector<nm> rows;
    Names expected; // after one descending and one ascending click
};

class SortAscending : public testing::TestWithParam<AscendingCase> {};

TEST_P(SortAscending, SecondClick)
{
    FileTable table = tableOf(GetParam().rows);
    sortByColumn(table, GetParam().column);
    Names descending = GetParam().expected;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(namesOf(table), descending);
    sortByColumn(table, GetParam().column);
    EXPECT_EQ(namesOf(table), GetParam().expected);
}

nm withExtension(const std::string &name, const std::string &extension)
{
    nm row = rowNamed(name);
    row.extension = extension;
    return row;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SortAscending,
    testing::Values(
        AscendingCase{"names_compare_bytes_unsigned",
                      ColumnCurrentNames,
                      {rowNamed("èlan"), rowNamed("zeta"), rowNamed("alfa")},
                      {"alfa", "zeta", "èlan"}},
        AscendingCase{"names_lower_case_only_A_to_Z_before_comparing",
                      ColumnCurrentNames,
                      {rowNamed("Bx"), rowNamed("_x"), rowNamed("Ca")},
                      {"_x", "Bx", "Ca"}},
        AscendingCase{"a_prefix_comes_first",
                      ColumnCurrentNames,
                      {rowNamed("ab"), rowNamed("abc"), rowNamed("a")},
                      {"a", "ab", "abc"}},
        AscendingCase{"sizes_compare_as_numbers",
                      ColumnSizeKB,
                      {rowNamed("ten", 10), rowNamed("nine", 9), rowNamed("hundred", 100)},
                      {"nine", "ten", "hundred"}},
        AscendingCase{"dates_compare_as_numbers",
                      ColumnDate,
                      {rowNamed("new", 0, 45000.5), rowNamed("old", 0, 2.25),
                       rowNamed("mid", 0, 45000.25)},
                      {"old", "mid", "new"}},
        AscendingCase{"extension_column_uses_the_stored_extension",
                      ColumnExtension,
                      {withExtension("a.png", ".JPG"), withExtension("b.jpg", ".bmp"),
                       withExtension("c", "")},
                      {"c", "b.jpg", "a.png"}},
        AscendingCase{"path_column_lower_cases_the_folder",
                      ColumnPath,
                      {rowNamed("one", 0, 0, "/home/Zeta"), rowNamed("two", 0, 0, "/home/alfa"),
                       rowNamed("three", 0, 0, "/home/beta")},
                      {"two", "three", "one"}}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(SortByColumn, ManyRowsEndInOrder)
{
    FileTable table;
    for (int i = 0; i < FileTable::Capacity; ++i)
        table.append(rowNamed("r", (i * 7919) % 1009));
    sortByColumn(table, ColumnSizeKB);
    for (int i = 1; i < table.rowCount(); ++i)
        ASSERT_GE(table.row(i - 1).size, table.row(i).size) << i;
    sortByColumn(table, ColumnSizeKB);
    for (int i = 1; i < table.rowCount(); ++i)
        ASSERT_LE(table.row(i - 1).size, table.row(i).size) << i;
}

TEST(MoveRow, ThirdRowUpBecomesSecondAndCurrent)
{
    FileTable table = tableOf({rowNamed("a"), rowNamed("b"), rowNamed("c"), rowNamed("d")});
    EXPECT_TRUE(moveRowUp(table, 2));
    EXPECT_EQ(namesOf(table), (Names{"a", "c", "b", "d"}));
    EXPECT_EQ(table.currentRenameRow, 1);
    EXPECT_EQ(table.row(1).newName, "new c");
}

TEST(MoveRow, DownSwapsWithTheNextRow)
{
    FileTable table = tableOf({rowNamed("a"), rowNamed("b"), rowNamed("c")});
    EXPECT_TRUE(moveRowDown(table, 0));
    EXPECT_EQ(namesOf(table), (Names{"b", "a", "c"}));
    EXPECT_EQ(table.currentRenameRow, 1);
}

TEST(MoveRow, ImpossibleMovesChangeNothing)
{
    FileTable table = tableOf({rowNamed("a"), rowNamed("b"), rowNamed("c")});
    table.currentRenameRow = 2;
    EXPECT_FALSE(moveRowUp(table, 0));
    EXPECT_FALSE(moveRowUp(table, -1));
    EXPECT_FALSE(moveRowDown(table, 2));
    EXPECT_FALSE(moveRowDown(table, -1));
    EXPECT_FALSE(moveRowUp(table, 3)); // a stale selection beyond the rows
    EXPECT_EQ(namesOf(table), (Names{"a", "b", "c"}));
    EXPECT_EQ(table.currentRenameRow, 2);
}

} // namespace
} // namespace nomaro
