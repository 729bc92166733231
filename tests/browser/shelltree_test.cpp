#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <unistd.h>

#include "browser/shelllist.h"
#include "browser/shelltree.h"
#include "platform/beep.h"
#include "platform/shell_namespace.h"
#include "tests/browser/linkedpanes.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

using nomaro::ShellList;
using nomaro::ShellTree;
using nomaro::ShellTreeNodeData;
using nomaro::test::LinkedPanes;
using nomaro::test::TempDir;
namespace fs = std::filesystem;
using Names = LinkedPanes::Names;

TEST(ShellTree, TheTopNodeIsExpandedOneLevelAtStartAndTheListShowsIt)
{
    TempDir dir;
    dir.makeFolder("b");
    dir.makeFolder("a");
    dir.writeFile("file");
    LinkedPanes panes(dir.path());
    const ShellTreeNodeData *top = panes.tree.nodeModel().top();
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(panes.tree.isExpanded(panes.tree.nodeModel().indexOf(top)));
    EXPECT_EQ(LinkedPanes::captions(top), (Names{"a", "b"}));
    EXPECT_EQ(panes.selectedPath(), dir.path());
    EXPECT_EQ(panes.listPath(), dir.path());
}

TEST(ShellTree, MouseSelectionRefillsTheListLaterWhileTheListsNavigationMovesTheTreeAtOnce)
{
    TempDir dir;
    dir.makeFolder("a");
    dir.makeFolder("b");
    LinkedPanes panes(dir.path());

    panes.click(panes.node("a"));
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("a"));
    EXPECT_EQ(panes.listPath(), dir.path()) << "the list waits for the user's last step";
    EXPECT_TRUE(QTest::qWaitFor([&] { return panes.listPath() == dir.pathOf("a"); }, 5000));

    panes.list.GoUp(1);
    EXPECT_EQ(panes.selectedPath(), dir.path()) << "the list's GoUp moves the tree";
    EXPECT_EQ(panes.listPath(), dir.path()) << "and the list follows at once";

    int row = -1;
    for (int i = 0; i < panes.list.itemCount(); ++i) {
        if (panes.list.itemName(i) == "b")
            row = i;
    }
    ASSERT_GE(row, 0);
    panes.list.selectItem(row, true);
    panes.list.openSelection();
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("b")) << "entering a folder in the list moves the tree at once";
    EXPECT_EQ(panes.listPath(), dir.pathOf("b"));
}

TEST(ShellTree, SteppingThroughFiftyNodesWithTheArrowKeysFillsTheListOnce)
{
    TempDir dir;
    for (int i = 0; i < 60; ++i)
        dir.makeFolder("f" + std::to_string(100 + i));
    LinkedPanes panes(dir.path());
    panes.tree.setFocus();
    const int before = panes.listFills;
    // The steps take twice the delay in all, with the event loop running between them: a delay
    // that did not start again at each step would let the list follow half way. A machine so
    // busy that one step came later than the delay lets the list follow then, rightly.
    QElapsedTimer clock;
    clock.start();
    qint64 lastStep = 0;
    int longGaps = 0;
    for (int i = 0; i < 50; ++i) {
        QTest::keyClick(&panes.tree, Qt::Key_Down);
        const qint64 now = clock.elapsed();
        if (i > 0 && now - lastStep >= ShellTree::kFollowDelayMs - 50)
            ++longGaps;
        lastStep = now;
        QTest::qWait(2 * ShellTree::kFollowDelayMs / 50);
    }
    EXPECT_LE(panes.listFills - before, longGaps) << "the delay starts again at each step";
    const int during = panes.listFills;
    EXPECT_TRUE(QTest::qWaitFor([&] { return panes.listFills > during; }, 5000));
    EXPECT_EQ(panes.listFills, during + 1);
    EXPECT_GE(clock.elapsed(), 2 * ShellTree::kFollowDelayMs);
    EXPECT_EQ(panes.listPath(), dir.pathOf("f149"));
}

