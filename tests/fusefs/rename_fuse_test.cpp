#include "rename/renaming.h"

#include "platform/rename.h"
#include "tests/fusefs/folder_state.h"
#include "tests/fusefs/fuse_mount.h"
#include "tests/rename/rows.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro {
namespace {

using platform::RenameStatus;
using test::FuseMount;
using test::folderState;
using test::namesIn;
using test::rowOf;

void writeBacking(const FuseMount &mount, const std::string &name, const std::string &content)
{
    std::ofstream(mount.backingOf(name), std::ios::binary) << content;
}

bool holdsTemporaryName(const std::string &folder)
{
    for (const std::string &name : namesIn(folder)) {
        if (name.rfind(".nomaro-", 0) == 0)
            return true;
    }
    return false;
}

// The same items as before, by inode and content, with `oldName` now called `newName`.
void expectRenamedIntact(const std::map<std::string, test::ItemState> &before,
                         const std::string &folder, const std::string &oldName,
                         const std::string &newName)
{
    std::map<std::string, test::ItemState> expected = before;
    auto moved = expected.extract(oldName);
    ASSERT_FALSE(moved.empty()) << oldName;
    moved.key() = newName;
    expected.insert(std::move(moved));
    EXPECT_EQ(folderState(folder), expected);
}

enum class Kind { File, Folder, Link };

struct CaseChange
{
    const char *what;
    Kind kind;
    std::string oldName;
    std::string newName;
    std::vector<std::string> switches;
};

class CaseOnlyRename : public testing::TestWithParam<CaseChange> {};

// A file system that ignores case finds the new spelling "taken" by the item itself; the rename
// goes through a temporary name and must end with the new spelling, the same item and nothing
// else in the folder.
TEST_P(CaseOnlyRename, GivesTheItemItsNewSpellingAndLeavesNothingBehind)
{
    const CaseChange &change = GetParam();
    FuseMount mount(change.switches);
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "altro.txt", "other");
    switch (change.kind) {
    case Kind::File:
        writeBacking(mount, change.oldName, std::string("bytes\0\xFF", 7));
        break;
    case Kind::Folder:
        ASSERT_EQ(::mkdir(mount.backingOf(change.oldName).c_str(), 0755), 0);
        writeBacking(mount, change.oldName + "/dentro.jpg", "inside");
        break;
    case Kind::Link:
        ASSERT_EQ(::symlink("altro.txt", mount.backingOf(change.oldName).c_str()), 0);
        break;
    }
    const auto before = folderState(mount.backing());

    FileTable table;
    table.append(rowOf(mount.path(), change.oldName, change.newName));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 1);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_TRUE(counts.stranded.empty());
    EXPECT_EQ(table.row(0).name, change.newName);
    expectRenamedIntact(before, mount.backing(), change.oldName, change.newName);
}

const std::vector<std::string> kFoldCase = {"--fold-case"};
const std::vector<std::string> kFoldCaseNoFlag = {"--fold-case", "--no-noreplace"};
const std::vector<std::string> kFoldCaseNoFlagNoLinks = {"--fold-case", "--no-noreplace",
                                                         "--no-links"};

INSTANTIATE_TEST_SUITE_P(
    Kinds, CaseOnlyRename,
    testing::Values(CaseChange{"file", Kind::File, "foto.jpg", "FOTO.JPG", kFoldCase},
                    CaseChange{"folder", Kind::Folder, "Vacanze", "VACANZE", kFoldCase},
                    CaseChange{"link", Kind::Link, "collegamento", "Collegamento", kFoldCase},
                    CaseChange{"not_utf8", Kind::File, "caf\xE9.txt", "CAF\xE9.TXT", kFoldCase},
                    CaseChange{"file_without_flag", Kind::File, "foto.jpg", "Foto.jpg",
                               kFoldCaseNoFlag},
                    CaseChange{"folder_without_flag", Kind::Folder, "vacanze", "Vacanze",
                               kFoldCaseNoFlag},
                    CaseChange{"file_without_links", Kind::File, "foto.jpg", "FOTO.jpg",
                               kFoldCaseNoFlagNoLinks},
                    CaseChange{"link_without_links", Kind::Link, "l", "L",
                               kFoldCaseNoFlagNoLinks}),
    [](const auto &info) { return std::string(info.param.what); });

// Where case is ignored, a name that differs from another item's only in case is that item's
// name: the rename must fail and change nothing, while a true case change beside it succeeds.
TEST(CaseOnlyRenameCollision, AnotherItemsNameInOtherCaseIsTaken)
{
    FuseMount mount(kFoldCase);
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "foto.jpg", "photo");
    writeBacking(mount, "altra.jpg", "another");
    const auto before = folderState(mount.backing());

    EXPECT_EQ(platform::renameItem(mount.path(), "altra.jpg", "FOTO.JPG"),
              RenameStatus::TargetExists);
    EXPECT_EQ(folderState(mount.backing()), before);

    FileTable table;
    table.append(rowOf(mount.path(), "altra.jpg", "Foto.jpg"));
    table.append(rowOf(mount.path(), "foto.jpg", "Foto.JPG"));
    const RenameCounts counts = renameRows(table);
    EXPECT_EQ(counts.renamed, 1);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(table.row(0).name, "altra.jpg");
    expectRenamedIntact(before, mount.backing(), "foto.jpg", "Foto.JPG");
}

struct FailingStep
{
    const char *what;
    std::vector<std::string> switches;
    bool stranded; // the item cannot be given back its old name
};

class CaseOnlyRenameSecondStepFails : public testing::TestWithParam<FailingStep> {};

