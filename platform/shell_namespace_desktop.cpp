// The desktop: the virtual root of the namespace, holding the home folder, the desktop folder
// when it is a folder of its own, and "Computer".

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <pwd.h>
#include <unistd.h>

#include "platform/entry_stat.h"
#include "platform/shell_compare.h"
#include "platform/shell_namespace_parts.h"

namespace nomaro::platform::detail {
namespace {

// Order of the desktop's children: home, desktop folder, "Computer".
int desktopRank(const ItemElement &element)
{
    if (element.type == ElementType::Computer)
        return 2;
    if (element.flags & ElementHome)
        return 0;
    return 1;
}

} // namespace

std::string homeFolder()
{
    return QFile::encodeName(QDir::homePath()).toStdString();
}

std::optional<std::string> desktopFolder()
{
    const QString location = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (location.isEmpty() || !QDir(location).exists())
        return std::nullopt;
    const std::string path = QFile::encodeName(QDir::cleanPath(location)).toStdString();
    if (path == homeFolder())
        return std::nullopt;
    return path;
}

std::string loginName()
{
    if (const passwd *entry = ::getpwuid(::getuid()); entry && entry->pw_name && *entry->pw_name)
        return entry->pw_name;
    const std::string home = homeFolder();
    return home.substr(home.rfind('/') + 1);
}

ItemIdList rootElement(const std::string &path, std::uint8_t role)
{
    const auto flags = static_cast<std::uint8_t>(ElementDirectory | role);
    if (role == ElementDrive)
        return makeElement(ElementType::Root, flags, path, nullptr);
    const EntryStatus status = statEntry(path);
    return makeElement(ElementType::Root, flags, path, status.found() ? &status.info : nullptr);
}

ItemIdList computerElement()
{
    return makeElement(ElementType::Computer, 0, {}, nullptr);
}

DesktopFolder::DesktopFolder()
    : ShellFolder(ItemIdList(), {})
{
}

EnumEnd DesktopFolder::enumerate(unsigned flags, const std::function<void(ItemIdList &&)> &sink, int &error) const
{
    error = 0;
    if (flags & EnumFolders) {
        sink(rootElement(homeFolder(), ElementHome));
        if (const auto desktop = desktopFolder())
            sink(rootElement(*desktop, ElementDesktop));
        sink(computerElement());
    }
    return EnumEnd::NoMoreItems;
}

int DesktopFolder::compare(int, const ItemElement &x, const ItemElement &y) const
{
    const int rank = desktopRank(x) - desktopRank(y);
    return rank != 0 ? sign(rank) : compareNames(x.name, y.name);
}

} // namespace nomaro::platform::detail
