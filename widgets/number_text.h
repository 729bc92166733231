#pragma once

#include <string>

namespace nomaro {

namespace platform {
struct LocaleFormats;
}

// The numeric fields keep their number in the widest floating type, so that exponents up to
// 4932 stay representable as the editing rules allow them.
using Extended = long double;

enum class NumFormat { Standard, Thousands, Scientific, Engineering };

// The decimal and thousands separators a text is written with. Texts are UTF-16 so that a caret
// position is the same number here and in the line edit. A separator of 0 never matches.
struct Separators
{
    char16_t decimal = u'.';
    char16_t thousands = u',';

    static Separators fromLocale(const platform::LocaleFormats &formats);
    bool operator==(const Separators &) const = default;
};

// The value written as the field shows it: `decimals` -1 for as many as needed (at most 15
// significant digits), 0 for none, 1 to 14 for exactly that many.
std::u16string FormatValue(Extended x, int decimals, NumFormat format, const Separators &separators);

// The text read back. The text was written with `recorded`; `current` are the locale's separators
// now. Throws std::runtime_error (Italian message) when the text is no number, such as "1E".
// Values beyond the range of Extended become its largest value, tiny ones 0.
Extended TextToValue(const std::u16string &text, const Separators &recorded, const Separators &current);

// Each character equal to a separator of `from` becomes the same separator of `to`; without a
// thousands separator in `to` the old ones are dropped.
std::u16string UpdateSeparators(const std::u16string &text, const Separators &from, const Separators &to);

std::string toUtf8(const std::u16string &text);

} // namespace nomaro
