#pragma once

#include <cstdint>
#include <string>

#include "platform/datetime.h"

namespace nomaro::platform {

// What the file system says about one entry, looked up by its full path.
struct EntryInfo
{
    enum class Status { Found, Missing, Failed };

    Status status = Status::Missing;
    bool isFolder = false;     // a folder, or a symbolic link that leads to one
    std::uint64_t size = 0;    // 0 for a folder
    DateTimeValue lastWrite = 0.0; // local time, to the two-second step where that step exists
};

EntryInfo lookUpEntry(const std::string &fullPath);

// A local time brought to the two-second step of the packed date-and-time form (an odd second
// drops to the even one below). Times before 1980 or after 2107, which that form cannot hold,
// keep their exact second.
DateTimeValue twoSecondStep(const QDate &date, const QTime &time);

} // namespace nomaro::platform