// The rename to the new spelling fails after the item went to its temporary name. The way back
// is tried again when it fails; only when it keeps failing does the item stay under the
// temporary name, and then the outcome says so, with the name it bears.
TEST_P(CaseOnlyRenameSecondStepFails, ItemGoesBackOrTheOutcomeSaysWhereItIs)
{
    FuseMount mount(GetParam().switches);
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "foto.jpg", "photo");
    const auto before = folderState(mount.backing());

    FileTable table;
    table.append(rowOf(mount.path(), "foto.jpg", "FOTO.JPG"));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 0);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(table.row(0).newName, "FOTO.JPG");
    const auto after = folderState(mount.backing());
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after.begin()->second, before.at("foto.jpg")) << "the same item, intact";
    if (!GetParam().stranded) {
        EXPECT_TRUE(counts.stranded.empty());
        EXPECT_EQ(after.begin()->first, "foto.jpg");
        EXPECT_EQ(table.row(0).name, "foto.jpg");
        return;
    }
    ASSERT_EQ(counts.stranded.size(), 1u);
    const StrandedItem &item = counts.stranded.front();
    EXPECT_EQ(item.folder, mount.path());
    EXPECT_EQ(item.oldName, "foto.jpg");
    EXPECT_EQ(item.currentName, after.begin()->first);
    EXPECT_TRUE(holdsTemporaryName(mount.backing()));
    // The row follows the item, so that another "RINOMINA" starts from where it is.
    EXPECT_EQ(table.row(0).name, item.currentName);
}

// The pattern matches both spellings of the name and never the temporary one (which starts with
// a dot): the second step fails, and so does the way back, as often as --fail-times allows.
const std::string kBothSpellings = "--fail-rename=[Ff][Oo][Tt][Oo].[Jj][Pp][Gg]";

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseOnlyRenameSecondStepFails,
    testing::Values(FailingStep{"way_back_works", {"--fold-case", "--fail-rename=FOTO.JPG"}, false},
                    FailingStep{"way_back_fails_once",
                                {"--fold-case", kBothSpellings, "--fail-times=2"}, false},
                    FailingStep{"way_back_fails_always", {"--fold-case", kBothSpellings}, true},
                    FailingStep{"way_back_fails_always_without_flag",
                                {"--fold-case", "--no-noreplace", "--no-links", kBothSpellings},
                                true}),
    [](const auto &info) { return std::string(info.param.what); });

struct Fallback
{
    const char *what;
    std::vector<std::string> switches;
};

class RenameWithoutNoReplaceFlag : public testing::TestWithParam<Fallback> {};

// The file system refuses the no-replace flag, so every rename takes a fallback path: files,
// folders and links are renamed, an existing item is never replaced, the counts are right.
TEST_P(RenameWithoutNoReplaceFlag, RenamesEveryKindAndReplacesNothing)
{
    FuseMount mount(GetParam().switches);
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "a.txt", "a");
    writeBacking(mount, "b.txt", "b");
    ASSERT_EQ(::mkdir(mount.backingOf("cartella").c_str(), 0755), 0);
    writeBacking(mount, "cartella/x", "x");
    ASSERT_EQ(::symlink("a.txt", mount.backingOf("link").c_str()), 0);
    const auto before = folderState(mount.backing());

    FileTable table;
    table.append(rowOf(mount.path(), "a.txt", "b.txt"));     // taken by a file
    table.append(rowOf(mount.path(), "cartella", "b.txt"));  // taken, for a folder
    table.append(rowOf(mount.path(), "link", "cartella"));   // taken by a folder
    table.append(rowOf(mount.path(), "a.txt", "c.txt"));
    table.append(rowOf(mount.path(), "cartella", "Cartella Nuova"));
    table.append(rowOf(mount.path(), "link", "l\xE9nk"));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 3);
    EXPECT_EQ(counts.failed, 3);
    std::map<std::string, test::ItemState> expected = before;
    for (const auto &[from, to] : {std::pair<std::string, std::string>{"a.txt", "c.txt"},
                                   {"cartella", "Cartella Nuova"},
                                   {"link", "l\xE9nk"}}) {
        auto moved = expected.extract(from);
        moved.key() = to;
        expected.insert(std::move(moved));
    }
    EXPECT_EQ(folderState(mount.backing()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RenameWithoutNoReplaceFlag,
    testing::Values(Fallback{"link_and_unlink", {"--no-noreplace"}},
                    Fallback{"check_and_rename", {"--no-noreplace", "--no-links"}}),
    [](const auto &info) { return std::string(info.param.what); });

// A network file system may remove the old name and still answer with an error (a retried
// unlink finds nothing): the file then has only its new name, which must stay.
TEST(RenameWithoutNoReplaceFlag, UnlinkThatRemovesAndFailsKeepsTheFile)
{
    FuseMount mount({"--no-noreplace", "--unlink-lies"});
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "a.txt", "only copy");
    const auto before = folderState(mount.backing());

    FileTable table;
    table.append(rowOf(mount.path(), "a.txt", "b.txt"));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 1);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_EQ(table.row(0).name, "b.txt");
    expectRenamedIntact(before, mount.backing(), "a.txt", "b.txt");
}

// An unlink that truly fails leaves the old name: the new link is taken away again and the row
// fails, with the file as it was.
TEST(RenameWithoutNoReplaceFlag, UnlinkThatFailsUndoesTheNewLink)
{
    FuseMount mount({"--no-noreplace", "--unlink-fails=a.txt"});
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "a.txt", "content");
    const auto before = folderState(mount.backing());

    FileTable table;
    table.append(rowOf(mount.path(), "a.txt", "b.txt"));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 0);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(table.row(0).name, "a.txt");
    EXPECT_EQ(folderState(mount.backing()), before);
}

} // namespace
} // namespace nomaro