TEST(ShellTree, GoUpStopsAtTheTopNode)
{
    TempDir dir;
    dir.makeFolder("a/b/c");
    LinkedPanes panes(dir.path());

    struct Case
    {
        const char *what;
        std::string from;
        int levels;
        std::string to;
    };
    const Case cases[] = {
        {"one level on the top node does nothing", dir.path(), 1, dir.path()},
        {"one level from three deep", dir.pathOf("a/b/c"), 1, dir.pathOf("a/b")},
        {"five levels from three deep stop at the top", dir.pathOf("a/b/c"), 5, dir.path()},
    };
    for (const Case &c : cases) {
        panes.list.setFolderPath(c.from);
        ASSERT_EQ(panes.selectedPath(), c.from) << c.what;
        panes.tree.GoUp(c.levels);
        EXPECT_EQ(panes.selectedPath(), c.to) << c.what;
        EXPECT_EQ(panes.listPath(), c.to) << c.what;
    }
}

TEST(ShellTree, TheListEnteringAFolderTheTreeHasNotExpandedExpandsThePath)
{
    TempDir dir;
    dir.makeFolder("a/b/c/d");
    dir.makeFolder("a/x");
    LinkedPanes panes(dir.path());
    ASSERT_TRUE(panes.node("a")->children.empty());

    panes.list.setFolderPath(dir.pathOf("a/b/c"));
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("a/b/c"));
    for (const char *open : {"a", "a/b"}) {
        ASSERT_NE(panes.node(open), nullptr) << open;
        EXPECT_TRUE(panes.tree.isExpanded(panes.tree.nodeModel().indexOf(panes.node(open)))) << open;
    }
    EXPECT_EQ(LinkedPanes::captions(panes.node("a")), (Names{"b", "x"}));
    EXPECT_TRUE(panes.node("a/b/c")->hasButton) << "the last folder keeps its button, unread";
}

TEST(ShellTree, HiddenFoldersAreGhostedOrNotListedByTheOption)
{
    TempDir dir;
    dir.makeFolder(".hidden");
    dir.makeFolder("plain");
    {
        LinkedPanes panes(dir.path());
        EXPECT_EQ(LinkedPanes::captions(panes.tree.nodeModel().top()), (Names{".hidden", "plain"}));
        const QAbstractItemModel *model = panes.tree.model();
        const QModelIndex top = model->index(0, 0);
        EXPECT_TRUE(model->index(0, 0, top).data(Qt::ForegroundRole).isValid());
        EXPECT_FALSE(model->index(1, 0, top).data(Qt::ForegroundRole).isValid());
    }
    LinkedPanes panes(dir.path(), ShellTree::kDefaultOptions & ~nomaro::ShellTreeOptions(nomaro::stoShowHidden));
    EXPECT_EQ(LinkedPanes::captions(panes.tree.nodeModel().top()), (Names{"plain"}));
}

TEST(ShellTree, ExpandButtonsComeFromSubfolders)
{
    TempDir dir;
    dir.makeFolder("withsub/sub");
    dir.makeFolder("withfiles");
    dir.writeFile("withfiles/f1");
    dir.makeFolder("empty");
    dir.makeFolder("onlyhidden/.h");
    struct Case
    {
        const char *folder;
        bool button;
    };
    const Case cases[] = {{"withsub", true}, {"withfiles", false}, {"empty", false}, {"onlyhidden", true}};
    LinkedPanes panes(dir.path());
    for (const Case &c : cases)
        EXPECT_EQ(panes.node(c.folder)->hasButton, c.button) << c.folder;
}

TEST(ShellTree, AFolderThatCannotBeReadKeepsItsButtonAndShowsNothing)
{
    TempDir dir;
    dir.makeFolder("gone/sub");
    LinkedPanes panes(dir.path());
    ShellTreeNodeData *gone = panes.node("gone");
    ASSERT_TRUE(gone->hasButton);
    fs::rename(dir.pathOf("gone"), dir.pathOf("elsewhere"));

    const int beeps = nomaro::platform::beepCount();
    panes.tree.expand(panes.tree.nodeModel().indexOf(gone));
    EXPECT_TRUE(gone->children.empty());
    EXPECT_TRUE(gone->hasButton);
    EXPECT_TRUE(panes.tree.model()->hasChildren(panes.tree.nodeModel().indexOf(gone)));
    EXPECT_EQ(nomaro::platform::beepCount(), beeps);
}

