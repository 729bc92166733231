#include <QAccessible>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "tests/support/controls.h"

// What a screen reader hears: the name and role that Qt's accessibility layer hands to the
// platform bridge, read through QAccessible as the bridge reads them.
namespace nomaro {
namespace {

struct ScreenReader : ::testing::Test
{
    TForm1 window;

    QAccessibleInterface *spoken(const char *name)
    {
        QWidget *widget = test::control<QWidget>(window, name);
        return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    }

    // UTF-8, so that a failure prints the text.
    std::string nameOf(const char *name)
    {
        QAccessibleInterface *control = spoken(name);
        return control ? control->text(QAccessible::Name).toStdString() : "<nessuna interfaccia>";
    }
};

TEST_F(ScreenReader, MainWindowIsAWindowNamedByItsCaption)
{
    QAccessibleInterface *main = QAccessible::queryAccessibleInterface(&window);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->role(), QAccessible::Window);
    EXPECT_EQ(main->text(QAccessible::Name).toStdString(), window.windowTitle().toStdString());
}

TEST_F(ScreenReader, PictureButtonsWithoutCaptionSpeakTheirToolTip)
{
    const std::pair<const char *, const char *> buttons[] = {
        {"SBUP1L", "Su di un livello di directory"},
        {"SBFILTRI", "Apri finestra filtri"},
        {"ADDNAMES", "Aggiungi alla lista files"},
        {"SBREMOVE", "Togli dalla lista files"},
        {"CLEARNAMES", "Cancella lista files"},
        {"SBUNDO", "Annulla i nomi nuovi"},
        {"SBUP", "Sposta su"},
        {"SBDOWN", "Sposta giù"},
    };
    for (const auto &[name, toolTip] : buttons) {
        EXPECT_EQ(nameOf(name), toolTip) << name;
        // Disabled buttons are named too: a screen reader lists them greyed.
        EXPECT_EQ(spoken(name)->role(), QAccessible::Button) << name;
    }
    // Buttons with a caption keep speaking it.
    EXPECT_EQ(nameOf("SBTRYREN"), "PROVA");
    for (const char *spin : {"STARTFROM", "INCREM"}) {
        QAccessibleInterface *field = spoken(spin);
        std::vector<std::string> arrows;
        for (int child = 0; child < field->childCount(); ++child)
            arrows.push_back(field->child(child)->text(QAccessible::Name).toStdString());
        EXPECT_EQ(arrows, (std::vector<std::string>{"Aumenta", "Diminuisci"})) << spin;
    }
}

TEST_F(ScreenReader, EveryEditFieldIsNamedByTheCaptionBesideIt)
{
    const std::pair<const char *, const char *> fields[] = {
        {"BASENAME", "Nome Base"},
        {"SCU", "User"},
        {"STARTFROM", "Parti da"},
        {"INCREM", "Incremento"},
        {"CERCA", "Cerca"},
        {"SOSTI", "Sostituisci con"},
        {"ESTEN", "New Extention"},
        {"CARLIST", "Rimuovi dal nome file i seg. caratteri e parole, separati da virgola ( Max 20 ) "
                    "con l'ordine di scrittura."},
        {"EDCERCACAR", "Cerca"},
        {"EDSOSTCAR", "Sostituisci con"},
        {"EDMARKDIR", "Marca Dir con"},
        {"EDSEP", "altro"},
        {"LISTADOC", "Lista Nomifiles"},
    };
    for (const auto &[name, caption] : fields) {
        EXPECT_EQ(nameOf(name), caption) << name;
        EXPECT_EQ(spoken(name)->role(), QAccessible::EditableText) << name;
    }
    EXPECT_EQ(spoken("CARLIST")->text(QAccessible::Description).toStdString(), "Es: A,1,DivX...");
}

TEST_F(ScreenReader, LabelsPointAtTheFieldTheyName)
{
    // The relation lets a reader move from the caption to its field and back.
    QAccessibleInterface *field = spoken("INCREM");
    ASSERT_NE(field, nullptr);
    std::vector<QObject *> labels;
    for (const auto &[label, relation] : field->relations(QAccessible::Label))
        labels.push_back(label->object());
    // Its own caption first; the group box around it labels it too.
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), test::control<QLabel>(window, "Label6"));
    EXPECT_EQ(test::control<QLabel>(window, "Label5")->buddy(), test::control<QWidget>(window, "STARTFROM"));
}

TEST_F(ScreenReader, GroupBoxesSpeakTheirOwnTitle)
{
    // Boxes inside "Opzioni lista" were all named after it.
    EXPECT_EQ(nameOf("GroupBox2"), "Opzioni lista");
    EXPECT_EQ(nameOf("GroupBox3"), "Separatore");
    EXPECT_EQ(nameOf("GroupBox7"), "Letter Case");
    EXPECT_EQ(nameOf("GroupBox6"), "Formato file");
}

TEST_F(ScreenReader, ViewsSayWhatTheyShow)
{
    EXPECT_EQ(nameOf("STV1"), "Albero delle cartelle");
    EXPECT_EQ(nameOf("SLV1"), "Contenuto della cartella");
    EXPECT_EQ(nameOf("LISTANOMI"), "Lista Files");
    EXPECT_EQ(nameOf("LISTAREN"), "Anteprima dei nomi nuovi");
}

TEST_F(ScreenReader, TabControlsAreNamedByThePageShown)
{
    for (const char *name : {"PageControl1", "PageControl2"}) {
        auto *tabs = test::control<QTabWidget>(window, name);
        for (int index : {1, tabs->count() - 1, 0}) {
            tabs->setCurrentIndex(index);
            EXPECT_EQ(nameOf(name), tabs->tabText(index).toStdString()) << name << " page " << index;
        }
    }
}

TEST_F(ScreenReader, NoFocusableControlIsSilent)
{
    // Whatever the Tab key can reach must say something.
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty())
            continue;
        QAccessibleInterface *control = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(control, nullptr) << qPrintable(widget->objectName());
        EXPECT_FALSE(control->text(QAccessible::Name).trimmed().isEmpty())
            << qPrintable(widget->objectName());
    }
}

} // namespace
} // namespace nomaro
