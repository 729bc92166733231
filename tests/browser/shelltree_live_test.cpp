// The folder tree kept current by real change notices on real folders: what it watches, what
// its notices and device changes bring, and the events of its nodes.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "browser/devicechangehandler.h"
#include "browser/shelltree.h"
#include "browser/shelltreewatch.h"
#include "platform/mount_monitor.h"
#include "tests/browser/linkedpanes.h"
#include "tests/support/tempdir.h"

using nomaro::ShellTree;
using nomaro::ShellTreeNodeData;
using nomaro::test::LinkedPanes;
using nomaro::test::TempDir;
namespace fs = std::filesystem;
using Names = LinkedPanes::Names;

namespace {

// Longer than the coalescing delay without the focus, with room for a busy machine.
constexpr int kNoticeWaitMs = 6000;

constexpr nomaro::ShellTreeOptions kWithoutDynamicRefresh =
    ShellTree::kDefaultOptions & ~nomaro::ShellTreeOptions(nomaro::stoDynamicRefresh);

// Delivers a device change at once, as the handler would a moment later.
void broadcastNow(int event, const nomaro::platform::Drive &drive)
{
    nomaro::DeviceChangeHandler::instance()->broadcast(event, drive);
    QCoreApplication::sendPostedEvents(nomaro::DeviceChangeHandler::instance());
}

bool appears(const LinkedPanes &panes, const std::string &path)
{
    return QTest::qWaitFor([&] { return panes.node(path) != nullptr; }, kNoticeWaitMs);
}

void expandNode(LinkedPanes &panes, const std::string &path)
{
    ShellTreeNodeData *node = panes.node(path);
    ASSERT_NE(node, nullptr) << path;
    panes.tree.expand(panes.tree.nodeModel().indexOf(node));
    ASSERT_TRUE(node->filled) << path;
}

} // namespace

TEST(ShellTreeLive, FoldersCreatedOutsideUnderFilledNodesAppearAfterTheNotice)
{
    TempDir dir;
    dir.makeFolder("a/inner");
    dir.makeFolder("b/inner");
    LinkedPanes panes(dir.path());
    expandNode(panes, "a");
    ASSERT_TRUE(panes.node("b")->children.empty()) << "b stays unread";
    EXPECT_EQ(panes.tree.watch().heldCount(), 2u) << "the base folder and a are watched, b is not";

    struct Case
    {
        const char *what;
        std::string made;
    };
    const Case cases[] = {
        {"under the top node", "top-new"},
        {"under an expanded node", "a/new"},
        {"under a node expanded after the watch started", "b/new"},
    };
    expandNode(panes, "b");
    for (const Case &c : cases) {
        dir.makeFolder(c.made);
        EXPECT_TRUE(appears(panes, c.made)) << c.what << ": " << c.made;
    }
    EXPECT_EQ(LinkedPanes::captions(panes.node("a")), (Names{"inner", "new"})) << "sorted in";

    // A folder without subfolders is not watched: the next notice from its parent gives it the
    // button that a folder made in it calls for.
    ASSERT_FALSE(panes.node("a/inner")->hasButton);
    dir.makeFolder("a/inner/sub");
    dir.makeFolder("a/another");
    ASSERT_TRUE(appears(panes, "a/another"));
    EXPECT_TRUE(panes.node("a/inner")->hasButton);
    expandNode(panes, "a/inner");
    EXPECT_EQ(LinkedPanes::captions(panes.node("a/inner")), (Names{"sub"}));
}

TEST(ShellTreeLive, DeletingTheSelectedFolderOutsideMovesTheSelectionUpAndTheListFollows)
{
    struct Case
    {
        const char *what;
        const char *deleted;
        const char *selectedAfter;
    };
    const Case cases[] = {
        {"the selected folder itself", "a/b", "a"},
        {"a folder above the selected one", "a", ""},
    };
    for (const Case &c : cases) {
        TempDir dir;
        dir.makeFolder("a/b/c");
        LinkedPanes panes(dir.path());
        panes.list.setFolderPath(dir.pathOf("a/b"));
        ASSERT_EQ(panes.selectedPath(), dir.pathOf("a/b")) << c.what;

        fs::remove_all(dir.pathOf(c.deleted));
        const std::string expected = *c.selectedAfter ? dir.pathOf(c.selectedAfter) : dir.path();
        EXPECT_TRUE(QTest::qWaitFor([&] { return panes.selectedPath() == expected; }, kNoticeWaitMs)) << c.what;
        EXPECT_EQ(panes.listPath(), expected) << c.what;
        EXPECT_EQ(panes.node(c.deleted), nullptr) << c.what;
    }
}