TEST(ShellTree, LinksLeadingBackUpAreNeverExpanded)
{
    TempDir dir;
    dir.makeFolder("a/real/deeper");
    ASSERT_EQ(::symlink("..", dir.pathOf("a/up").c_str()), 0);
    ASSERT_EQ(::symlink(".", dir.pathOf("a/self").c_str()), 0);
    ASSERT_EQ(::symlink("real", dir.pathOf("a/down").c_str()), 0);
    LinkedPanes panes(dir.path());
    panes.list.setFolderPath(dir.pathOf("a/real"));
    ASSERT_EQ(LinkedPanes::captions(panes.node("a")), (Names{"down", "real", "self", "up"}));
    for (const char *loop : {"a/up", "a/self"}) {
        ShellTreeNodeData *node = panes.node(loop);
        EXPECT_FALSE(node->hasButton) << loop;
        panes.tree.expand(panes.tree.nodeModel().indexOf(node));
        EXPECT_TRUE(node->children.empty()) << loop;
    }
    EXPECT_TRUE(panes.node("a/down")->hasButton) << "a link further down is a folder like any other";
}

TEST(ShellTree, RenamingTheSelectedFolderMakesTheListFollow)
{
    TempDir dir;
    dir.makeFolder("old/inside");
    LinkedPanes panes(dir.path());
    panes.list.setFolderPath(dir.pathOf("old"));
    panes.tree.setFocus();

    QTest::keyClick(&panes.tree, Qt::Key_F2);
    auto *editor = panes.tree.findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("old"));
    editor->setText(QStringLiteral("  new  "));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits through a queued call

    EXPECT_TRUE(fs::is_directory(dir.pathOf("new/inside")));
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("new"));
    EXPECT_EQ(panes.tree.selectedNode()->caption, QStringLiteral("new"));
    EXPECT_EQ(panes.listPath(), dir.pathOf("new"));
    EXPECT_EQ(panes.list.itemName(0), "inside");
}

TEST(ShellTree, ADeletedSelectedFolderHandsTheSelectionToItsParent)
{
    TempDir dir;
    dir.makeFolder("a/b/c");
    LinkedPanes panes(dir.path());
    panes.list.setFolderPath(dir.pathOf("a/b/c"));
    fs::remove_all(dir.pathOf("a/b"));

    panes.tree.UpdateItems();
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("a"));
    EXPECT_EQ(panes.listPath(), dir.pathOf("a"));
    EXPECT_EQ(panes.node("a/b"), nullptr);
}

TEST(ShellTree, AFolderCreatedUnderAnExpandedNodeAppearsAndTheRestStays)
{
    TempDir dir;
    dir.makeFolder("a/m/deep");
    dir.makeFolder("z");
    LinkedPanes panes(dir.path());
    panes.list.setFolderPath(dir.pathOf("a/m/deep"));
    const ShellTreeNodeData *m = panes.node("a/m");

    dir.makeFolder("a/b");
    dir.makeFolder("a/m/n");
    dir.makeFolder("c");
    panes.tree.UpdateItems();
    EXPECT_EQ(LinkedPanes::captions(panes.tree.nodeModel().top()), (Names{"a", "c", "z"}));
    EXPECT_EQ(LinkedPanes::captions(panes.node("a")), (Names{"b", "m"}));
    EXPECT_EQ(panes.node("a/m"), m) << "a folder whose time changed is the same node";
    EXPECT_EQ(LinkedPanes::captions(m), (Names{"deep", "n"}));
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("a/m/deep"));
}

