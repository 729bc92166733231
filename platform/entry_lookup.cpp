#include "platform/entry_lookup.h"

#include <cerrno>
#include <ctime>

#include "platform/entry_stat.h"

namespace nomaro::platform {

DateTimeValue twoSecondStep(const QDate &date, const QTime &time)
{
    QTime stepped = QTime(time.hour(), time.minute(), time.second());
    if (date.year() >= 1980 && date.year() <= 2107)
        stepped = QTime(time.hour(), time.minute(), time.second() & ~1);
    return toDateTimeValue(date, stepped);
}

namespace {
DateTimeValue localWriteTime(const struct stat &info)
{
    struct tm local{};
    const time_t seconds = info.st_mtime;
    if (!localtime_r(&seconds, &local))
        return 0.0;
    return twoSecondStep(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                         QTime(local.tm_hour, local.tm_min, qMin(local.tm_sec, 59)));
}
} // namespace

EntryInfo lookUpEntry(const std::string &fullPath)
{
    EntryInfo entry;
    const EntryStatus status = statEntry(fullPath);
    if (!status.found()) {
        entry.status = (status.error == ENOENT || status.error == ENOTDIR) ? EntryInfo::Status::Missing
                                                                         : EntryInfo::Status::Failed;
        return entry;
    }
    entry.status = EntryInfo::Status::Found;
    entry.isFolder = status.isDirectory();
    entry.size = status.isRegular() ? static_cast<std::uint64_t>(status.info.st_size) : 0;
    entry.lastWrite = localWriteTime(status.info);
    return entry;
}

} // namespace nomaro::platform
