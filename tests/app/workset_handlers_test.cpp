#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "app/tform1.h"
#include "browser/shelllist.h"
#include "platform/beep.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"
#include "workset/tform2.h"

namespace nomaro {
namespace {

const char *const kSevenButtons[] = {"CLEARNAMES", "SBREMOVE", "SBUP", "SBDOWN",
                                     "SBTRYREN",   "SBUNDO",   "SBREN"};

struct WorkingSet : ::testing::Test
{
    TForm1 window;
    TForm2 filterDialog{&window};
    ShellList *list = window.findChild<ShellList *>(QStringLiteral("SLV1"));
    QTableView *names = window.findChild<QTableView *>(QStringLiteral("LISTANOMI"));
    QTableView *renames = window.findChild<QTableView *>(QStringLiteral("LISTAREN"));

    WorkingSet()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        window.setFilterDialog(&filterDialog);
        // The folder list fills itself only once its window exists.
        window.show();
        QCoreApplication::processEvents();
    }
    ~WorkingSet() override { QLocale::setDefault(QLocale::c()); }

    void press(const char *name)
    {
        window.findChild<QAbstractButton *>(QLatin1String(name))->click();
    }

    // Shows `folder` in the folder list with the named items selected, then presses ADDNAMES.
    void addFrom(const std::string &folder, std::initializer_list<std::string> selected)
    {
        list->setFolderPath(folder);
        for (const std::string &name : selected) {
            bool found = false;
            for (int i = 0; i < list->itemCount(); ++i) {
                if (list->itemName(i) == name) {
                    list->selectItem(i, true);
                    found = true;
                }
            }
            ASSERT_TRUE(found) << name;
        }
        press("ADDNAMES");
    }

    QStringList listed() const
    {
        QStringList captions;
        for (int row = 0; row < names->model()->rowCount(); ++row)
            captions << names->model()->index(row, 0).data().toString();
        return captions;
    }

    QString renameCell(int row, int column) const
    {
        return renames->model()->index(row, column).data().toString();
    }

    QString panel(int index) const
    {
        return window.findChild<QLabel *>(QStringLiteral("StatusBar1Panel%1").arg(index))->text();
    }

    bool sevenButtonsEnabled(bool expected) const
    {
        for (const char *name : kSevenButtons)
            if (window.findChild<QAbstractButton *>(QLatin1String(name))->isEnabled() != expected)
                return false;
        return true;
    }

