// The renaming against what network file systems do: another client creating names, answers
// lost after the server acted, and case-insensitive servers that give each spelling its own
// inode number.
#include "rename/renaming.h"

#include "app/tform1.h"
#include "tests/fusefs/folder_state.h"
#include "tests/fusefs/fuse_mount.h"
#include "tests/rename/rows.h"
#include "tests/support/modal.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace nomaro {
namespace {

using test::FuseMount;
using test::ItemState;
using test::folderState;

using State = std::map<std::string, ItemState>;

void writeBacking(const FuseMount &mount, const std::string &name, const std::string &content)
{
    std::ofstream(mount.backingOf(name), std::ios::binary) << content;
}

// The state with `from` now called `to`, the same item.
State withRenamed(State state, const std::string &from, const std::string &to)
{
    auto moved = state.extract(from);
    moved.key() = to;
    state.insert(std::move(moved));
    return state;
}

// Where rename() is all that is left (no no-replace flag; no hard links, or a folder), another
// client may make the new name between any check and the rename. Whatever it made must stay as
// it made it, the item must keep its name, and the row must count as failed. The other client
// strikes at the last look-up before the move: the failed rename with the flag and, for a file,
// the failed link each look the name up once first.
struct OtherClientCase
{
    const char *what;
    bool folder;      // the item renamed
    char otherKind;   // what the other client makes
    std::vector<std::string> switches;
};

class AnotherClient : public testing::TestWithParam<OtherClientCase> {};

TEST_P(AnotherClient, ItsNewItemIsNeverReplaced)
{
    FuseMount mount(GetParam().switches);
    NOMARO_REQUIRE_MOUNT(mount);
    if (GetParam().folder) {
        ASSERT_EQ(::mkdir(mount.backingOf("vecchia").c_str(), 0755), 0);
        writeBacking(mount, "vecchia/dentro", "inside");
    } else {
        writeBacking(mount, "vecchia", "mine");
    }
    const State before = folderState(mount.backing());

    FileTable table;
    table.append(test::rowOf(mount.path(), "vecchia", "nuova"));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 0);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_EQ(table.row(0).name, "vecchia");
    const State after = folderState(mount.backing());
    EXPECT_EQ(after.at("vecchia"), before.at("vecchia"));
    ASSERT_EQ(after.count("nuova"), 1u) << "what the other client made is gone";
    EXPECT_EQ(after.at("nuova").kind, GetParam().otherKind);
    EXPECT_EQ(after.at("nuova").digest, GetParam().otherKind == 'd' ? "" : "altro client");
    EXPECT_EQ(after.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AnotherClient,
    testing::Values(
        OtherClientCase{"file_without_links", false, 'f',
                        {"--no-noreplace", "--no-links", "--another-client-file=nuova",
                         "--another-client-after=3"}},
        OtherClientCase{"folder_over_new_folder", true, 'd',
                        {"--no-noreplace", "--another-client-folder=nuova", "--another-client-after=2"}},
        OtherClientCase{"folder_over_new_file", true, 'f',
                        {"--no-noreplace", "--another-client-file=nuova", "--another-client-after=2"}}),
    [](const auto &info) { return std::string(info.param.what); });

// A rename over the placeholder that fails takes the placeholder away and leaves the folder as
// it was.
TEST(ClaimedName, FailedRenameLeavesNoPlaceholder)
{
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "folder" : "file");
        FuseMount mount({"--no-noreplace", "--no-links", "--fail-rename=nuova"});
        NOMARO_REQUIRE_MOUNT(mount);
        if (folder)
            ASSERT_EQ(::mkdir(mount.backingOf("vecchia").c_str(), 0755), 0);
        else
            writeBacking(mount, "vecchia", "mine");
        const State before = folderState(mount.backing());

        FileTable table;
        table.append(test::rowOf(mount.path(), "vecchia", "nuova"));
        EXPECT_EQ(renameRows(table).failed, 1);
        EXPECT_EQ(folderState(mount.backing()), before);
    }
}

struct LostAnswerCase
{
    const char *what;
    bool folder;
    std::vector<std::string> switches;
};

class LostAnswer : public testing::TestWithParam<LostAnswerCase> {};

// The server renamed the item, then its answer was lost (EIO): the disk shows the rename, so
// it counts as one, whichever way the rename went.
TEST_P(LostAnswer, RenameThatHappenedCountsAsDone)
{
    FuseMount mount(GetParam().switches);
    NOMARO_REQUIRE_MOUNT(mount);
    if (GetParam().folder)
        ASSERT_EQ(::mkdir(mount.backingOf("a").c_str(), 0755), 0);
    else
        writeBacking(mount, "a", "content");
    writeBacking(mount, "resto", "rest");
    const State before = folderState(mount.backing());

    FileTable table;
    table.append(test::rowOf(mount.path(), "a", "b"));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 1);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_TRUE(counts.unsettled.empty());
    EXPECT_EQ(table.row(0).name, "b");
    EXPECT_EQ(folderState(mount.backing()), withRenamed(before, "a", "b"));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LostAnswer,
    testing::Values(LostAnswerCase{"with_flag", false, {"--rename-lies=b"}},
                    LostAnswerCase{"claimed_name_file", false,
                                   {"--no-noreplace", "--no-links", "--rename-lies=b"}},
                    LostAnswerCase{"claimed_name_folder", true,
                                   {"--no-noreplace", "--rename-lies=b"}}),
    [](const auto &info) { return std::string(info.param.what); });

