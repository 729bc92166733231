#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPrinter>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/tform1.h"
#include "tests/app/listing_page.h"
#include "tests/listing/file_size_limit.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

namespace nomaro {
namespace {

using test::ModalAnswerer;
using test::ModalDialogHandler;
using test::TempDir;

// Answers the save dialog with a path; records the dialog's directory and filter.
struct SaveDialogAnswer
{
    explicit SaveDialogAnswer(const std::string &path)
        : handler([this, path](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog)
                return;
            directory = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            ++shown;
            // Typed into the name field as a user would: selectFile() races with the dialog's
            // own loading of the folder, which may clear the field again.
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(QString::fromStdString(path));
            static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it as protected
        })
    {
    }
    QString directory;
    QStringList filters;
    int shown = 0;
    ModalDialogHandler handler;
};

struct CancelSaveDialog
{
    ModalDialogHandler handler{[](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            dialog->reject();
    }};
};

using test::ListingPage;

TEST_F(ListingPage, ShowingThePageBuildsTheListingEachTime)
{
    addRow("a.txt");
    addRow("Vacanze", "/Foto", 0, 0, true);
    showListingPage();
    EXPECT_EQ(listingText(), QStringLiteral("  a\n<>Vacanze"));

    addRow("b.txt");
    EXPECT_EQ(listingText(), QStringLiteral("  a\n<>Vacanze")) << "not rebuilt by a table change";
    control<QTabWidget>("PageControl1")->setCurrentIndex(0);
    showListingPage();
    EXPECT_EQ(listingText(), QStringLiteral("  a\n<>Vacanze\n  b"));
}

// Tab and Shift+Tab move the focus out of the listing and on through the page's buttons and
// options, so that the page works from the keyboard alone; the listing takes no tab characters.
TEST_F(ListingPage, TabLeavesTheListingBothWaysAndReachesTheOptions)
{
    addRow("a.txt");
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    showListingPage();
    const QString shown = listingText();

    const auto focusFromListing = [this](Qt::Key key) {
        listing()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(focusFromListing(Qt::Key_Tab), control<QWidget>("SBSELALL"));
    EXPECT_NE(focusFromListing(Qt::Key_Backtab), listing());
    EXPECT_EQ(listingText(), shown);

    listing()->setFocus();
    QStringList reached;
    do {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    } while (QApplication::focusWidget() != listing() && reached.size() < 40);
    // A group of radio buttons takes the focus on its checked button.
    for (const char *name : {"SBAGGLISTA", "SBCOPYCB", "SBSTAMPA", "SBSAVELISTA", "CBPATH", "EDMARKDIR",
                             "RBSEPSPAZIO", "RBCOSI", "RBRTF", "LISTADOC"})
        EXPECT_TRUE(reached.contains(QLatin1String(name))) << name << " in " << reached.join(u' ').toStdString();
    EXPECT_EQ(listingText(), shown);
}

TEST_F(ListingPage, ExampleLineFromTheControls)
{
    addRow("Mare.jpg", "/Foto", 1536000, platform::toDateTimeValue(QDate(2026, 12, 7), QTime(14, 5, 9)));
    for (const char *name : {"CBPATH", "CBEXT", "CBDIM", "CBDATAF", "RBSEPPV", "RBUPPER"})
        click(name);
    EXPECT_EQ(listingText(), QStringLiteral("  /FOTO/MARE.JPG;   1.500 KB;07/12/26"));
}

TEST_F(ListingPage, EveryOptionClickRebuilds)
{
    addRow("a.txt", "/h", 2048, platform::toDateTimeValue(QDate(2026, 12, 7), QTime(14, 5, 9)));
    struct Step
    {
        const char *control;
        const char *listing;
    };
    const Step steps[] = {
        {"CBEXT", "  a.txt"},
        {"CBPATH", "  /h/a.txt"},
        {"CBDIM", "  /h/a.txt        2 KB"},
        {"RBMB", "  /h/a.txt     0 MB"},
        {"RBKB", "  /h/a.txt        2 KB"},
        {"CBDATAF", "  /h/a.txt        2 KB 07/12/26"},
        {"CBORA", "  /h/a.txt        2 KB 07/12/26 14:05:09"},
        {"RBSEPTAB", "  /h/a.txt\t       2 KB\t07/12/26 14:05:09"},
        {"RBSEPPV", "  /h/a.txt;       2 KB;07/12/26 14:05:09"},
        {"RBUPPER", "  /H/A.TXT;       2 KB;07/12/26 14:05:09"},
        {"RBLOWER", "  /h/a.txt;       2 KB;07/12/26 14:05:09"},
        {"RBSEPSPAZIO", "  /h/a.txt        2 KB 07/12/26 14:05:09"},
        {"MARKDIR", "/h/a.txt        2 KB 07/12/26 14:05:09"},
    };
    for (const Step &step : steps) {
        click(step.control);
        EXPECT_EQ(listingText(), QString::fromUtf8(step.listing)) << step.control;
    }
}

TEST_F(ListingPage, MarkerFieldRebuildsAtOnceAndFollowsItsCheckBox)
{
    addRow("a.txt");
    addRow("Dir", "/Foto", 0, 0, true);
    auto *marker = control<QLineEdit>("EDMARKDIR");
    marker->setText(QStringLiteral("[D]"));
    EXPECT_EQ(listingText(), QStringLiteral("   a\n[D]Dir"));
    marker->setText(QString());
    EXPECT_EQ(listingText(), QStringLiteral("a\nDir"));

    marker->setText(QStringLiteral("<>"));
    click("MARKDIR");
    EXPECT_FALSE(marker->isEnabled());
    EXPECT_EQ(listingText(), QStringLiteral("a\nDir"));
    click("MARKDIR");
    EXPECT_TRUE(marker->isEnabled());
    EXPECT_EQ(listingText(), QStringLiteral("  a\n<>Dir"));
}

TEST_F(ListingPage, FreeSeparatorWaitsForTheNextRebuild)
{
    addRow("a.txt", "/h", 2048);
    click("CBDIM");
    auto *separator = control<QLineEdit>("EDSEP");
    EXPECT_FALSE(separator->isEnabled());
    click("RBSEPALTRO");
    EXPECT_TRUE(separator->isEnabled());
    EXPECT_EQ(listingText(), QStringLiteral("  a_       2 KB"));

    separator->setText(QStringLiteral("--"));
    EXPECT_EQ(listingText(), QStringLiteral("  a_       2 KB"));
    click("SBAGGLISTA");
    EXPECT_EQ(listingText(), QStringLiteral("  a--       2 KB"));
    separator->setText(QString());
    click("SBAGGLISTA");
    EXPECT_EQ(listingText(), QStringLiteral("  a       2 KB"));

    click("RBSEPTAB");
    EXPECT_FALSE(separator->isEnabled()) << "usable only while altro is checked";
}

TEST_F(ListingPage, CsvForcesSemicolonAndTxtKeepsIt)
{
    addRow("a.txt", "/h", 2048);
    click("CBDIM");
    click("RBSEPALTRO");
    click("RBCSV");
    EXPECT_EQ(form->ListFormat(), QStringLiteral("CSV"));
    EXPECT_TRUE(control<QRadioButton>("RBSEPPV")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("RBSEPPV")->isEnabled());
    for (const char *name : {"RBSEPSPAZIO", "RBSEPTAB", "RBSEPALTRO", "EDSEP"})
        EXPECT_FALSE(control<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(listingText(), QStringLiteral("  a;       2 KB"));

    click("RBTXT");
    EXPECT_EQ(form->ListFormat(), QStringLiteral("TXT"));
    EXPECT_TRUE(control<QRadioButton>("RBSEPPV")->isChecked());
    for (const char *name : {"RBSEPSPAZIO", "RBSEPPV", "RBSEPTAB", "RBSEPALTRO"})
        EXPECT_TRUE(control<QWidget>(name)->isEnabled()) << name;
    EXPECT_FALSE(control<QWidget>("EDSEP")->isEnabled());
    EXPECT_EQ(listingText(), QStringLiteral("  a;       2 KB"));

    click("RBCSV");
    click("RBRTF");
    EXPECT_EQ(form->ListFormat(), QStringLiteral("RTF"));
    EXPECT_TRUE(control<QWidget>("RBSEPTAB")->isEnabled());
}

TEST_F(ListingPage, SavesCsvWithTheDialogsFilterAndSuffix)
{
    TempDir dir;
    addRow("a.txt", "/h", 2048);
    addRow("b.txt", "/h", 512);
    click("CBDIM");
    click("RBCSV");
    SaveDialogAnswer answer(dir.pathOf("lista"));
    ModalAnswerer boxes(QStringLiteral("OK"));
    click("SBSAVELISTA");

    EXPECT_EQ(answer.shown, 1);
    EXPECT_EQ(answer.filters, QStringList{QStringLiteral("Files CSV di Excell (*.CSV)")});
    EXPECT_EQ(answer.directory, QDir(QCoreApplication::applicationDirPath()).absolutePath());
    const std::string file = dir.pathOf("lista.CSV");
    EXPECT_EQ(test::readFile(file), "  a;       2 KB\r\n  b;       1 KB\r\n");
    EXPECT_EQ(statusText(), QStringLiteral("Lista salvata nel file ") + QString::fromStdString(file));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(ListingPage, SavesTxtOverAnExistingFileWithoutAQuestion)
{
    TempDir dir;
    const std::string file = dir.writeFile("lista.TXT", "an older, longer listing\r\n");
    addRow("a.txt");
    click("RBTXT");
    SaveDialogAnswer answer(file);
    ModalAnswerer boxes(QStringLiteral("OK"));
    click("SBSAVELISTA");
    EXPECT_EQ(answer.filters, QStringList{QStringLiteral("Files TXT (*.TXT)")});
    EXPECT_EQ(test::readFile(file), "  a\r\n");
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(ListingPage, EmptyListingSavesAZeroByteFile)
{
    TempDir dir;
    click("RBTXT");
    SaveDialogAnswer answer(dir.pathOf("vuota.TXT"));
    click("SBSAVELISTA");
    ASSERT_TRUE(test::exists(dir.pathOf("vuota.TXT")));
    EXPECT_EQ(test::readFile(dir.pathOf("vuota.TXT")), "");
}

TEST_F(ListingPage, AListingOfOneEmptyLineSavesThatLine)
{
    TempDir dir;
    addRow(".profile");
    click("MARKDIR");
    click("RBTXT");
    SaveDialogAnswer answer(dir.pathOf("una.TXT"));
    click("SBSAVELISTA");
    EXPECT_EQ(test::readFile(dir.pathOf("una.TXT")), "\r\n");
}

TEST_F(ListingPage, SavesRtfWithBracesEscaped)
{
    TempDir dir;
    addRow("a{b}.txt");
    click("CBEXT");
    SaveDialogAnswer answer(dir.pathOf("lista"));
    click("SBSAVELISTA");
    EXPECT_EQ(answer.filters, QStringList{QStringLiteral("Files RTF di Word (*.RTF)")});
    const std::string rtf = test::readFile(dir.pathOf("lista.RTF"));
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("  a\\{b\\}.txt\\par"), std::string::npos) << rtf;
}

TEST_F(ListingPage, SavesTheUsersEditsAndOtherwiseTheNamesOwnBytes)
{
    TempDir dir;
    addRow("caf\xE9.txt");
    click("RBTXT");
    {
        SaveDialogAnswer answer(dir.pathOf("grezza.TXT"));
        click("SBSAVELISTA");
    }
    EXPECT_EQ(test::readFile(dir.pathOf("grezza.TXT")), "  caf\xE9\r\n");

    QTextCursor cursor = listing()->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\nriga aggiunta"));
    listing()->setTextCursor(cursor);
    {
        SaveDialogAnswer answer(dir.pathOf("modificata.TXT"));
        click("SBSAVELISTA");
    }
    EXPECT_EQ(test::readFile(dir.pathOf("modificata.TXT")), "  caf\xEF\xBF\xBD\r\nriga aggiunta\r\n");
}

TEST_F(ListingPage, CancelledSaveWritesAndReportsNothing)
{
    TempDir dir;
    addRow("a.txt");
    click("RBTXT");
    CancelSaveDialog cancel;
    click("SBSAVELISTA");
    EXPECT_EQ(statusText(), QString());
    EXPECT_TRUE(QDir(QString::fromStdString(dir.path())).isEmpty());
}

TEST_F(ListingPage, FailedSaveShowsTheErrorAndKeepsFileStatusAndListing)
{
    TempDir dir;
    const std::string old = "old listing\r\n";
    const std::string file = dir.writeFile("lista.TXT", old);
    for (int i = 0; i < 200; ++i)
        addRow("file-with-a-rather-long-name-" + std::to_string(i) + ".txt");
    click("RBTXT");
    const QString shown = listingText();
    SaveDialogAnswer answer(file);
    ModalAnswerer boxes(QStringLiteral("OK"));
    {
        test::FileSizeLimit limit(1024);
        click("SBSAVELISTA");
    }
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.titles().constFirst(), QStringLiteral("Errore"));
    EXPECT_TRUE(boxes.texts().constFirst().contains(QString::fromStdString(file)));
    EXPECT_EQ(test::readFile(file), old);
    EXPECT_EQ(statusText(), QString());
    EXPECT_EQ(listingText(), shown);
}

TEST_F(ListingPage, CopiesOnlyASelection)
{
    addRow("a.txt");
    addRow("b.txt");
    showListingPage();
    QGuiApplication::clipboard()->setText(QStringLiteral("prima"));
    {
        ModalAnswerer boxes(QStringLiteral("OK"));
        click("SBCOPYCB");
        EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Nessun testo selezionato.")});
        EXPECT_EQ(boxes.titles(), QStringList{QStringLiteral("Attenzione")});
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("prima"));
    EXPECT_EQ(statusText(), QString());

    click("SBSELALL");
    click("SBCOPYCB");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("  a\n  b"));
    EXPECT_EQ(statusText(), QStringLiteral("Lista copiata in ClipBoard"));

    QTextCursor cursor = listing()->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    listing()->setTextCursor(cursor);
    click("SBCOPYCB");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a"));

    click("SBDESELALL");
    EXPECT_FALSE(listing()->textCursor().hasSelection());
    EXPECT_EQ(listing()->textCursor().position(), 2) << "the caret stays where the selection began";
    ModalAnswerer boxes(QStringLiteral("OK"));
    click("SBCOPYCB");
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a"));
}

int pageCount(const std::string &pdf)
{
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1)) {
        if (pdf.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    }
    return pages;
}

class Printing : public ListingPage
{
protected:
    void SetUp() override
    {
        ListingPage::SetUp();
        form->setPrinterProvider([this] {
            ++printersAsked;
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromStdString(pdfPath));
            return printer;
        });
    }
    TempDir dir;
    std::string pdfPath = dir.pathOf("stampa.pdf");
    int printersAsked = 0;
};

