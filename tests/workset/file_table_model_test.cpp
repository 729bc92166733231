#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QLocale>

#include "workset/file_table_model.h"

namespace nomaro {
namespace {

using Content = FileTableModel::Content;

nm rowOf(const std::string &name, bool folder = false, double size = 0)
{
    nm row;
    row.name = name;
    row.newName = name;
    row.folder = "/dati";
    row.size = size;
    row.extension = extensionOf(name);
    row.folderFlag = folder ? kFolderFlag : 0;
    return row;
}

struct FileTableModelTest : ::testing::Test
{
    FileTable table;
    FileTableModel model{table,
                         {{QStringLiteral("Nomi Correnti"), Content::DisplayName},
                          {QStringLiteral("Nomi Nuovi"), Content::DisplayNewName},
                          {QStringLiteral("Dim KB"), Content::SizeKB},
                          {QStringLiteral("Est."), Content::Extension},
                          {QStringLiteral("Path"), Content::Folder}}};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};

    ~FileTableModelTest() override { QLocale::setDefault(QLocale::c()); }

    QString cell(int row, int column, int role = Qt::DisplayRole) const
    {
        return model.index(row, column).data(role).toString();
    }
};

TEST_F(FileTableModelTest, ShowsTheRowsOfTheLastRebuildOnly)
{
    EXPECT_EQ(model.rowCount(), 0);
    table.append(rowOf("a.txt"));
    table.append(rowOf("b.txt"));
    EXPECT_EQ(model.rowCount(), 0) << "rows appended since the last rebuild stay out";
    model.rebuild();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 5);
    table.append(rowOf("c.txt"));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.indexOfDisplayName("c.txt"), -1);
    model.rebuild();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.indexOfDisplayName("c.txt"), 2);

    model.clear();
    EXPECT_EQ(model.rowCount(), 0) << "cleared while the table still holds its rows";
    EXPECT_EQ(model.indexOfDisplayName("a.txt"), -1);
    table.setRowCount(1);
    model.rebuild();
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.indexOfDisplayName("b.txt"), -1) << "a dropped row is no longer listed";
}

TEST_F(FileTableModelTest, CellsShowTheColumnsOfTheRow)
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    nm folder = rowOf("Vacanze", true);
    folder.newName = "Mare";
    table.append(folder);
    table.append(rowOf("foto.jpg", false, 5'000'000));
    model.rebuild();

    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Dim KB"));
    EXPECT_EQ(cell(0, 0), QStringLiteral("<Vacanze>"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("<Mare>"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("       0"));
    EXPECT_EQ(cell(0, 3), QString());
    EXPECT_EQ(cell(1, 0), QStringLiteral("foto.jpg"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("   4.883"));
    EXPECT_EQ(cell(1, 3), QStringLiteral(".jpg"));
    EXPECT_EQ(cell(1, 4), QStringLiteral("/dati"));
    EXPECT_EQ(model.index(1, 2).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(model.index(1, 0).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(cell(1, 2), QStringLiteral("   4.883")) << "the formats are those of the rebuild";
    model.rebuild();
    EXPECT_EQ(cell(1, 2), QStringLiteral("   4,883"));
}

TEST_F(FileTableModelTest, ListedNamesAreFoundByTheirExactBytes)
{
    table.append(rowOf("Foto", true));   // <Foto>
    table.append(rowOf("<Foto>"));        // a file whose own name carries the brackets
    table.append(rowOf("caff\xE8.txt"));
    table.append(rowOf("caff\xE9.txt"));
    table.append(rowOf("a.txt"));
    table.append(rowOf("a.txt"));         // renaming can give two rows one name
    model.rebuild();

    struct Case
    {
        const char *name;
        int row;
    };
    for (const Case &c : {Case{"<Foto>", 0}, Case{"Foto", -1}, Case{"caff\xE8.txt", 2},
                          Case{"caff\xE9.txt", 3}, Case{"caff\xEF\xBF\xBD.txt", -1}, Case{"a.txt", 4},
                          Case{"A.TXT", -1}, Case{"", -1}})
        EXPECT_EQ(model.indexOfDisplayName(c.name), c.row) << c.name;
}

TEST_F(FileTableModelTest, AReorderedTableIsFoundAtItsNewRowsAfterTheRebuild)
{
    for (const char *name : {"a", "b", "c"})
        table.append(rowOf(name));
    model.rebuild();
    EXPECT_EQ(model.indexOfDisplayName("a"), 0);
    table.swapRows(0, 2);
    model.rebuild();
    EXPECT_EQ(model.indexOfDisplayName("a"), 2);
    EXPECT_EQ(model.indexOfDisplayName("c"), 0);
    EXPECT_EQ(cell(0, 0), QStringLiteral("c"));
}

TEST_F(FileTableModelTest, AFullTableListsEveryRow)
{
    for (int i = 0; i < FileTable::Capacity; ++i)
        table.append(rowOf("f" + std::to_string(i)));
    model.rebuild();
    EXPECT_EQ(model.rowCount(), FileTable::Capacity);
    for (int i = 0; i < FileTable::Capacity; ++i)
        ASSERT_EQ(model.indexOfDisplayName("f" + std::to_string(i)), i);
    EXPECT_EQ(model.indexOfDisplayName("f1001"), -1);
}

} // namespace
} // namespace nomaro
