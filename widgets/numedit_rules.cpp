#include "widgets/numedit_rules.h"

#include <algorithm>
#include <stdexcept>

#include "platform/beep.h"

namespace nomaro {
namespace {

constexpr char16_t kCopy = 3;
constexpr char16_t kPaste = 22;
constexpr char16_t kCut = 24;
constexpr int kMaxExponent = 4932;

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int size(const std::u16string &text)
{
    return static_cast<int>(text.size());
}

// The exponent as a whole number; false when it is none or too long to matter.
bool readExponent(const std::u16string &text, long &exponent)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == u'-';
    if (negative)
        i = 1;
    if (i == text.size() || text.size() - i > 9)
        return false;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
        value = value * 10 + (text[i] - u'0');
    }
    exponent = negative ? -value : value;
    return true;
}

} // namespace

NumEditRules::NumEditRules(const Separators &locale)
    : m_separators(locale)
{
    setText(FormatValue(0));
}

void NumEditRules::setText(std::u16string text)
{
    m_text = std::move(text);
    m_selStart = size(m_text);
    m_selLength = 0;
}

void NumEditRules::setSelection(int start, int length)
{
    m_selStart = std::clamp(start, 0, size(m_text));
    m_selLength = std::clamp(length, 0, size(m_text) - m_selStart);
}

void NumEditRules::setCaret(int caret)
{
    setSelection(caret, 0);
}

void NumEditRules::replaceText(std::u16string text, int caret)
{
    m_text = std::move(text);
    setCaret(caret);
}

Extended NumEditRules::value() const
{
    return TextToValue(m_text, m_separators, m_separators);
}

Extended NumEditRules::value(const Separators &current) const
{
    return TextToValue(m_text, m_separators, current);
}

void NumEditRules::setValue(Extended value)
{
    std::u16string text = FormatValue(value);
    if (text != m_text)
        setText(std::move(text));
}

void NumEditRules::setMinValue(Extended value)
{
    if (value != m_minValue && value <= m_maxValue)
        m_minValue = value;
}

void NumEditRules::setMaxValue(Extended value)
{
    if (value != m_maxValue && value >= m_minValue)
        m_maxValue = value;
}

bool NumEditRules::isOutsideLimits() const
{
    if (!hasLimits())
        return false;
    const Extended v = value();
    return v < m_minValue || v > m_maxValue;
}

void NumEditRules::setDecimals(int decimals)
{
    decimals = std::clamp(decimals, -1, 14);
    if (m_maxLength > 0 && decimals > m_maxLength - 2)
        decimals = std::max(-1, m_maxLength - 2);
    const Extended v = value();
    m_decimals = decimals;
    setText(FormatValue(v));
}

void NumEditRules::setNumberFormat(NumFormat format)
{
    const Extended v = value();
    m_format = format;
    setText(FormatValue(v));
}

std::u16string NumEditRules::FormatValue(Extended x) const
{
    return nomaro::FormatValue(x, m_decimals, m_format, m_separators);
}

bool NumEditRules::isSeparator(char16_t c) const
{
    return c != 0 && (c == m_separators.decimal || c == m_separators.thousands);
}

int NumEditRules::decimalPosition() const
{
    const auto at = m_text.find(m_separators.decimal);
    return at == std::u16string::npos ? 0 : static_cast<int>(at) + 1;
}

int NumEditRules::exponentPosition() const
{
    const auto at = m_text.find(u'E');
    return at == std::u16string::npos ? 0 : static_cast<int>(at) + 1;
}

bool NumEditRules::insert(char16_t c)
{
    if (m_maxLength > 0 && size(m_text) - m_selLength + 1 > m_maxLength) {
        platform::beep();
        return false;
    }
    m_text.replace(static_cast<std::size_t>(m_selStart), static_cast<std::size_t>(m_selLength), 1, c);
    setCaret(m_selStart + 1);
    return true;
}

void NumEditRules::onChar(char16_t c, Clipboard &clipboard)
{
    switch (c) {
    case kCopy:
        onCopy(clipboard);
        return;
    case kPaste:
        onPaste(clipboard);
        return;
    case kCut:
        onCut(clipboard);
        return;
    default:
        break;
    }
    if (!m_readOnly)
        typeChar(c);
}