TEST_F(Printing, PrintsTheWholeListingAsOneTitledJob)
{
    for (int i = 0; i < 150; ++i)
        addRow("file" + std::to_string(i) + ".txt");
    showListingPage();
    ModalAnswerer boxes(QStringLiteral("Sì"));
    click("SBSTAMPA");
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Stampo lista ?")});
    ASSERT_TRUE(test::exists(pdfPath));
    const std::string pdf = test::readFile(pdfPath);
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    // The job's title becomes the document's title, in UTF-16 with a byte-order mark.
    std::string title = "/Title (\xFE\xFF";
    for (const char c : std::string("Nomaro - Stampa lista files"))
        title += std::string(1, '\0') + c;
    EXPECT_NE(pdf.find(title + ")"), std::string::npos);
    EXPECT_NE(pdf.find("Mono"), std::string::npos) << "printed in the listing's monospace font";
    EXPECT_GT(pageCount(pdf), 1) << "150 lines run over several pages";
}

TEST_F(Printing, ShortListingFillsOnePage)
{
    addRow("a.txt");
    showListingPage();
    ModalAnswerer boxes(QStringLiteral("Sì"));
    click("SBSTAMPA");
    EXPECT_EQ(pageCount(test::readFile(pdfPath)), 1);
}

TEST_F(Printing, NoPrintsNothing)
{
    addRow("a.txt");
    ModalAnswerer boxes(QStringLiteral("No"));
    click("SBSTAMPA");
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(printersAsked, 0);
    EXPECT_FALSE(test::exists(pdfPath));
}

