#include "rename/renaming.h"

#include "platform/rename.h"
#include "platform/rename_posix.h"
#include "tests/rename/rows.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace nomaro {
namespace {

using platform::RenameStatus;
using test::TempDir;
using test::exists;
using test::readFile;
using test::rowOf;

std::vector<std::string> entriesOf(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RenameRows, FailedRowKeepsBothNamesAndASecondPassRenamesIt)
{
    TempDir dir;
    dir.writeFile("1.jpg", "one");
    dir.writeFile("2.jpg", "two");
    FileTable table;
    table.append(rowOf(dir.path(), "1.jpg", "2.jpg"));
    table.append(rowOf(dir.path(), "2.jpg", "3.jpg"));

    RenameCounts counts = renameRows(table);
    EXPECT_EQ(counts.renamed, 1);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(table.row(0).name, "1.jpg");
    EXPECT_EQ(table.row(0).newName, "2.jpg");
    EXPECT_EQ(table.row(1).name, "3.jpg");
    EXPECT_EQ(readFile(dir.pathOf("1.jpg")), "one");
    EXPECT_FALSE(exists(dir.pathOf("2.jpg")));
    EXPECT_EQ(readFile(dir.pathOf("3.jpg")), "two");

    // The row already renamed names itself again, which is a success that changes nothing.
    counts = renameRows(table);
    EXPECT_EQ(counts.renamed, 2);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_EQ(readFile(dir.pathOf("2.jpg")), "one");
    EXPECT_EQ(readFile(dir.pathOf("3.jpg")), "two");
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"2.jpg", "3.jpg"}));
}

TEST(RenameRows, ExistingTargetIsNeverOverwritten)
{
    TempDir dir;
    const std::string precious("keep\0me\xFF\n", 10);
    dir.writeFile("a.txt", "moved");
    dir.writeFile("b.txt", precious);
    FileTable table;
    table.append(rowOf(dir.path(), "a.txt", "b.txt"));

    const RenameCounts counts = renameRows(table);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(readFile(dir.pathOf("b.txt")), precious);
    EXPECT_EQ(readFile(dir.pathOf("a.txt")), "moved");
}

TEST(RenameRows, FolderRenamedBeforeItsFilesMakesTheirRowsFail)
{
    TempDir dir;
    dir.makeFolder("Foto");
    dir.writeFile("Foto/a.jpg");
    FileTable table;
    table.append(rowOf(dir.path(), "Foto", "Viaggio"));
    table.append(rowOf(dir.pathOf("Foto"), "a.jpg", "b.jpg"));

    const RenameCounts counts = renameRows(table);
    EXPECT_EQ(counts.renamed, 1);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_TRUE(exists(dir.pathOf("Viaggio/a.jpg")));
    EXPECT_FALSE(exists(dir.pathOf("Viaggio/b.jpg")));
}

TEST(RenameRows, NonUtf8NameIsRenamedFromItsOwnBytes)
{
    TempDir dir;
    const std::string latin1 = "caf\xE9.txt";
    dir.writeFile(latin1, "x");
    FileTable table;
    table.append(rowOf(dir.path(), latin1, "caff\xE8\xE8.txt"));

    EXPECT_EQ(renameRows(table).renamed, 1);
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"caff\xE8\xE8.txt"}));
    EXPECT_EQ(table.row(0).name, "caff\xE8\xE8.txt");
}

TEST(RenameRows, ResetNewNamesGivesEveryRowItsName)
{
    FileTable table;
    table.append(rowOf("/tmp", "a", "b"));
    table.append(rowOf("/tmp", "c", "c"));
    resetNewNames(table);
    EXPECT_EQ(table.row(0).newName, "a");
    EXPECT_EQ(table.row(1).newName, "c");
}

struct InvalidCase
{
    const char *what;
    std::string newName;
};

class InvalidNewName : public testing::TestWithParam<InvalidCase> {};

// Such a name would move the item into another folder, out of its folder or onto its folder.
TEST_P(InvalidNewName, FailsAndNothingMoves)
{
    TempDir dir;
    dir.writeFile("a.txt", "content");
    dir.makeFolder("sub");
    const auto before = entriesOf(dir.path());

    EXPECT_EQ(platform::renameItem(dir.path(), "a.txt", GetParam().newName),
              RenameStatus::InvalidName);
    FileTable table;
    table.append(rowOf(dir.path(), "a.txt", GetParam().newName));
    const RenameCounts counts = renameRows(table);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(table.row(0).name, "a.txt");
    EXPECT_EQ(entriesOf(dir.path()), before);
    EXPECT_TRUE(entriesOf(dir.pathOf("sub")).empty());
    EXPECT_EQ(readFile(dir.pathOf("a.txt")), "content");
}