TEST(ShellTreeLive, AFolderWhoseNodeGoesLeavesTheWatch)
{
    TempDir dir;
    dir.makeFolder("moved/inner");
    dir.makeFolder("renamed/inner");
    LinkedPanes panes(dir.path());
    expandNode(panes, "moved");
    expandNode(panes, "renamed");
    ASSERT_EQ(panes.tree.watch().heldCount(), 3u) << "the base folder and the two expanded";

    // Renamed outside: the old node goes, and with it the watch held under its path.
    fs::rename(dir.pathOf("moved"), dir.pathOf("elsewhere"));
    ASSERT_TRUE(appears(panes, "elsewhere"));
    EXPECT_EQ(panes.node("moved"), nullptr);
    EXPECT_EQ(panes.tree.watch().heldCount(), 2u);

    // Renamed in the tree: the node stays, held under its new path.
    panes.list.setFolderPath(dir.pathOf("renamed"));
    panes.tree.setFocus();
    QTest::keyClick(&panes.tree, Qt::Key_F2);
    auto *editor = panes.tree.findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("named"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_NE(panes.node("named"), nullptr);
    EXPECT_EQ(panes.tree.watch().heldCount(), 2u);

    // New folders under the old paths are watched as soon as they are expanded, and the renamed
    // folder still is.
    for (const char *path : {"moved", "renamed"}) {
        dir.makeFolder(std::string(path) + "/inner");
        ASSERT_TRUE(appears(panes, path)) << path;
        expandNode(panes, path);
        dir.makeFolder(std::string(path) + "/later");
        EXPECT_TRUE(appears(panes, std::string(path) + "/later")) << path;
    }
    dir.makeFolder("named/later");
    EXPECT_TRUE(appears(panes, "named/later"));
}

TEST(ShellTreeLive, WithoutDynamicRefreshNothingIsWatchedUntilItIsSwitchedOn)
{
    TempDir dir;
    dir.makeFolder("a/inner");
    LinkedPanes panes(dir.path(), kWithoutDynamicRefresh);
    expandNode(panes, "a");
    EXPECT_FALSE(panes.tree.watch().isWatching());
    int updates = 0;
    panes.tree.OnFillStart = [&](ShellTree *) { ++updates; };

    dir.makeFolder("unseen");
    dir.makeFolder("a/unseen");
    QCoreApplication::processEvents();
    panes.tree.flushPending(false);
    EXPECT_EQ(panes.node("unseen"), nullptr);
    EXPECT_EQ(updates, 0);

    panes.tree.SetOptions(ShellTree::kDefaultOptions);
    EXPECT_EQ(panes.tree.watch().heldCount(), 2u) << "the filled nodes join when watching starts";
    dir.makeFolder("a/seen");
    EXPECT_TRUE(appears(panes, "a/seen"));
    EXPECT_NE(panes.node("unseen"), nullptr) << "the refresh reads every filled node";

    panes.tree.SetOptions(kWithoutDynamicRefresh);
    EXPECT_FALSE(panes.tree.watch().isWatching());
    EXPECT_EQ(panes.tree.watch().heldCount(), 0u);
    updates = 0;
    dir.makeFolder("after");
    QCoreApplication::processEvents();
    panes.tree.flushPending(false);
    EXPECT_EQ(updates, 0);
}

TEST(ShellTreeLive, ADeviceArrivalOrRemovalRefreshesTheTreeAndNoOtherDeviceEvent)
{
    TempDir dir;
    LinkedPanes panes(dir.path(), kWithoutDynamicRefresh);
    nomaro::platform::Drive drive;
    drive.mountPoint = "/media/stick";
    struct Case
    {
        int event;
        bool refreshes;
    };
    const Case cases[] = {
        {nomaro::platform::DeviceArrival, true},
        {nomaro::platform::DeviceRemoveComplete, true},
        {0x8006, false},
    };
    int made = 0;
    for (const Case &c : cases) {
        const std::string name = "made" + std::to_string(made++);
        dir.makeFolder(name);
        broadcastNow(c.event, drive);
        EXPECT_EQ(panes.node(name) != nullptr, c.refreshes) << std::hex << c.event;
    }

    // Watching, the tree takes the drives mounted after the change and keeps its folders.
    dir.makeFolder("a/inner");
    panes.tree.SetOptions(ShellTree::kDefaultOptions);
    panes.tree.UpdateItems();
    expandNode(panes, "a");
    const std::size_t held = panes.tree.watch().heldCount();
    broadcastNow(nomaro::platform::DeviceArrival, drive);
    EXPECT_EQ(panes.tree.watch().heldCount(), held);
    dir.makeFolder("a/later");
    EXPECT_TRUE(appears(panes, "a/later"));
}

TEST(ShellTreeLive, AWaitingRefreshIsDoneAtOnceWhenFlushedOrWhenTheListOpensAFolder)
{
    TempDir dir;
    dir.makeFolder("open");
    LinkedPanes panes(dir.path());
    struct Case
    {
        const char *what;
        std::function<void()> flush;
    };
    const Case cases[] = {
        {"flushed", [&] { panes.tree.flushPending(false); }},
        {"flushed with the list first", [&] { panes.tree.flushPending(true); }},
        {"the list opening a folder", [&] {
             panes.list.selectItem(0, true);
             panes.list.openSelection();
         }},
    };
    int made = 0;
    for (const Case &c : cases) {
        const std::string name = "made" + std::to_string(made++);
        dir.makeFolder(name);
        ASSERT_TRUE(QTest::qWaitFor([&] { return panes.tree.isRefreshWaiting(); }, kNoticeWaitMs)) << c.what;
        c.flush();
        EXPECT_NE(panes.node(name), nullptr) << c.what;
        EXPECT_FALSE(panes.tree.isRefreshWaiting()) << c.what;
        panes.list.setFolderPath(dir.path());
    }
}

TEST(ShellTreeLive, TheNodeEventsSeeNodesComeAndGoAndOnAddItemRejects)
{
    TempDir dir;
    dir.makeFolder("keep");
    dir.makeFolder("skip");
    dir.makeFolder("gone");
    ShellTree tree;
    Names inserted;
    Names deleted;
    tree.OnInsertItem = [&](ShellTree *, ShellTreeNodeData &node) { inserted.push_back(node.caption.toStdString()); };
    tree.OnDeleteItem = [&](ShellTree *, ShellTreeNodeData &node) { deleted.push_back(node.caption.toStdString()); };
    tree.OnAddItem = [](ShellTree *, const nomaro::platform::ShellFolder &parent, const nomaro::platform::ItemIdList &,
                        const nomaro::platform::ItemIdList &relative, std::uint32_t, bool &allow) {
        allow = parent.displayName(relative, nomaro::platform::DisplayNameKind::InFolder) != "skip";
    };
    tree.BaseFolder().SetIdList(nomaro::platform::idListFromPath(dir.path()));
    tree.Refresh();
    EXPECT_EQ(LinkedPanes::captions(tree.nodeModel().top()), (Names{"gone", "keep"}));
    ASSERT_EQ(inserted.size(), 3u) << "the top node and its two children";
    EXPECT_EQ(Names(inserted.begin() + 1, inserted.end()), (Names{"gone", "keep"}));

    fs::remove(dir.pathOf("gone"));
    dir.makeFolder("new");
    inserted.clear();
    tree.UpdateItems();
    EXPECT_EQ(deleted, (Names{"gone"}));
    EXPECT_EQ(inserted, (Names{"new"}));
}
