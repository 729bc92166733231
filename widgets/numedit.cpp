#include "widgets/numedit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "platform/beep.h"
#include "platform/locale_formats.h"

namespace nomaro {
namespace {

constexpr char16_t kCopy = 3;
constexpr char16_t kPaste = 22;
constexpr char16_t kCut = 24;

class SystemClipboard final : public Clipboard
{
public:
    std::u16string text() const override { return QGuiApplication::clipboard()->text().toStdU16String(); }
    void setText(const std::u16string &text) override
    {
        QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
    }
};

bool isNavigationKey(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return event->matches(QKeySequence::SelectAll);
    }
}

} // namespace

NumEdit::NumEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_rules(localeSeparators())
{
    // Text may reach the field only through the rules: no input method, no dropped text.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_color = palette().color(QPalette::Active, QPalette::Base);
    m_disabledColor = palette().color(QPalette::Active, QPalette::Button);
    applyColors();
    pushState();
    resize(100, sizeHint().height());
}

Separators NumEdit::localeSeparators() const
{
    return Separators::fromLocale(platform::LocaleFormats::fromLocale(locale()));
}

void NumEdit::pullState()
{
    const std::u16string shown = text().toStdU16String();
    if (shown != m_rules.text())
        m_rules.setText(shown);
    m_rules.setReadOnly(isReadOnly());
    if (hasSelectedText())
        m_rules.setSelection(static_cast<int>(selectionStart()), static_cast<int>(selectionLength()));
    else
        m_rules.setSelection(static_cast<int>(cursorPosition()), 0);
}

void NumEdit::pushState()
{
    const QString shown = QString::fromStdU16String(m_rules.text());
    if (shown != text())
        setText(shown);
    if (m_rules.selLength() > 0)
        setSelection(m_rules.selStart(), m_rules.selLength());
    else
        setCursorPosition(m_rules.selStart());
}

double NumEdit::Value() const
{
    return static_cast<double>(TextToValue(text().toStdU16String(), m_rules.separators(), localeSeparators()));
}

void NumEdit::setValue(double value)
{
    pullState();
    m_rules.setValue(value);
    pushState();
}

double NumEdit::MinValue() const
{
    return static_cast<double>(m_rules.minValue());
}

void NumEdit::setMinValue(double value)
{
    m_rules.setMinValue(value);
}

double NumEdit::MaxValue() const
{
    return static_cast<double>(m_rules.maxValue());
}

void NumEdit::setMaxValue(double value)
{
    m_rules.setMaxValue(value);
}

int NumEdit::Decimals() const
{
    return m_rules.decimals();
}

void NumEdit::setDecimals(int decimals)
{
    pullState();
    m_rules.setDecimals(decimals);
    pushState();
}

NumFormat NumEdit::NumberFormat() const
{
    return m_rules.numberFormat();
}

void NumEdit::setNumberFormat(NumFormat format)
{
    pullState();
    m_rules.setNumberFormat(format);
    pushState();
}

int NumEdit::MaxLength() const
{
    return m_rules.maxLength();
}

void NumEdit::setMaxLength(int maxLength)
{
    m_rules.setMaxLength(maxLength);
}

void NumEdit::setColor(const QColor &color)
{
    m_color = color;
    m_parentColor = false;
    applyColors();
}

void NumEdit::setDisabledColor(const QColor &color)
{
    m_disabledColor = color;
    applyColors();
}

void NumEdit::setParentColor(bool parentColor)
{
    m_parentColor = parentColor;
    applyColors();
}

void NumEdit::applyColors()
{
    if (m_applyingColors)
        return;
    m_applyingColors = true;
    if (m_parentColor && parentWidget())
        m_color = parentWidget()->palette().color(QPalette::Window);
    QPalette colors = palette();
    colors.setColor(QPalette::Active, QPalette::Base, m_color);
    colors.setColor(QPalette::Inactive, QPalette::Base, m_color);
    colors.setColor(QPalette::Disabled, QPalette::Base, m_disabledColor);
    setPalette(colors);
    m_applyingColors = false;
}

void NumEdit::typeChar(char16_t c)
{
    if (!acceptsTyping())
        return;
    SystemClipboard clipboard;
    pullState();
    m_rules.onChar(c, clipboard);
    pushState();
}

void NumEdit::copyCommand()
{
    SystemClipboard clipboard;
    pullState();
    m_rules.onCopy(clipboard);
}

void NumEdit::cutCommand()
{
    if (!allowsCutPaste())
        return;
    SystemClipboard clipboard;
    pullState();
    m_rules.onCut(clipboard);
    pushState();
}

void NumEdit::pasteCommand()
{
    if (!allowsCutPaste())
        return;
    SystemClipboard clipboard;
    pullState();
    m_rules.onPaste(clipboard);
    pushState();
}

