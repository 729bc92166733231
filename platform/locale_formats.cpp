#include "platform/locale_formats.h"

#include <cmath>
#include <cstdio>

namespace nomaro::platform {
namespace {

// Drops time-zone fields ("t", "tt", ...) and the blanks around them; quoted text stays.
QString withoutTimeZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out.append(c);
    }
    return out.trimmed();
}

QString withSeconds(const QString &format)
{
    if (format.contains(u's'))
        return format;
    const qsizetype minutes = format.lastIndexOf(QStringLiteral("mm"));
    if (minutes < 0)
        return format;
    QString out = format;
    out.insert(minutes + 2, QStringLiteral(":ss"));
    return out;
}

std::string utf8(const QString &text)
{
    return text.toStdString();
}

} // namespace

LocaleFormats LocaleFormats::fromLocale(const QLocale &locale)
{
    LocaleFormats formats;
    formats.thousandsSeparator = utf8(locale.groupSeparator());
    formats.decimalSeparator = utf8(locale.decimalPoint());
    formats.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    formats.longTimeFormat = withSeconds(withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
    return formats;
}

std::string formatWholeNumber(double value, int width, const LocaleFormats &formats)
{
    const double rounded = std::round(value);
    char digits[400];
    std::snprintf(digits, sizeof digits, "%.0f", std::fabs(rounded));

    std::string grouped;
    if (rounded < 0)
        grouped.push_back('-');
    const std::string_view all(digits);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i > 0 && (all.size() - i) % 3 == 0)
            grouped += formats.thousandsSeparator;
        grouped.push_back(all[i]);
    }

    const int length = static_cast<int>(QString::fromStdString(grouped).size());
    if (length < width)
        grouped.insert(0, static_cast<std::size_t>(width - length), ' ');
    return grouped;
}

} // namespace nomaro::platform
