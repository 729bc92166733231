#include "widgets/number_text.h"

#include <QString>
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/locale_formats.h"

namespace nomaro {
namespace {

// A number as decimal digits: value = 0.d1d2d3... x 10^exponent. No leading or trailing zeros
// in `digits`; an empty `digits` is zero.
struct Decimal
{
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

constexpr int kSignificantDigits = 18; // what the extended type holds reliably
constexpr int kShownDigits = 15;       // the most digits a field ever shows
constexpr int kMaxFixedIntegerDigits = 18;

void trimTrailingZeros(Decimal &d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) {
        d.negative = false;
        d.exponent = 0;
    }
}

Decimal toDecimal(Extended x)
{
    Decimal d;
    if (std::isnan(x) || x == 0)
        return d;
    if (std::isinf(x))
        x = x < 0 ? -LDBL_MAX : LDBL_MAX;
    d.negative = x < 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", kSignificantDigits - 1, std::fabs(x));
    // "d.ddddde+XX"
    d.digits.push_back(buffer[0]);
    const char *p = buffer + 2;
    while (*p >= '0' && *p <= '9')
        d.digits.push_back(*p++);
    d.exponent = std::atoi(p + 1) + 1;
    trimTrailingZeros(d);
    return d;
}

// Keeps `keep` significant digits, a half rounding up as the decimal digits read.
void roundToDigits(Decimal &d, int keep)
{
    if (keep < 0) {
        d = Decimal{};
        return;
    }
    if (static_cast<std::size_t>(keep) >= d.digits.size())
        return;
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9')
            d.digits[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[static_cast<std::size_t>(i)];
        }
    }
    trimTrailingZeros(d);
}

char digitAt(const Decimal &d, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= d.digits.size())
        return '0';
    return d.digits[static_cast<std::size_t>(index)];
}

void appendAscii(std::u16string &out, const std::string &ascii)
{
    for (char c : ascii)
        out.push_back(static_cast<char16_t>(c));
}

void appendExponent(std::u16string &out, int exponent)
{
    out.push_back(u'E');
    if (exponent < 0)
        out.push_back(u'-');
    appendAscii(out, std::to_string(std::abs(exponent)));
}

std::u16string fractionText(std::string fraction, int minDecimals, char16_t separator)
{
    while (static_cast<int>(fraction.size()) > minDecimals && fraction.back() == '0')
        fraction.pop_back();
    std::u16string out;
    if (fraction.empty())
        return out;
    out.push_back(separator);
    appendAscii(out, fraction);
    return out;
}

// Like the "general" number format with 15 digits: for numbers too large to be written out.
std::u16string formatGeneral(Decimal d, const Separators &separators)
{
    roundToDigits(d, kShownDigits);
    std::u16string out;
    if (d.negative)
        out.push_back(u'-');
    out.push_back(static_cast<char16_t>(digitAt(d, 0)));
    out += fractionText(d.digits.size() > 1 ? d.digits.substr(1) : std::string(), 0, separators.decimal);
    appendExponent(out, d.exponent - 1);
    return out;
}

// Patterns "0", ",0", followed by "." and up to `maxDecimals` digits of which `minDecimals` are
// always written.
std::u16string formatFixed(Extended x, bool grouping, int minDecimals, int maxDecimals,
                           const Separators &separators)
{
    Decimal d = toDecimal(x);
    if (d.exponent > kMaxFixedIntegerDigits)
        return formatGeneral(d, separators);
    roundToDigits(d, d.exponent + maxDecimals);

    std::string integer;
    for (int i = 0; i < d.exponent; ++i)
        integer.push_back(digitAt(d, i));
    if (integer.empty())
        integer = "0";
    std::string fraction;
    for (int i = 0; i < maxDecimals; ++i)
        fraction.push_back(digitAt(d, d.exponent + i));

    std::u16string out;
    if (d.negative)
        out.push_back(u'-');
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (grouping && separators.thousands != 0 && i > 0 && (integer.size() - i) % 3 == 0)
            out.push_back(separators.thousands);
        out.push_back(static_cast<char16_t>(integer[i]));
    }
    out += fractionText(fraction, minDecimals, separators.decimal);
    return out;
}

// Pattern "0.", decimals, "E-": one digit before the separator, the exponent signed only when
// negative.
std::u16string formatScientific(Extended x, int minDecimals, int maxDecimals, const Separators &separators)
{
    Decimal d = toDecimal(x);
    roundToDigits(d, 1 + maxDecimals);
    std::u16string out;
    if (d.negative)
        out.push_back(u'-');
    out.push_back(static_cast<char16_t>(digitAt(d, 0)));
    std::string fraction;
    for (int i = 1; i <= maxDecimals; ++i)
        fraction.push_back(digitAt(d, i));
    out += fractionText(fraction, minDecimals, separators.decimal);
    appendExponent(out, d.digits.empty() ? 0 : d.exponent - 1);
    return out;
}

Extended powerOfTen(int exponent)
{
    // strtold, unlike from_chars, gives the powers below the normal range (down to 1E-4951)
    // instead of refusing them; the text holds no decimal point, so the C locale is no concern.
    const std::string text = "1E" + std::to_string(exponent);
    return std::strtold(text.c_str(), nullptr);
}