// The box that reports a failed job must not be shown under the hourglass of the printing.
TEST_F(Printing, FailedJobIsReportedWithoutTheHourglass)
{
    form->setPrinterProvider([this] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(dir.pathOf("missing/stampa.pdf")));
        return printer;
    });
    addRow("a.txt");
    showListingPage();
    QStringList texts;
    std::vector<bool> underHourglass;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << box->text();
        underHourglass.push_back(QGuiApplication::overrideCursor() != nullptr);
        for (QAbstractButton *button : box->buttons())
            if (button->text() == QStringLiteral("Sì") || button->text() == QStringLiteral("OK"))
                return button->click();
    });
    answerer.start(5);
    click("SBSTAMPA");
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Stampo lista ?"), QStringLiteral("Stampa non riuscita.")}));
    EXPECT_EQ(underHourglass, (std::vector<bool>{false, false}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Printing, NoDefaultPrinterIsAnError)
{
    form->setPrinterProvider([] { return std::unique_ptr<QPrinter>(); });
    ModalAnswerer boxes(QStringLiteral("Sì"));
    click("SBSTAMPA");
    EXPECT_EQ(boxes.texts(),
              (QStringList{QStringLiteral("Stampo lista ?"), QStringLiteral("Nessuna stampante predefinita.")}));
    EXPECT_EQ(boxes.titles().value(1), QStringLiteral("Errore"));
    EXPECT_EQ(statusText(), QString());
}

} // namespace
} // namespace nomaro
