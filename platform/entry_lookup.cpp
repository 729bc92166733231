#include "platform/entry_lookup.h"

#include <cerrno>
#include <ctime>
#include <sys/stat.h>

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
    struct stat info{};
    if (::lstat(fullPath.c_str(), &info) != 0) {
        entry.status = (errno == ENOENT || errno == ENOTDIR) ? EntryInfo::Status::Missing
                                                            : EntryInfo::Status::Failed;
        return entry;
    }
    // A link counts as what it leads to; a link that leads nowhere stays an entry of its own.
    if (S_ISLNK(info.st_mode)) {
        struct stat target{};
        if (::stat(fullPath.c_str(), &target) == 0)
            info = target;
    }
    entry.status = EntryInfo::Status::Found;
    entry.isFolder = S_ISDIR(info.st_mode);
    entry.size = entry.isFolder || !S_ISREG(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
    entry.lastWrite = localWriteTime(info);
    return entry;
}

} // namespace nomaro::platform