void NumEditRules::typeChar(char16_t c)
{
    const bool separator = c == m_separators.decimal && m_decimals != 0;
    if (c != u'-' && !isDigit(c) && c != u'E' && c != u'e' && !separator) {
        platform::beep();
        return;
    }
    if (c == u'e')
        c = u'E';

    if (c == u'E' || separator)
        m_selLength = 0;
    else
        DeleteSelection();

    // The caret never stays in front of a sign, neither the number's nor the exponent's.
    if (!m_text.empty() && m_text[0] == u'-' && m_selStart == 0)
        setCaret(1);
    const int x = exponentPosition();
    if (x != 0 && x < size(m_text) && m_text[static_cast<std::size_t>(x)] == u'-' && m_selStart == x)
        setCaret(x + 1);

    if (separator)
        typeDecimalSeparator();
    else if (c == u'-')
        typeMinus();
    else if (c == u'E')
        typeExponent();
    else
        typeDigit(c);
}

void NumEditRules::typeMinus()
{
    const int q = m_selStart;
    const int x = exponentPosition();
    if (x != 0 && q >= x) {
        if (x < size(m_text) && m_text[static_cast<std::size_t>(x)] == u'-') {
            m_text.erase(static_cast<std::size_t>(x), 1);
            setCaret(q - 1);
        } else {
            setCaret(x);
            if (insert(u'-'))
                setCaret(q + 1);
            else
                setCaret(q);
        }
        return;
    }
    if (!m_text.empty() && m_text[0] == u'-') {
        m_text.erase(0, 1);
        setCaret(q - 1);
    } else {
        setCaret(0);
        if (insert(u'-'))
            setCaret(q + 1);
        else
            setCaret(q);
    }
}

void NumEditRules::typeDecimalSeparator()
{
    const int p = decimalPosition();
    if (p != 0) {
        setCaret(p);
        return;
    }
    const int x = exponentPosition();
    const int end = x != 0 ? x - 1 : size(m_text);
    // Fixed decimals take the separator at the caret, but never inside the exponent.
    if (m_decimals == -1 || m_selStart > end)
        setCaret(end);
    insert(m_separators.decimal);
}

void NumEditRules::typeExponent()
{
    const int x = exponentPosition();
    if (x != 0) {
        setCaret(x);
        return;
    }
    const int q = m_selStart;
    setCaret(size(m_text));
    if (!insert(u'E'))
        setCaret(q);
}

void NumEditRules::typeDigit(char16_t digit)
{
    const int q = m_selStart;
    const int n = size(m_text);
    const int p = decimalPosition();
    const int x = exponentPosition();

    if (q <= 2 && n >= 2 && m_text[0] == u'-' && m_text[1] == u'0') {
        setSelection(1, 1);
    } else if (q <= 1 && n >= 1 && m_text[0] == u'0') {
        setSelection(0, 1);
    } else if (x != 0 && q >= x) {
        // A leading "0" of the exponent is replaced; either way the exponent stays within 4932.
        if (q == x && q < n && m_text[static_cast<std::size_t>(q)] == u'0')
            setSelection(q, 1);
        std::u16string exponent = m_text.substr(static_cast<std::size_t>(x), static_cast<std::size_t>(q - x));
        exponent.push_back(digit);
        exponent += m_text.substr(static_cast<std::size_t>(q + m_selLength));
        long value = 0;
        if (!readExponent(exponent, value) || value > kMaxExponent || value < -kMaxExponent) {
            setCaret(q);
            platform::beep();
            return;
        }
    } else if (m_decimals > 0 && p != 0) {
        if (q >= p + m_decimals) {
            platform::beep();
            return;
        }
        // Overwrites the decimal after the caret; never an "E" that follows fewer decimals.
        if (q >= p && q < n && isDigit(m_text[static_cast<std::size_t>(q)]))
            setSelection(q, 1);
    }
    insert(digit);
}

void NumEditRules::onDeleteKey(DeleteKey key)
{
    if (m_selLength > 0)
        DeleteSelection();
    else
        DeleteChar(key);
}