void NumEdit::clearCommand()
{
    if (m_onClear) {
        m_onClear(this);
        return;
    }
    pullState();
    m_rules.DeleteSelection();
    pushState();
}

void NumEdit::keyPressEvent(QKeyEvent *event)
{
    m_enteredByMouse = false;
    if (event->matches(QKeySequence::Copy)) {
        typeChar(kCopy);
    } else if (event->matches(QKeySequence::Paste)) {
        typeChar(kPaste);
    } else if (event->matches(QKeySequence::Cut)) {
        typeChar(kCut);
    } else if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        // The line edit's undo would bring back texts the rules never saw.
    } else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (!isReadOnly() && acceptsTyping()) {
            pullState();
            m_rules.onDeleteKey(event->key() == Qt::Key_Delete ? DeleteKey::Delete : DeleteKey::Backspace);
            pushState();
        }
    } else if (isNavigationKey(event) || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
               || event->key() == Qt::Key_Escape) {
        QLineEdit::keyPressEvent(event);
        return;
    } else if (!event->text().isEmpty() && event->text().front().isPrint()) {
        for (const QChar c : event->text())
            typeChar(c.unicode());
    } else {
        event->ignore();
        return;
    }
    event->accept();
}

void NumEdit::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    if (m_rules.numberFormat() != NumFormat::Thousands)
        return;
    pullState();
    const int key = event->key();
    m_rules.onKeyRelease(key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space);
    pushState();
}

void NumEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // The focus coming back from a popup (our own context menu, before it runs the chosen
    // command) or from another window is no entering: the selection the user made stays.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (m_autoSelect)
        selectAll();
    else if (hasSelectedText())
        deselect();
    // The press that brought the focus must not undo the selection (see mousePressEvent).
    m_enteredByMouse = event->reason() == Qt::MouseFocusReason
                       && (QGuiApplication::mouseButtons() & Qt::LeftButton);
}

void NumEdit::mousePressEvent(QMouseEvent *event)
{
    if (m_enteredByMouse && event->button() == Qt::LeftButton) {
        m_enteredByMouse = false;
        if (m_autoSelect) {
            selectAll();
            m_holdingEntrySelection = true;
            event->accept();
            return;
        }
    }
    m_enteredByMouse = false;
    QLineEdit::mousePressEvent(event);
}

void NumEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (m_holdingEntrySelection) {
        event->accept();
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void NumEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the X11 selection straight into the line edit, past the rules.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    if (m_holdingEntrySelection) {
        m_holdingEntrySelection = false;
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void NumEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // Our own menu: the line edit's would cut, paste, delete and undo past the rules.
    QMenu menu(this);
    const bool selected = hasSelectedText();
    const bool editable = !isReadOnly();
    QAction *cut = menu.addAction(QStringLiteral("Taglia"), this, &NumEdit::cutCommand);
    cut->setEnabled(selected && editable);
    QAction *copy = menu.addAction(QStringLiteral("Copia"), this, &NumEdit::copyCommand);
    copy->setEnabled(selected);
    QAction *paste = menu.addAction(QStringLiteral("Incolla"), this, &NumEdit::pasteCommand);
    paste->setEnabled(editable && !QGuiApplication::clipboard()->text().isEmpty());
    QAction *clear = menu.addAction(QStringLiteral("Elimina"), this, &NumEdit::clearCommand);
    clear->setEnabled(selected && editable);
    menu.addSeparator();
    QAction *all = menu.addAction(QStringLiteral("Seleziona tutto"), this, &QLineEdit::selectAll);
    all->setEnabled(!text().isEmpty());
    menu.exec(event->globalPos());
}

void NumEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A popup (our own context menu) or another window taking the focus is no leaving.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    leaveField();
}

void NumEdit::leaveField()
{
    beforeExit();
    pullState();
    m_rules.reformat();
    pushState();
    if (m_rules.isOutsideLimits())
        InvalidEntry();
    else if (m_onExit)
        m_onExit(this);
}

void NumEdit::InvalidEntry()
{
    if (m_onInvalidEntry) {
        m_onInvalidEntry(this);
        return;
    }
    pullState();
    m_rules.correctToLimits();
    pushState();
    // Queued: the focus is still moving away while the field hears of it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus && !hasFocus())
                setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
}

void NumEdit::UpdateSeparators()
{
    pullState();
    m_rules.UpdateSeparators(localeSeparators());
    pushState();
}

void NumEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::LocaleChange:
        UpdateSeparators();
        break;
    case QEvent::ParentChange:
    case QEvent::PaletteChange:
        if (m_parentColor)
            applyColors();
        break;
    default:
        break;
    }
}

} // namespace nomaro
