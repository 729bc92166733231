// The folder tree's file commands on real folders: its keys and its context menu.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "browser/shelltree.h"
#include "platform/beep.h"
#include "platform/file_verbs.h"
#include "tests/browser/linkedpanes.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

using nomaro::ShellTreeNodeData;
using nomaro::test::exists;
using nomaro::test::LinkedPanes;
using nomaro::test::ModalAnswerer;
using nomaro::test::readFile;
using nomaro::test::TempDir;

namespace {

using Names = std::vector<std::string>;

// Selects the folder `path` as the list would, and gives the tree the keyboard.
void selectFolder(LinkedPanes &panes, const std::string &path)
{
    panes.list.setFolderPath(path);
    ASSERT_EQ(panes.selectedPath(), path);
    panes.tree.setFocus();
}

nomaro::platform::ClipboardItems clipboardItems()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data ? nomaro::platform::itemsFromMimeData(*data) : nomaro::platform::ClipboardItems{};
}

struct MenuEntry
{
    QString text;
    bool enabled;
    bool operator==(const MenuEntry &) const = default;
};

// Right-clicks `node` and picks `entry` (none: the menu closes); gives the entries shown.
std::vector<MenuEntry> pick(LinkedPanes &panes, const ShellTreeNodeData *node, const QString &entry = {})
{
    std::vector<MenuEntry> entries;
    QTimer::singleShot(50, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QAction *chosen = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            entries.push_back({action->text(), action->isEnabled()});
            if (action->text() == entry)
                chosen = action;
        }
        menu->close();
        if (chosen)
            chosen->trigger();
    });
    const QModelIndex index = panes.tree.nodeModel().indexOf(node);
    panes.tree.scrollTo(index);
    const QPoint at = panes.tree.visualRect(index).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, panes.tree.viewport()->mapToGlobal(at));
    QApplication::sendEvent(panes.tree.viewport(), &event);
    QCoreApplication::processEvents();
    return entries;
}

} // namespace

