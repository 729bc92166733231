#include "platform/datetime.h"

#include <cmath>

namespace nomaro::platform {
namespace {
constexpr qint64 kMsecsPerDay = 24 * 60 * 60 * 1000;

qint64 epochJulianDay()
{
    return QDate(1899, 12, 30).toJulianDay();
}

// The whole part counts days; the fraction is the time of day, also for dates before the epoch.
void split(DateTimeValue value, qint64 &days, qint64 &msecs)
{
    const double whole = std::trunc(value);
    days = static_cast<qint64>(whole);
    msecs = std::llround(std::fabs(value - whole) * kMsecsPerDay);
    if (msecs >= kMsecsPerDay) {
        msecs = 0;
        days += value < 0 ? -1 : 1;
    }
}
} // namespace

DateTimeValue toDateTimeValue(const QDate &date, const QTime &time)
{
    const qint64 days = date.toJulianDay() - epochJulianDay();
    const double fraction = static_cast<double>(time.msecsSinceStartOfDay()) / kMsecsPerDay;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

QDateTime fromDateTimeValue(DateTimeValue value)
{
    qint64 days = 0;
    qint64 msecs = 0;
    split(value, days, msecs);
    return QDateTime(QDate::fromJulianDay(epochJulianDay() + days),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}

std::string formatDateTime(DateTimeValue value, const LocaleFormats &formats)
{
    const QDateTime dateTime = fromDateTimeValue(value);
    QString text = dateTime.date().toString(formats.shortDateFormat);
    if (dateTime.time() != QTime(0, 0))
        text += u' ' + dateTime.time().toString(formats.longTimeFormat);
    return text.toStdString();
}

std::string formatDate(DateTimeValue value, const LocaleFormats &formats)
{
    return fromDateTimeValue(value).date().toString(formats.shortDateFormat).toStdString();
}

} // namespace nomaro::platform
