#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "workset/tform2.h"

namespace nomaro {
namespace {

struct FilterDialog : ::testing::Test
{
    QWidget owner;
    TForm2 dialog{&owner};
    QComboBox *choice = dialog.findChild<QComboBox *>(QStringLiteral("FILTRIFILE"));
    QPushButton *apply = dialog.findChild<QPushButton *>(QStringLiteral("FFOK"));
    QPushButton *cancel = dialog.findChild<QPushButton *>(QStringLiteral("FFNOOK"));
    std::vector<std::string> masks;

    FilterDialog()
    {
        QObject::connect(&dialog, &TForm2::fileMaskChosen,
                         [this](const std::string &mask) { masks.push_back(mask); });
    }

    // Shows the dialog modally and presses `button` once it is up.
    void runAndPress(QPushButton *button)
    {
        QTimer::singleShot(0, button, &QPushButton::click);
        dialog.exec();
    }
};

TEST_F(FilterDialog, StartsOnAllFilesWithTheFiveItems)
{
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Nomaro - Filtri su files"));
    EXPECT_FALSE(choice->isEditable());
    ASSERT_EQ(choice->count(), 5);
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_EQ(choice->itemText(0), QStringLiteral("Tutti i files (*.*)"));
    EXPECT_EQ(choice->itemText(1),
              QStringLiteral("Films e Clips (*.avi;*.mpg;*.mpeg;*.wmw;*.divx;*.asf;*.ogm) "));
    EXPECT_EQ(apply->text(), QStringLiteral("APPLICA"));
    EXPECT_EQ(cancel->text(), QStringLiteral("Annulla"));
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FilterDialog, ApplyHandsTheFixedMaskOfTheChosenItemAndCloses)
{
    choice->setCurrentIndex(3);
    runAndPress(apply);
    EXPECT_EQ(masks, std::vector<std::string>{"*.exe;*.com;*.bat"});
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FilterDialog, CancelHandsNothingAndTheChoiceStaysForNextTime)
{
    choice->setCurrentIndex(2);
    runAndPress(cancel);
    EXPECT_TRUE(masks.empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(choice->currentIndex(), 2);

    QTimer::singleShot(0, &dialog, &QDialog::close); // the title bar's close acts as cancel
    dialog.exec();
    EXPECT_TRUE(masks.empty());
    EXPECT_EQ(choice->currentIndex(), 2);
}

TEST_F(FilterDialog, EnterAppliesTheChoiceUnlessAnnullaHasTheFocus)
{
    struct Case
    {
        const char *focus;
        QWidget *widget;
        std::vector<std::string> masks;
    };
    const Case cases[] = {
        {"the list", choice, {"*.rar;*.zip;*.ace;*.iso"}},
        {"APPLICA", apply, {"*.rar;*.zip;*.ace;*.iso"}},
        {"Annulla", cancel, {}},
    };
    for (const Case &c : cases) {
        masks.clear();
        choice->setCurrentIndex(4);
        QTimer::singleShot(0, c.widget, [&c] {
            c.widget->setFocus();
            QTest::keyClick(c.widget, Qt::Key_Return);
        });
        QTimer giveUp; // so that a dialog deaf to Enter fails the test instead of hanging it
        giveUp.setSingleShot(true);
        QObject::connect(&giveUp, &QTimer::timeout, &dialog, [this] {
            masks.push_back("still open");
            dialog.reject();
        });
        giveUp.start(2000);
        dialog.exec();
        EXPECT_EQ(masks, c.masks) << c.focus;
        EXPECT_FALSE(dialog.isVisible()) << c.focus;
    }
}

TEST(FilterMasks, EveryItemHasItsMaskAndNoChoiceMeansAllFiles)
{
    EXPECT_EQ(TForm2::fileMaskOf(0), "*.*");
    EXPECT_EQ(TForm2::fileMaskOf(2), "*.jpg;*.jpeg;*.bmp;*.pcx;*.gif;*.tif;*.tga;*.psp");
    EXPECT_EQ(TForm2::fileMaskOf(4), "*.rar;*.zip;*.ace;*.iso");
    EXPECT_EQ(TForm2::fileMaskOf(-1), "*.*");
}

} // namespace
} // namespace nomaro