TEST(ShellTree, APaneThatGoesEndsTheLinkForTheOther)
{
    TempDir dir;
    dir.makeFolder("a");
    auto list = std::make_unique<ShellList>();
    {
        ShellTree tree;
        nomaro::FolderPaneLink link(tree, *list);
        EXPECT_TRUE(tree.isLinkedToList());
        EXPECT_TRUE(list->isLinkedToTree());
    }
    // The tree went: the list's GoUp goes its own way again.
    EXPECT_FALSE(list->isLinkedToTree());
    list->show();
    list->setFolderPath(dir.pathOf("a"));
    list->GoUp(1);
    EXPECT_EQ(list->Folder().Path(), dir.path());

    ShellTree tree;
    nomaro::FolderPaneLink link(tree, *list);
    list.reset();
    EXPECT_FALSE(tree.isLinkedToList());
}

TEST(ShellTree, AfterTheListEnteredAFolderTheTreeKeysGoOnFromIt)
{
    TempDir dir;
    dir.makeFolder("k1");
    dir.makeFolder("k2");
    LinkedPanes panes(dir.path());
    const int row = [&] {
        for (int i = 0; i < panes.list.itemCount(); ++i) {
            if (panes.list.itemName(i) == "k1")
                return i;
        }
        return -1;
    }();
    ASSERT_GE(row, 0);
    panes.list.setFocus();
    panes.list.selectItem(row, true);
    QTest::keyClick(&panes.list, Qt::Key_Return);
    ASSERT_EQ(panes.selectedPath(), dir.pathOf("k1"));
    EXPECT_EQ(panes.tree.currentIndex(), panes.tree.nodeModel().indexOf(panes.node("k1")))
        << "the tree's current node follows the program's selection";

    panes.tree.setFocus();
    QTest::keyClick(&panes.tree, Qt::Key_Down);
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("k2"));
    EXPECT_TRUE(panes.tree.selectionModel()->isSelected(panes.tree.nodeModel().indexOf(panes.node("k2"))));
    EXPECT_EQ(panes.listPath(), dir.pathOf("k1")) << "the list waits for the user's last step";
    EXPECT_TRUE(QTest::qWaitFor([&] { return panes.listPath() == dir.pathOf("k2"); }, 5000));
}

TEST(ShellTree, AFolderTheListCannotShowIsReportedWithoutUnwindingTheTreesSelection)
{
    TempDir dir;
    dir.makeFolder("gone");
    dir.makeFolder("kept");
    LinkedPanes panes(dir.path());
    const nomaro::platform::ItemIdList gone = nomaro::platform::idListFromPath(dir.pathOf("gone"));
    fs::remove(dir.pathOf("gone"));

    nomaro::test::ModalAnswerer answer(QStringLiteral("OK"));
    EXPECT_NO_THROW(panes.tree.ShowFolder(gone));
    ASSERT_EQ(answer.count(), 1) << "the list says why, once";
    EXPECT_EQ(answer.titles().front(), QStringLiteral("Errore"));
    const QModelIndex node = panes.tree.nodeModel().indexOf(panes.node("gone"));
    EXPECT_EQ(panes.tree.currentIndex(), node);
    EXPECT_TRUE(panes.tree.selectionModel()->isSelected(node)) << "the selection is whole";
    EXPECT_EQ(panes.list.itemCount(), 0);
}

TEST(ShellTree, AListThatHidesFoldersLeavesThemToTheTreeWhichOpensTheShownFolder)
{
    TempDir dir;
    dir.makeFolder("a/inner");
    dir.writeFile("a/file");
    LinkedPanes panes(dir.path());
    panes.list.SetOptions(panes.list.Options() | nomaro::sloHideFoldersWhenLinkedToTree);
    panes.list.setFolderPath(dir.pathOf("a"));
    ASSERT_EQ(panes.list.itemCount(), 1);
    EXPECT_EQ(panes.list.itemName(0), "file") << "the folders show in the tree only";
    EXPECT_TRUE(panes.tree.isExpanded(panes.tree.nodeModel().indexOf(panes.node("a"))))
        << "the shown folder is opened, so its subfolders show";
    EXPECT_NE(panes.node("a/inner"), nullptr);
}
