#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>

#include "app/tform1.h"
#include "browser/shelllist.h"
#include "tests/support/tempdir.h"

namespace nomaro {
namespace {

// The two working-set views over a full table: what they show and select after each rebuild.
struct WorkingSetViews : ::testing::Test
{
    TForm1 window;
    ShellList *list = window.findChild<ShellList *>(QStringLiteral("SLV1"));
    QTableView *names = window.findChild<QTableView *>(QStringLiteral("LISTANOMI"));
    QTableView *renames = window.findChild<QTableView *>(QStringLiteral("LISTAREN"));
    test::TempDir dir;

    WorkingSetViews()
    {
        window.show();
        QCoreApplication::processEvents();
    }

    // Two files for every row the table holds; every other one is selected and added.
    void addEveryOtherOfTwiceTheCapacity()
    {
        for (int i = 0; i < 2 * FileTable::Capacity; ++i)
            dir.writeFile("f" + std::to_string(10000 + i));
        list->setFolderPath(dir.path());
        ASSERT_EQ(list->itemCount(), 2 * FileTable::Capacity);
        for (int i = 0; i < list->itemCount(); i += 2)
            list->selectItem(i, true);
        window.AddSelectedItems();
    }

    QString panel(int index) const
    {
        return window.findChild<QLabel *>(QStringLiteral("StatusBar1Panel%1").arg(index))->text();
    }

    // Every row of both views shows its table row; the stated rename row is the one selected.
    void expectViewsMirrorTheTable()
    {
        const FileTable &table = window.fileTable();
        ASSERT_EQ(names->model()->rowCount(), table.rowCount());
        ASSERT_EQ(renames->model()->rowCount(), table.rowCount());
        for (int i = 0; i < table.rowCount(); ++i) {
            const QString name = QString::fromStdString(table.row(i).name);
            ASSERT_EQ(names->model()->index(i, 0).data().toString(), name) << i;
            ASSERT_EQ(renames->model()->index(i, 0).data().toString(), name) << i;
            ASSERT_EQ(renames->model()->index(i, 1).data().toString(),
                      QString::fromStdString(table.row(i).newName)) << i;
            ASSERT_EQ(window.IndexOfListedName(table.row(i).name), i);
        }
        EXPECT_EQ(names->selectionModel()->selectedRows().size(), 1);
        EXPECT_TRUE(names->selectionModel()->isRowSelected(0, QModelIndex()));
        const QModelIndexList selected = renames->selectionModel()->selectedRows();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected.first().row(), table.currentRenameRow);
        EXPECT_EQ(renames->currentIndex().row(), table.currentRenameRow);
    }
};

TEST_F(WorkingSetViews, AScatteredSelectionFillsTheTableAndTheCounters)
{
    addEveryOtherOfTwiceTheCapacity();
    ASSERT_EQ(window.fileTable().rowCount(), FileTable::Capacity);
    for (int i = 0; i < FileTable::Capacity; ++i)
        ASSERT_EQ(window.fileTable().row(i).name, "f" + std::to_string(10000 + 2 * i));
    EXPECT_EQ(panel(0), QStringLiteral("Files nella cartella : 2002"));
    EXPECT_EQ(panel(1), QStringLiteral("Files Selezionati : 1001"));
    EXPECT_EQ(panel(2), QStringLiteral("Files da Rinominare : 1001"));
    expectViewsMirrorTheTable();
}

TEST_F(WorkingSetViews, EveryRebuildKeepsBothViewsInStepWithTheTable)
{
    addEveryOtherOfTwiceTheCapacity();
    window.findChild<QLineEdit *>(QStringLiteral("BASENAME"))->setText(QStringLiteral("foto"));
    window.findChild<QTabWidget *>(QStringLiteral("PageControl2"))->setCurrentIndex(0);

    window.SBTRYRENClick();
    EXPECT_EQ(window.fileTable().row(1000).newName.rfind("foto_", 0), 0u);
    expectViewsMirrorTheTable();

    window.LISTARENColumnClick(0); // descending: the last name first
    EXPECT_EQ(window.fileTable().row(0).name, "f12000");
    expectViewsMirrorTheTable();

    renames->selectionModel()->setCurrentIndex(renames->model()->index(500, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window.SBUPClick();
    EXPECT_EQ(window.fileTable().currentRenameRow, 499);
    expectViewsMirrorTheTable();

    // Dropping every other row through LISTANOMI: a scattered selection once more.
    names->selectionModel()->clearSelection();
    for (int i = 0; i < FileTable::Capacity; i += 2)
        names->selectionModel()->select(names->model()->index(i, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const std::string firstKept = window.fileTable().row(1).name;
    window.SBREMOVEClick();
    ASSERT_EQ(window.fileTable().rowCount(), 500);
    EXPECT_EQ(window.fileTable().row(0).name, firstKept);
    EXPECT_EQ(panel(2), QStringLiteral("Files da Rinominare : 500"));
    expectViewsMirrorTheTable();
}

} // namespace
} // namespace nomaro
