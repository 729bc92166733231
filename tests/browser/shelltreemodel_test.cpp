#include <gtest/gtest.h>

#include <QSignalSpy>
#include <filesystem>
#include <functional>
#include <optional>

#include "browser/shelltreemodel.h"
#include "platform/shell_error.h"
#include "platform/shell_namespace.h"
#include "tests/browser/modeltester.h"
#include "tests/browser/rowranges.h"
#include "tests/support/tempdir.h"

using nomaro::ShellTreeModel;
using nomaro::ShellTreeNodeData;
using namespace nomaro::platform;
using nomaro::test::TempDir;

namespace {

using nomaro::test::Range;
using nomaro::test::ranges;

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// A tree over a real folder, driven without a view, checked by Qt's model tester unless a test
// spoils the nodes on purpose.
struct FolderTree
{
    TempDir dir;
    ShellTreeModel model;
    std::optional<nomaro::test::ModelTester> tester;

    explicit FolderTree(const Names &folders, bool checked = true)
    {
        for (const std::string &folder : folders)
            dir.makeFolder(folder);
        if (checked)
            tester.emplace(&model);
    }

    void fillTop() { model.fillTop(idListFromPath(dir.path())); }

    // The node at `captions` below the top node, or nullptr; with `expanding`, each node on the
    // way is read first, as a view reads the nodes it expands.
    ShellTreeNodeData *node(const Names &captions = {}, bool expanding = false)
    {
        ShellTreeNodeData *at = model.top();
        for (const std::string &caption : captions) {
            if (expanding)
                model.fetchMore(model.indexOf(at));
            ShellTreeNodeData *next = nullptr;
            for (const auto &child : at->children) {
                if (child->caption.toStdString() == caption)
                    next = child.get();
            }
            if (!next)
                return nullptr;
            at = next;
        }
        return at;
    }

    Names captions(const Names &at = {})
    {
        Names out;
        for (const auto &child : node(at)->children)
            out.push_back(child->caption.toStdString());
        return out;
    }

    ItemIdList relativeOf(const std::string &name) const { return idListFromPath(dir.pathOf(name)).last(); }
};

} // namespace

TEST(ShellTreeModel, FillsANodeWithItsFoldersInTheFoldersOrderWithButtonsWhereFoldersLie)
{
    FolderTree tree({"b", "img10", "img9", "img9/dentro"});
    tree.dir.writeFile("file.txt");
    tree.fillTop();
    EXPECT_EQ(tree.captions(), (Names{"b", "img9", "img10"})) << "no file without the option for files";
    EXPECT_TRUE(tree.node({"img9"})->hasButton);
    EXPECT_FALSE(tree.node({"img10"})->hasButton);
    EXPECT_EQ(tree.node({"img9", "dentro"}, true)->path(), tree.dir.pathOf("img9/dentro"));
    EXPECT_EQ(tree.model.consistencyProblem(), "");
}

