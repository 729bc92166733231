#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <optional>

#include "app/tform1.h"
#include "tests/support/controls.h"

namespace nomaro {
namespace {

struct MainWindow : ::testing::Test
{
    TForm1 window;

    template<typename Widget = QWidget>
    Widget *control(const char *name)
    {
        return test::control<Widget>(window, name);
    }

    QString panel(int index)
    {
        return control<QLabel>(QStringLiteral("StatusBar1Panel%1").arg(index).toLatin1().constData())->text();
    }
};

TEST(VersionText, ThreeNumbersInFieldsTwoWide)
{
    EXPECT_EQ(TForm1::VersionText({3, 2, 0, 3}), QStringLiteral(" 3. 2. 0"));
    EXPECT_EQ(TForm1::VersionText({10, 12, 3, 0}), QStringLiteral("10.12. 3"));
}

TEST_F(MainWindow, CaptionCarriesTheVersionAfterTwoBlanks)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Nomaro - Vesk - Ver.  3. 2. 0"));
}

TEST(WidthRule, DividesWhatTheFixedPanesLeave)
{
    const TForm1::WidthRule designed = TForm1::widthRule(744);
    EXPECT_EQ(designed.folderTree, 145);
    EXPECT_EQ(designed.folderList, 339);
    EXPECT_EQ(designed.workingSet, 211);
    const TForm1::WidthRule odd = TForm1::widthRule(1001);
    EXPECT_EQ(odd.folderTree + 5 + odd.folderList + 8 + 36 + odd.workingSet, 1001);
    EXPECT_GE(odd.workingSet, 210);
}

TEST_F(MainWindow, StartsAtTheCornerAsLargeAsTheWorkAreaOnTheFirstPages)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window.pos(), available.topLeft());
    EXPECT_EQ(window.width(), qMax(760, available.width()));
    EXPECT_EQ(window.height(), qMax(550, available.height()));
    EXPECT_EQ(window.minimumSize(), QSize(760, 550));
    EXPECT_EQ(control<QTabWidget>("PageControl1")->currentIndex(), 0);
    auto *rules = control<QTabWidget>("PageControl2");
    EXPECT_EQ(rules->tabText(rules->currentIndex()), QStringLiteral("Sequenziale"));
    EXPECT_EQ(window.ListFormat(), QStringLiteral("RTF"));
    EXPECT_EQ(window.fileTable().rowCount(), 0);
    EXPECT_FALSE(window.programFolder().empty());
    EXPECT_EQ(window.programFolder().back(), '/');
}

// The whole window, title bar and borders included, stands on the work area that the platform
// reports: a panel along any edge, or none.
TEST(StartPlace, TheFrameFillsTheWorkAreaThatThePlatformReports)
{
    const QRect screen(0, 0, 1920, 1080);
    const QMargins frame(4, 30, 4, 4);
    for (const QRect workArea : {QRect(0, 0, 1920, 1040), QRect(0, 32, 1920, 1048), QRect(70, 27, 1850, 1053)}) {
        const TForm1::StartPlace place = TForm1::startPlace(screen, workArea, frame, true);
        EXPECT_FALSE(place.maximize);
        const QRect frameRect(place.framePosition, place.client.grownBy(frame));
        EXPECT_EQ(frameRect, workArea);
    }
}

// Where the window manager alone knows its panels, it fits the window by maximizing it.
TEST(StartPlace, TheWindowManagerFitsTheWindowWhereTheProgramCannot)
{
    const QRect screen(0, 0, 1280, 800);
    EXPECT_TRUE(TForm1::startPlace(screen, screen, QMargins(), true).maximize) << "no work area told";
    EXPECT_TRUE(TForm1::startPlace(screen, QRect(0, 32, 1280, 768), QMargins(), false).maximize)
        << "windows placed by the compositor alone";
}

TEST_F(MainWindow, ShownFrameStandsOnTheAvailableArea)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QTRY_VERIFY(available.contains(window.frameGeometry()));
    EXPECT_TRUE(available.contains(control("StatusBar1")->geometry().translated(window.mapToGlobal(QPoint(0, 0)))));
}

