// The folder list's lister over a real folder, driven without a view: the full fill, the merge
// by ranges, the watch flushed instead of waited for, and the drives that come and go.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "browser/changenoticecoalescer.h"
#include "browser/devicechangehandler.h"
#include "browser/folderlister.h"
#include "browser/shelllistmodel.h"
#include "platform/mount_monitor.h"
#include "platform/shell_namespace.h"
#include "tests/browser/rowranges.h"
#include "tests/support/tempdir.h"

using nomaro::FolderLister;
using nomaro::ShellListModel;
using nomaro::test::TempDir;
namespace fs = std::filesystem;

namespace {

using nomaro::test::Range;
using nomaro::test::ranges;

using Names = std::vector<std::string>;

constexpr nomaro::ShellListOptions kOptions = nomaro::sloAutoFill
    | nomaro::sloNonFilesystemAncestors | nomaro::sloShowHidden;

// A lister and its rows over `dir`, checked by the model tester throughout.
struct Listed
{
    ShellListModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    FolderLister lister{model};
    int starts = 0;
    int completes = 0;
    Names left;

    explicit Listed(const std::string &dir, nomaro::ShellListOptions options = kOptions)
    {
        model.setColumns({{QStringLiteral("Nome")}});
        lister.Folder().SetIdList(nomaro::platform::idListFromPath(dir));
        lister.setOptions(options);
        lister.fillStarting = [this] { ++starts; };
        lister.fillCompleted = [this] { ++completes; };
        lister.rowLeaving = [this](int, nomaro::ShellListItemData &item) { left.push_back(item.fileSystemName()); };
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

TEST(FolderLister, AChangeOfFolderFillsOnceAndAnnouncesIt)
{
    TempDir dir;
    dir.writeFile("b");
    dir.writeFile("a");
    ShellListModel model;
    FolderLister lister(model);
    QSignalSpy designated(&lister, &FolderLister::folderDesignated);
    QSignalSpy changed(&lister, &FolderLister::folderChanged);
    bool window = false;
    lister.canFill = [&] { return window; };

    lister.Folder().SetIdList(nomaro::platform::idListFromPath(dir.path()));
    EXPECT_EQ(model.rowCount(), 0) << "nothing is read without a window";
    EXPECT_EQ(changed.count(), 1);

    window = true;
    lister.refresh();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.context().folderPath(), dir.path());
    EXPECT_EQ(designated.count(), 1) << "a refresh designates nothing new";
}

TEST(FolderLister, AMergeRemovesTheVanishedByRunsAndAppendsTheNewAtTheEnd)
{
    TempDir dir;
    for (const char *name : {"a", "b", "c", "d", "e"})
        dir.writeFile(name);
    Listed listed(dir.path());
    listed.model.sortRows(1);
    ASSERT_EQ(listed.names(), (Names{"a", "b", "c", "d", "e"}));
    const int starts = listed.starts;
    QSignalSpy removed(&listed.model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&listed.model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&listed.model, &QAbstractItemModel::modelReset);

    for (const char *name : {"b", "c", "e"})
        fs::remove(dir.pathOf(name));
    dir.writeFile("0 new");
    dir.writeFile("z new");
    listed.lister.update();

    const Names names = listed.names();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(Names(names.begin(), names.begin() + 2), (Names{"a", "d"}));
    EXPECT_EQ(ranges(removed), (std::vector<Range>{{4, 4}, {1, 2}})) << "from the back, one removal per run";
    EXPECT_EQ(ranges(inserted), (std::vector<Range>{{2, 3}})) << "one insertion at the end";
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(listed.left, (Names{"e", "b", "c"})) << "each row that goes is told first";
    EXPECT_EQ(listed.starts, starts + 1);
    EXPECT_EQ(listed.completes, listed.starts);
    EXPECT_EQ(listed.model.consistencyProblem(), "");
}

TEST(FolderLister, TheMergeKeepsTheMasksTheHookAndTheHiddenOption)
{
    TempDir dir;
    dir.writeFile("a.jpg");
    dir.makeFolder("sub");
    Listed listed(dir.path(), kOptions & ~nomaro::ShellListOptions(nomaro::sloShowHidden));
    listed.lister.setFileFilter("*.jpg");
    listed.lister.addItem = [](const nomaro::platform::ShellFolder &folder, const nomaro::platform::ItemIdList &,
                               const nomaro::platform::ItemIdList &child, std::uint32_t) {
        return folder.displayName(child, nomaro::platform::DisplayNameKind::InFolder) != "refused.jpg";
    };
    dir.writeFile("b.JPG");
    dir.writeFile("c.png");
    dir.writeFile(".hidden.jpg");
    dir.writeFile("refused.jpg");
    listed.lister.update();
    Names names = listed.names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"a.jpg", "b.JPG", "sub"}));

    listed.lister.setOptions(kOptions);
    EXPECT_EQ(listed.names().back(), ".hidden.jpg") << "showing hidden items merges them in";
}

