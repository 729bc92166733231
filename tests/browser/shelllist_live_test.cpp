// The folder list kept current by real change notices on real folders, its key table, the
// rename in place and the focus it takes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QElapsedTimer>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QStyle>
#include <QTest>
#include <QDir>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "browser/changenoticecoalescer.h"
#include "browser/devicechangehandler.h"
#include "browser/folderlister.h"
#include "browser/shelllist.h"
#include "platform/file_verbs.h"
#include "platform/mount_monitor.h"
#include "platform/shell_namespace.h"
#include "tests/browser/shownlist.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

using nomaro::ShellList;
using nomaro::platform::ClipboardItems;
using nomaro::test::ShownList;
using nomaro::test::TempDir;

namespace {

using Names = std::vector<std::string>;

// Waits for `condition` up to `ms`, letting the list handle its notices and timer meanwhile.
template <typename F>
bool waitFor(F condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

nomaro::ChangeNoticeCoalescer &coalescerOf(ShownList &shown)
{
    return shown.list.lister().coalescer();
}

// A notice has arrived and waits for its delay.
bool noticeWaits(ShownList &shown)
{
    return waitFor([&] { return coalescerOf(shown).isWaiting(); }, 5000);
}

// Delivers a device change at once, as the handler would a moment later.
void broadcastNow(int event, const nomaro::platform::Drive &drive)
{
    nomaro::DeviceChangeHandler::instance()->broadcast(event, drive);
    QCoreApplication::sendPostedEvents(nomaro::DeviceChangeHandler::instance());
}

// A shown list that has the keyboard focus.
void focus(ShownList &shown)
{
    shown.list.activateWindow();
    shown.list.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.list));
    ASSERT_TRUE(waitFor([&] { return shown.list.hasFocus(); }, 2000));
}

