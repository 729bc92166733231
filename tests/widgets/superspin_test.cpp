#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "platform/beep.h"
#include "widgets/superspin.h"

namespace nomaro {
namespace {

// The settings of the start number and the step fields of sequential numbering.
void configure(SuperSpin *spin, double min, double max, double value)
{
    spin->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    spin->setMaxValue(max);
    spin->setMinValue(min);
    spin->setValue(value);
    spin->setIncrement(1);
    spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    spin->setDecimals(-1);
    spin->setNumberFormat(NumFormat::Standard);
    spin->setRoundValues(false);
    spin->setWrap(false);
}

class SuperSpinWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window.resize(200, 100);
        m_spin = new SuperSpin(&m_window);
        m_spin->setGeometry(135, 10, 46, 22);
        m_spin->setTickSource([this] { return m_now; });
        m_other = new QLineEdit(&m_window);
        m_other->setGeometry(10, 50, 80, 22);
        m_window.show();
        m_window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_other->setFocus();
    }

    void clickButton(QAbstractButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        m_now += 1000;
    }

    void typeAndLeave(const QString &keys)
    {
        m_spin->setFocus();
        m_spin->selectAll();
        QTest::keyClicks(m_spin, keys);
        m_other->setFocus();
        QApplication::processEvents();
    }

    QWidget m_window;
    SuperSpin *m_spin = nullptr;
    QLineEdit *m_other = nullptr;
    std::int64_t m_now = 1'000'000;
};

TEST_F(SuperSpinWindow, theButtonsStandInsideTheRightEdgeAndTheTextNeverUnderThem)
{
    // A strip 15 wide inside the 2-pixel border, one pixel short of the bottom border; the up
    // button takes half of it rounded down and the down button overlaps it by one pixel.
    const QRect up = m_spin->upButton()->geometry();
    const QRect down = m_spin->downButton()->geometry();
    const int strip = m_spin->height() - 2 * 2 - 1;
    EXPECT_EQ(up, QRect(46 - 2 - 15, 2, 15, strip / 2));
    EXPECT_EQ(down.top(), up.bottom());
    EXPECT_EQ(down.left(), up.left());
    EXPECT_EQ(down.width(), 15);
    EXPECT_EQ(down.bottom(), 2 + strip - 1);
    // The window's font: "MS Sans Serif" 8 point stands as Liberation Sans 8 point.
    m_spin->setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    m_spin->setValue(9999);
    m_spin->setCursorPosition(4);
    m_spin->repaint(); // the line edit places its text when it paints
    const int textEnd = m_spin->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    EXPECT_LE(textEnd, up.left()) << "the text ends before the buttons";
    EXPECT_GE(textEnd - m_spin->fontMetrics().horizontalAdvance(QStringLiteral("9999")), 2)
        << "four digits fit inside the frame";
    const int font = m_spin->fontMetrics().height();
    const int system = QFontMetrics(QApplication::font()).height();
    EXPECT_EQ(m_spin->minimumHeight(), 4 + font + std::min(font, system) / 4 + 2);
    m_spin->resize(46, 5);
    EXPECT_EQ(m_spin->height(), m_spin->minimumHeight());
}

TEST_F(SuperSpinWindow, incremBeepsAtItsLimits)
{
    configure(m_spin, 1, 100, 100);
    int beeps = platform::beepCount();
    clickButton(m_spin->upButton());
    EXPECT_EQ(m_spin->text(), QStringLiteral("100"));
    EXPECT_EQ(platform::beepCount() - beeps, 1);
    EXPECT_TRUE(m_spin->hasFocus()) << "a press on a button puts the focus into the field";

    m_spin->setValue(1);
    beeps = platform::beepCount();
    clickButton(m_spin->downButton());
    EXPECT_EQ(m_spin->text(), QStringLiteral("1"));
    EXPECT_EQ(platform::beepCount() - beeps, 1);
    clickButton(m_spin->upButton());
    EXPECT_EQ(m_spin->text(), QStringLiteral("2"));
}

TEST_F(SuperSpinWindow, wrapContinuesFromTheOtherLimit)
{
    configure(m_spin, 1, 100, 100);
    m_spin->setWrap(true);
    clickButton(m_spin->upButton());
    EXPECT_EQ(m_spin->text(), QStringLiteral("1"));
    clickButton(m_spin->downButton());
    EXPECT_EQ(m_spin->text(), QStringLiteral("100"));
}