TEST(FolderLister, AFolderThatCannotBeReadAnyMoreLeavesNoRows)
{
    TempDir dir;
    dir.makeFolder("shown");
    dir.writeFile("shown/a");
    Listed listed(dir.pathOf("shown"));
    ASSERT_EQ(listed.names(), (Names{"a"}));
    fs::remove_all(dir.pathOf("shown"));
    listed.lister.update();
    EXPECT_EQ(listed.model.rowCount(), 0);
    EXPECT_EQ(listed.model.consistencyProblem(), "");
}

TEST(FolderLister, LinkedToATreeWithTheOptionTheFileSystemFoldersAreLeftOut)
{
    TempDir dir;
    dir.makeFolder("sub");
    dir.writeFile("file");
    Listed listed(dir.path(), kOptions | nomaro::sloHideFoldersWhenLinkedToTree);
    EXPECT_EQ(listed.model.rowCount(), 2) << "without a tree every folder shows";
    listed.lister.setLinkedToTree(true);
    listed.lister.refresh();
    EXPECT_EQ(listed.names(), (Names{"file"}));
    listed.lister.setOptions(kOptions);
    EXPECT_EQ(listed.model.rowCount(), 2) << "switching the option off refills";
}

TEST(FolderLister, ANoticeWaitsInTheCoalescerUntilItIsFlushed)
{
    TempDir dir;
    dir.writeFile("a");
    Listed listed(dir.path(), kOptions | nomaro::sloDynamicRefresh);
    ASSERT_EQ(listed.lister.watchedPath(), dir.path());
    QSignalSpy aboutToMerge(&listed.lister, &FolderLister::aboutToMerge);

    dir.writeFile("b");
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed.lister.coalescer().isWaiting(); }, 5000));
    EXPECT_EQ(listed.lister.coalescer().delay(), nomaro::ChangeNoticeCoalescer::kUnfocusedDelayMs);
    EXPECT_EQ(listed.model.rowCount(), 1) << "nothing before the delay";
    listed.lister.coalescer().refreshPendingNow();
    EXPECT_EQ(listed.names(), (Names{"a", "b"}));
    EXPECT_EQ(aboutToMerge.count(), 1) << "a linked tree is asked to catch up first";

    listed.lister.setOptions(kOptions);
    EXPECT_EQ(listed.lister.watchedPath(), "");
}

TEST(FolderLister, ARemovedDriveThatHeldTheShownFolderBringsTheRowsUpToDate)
{
    TempDir dir;
    dir.makeFolder("stick/photos");
    dir.writeFile("stick/photos/a.jpg");
    TempDir other;
    Listed listed(dir.pathOf("stick/photos"));
    ASSERT_EQ(listed.model.rowCount(), 1);
    fs::remove_all(dir.pathOf("stick/photos"));

    // Broadcasts are handled in order: once the second is, the first was too.
    const int starts = listed.starts;
    for (const std::string &mountPoint : {other.path(), dir.pathOf("stick")}) {
        nomaro::platform::Drive drive;
        drive.mountPoint = mountPoint;
        nomaro::DeviceChangeHandler::instance()->broadcast(nomaro::platform::DeviceRemoveComplete, drive);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed.starts > starts; }, 5000));
    EXPECT_EQ(listed.starts, starts + 1) << "another drive leaves the rows alone";
    EXPECT_EQ(listed.model.rowCount(), 0);
}
