#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "app/tform1.h"
#include "tests/support/controls.h"

namespace nomaro::test {

// A main window in the Italian locale whose file table the test fills by hand, with the controls
// of the listing page at hand.
class ListingPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        form = std::make_unique<TForm1>();
    }
    void TearDown() override
    {
        form.reset();
        QLocale::setDefault(QLocale::c());
    }

    template<typename Control>
    Control *control(const char *name)
    {
        return test::control<Control>(*form, name);
    }
    void click(const char *name) { control<QAbstractButton>(name)->click(); }
    QTextEdit *listing() { return control<QTextEdit>("LISTADOC"); }
    QString listingText() { return listing()->toPlainText(); }
    QString statusText() { return control<QLabel>("StatusBar1Panel3")->text(); }

    void addRow(const std::string &name, const std::string &folder = "/Foto", double size = 0,
                platform::DateTimeValue when = 0, bool folderRow = false)
    {
        nm row;
        row.name = name;
        row.newName = name;
        row.folder = folder;
        row.size = size;
        row.dateTime = when;
        row.extension = extensionOf(name);
        row.folderFlag = folderRow ? kFolderFlag : 0;
        form->fileTable().append(row);
    }

    void showListingPage()
    {
        auto *tabs = control<QTabWidget>("PageControl1");
        tabs->setCurrentWidget(control<QWidget>("TabSheet7"));
    }

    std::unique_ptr<TForm1> form;
};

} // namespace nomaro::test
