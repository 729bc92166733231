#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTest>
#include <unistd.h>

#include "browser/shelllist.h"
#include "browser/shelllistitemdata.h"
#include "browser/shelllistmodel.h"
#include "platform/shell_error.h"
#include "platform/shell_namespace.h"
#include "tests/browser/shownlist.h"
#include "tests/support/tempdir.h"

using nomaro::ShellList;
using nomaro::test::TempDir;

namespace {

using nomaro::test::ShownList;
using Names = std::vector<std::string>;

} // namespace

TEST(ShellList, MasksShowMatchingFilesWithoutRegardToCaseAndEveryFolder)
{
    TempDir dir;
    for (const char *name : {"A.JPG", "b.Jpeg", "c.png", ".d.jpg"})
        dir.writeFile(name);
    dir.makeFolder("sub");
    dir.makeFolder("pics.png");
    ShownList shown(dir.path());

    struct Case
    {
        const char *what;
        const char *filter;
        Names rows;
    };
    const Case cases[] = {
        {"two masks", "*.jpg;*.jpeg", {"pics.png", "sub", ".d.jpg", "A.JPG", "b.Jpeg"}},
        {"a star alone shows everything", "*", {"pics.png", "sub", ".d.jpg", "A.JPG", "b.Jpeg", "c.png"}},
        {"star dot star shows everything", "*.*", {"pics.png", "sub", ".d.jpg", "A.JPG", "b.Jpeg", "c.png"}},
        {"separators alone show only folders", ";", {"pics.png", "sub"}},
        {"empty runs between masks are dropped", ";;*.png;", {"pics.png", "sub", "c.png"}},
        {"a failing mask stops the masks after it", "*.png;bad/mask;*.jpg", {"pics.png", "sub", "c.png"}},
    };
    for (const Case &c : cases) {
        shown.list.SetFileFilter(c.filter);
        EXPECT_EQ(shown.names(), c.rows) << c.what;
    }
}

TEST(ShellList, HiddenItemsShowAndAreDrawnGhosted)
{
    TempDir dir;
    dir.writeFile(".hidden");
    dir.writeFile("plain");
    ShownList shown(dir.path());
    ASSERT_EQ(shown.names(), (Names{".hidden", "plain"}));
    const QAbstractItemModel *model = shown.list.model();
    EXPECT_TRUE(model->index(0, 0).data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(model->index(1, 0).data(Qt::ForegroundRole).isValid());

    shown.list.SetOptions(shown.list.Options() & ~nomaro::ShellListOptions(nomaro::sloShowHidden));
    EXPECT_EQ(shown.names(), (Names{"plain"}));
}

TEST(ShellList, AMaskBeginningWithABlankKeepsTheBlank)
{
    TempDir dir;
    dir.writeFile("a.txt");
    dir.writeFile(" b.txt");
    ShownList shown(dir.path());
    shown.list.SetFileFilter(" *.txt");
    EXPECT_EQ(shown.list.masks(), (Names{" *.txt"}));
    EXPECT_EQ(shown.names(), (Names{" b.txt"}));
}

TEST(ShellList, TheSameFilterTwiceDoesNotRefill)
{
    TempDir dir;
    dir.writeFile("a.txt");
    ShownList shown(dir.path());
    const int before = shown.fills;
    shown.list.SetFileFilter("*.txt");
    EXPECT_EQ(shown.fills, before + 1);
    shown.list.SetFileFilter("*.txt");
    EXPECT_EQ(shown.fills, before + 1);
    shown.list.SetFileFilter("*.doc");
    EXPECT_EQ(shown.fills, before + 2);
    EXPECT_TRUE(shown.names().empty());
}

TEST(ShellList, DesktopAndComputerHaveNoPathAndShowEverythingWhateverTheFilter)
{
    ShownList shown;
    EXPECT_TRUE(shown.list.Folder().IdList().isDesktop());
    EXPECT_TRUE(shown.list.Folder().Path().empty());
    shown.list.SetFileFilter("*.nothing");
    const Names desktop = shown.names();
    ASSERT_GE(desktop.size(), 2u);
    EXPECT_EQ(desktop.back(), "Computer");
    EXPECT_FALSE(shown.list.isDetailsMode());
    EXPECT_EQ(shown.text(static_cast<int>(desktop.size()) - 1, 2), QStringLiteral("Cartella di sistema"));

    shown.list.Folder().SetSpecialFolder(nomaro::platform::SpecialDrives);
    EXPECT_TRUE(shown.list.Folder().Path().empty());
    EXPECT_GE(shown.list.itemCount(), 1);
    EXPECT_TRUE(shown.list.isDetailsMode());
    const QAbstractItemModel *model = shown.list.model();
    QStringList captions;
    for (int column = 0; column < model->columnCount(); ++column)
        captions << model->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Nome"), QStringLiteral("Tipo"), QStringLiteral("Dimensione totale"),
                                     QStringLiteral("Spazio disponibile")}));
}

