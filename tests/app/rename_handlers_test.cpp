#include "app/tform1.h"

#include "platform/beep.h"
#include "tests/support/controls.h"
#include "tests/rename/rows.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"
#include "widgets/superspin.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>

#include <string>
#include <vector>

namespace nomaro {
namespace {

using test::ModalAnswerer;
using test::TempDir;
using test::exists;
using test::readFile;

struct RenameHandlers : ::testing::Test
{
    TForm1 window;

    template<typename Widget = QWidget>
    Widget *control(const char *name)
    {
        return test::control<Widget>(window, name);
    }

    void addRow(const std::string &folder, const std::string &name, const std::string &newName)
    {
        window.fileTable().append(test::rowOf(folder, name, newName));
    }

    void addRows(const std::vector<std::string> &names)
    {
        for (const std::string &name : names)
            addRow("/nowhere", name, name);
        window.RefreshViews();
    }

    std::vector<std::string> names()
    {
        std::vector<std::string> result;
        for (int i = 0; i < window.fileTable().rowCount(); ++i)
            result.push_back(window.fileTable().row(i).name);
        return result;
    }

    std::vector<std::string> newNames()
    {
        std::vector<std::string> result;
        for (int i = 0; i < window.fileTable().rowCount(); ++i)
            result.push_back(window.fileTable().row(i).newName);
        return result;
    }

    // What LISTAREN shows in a column, top to bottom.
    QStringList shown(int column)
    {
        QStringList texts;
        const QAbstractItemModel *model = control<QTableView>("LISTAREN")->model();
        for (int i = 0; i < model->rowCount(); ++i)
            texts << model->index(i, column).data().toString();
        return texts;
    }

    int selectedRow()
    {
        const QModelIndexList selected =
            control<QTableView>("LISTAREN")->selectionModel()->selectedIndexes();
        return selected.isEmpty() ? -1 : selected.first().row();
    }

    QString statusPanel3() { return control<QLabel>("StatusBar1Panel3")->text(); }

