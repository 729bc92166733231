#pragma once

#include <QDateTime>
#include <string>

#include "platform/locale_formats.h"

namespace nomaro::platform {

// The program's date-time value: days since 30 December 1899, the fraction being the time of
// day, in local time.
using DateTimeValue = double;

DateTimeValue toDateTimeValue(const QDate &date, const QTime &time);
QDateTime fromDateTimeValue(DateTimeValue value);

// Short date, a blank and the long time; the time is left out at exactly midnight.
std::string formatDateTime(DateTimeValue value, const LocaleFormats &formats);

// Short date alone.
std::string formatDate(DateTimeValue value, const LocaleFormats &formats);

} // namespace nomaro::platform
