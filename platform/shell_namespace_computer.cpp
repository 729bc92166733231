// "Computer": the virtual folder listing the drives, with columns of its own for their type,
// capacity and free space.

#include <cmath>
#include <sys/statvfs.h>

#include "platform/shell_compare.h"
#include "platform/shell_namespace_parts.h"

namespace nomaro::platform::detail {
namespace {

// "12,3 GB": one decimal above a kilobyte, in the locale's separators.
std::string formatCapacity(std::uint64_t bytes, const LocaleFormats &formats)
{
    static const char *const units[] = {"byte", "KB", "MB", "GB", "TB", "PB"};
    if (bytes < 1024)
        return formatWholeNumber(static_cast<double>(bytes), 0, formats) + " byte";
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024.0 && unit < 5) {
        value /= 1024.0;
        ++unit;
    }
    const long long tenths = std::llround(value * 10.0);
    return formatWholeNumber(static_cast<double>(tenths / 10), 0, formats) + formats.decimalSeparator
        + std::to_string(tenths % 10) + " " + units[unit];
}

// Capacity and free space of a drive; nothing for network and FUSE drives, whose answer may
// never come and would hold the window while the drive list is drawn.
std::optional<struct statvfs> driveSpace(const Drive *drive, const std::string &mountPoint)
{
    if (drive && mayHang(*drive))
        return std::nullopt;
    struct statvfs info;
    if (::statvfs(mountPoint.c_str(), &info) != 0)
        return std::nullopt;
    return info;
}

} // namespace

const char *driveTypeName(DriveType type)
{
    switch (type) {
    case DriveType::Removable:
        return "Disco rimovibile";
    case DriveType::Optical:
        return "Unità ottica";
    case DriveType::Ram:
        return "Disco RAM";
    case DriveType::Network:
        return "Unità di rete";
    case DriveType::Fixed:
        break;
    }
    return "Disco locale";
}

const char *driveIconName(DriveType type)
{
    switch (type) {
    case DriveType::Removable:
        return "drive-removable-media";
    case DriveType::Optical:
        return "drive-optical";
    case DriveType::Network:
        return "folder-remote";
    case DriveType::Ram:
    case DriveType::Fixed:
        break;
    }
    return "drive-harddisk";
}

ComputerFolder::ComputerFolder(ItemIdList absolute)
    : ShellFolder(std::move(absolute), {})
{
}

EnumEnd ComputerFolder::enumerate(unsigned flags, const std::function<void(ItemIdList &&)> &sink, int &error) const
{
    error = 0;
    const std::vector<Drive> &drives = rereadDrives();
    if (flags & EnumFolders) {
        for (const Drive &drive : drives)
            sink(rootElement(drive.mountPoint, ElementDrive));
    }
    return EnumEnd::NoMoreItems;
}

int ComputerFolder::compare(int column, const ItemElement &x, const ItemElement &y) const
{
    int order = 0;
    if (column == 1) {
        order = compareNames(typeName(x), typeName(y));
    } else if (column == 2 || column == 3) {
        auto amount = [&](const ItemElement &element) -> unsigned long long {
            const auto space = driveSpace(driveFor(element), std::string(element.name));
            if (!space)
                return 0;
            return static_cast<unsigned long long>(column == 2 ? space->f_blocks : space->f_bavail) * space->f_frsize;
        };
        const unsigned long long ax = amount(x);
        const unsigned long long ay = amount(y);
        order = ax < ay ? -1 : ax > ay ? 1 : 0;
    }
    if (order != 0)
        return order;
    if (x.isDirectory() != y.isDirectory())
        return x.isDirectory() ? -1 : 1;
    return compareNames(x.name, y.name);
}

bool ComputerFolder::hasColumnDetails() const
{
    return true;
}

std::optional<ColumnDetail> ComputerFolder::columnDetail(int column) const
{
    switch (column) {
    case 0:
        return ColumnDetail{"Nome", Alignment::Left, 25};
    case 1:
        return ColumnDetail{"Tipo", Alignment::Left, 18};
    case 2:
        return ColumnDetail{"Dimensione totale", Alignment::Right, 16};
    case 3:
        return ColumnDetail{"Spazio disponibile", Alignment::Right, 16};
    default:
        return std::nullopt;
    }
}

std::string ComputerFolder::detailText(const ItemIdList &child, int column, const LocaleFormats &formats) const
{
    const ItemElement element = child.firstElement();
    switch (column) {
    case 0:
        return displayName(element, DisplayNameKind::InFolder);
    case 1:
        return typeName(element);
    case 2:
    case 3: {
        const auto space = driveSpace(driveFor(element), std::string(element.name));
        if (!space)
            return {};
        const auto blocks = column == 2 ? space->f_blocks : space->f_bavail;
        return formatCapacity(static_cast<std::uint64_t>(blocks) * space->f_frsize, formats);
    }
    default:
        return {};
    }
}

} // namespace nomaro::platform::detail
