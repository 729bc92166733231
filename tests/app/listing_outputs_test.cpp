#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include "app/tform1.h"
#include "tests/app/listing_page.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

namespace nomaro {
namespace {

using test::ModalAnswerer;
using test::ModalDialogHandler;
using test::TempDir;

class ListingOutputs : public test::ListingPage
{
protected:
    // Saves through the dialog, typing the path into its name field.
    void saveAs(const std::string &path)
    {
        ModalDialogHandler handler([&path](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog)
                return;
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(QString::fromStdString(path));
            static_cast<QDialog *>(dialog)->accept();
        });
        click("SBSAVELISTA");
    }
};

// Python's csv module stands for the spreadsheets: it reads the file as they do.
std::string readCsvWithPython(const std::string &file)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    for record in csv.reader(f, delimiter=';'):\n"
                                 "        print('|'.join('[' + field + ']' for field in record))\n"),
                  QString::fromStdString(file)});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return "python3 failed: " + python.readAllStandardError().toStdString();
    return python.readAllStandardOutput().toStdString();
}

TEST_F(ListingOutputs, SavedCsvIsReadBackOneRecordPerRowWithItsFields)
{
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        GTEST_SKIP() << "python3 is not installed (scripts/install-deps installs it)";
    TempDir dir;
    for (const char *name : {"a;b.txt", "\"virgolette.txt", "dice \"ciao\".txt", "uno,due.txt",
                             "  spazi.txt", "normale.txt"})
        addRow(name, "/Foto", 2048);
    click("CBDIM");
    click("CBEXT");
    click("RBCSV");
    saveAs(dir.pathOf("lista"));
    EXPECT_EQ(readCsvWithPython(dir.pathOf("lista.CSV")),
              "[  a;b.txt]|[       2 KB]\n"
              "[  \"virgolette.txt]|[       2 KB]\n"
              "[  dice \"ciao\".txt]|[       2 KB]\n"
              "[  uno,due.txt]|[       2 KB]\n"
              "[    spazi.txt]|[       2 KB]\n"
              "[  normale.txt]|[       2 KB]\n");
    EXPECT_EQ(test::readFile(dir.pathOf("lista.CSV")).substr(0, 25), "\"  a;b.txt\";       2 KB\r\n");

    click("RBTXT");
    saveAs(dir.pathOf("lista.TXT"));
    EXPECT_EQ(test::readFile(dir.pathOf("lista.TXT")).substr(0, 23), "  a;b.txt;       2 KB\r\n")
        << "quoting belongs to CSV alone";
}

std::vector<QWidget *> visiblePopups()
{
    std::vector<QWidget *> popups;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Popup)
            popups.push_back(window);
    return popups;
}

TEST_F(ListingOutputs, SaveDialogIsBuiltOnFirstUseAndKeptForTheNext)
{
    EXPECT_EQ(form->findChild<QFileDialog *>(), nullptr) << "nothing built at start";
    TempDir dir;
    addRow("a.txt");
    click("RBTXT");
    saveAs(dir.pathOf("uno"));
    auto *first = form->findChild<QFileDialog *>(QStringLiteral("SD1"));
    ASSERT_NE(first, nullptr);
    saveAs(dir.pathOf("due"));
    EXPECT_EQ(form->findChildren<QFileDialog *>().size(), 1);
    EXPECT_EQ(form->findChild<QFileDialog *>(QStringLiteral("SD1")), first);
    EXPECT_TRUE(test::exists(dir.pathOf("uno.TXT")));
    EXPECT_TRUE(test::exists(dir.pathOf("due.TXT")));
}

TEST_F(ListingOutputs, CompletionListGoesWithTheDialogAndTheNextClickReachesTheWindow)
{
    TempDir dir;
    dir.writeFile("lista1.CSV");
    dir.writeFile("lista2.CSV");
    addRow("a.txt");
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    click("RBCSV");

    bool completionShown = false;
    bool handled = false;
    ModalDialogHandler handler([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog || !dialog->isVisible() || handled)
            return;
        handled = true; // the wait below runs this handler's timer again
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        name->setFocus();
        name->clear();
        QTest::keyClicks(name, QString::fromStdString(dir.pathOf("lista")));
        QAbstractItemView *popup = name->completer() ? name->completer()->popup() : nullptr;
        completionShown = popup && QTest::qWaitFor([popup] { return popup->isVisible(); }, 5000);
        // Enter goes to the list while it shows, and then to the name field, which saves.
        QTest::keyClick(popup, Qt::Key_Return);
        if (dialog->isVisible())
            QTest::keyClick(name, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->reject();
    });
    ModalAnswerer errors(QStringLiteral("OK"));
    click("SBSAVELISTA");
    EXPECT_EQ(errors.texts(), QStringList());
    ASSERT_TRUE(completionShown) << "the name typed matches two files, so the list shows";
    EXPECT_TRUE(test::exists(dir.pathOf("lista.CSV")));
    EXPECT_TRUE(visiblePopups().empty());

    auto *rtf = control<QRadioButton>("RBRTF");
    QTest::mouseClick(rtf, Qt::LeftButton, {}, QPoint(5, rtf->height() / 2));
    EXPECT_TRUE(rtf->isChecked()) << "the click after the save reaches the window";
    EXPECT_EQ(form->ListFormat(), QStringLiteral("RTF"));
}

TEST_F(ListingOutputs, PrintedListingDrawsEachLineOnOnePageOnly)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (poppler-utils, installed by scripts/install-deps)";
    TempDir dir;
    const std::string pdf = dir.pathOf("stampa.pdf");
    form->setPrinterProvider([&pdf] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        return printer;
    });
    for (int i = 0; i < 1001; ++i)
        addRow("riga" + std::to_string(i) + ".txt");
    click("SBAGGLISTA");
    ModalAnswerer boxes(QStringLiteral("Sì"));
    click("SBSTAMPA");
    ASSERT_EQ(boxes.count(), 1);

    QProcess extractor;
    extractor.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    ASSERT_TRUE(extractor.waitForFinished(60000));
    std::vector<std::string> lines;
    for (const QByteArray &line : extractor.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            lines.push_back(line.trimmed().replace('\f', "").toStdString());
    ASSERT_EQ(lines.size(), 1001u);
    for (int i = 0; i < 1001; ++i)
        EXPECT_EQ(lines[static_cast<std::size_t>(i)], "riga" + std::to_string(i)) << i;
}

} // namespace
} // namespace nomaro