TEST(ShellList, GoUpStopsAtTheDesktopAndReachesItFromATopLevelFolder)
{
    ShownList shown;
    int changes = 0;
    shown.list.OnFolderChanged = [&](ShellList *) { ++changes; };
    shown.list.GoUp(1);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(shown.list.Folder().IdList().isDesktop());

    shown.list.setFolderPath(QFile::encodeName(QDir::homePath()).toStdString());
    EXPECT_EQ(changes, 1);
    shown.list.GoUp(1);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(shown.list.Folder().IdList().isDesktop());
    EXPECT_GE(shown.list.itemCount(), 2);

    TempDir dir;
    const std::string deep = dir.makeFolder("a/b");
    shown.list.setFolderPath(deep);
    shown.list.GoUp(1);
    EXPECT_EQ(shown.list.Folder().Path(), dir.pathOf("a"));
    shown.list.GoUp(100);
    EXPECT_TRUE(shown.list.Folder().IdList().isDesktop());
}

TEST(ShellList, RowsNeverDrawnStillGiveTheirNames)
{
    TempDir dir;
    for (int i = 0; i < 3000; ++i)
        dir.writeFile("f" + std::to_string(i));
    ShownList shown(dir.path());
    ASSERT_EQ(shown.list.itemCount(), 3000);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.list.itemName(2999), "f2999");
    EXPECT_EQ(shown.list.itemData(2999)->displayName(), QStringLiteral("f2999"));

    shown.list.SelectAll();
    EXPECT_EQ(shown.list.selectedCount(), 3000);
    EXPECT_TRUE(shown.list.isItemSelected(2500));
}

