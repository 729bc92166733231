#include "widgets/superspin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

#include "platform/beep.h"

namespace nomaro {
namespace {

constexpr int kButtonWidth = 15;
constexpr int kTextPadding = 2; // QLineEdit's horizontal margin inside its text rectangle
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
           || key == Qt::Key_AltGr;
}

} // namespace

SpinButton::SpinButton(Qt::ArrowType arrow, QWidget *parent)
    : QAbstractButton(parent)
    , m_arrow(arrow)
{
    setFocusPolicy(Qt::NoFocus);
}

void SpinButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionButton panel;
    panel.initFrom(this);
    panel.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &panel, &painter, this);

    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = rect().adjusted(2, 0, -2, 0);
    if (isDown())
        arrow.rect.translate(1, 1);
    style()->drawPrimitive(m_arrow == Qt::UpArrow ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                           &arrow, &painter, this);
}

SuperSpin::SuperSpin(QWidget *parent)
    : NumEdit(parent)
    , m_up(new SpinButton(Qt::UpArrow, this))
    , m_down(new SpinButton(Qt::DownArrow, this))
{
    for (SpinButton *button : {m_up, m_down}) {
        const bool up = button == m_up;
        connect(button, &QAbstractButton::pressed, this, [this, up] { buttonPressed(up); });
        connect(button, &QAbstractButton::released, &m_repeat, &QTimer::stop);
        connect(button, &QAbstractButton::clicked, this, [this, up] {
            if (!m_repeated)
                step(up, StepSource::Button);
        });
    }
    m_repeat.setSingleShot(true);
    connect(&m_repeat, &QTimer::timeout, this, &SuperSpin::repeatStep);

    m_up->setGeometry(0, 0, kButtonWidth, 8);
    m_down->setGeometry(0, 7, kButtonWidth, 10);
    // The text runs from the frame up to the buttons, without the line edit's own padding of
    // kTextPadding on either side: four digits must fit in a field 46 pixels wide.
    setTextMargins(-kTextPadding, 0, kButtonWidth - kTextPadding, 0);
    applyMinimumHeight();
    layoutButtons();
}

double SuperSpin::Increment() const
{
    return static_cast<double>(m_spin.increment());
}

void SuperSpin::setIncrement(double increment)
{
    pullState();
    m_spin.setIncrement(increment, rules());
    pushState();
}

void SuperSpin::StepUp()
{
    step(true, StepSource::Key);
}

void SuperSpin::StepDown()
{
    step(false, StepSource::Key);
}

void SuperSpin::RoundValue()
{
    pullState();
    m_spin.RoundValue(rules());
    pushState();
}

void SuperSpin::step(bool up, StepSource source)
{
    pullState();
    const StepResult result = up ? m_spin.StepUp(rules(), source) : m_spin.StepDown(rules(), source);
    pushState();
    if (result == StepResult::InvalidEntry)
        InvalidEntry();
}

void SuperSpin::buttonPressed(bool up)
{
    if (isEnabled() && focusPolicy() != Qt::NoFocus && !hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_repeatUp = up;
    m_repeated = false;
    m_repeat.start(kFirstRepeatMs);
}

void SuperSpin::repeatStep()
{
    // Moving off the button releases it (and stops the timer); coming back presses it anew.
    m_repeated = true;
    if (!(m_repeatUp ? m_up : m_down)->isDown())
        return;
    // Started again only after a step that went through: a step that throws (a text ending in
    // "E") is reported once, not every 100 ms.
    step(m_repeatUp, StepSource::Button);
    m_repeat.start(kRepeatMs);
}

bool SuperSpin::acceptsTyping()
{
    if (m_editorEnabled)
        return true;
    platform::beep();
    return false;
}

bool SuperSpin::allowsCutPaste() const
{
    return m_editorEnabled && !isReadOnly();
}

void SuperSpin::beforeExit()
{
    pullState();
    if (m_spin.roundsOnExit(rules())) {
        m_spin.RoundValue(rules());
        pushState();
    }
}

void SuperSpin::keyPressEvent(QKeyEvent *event)
{
    if (isReadOnly()) {
        if (!isModifierKey(event->key()))
            platform::beep();
        event->accept();
        return;
    }
    const bool arrow = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (arrow)
        step(event->key() == Qt::Key_Up, StepSource::Key);
    NumEdit::keyPressEvent(event);
    if (arrow)
        event->accept();
}

void SuperSpin::keyReleaseEvent(QKeyEvent *event)
{
    // X11 repeats a held key as release and press pairs; only the real release ends the
    // acceleration.
    if (!event->isAutoRepeat())
        m_spin.resetStep();
    NumEdit::keyReleaseEvent(event);
}

void SuperSpin::resizeEvent(QResizeEvent *event)
{
    NumEdit::resizeEvent(event);
    layoutButtons();
}

void SuperSpin::changeEvent(QEvent *event)
{
    NumEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyMinimumHeight();
}

void SuperSpin::layoutButtons()
{
    const int border = hasFrame() ? 2 : 0;
    const int strip = std::max(0, height() - 2 * border - 1);
    const int x = width() - border - kButtonWidth;
    const int upHeight = strip / 2;
    m_up->setGeometry(x, border, kButtonWidth, upHeight);
    m_down->setGeometry(x, border + upHeight - 1, kButtonWidth, strip - upHeight + 1);
}

void SuperSpin::applyMinimumHeight()
{
    const int fontHeight = fontMetrics().height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    setMinimumHeight(4 + fontHeight + std::min(fontHeight, systemHeight) / 4 + 2);
}

} // namespace nomaro
