#include <gtest/gtest.h>

#include <QSignalSpy>
#include <algorithm>
#include <unistd.h>

#include "browser/foldermerge.h"
#include "browser/shelllistmodel.h"
#include "platform/shell_namespace.h"
#include "tests/browser/modeltester.h"
#include "tests/browser/rowranges.h"
#include "tests/support/tempdir.h"

using nomaro::FolderContext;
using nomaro::ShellListModel;
using namespace nomaro::platform;
using nomaro::test::TempDir;

namespace {

using nomaro::test::Range;
using nomaro::test::ranges;

using Names = std::vector<std::string>;

// A model over a real folder, driven without a view, checked by Qt's model tester throughout.
struct FolderModel
{
    TempDir dir;
    ShellListModel model;
    nomaro::test::ModelTester tester{&model};

    explicit FolderModel(const Names &files)
    {
        for (const std::string &name : files)
            dir.writeFile(name);
        model.setColumns({{QStringLiteral("Nome")}, {QStringLiteral("Dimensione")}});
        refill();
    }

    std::vector<ItemIdList> read() const
    {
        std::vector<ItemIdList> children;
        int error = 0;
        model.context().folder()->enumerate(EnumFolders | EnumNonFolders,
                                            [&](ItemIdList &&child) { children.push_back(std::move(child)); }, error);
        return children;
    }

    void refill()
    {
        auto context = std::make_unique<FolderContext>(ShellFolder::bind(idListFromPath(dir.path())), nomaro::ShellListOptions());
        std::vector<ItemIdList> children;
        int error = 0;
        context->folder()->enumerate(EnumFolders | EnumNonFolders,
                                     [&](ItemIdList &&child) { children.push_back(std::move(child)); }, error);
        model.setRows(std::move(context), std::move(children));
        model.sortRows(1);
    }

    Names names() const
    {
        Names out;
        for (int row = 0; row < model.rowCount(); ++row)
            out.push_back(model.item(row)->fileSystemName());
        return out;
    }
};

} // namespace

