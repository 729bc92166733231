#include <gtest/gtest.h>

#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "tests/support/tempdir.h"
#include "workset/collect.h"

namespace nomaro {
namespace {

// A folder list over a real folder: the given names, the selected ones marked.
class FakeFolderItems : public FolderItems
{
public:
    FakeFolderItems(std::string folder, std::vector<std::string> names, std::set<int> selected)
        : m_folder(std::move(folder))
        , m_names(std::move(names))
        , m_selected(std::move(selected))
    {
    }
    std::string folderPath() const override { return m_folder; }
    int itemCount() const override { return static_cast<int>(m_names.size()); }
    bool isItemSelected(int index) const override { return m_selected.count(index) > 0; }
    std::string itemName(int index) const override { return m_names[static_cast<std::size_t>(index)]; }

private:
    std::string m_folder;
    std::vector<std::string> m_names;
    std::set<int> m_selected;
};

// The listed names are those of the table before the call, as the view shows them.
AddOutcome add(FileTable &table, const FolderItems &items,
               const EntryLookup &lookUp = platform::lookUpEntry)
{
    std::set<std::string> listed;
    for (int i = 0; i < table.rowCount(); ++i)
        listed.insert(displayName(table.row(i)));
    return AddSelectedItems(
        table, items, [&](const std::string &name) { return listed.count(name) > 0; }, lookUp);
}

std::set<int> all(int count)
{
    std::set<int> indices;
    for (int i = 0; i < count; ++i)
        indices.insert(i);
    return indices;
}

TEST(CollectSelection, NothingSelectedAddsNothingButResetsTheRenameRow)
{
    test::TempDir dir;
    dir.writeFile("a.txt");
    FileTable table;
    table.currentRenameRow = 3;
    const AddOutcome outcome = add(table, FakeFolderItems(dir.path(), {"a.txt"}, {}));
    EXPECT_EQ(outcome.added, 0);
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_EQ(table.currentRenameRow, 0);
}

TEST(CollectSelection, FillsEveryFieldOfTheRow)
{
    test::TempDir dir;
    dir.writeFile("IMG_0001.jpg", std::string(1536, 'x'));
    dir.makeFolder("foto.2009");
    FileTable table;
    const AddOutcome outcome = add(table, FakeFolderItems(dir.path(), {"IMG_0001.jpg", "foto.2009"}, all(2)));
    ASSERT_EQ(outcome.added, 2);
    const nm &file = table.row(0);
    EXPECT_EQ(file.name, "IMG_0001.jpg");
    EXPECT_EQ(file.newName, "IMG_0001.jpg");
    EXPECT_EQ(file.folder, dir.path());
    EXPECT_EQ(file.size, 1536.0);
    EXPECT_EQ(file.folderFlag, 0);
    EXPECT_EQ(file.extension, ".jpg");
    EXPECT_GT(file.dateTime, platform::toDateTimeValue(QDate(2020, 1, 1), QTime(0, 0)));
    const nm &folder = table.row(1);
    EXPECT_EQ(folder.folderFlag, kFolderFlag);
    EXPECT_EQ(folder.size, 0.0);
    EXPECT_EQ(folder.extension, ".2009");
    EXPECT_EQ(displayName(folder), "<foto.2009>");
}

TEST(CollectDuplicates, AListedDisplayNameIsRefusedWhateverItsFolder)
{
    test::TempDir first;
    test::TempDir second;
    first.writeFile("a.txt");
    second.writeFile("a.txt");
    second.makeFolder("Foto");
    test::TempDir third;
    third.writeFile("Foto");
    third.writeFile("A.TXT");

    FileTable table;
    EXPECT_EQ(add(table, FakeFolderItems(first.path(), {"a.txt"}, {0})).added, 1);
    EXPECT_EQ(add(table, FakeFolderItems(first.path(), {"a.txt"}, {0})).added, 0)
        << "the same file twice";
    EXPECT_EQ(add(table, FakeFolderItems(second.path(), {"a.txt", "Foto"}, {0, 1})).added, 1)
        << "a.txt from a second folder is refused, the folder Foto is added";
    EXPECT_EQ(add(table, FakeFolderItems(third.path(), {"Foto", "A.TXT"}, {0, 1})).added, 2)
        << "a file Foto beside the folder <Foto>, and A.TXT beside a.txt";
    EXPECT_EQ(table.rowCount(), 4);
}

TEST(CollectPassOver, VanishedUnreadableAndVirtualItemsAreSkippedSilently)
{
    test::TempDir dir;
    dir.writeFile("there.txt");
    FileTable table;
    EXPECT_EQ(add(table, FakeFolderItems(dir.path(), {"gone.txt", "there.txt"}, {0, 1})).added, 1);

    const auto deniedLookUp = [](const std::string &) {
        platform::EntryInfo denied;
        denied.status = platform::EntryInfo::Status::Failed;
        return denied;
    };
    FileTable other;
    EXPECT_EQ(add(other, FakeFolderItems(dir.path(), {"there.txt"}, {0}), deniedLookUp).added, 0);

    EXPECT_EQ(add(other, FakeFolderItems("", {"home"}, {0})).added, 0)
        << "a folder without a file-system path";
}

TEST(CollectPaths, TheRootKeepsItsSeparatorAndNoPathIsDoubled)
{
    std::vector<std::string> asked;
    const auto recordingLookUp = [&](const std::string &path) {
        asked.push_back(path);
        platform::EntryInfo found;
        found.status = platform::EntryInfo::Status::Found;
        return found;
    };
    FileTable table;
    ASSERT_EQ(add(table, FakeFolderItems("/", {"etc"}, {0}), recordingLookUp).added, 1);
    EXPECT_EQ(asked, std::vector<std::string>{"/etc"});
    EXPECT_EQ(table.row(0).folder, "/");
}

TEST(CollectDate, AnOddSecondDropsToTheEvenOneBelow)
{
    test::TempDir dir;
    const std::string path = dir.writeFile("odd.txt");
    const QDateTime local(QDate(2026, 5, 17), QTime(10, 20, 13));
    const timespec times[2] = {{local.toSecsSinceEpoch(), 0}, {local.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    FileTable table;
    ASSERT_EQ(add(table, FakeFolderItems(dir.path(), {"odd.txt"}, {0})).added, 1);
    EXPECT_EQ(platform::fromDateTimeValue(table.row(0).dateTime), QDateTime(QDate(2026, 5, 17), QTime(10, 20, 12)));
}

TEST(CollectDate, TimesOutsideThePackedRangeKeepTheirSecond)
{
    EXPECT_EQ(platform::fromDateTimeValue(platform::twoSecondStep(QDate(1975, 3, 1), QTime(8, 0, 7))),
              QDateTime(QDate(1975, 3, 1), QTime(8, 0, 7)));
    EXPECT_EQ(platform::fromDateTimeValue(platform::twoSecondStep(QDate(2107, 12, 31), QTime(8, 0, 7))),
              QDateTime(QDate(2107, 12, 31), QTime(8, 0, 6)));
}

TEST(CollectNames, ANameThatIsNotUtf8KeepsItsBytes)
{
    test::TempDir dir;
    const std::string latin1 = "caff\xE8.txt";
    dir.writeFile(latin1);
    FileTable table;
    ASSERT_EQ(add(table, FakeFolderItems(dir.path(), {latin1}, {0})).added, 1);
    EXPECT_EQ(table.row(0).name, latin1);
    EXPECT_EQ(table.row(0).newName, latin1);
}

TEST(CollectCapacity, StopsAt1001AndCountsWhatDidNotFit)
{
    test::TempDir dir;
    std::vector<std::string> names;
    for (int i = 0; i < 1005; ++i) {
        names.push_back("f" + std::to_string(i));
        dir.writeFile(names.back());
    }
    FileTable table;
    const AddOutcome outcome = add(table, FakeFolderItems(dir.path(), names, all(1005)));
    EXPECT_EQ(outcome.added, 1001);
    EXPECT_EQ(outcome.refused, 4);
    EXPECT_EQ(table.rowCount(), 1001);
    EXPECT_EQ(table.row(1000).name, "f1000");
}

TEST(CollectLinks, ALinkToAFolderCountsAsAFolderAndADanglingLinkAsAFile)
{
    test::TempDir dir;
    dir.makeFolder("real");
    ASSERT_EQ(::symlink("real", dir.pathOf("link").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", dir.pathOf("dangling").c_str()), 0);
    FileTable table;
    ASSERT_EQ(add(table, FakeFolderItems(dir.path(), {"link", "dangling"}, {0, 1})).added, 2);
    EXPECT_EQ(displayName(table.row(0)), "<link>");
    EXPECT_EQ(displayName(table.row(1)), "dangling");
}

} // namespace
} // namespace nomaro
