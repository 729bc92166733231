#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QStandardItemModel>
#include <vector>

#include "workset/collect.h"

namespace nomaro {
namespace {

struct Pick
{
    int top, left, bottom, right;
    QItemSelectionModel::SelectionFlags how = QItemSelectionModel::Select;
};

struct SelectionCase
{
    const char *what;
    std::vector<Pick> picks;
    std::vector<int> unselectableColumns; // of every row
};

class RowSelectionTest : public ::testing::TestWithParam<SelectionCase>
{
};

// Whatever the ranges, reading the selection once agrees with asking it row by row.
TEST_P(RowSelectionTest, AgreesWithTheSelectionModelRowByRow)
{
    constexpr int kRows = 8;
    constexpr int kColumns = 4;
    QStandardItemModel model(kRows, kColumns);
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            auto *item = new QStandardItem;
            for (int unselectable : GetParam().unselectableColumns)
                if (column == unselectable)
                    item->setSelectable(false);
            model.setItem(row, column, item);
        }
    QItemSelectionModel selection(&model);
    for (const Pick &pick : GetParam().picks)
        selection.select(QItemSelection(model.index(pick.top, pick.left), model.index(pick.bottom, pick.right)),
                         pick.how);

    const RowSelection read(selection);
    ASSERT_EQ(read.rowCount(), kRows);
    int count = 0;
    for (int row = 0; row < kRows; ++row) {
        const bool expected = selection.isRowSelected(row, QModelIndex());
        EXPECT_EQ(read.isSelected(row), expected) << GetParam().what << ", row " << row;
        count += expected;
    }
    EXPECT_EQ(read.selectedCount(), count) << GetParam().what;
    EXPECT_FALSE(read.isSelected(-1));
    EXPECT_FALSE(read.isSelected(kRows));
}

using F = QItemSelectionModel::SelectionFlag;
INSTANTIATE_TEST_SUITE_P(
    Collect, RowSelectionTest,
    ::testing::Values(
        SelectionCase{"nothing", {}, {}},
        SelectionCase{"every other row", {{0, 0, 0, 3}, {2, 0, 2, 3}, {4, 0, 4, 3}, {6, 0, 6, 3}}, {}},
        SelectionCase{"a block of rows and one overlapping it", {{1, 0, 4, 3}, {3, 0, 6, 3}}, {}},
        SelectionCase{"a row put together from two pieces", {{2, 0, 2, 1}, {2, 2, 2, 3}}, {}},
        SelectionCase{"pieces with a gap", {{2, 0, 2, 0}, {2, 2, 2, 3}}, {}},
        SelectionCase{"a cell taken out of a selected block", {{0, 0, 5, 3}, {3, 1, 3, 1, F::Deselect}}, {}},
        SelectionCase{"a toggled cell", {{0, 0, 2, 3}, {1, 3, 1, 3, F::Toggle}}, {}},
        SelectionCase{"an unselectable column needs no cover", {{1, 0, 1, 2}, {3, 0, 3, 3}}, {3}},
        SelectionCase{"rows of unselectable columns only", {{0, 0, 7, 3}}, {0, 1, 2, 3}},
        SelectionCase{"pieces beside an unselectable column", {{5, 0, 5, 0}, {5, 2, 5, 3}}, {1}}));

} // namespace
} // namespace nomaro