TEST(ShellListModel, RemovesRunsOfRowsFromTheBackOneRemovalPerRun)
{
    FolderModel folder({"a", "b", "c", "d", "e", "f", "g"});
    QSignalSpy removing(&folder.model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QSignalSpy resets(&folder.model, &QAbstractItemModel::modelAboutToBeReset);
    std::vector<int> left;
    folder.model.removeRowsAt({5, 1, 2, 6, 2, 99, -1}, [&](int row, nomaro::ShellListItemData &) { left.push_back(row); });
    EXPECT_EQ(ranges(removing), (std::vector<Range>{{5, 6}, {1, 2}}));
    EXPECT_EQ(left, (std::vector<int>{5, 6, 1, 2}));
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(folder.names(), (Names{"a", "d", "e"}));
    EXPECT_EQ(folder.model.consistencyProblem(), "");
}

TEST(ShellListModel, AppendsInOneInsertionAtTheEndAndKeepsPersistentIndexes)
{
    FolderModel folder({"b", "d"});
    const QPersistentModelIndex kept = folder.model.index(1, 0);
    folder.dir.writeFile("a");
    folder.dir.writeFile("c");

    const nomaro::FolderMerge merge = nomaro::mergeFolder(folder.model.snapshot(), [&] {
        nomaro::PidlList reading(folder.model.context().folder());
        for (ItemIdList &id : folder.read())
            reading.add(std::move(id), 0);
        return reading;
    }());
    EXPECT_TRUE(merge.vanished.empty());
    ASSERT_EQ(merge.added.size(), 2u);

    QSignalSpy inserting(&folder.model, &QAbstractItemModel::rowsAboutToBeInserted);
    folder.model.appendRows(merge.added);
    EXPECT_EQ(ranges(inserting), (std::vector<Range>{{2, 3}}));
    const Names afterAppend = folder.names();
    ASSERT_EQ(afterAppend.size(), 4u);
    EXPECT_EQ(Names(afterAppend.begin(), afterAppend.begin() + 2), (Names{"b", "d"}));
    EXPECT_EQ(kept.row(), 1);
    EXPECT_EQ(folder.model.consistencyProblem(), "");

    // Sorting moves the kept index with its item.
    folder.model.sortRows(1);
    EXPECT_EQ(folder.names(), (Names{"a", "b", "c", "d"}));
    EXPECT_EQ(kept.row(), 3);
    folder.model.sortRows(-1);
    EXPECT_EQ(folder.names(), (Names{"d", "c", "b", "a"}));
    EXPECT_EQ(kept.row(), 0);
}

TEST(ShellListModel, TheConsistencyCheckFindsTwoRowsOfOneItem)
{
    FolderModel folder({"a", "b"});
    std::vector<ItemIdList> again = folder.read();
    again.resize(1);
    folder.model.appendRows(std::move(again));
    EXPECT_NE(folder.model.consistencyProblem().find("same item"), std::string::npos);
}

TEST(ShellListModel, AFileChangedOnDiskIsReplacedByARowAtTheEnd)
{
    FolderModel folder({"a", "b", "c"});
    folder.dir.writeFile("a", "grown");
    nomaro::PidlList reading(folder.model.context().folder());
    for (ItemIdList &id : folder.read())
        reading.add(std::move(id), 0);
    const nomaro::FolderMerge merge = nomaro::mergeFolder(folder.model.snapshot(), std::move(reading));
    std::vector<int> rows(merge.vanished.begin(), merge.vanished.end());
    folder.model.removeRowsAt(rows);
    folder.model.appendRows(merge.added);
    EXPECT_EQ(folder.names(), (Names{"b", "c", "a"}));
    EXPECT_EQ(folder.model.item(2)->detailText(1), QStringLiteral("1 KB"));
    EXPECT_EQ(folder.model.consistencyProblem(), "");
}

TEST(ShellListModel, MergesANewReadingAgainstTheRowsWhereTheyLie)
{
    FolderModel folder({"a", "b", "c", "d"});
    ASSERT_EQ(folder.names(), (Names{"a", "b", "c", "d"}));
    ::unlink(folder.dir.pathOf("b").c_str());
    folder.dir.writeFile("c", "grown");
    folder.dir.writeFile("e");

    nomaro::FolderMerge merge = folder.model.merge(folder.read());
    EXPECT_EQ(merge.vanished, (std::vector<std::size_t>{1, 2})) << "row numbers, ascending";
    Names added;
    for (const ItemIdList &id : merge.added)
        added.emplace_back(id.firstElement().name);
    std::sort(added.begin(), added.end());
    EXPECT_EQ(added, (Names{"c", "e"}));
    EXPECT_EQ(folder.model.rowCount(), 4) << "merging changes no row";
}

TEST(ShellListModel, TheSameHeaderAgainKeepsTheRowsAndAnotherOneResets)
{
    FolderModel folder({"a", "b"});
    QSignalSpy resets(&folder.model, &QAbstractItemModel::modelReset);
    const QPersistentModelIndex kept = folder.model.index(1, 0);
    folder.model.setColumns({{QStringLiteral("Nome"), Qt::AlignLeft, 300}, {QStringLiteral("Dimensione")}});
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(kept.row(), 1);
    EXPECT_EQ(folder.model.columns()[0].width, 300) << "the new widths are kept";

    folder.model.setColumns({{QStringLiteral("Nome")}, {QStringLiteral("Dimensione"), Qt::AlignRight}});
    folder.model.setColumns({{QStringLiteral("Nome")}, {QStringLiteral("Dimensione"), Qt::AlignRight}, {QStringLiteral("Tipo")}});
    folder.model.setColumns({{QStringLiteral("Nome")}});
    EXPECT_EQ(resets.count(), 3) << "another alignment, one column more, fewer columns";
    EXPECT_EQ(folder.model.columnCount(), 1);
}