TEST(ShellTreeModel, HiddenFoldersAreNodesOnlyWithTheOptionAndAreGhosted)
{
    struct Case
    {
        const char *name;
        bool showHidden;
        Names expected;
    };
    const Case cases[] = {
        {"shown with the option", true, {".nascosta", "visibile"}},
        {"left out without it", false, {"visibile"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FolderTree tree({".nascosta", "visibile"});
        nomaro::ShellTreeOptions options = tree.model.options();
        if (!c.showHidden)
            options.setFlag(nomaro::stoShowHidden, false);
        tree.model.setOptions(options);
        tree.model.setGhostedBrush(Qt::gray);
        tree.fillTop();
        EXPECT_EQ(tree.captions(), c.expected);
        if (ShellTreeNodeData *hidden = tree.node({".nascosta"})) {
            EXPECT_EQ(tree.model.data(tree.model.indexOf(hidden), Qt::ForegroundRole).value<QBrush>(), QBrush(Qt::gray));
        }
    }
}

TEST(ShellTreeModel, UpdateRemovesVanishedFoldersByRangesAndAddsNewOnesWhereTheySort)
{
    FolderTree tree({"a", "b/dentro", "c", "d", "e"});
    tree.fillTop();
    const QPersistentModelIndex keptD = tree.model.indexOf(tree.node({"d"}));
    const QPersistentModelIndex goneInner = tree.model.indexOf(tree.node({"b", "dentro"}, true));
    Names leaving;
    tree.model.onNodeLeaving = [&](ShellTreeNodeData &node) { leaving.push_back(node.caption.toStdString()); };

    fs::remove_all(tree.dir.pathOf("b"));
    fs::remove(tree.dir.pathOf("c"));
    tree.dir.makeFolder("ca/sotto"); // new, with a folder of its own
    tree.dir.makeFolder("a/nuova");  // gives the leaf "a" something to expand
    QSignalSpy removing(&tree.model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QSignalSpy resets(&tree.model, &QAbstractItemModel::modelAboutToBeReset);
    tree.model.update(*tree.model.top());

    EXPECT_EQ(ranges(removing), (std::vector<Range>{{1, 2}})) << "b and c go as one run";
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(leaving, (Names{"dentro", "b", "c"})) << "deepest first";
    EXPECT_EQ(tree.captions(), (Names{"a", "ca", "d", "e"}));
    EXPECT_TRUE(tree.node({"ca"})->hasButton) << "the reading said it holds a folder";
    EXPECT_TRUE(tree.node({"a"})->hasButton) << "a leaf that got a folder can be expanded";
    EXPECT_EQ(keptD.row(), 2);
    EXPECT_FALSE(goneInner.isValid());
    EXPECT_EQ(tree.model.consistencyProblem(), "");
}

TEST(ShellTreeModel, AFolderThatCannotBeReadKeepsItsButtonToBeTriedAgain)
{
    FolderTree tree({"x/y"}, false);
    tree.fillTop();
    ShellTreeNodeData *x = tree.node({"x"});
    ASSERT_TRUE(x && x->hasButton && !x->filled);
    fs::remove_all(tree.dir.pathOf("x"));
    EXPECT_FALSE(tree.model.fill(*x));
    EXPECT_TRUE(x->children.empty());
    EXPECT_TRUE(tree.model.canFetchMore(tree.model.indexOf(x)));
    EXPECT_TRUE(tree.model.hasChildren(tree.model.indexOf(x)));

    tree.dir.makeFolder("x/z");
    EXPECT_TRUE(tree.model.fill(*x)) << "the folder is back";
    EXPECT_EQ(tree.captions({"x"}), (Names{"z"}));
}

TEST(ShellTreeModel, NodesBelowARenamedFolderFollowItsNewName)
{
    FolderTree tree({"a/b/c/d"});
    tree.fillTop();
    ShellTreeNodeData *d = tree.node({"a", "b", "c", "d"}, true);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->path(), tree.dir.pathOf("a/b/c/d"));

    QSignalSpy changed(&tree.model, &QAbstractItemModel::dataChanged);
    tree.model.rename(*tree.node({"a"}), "z");
    EXPECT_EQ(tree.captions(), (Names{"z"}));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(d->path(), tree.dir.pathOf("z/b/c/d"));
    EXPECT_TRUE(sameItem(d->absoluteId(), idListFromPath(tree.dir.pathOf("z/b/c/d"))));
    EXPECT_NE(d->bindFolder(), nullptr);
    EXPECT_THROW(tree.model.rename(*tree.model.top(), "altro"), ShellError) << "the top node keeps its name";
    EXPECT_EQ(tree.model.consistencyProblem(), "");
}

TEST(ShellTreeModel, AddChildPutsAFolderAtItsSortedPlaceUnlessTheHookRejectsIt)
{
    FolderTree tree({"a", "c"});
    tree.model.onAddItem = [](const ShellFolder &, const ItemIdList &, const ItemIdList &child, std::uint32_t) {
        return child.firstElement().name != "rifiutata";
    };
    tree.fillTop();
    tree.dir.makeFolder("b");
    tree.dir.makeFolder("rifiutata");
    QSignalSpy inserting(&tree.model, &QAbstractItemModel::rowsAboutToBeInserted);

    ShellTreeNodeData *b = tree.model.addChild(*tree.model.top(), tree.relativeOf("b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->row, 1);
    EXPECT_EQ(tree.model.findChild(*tree.model.top(), tree.relativeOf("b")), b);
    EXPECT_EQ(tree.model.addChild(*tree.model.top(), tree.relativeOf("rifiutata")), nullptr);
    EXPECT_EQ(tree.model.findChild(*tree.model.top(), tree.relativeOf("rifiutata")), nullptr);
    EXPECT_EQ(ranges(inserting), (std::vector<Range>{{1, 1}}));
    EXPECT_EQ(tree.captions(), (Names{"a", "b", "c"}));
    EXPECT_EQ(tree.model.consistencyProblem(), "");
}

TEST(ShellTreeModel, ReadingAFolderAfterShowFolderAddedOneChildAddsOnlyTheOthers)
{
    // Show-folder adds the child it needs even when the folder could not be read whole (a
    // network folder that did not answer in time); the next expansion reads it.
    FolderTree tree({"x/b", "x/a", "x/c"});
    tree.fillTop();
    ShellTreeNodeData *x = tree.node({"x"});
    ASSERT_NE(tree.model.addChild(*x, idListFromPath(tree.dir.pathOf("x/b")).last()), nullptr);
    ASSERT_TRUE(tree.model.canFetchMore(tree.model.indexOf(x)));
    tree.model.fetchMore(tree.model.indexOf(x));
    EXPECT_EQ(tree.captions({"x"}), (Names{"a", "b", "c"}));
    EXPECT_TRUE(tree.model.fill(*x)) << "a node read already";
    EXPECT_EQ(tree.captions({"x"}), (Names{"a", "b", "c"})) << "is not read twice";
    EXPECT_EQ(tree.model.consistencyProblem(), "");
}

TEST(ShellTreeModel, TheConsistencyCheckFindsWhatIsWrong)
{
    struct Case
    {
        const char *name;
        std::function<void(FolderTree &)> spoil;
        const char *found;
    };
    const Case cases[] = {
        {"one folder added twice", [](FolderTree &tree) { tree.model.addChild(*tree.model.top(), tree.relativeOf("b")); },
         "same item"},
        {"a row number gone stale", [](FolderTree &tree) { tree.node({"a"})->row = 1; }, "row"},
        {"children out of order",
         [](FolderTree &tree) {
             auto &children = tree.model.top()->children;
             std::swap(children[0], children[1]);
             children[0]->row = 0;
             children[1]->row = 1;
         },
         "out of order"},
        {"children under a node without a button", [](FolderTree &tree) { tree.model.top()->hasButton = false; },
         "no button"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FolderTree tree({"a", "b"}, false);
        tree.fillTop();
        ASSERT_EQ(tree.model.consistencyProblem(), "");
        c.spoil(tree);
        EXPECT_NE(tree.model.consistencyProblem().find(c.found), std::string::npos) << tree.model.consistencyProblem();
    }
}