TEST_F(MainWindow, StatusBarShowsItsFourPanelsLeftToRight)
{
    EXPECT_EQ(panel(0), QStringLiteral("Files nella cartella : "));
    EXPECT_EQ(panel(1), QStringLiteral("Files Selezionati :"));
    EXPECT_EQ(panel(2), QStringLiteral("Files da Rinominare : "));
    EXPECT_EQ(panel(3), QString());
    window.show();
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(control<QLabel>(QStringLiteral("StatusBar1Panel%1").arg(i).toLatin1().constData())->x(),
                  control<QLabel>(QStringLiteral("StatusBar1Panel%1").arg(i + 1).toLatin1().constData())->x());
}

TEST_F(MainWindow, PagesInOrderWithTheirCaptions)
{
    auto *pages = control<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->widget(0)->objectName(), QStringLiteral("TabSheet1"));
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Seleziona Files"));
    EXPECT_EQ(pages->widget(1)->objectName(), QStringLiteral("TabSheet2"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Ordina e Rinomina Files"));
    EXPECT_EQ(pages->widget(2)->objectName(), QStringLiteral("TabSheet7"));
    EXPECT_EQ(pages->tabText(2), QStringLiteral("Crea e Salva Lista Files"));

    auto *rules = control<QTabWidget>("PageControl2");
    const char *const names[5] = {"TabSheet3", "TabSheet4", "TabSheet5", "TabSheet6", "TabSheet8"};
    const char *const captions[5] = {"Sequenziale", "Cerca->Sostituisci", "Cambia Estensione",
                                     "Pulisci Nome", "Sostituisci carattere"};
    ASSERT_EQ(rules->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(rules->widget(i)->objectName(), QLatin1String(names[i]));
        EXPECT_EQ(rules->tabText(i), QLatin1String(captions[i]));
    }
}

struct ButtonCase
{
    const char *name;
    const char *caption;
    bool enabled;
    const char *toolTip;
};

TEST_F(MainWindow, ButtonsCarryTheirCaptionsTipsAndStartingState)
{
    const ButtonCase buttons[] = {
        {"SBUP1L", "", true, "Su di un livello di directory"},
        {"SBFILTRI", "", true, "Apri finestra filtri"},
        {"ADDNAMES", "", true, "Aggiungi alla lista files"},
        {"SBREMOVE", "", false, "Togli dalla lista files"},
        {"CLEARNAMES", "", false, "Cancella lista files"},
        {"SBTRYREN", "PROVA", false, nullptr},
        {"SBUNDO", "", false, nullptr},
        {"SBREN", "RINOMINA", false, nullptr},
        {"SBUP", "", false, nullptr},
        {"SBDOWN", "", false, nullptr},
        {"SBSELALL", "Seleziona tutto", true, nullptr},
        {"SBDESELALL", "Deseleziona tutto", true, nullptr},
        {"SBAGGLISTA", "AGGIORNA LISTA", true, nullptr},
        {"SBCOPYCB", "COPIA SELEZ IN CLIPBOARD", true, nullptr},
        {"SBSTAMPA", "STAMPA", true, nullptr},
        {"SBSAVELISTA", "SALVA LISTA IN FILE", true, nullptr},
    };
    for (const ButtonCase &expected : buttons) {
        auto *button = control<QAbstractButton>(expected.name);
        if (!button)
            continue;
        EXPECT_EQ(button->text(), QString::fromUtf8(expected.caption)) << expected.name;
        EXPECT_EQ(button->isEnabled(), expected.enabled) << expected.name;
        if (expected.toolTip) {
            EXPECT_EQ(button->toolTip(), QString::fromUtf8(expected.toolTip)) << expected.name;
        }
    }
}

TEST_F(MainWindow, PictureButtonsShowTheirPicturesAndADisabledLookWhereTheyHaveOne)
{
    const char *const pictured[] = {"SBUP1L", "SBFILTRI", "ADDNAMES", "SBREMOVE", "CLEARNAMES",
                                    "SBTRYREN", "SBUNDO", "SBREN", "SBUP", "SBDOWN",
                                    "SBAGGLISTA", "SBCOPYCB", "SBSTAMPA", "SBSAVELISTA"};
    for (const char *name : pictured) {
        auto *button = control<QAbstractButton>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_FALSE(button->icon().pixmap(20, 20).isNull()) << name;
    }
    const char *const ownDisabledLook[] = {"SBFILTRI", "SBREMOVE", "CLEARNAMES", "SBTRYREN",
                                           "SBUNDO", "SBREN", "SBUP", "SBDOWN"};
    for (const char *name : ownDisabledLook) {
        const QIcon icon = control<QAbstractButton>(name)->icon();
        EXPECT_NE(icon.pixmap(20, 20, QIcon::Disabled).toImage(), icon.pixmap(20, 20).toImage()) << name;
    }
    EXPECT_FALSE(window.windowIcon().isNull());
}

struct ChoiceCase
{
    const char *name;
    const char *caption;
    bool checked;
};

TEST_F(MainWindow, ChecksAndRadiosCarryTheirCaptionsAndDefaults)
{
    const ChoiceCase choices[] = {
        {"SC1", "_ (A_B)", true},        {"SC2", "- (A-B)", false},
        {"SC3", "space (A B)", false},   {"SC4", "User", false},
        {"ED1", "_01", true},            {"ED2", "_001", false},
        {"ED3", "_0001", false},         {"CBUPPER", "Forza in Maiuscolo", false},
        {"CBUPPEREX", "Forza in Maiuscolo", false}, {"UPLOW", "Ignora Maiuscolo / minuscolo", false},
        {"CBPATH", "Path", false},       {"CBEXT", "Estensione", false},
        {"CBDIM", "Dim.", false},        {"RBKB", "KB", true},
        {"RBMB", "MB", false},           {"CBDATAF", "Data", false},
        {"CBORA", "Ora", false},         {"MARKDIR", "Marca Dir con", true},
        {"RBSEPSPAZIO", "spazio", true}, {"RBSEPPV", "punto e virgola", false},
        {"RBSEPTAB", "tabulazione", false}, {"RBSEPALTRO", "altro", false},
        {"RBCOSI", "Così com'è", true},  {"RBUPPER", "MAIUSCOLO", false},
        {"RBLOWER", "minuscolo", false}, {"RBRTF", "RTF (Word)", true},
        {"RBTXT", "TXT (NotePad)", false}, {"RBCSV", "CSV (Excell)", false},
    };
    for (const ChoiceCase &expected : choices) {
        auto *choice = control<QAbstractButton>(expected.name);
        if (!choice)
            continue;
        EXPECT_EQ(choice->text(), QString::fromUtf8(expected.caption)) << expected.name;
        EXPECT_EQ(choice->isChecked(), expected.checked) << expected.name;
    }
}

TEST_F(MainWindow, RadioGroupsFollowTheirBoxes)
{
    control<QRadioButton>("SC3")->click();
    EXPECT_FALSE(control<QRadioButton>("SC1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("ED1")->isChecked()) << "another box keeps its choice";
    control<QRadioButton>("RBLOWER")->click();
    EXPECT_TRUE(control<QRadioButton>("RBSEPSPAZIO")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("RBKB")->isChecked());
}

TEST_F(MainWindow, EditFieldsStartWithTheirTexts)
{
    const std::pair<const char *, const char *> edits[] = {
        {"BASENAME", ""}, {"SCU", ""},    {"CERCA", ""},   {"SOSTI", ""},       {"ESTEN", ""},
        {"CARLIST", ""},  {"EDCERCACAR", "."}, {"EDSOSTCAR", " "}, {"EDMARKDIR", "<>"}, {"EDSEP", "_"},
    };
    for (const auto &[name, text] : edits) {
        if (auto *edit = control<QLineEdit>(name)) {
            EXPECT_EQ(edit->text(), QString::fromUtf8(text)) << name;
        }
    }
    EXPECT_FALSE(control<QLineEdit>("EDSEP")->isEnabled());
    EXPECT_EQ(control<QLabel>("LBCERCACAR")->text(), QStringLiteral("<.>"));
    EXPECT_EQ(control<QLabel>("LBSOSTCAR")->text(), QStringLiteral("< >"));
}

TEST_F(MainWindow, GroupBoxesAndLabelsCarryTheirCaptions)
{
    const std::pair<const char *, const char *> boxes[] = {
        {"GroupBox4", "  Carattere di separazione  "}, {"GroupBox5", "  Numerazione  "},
        {"GroupBox8", "  Lista Nomifiles  "},         {"GroupBox1", "  Includi :    "},
        {"GroupBox2", "  Opzioni lista  "},           {"GroupBox3", "  Separatore  "},
        {"GroupBox7", " Letter Case  "},              {"GroupBox6", "  Formato file  "},
    };
    for (const auto &[name, title] : boxes) {
        if (auto *box = control<QGroupBox>(name)) {
            EXPECT_EQ(box->title(), QString::fromUtf8(title)) << name;
        }
    }
    const std::pair<const char *, const char *> labels[] = {
        {"Label1", "Nome Base"},        {"Label5", "Parti da"},  {"Label6", "Incremento"},
        {"Label3", "Sostituisci con"},  {"Label4", "New Extention"},
        {"Label9", "Es:    A,1,DivX..."}, {"Label13", "Cerca"},
    };
    for (const auto &[name, text] : labels) {
        if (auto *label = control<QLabel>(name)) {
            EXPECT_EQ(label->text(), QString::fromUtf8(text)) << name;
        }
    }
}

TEST_F(MainWindow, ListViewsHaveTheirColumns)
{
    auto *names = control<QTableView>("LISTANOMI");
    ASSERT_EQ(names->model()->columnCount(), 1);
    EXPECT_EQ(names->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Lista Files"));
    EXPECT_EQ(names->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(names->editTriggers(), QAbstractItemView::NoEditTriggers);

    auto *renames = control<QTableView>("LISTAREN");
    const char *const captions[6] = {"Nomi Correnti", "Nomi Nuovi", "Dim KB", "Data", "Est.", "Path"};
    const int widths[6] = {140, 140, 60, 80, 40, 150};
    ASSERT_EQ(renames->model()->columnCount(), 6);
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(renames->model()->headerData(column, Qt::Horizontal).toString(),
                  QLatin1String(captions[column]));
        EXPECT_EQ(renames->columnWidth(column), widths[column]);
    }
    EXPECT_EQ(renames->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(renames->model()->rowCount(), 0);
    EXPECT_EQ(window.IndexOfListedName("a.txt"), -1);
}

TEST_F(MainWindow, FirstPageFollowsTheWidthRule)
{
    window.show();
    window.resize(1280, 800);
    QWidget *page = control("TabSheet1");
    page->show();
    window.FormResize();
    const TForm1::WidthRule expected = TForm1::widthRule(page->width());
    EXPECT_EQ(control("STV1")->width(), expected.folderTree);
    EXPECT_EQ(control("SLV1")->width(), expected.folderList);
    EXPECT_GE(control("LISTANOMI")->width(), 210);
}

TEST_F(MainWindow, ListingPageButtonsStayOnTheBottomEdgeWhenResized)
{
    auto *pages = control<QTabWidget>("PageControl1");
    pages->setCurrentIndex(2);
    window.show();
    QWidget *page = control("TabSheet7");
    const char *const bottomRow[4] = {"SBAGGLISTA", "SBCOPYCB", "SBSTAMPA", "SBSAVELISTA"};
    std::optional<int> besideListing;
    for (const QSize size : {QSize(760, 550), QSize(1280, 800), QSize(900, 620)}) {
        window.resize(size);
        QCoreApplication::processEvents();
        for (const char *name : bottomRow) {
            const QWidget *button = control(name);
            EXPECT_EQ(button->geometry().bottom(), page->height() - 1) << name << " at " << size.width();
            EXPECT_LT(button->x(), 480) << name << " keeps its left place";
        }
        const QWidget *options = control("GroupBox1");
        EXPECT_EQ(page->width() - options->geometry().right(), 744 - 740) << "options stay on the right";
        const int listingWidth = control("LISTADOC")->width();
        EXPECT_EQ(page->width() - listingWidth, besideListing.value_or(page->width() - listingWidth))
            << "the listing stretches with the page";
        besideListing = page->width() - listingWidth;
    }
}

TEST_F(MainWindow, RenameListStretchesWithThePage)
{
    control<QTabWidget>("PageControl1")->setCurrentIndex(1);
    window.show();
    window.resize(1280, 800);
    QCoreApplication::processEvents();
    const QWidget *page = control("TabSheet2");
    const QWidget *list = control("LISTAREN");
    EXPECT_EQ(list->x(), 265);
    EXPECT_EQ(page->width() - list->geometry().right() - 1, 744 - 265 - 479);
    EXPECT_EQ(control("SBREN")->geometry(), QRect(140, 317, 111, 32));
}

TEST_F(MainWindow, ListingFieldUsesAMonospacedTenPointFont)
{
    auto *listing = control<QTextEdit>("LISTADOC");
    EXPECT_EQ(listing->font().pointSize(), 10);
    EXPECT_TRUE(QFontInfo(listing->font()).fixedPitch());
    EXPECT_EQ(listing->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(listing->isReadOnly());
}

} // namespace
} // namespace nomaro