TEST_F(SuperSpinWindow, aHeldUpKeyAcceleratesUntilItIsReleased)
{
    configure(m_spin, 0, 9999, 0);
    m_spin->setFocus();
    for (int i = 0; i < 10; ++i) {
        QTest::keyPress(m_spin, Qt::Key_Up);
        // The release and press pairs X11 sends for a held key.
        QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(m_spin, &repeatRelease);
        m_now += 50;
    }
    EXPECT_EQ(m_spin->currentStep(), 3);
    EXPECT_EQ(m_spin->text(), QStringLiteral("16")); // 1, 2, 3, 4, 5, 6, 8, 10, 13, 16
    QTest::keyRelease(m_spin, Qt::Key_Up);
    EXPECT_EQ(m_spin->currentStep(), 1);
    QTest::keyClick(m_spin, Qt::Key_Down);
    EXPECT_EQ(m_spin->text(), QStringLiteral("15"));
}

TEST_F(SuperSpinWindow, aHeldButtonRepeatsAndAClickStepsOnce)
{
    configure(m_spin, 0, 9999, 0);
    // Steps far apart: no acceleration, this test is about the repetition.
    m_spin->setTickSource([this] { return m_now += 1000; });
    QAbstractButton *up = m_spin->upButton();
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    EXPECT_EQ(m_spin->text(), QStringLiteral("0")) << "a press alone does not step";
    QTRY_VERIFY_WITH_TIMEOUT(m_spin->Value() >= 3, 5000);
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
    const double held = m_spin->Value();
    QTest::qWait(300);
    EXPECT_EQ(m_spin->Value(), held) << "releasing stops the repetition without another step";

    QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
    EXPECT_EQ(m_spin->Value(), held + 1);
}

TEST_F(SuperSpinWindow, leavingWithoutLimitsRoundsAHalfToEven)
{
    configure(m_spin, 0, 0, 0);
    typeAndLeave(QStringLiteral("2,5"));
    EXPECT_EQ(m_spin->text(), QStringLiteral("2"));
    typeAndLeave(QStringLiteral("3,5"));
    EXPECT_EQ(m_spin->text(), QStringLiteral("4"));
}

TEST_F(SuperSpinWindow, roundValuesPutsATypedValueOnTheGrid)
{
    configure(m_spin, 1, 100, 1);
    m_spin->setRoundValues(true);
    m_spin->setIncrement(5);
    typeAndLeave(QStringLiteral("12"));
    EXPECT_EQ(m_spin->text(), QStringLiteral("11"));

    m_spin->setRoundValues(false);
    typeAndLeave(QStringLiteral("12"));
    EXPECT_EQ(m_spin->text(), QStringLiteral("12"));
}

TEST_F(SuperSpinWindow, withTheEditorOffOnlyTheStepsChangeTheValue)
{
    configure(m_spin, 0, 9999, 5);
    m_spin->setEditorEnabled(false);
    m_spin->setFocus();
    m_spin->setCursorPosition(1);
    const int beeps = platform::beepCount();
    QTest::keyClicks(m_spin, QStringLiteral("7"));
    QTest::keyClick(m_spin, Qt::Key_Backspace);
    m_spin->pasteCommand();
    EXPECT_EQ(m_spin->text(), QStringLiteral("5"));
    EXPECT_EQ(platform::beepCount() - beeps, 2);
    QTest::keyClick(m_spin, Qt::Key_Up);
    EXPECT_EQ(m_spin->text(), QStringLiteral("6"));
}

TEST_F(SuperSpinWindow, aReadOnlyFieldBeepsForKeysAndButtons)
{
    configure(m_spin, 0, 9999, 5);
    m_spin->setReadOnly(true);
    m_spin->setFocus();
    const int beeps = platform::beepCount();
    QTest::keyClick(m_spin, Qt::Key_Up);
    QTest::keyClick(m_spin, Qt::Key_7);
    clickButton(m_spin->upButton());
    EXPECT_EQ(m_spin->text(), QStringLiteral("5"));
    EXPECT_EQ(platform::beepCount() - beeps, 3);
}

} // namespace
} // namespace nomaro