std::u16string formatEngineering(Extended x, int decimals, const Separators &separators)
{
    const int e = 3 * static_cast<int>(std::trunc(std::log10(std::fabs(x)) / 3));
    const Extended m = x / powerOfTen(e);
    int d = 14;
    if (std::fabs(m) > 9)
        --d;
    if (std::fabs(m) > 99)
        --d;
    if (decimals != -1 && decimals < d)
        d = decimals;
    std::u16string out = formatFixed(m, false, decimals > 0 ? d : 0, d, separators);
    appendExponent(out, e);
    return out;
}

int digitsBefore(const std::u16string &text, char16_t separator)
{
    int count = 0;
    for (char16_t c : text) {
        if (c == separator)
            break;
        if (c >= u'0' && c <= u'9')
            ++count;
    }
    return count;
}

} // namespace

Separators Separators::fromLocale(const platform::LocaleFormats &formats)
{
    const QString decimal = QString::fromStdString(formats.decimalSeparator);
    const QString thousands = QString::fromStdString(formats.thousandsSeparator);
    Separators separators;
    separators.decimal = decimal.isEmpty() ? u'.' : decimal.front().unicode();
    separators.thousands = thousands.isEmpty() ? char16_t(0) : thousands.front().unicode();
    return separators;
}

std::u16string FormatValue(Extended x, int decimals, NumFormat format, const Separators &separators)
{
    if (std::isnan(x))
        x = 0;
    if (std::isinf(x))
        x = x < 0 ? -LDBL_MAX : LDBL_MAX;

    if (format == NumFormat::Engineering && x != 0)
        return formatEngineering(x, decimals, separators);

    const bool grouping = format == NumFormat::Thousands;
    const int minDecimals = decimals > 0 ? decimals : 0;
    const int maxDecimals = decimals > 0 ? decimals : (decimals == 0 ? 0 : 14);
    if (format == NumFormat::Scientific || format == NumFormat::Engineering)
        return formatScientific(x, minDecimals, maxDecimals, separators);

    std::u16string text = formatFixed(x, grouping, minDecimals, maxDecimals, separators);
    if (text.find(u'E') != std::u16string::npos || text.find(separators.decimal) == std::u16string::npos)
        return text;

    // Never more than 15 significant digits; fixed decimals beyond them are zeros.
    const int n = digitsBefore(text, separators.decimal);
    const int room = std::max(0, kShownDigits - n);
    if (decimals == -1)
        return formatFixed(x, grouping, 0, room, separators);
    if (room < decimals) {
        text = formatFixed(x, grouping, room, room, separators);
        if (room == 0)
            text.push_back(separators.decimal);
        text.append(static_cast<std::size_t>(decimals - room), u'0');
    }
    return text;
}

std::u16string UpdateSeparators(const std::u16string &text, const Separators &from, const Separators &to)
{
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (from.decimal != 0 && c == from.decimal)
            out.push_back(to.decimal);
        else if (from.thousands != 0 && c == from.thousands) {
            // A locale without a thousands separator drops the grouping.
            if (to.thousands != 0)
                out.push_back(to.thousands);
        } else
            out.push_back(c);
    }
    return out;
}

std::string toUtf8(const std::u16string &text)
{
    return QString::fromStdU16String(text).toStdString();
}

Extended TextToValue(const std::u16string &text, const Separators &recorded, const Separators &current)
{
    std::u16string copy = recorded == current ? text : UpdateSeparators(text, recorded, current);
    if (current.thousands != 0)
        std::erase(copy, current.thousands);
    if (copy.empty())
        copy = u"0";
    else if (copy == u"-")
        copy = u"-0";

    const auto fail = [&text]() -> Extended {
        throw std::runtime_error("'" + toUtf8(text) + "' non è un numero valido.");
    };

    // [-] digits [separator digits] [E [-] digits]; the mantissa's digits may be missing
    // ("-E5", ",5"), the exponent's may not.
    std::string integer, fraction, exponent;
    bool negative = false, negativeExponent = false;
    std::size_t i = 0;
    const auto isDigit = [&copy](std::size_t at) { return at < copy.size() && copy[at] >= u'0' && copy[at] <= u'9'; };
    if (i < copy.size() && copy[i] == u'-') {
        negative = true;
        ++i;
    }
    while (isDigit(i))
        integer.push_back(static_cast<char>(copy[i++]));
    if (i < copy.size() && copy[i] == current.decimal) {
        ++i;
        while (isDigit(i))
            fraction.push_back(static_cast<char>(copy[i++]));
    }
    if (i < copy.size() && copy[i] == u'E') {
        ++i;
        if (i < copy.size() && copy[i] == u'-') {
            negativeExponent = true;
            ++i;
        }
        while (isDigit(i))
            exponent.push_back(static_cast<char>(copy[i++]));
        if (exponent.empty())
            return fail();
    }
    if (i != copy.size())
        return fail();

    std::string ascii = (integer.empty() ? std::string("0") : integer) + "." + fraction + "0";
    if (!exponent.empty())
        ascii += (negativeExponent ? "e-" : "e") + exponent;
    Extended value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow or underflow: judged by where the first significant digit stands.
        const std::string all = integer + fraction;
        const auto first = all.find_first_not_of('0');
        if (first == std::string::npos) {
            value = 0;
        } else {
            long long magnitude = static_cast<long long>(integer.size()) - static_cast<long long>(first);
            long long shift = 0;
            for (char c : exponent) {
                shift = std::min<long long>(shift * 10 + (c - '0'), 1'000'000'000LL);
            }
            magnitude += negativeExponent ? -shift : shift;
            value = magnitude > 0 ? LDBL_MAX : 0;
        }
    } else if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size()) {
        return fail();
    }
    return negative ? -value : value;
}

} // namespace nomaro
