#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/tform1.h"
#include "tests/support/controls.h"

// Whether the window shows every control whole. The tests run under the program's own application
// object, which gives the controls their font, and CTest runs them again at the screen scales 1.5
// and 2 (QT_SCALE_FACTOR).
namespace nomaro {
namespace {

std::string describe(const QWidget *control)
{
    const QRect place = control->geometry();
    return control->objectName().toStdString() + " at " + std::to_string(place.x()) + ","
        + std::to_string(place.y()) + " " + std::to_string(place.width()) + "x"
        + std::to_string(place.height()) + " in " + control->parentWidget()->objectName().toStdString();
}

bool isCheckOrRadio(const QWidget *control)
{
    return qobject_cast<const QCheckBox *>(control) || qobject_cast<const QRadioButton *>(control);
}

// A control that stands as a block of its own: two of them side by side must not overlap.
bool isBlock(const QWidget *control)
{
    return qobject_cast<const QGroupBox *>(control)
        || (qobject_cast<const QAbstractButton *>(control) && !isCheckOrRadio(control));
}

// Checks every control that the window places on `page` (its own children and those of its group
// boxes and button panels; the insides of views and fields are theirs): a caption is at least as
// large as its text asks, a control ends inside the frame of its box or on its page, and no two
// boxes or buttons of one parent overlap.
void expectWhole(QWidget *page)
{
    for (QWidget *control : page->findChildren<QWidget *>()) {
        QWidget *parent = control->parentWidget();
        const bool placedByWindow = parent == page || qobject_cast<QGroupBox *>(parent)
            || parent->objectName().startsWith(QLatin1String("Panel"));
        if (!placedByWindow || !control->isVisibleTo(page) || control->objectName().isEmpty())
            continue;
        const QRect place = control->geometry();
        if (qobject_cast<QAbstractButton *>(control) || qobject_cast<QLabel *>(control)) {
            const QSize asked = control->sizeHint();
            EXPECT_GE(place.width(), asked.width()) << describe(control) << " asks " << asked.width();
            EXPECT_GE(place.height(), asked.height()) << describe(control) << " asks " << asked.height();
        }
        const auto *box = qobject_cast<QGroupBox *>(parent);
        const QRect room = box ? box->contentsRect() : parent->rect();
        EXPECT_GE(place.left(), room.left()) << describe(control);
        EXPECT_GE(place.top(), 0) << describe(control);
        EXPECT_LE(place.right(), room.right()) << describe(control) << " room ends at " << room.right();
        EXPECT_LE(place.bottom(), room.bottom()) << describe(control) << " room ends at " << room.bottom();
        if (!isBlock(control))
            continue;
        for (QWidget *sibling : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (sibling != control && isBlock(sibling) && sibling->isVisibleTo(page)) {
                EXPECT_FALSE(place.intersects(sibling->geometry()))
                    << describe(control) << " overlaps " << describe(sibling);
            }
        }
    }
}

struct LayoutFit : ::testing::Test
{
    TForm1 form;

    template<typename Widget = QWidget>
    Widget *control(const char *name)
    {
        return test::control<Widget>(form, name);
    }

    void showPage(const char *tabs, const char *page)
    {
        control<QTabWidget>(tabs)->setCurrentWidget(control(page));
        QCoreApplication::processEvents();
    }

    // The window as it starts and at its smallest.
    std::vector<QSize> sizes()
    {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        return {form.size(), form.minimumSize()};
    }
};

TEST_F(LayoutFit, EveryPageShowsItsControlsWholeAsItStartsAndAtItsSmallest)
{
    for (const QSize size : sizes()) {
        form.resize(size);
        SCOPED_TRACE("window " + std::to_string(size.width()) + "x" + std::to_string(size.height()));
        showPage("PageControl1", "TabSheet1");
        expectWhole(control("TabSheet1"));
        showPage("PageControl1", "TabSheet2");
        expectWhole(control("TabSheet2"));
        for (const char *rule : {"TabSheet3", "TabSheet4", "TabSheet5", "TabSheet6", "TabSheet8"}) {
            showPage("PageControl2", rule);
            expectWhole(control(rule));
        }
        showPage("PageControl1", "TabSheet7");
        expectWhole(control("TabSheet7"));
    }
}

TEST_F(LayoutFit, ListingPageBottomRowStandsTogetherOnThePagesBottomEdge)
{
    for (const QSize size : sizes()) {
        form.resize(size);
        showPage("PageControl1", "TabSheet7");
        const QWidget *page = control("TabSheet7");
        const QRect listing = control("GroupBox8")->geometry();
        const QRect options = control("GroupBox2")->geometry();
        int previousRight = -1;
        for (const char *name : {"SBAGGLISTA", "SBCOPYCB", "SBSTAMPA", "SBSAVELISTA"}) {
            const QRect button = control(name)->geometry();
            EXPECT_EQ(button.bottom(), page->height() - 1) << name << " at " << size.width();
            EXPECT_GE(button.height(), 31) << name;
            EXPECT_GT(button.left(), previousRight) << name << " left to right";
            EXPECT_GT(button.top(), listing.bottom()) << name << " below the listing";
            EXPECT_LT(button.right(), options.left()) << name << " left of the options";
            previousRight = button.right();
        }
        EXPECT_EQ(control("SBSTAMPA")->y(), control("SBAGGLISTA")->y()) << "one row";
    }
}

TEST_F(LayoutFit, EchoLabelsShowTheWholeCharacterBetweenTheirMarks)
{
    showPage("PageControl1", "TabSheet2");
    showPage("PageControl2", "TabSheet8");
    for (const char *character : {"è", "W", "@", "."}) {
        control<QLineEdit>("EDCERCACAR")->setText(QString::fromUtf8(character));
        control<QLineEdit>("EDSOSTCAR")->setText(QString::fromUtf8(character));
        for (const char *name : {"LBCERCACAR", "LBSOSTCAR"}) {
            const auto *echo = control<QLabel>(name);
            EXPECT_EQ(echo->text(), QStringLiteral("<%1>").arg(QString::fromUtf8(character)));
            EXPECT_GE(echo->width(), echo->sizeHint().width()) << name << " with " << character;
        }
    }
}

TEST_F(LayoutFit, RenameListColumnsShowTheirCaptionsAndKeepTheDesignWhereItFits)
{
    QHeaderView *header = control<QTableView>("LISTAREN")->horizontalHeader();
    const int designed[6] = {140, 140, 60, 80, 40, 150};
    for (int column = 0; column < 6; ++column) {
        const int caption = header->sectionSizeHint(column);
        EXPECT_GE(header->sectionSize(column), caption) << "caption clipped in column " << column;
        EXPECT_EQ(header->sectionSize(column), qMax(designed[column], caption)) << column;
    }
}

} // namespace
} // namespace nomaro

int main(int argc, char **argv)
{
    nomaro::NomaroApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
