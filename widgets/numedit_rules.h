#pragma once

#include <string>

#include "widgets/number_text.h"

namespace nomaro {

// Where the clipboard commands of a numeric field read and write plain text.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual std::u16string text() const = 0;
    virtual void setText(const std::u16string &text) = 0;
};

enum class DeleteKey { Backspace, Delete };

// The editing rules of a numeric field: a text with a caret and a selection that only ever
// changes in ways that leave a number. The line edit feeds its keys and commands in here and
// shows the result; every refusal beeps through platform::beep().
class NumEditRules
{
public:
    explicit NumEditRules(const Separators &locale = {});

    const std::u16string &text() const { return m_text; }
    int selStart() const { return m_selStart; }
    int selLength() const { return m_selLength; }
    // Replaces the text as a program would; the caret goes to the end.
    void setText(std::u16string text);
    // Clamped to the text.
    void setSelection(int start, int length);

    // The separators the text was last written with.
    const Separators &separators() const { return m_separators; }

    // Throws std::runtime_error when the text is no number (a text ending in "E").
    Extended value() const;
    // As value(), for a text read while the locale already uses `current`.
    Extended value(const Separators &current) const;
    // Replaces the text by its formatted value when that differs; checks no limits.
    void setValue(Extended value);

    Extended minValue() const { return m_minValue; }
    Extended maxValue() const { return m_maxValue; }
    // Ignored when equal to the old value or above MaxValue (below MinValue for setMaxValue).
    void setMinValue(Extended value);
    void setMaxValue(Extended value);
    bool hasLimits() const { return m_minValue != 0 || m_maxValue != 0; }
    bool isOutsideLimits() const;

    int decimals() const { return m_decimals; }
    void setDecimals(int decimals);
    NumFormat numberFormat() const { return m_format; }
    void setNumberFormat(NumFormat format);
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int maxLength) { m_maxLength = maxLength < 0 ? 0 : maxLength; }

    std::u16string FormatValue(Extended x) const;

    // A typed character; codes 3, 22 and 24 are the copy, paste and cut commands.
    void onChar(char16_t c, Clipboard &clipboard);
    // The Backspace and Delete keys: the selection goes, or else one digit.
    void onDeleteKey(DeleteKey key);
    void onCopy(Clipboard &clipboard) const;
    void onCut(Clipboard &clipboard);
    void onPaste(Clipboard &clipboard);
    // Thousands grouping after a key release.
    void onKeyRelease(bool enterOrSpace);

    void DeleteChar(DeleteKey key);
    void DeleteSelection();

    // Leaving the field: the text is written anew from its value.
    void reformat();
    // A value outside the limits becomes the nearer limit, with a beep.
    void correctToLimits();

    // The text and the recorded separators follow the locale's new separators.
    void UpdateSeparators(const Separators &locale);

private:
    void typeChar(char16_t c);
    void typeMinus();
    void typeDecimalSeparator();
    void typeExponent();
    void typeDigit(char16_t digit);
    bool insert(char16_t c);
    void replaceText(std::u16string text, int caret);
    void setCaret(int caret);
    bool isSeparator(char16_t c) const;
    // 1-based positions as the rules count them; 0 when absent.
    int decimalPosition() const;
    int exponentPosition() const;

    std::u16string m_text;
    int m_selStart = 0;
    int m_selLength = 0;
    Separators m_separators;
    Extended m_minValue = 0;
    Extended m_maxValue = 0;
    int m_decimals = -1;
    NumFormat m_format = NumFormat::Standard;
    bool m_readOnly = false;
    int m_maxLength = 0;
};

} // namespace nomaro