TEST(ShellTreeCommands, CtrlCAndCtrlVCopyTheSelectedFolderIntoAnotherAndCtrlXMovesIt)
{
    TempDir dir;
    dir.makeFolder("a");
    dir.writeFile("a/inner.txt", "in");
    dir.makeFolder("b");
    dir.makeFolder("c");
    LinkedPanes panes(dir.path());

    selectFolder(panes, dir.pathOf("a"));
    QTest::keyClick(&panes.tree, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardItems().paths, (Names{dir.pathOf("a")}));
    EXPECT_FALSE(clipboardItems().cut);
    EXPECT_EQ(LinkedPanes::captions(panes.tree.nodeModel().top()), (Names{"a", "b", "c"})) << "Ctrl+C changes nothing";

    selectFolder(panes, dir.pathOf("b"));
    QTest::keyClick(&panes.tree, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(readFile(dir.pathOf("b/a/inner.txt")), "in");
    EXPECT_EQ(readFile(dir.pathOf("a/inner.txt")), "in");
    EXPECT_EQ(LinkedPanes::captions(panes.node("b")), (Names{"a"}));
    QTest::keyClick(&panes.tree, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(LinkedPanes::captions(panes.node("b")), (Names{"a", "a (copia)"})) << "a second paste never replaces";

    selectFolder(panes, dir.pathOf("a"));
    QTest::keyClick(&panes.tree, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(clipboardItems().cut);
    selectFolder(panes, dir.pathOf("c"));
    QTest::keyClick(&panes.tree, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(readFile(dir.pathOf("c/a/inner.txt")), "in");
    EXPECT_FALSE(exists(dir.pathOf("a")));
    EXPECT_EQ(LinkedPanes::captions(panes.tree.nodeModel().top()), (Names{"b", "c"})) << "the moved folder's node goes";
    EXPECT_EQ(LinkedPanes::captions(panes.node("c")), (Names{"a"}));
    EXPECT_TRUE(clipboardItems().paths.empty()) << "the clipboard no longer says where cut items are";
}

TEST(ShellTreeCommands, DelAsksAndMovesTheSelectedFolderToTheTrashAndTheListFollowsToItsParent)
{
    TempDir dir;
    dir.makeFolder("a/keep");
    dir.writeFile("a/keep/file.txt");
    dir.makeFolder("b");
    LinkedPanes panes(dir.path());
    selectFolder(panes, dir.pathOf("a/keep"));
    {
        ModalAnswerer answer(QStringLiteral("No"));
        QTest::keyClick(&panes.tree, Qt::Key_Delete);
        ASSERT_EQ(answer.titles(), QStringList{QStringLiteral("Conferma")});
    }
    EXPECT_TRUE(exists(dir.pathOf("a/keep/file.txt"))) << "No keeps the folder";
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("a/keep"));
    {
        ModalAnswerer answer(QStringLiteral("Sì"));
        QTest::keyClick(&panes.tree, Qt::Key_Delete, Qt::ShiftModifier);
        EXPECT_EQ(answer.count(), 1);
    }
    EXPECT_FALSE(exists(dir.pathOf("a/keep")));
    EXPECT_TRUE(LinkedPanes::captions(panes.node("a")).empty());
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("a")) << "the selection moves to the parent";
    EXPECT_EQ(panes.listPath(), dir.pathOf("a")) << "and the list follows";
}

TEST(ShellTreeCommands, TheTopNodeIsNeverCutNorDeleted)
{
    TempDir dir;
    dir.makeFolder("a");
    LinkedPanes panes(dir.path());
    selectFolder(panes, dir.path());
    QGuiApplication::clipboard()->clear();
    const int beeps = nomaro::platform::beepCount();
    {
        ModalAnswerer answer(QStringLiteral("Sì"));
        QTest::keyClick(&panes.tree, Qt::Key_Delete);
        QTest::keyClick(&panes.tree, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(answer.count(), 0) << "nothing to confirm";
    }
    EXPECT_EQ(nomaro::platform::beepCount(), beeps + 2);
    EXPECT_TRUE(exists(dir.path()));
    EXPECT_TRUE(clipboardItems().paths.empty());
    QTest::keyClick(&panes.tree, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardItems().paths, (Names{dir.path()})) << "a copy of it is fine";
}

TEST(ShellTreeCommands, TheContextMenuOffersTheListsVerbsForTheNodeUnderThePointer)
{
    TempDir dir;
    dir.makeFolder("a");
    dir.makeFolder("b");
    LinkedPanes panes(dir.path());
    const std::vector<MenuEntry> all = {{QStringLiteral("Apri"), true},    {QStringLiteral("Taglia"), true},
                                        {QStringLiteral("Copia"), true},   {QStringLiteral("Incolla"), true},
                                        {QStringLiteral("Rinomina"), true}, {QStringLiteral("Elimina"), true}};
    EXPECT_EQ(pick(panes, panes.node("b"), QStringLiteral("Copia")), all);
    EXPECT_EQ(panes.selectedPath(), dir.pathOf("b")) << "the node under the pointer is the one acted on";
    EXPECT_EQ(clipboardItems().paths, (Names{dir.pathOf("b")}));

    const std::vector<MenuEntry> top = {{QStringLiteral("Apri"), true},      {QStringLiteral("Taglia"), false},
                                        {QStringLiteral("Copia"), true},     {QStringLiteral("Incolla"), true},
                                        {QStringLiteral("Rinomina"), false}, {QStringLiteral("Elimina"), false}};
    EXPECT_EQ(pick(panes, panes.tree.nodeModel().top()), top);

    pick(panes, panes.node("a"), QStringLiteral("Incolla"));
    EXPECT_TRUE(exists(dir.pathOf("a/b")));
    EXPECT_EQ(LinkedPanes::captions(panes.node("a")), (Names{"b"}));

    pick(panes, panes.node("a"), QStringLiteral("Apri"));
    EXPECT_TRUE(panes.tree.isExpanded(panes.tree.nodeModel().indexOf(panes.node("a"))));
    EXPECT_EQ(panes.listPath(), dir.pathOf("a")) << "Apri shows the folder in the list at once";

    pick(panes, panes.node("b"), QStringLiteral("Rinomina"));
    bool editing = false;
    for (const QLineEdit *editor : panes.tree.findChildren<QLineEdit *>())
        editing = editing || (editor->isVisible() && editor->text() == QStringLiteral("b"));
    EXPECT_TRUE(editing) << "Rinomina opens the caption editor on the node";
}
