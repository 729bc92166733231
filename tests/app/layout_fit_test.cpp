#include <QGroupBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "app/tform1.h"
#include "tests/support/controls.h"

namespace nomaro {
namespace {

TEST(LayoutFit, RenameListColumnsShowTheirCaptionsAndKeepTheDesignWhereItFits)
{
    TForm1 form;
    auto *view = test::control<QTableView>(form, "LISTAREN");
    QHeaderView *header = view->horizontalHeader();
    const int designed[6] = {140, 140, 60, 80, 40, 150};
    for (int column = 0; column < 6; ++column) {
        const int caption = header->sectionSizeHint(column);
        EXPECT_GE(header->sectionSize(column), caption) << "caption clipped in column " << column;
        EXPECT_EQ(header->sectionSize(column), qMax(designed[column], caption)) << column;
    }
}

TEST(LayoutFit, ListOptionsEndOnThePageAtTheSmallestWindow)
{
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.resize(form.minimumSize());
    auto *tabs = test::control<QTabWidget>(form, "PageControl1");
    auto *page = test::control<QWidget>(form, "TabSheet7");
    tabs->setCurrentWidget(page);
    QTest::qWait(50);
    auto *options = test::control<QGroupBox>(form, "GroupBox2");
    EXPECT_LE(options->geometry().bottom(), page->height() - 1);
    EXPECT_GE(options->geometry().top(), test::control<QGroupBox>(form, "GroupBox1")->geometry().bottom());
}

} // namespace
} // namespace nomaro
