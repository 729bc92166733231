// Drops of files onto the folder list and the folder tree, sent to their viewports as the
// window system would deliver them, and the decision of what a drop does.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <string>
#include <vector>

#include "browser/dropplan.h"
#include "browser/shelllist.h"
#include "browser/shelltree.h"
#include "platform/file_verbs.h"
#include "tests/browser/linkedpanes.h"
#include "tests/browser/shownlist.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

using nomaro::DropPlan;
using nomaro::planDrop;
using nomaro::test::exists;
using nomaro::test::LinkedPanes;
using nomaro::test::readFile;
using nomaro::test::ShownList;
using nomaro::test::TempDir;

namespace {

using Names = std::vector<std::string>;
constexpr Qt::DropActions kCopyOrMove = Qt::CopyAction | Qt::MoveAction;

struct DropAnswer
{
    bool entered = false;
    bool moveAccepted = false;
    bool dropAccepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// Enter, move and drop at `at` on the view's viewport, then the drop's deferred work.
DropAnswer dropOn(QAbstractItemView &view, const QPoint &at, const QMimeData &data,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::DropActions possible = kCopyOrMove)
{
    QWidget *viewport = view.viewport();
    DropAnswer answer;
    QDragEnterEvent enter(at, possible, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(viewport, &enter);
    answer.entered = enter.isAccepted();
    QDragMoveEvent move(at, possible, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(viewport, &move);
    answer.moveAccepted = move.isAccepted();
    QDropEvent drop(QPointF(at), possible, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(viewport, &drop);
    answer.dropAccepted = drop.isAccepted();
    answer.action = drop.dropAction();
    QCoreApplication::processEvents();
    return answer;
}

DropAnswer dropPaths(QAbstractItemView &view, const QPoint &at, const Names &paths,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return dropOn(view, at, *nomaro::platform::dragDataForItems(paths), modifiers);
}

QPoint rowCentre(const ShownList &shown, const std::string &name)
{
    return shown.list.visualRect(shown.list.model()->index(shown.indexOf(name), 0)).center();
}

// Below the last row, where a drop goes into the shown folder.
QPoint emptySpace(const ShownList &shown)
{
    return {20, shown.list.viewport()->height() - 5};
}

QPoint nodeCentre(LinkedPanes &panes, const nomaro::ShellTreeNodeData *node)
{
    const QModelIndex index = panes.tree.nodeModel().indexOf(node);
    panes.tree.scrollTo(index);
    return panes.tree.visualRect(index).center();
}

bool contains(const Names &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

TEST(DropPlan, CopiesByDefaultMovesWithShiftAndLeavesOutWhatAsksForNothing)
{
    struct Case
    {
        const char *what;
        Names items;
        std::string folder;
        Qt::KeyboardModifiers modifiers;
        Qt::DropActions possible;
        Qt::DropAction action;
        Names planned;
    };
    const Case cases[] = {
        {"a copy by default", {"/a/x"}, "/b", Qt::NoModifier, kCopyOrMove, Qt::CopyAction, {"/a/x"}},
        {"a move with Shift", {"/a/x"}, "/b", Qt::ShiftModifier, kCopyOrMove, Qt::MoveAction, {"/a/x"}},
        {"Shift copies when the source offers no move", {"/a/x"}, "/b", Qt::ShiftModifier, Qt::CopyAction,
         Qt::CopyAction, {"/a/x"}},
        {"a source that offers only a move", {"/a/x"}, "/b", Qt::NoModifier, Qt::MoveAction, Qt::MoveAction, {"/a/x"}},
        {"nothing offered", {"/a/x"}, "/b", Qt::NoModifier, Qt::LinkAction, Qt::IgnoreAction, {"/a/x"}},
        {"no folder under the pointer", {"/a/x"}, "", Qt::NoModifier, kCopyOrMove, Qt::IgnoreAction, {}},
        {"items already in the folder stay out", {"/b/x", "/a/y"}, "/b", Qt::NoModifier, kCopyOrMove, Qt::CopyAction,
         {"/a/y"}},
        {"rows dropped onto their own folder", {"/b/x", "/b/y"}, "/b", Qt::ShiftModifier, kCopyOrMove,
         Qt::IgnoreAction, {}},
        {"a folder onto itself", {"/a/sub", "/a/f"}, "/a/sub", Qt::NoModifier, kCopyOrMove, Qt::IgnoreAction, {}},
        {"a folder into its own subfolder", {"/a"}, "/a/b/c", Qt::ShiftModifier, kCopyOrMove, Qt::IgnoreAction, {}},
        {"a name that only begins like the folder", {"/a/su"}, "/a/sub", Qt::NoModifier, kCopyOrMove,
         Qt::CopyAction, {"/a/su"}},
        {"trailing slashes", {"/a/x/"}, "/b/", Qt::NoModifier, kCopyOrMove, Qt::CopyAction, {"/a/x"}},
        {"onto the root folder", {"/a/x"}, "/", Qt::NoModifier, kCopyOrMove, Qt::CopyAction, {"/a/x"}},
    };
    for (const Case &c : cases) {
        const DropPlan plan = planDrop(c.items, c.folder, c.modifiers, c.possible);
        EXPECT_EQ(plan.action, c.action) << c.what;
        if (plan.accepted()) {
            EXPECT_EQ(plan.items, c.planned) << c.what;
            EXPECT_FALSE(plan.folder.ends_with('/') && plan.folder != "/") << c.what;
        }
    }
}

TEST(ShellListDrop, CopiesOrMovesIntoTheFolderUnderThePointerAndRefreshes)
{
    struct Case
    {
        const char *what;
        std::string onto;                // a row's name, or empty space
        Qt::KeyboardModifiers modifiers;
        std::string lands;               // where the file is afterwards, in the shown folder
        bool sourceStays;
        Qt::DropAction action;
    };
    const Case cases[] = {
        {"a copy into the shown folder over empty space", "", Qt::NoModifier, "x.txt", true, Qt::CopyAction},
        {"a move with Shift", "", Qt::ShiftModifier, "x.txt", false, Qt::MoveAction},
        {"onto a subfolder row", "sub", Qt::NoModifier, "sub/x.txt", true, Qt::CopyAction},
        {"onto a subfolder row with Shift", "sub", Qt::ShiftModifier, "sub/x.txt", false, Qt::MoveAction},
        {"onto a file row: the shown folder", "b.txt", Qt::NoModifier, "x.txt", true, Qt::CopyAction},
    };
    for (const Case &c : cases) {
        TempDir from;
        const std::string source = from.writeFile("x.txt", "mine");
        TempDir dir;
        dir.makeFolder("sub");
        dir.writeFile("b.txt");
        ShownList shown(dir.path());
        const int fills = shown.fills;
        const QPoint at = c.onto.empty() ? emptySpace(shown) : rowCentre(shown, c.onto);

        const DropAnswer answer = dropPaths(shown.list, at, {source}, c.modifiers);
        EXPECT_TRUE(answer.entered && answer.moveAccepted && answer.dropAccepted) << c.what;
        EXPECT_EQ(answer.action, c.action) << c.what;
        EXPECT_EQ(readFile(dir.pathOf(c.lands)), "mine") << c.what;
        EXPECT_EQ(exists(source), c.sourceStays) << c.what;
        EXPECT_EQ(shown.fills, fills + 1) << c.what << ": one UpdateItems after the drop";
        EXPECT_EQ(contains(shown.names(), "x.txt"), c.lands == "x.txt") << c.what;
    }
}

TEST(ShellListDrop, NeverReplacesAnExistingItem)
{
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        TempDir from;
        const std::string source = from.writeFile("a.txt", "mine");
        TempDir dir;
        dir.writeFile("a.txt", "theirs");
        ShownList shown(dir.path());
        const DropAnswer answer = dropPaths(shown.list, emptySpace(shown), {source}, modifiers);
        EXPECT_TRUE(answer.dropAccepted);
        EXPECT_EQ(readFile(dir.pathOf("a.txt")), "theirs");
        EXPECT_EQ(readFile(dir.pathOf("a (copia).txt")), "mine");
        EXPECT_EQ(shown.names(), (Names{"a.txt", "a (copia).txt"}));
    }
}

TEST(ShellListDrop, TheListsOwnRowsOntoTheirOwnFolderOrOntoThemselvesDoNothing)
{
    TempDir dir;
    dir.writeFile("a.txt", "a");
    const std::string sub = dir.makeFolder("sub");
    ShownList shown(dir.path());
    const int fills = shown.fills;
    struct Case
    {
        const char *what;
        Names dragged;
        QPoint at;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        {"rows onto empty space", {dir.pathOf("a.txt"), sub}, emptySpace(shown), Qt::NoModifier},
        {"rows onto a file row", {dir.pathOf("a.txt")}, rowCentre(shown, "a.txt"), Qt::ShiftModifier},
        {"a folder onto its own row", {sub}, rowCentre(shown, "sub"), Qt::NoModifier},
    };
    for (const Case &c : cases) {
        const DropAnswer answer = dropPaths(shown.list, c.at, c.dragged, c.modifiers);
        EXPECT_TRUE(answer.entered) << c.what;
        EXPECT_FALSE(answer.moveAccepted) << c.what << ": the pointer says no drop";
        EXPECT_FALSE(answer.dropAccepted) << c.what;
        EXPECT_EQ(shown.names(), (Names{"sub", "a.txt"})) << c.what;
        EXPECT_FALSE(exists(dir.pathOf("a (copia).txt"))) << c.what;
        EXPECT_FALSE(exists(dir.pathOf("sub/sub"))) << c.what;
    }
    EXPECT_EQ(shown.fills, fills) << "a refused drop refreshes nothing";
}

TEST(ShellListDrop, TheDropOptionTurnsDropsOffAndOnAtRunTime)
{
    TempDir from;
    const std::string source = from.writeFile("x.txt", "x");
    TempDir dir;
    ShownList shown(dir.path());
    ASSERT_TRUE(shown.list.viewport()->acceptDrops()) << "the list is a drop target once it has a window";

    shown.list.SetOptions(shown.list.Options() & ~nomaro::ShellListOptions(nomaro::sloOleDrop));
    EXPECT_FALSE(shown.list.viewport()->acceptDrops());
    const DropAnswer refused = dropPaths(shown.list, emptySpace(shown), {source});
    EXPECT_FALSE(refused.entered);
    EXPECT_FALSE(refused.dropAccepted);
    EXPECT_FALSE(exists(dir.pathOf("x.txt")));

    shown.list.SetOptions(shown.list.Options() | nomaro::sloOleDrop);
    EXPECT_TRUE(dropPaths(shown.list, emptySpace(shown), {source}).dropAccepted);
    EXPECT_TRUE(exists(dir.pathOf("x.txt")));
}

TEST(ShellListDrop, DataWithoutLocalFilesIsRefused)
{
    TempDir dir;
    ShownList shown(dir.path());
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.txt"))});
    QMimeData text;
    text.setText(QStringLiteral("/etc/hostname"));
    for (const QMimeData *data : {&web, &text}) {
        const DropAnswer answer = dropOn(shown.list, emptySpace(shown), *data);
        EXPECT_FALSE(answer.entered);
        EXPECT_FALSE(answer.dropAccepted);
    }
    EXPECT_TRUE(shown.names().empty());
}

TEST(ShellListDrop, AFailedItemIsReportedAndTheOthersStillCome)
{
    TempDir from;
    const std::string good = from.writeFile("good.txt", "g");
    TempDir dir;
    ShownList shown(dir.path());
    nomaro::test::ModalAnswerer answer(QStringLiteral("OK"));
    EXPECT_TRUE(dropPaths(shown.list, emptySpace(shown), {from.pathOf("gone.txt"), good}).dropAccepted);
    ASSERT_EQ(answer.count(), 1);
    EXPECT_EQ(answer.titles().front(), QStringLiteral("Errore"));
    EXPECT_TRUE(answer.texts().front().contains(QStringLiteral("gone.txt")));
    EXPECT_EQ(shown.names(), (Names{"good.txt"}));
}

TEST(ShellTreeDrop, CopiesOrMovesOntoTheNodeUnderThePointerWhichShowsTheNewFolder)
{
    TempDir from;
    const std::string copied = from.makeFolder("copied");
    from.writeFile("copied/inside.txt", "in");
    const std::string moved = from.makeFolder("moved");
    TempDir dir;
    dir.makeFolder("sub");
    dir.makeFolder("other");
    LinkedPanes panes(dir.path());
    ASSERT_FALSE(panes.node("sub")->filled);

    const DropAnswer copy = dropPaths(panes.tree, nodeCentre(panes, panes.node("sub")), {copied});
    EXPECT_TRUE(copy.dropAccepted);
    EXPECT_EQ(copy.action, Qt::CopyAction);
    EXPECT_EQ(readFile(dir.pathOf("sub/copied/inside.txt")), "in");
    EXPECT_TRUE(exists(copied));
    EXPECT_EQ(LinkedPanes::captions(panes.node("sub")), (Names{"copied"})) << "a folder never read shows what came";

    const DropAnswer move = dropPaths(panes.tree, nodeCentre(panes, panes.node("sub")), {moved}, Qt::ShiftModifier);
    EXPECT_EQ(move.action, Qt::MoveAction);
    EXPECT_FALSE(exists(moved));
    EXPECT_EQ(LinkedPanes::captions(panes.node("sub")), (Names{"copied", "moved"}));

    // A node dragged onto its parent's node, and a drop below the last node, ask for nothing.
    EXPECT_FALSE(dropPaths(panes.tree, nodeCentre(panes, panes.tree.nodeModel().top()), {dir.pathOf("other")}).dropAccepted);
    EXPECT_FALSE(dropPaths(panes.tree, {20, panes.tree.viewport()->height() - 5}, {from.writeFile("f")}).dropAccepted);
    EXPECT_EQ(LinkedPanes::captions(panes.tree.nodeModel().top()), (Names{"other", "sub"}));
}

TEST(ShellTreeDrop, TheDropOptionTurnsDropsOff)
{
    TempDir from;
    const std::string source = from.writeFile("x.txt");
    TempDir dir;
    dir.makeFolder("sub");
    LinkedPanes panes(dir.path());
    ASSERT_TRUE(panes.tree.viewport()->acceptDrops());
    panes.tree.SetOptions(panes.tree.Options() & ~nomaro::ShellTreeOptions(nomaro::stoOleDrop));
    EXPECT_FALSE(panes.tree.viewport()->acceptDrops());
    EXPECT_FALSE(dropPaths(panes.tree, nodeCentre(panes, panes.node("sub")), {source}).dropAccepted);
    EXPECT_FALSE(exists(dir.pathOf("sub/x.txt")));
}

TEST(ShellListDrag, AMoveFromASelectedRowDragsTheSelectionInsteadOfChangingIt)
{
    struct Case
    {
        const char *what;
        bool dragOption;
        Names selected; // afterwards
    };
    const Case cases[] = {
        {"with the drag option the rows are dragged", true, {"b", "c"}},
        {"without it the move selects, as a list does", false, {"b", "c", "d"}},
    };
    for (const Case &c : cases) {
        TempDir dir;
        for (const char *name : {"a", "b", "c", "d"})
            dir.writeFile(name);
        ShownList shown(dir.path());
        if (!c.dragOption)
            shown.list.SetOptions(shown.list.Options() & ~nomaro::ShellListOptions(nomaro::sloOleDrag));
        shown.list.selectItem(shown.indexOf("b"), true);
        shown.list.selectItem(shown.indexOf("c"), true);
        QWidget *viewport = shown.list.viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, rowCentre(shown, "b"));
        QTest::mouseMove(viewport, rowCentre(shown, "b") + QPoint(0, 2));
        QTest::mouseMove(viewport, rowCentre(shown, "d"));
        Names selected;
        for (const std::string &name : shown.names()) {
            if (shown.list.isItemSelected(shown.indexOf(name)))
                selected.push_back(name);
        }
        EXPECT_EQ(selected, c.selected) << c.what;
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCentre(shown, "d"));
    }
}
