// The folder list's selection holds only what the user chose: rows that vanish take their
// selection with them, and no row is selected in their place when the list is shown again or
// takes the focus back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <string>
#include <unistd.h>
#include <vector>

#include "browser/changenoticecoalescer.h"
#include "browser/folderlister.h"
#include "browser/shelllist.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

using nomaro::ShellList;
using nomaro::test::TempDir;

namespace {

using Names = std::vector<std::string>;

// A list on the first page of a tab control and an edit field on the second, as the main
// window has them, over `folder`.
struct TabbedList
{
    QTabWidget tabs;
    ShellList *list = new ShellList;
    QLineEdit *field = new QLineEdit;

    explicit TabbedList(const std::string &folder)
    {
        list->setMultiSelect(true);
        tabs.addTab(list, QStringLiteral("Seleziona Files"));
        tabs.addTab(field, QStringLiteral("Rinomina"));
        tabs.resize(640, 300);
        tabs.show();
        tabs.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&tabs));
        list->setFolderPath(folder);
    }

    int indexOf(const std::string &name) const
    {
        for (int i = 0; i < list->itemCount(); ++i) {
            if (list->itemName(i) == name)
                return i;
        }
        return -1;
    }

    Names selected() const
    {
        Names names;
        for (int i = 0; i < list->itemCount(); ++i) {
            if (list->isItemSelected(i))
                names.push_back(list->itemName(i));
        }
        return names;
    }

    void choose(const Names &names)
    {
        list->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }, 2000));
        list->clearSelection();
        for (const std::string &name : names)
            list->selectItem(indexOf(name), true);
        list->selectionModel()->setCurrentIndex(list->model()->index(indexOf(names.back()), 0),
                                                QItemSelectionModel::NoUpdate);
    }

    // The notice of a change waits in the coalescer; it is done at once here.
    void catchUp()
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->lister().coalescer().isWaiting(); }, 5000));
        list->flushPendingRefresh();
    }
};

} // namespace

TEST(ShellListSelection, RowsThatVanishWhileAnotherPageShowsLeaveOnlyTheSurvivorsSelected)
{
    struct Case
    {
        const char *what;
        Names chosen;
        Names vanishing;
        Names selectedAfter;
    };
    const Case cases[] = {
        {"the one selected row", {"c"}, {"c"}, {}},
        {"two of three selected rows", {"b", "c", "d"}, {"b", "c"}, {"d"}},
        {"a selected row at the end", {"e"}, {"e"}, {}},
    };
    for (const Case &c : cases) {
        TempDir dir;
        for (const char *name : {"a", "b", "c", "d", "e"})
            dir.writeFile(name);
        TabbedList shown(dir.path());
        shown.choose(c.chosen);
        shown.tabs.setCurrentIndex(1);
        shown.field->setFocus();

        for (const std::string &name : c.vanishing)
            ::unlink(dir.pathOf(name).c_str());
        shown.catchUp();
        EXPECT_EQ(shown.selected(), c.selectedAfter) << c.what << ", while hidden";
        shown.tabs.setCurrentIndex(0);
        shown.list->setFocus();
        QCoreApplication::processEvents();
        EXPECT_TRUE(shown.list->hasFocus()) << c.what;
        EXPECT_EQ(shown.selected(), c.selectedAfter) << c.what << ", shown again";
    }
}

TEST(ShellListSelection, AfterDelNoOtherRowIsSelectedAndASecondDelTrashesNothing)
{
    TempDir dir;
    for (const char *name : {"a", "b", "c"})
        dir.writeFile(name);
    TabbedList shown(dir.path());
    shown.choose({"b"});
    {
        nomaro::test::ModalAnswerer answer(QStringLiteral("Sì"));
        QTest::keyClick(shown.list, Qt::Key_Delete);
        ASSERT_EQ(answer.count(), 1);
    }
    // The window comes back once the box has gone, and the focus with it.
    shown.tabs.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.tabs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.list->hasFocus(); }, 2000));
    EXPECT_FALSE(nomaro::test::exists(dir.pathOf("b")));
    EXPECT_EQ(shown.selected(), Names{});
    EXPECT_TRUE(shown.list->currentIndex().isValid()) << "the current row moves on without selecting";

    nomaro::test::ModalAnswerer answer(QStringLiteral("Sì"));
    QTest::keyClick(shown.list, Qt::Key_Delete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(nomaro::test::exists(dir.pathOf("a")));
    EXPECT_TRUE(nomaro::test::exists(dir.pathOf("c")));
}

TEST(ShellListSelection, ReachedByTheTabKeyWithNothingSelectedTheCurrentRowIsSelected)
{
    TempDir dir;
    dir.writeFile("a");
    dir.writeFile("b");
    TabbedList shown(dir.path());
    shown.list->clearSelection();
    shown.list->setCurrentIndex(shown.list->model()->index(1, 0));
    shown.list->clearSelection();
    shown.list->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_EQ(shown.selected(), Names{}) << "a window that comes back selects nothing";
    shown.list->clearFocus();
    shown.list->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(shown.selected(), Names{"b"});
}