void NumEditRules::DeleteChar(DeleteKey key)
{
    if (m_readOnly)
        return;
    const int n = size(m_text);
    const int p = decimalPosition();
    const int exponent = exponentPosition();
    const int x = exponent != 0 ? exponent : n + 1;
    const auto at = [this](int position) { return m_text[static_cast<std::size_t>(position - 1)]; };
    const auto skipped = [this, &at](int position) { return at(position) == u'E' || isSeparator(at(position)); };

    // "E" and the separators are stepped over, never removed: removing the "E" of "1,E-5"
    // would leave "1,-5", which is no number.
    int k = 0;
    if (key == DeleteKey::Delete) {
        k = m_selStart + 1;
        if (n < k)
            return;
        while (k <= n && skipped(k))
            ++k;
    } else {
        if (m_selStart == 0)
            return;
        k = m_selStart;
        while (k >= 1 && skipped(k))
            --k;
    }
    if (k == 0 || k > n)
        return;

    if (p != 0 && k > p && k < x) {
        m_text.erase(static_cast<std::size_t>(k - 1), 1);
        if (m_decimals > 0) {
            const int e = exponentPosition();
            m_text.insert(static_cast<std::size_t>(e != 0 ? e - 1 : size(m_text)), 1, u'0');
        }
        setCaret(k - 1);
    } else if (k == 1 && m_text[0] == u'-') {
        m_text.erase(0, 1);
        if (m_text.empty())
            m_text = u"0";
        setCaret(0);
    } else if (k == 1 && (p == 2 || exponent == 2 || n == 1)) {
        m_text[0] = u'0';
        setCaret(1);
    } else {
        m_text.erase(static_cast<std::size_t>(k - 1), 1);
        setCaret(k - 1);
        const bool scientific = m_format == NumFormat::Scientific || m_format == NumFormat::Engineering;
        if (scientific && (m_text.ends_with(u'E') || m_text.ends_with(u"E-")))
            m_text.push_back(u'0');
    }
}

void NumEditRules::DeleteSelection()
{
    if (m_readOnly || m_selLength == 0)
        return;
    if (m_selLength == size(m_text)) {
        replaceText(FormatValue(0), 0);
        return;
    }
    const std::u16string selected = m_text.substr(static_cast<std::size_t>(m_selStart),
                                                  static_cast<std::size_t>(m_selLength));
    int count = 0;
    for (char16_t c : selected)
        if (c != m_separators.thousands)
            ++count;
    if (selected.find(m_separators.decimal) != std::u16string::npos)
        --count;
    setCaret(m_selStart + m_selLength);
    for (int i = 0; i < count; ++i)
        DeleteChar(DeleteKey::Backspace);
}

void NumEditRules::onCopy(Clipboard &clipboard) const
{
    std::u16string selected = m_text.substr(static_cast<std::size_t>(m_selStart),
                                            static_cast<std::size_t>(m_selLength));
    if (m_separators.thousands != 0)
        std::erase(selected, m_separators.thousands);
    if (selected.empty())
        selected = u"0";
    else if (selected == u"-")
        selected = u"-0";
    clipboard.setText(selected);
}

void NumEditRules::onCut(Clipboard &clipboard)
{
    onCopy(clipboard);
    DeleteSelection();
}

void NumEditRules::onPaste(Clipboard &clipboard)
{
    if (m_readOnly)
        return;
    DeleteSelection();
    for (char16_t c : clipboard.text()) {
        // Control characters in the pasted text are refused like any other, never taken for
        // clipboard commands: a text holding the paste code would paste itself for ever.
        if (c < 0x20)
            platform::beep();
        else
            typeChar(c);
    }
}

void NumEditRules::onKeyRelease(bool enterOrSpace)
{
    if (m_format != NumFormat::Thousands || m_selLength > 0)
        return;
    Extended v = 0;
    try {
        v = value();
    } catch (const std::runtime_error &) {
        // An exponent still being typed ("1E"); it is reported when the value is read.
        return;
    }
    std::u16string text = FormatValue(v);
    const char16_t thousands = m_separators.thousands;
    const auto count = [thousands](const std::u16string &t) {
        return thousands == 0 ? 0 : static_cast<int>(std::count(t.begin(), t.end(), thousands));
    };
    const int oldCount = count(m_text);
    const int newCount = count(text);
    if (oldCount == newCount && m_text.find(thousands) == text.find(thousands) && !enterOrSpace)
        return;

    const bool oldDecimal = m_text.find(m_separators.decimal) != std::u16string::npos;
    const bool newDecimal = text.find(m_separators.decimal) != std::u16string::npos;
    int caret = m_selStart + newCount - oldCount;
    if (newDecimal && !oldDecimal)
        ++caret;
    if (oldDecimal && !newDecimal)
        --caret;
    replaceText(std::move(text), caret);
    if (thousands != 0 && m_selStart < size(m_text) && m_text[static_cast<std::size_t>(m_selStart)] == thousands)
        setCaret(m_selStart + 1);
}

void NumEditRules::reformat()
{
    setText(FormatValue(value()));
}

void NumEditRules::correctToLimits()
{
    const Extended v = value();
    if (v < m_minValue)
        setValue(m_minValue);
    else if (v > m_maxValue)
        setValue(m_maxValue);
    platform::beep();
}

void NumEditRules::UpdateSeparators(const Separators &locale)
{
    m_text = nomaro::UpdateSeparators(m_text, m_separators, locale);
    m_separators = locale;
    setSelection(m_selStart, m_selLength);
}

} // namespace nomaro
