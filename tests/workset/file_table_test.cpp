#include <gtest/gtest.h>

#include "workset/file_table.h"

namespace nomaro {
namespace {

platform::LocaleFormats italian()
{
    return platform::LocaleFormats::fromLocale(QLocale(QLocale::Italian, QLocale::Italy));
}

nm rowOfSize(double bytes)
{
    nm row;
    row.name = "a.bin";
    row.size = bytes;
    return row;
}

struct SizeCase
{
    const char *what;
    double bytes;
    const char *shown;
};

class SizeColumn : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(SizeColumn, RoundsHalfUpGroupsThousandsAndPadsToEight)
{
    EXPECT_EQ(sizeKBText(rowOfSize(GetParam().bytes), italian()), GetParam().shown) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    FileTable, SizeColumn,
    ::testing::Values(SizeCase{"1536 bytes round up to 2", 1536, "       2"},
                      SizeCase{"100 bytes round down to 0", 100, "       0"},
                      SizeCase{"512 bytes are a half and round up", 512, "       1"},
                      SizeCase{"511 bytes stay below the half", 511, "       0"},
                      SizeCase{"five million bytes get a thousands dot", 5'000'000, "   4.883"},
                      SizeCase{"a number wider than the field is never cut", 1024.0 * 123456789,
                               "123.456.789"}));

TEST(FileTableDate, LeavesOutTheTimeAtExactlyMidnight)
{
    nm row;
    row.dateTime = platform::toDateTimeValue(QDate(2026, 12, 7), QTime(0, 0));
    EXPECT_EQ(dateText(row, italian()), "07/12/26");
    row.dateTime = platform::toDateTimeValue(QDate(2026, 12, 7), QTime(0, 0, 2));
    EXPECT_EQ(dateText(row, italian()), "07/12/26 00:00:02");
    row.dateTime = platform::toDateTimeValue(QDate(2026, 12, 7), QTime(18, 30, 44));
    EXPECT_EQ(dateText(row, italian()), "07/12/26 18:30:44");
}

TEST(FileTableDisplayName, FoldersAreBracketedAndCaseMatters)
{
    nm file;
    file.name = "Foto";
    nm folder = file;
    folder.folderFlag = kFolderFlag;
    EXPECT_EQ(displayName(file), "Foto");
    EXPECT_EQ(displayName(folder), "<Foto>");
    folder.newName = "Mare";
    EXPECT_EQ(displayNewName(folder), "<Mare>");
    folder.folderFlag = 1; // any positive flag counts as a folder
    EXPECT_EQ(displayName(folder), "<Foto>");
}

TEST(FileTableExtension, RunsFromTheLastDotAndTheBasePartIsTheRest)
{
    EXPECT_EQ(basePartOf("report.final.doc"), "report.final");
    EXPECT_EQ(basePartOf("README"), "README");
    EXPECT_EQ(basePartOf(".profile"), "");
    EXPECT_EQ(extensionOf("IMG_0001.jpg"), ".jpg");
    EXPECT_EQ(extensionOf("archivio.tar.gz"), ".gz");
    EXPECT_EQ(extensionOf("foto.2009"), ".2009");
    EXPECT_EQ(extensionOf(".profile"), ".profile");
    EXPECT_EQ(extensionOf("README"), "");
}

TEST(FileTableCapacity, AppendStopsAt1001Rows)
{
    FileTable table;
    nm row;
    for (int i = 0; i < FileTable::Capacity; ++i)
        ASSERT_TRUE(table.append(row));
    EXPECT_TRUE(table.isFull());
    EXPECT_FALSE(table.append(row));
    EXPECT_EQ(table.rowCount(), 1001);
}

} // namespace
} // namespace nomaro