// The same for the second step of a case change, from the temporary name to the new spelling.
TEST(LostAnswer, CaseChangeWhoseLastStepHappenedCountsAsDone)
{
    FuseMount mount({"--case-inodes", "--rename-lies=foto.jpg"});
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "FOTO.JPG", "photo");
    const State before = folderState(mount.backing());

    FileTable table;
    table.append(test::rowOf(mount.path(), "FOTO.JPG", "foto.jpg"));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 1);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_EQ(folderState(mount.backing()), withRenamed(before, "FOTO.JPG", "foto.jpg"));
}

// An error that proves nothing happened (the new name too long) is not second-guessed, and an
// error that leaves it open, with the disk unchanged, is a plain failure.
TEST(LostAnswer, NothingDoneIsAPlainFailure)
{
    FuseMount mount({"--fail-rename=b"});
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "a", "content");
    const State before = folderState(mount.backing());

    FileTable table;
    table.append(test::rowOf(mount.path(), "a", "b"));
    table.append(test::rowOf(mount.path(), "a", std::string(300, 'n')));
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 0);
    EXPECT_EQ(counts.failed, 2);
    EXPECT_TRUE(counts.unsettled.empty());
    EXPECT_EQ(folderState(mount.backing()), before);
}

// The old name could not be removed, nor the new one taken back (both unlinks fail with EIO):
// the file bears both names. The row fails and says so, and the "RINOMINA" box names it.
TEST(LostAnswer, ItemUnderBothNamesIsNamedInTheErrorBox)
{
    FuseMount mount({"--no-noreplace", "--unlink-fails=[ab]"});
    NOMARO_REQUIRE_MOUNT(mount);
    writeBacking(mount, "a", "content");
    writeBacking(mount, "c", "other");

    TForm1 window;
    window.fileTable().append(test::rowOf(mount.path(), "a", "b"));
    window.fileTable().append(test::rowOf(mount.path(), "c", "d"));
    window.RefreshViews();
    test::ModalAnswerer answer(QStringLiteral("Sì"));
    window.SBRENClick();

    EXPECT_EQ(test::namesIn(mount.backing()), (std::vector<std::string>{"a", "b", "d"}));
    ASSERT_EQ(answer.count(), 2);
    EXPECT_EQ(answer.texts().at(1),
              QStringLiteral("1 files non sono stati rinominati.\n"
                             "Rinominando \"a\" in \"b\" (nella cartella %1) il file system ha "
                             "dato errore: ora ci sono sia \"a\" sia \"b\". Controllare la "
                             "cartella.")
                  .arg(QFile::decodeName(mount.path().c_str())));
    EXPECT_EQ(window.fileTable().row(0).name, "a");
}

struct SpellingCase
{
    const char *what;
    bool folder;
    std::vector<std::string> switches;
};

class CaseOnlyRenameWithInodePerSpelling : public testing::TestWithParam<SpellingCase> {};

// The server ignores case and gives every spelling an inode number of its own, so an inode
// comparison takes the item for another one; the new spelling must stick all the same.
TEST_P(CaseOnlyRenameWithInodePerSpelling, GivesTheNewSpelling)
{
    FuseMount mount(GetParam().switches);
    NOMARO_REQUIRE_MOUNT(mount);
    if (GetParam().folder)
        ASSERT_EQ(::mkdir(mount.backingOf("Vacanze").c_str(), 0755), 0);
    else
        writeBacking(mount, "FOTO.JPG", "photo");
    writeBacking(mount, "altra.jpg", "another");
    const std::string oldName = GetParam().folder ? "Vacanze" : "FOTO.JPG";
    const std::string newName = GetParam().folder ? "vacanze" : "foto.jpg";
    const std::string takenSpelling = GetParam().folder ? "VACANZE" : "Foto.jpg";
    const State before = folderState(mount.backing());

    FileTable table;
    table.append(test::rowOf(mount.path(), oldName, newName));
    table.append(test::rowOf(mount.path(), "altra.jpg", takenSpelling)); // another item's name
    const RenameCounts counts = renameRows(table);

    EXPECT_EQ(counts.renamed, 1);
    EXPECT_EQ(counts.failed, 1);
    EXPECT_TRUE(counts.stranded.empty());
    EXPECT_EQ(table.row(0).name, newName);
    EXPECT_EQ(table.row(1).name, "altra.jpg");
    EXPECT_EQ(folderState(mount.backing()), withRenamed(before, oldName, newName));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CaseOnlyRenameWithInodePerSpelling,
    testing::Values(SpellingCase{"file", false, {"--case-inodes"}},
                    SpellingCase{"folder", true, {"--case-inodes"}},
                    SpellingCase{"file_without_flag_or_links", false,
                                 {"--case-inodes", "--no-noreplace", "--no-links"}},
                    SpellingCase{"folder_without_flag", true, {"--case-inodes", "--no-noreplace"}}),
    [](const auto &info) { return std::string(info.param.what); });

} // namespace
} // namespace nomaro