    void showRulePage(int index) { control<QTabWidget>("PageControl2")->setCurrentIndex(index); }
    void type(const char *field, const QString &text) { control<QLineEdit>(field)->setText(text); }
};

TEST_F(RenameHandlers, RinominaCountsRenamedAndFailedRowsAndASecondPressRenamesTheRest)
{
    TempDir dir;
    dir.writeFile("1.jpg", "one");
    dir.writeFile("2.jpg", "two");
    addRow(dir.path(), "1.jpg", "2.jpg");
    addRow(dir.path(), "2.jpg", "3.jpg");
    window.RefreshViews();

    {
        ModalAnswerer answer(QStringLiteral("Sì"));
        window.SBRENClick();
        EXPECT_EQ(answer.titles(), (QStringList{QStringLiteral("Conferma"), QStringLiteral("Errore")}));
        EXPECT_EQ(answer.texts(), (QStringList{QStringLiteral("Effettuo la rinomina reale dei files ?"),
                                               QStringLiteral("1 files non sono stati rinominati.")}));
    }
    EXPECT_EQ(statusPanel3(), QStringLiteral("1 files rinominati"));
    EXPECT_EQ(names(), (std::vector<std::string>{"1.jpg", "3.jpg"}));
    EXPECT_EQ(shown(0), (QStringList{QStringLiteral("1.jpg"), QStringLiteral("3.jpg")}));
    EXPECT_EQ(shown(1), (QStringList{QStringLiteral("2.jpg"), QStringLiteral("3.jpg")}));

    {
        ModalAnswerer answer(QStringLiteral("Sì"));
        window.SBRENClick();
        EXPECT_EQ(answer.count(), 1) << "no error box when every row is renamed";
    }
    EXPECT_EQ(statusPanel3(), QStringLiteral("2 files rinominati"));
    EXPECT_EQ(readFile(dir.pathOf("2.jpg")), "one");
    EXPECT_EQ(readFile(dir.pathOf("3.jpg")), "two");
}

TEST_F(RenameHandlers, AnsweringNoChangesNothing)
{
    TempDir dir;
    dir.writeFile("a.txt", "a");
    addRow(dir.path(), "a.txt", "b.txt");
    window.RefreshViews();
    const QString before = statusPanel3();

    ModalAnswerer answer(QStringLiteral("No"));
    window.SBRENClick();
    EXPECT_EQ(answer.count(), 1);
    EXPECT_EQ(statusPanel3(), before);
    EXPECT_EQ(names(), (std::vector<std::string>{"a.txt"}));
    EXPECT_EQ(newNames(), (std::vector<std::string>{"b.txt"}));
    EXPECT_TRUE(exists(dir.pathOf("a.txt")));
    EXPECT_FALSE(exists(dir.pathOf("b.txt")));
}

TEST_F(RenameHandlers, UndoAfterProvaRestoresTheCurrentNames)
{
    addRows({"banana.txt", "BANANA.txt"});
    showRulePage(1);
    type("CERCA", QStringLiteral("a"));
    type("SOSTI", QStringLiteral("o"));
    window.SBTRYRENClick();
    EXPECT_EQ(shown(1), (QStringList{QStringLiteral("bonana.txt"), QStringLiteral("BANANA.txt")}));

    window.SBUNDOClick();
    EXPECT_EQ(newNames(), names());
    EXPECT_EQ(shown(1), shown(0));
}

TEST_F(RenameHandlers, UndoAfterAFullRenamingChangesNothing)
{
    TempDir dir;
    dir.writeFile("a.txt");
    addRow(dir.path(), "a.txt", "b.txt");
    window.RefreshViews();
    {
        ModalAnswerer answer(QStringLiteral("Sì"));
        window.SBRENClick();
    }
    window.SBUNDOClick();
    EXPECT_EQ(names(), (std::vector<std::string>{"b.txt"}));
    EXPECT_EQ(newNames(), (std::vector<std::string>{"b.txt"}));
}

struct StoppingCase
{
    const char *what;
    int page;
    const char *field;
    QString message;
    bool rewritten; // whether the new names are given again despite the message
};

class StoppingMessages : public RenameHandlers, public ::testing::WithParamInterface<StoppingCase> {};

TEST_P(StoppingMessages, ShowInAnErrorBox)
{
    addRow("/nowhere", "a.txt", "earlier.txt");
    window.RefreshViews();
    showRulePage(GetParam().page);
    type(GetParam().field, QString());

    ModalAnswerer answer(QStringLiteral("OK"));
    window.SBTRYRENClick();
    EXPECT_EQ(answer.titles(), QStringList{QStringLiteral("Errore")});
    EXPECT_EQ(answer.texts(), QStringList{GetParam().message});
    EXPECT_EQ(newNames().front(), GetParam().rewritten ? "a.txt" : "earlier.txt");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoppingMessages,
    ::testing::Values(
        StoppingCase{"empty_base_name_stops", 0, "BASENAME", QStringLiteral("Nome Base vuoto"), false},
        StoppingCase{"empty_search_stops", 1, "CERCA", QStringLiteral("Campo Cerca vuoto"), false},
        StoppingCase{"empty_word_list_goes_on", 3, "CARLIST",
                     QStringLiteral("Campo Caratteri vuoto"), true},
        StoppingCase{"empty_character_stops", 4, "EDCERCACAR", QStringLiteral("Campo Cerca vuoto"),
                     false}),
    [](const auto &info) { return std::string(info.param.what); });

TEST_F(RenameHandlers, ProvaRunsTheRuleOfThePageShowing)
{
    addRows({"Il.mio.film.avi", "foto.jpg"});
    showRulePage(2);
    type("ESTEN", QStringLiteral("png"));
    window.SBTRYRENClick();
    EXPECT_EQ(newNames(), (std::vector<std::string>{"Il.mio.film.png", "foto.png"}));

    showRulePage(4);
    window.SBTRYRENClick(); // the page's defaults: "." becomes " "
    EXPECT_EQ(newNames(), (std::vector<std::string>{"Il mio film.avi", "foto.jpg"}));
}

TEST_F(RenameHandlers, SequentialRuleReadsTheSpinFields)
{
    addRows({"a.jpg", "b.JPG", "c"});
    showRulePage(0);
    type("BASENAME", QStringLiteral("Vacanze"));
    window.SBTRYRENClick();
    EXPECT_EQ(newNames(), (std::vector<std::string>{"Vacanze_00.jpg", "Vacanze_01.JPG", "Vacanze_02"}));

    // Start and step are rounded, a half to the even neighbour.
    control<SuperSpin>("STARTFROM")->setValue(2.5);
    control<SuperSpin>("INCREM")->setValue(1.5);
    window.SBTRYRENClick();
    EXPECT_EQ(newNames(), (std::vector<std::string>{"Vacanze_02.jpg", "Vacanze_04.JPG", "Vacanze_06"}));
}

TEST_F(RenameHandlers, EchoLabelsShowTheWholeFirstCharacter)
{
    type("EDCERCACAR", QStringLiteral("èx"));
    EXPECT_EQ(control<QLabel>("LBCERCACAR")->text(), QStringLiteral("<è>"));
    type("EDCERCACAR", QString());
    EXPECT_EQ(control<QLabel>("LBCERCACAR")->text(), QStringLiteral("<>"));
    type("EDSOSTCAR", QStringLiteral("-"));
    EXPECT_EQ(control<QLabel>("LBSOSTCAR")->text(), QStringLiteral("<->"));
}

TEST_F(RenameHandlers, MovedRowStaysSelected)
{
    addRows({"a", "b", "c", "d"});
    control<QTableView>("LISTAREN")->selectRow(2);
    window.SBUPClick();
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "c", "b", "d"}));
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(shown(0).at(1), QStringLiteral("c"));

    window.SBDOWNClick();
    window.SBDOWNClick();
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "d", "c"}));
    EXPECT_EQ(selectedRow(), 3);
}

TEST_F(RenameHandlers, ColumnClicksSortAndNewNamesBeeps)
{
    addRows({"b.txt", "A.txt", "c.txt"});
    window.LISTARENColumnClick(0);
    EXPECT_EQ(shown(0), (QStringList{QStringLiteral("c.txt"), QStringLiteral("b.txt"),
                                     QStringLiteral("A.txt")}));
    const int beeps = platform::beepCount();
    window.LISTARENColumnClick(1);
    EXPECT_EQ(platform::beepCount(), beeps + 1);
    EXPECT_EQ(names(), (std::vector<std::string>{"c.txt", "b.txt", "A.txt"}));
    window.LISTARENColumnClick(0);
    EXPECT_EQ(names(), (std::vector<std::string>{"A.txt", "b.txt", "c.txt"}));
}

} // namespace
} // namespace nomaro