TEST(ShellList, HeaderClicksReverseTheSortColumnOrSortAnotherAscending)
{
    TempDir dir;
    dir.writeFile("img10", "1");
    dir.writeFile("img2", "12345678901234567890");
    dir.writeFile("IMG3", std::string(3000, 'x'));
    dir.makeFolder("zeta");
    ShownList shown(dir.path());
    QHeaderView *header = shown.list.header();

    EXPECT_EQ(shown.list.sortKey(), 1);
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(shown.names(), (Names{"zeta", "img2", "IMG3", "img10"}));

    shown.clickHeader(0);
    EXPECT_EQ(shown.list.sortKey(), -1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(shown.names(), (Names{"img10", "IMG3", "img2", "zeta"}));

    shown.clickHeader(0);
    EXPECT_EQ(shown.list.sortKey(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(shown.names(), (Names{"zeta", "img2", "IMG3", "img10"}));

    shown.clickHeader(1);
    EXPECT_EQ(shown.list.sortKey(), 2);
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(shown.names(), (Names{"zeta", "img10", "img2", "IMG3"}));
}

TEST(ShellList, SortingKeepsTheSelectionWithItsItems)
{
    TempDir dir;
    dir.writeFile("a");
    dir.writeFile("b");
    dir.writeFile("c");
    ShownList shown(dir.path());
    shown.list.selectItem(0, true);
    shown.list.setSortKey(-1);
    EXPECT_EQ(shown.names(), (Names{"c", "b", "a"}));
    EXPECT_TRUE(shown.list.isItemSelected(2));
    EXPECT_EQ(shown.list.selectedCount(), 1);
}

TEST(ShellList, FixedColumnsShowSizeTypeAndTime)
{
    TempDir dir;
    dir.writeFile("empty");
    dir.writeFile("one.txt", std::string(1025, 'x'));
    dir.makeFolder("sub");
    ShownList shown(dir.path());
    ASSERT_EQ(shown.names(), (Names{"sub", "empty", "one.txt"}));
    EXPECT_EQ(shown.text(0, 1), QString());
    EXPECT_EQ(shown.text(0, 2), QStringLiteral("Cartella"));
    EXPECT_EQ(shown.text(1, 1), QStringLiteral("0 KB"));
    EXPECT_EQ(shown.text(2, 1), QStringLiteral("2 KB"));
    EXPECT_FALSE(shown.text(2, 3).isEmpty());
    EXPECT_EQ(shown.list.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Dimensione"));
}

TEST(ShellList, ANameThatIsNotUtf8IsListedAndSelectedWithItsBytes)
{
    TempDir dir;
    const std::string latin1("caf\xe9.txt");
    dir.writeFile(latin1);
    dir.writeFile("line\nbreak");
    ASSERT_EQ(::symlink("nowhere", dir.pathOf("dangling").c_str()), 0);
    ShownList shown(dir.path());
    ASSERT_EQ(shown.list.itemCount(), 3);
    const int row = shown.indexOf(latin1);
    ASSERT_GE(row, 0);
    EXPECT_FALSE(shown.text(row, 0).isEmpty());
    shown.list.selectItem(row, true);
    EXPECT_EQ(shown.list.selectedCount(), 1);
    EXPECT_TRUE(shown.list.isItemSelected(row));
    EXPECT_EQ(shown.list.itemName(row), latin1);
    EXPECT_GE(shown.indexOf("line\nbreak"), 0);
    EXPECT_GE(shown.indexOf("dangling"), 0);
}

TEST(ShellList, RefreshWithoutAWindowDoesNothingAndTheWindowFillsItLater)
{
    TempDir dir;
    dir.writeFile("a");
    ShellList list;
    list.setFolderPath(dir.path());
    list.Refresh();
    EXPECT_EQ(list.itemCount(), 0);

    list.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(list.itemCount(), 1);
    EXPECT_EQ(list.itemName(0), "a");
}

TEST(ShellList, AVanishedFolderRaisesTheSystemsErrorAndShowsNoRows)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    dir.writeFile("sub/a");
    ShownList shown(sub);
    ASSERT_EQ(shown.list.itemCount(), 1);
    ::unlink((sub + "/a").c_str());
    ::rmdir(sub.c_str());
    try {
        shown.list.Refresh();
        FAIL() << "no error raised";
    } catch (const nomaro::platform::ShellError &error) {
        EXPECT_EQ(error.code(), ENOENT);
    }
    EXPECT_EQ(shown.list.itemCount(), 0);
    shown.list.GoUp(1);
    EXPECT_EQ(shown.list.Folder().Path(), dir.path());
    EXPECT_EQ(shown.list.itemCount(), 0) << "the parent is empty now";
}

TEST(ShellList, AnUnreadableFolderEndsTheFillSilently)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    const std::string locked = dir.makeFolder("locked");
    dir.writeFile("locked/a");
    ::chmod(locked.c_str(), 0100);
    ShownList shown;
    EXPECT_NO_THROW(shown.list.setFolderPath(locked));
    EXPECT_EQ(shown.list.itemCount(), 0);
}

TEST(ShellList, EnterOpensFoldersAndLinksToThemAndBackspaceGoesUp)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    ASSERT_EQ(::symlink("sub", dir.pathOf("to-sub").c_str()), 0);
    ASSERT_EQ(::symlink(".", dir.pathOf("self").c_str()), 0);
    ShownList shown(dir.path());
    shown.list.setFocus();

    shown.list.selectItem(shown.indexOf("sub"), true);
    QTest::keyClick(&shown.list, Qt::Key_Return);
    EXPECT_EQ(shown.list.Folder().Path(), sub);
    QTest::keyClick(&shown.list, Qt::Key_Backspace);
    EXPECT_EQ(shown.list.Folder().Path(), dir.path());

    shown.list.selectItem(shown.indexOf("to-sub"), true);
    QTest::keyClick(&shown.list, Qt::Key_Return);
    EXPECT_EQ(shown.list.Folder().Path(), sub);

    shown.list.setFolderPath(dir.path());
    shown.list.selectItem(shown.indexOf("self"), true);
    QTest::keyClick(&shown.list, Qt::Key_Return);
    EXPECT_EQ(shown.list.Folder().Path(), dir.path()) << "a link back to its own folder leads there, not deeper";
}

TEST(ShellList, ColumnWidthsCarryOverToTheNextFolder)
{
    TempDir dir;
    const std::string a = dir.makeFolder("a");
    const std::string b = dir.makeFolder("b");
    ShownList shown(a);
    shown.list.header()->resizeSection(0, 257);
    shown.list.setFolderPath(b);
    EXPECT_EQ(shown.list.header()->sectionSize(0), 257);
    // The size column keeps its designed width, widened only as far as its caption needs.
    const int caption = shown.list.header()->fontMetrics().horizontalAdvance(QStringLiteral("Dimensione"));
    EXPECT_GE(shown.list.header()->sectionSize(1), ShellList::kDefaultWidths[1]);
    EXPECT_GE(shown.list.header()->sectionSize(1), caption);
    EXPECT_LT(shown.list.header()->sectionSize(1), std::max(ShellList::kDefaultWidths[1], caption + 40));
}

TEST(ShellList, DefaultOptionsAreTheNamedSet)
{
    using namespace nomaro;
    const ShellListOptions named = sloAutoFill | sloNonFilesystemAncestors
        | sloDefaultKeyHandling | sloContextMenus | sloDynamicRefresh
        | sloOleDrag | sloOleDrop | sloFolderContextMenu | sloShowHidden
        | sloFilesCanBeFolders;
    EXPECT_EQ(named.toInt(), 0x3E9B);
    EXPECT_EQ(ShellList().Options(), named);
}

TEST(ShellList, WithDontChangeFolderNeitherGoUpNorEnterMoves)
{
    TempDir dir;
    dir.makeFolder("sub");
    ShownList shown(dir.path());
    shown.list.SetOptions(shown.list.Options() | nomaro::sloDontChangeFolder);
    shown.list.GoUp(1);
    EXPECT_EQ(shown.list.Folder().Path(), dir.path());
    shown.list.selectItem(shown.indexOf("sub"), true);
    shown.list.openSelection();
    EXPECT_EQ(shown.list.Folder().Path(), dir.path());
    EXPECT_EQ(shown.names(), (Names{"sub"}));
}

TEST(ShellList, SortingAfterAHeaderClickShowsTheHourglass)
{
    TempDir dir;
    dir.writeFile("a");
    dir.writeFile("b");
    ShownList shown(dir.path());
    std::vector<Qt::CursorShape> during;
    QObject::connect(shown.list.model(), &QAbstractItemModel::layoutAboutToBeChanged, [&] {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        during.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
    });
    shown.clickHeader(0);
    EXPECT_EQ(during, (std::vector<Qt::CursorShape>{Qt::WaitCursor}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ShellList, ARefreshAskedForDuringAFillEndsTheFirstCleanly)
{
    TempDir dir;
    for (const char *name : {"a", "b", "c"})
        dir.writeFile(name);
    ShownList shown(dir.path());
    int completes = 0;
    shown.list.OnFillComplete = [&](ShellList *) { ++completes; };
    const int fillsBefore = shown.fills;

    // The first child asked about creates a file and asks for a Refresh from inside the fill.
    bool asked = false;
    shown.list.OnAddItem = [&](ShellList *list, const nomaro::platform::ShellFolder &, const nomaro::platform::ItemIdList &,
                               const nomaro::platform::ItemIdList &, std::uint32_t, bool &) {
        if (!asked) {
            asked = true;
            dir.writeFile("d");
            list->Refresh();
        }
    };
    shown.list.Refresh();
    EXPECT_EQ(shown.names(), (Names{"a", "b", "c", "d"}));
    EXPECT_EQ(shown.fills - fillsBefore, 2);
    EXPECT_EQ(completes, 2);
    EXPECT_EQ(shown.list.rowModel().consistencyProblem(), "");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ShellList, AFolderThatVanishesBeforeItIsReadShowsNoRows)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    dir.writeFile("sub/a");
    ShownList shown(sub);
    ASSERT_EQ(shown.list.itemCount(), 1);
    // Gone between the binding and the reading: the fill ends silently with no rows.
    shown.list.OnFillStart = [&](ShellList *) {
        ::unlink((sub + "/a").c_str());
        ::rmdir(sub.c_str());
    };
    EXPECT_NO_THROW(shown.list.Refresh());
    EXPECT_EQ(shown.list.itemCount(), 0);
    EXPECT_EQ(shown.list.rowModel().consistencyProblem(), "");
}