void appendTo(const std::string &path, const std::string &bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

// The caption editor that F2 opens on the current row; nullptr when none opens.
QLineEdit *openEditor(ShownList &shown)
{
    // Closed editors go later; they must not be taken for the new one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::keyClick(&shown.list, Qt::Key_F2);
    for (QLineEdit *editor : shown.list.findChildren<QLineEdit *>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

// Types `caption` into the caption editor of the current row and presses Enter.
void renameCurrent(ShownList &shown, const QString &caption)
{
    QLineEdit *editor = openEditor(shown);
    ASSERT_NE(editor, nullptr) << "F2 opened no editor";
    editor->setText(caption);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

// Processor time used so far by every thread of this process but the main one, in clock ticks.
long otherThreadsTicks()
{
    long ticks = 0;
    const QString self = QString::number(::getpid());
    for (const QString &task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (task == self)
            continue;
        std::ifstream stat("/proc/self/task/" + task.toStdString() + "/stat");
        std::string line;
        std::getline(stat, line);
        const std::size_t end = line.rfind(')');
        if (end == std::string::npos)
            continue;
        // After the name: state, then fields 4 to 13, then user and system time.
        std::istringstream fields(line.substr(end + 2));
        std::string field;
        for (int i = 0; i < 11; ++i)
            fields >> field;
        long user = 0;
        long system = 0;
        fields >> user >> system;
        ticks += user + system;
    }
    return ticks;
}

} // namespace

TEST(ShellListLive, ACreatedFileIsAppendedAfterTheDelayOfTheFocus)
{
    struct Case
    {
        const char *what;
        bool focused;
        int quietMs;   // the file is not shown yet this long after its creation
        int withinMs;  // and is shown before this
    };
    const Case cases[] = {
        {"with the focus, after 400 ms", true, 200, 3000},
        {"without the focus, after 2000 ms", false, 1200, 6000},
    };
    for (const Case &c : cases) {
        TempDir dir;
        dir.writeFile("b");
        dir.writeFile("c");
        ShownList shown(dir.path());
        if (c.focused)
            focus(shown);
        else
            shown.list.clearFocus();
        const int fills = shown.fills;

        QElapsedTimer clock;
        clock.start();
        dir.writeFile("a");
        QTest::qWait(c.quietMs);
        EXPECT_EQ(shown.names(), (Names{"b", "c"})) << c.what;
        EXPECT_TRUE(waitFor([&] { return shown.list.itemCount() == 3; }, c.withinMs)) << c.what;
        EXPECT_GE(clock.elapsed(), c.quietMs) << c.what;
        EXPECT_EQ(shown.names(), (Names{"b", "c", "a"})) << c.what << ": appended at the end, not sorted";
        EXPECT_EQ(shown.fills, fills + 1) << c.what << ": one incremental refresh";
    }
}

TEST(ShellListLive, ADeletedFileLeavesWithItsSelectionAndTheOthersKeepTheirs)
{
    TempDir dir;
    for (const char *name : {"a", "b", "c", "d"})
        dir.writeFile(name);
    ShownList shown(dir.path());
    focus(shown);
    shown.list.selectItem(shown.indexOf("b"), true);
    shown.list.selectItem(shown.indexOf("d"), true);
    shown.list.selectionModel()->setCurrentIndex(shown.list.model()->index(shown.indexOf("d"), 0),
                                                 QItemSelectionModel::NoUpdate);

    ::unlink(dir.pathOf("b").c_str());
    ASSERT_TRUE(waitFor([&] { return shown.list.itemCount() == 3; }, 4000));
    EXPECT_EQ(shown.names(), (Names{"a", "c", "d"}));
    EXPECT_EQ(shown.list.selectedCount(), 1);
    EXPECT_TRUE(shown.list.isItemSelected(shown.indexOf("d")));
    EXPECT_EQ(shown.list.currentIndex().row(), shown.indexOf("d")) << "the current row stays with its item";
}

TEST(ShellListLive, AFileWrittenByAnotherProgramGetsARowAtTheEndAndF5SortsAgain)
{
    TempDir dir;
    for (const char *name : {"a", "b", "c"})
        dir.writeFile(name, "x");
    ShownList shown(dir.path());
    focus(shown);
    const int fills = shown.fills;

    appendTo(dir.pathOf("a"), std::string(5000, 'y'));
    ASSERT_TRUE(waitFor([&] { return shown.names() == Names{"b", "c", "a"}; }, 4000)) << "rows: " << shown.names().size();
    EXPECT_EQ(shown.text(2, 1), QStringLiteral("5 KB")) << "the new row shows the new size";
    EXPECT_EQ(shown.fills, fills + 1);

    dir.writeFile("0 first");
    ASSERT_TRUE(waitFor([&] { return shown.list.itemCount() == 4; }, 4000));
    EXPECT_EQ(shown.names(), (Names{"b", "c", "a", "0 first"}));
    QTest::keyClick(&shown.list, Qt::Key_F5);
    EXPECT_EQ(shown.names(), (Names{"0 first", "a", "b", "c"}));
}

TEST(ShellListLive, ABurstOfTenThousandFilesGivesOneIncrementalRefresh)
{
    TempDir dir;
    dir.writeFile("first");
    ShownList shown(dir.path());
    // Without the focus the delay is long enough that a busy machine does not split the burst.
    shown.list.clearFocus();
    const int fills = shown.fills;
    for (int i = 0; i < 10000; ++i) {
        dir.writeFile("f" + std::to_string(i));
        if (i % 500 == 0)
            QCoreApplication::processEvents(); // the notices arrive while the files are made
    }
    ASSERT_TRUE(noticeWaits(shown));
    EXPECT_EQ(shown.fills, fills) << "the burst waits for its delay";
    shown.list.flushPendingRefresh();
    EXPECT_EQ(shown.list.itemCount(), 10001);
    EXPECT_EQ(shown.fills, fills + 1);
    EXPECT_EQ(shown.list.itemName(0), "first");
}

TEST(ShellListLive, SwitchingDynamicRefreshOffStopsTheUpdatesAndOnStartsThemAgain)
{
    TempDir dir;
    dir.writeFile("a");
    ShownList shown(dir.path());
    focus(shown);
    using nomaro::sloDynamicRefresh;
    ASSERT_EQ(shown.list.lister().watchedPath(), dir.path());
    shown.list.SetOptions(shown.list.Options() & ~nomaro::ShellListOptions(sloDynamicRefresh));
    EXPECT_EQ(shown.list.lister().watchedPath(), "") << "no watch, so no notice can come";
    dir.writeFile("b");
    QCoreApplication::processEvents();
    shown.list.flushPendingRefresh();
    EXPECT_EQ(shown.names(), (Names{"a"}));

    shown.list.SetOptions(shown.list.Options() | sloDynamicRefresh);
    dir.writeFile("c");
    ASSERT_TRUE(noticeWaits(shown));
    shown.list.flushPendingRefresh();
    EXPECT_EQ(shown.names(), (Names{"a", "b", "c"}));
}

TEST(ShellListLive, TheListsOwnRenameGivesTheRowItsNameWithoutASecondRefresh)
{
    TempDir dir;
    dir.writeFile("old.txt", "1");
    dir.writeFile("z");
    ShownList shown(dir.path());
    focus(shown);
    const int fills = shown.fills;

    shown.list.setCurrentIndex(shown.list.model()->index(0, 0));
    renameCurrent(shown, QStringLiteral("  new.txt  "));
    EXPECT_TRUE(nomaro::test::exists(dir.pathOf("new.txt"))) << "the blanks around the name are trimmed";
    EXPECT_FALSE(nomaro::test::exists(dir.pathOf("old.txt")));
    EXPECT_EQ(shown.names(), (Names{"new.txt", "z"}));
    EXPECT_EQ(shown.text(0, 0), QStringLiteral("new.txt"));
    ASSERT_TRUE(waitFor([&] { return !coalescerOf(shown).ignoresNextNotice(); }, 5000)) << "the rename's notice came";
    EXPECT_FALSE(coalescerOf(shown).isWaiting()) << "its own notice is not news";
    EXPECT_EQ(shown.fills, fills);

    dir.writeFile("later");
    ASSERT_TRUE(noticeWaits(shown)) << "the next notice is not swallowed";
    shown.list.flushPendingRefresh();
    EXPECT_EQ(shown.list.itemCount(), 3);
}

TEST(ShellListLive, ARefusedRenameKeepsTheCaptionReplacesNothingAndSaysWhy)
{
    TempDir dir;
    dir.writeFile("a.txt", "mine");
    dir.writeFile("b.txt", "other");
    ShownList shown(dir.path());
    focus(shown);

    struct Case
    {
        const char *what;
        QString caption;
        QString says;
    };
    const Case cases[] = {
        {"an existing name", QStringLiteral("b.txt"), QStringLiteral("Impossibile rinominare")},
        {"a name with a slash", QStringLiteral("x/y"), QStringLiteral("Nome non valido")},
        {"blanks only", QStringLiteral("   "), QStringLiteral("Nome non valido")},
    };
    for (const Case &c : cases) {
        shown.list.setCurrentIndex(shown.list.model()->index(shown.indexOf("a.txt"), 0));
        nomaro::test::ModalAnswerer answer(QStringLiteral("OK"));
        renameCurrent(shown, c.caption);
        ASSERT_EQ(answer.count(), 1) << c.what;
        EXPECT_EQ(answer.titles().front(), QStringLiteral("Errore")) << c.what;
        EXPECT_TRUE(answer.texts().front().contains(c.says)) << c.what << ": " << answer.texts().front().toStdString();
        EXPECT_EQ(shown.names(), (Names{"a.txt", "b.txt"})) << c.what;
        EXPECT_EQ(nomaro::test::readFile(dir.pathOf("b.txt")), "other") << c.what;
        EXPECT_EQ(nomaro::test::readFile(dir.pathOf("a.txt")), "mine") << c.what;
    }
}

TEST(ShellListLive, EscapeAndAnUnchangedNameLeaveEverythingAndDoNotSwallowTheNextNotice)
{
    TempDir dir;
    dir.writeFile("a");
    ShownList shown(dir.path());
    focus(shown);
    shown.list.setCurrentIndex(shown.list.model()->index(0, 0));
    QLineEdit *editor = openEditor(shown);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("a")) << "the editor starts from the editing name";
    editor->setText(QStringLiteral("other"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(nomaro::test::exists(dir.pathOf("a")));

    renameCurrent(shown, QStringLiteral("a"));
    dir.writeFile("b");
    EXPECT_TRUE(waitFor([&] { return shown.list.itemCount() == 2; }, 4000));
}

TEST(ShellListLive, ANoticeDuringACaptionEditWaitsForTheEditToEnd)
{
    TempDir dir;
    dir.writeFile("a");
    ShownList shown(dir.path());
    focus(shown);
    shown.list.setCurrentIndex(shown.list.model()->index(0, 0));
    QLineEdit *editor = openEditor(shown);
    ASSERT_NE(editor, nullptr);
    dir.writeFile("b");
    ASSERT_TRUE(noticeWaits(shown));
    shown.list.flushPendingRefresh();
    EXPECT_EQ(shown.list.itemCount(), 1) << "no refresh under the editor";
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.names(), (Names{"a", "b"}));
}

TEST(ShellListLive, TheKeyTableSelectsAllAndRefreshes)
{
    TempDir dir;
    dir.writeFile("b");
    dir.writeFile("a");
    ShownList shown(dir.path());
    QTest::keyClick(&shown.list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(shown.list.selectedCount(), 2);
    const int fills = shown.fills;
    QTest::keyClick(&shown.list, Qt::Key_F5);
    EXPECT_EQ(shown.fills, fills + 1);
}

TEST(ShellListLive, ADeviceChangeRefillsTheComputerFolderOnly)
{
    TempDir dir;
    ShownList shown(dir.path());
    nomaro::platform::Drive drive;
    drive.mountPoint = "/media/stick";
    const auto broadcast = [&](int event) { broadcastNow(event, drive); };
    int fills = shown.fills;
    broadcast(nomaro::platform::DeviceArrival);
    EXPECT_EQ(shown.fills, fills) << "a file-system folder is not refilled";

    shown.list.Folder().SetSpecialFolder(nomaro::platform::SpecialDrives);
    fills = shown.fills;
    broadcast(nomaro::platform::DeviceArrival);
    EXPECT_EQ(shown.fills, fills + 1);
    broadcast(nomaro::platform::DeviceRemoveComplete);
    EXPECT_EQ(shown.fills, fills + 2);
    broadcast(0x8006);
    EXPECT_EQ(shown.fills, fills + 2) << "other device events are not acted on";
}

TEST(ShellListLive, TakingTheFocusByTheKeyboardWithNothingSelectedSelectsTheCurrentOrFirstRow)
{
    TempDir dir;
    const std::string sub = dir.makeFolder("sub");
    dir.writeFile("file");
    ShownList shown(dir.path());
    shown.list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown.list));
    shown.list.clearFocus();
    shown.list.selectionModel()->clearCurrentIndex();
    ASSERT_EQ(shown.list.selectedCount(), 0);
    shown.list.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(shown.list.currentIndex().row(), 0);
    EXPECT_TRUE(shown.list.isItemSelected(0));
    QTest::keyClick(&shown.list, Qt::Key_Return);
    EXPECT_EQ(shown.list.Folder().Path(), sub) << "Enter opens the first row";
}

TEST(ShellListLive, TheSizeColumnIsWideEnoughForItsCaption)
{
    TempDir dir;
    const std::string a = dir.makeFolder("a");
    const std::string b = dir.makeFolder("b");
    struct Case
    {
        const char *what;
        int pointSize;
        bool designed; // the designed width stands
    };
    const Case cases[] = {
        {"a small font keeps the designed width", 5, true},
        {"a large font widens the column to its caption", 14, false},
    };
    for (const Case &c : cases) {
        ShellList list;
        QFont font = list.font();
        font.setPointSize(c.pointSize);
        list.setFont(font);
        list.show();
        list.setFolderPath(a);
        QHeaderView *header = list.header();
        // The designed width, carried to the next folder as every width is.
        header->resizeSection(1, ShellList::kDefaultWidths[1]);
        list.setFolderPath(b);
        const int caption = header->fontMetrics().horizontalAdvance(QStringLiteral("Dimensione"));
        EXPECT_GE(header->sectionSize(1), caption) << c.what;
        if (c.designed)
            EXPECT_EQ(header->sectionSize(1), ShellList::kDefaultWidths[1]) << c.what;
        else
            EXPECT_GT(header->sectionSize(1), ShellList::kDefaultWidths[1]) << c.what;
    }
}

TEST(ShellListLive, CopyLeavesTheRowsAndPasteAndDeleteAreFollowedByAnIncrementalRefresh)
{
    TempDir from;
    from.writeFile("a.txt", "mine");
    TempDir dir;
    dir.writeFile("a.txt", "theirs");
    dir.writeFile("b.txt", "b");
    ShownList source(from.path());
    source.list.selectItem(0, true);
    QTest::keyClick(&source.list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(source.names(), (Names{"a.txt"})) << "Ctrl+C leaves the rows";
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasUrls());

    ShownList shown(dir.path());
    const int fills = shown.fills;
    QTest::keyClick(&shown.list, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown.fills, fills + 1) << "Ctrl+V is followed by UpdateItems at once";
    EXPECT_EQ(shown.names(), (Names{"a.txt", "b.txt", "a (copia).txt"}));
    EXPECT_EQ(nomaro::test::readFile(dir.pathOf("a.txt")), "theirs") << "paste never replaces";

    shown.list.clearSelection();
    shown.list.selectItem(shown.indexOf("b.txt"), true);
    {
        nomaro::test::ModalAnswerer answer(QStringLiteral("No"));
        QTest::keyClick(&shown.list, Qt::Key_Delete);
        EXPECT_EQ(answer.titles(), QStringList{QStringLiteral("Conferma")});
    }
    EXPECT_TRUE(nomaro::test::exists(dir.pathOf("b.txt"))) << "No keeps the item";
    {
        nomaro::test::ModalAnswerer answer(QStringLiteral("Sì"));
        QTest::keyClick(&shown.list, Qt::Key_Delete, Qt::ShiftModifier);
        EXPECT_EQ(answer.count(), 1);
    }
    EXPECT_FALSE(nomaro::test::exists(dir.pathOf("b.txt")));
    EXPECT_EQ(shown.fills, fills + 2) << "Del is followed by UpdateItems at once";
    EXPECT_EQ(shown.names(), (Names{"a.txt", "a (copia).txt"}));
    EXPECT_EQ(shown.list.selectedCount(), 0);
}

TEST(ShellListLive, TheContextMenuOffersTheVerbsAndRenameStartsTheCaptionEditor)
{
    TempDir dir;
    dir.writeFile("a.txt");
    dir.writeFile("b.txt");
    ShownList shown(dir.path());
    const QRect second = shown.list.visualRect(shown.list.model()->index(shown.indexOf("b.txt"), 0));

    // Picks `entry` in the menu that a right click on the second row opens; gives the entries.
    const auto pick = [&](const QString &entry) {
        QStringList entries;
        QTimer::singleShot(50, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *action : menu->actions()) {
                if (!action->isSeparator())
                    entries << action->text();
            }
            for (QAction *action : menu->actions()) {
                if (action->text() == entry) {
                    menu->close();
                    action->trigger();
                    return;
                }
            }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, second.center(), shown.list.viewport()->mapToGlobal(second.center()));
        QApplication::sendEvent(shown.list.viewport(), &event);
        QCoreApplication::processEvents();
        return entries;
    };
    EXPECT_EQ(pick(QStringLiteral("Copia")), (QStringList{QStringLiteral("Apri"), QStringLiteral("Taglia"), QStringLiteral("Copia"),
                                                          QStringLiteral("Incolla"), QStringLiteral("Rinomina"),
                                                          QStringLiteral("Elimina")}));
    EXPECT_TRUE(shown.list.isItemSelected(shown.indexOf("b.txt"))) << "the row under the pointer is the one acted on";
    EXPECT_EQ(shown.list.selectedCount(), 1);
    const ClipboardItems copied = nomaro::platform::itemsFromMimeData(*QGuiApplication::clipboard()->mimeData());
    EXPECT_EQ(copied.paths, (Names{dir.pathOf("b.txt")}));
    EXPECT_FALSE(copied.cut);

    pick(QStringLiteral("Rinomina"));
    bool editing = false;
    for (const QLineEdit *editor : shown.list.findChildren<QLineEdit *>())
        editing = editing || (editor->isVisible() && editor->text() == QStringLiteral("b.txt"));
    EXPECT_TRUE(editing) << "Rinomina opens the caption editor on the row";
}

// The per-user inotify limits and the descriptor limit refuse a watch alike. The descriptor limit
// is lowered once F5 has read the folder, so the refresh that follows has no descriptor for its
// watch: the list shows the folder, says nothing, and is current again after the next F5.
TEST(ShellListLive, WithoutADescriptorForItsWatchTheListStillListsAndF5KeepsItCurrent)
{
    TempDir dir;
    dir.writeFile("a");
    dir.writeFile("b");
    ShownList shown(dir.path());
    focus(shown);
    nomaro::test::ModalAnswerer answerer(QStringLiteral("OK"));

    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    bool lowered = false;
    shown.list.OnFillComplete = [&](ShellList *) {
        struct rlimit none = saved;
        none.rlim_cur = 3; // standard input, output and error are open: nothing more
        lowered = ::setrlimit(RLIMIT_NOFILE, &none) == 0;
    };
    QTest::keyClick(&shown.list, Qt::Key_F5);
    shown.list.OnFillComplete = {};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    ASSERT_TRUE(lowered);
    EXPECT_EQ(shown.names(), (Names{"a", "b"}));

    const int fills = shown.fills;
    const long ticks = otherThreadsTicks();
    dir.writeFile("c");
    QTest::qWait(1500);
    EXPECT_EQ(shown.names(), (Names{"a", "b"})) << "the folder is not watched";
    EXPECT_EQ(shown.fills, fills);
    // A thread that spins would take most of the wait (a tick is 10 ms).
    EXPECT_LT(otherThreadsTicks() - ticks, 30) << "no thread spins without its watch";
    EXPECT_EQ(answerer.count(), 0) << "no message";

    QTest::keyClick(&shown.list, Qt::Key_F5);
    EXPECT_EQ(shown.names(), (Names{"a", "b", "c"}));
    dir.writeFile("d");
    EXPECT_TRUE(waitFor([&] { return shown.list.itemCount() == 4; }, 4000)) << "watched again once descriptors are free";
}