INSTANTIATE_TEST_SUITE_P(Cases, InvalidNewName,
                         testing::Values(InvalidCase{"slash_into_subfolder", "sub/a.txt"},
                                         InvalidCase{"slash_out_of_folder", "../a.txt"},
                                         InvalidCase{"trailing_slash", "b/"},
                                         InvalidCase{"empty", ""},
                                         InvalidCase{"dot", "."},
                                         InvalidCase{"dot_dot", ".."},
                                         InvalidCase{"nul_byte", std::string("b\0.txt", 6)}),
                         [](const auto &info) { return std::string(info.param.what); });

TEST(RenameItem, OwnNameSucceedsOnlyWhenTheItemExists)
{
    TempDir dir;
    dir.writeFile("a.txt", "x");
    EXPECT_EQ(platform::renameItem(dir.path(), "a.txt", "a.txt"), RenameStatus::Renamed);
    EXPECT_EQ(platform::renameItem(dir.path(), "gone.txt", "gone.txt"), RenameStatus::Failed);
    EXPECT_EQ(platform::renameItem(dir.path(), "gone.txt", "b.txt"), RenameStatus::Failed);
}

TEST(RenameItem, FoldersAreRenamedAndNeverReplaced)
{
    TempDir dir;
    dir.makeFolder("a");
    dir.writeFile("a/inside", "1");
    dir.makeFolder("taken");
    EXPECT_EQ(platform::renameItem(dir.path(), "a", "taken"), RenameStatus::TargetExists);
    EXPECT_EQ(platform::renameItem(dir.path(), "a", "b"), RenameStatus::Renamed);
    EXPECT_EQ(readFile(dir.pathOf("b/inside")), "1");
}

TEST(RenameItem, TooLongNameFailsWithoutTouchingTheDisk)
{
    TempDir dir;
    dir.writeFile("a.txt", "x");
    EXPECT_EQ(platform::renameItem(dir.path(), "a.txt", std::string(300, 'n')),
              RenameStatus::Failed);
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"a.txt"}));
}

// Two hard links whose names differ only in case are two items on a case-sensitive file system:
// the same-item test must not mistake one for the other.
TEST(RenameItem, HardLinkDifferingInCaseIsAnotherItem)
{
    TempDir dir;
    dir.writeFile("foto.jpg", "x");
    ASSERT_EQ(::link(dir.pathOf("foto.jpg").c_str(), dir.pathOf("FOTO.JPG").c_str()), 0);
    EXPECT_EQ(platform::renameItem(dir.path(), "foto.jpg", "FOTO.JPG"),
              RenameStatus::TargetExists);
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"FOTO.JPG", "foto.jpg"}));
}

TEST(RenameItem, CaseChangeOnCaseSensitiveFolder)
{
    TempDir dir;
    dir.writeFile("foto.jpg", "x");
    EXPECT_EQ(platform::renameItem(dir.path(), "foto.jpg", "FOTO.JPG"), RenameStatus::Renamed);
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"FOTO.JPG"}));
}

// The path taken where the file system refuses the no-replace flag.
TEST(MoveWithoutFlag, RenamesFilesAndFoldersWithoutReplacing)
{
    TempDir dir;
    dir.writeFile("a.txt", "a");
    dir.writeFile("b.txt", "b");
    dir.makeFolder("f");
    dir.makeFolder("g");
    using platform::posix::moveWithoutFlag;
    EXPECT_EQ(moveWithoutFlag(dir.pathOf("a.txt"), dir.pathOf("b.txt")),
              RenameStatus::TargetExists);
    EXPECT_EQ(moveWithoutFlag(dir.pathOf("a.txt"), dir.pathOf("g")), RenameStatus::TargetExists);
    EXPECT_EQ(moveWithoutFlag(dir.pathOf("f"), dir.pathOf("b.txt")), RenameStatus::TargetExists);
    EXPECT_EQ(moveWithoutFlag(dir.pathOf("f"), dir.pathOf("g")), RenameStatus::TargetExists);
    EXPECT_EQ(readFile(dir.pathOf("b.txt")), "b");

    EXPECT_EQ(moveWithoutFlag(dir.pathOf("a.txt"), dir.pathOf("c.txt")), RenameStatus::Renamed);
    EXPECT_EQ(moveWithoutFlag(dir.pathOf("f"), dir.pathOf("h")), RenameStatus::Renamed);
    EXPECT_EQ(moveWithoutFlag(dir.pathOf("missing"), dir.pathOf("m")), RenameStatus::Failed);
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string>{"b.txt", "c.txt", "g", "h"}));
    EXPECT_EQ(readFile(dir.pathOf("c.txt")), "a");
}

} // namespace
} // namespace nomaro