    void selectListed(std::initializer_list<int> rows)
    {
        names->selectionModel()->clearSelection();
        for (int row : rows)
            names->selectionModel()->select(names->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

TEST_F(WorkingSet, AddingWithNothingSelectedBeepsAndChangesNothing)
{
    test::TempDir dir;
    dir.writeFile("a.txt");
    const int beeps = platform::beepCount();
    addFrom(dir.path(), {});
    EXPECT_EQ(platform::beepCount(), beeps + 1);
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(panel(1), QStringLiteral("Files Selezionati :"));
    EXPECT_TRUE(sevenButtonsEnabled(false));
}

TEST_F(WorkingSet, AddedRowsFillBothViewsAndTheCounters)
{
    test::TempDir dir;
    dir.writeFile("IMG_0001.jpg", std::string(1536, 'x'));
    dir.makeFolder("Vacanze");
    dir.writeFile("altro.txt");
    addFrom(dir.path(), {"IMG_0001.jpg", "Vacanze"});

    EXPECT_EQ(listed().size(), 2);
    EXPECT_TRUE(listed().contains(QStringLiteral("<Vacanze>")));
    const int file = listed().indexOf(QStringLiteral("IMG_0001.jpg"));
    ASSERT_GE(file, 0);
    EXPECT_EQ(renameCell(file, 1), QStringLiteral("IMG_0001.jpg"));
    EXPECT_EQ(renameCell(file, 2), QStringLiteral("       2"));
    EXPECT_EQ(renameCell(file, 4), QStringLiteral(".jpg"));
    EXPECT_EQ(renameCell(file, 5), QString::fromStdString(dir.path()));
    EXPECT_EQ(renameCell(1 - file, 2), QStringLiteral("       0"));

    EXPECT_TRUE(names->selectionModel()->isRowSelected(0, QModelIndex()));
    EXPECT_TRUE(renames->selectionModel()->isRowSelected(0, QModelIndex()));
    EXPECT_TRUE(sevenButtonsEnabled(true));
    EXPECT_EQ(panel(0), QStringLiteral("Files nella cartella : 3"));
    EXPECT_EQ(panel(1), QStringLiteral("Files Selezionati : 2"));
    EXPECT_EQ(panel(2), QStringLiteral("Files da Rinominare : 2"));
}

TEST_F(WorkingSet, ADisplayNameAlreadyListedIsRefusedWithTheBeep)
{
    test::TempDir first;
    test::TempDir second;
    first.writeFile("a.txt");
    second.writeFile("a.txt");
    second.writeFile("Foto");
    test::TempDir third;
    third.makeFolder("Foto");

    addFrom(first.path(), {"a.txt"});
    int beeps = platform::beepCount();
    addFrom(first.path(), {"a.txt"});
    EXPECT_EQ(platform::beepCount(), beeps + 1) << "the same file twice";
    addFrom(second.path(), {"a.txt"});
    EXPECT_EQ(platform::beepCount(), beeps + 2) << "a file of the same name from another folder";

    beeps = platform::beepCount();
    addFrom(second.path(), {"Foto"});
    addFrom(third.path(), {"Foto"});
    EXPECT_EQ(platform::beepCount(), beeps);
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("Foto"), QStringLiteral("<Foto>")}));
    EXPECT_EQ(window.IndexOfListedName("<Foto>"), 2);
    EXPECT_EQ(window.IndexOfListedName("A.TXT"), -1) << "the comparison is case-sensitive";
    EXPECT_EQ(window.IndexOfListedName("Foto"), 1);
}

TEST_F(WorkingSet, ANameThatIsNotUtf8IsAddedWithItsBytes)
{
    test::TempDir dir;
    const std::string latin1 = "caff\xE8.txt";
    dir.writeFile(latin1);
    addFrom(dir.path(), {latin1});
    ASSERT_EQ(window.fileTable().rowCount(), 1);
    EXPECT_EQ(window.fileTable().row(0).name, latin1);
    EXPECT_EQ(listed().size(), 1);
}

TEST_F(WorkingSet, TwoNamesThatDifferOnlyInBytesThatAreNotUtf8AreBothAdded)
{
    test::TempDir dir;
    const std::string grave = "caff\xE8.txt";
    const std::string acute = "caff\xE9.txt";
    dir.writeFile(grave);
    dir.writeFile(acute);
    addFrom(dir.path(), {grave});
    const int beeps = platform::beepCount();
    addFrom(dir.path(), {acute});
    EXPECT_EQ(platform::beepCount(), beeps);
    ASSERT_EQ(window.fileTable().rowCount(), 2);
    EXPECT_EQ(window.IndexOfListedName(grave), 0);
    EXPECT_EQ(window.IndexOfListedName(acute), 1);
}

TEST_F(WorkingSet, RemovingRowsOneAndThreeKeepsTheOthersInOrder)
{
    test::TempDir dir;
    for (const char *name : {"r0", "r1", "r2", "r3", "r4"})
        dir.writeFile(name);
    addFrom(dir.path(), {"r0", "r1", "r2", "r3", "r4"});
    const QStringList before = listed();
    ASSERT_EQ(before.size(), 5);
    selectListed({1, 3});
    press("SBREMOVE");
    EXPECT_EQ(listed(), (QStringList{before[0], before[2], before[4]}));
    EXPECT_EQ(panel(2), QStringLiteral("Files da Rinominare : 3"));
}

TEST_F(WorkingSet, RemovingEveryRowDisablesTheSevenButtons)
{
    test::TempDir dir;
    dir.writeFile("a");
    dir.writeFile("b");
    addFrom(dir.path(), {"a", "b"});
    selectListed({0, 1});
    press("SBREMOVE");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_TRUE(sevenButtonsEnabled(false));
    EXPECT_EQ(panel(2), QStringLiteral("Files da Rinominare : 0"));
}

TEST_F(WorkingSet, ClearingLeavesButtonsAndCountersUntilTheNextRebuild)
{
    test::TempDir dir;
    dir.writeFile("a");
    dir.writeFile("b");
    addFrom(dir.path(), {"a", "b"});
    press("CLEARNAMES");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(renames->model()->rowCount(), 0);
    EXPECT_EQ(window.fileTable().rowCount(), 0);
    EXPECT_TRUE(sevenButtonsEnabled(true));
    EXPECT_EQ(panel(2), QStringLiteral("Files da Rinominare : 2"));

    press("SBREMOVE");
    EXPECT_TRUE(sevenButtonsEnabled(false));
    EXPECT_EQ(panel(2), QStringLiteral("Files da Rinominare : 0"));
}

TEST_F(WorkingSet, AFullTableRefusesTheRestWithAWarning)
{
    test::TempDir dir;
    for (int i = 0; i < 1005; ++i)
        dir.writeFile("f" + std::to_string(i));
    list->setFolderPath(dir.path());
    for (int i = 0; i < list->itemCount(); ++i)
        list->selectItem(i, true);
    test::ModalAnswerer answerer(QStringLiteral("OK"));
    press("ADDNAMES");
    EXPECT_EQ(window.fileTable().rowCount(), 1001);
    EXPECT_EQ(listed().size(), 1001);
    ASSERT_EQ(answerer.count(), 1);
    EXPECT_EQ(answerer.texts().front(), QStringLiteral("Lista piena: 4 files non aggiunti (massimo 1001)."));
    EXPECT_EQ(answerer.titles().front(), QStringLiteral("Attenzione"));
}

TEST_F(WorkingSet, UpOneLevelShowsTheParentFolder)
{
    test::TempDir dir;
    const std::string inner = dir.makeFolder("dentro");
    list->setFolderPath(inner);
    press("SBUP1L");
    EXPECT_EQ(list->Folder().Path(), dir.path());
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(WorkingSet, TheFilterDialogHandsItsMaskToTheFolderList)
{
    const std::string before = list->FileFilter();
    {
        test::ModalDialogHandler cancel([](QWidget *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("FILTRIFILE"))->setCurrentIndex(3);
            dialog->findChild<QPushButton *>(QStringLiteral("FFNOOK"))->click();
        });
        press("SBFILTRI");
    }
    EXPECT_EQ(list->FileFilter(), before) << "Annulla changes nothing";

    {
        test::ModalDialogHandler apply([](QWidget *dialog) {
            dialog->findChild<QPushButton *>(QStringLiteral("FFOK"))->click();
        });
        press("SBFILTRI");
    }
    EXPECT_EQ(list->FileFilter(), "*.exe;*.com;*.bat") << "the dialog kept item 3";
}

} // namespace
} // namespace nomaro
