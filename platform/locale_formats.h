#pragma once

#include <QLocale>
#include <QString>
#include <string>

namespace nomaro::platform {

// The regional settings that the program's texts follow, read at the moment they are written.
// Every formatting routine takes one of these, so tests can pin a locale.
struct LocaleFormats
{
    std::string thousandsSeparator; // UTF-8
    std::string decimalSeparator;   // UTF-8
    QString shortDateFormat;        // QDate pattern, e.g. "dd/MM/yy"
    QString longTimeFormat;         // QTime pattern with seconds and without a time zone, e.g. "HH:mm:ss"

    static LocaleFormats fromLocale(const QLocale &locale);
    static LocaleFormats system() { return fromLocale(QLocale::system()); }
};

// A number written like the "%W.0n" format: rounded to a whole number (a half rounds away from
// zero), the thousands separator between groups of three digits, right-aligned with leading
// blanks to at least `width` characters and never cut.
std::string formatWholeNumber(double value, int width, const LocaleFormats &formats);

} // namespace nomaro::platform
