#pragma once

#include <QColor>
#include <QLineEdit>
#include <functional>

#include "widgets/numedit_rules.h"

namespace nomaro {

// A single-line field that holds one number. Every key, clipboard command and focus change goes
// through NumEditRules, so the text can only change in ways that leave a number; limits are
// checked when the focus leaves. Separators follow the widget's locale().
class NumEdit : public QLineEdit
{
    Q_OBJECT

public:
    using Notify = std::function<void(NumEdit *sender)>;

    explicit NumEdit(QWidget *parent = nullptr);

    // Reading converts the text; throws std::runtime_error (Italian message) when the text is no
    // number, such as one ending in "E". Writing checks no limits.
    double Value() const;
    void setValue(double value);

    // Both 0: no limits. MaxValue must be set before a positive MinValue.
    double MinValue() const;
    void setMinValue(double value);
    double MaxValue() const;
    void setMaxValue(double value);

    int Decimals() const;
    void setDecimals(int decimals);
    NumFormat NumberFormat() const;
    void setNumberFormat(NumFormat format);
    // 0 for no limit. QLineEdit's own limit stays at its default, because a formatted value may
    // be longer than the most characters the user may type.
    int MaxLength() const;
    void setMaxLength(int maxLength);

    bool AutoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }

    QColor Color() const { return m_color; }
    void setColor(const QColor &color);
    QColor DisabledColor() const { return m_disabledColor; }
    void setDisabledColor(const QColor &color);
    bool ParentColor() const { return m_parentColor; }
    void setParentColor(bool parentColor);

    void setOnExit(Notify handler) { m_onExit = std::move(handler); }
    // Called instead of the correction to the nearer limit.
    void setOnInvalidEntry(Notify handler) { m_onInvalidEntry = std::move(handler); }
    // Called instead of deleting the selection on the clear command.
    void setOnClear(Notify handler) { m_onClear = std::move(handler); }

    // The clipboard commands, as the context menu and the shortcuts give them.
    void copyCommand();
    void cutCommand();
    void pasteCommand();
    void clearCommand();

    // A value outside the limits becomes the nearer limit with a beep and the focus comes back.
    void InvalidEntry();
    // The text and the recorded separators follow the separators of locale().
    void UpdateSeparators();

protected:
    NumEditRules &rules() { return m_rules; }
    // Copies the line edit's text, caret and selection into the rules, and back.
    void pullState();
    void pushState();

    // A derived field may refuse typed characters (beeping itself), cut and paste, and act
    // before the rules for leaving the field.
    virtual bool acceptsTyping() { return true; }
    virtual bool allowsCutPaste() const { return true; }
    virtual void beforeExit() {}

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void typeChar(char16_t c);
    void leaveField();
    void applyColors();
    Separators localeSeparators() const;

    NumEditRules m_rules;
    bool m_autoSelect = true;
    bool m_enteredByMouse = false;
    bool m_holdingEntrySelection = false;
    QColor m_color;
    QColor m_disabledColor;
    bool m_parentColor = false;
    bool m_applyingColors = false;
    Notify m_onExit;
    Notify m_onInvalidEntry;
    Notify m_onClear;
};

} // namespace nomaro
