#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTest>
#include <QVBoxLayout>

#include "platform/beep.h"
#include "widgets/numedit.h"

namespace nomaro {
namespace {

const QLocale kItalianLocale(QLocale::Italian, QLocale::Italy);

// A shown, active window with the field and another field to move the focus to.
class NumEditWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&m_window);
        m_field = new NumEdit(&m_window);
        m_field->setLocale(kItalianLocale);
        m_other = new QLineEdit(&m_window);
        layout->addWidget(m_field);
        layout->addWidget(m_other);
        m_window.show();
        m_window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_field->setFocus();
        ASSERT_TRUE(m_field->hasFocus());
    }

    void leave()
    {
        m_other->setFocus();
        QApplication::processEvents();
    }

    QWidget m_window;
    NumEdit *m_field = nullptr;
    QLineEdit *m_other = nullptr;
};

TEST_F(NumEditWindow, aNewFieldShowsZeroRightAligned)
{
    NumEdit field;
    EXPECT_EQ(field.text(), QStringLiteral("0"));
    EXPECT_EQ(field.width(), 100);
    EXPECT_TRUE(field.alignment() & Qt::AlignRight);
    EXPECT_EQ(field.Value(), 0.0);
}

TEST_F(NumEditWindow, keysGoThroughTheRules)
{
    m_field->setCursorPosition(1);
    QTest::keyClicks(m_field, QStringLiteral("5"));
    EXPECT_EQ(m_field->text(), QStringLiteral("5"));

    const int beeps = platform::beepCount();
    QTest::keyClicks(m_field, QStringLiteral("x,25"));
    EXPECT_EQ(m_field->text(), QStringLiteral("5,25"));
    EXPECT_EQ(platform::beepCount() - beeps, 1);

    QTest::keyClick(m_field, Qt::Key_Left);
    QTest::keyClick(m_field, Qt::Key_Left);
    QTest::keyClick(m_field, Qt::Key_Minus);
    EXPECT_EQ(m_field->text(), QStringLiteral("-5,25"));
    EXPECT_EQ(m_field->cursorPosition(), 3);
    QTest::keyClick(m_field, Qt::Key_End);
    QTest::keyClick(m_field, Qt::Key_Backspace);
    EXPECT_EQ(m_field->text(), QStringLiteral("-5,2"));
    EXPECT_DOUBLE_EQ(m_field->Value(), -5.2);

    // Neither undo nor the line edit's own word deletion bypass the rules.
    QTest::keyClick(m_field, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(m_field, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(m_field->text(), QStringLiteral("-5,2"));
}

TEST_F(NumEditWindow, leavingOutsideTheLimitsCorrectsBeepsAndKeepsTheFocus)
{
    m_field->setMaxValue(9999);
    m_field->setMinValue(0);
    int exits = 0;
    m_field->setOnExit([&exits](NumEdit *) { ++exits; });
    m_field->selectAll();
    QTest::keyClicks(m_field, QStringLiteral("12000"));
    const int beeps = platform::beepCount();
    leave();
    EXPECT_EQ(m_field->text(), QStringLiteral("9999"));
    EXPECT_EQ(platform::beepCount() - beeps, 1);
    QTRY_VERIFY(m_field->hasFocus());
    EXPECT_EQ(exits, 0);

    m_field->selectAll();
    QTest::keyClicks(m_field, QStringLiteral("50,50"));
    leave();
    EXPECT_EQ(m_field->text(), QStringLiteral("50,5"));
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(m_other->hasFocus());
}

TEST_F(NumEditWindow, onInvalidEntryTakesOverTheCorrection)
{
    m_field->setMaxValue(100);
    m_field->setMinValue(1);
    NumEdit *sender = nullptr;
    m_field->setOnInvalidEntry([&sender](NumEdit *field) { sender = field; });
    m_field->selectAll();
    QTest::keyClicks(m_field, QStringLiteral("0"));
    const int beeps = platform::beepCount();
    leave();
    EXPECT_EQ(sender, m_field);
    EXPECT_EQ(m_field->text(), QStringLiteral("0"));
    EXPECT_EQ(platform::beepCount(), beeps);
}

TEST_F(NumEditWindow, aLocaleChangeRewritesTheSeparatorsOfTheText)
{
    m_field->setValue(2.5);
    EXPECT_EQ(m_field->text(), QStringLiteral("2,5"));
    m_field->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(m_field->text(), QStringLiteral("2.5"));
    EXPECT_DOUBLE_EQ(m_field->Value(), 2.5);
    QTest::keyClicks(m_field, QStringLiteral(","));
    EXPECT_EQ(m_field->text(), QStringLiteral("2.5")) << "the comma is now the thousands separator";
}

TEST_F(NumEditWindow, enteringSelectsTheWholeTextAlsoByMouse)
{
    m_field->setValue(1234);
    leave();
    QTest::keyClick(m_other, Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(m_field->hasFocus());
    EXPECT_EQ(m_field->selectedText(), QStringLiteral("1234"));

    leave();
    QTest::mouseClick(m_field, Qt::LeftButton, {}, QPoint(m_field->width() - 5, m_field->height() / 2));
    ASSERT_TRUE(m_field->hasFocus());
    EXPECT_EQ(m_field->selectedText(), QStringLiteral("1234")) << "the entering click keeps the selection";
    QTest::mouseClick(m_field, Qt::LeftButton, {}, QPoint(m_field->width() - 5, m_field->height() / 2));
    EXPECT_FALSE(m_field->hasSelectedText()) << "the next click places the caret";
}

TEST_F(NumEditWindow, clipboardShortcutsGoThroughTheRules)
{
    m_field->setNumberFormat(NumFormat::Thousands);
    m_field->setValue(1234.5);
    m_field->selectAll();
    QTest::keyClick(m_field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1234,5")) << "without the thousands separator";

    QGuiApplication::clipboard()->setText(QStringLiteral("7a8"));
    m_field->selectAll();
    const int beeps = platform::beepCount();
    QTest::keyClick(m_field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(m_field->text(), QStringLiteral("78"));
    EXPECT_EQ(platform::beepCount() - beeps, 1);
}

// Chooses `item` in the context menu of `field` with a click, as the user would.
void chooseFromContextMenu(NumEdit *field, const QString &item)
{
    bool chosen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        poll.stop();
        for (QAction *action : menu->actions()) {
            if (action->text() == item && action->isEnabled()) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                chosen = true;
            }
        }
        if (!chosen)
            menu->close();
    });
    poll.start(10);
    const QPoint at = field->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, field->mapToGlobal(at));
    QApplication::sendEvent(field, &event);
    EXPECT_TRUE(chosen) << item.toStdString();
}

TEST_F(NumEditWindow, theContextMenuActsOnTheSelectionItWasOpenedOn)
{
    m_field->setValue(1234);
    QGuiApplication::clipboard()->setText(QStringLiteral("5"));
    m_field->setCursorPosition(4);
    chooseFromContextMenu(m_field, QStringLiteral("Incolla"));
    EXPECT_EQ(m_field->text(), QStringLiteral("12345"));

    m_field->setSelection(1, 2);
    chooseFromContextMenu(m_field, QStringLiteral("Copia"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("23"));
    EXPECT_EQ(m_field->selectedText(), QStringLiteral("23")) << "closing the menu is no entering";
}

TEST_F(NumEditWindow, onClearTakesOverTheClearCommand)
{
    m_field->setValue(123);
    m_field->setSelection(1, 2);
    m_field->clearCommand();
    EXPECT_EQ(m_field->text(), QStringLiteral("1"));

    int clears = 0;
    m_field->setOnClear([&clears](NumEdit *) { ++clears; });
    m_field->setValue(123);
    m_field->setSelection(1, 2);
    m_field->clearCommand();
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(m_field->text(), QStringLiteral("123"));
}

TEST_F(NumEditWindow, theBackgroundFollowsEnabledAndParentColours)
{
    m_field->setColor(Qt::yellow);
    m_field->setDisabledColor(Qt::gray);
    EXPECT_EQ(m_field->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(m_field->palette().color(QPalette::Disabled, QPalette::Base), QColor(Qt::gray));

    QPalette parent = m_window.palette();
    parent.setColor(QPalette::Window, Qt::cyan);
    m_window.setPalette(parent);
    m_field->setParentColor(true);
    EXPECT_EQ(m_field->Color(), QColor(Qt::cyan));
    parent.setColor(QPalette::Window, Qt::magenta);
    m_window.setPalette(parent);
    EXPECT_EQ(m_field->Color(), QColor(Qt::magenta));
}

} // namespace
} // namespace nomaro
