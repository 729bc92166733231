#include "platform/shell_namespace.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/rename.h"
#include "platform/shell_compare.h"
#include "platform/shell_error.h"
#include "platform/shell_types.h"

namespace nomaro::platform {
namespace {

std::string inQuotes(const std::string &text)
{
    return "\"" + text + "\"";
}

std::string homeFolder()
{
    return QFile::encodeName(QDir::homePath()).toStdString();
}

// The user's desktop folder, when it exists and is not the home folder itself.
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

std::string lastComponent(const std::string &path)
{
    if (path == "/")
        return path;
    return path.substr(path.rfind('/') + 1);
}

bool startsWithFolder(const std::string &path, const std::string &folder)
{
    if (folder == "/")
        return true;
    return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

std::uint8_t kindFlags(const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        return ElementDirectory;
    if (S_ISLNK(info.st_mode))
        return ElementSymlink;
    if (S_ISREG(info.st_mode))
        return ElementRegular;
    return 0;
}

ItemIdList makeElement(ElementType type, std::uint8_t flags, std::string_view name, const struct stat *info)
{
    ItemElement element;
    element.type = type;
    element.flags = flags;
    element.name = name;
    if (info) {
        element.size = static_cast<std::uint64_t>(info->st_size);
        element.mtimeSeconds = info->st_mtim.tv_sec;
        element.mtimeNanoseconds = static_cast<std::uint32_t>(info->st_mtim.tv_nsec);
    }
    if (auto list = ItemIdList::single(element))
        return std::move(*list);
    raiseShellError(ENAMETOOLONG, "Nome troppo lungo " + inQuotes(std::string(name)));
}

// The element of an entry found in the folder open as `folderFd` (or AT_FDCWD with a full path).
// A symbolic link is looked through only to tell whether it leads to a folder, so a link that
// points nowhere or into a loop is listed as what it is.
std::optional<ItemIdList> entryElement(int folderFd, const char *pathOrName, std::string_view name, int &error)
{
    struct stat info;
    if (::fstatat(folderFd, pathOrName, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        error = errno;
        return std::nullopt;
    }
    std::uint8_t flags = kindFlags(info);
    if (flags & ElementSymlink) {
        struct stat target;
        if (::fstatat(folderFd, pathOrName, &target, 0) == 0 && S_ISDIR(target.st_mode))
            flags |= ElementLinkToDirectory;
    }
    return makeElement(ElementType::Entry, flags, name, &info);
}

ItemIdList rootElement(const std::string &path, std::uint8_t role)
{
    struct stat info;
    const bool known = role != ElementDrive && ::stat(path.c_str(), &info) == 0;
    return makeElement(ElementType::Root, static_cast<std::uint8_t>(ElementDirectory | role), path, known ? &info : nullptr);
}

ItemIdList computerElement()
{
    return makeElement(ElementType::Computer, 0, {}, nullptr);
}

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

// Capacity and free space of a drive; nothing for network drives, whose answer may never come.
std::optional<struct statvfs> driveSpace(const Drive *drive, const std::string &mountPoint)
{
    if (drive && drive->type == DriveType::Network)
        return std::nullopt;
    struct statvfs info;
    if (::statvfs(mountPoint.c_str(), &info) != 0)
        return std::nullopt;
    return info;
}

int sign(long long value)
{
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

// Order of the desktop's children: home, desktop folder, "Computer".
int desktopRank(const ItemElement &element)
{
    if (element.type == ElementType::Computer)
        return 2;
    if (element.flags & ElementHome)
        return 0;
    return 1;
}

std::string lexicallyNormal(const std::string &path)
{
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    const std::string_view all(path);
    while (at <= all.size()) {
        std::size_t end = all.find('/', at);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view part = all.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string out;
    for (const std::string_view part : parts) {
        out.push_back('/');
        out.append(part);
    }
    return out.empty() ? std::string("/") : out;
}

} // namespace

ShellFolder::ShellFolder(ItemIdList absolute, Kind kind, std::string path)
    : m_absolute(std::move(absolute))
    , m_kind(kind)
    , m_path(std::move(path))
{
}

std::unique_ptr<ShellFolder> ShellFolder::bind(const ItemIdList &absolute)
{
    if (absolute.isDesktop())
        return std::unique_ptr<ShellFolder>(new ShellFolder(ItemIdList(), Kind::Desktop, {}));
    if (absolute.count() == 1 && absolute.firstElement().type == ElementType::Computer)
        return std::unique_ptr<ShellFolder>(new ShellFolder(absolute, Kind::Computer, {}));

    std::string path = pathOf(absolute);
    if (path.empty() || path[0] != '/')
        raiseShellError(EINVAL, "Identificatore di cartella non valido");
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        raiseShellError(errno, "Impossibile aprire la cartella " + inQuotes(path));
    if (!S_ISDIR(info.st_mode))
        raiseShellError(ENOTDIR, "Impossibile aprire la cartella " + inQuotes(path));
    return std::unique_ptr<ShellFolder>(new ShellFolder(absolute, Kind::FileSystem, std::move(path)));
}

EnumEnd ShellFolder::enumerate(unsigned flags, const std::function<void(ItemIdList &&)> &sink, int &error) const
{
    error = 0;
    if (m_kind == Kind::Desktop) {
        if (flags & EnumFolders) {
            sink(rootElement(homeFolder(), ElementHome));
            if (const auto desktop = desktopFolder())
                sink(rootElement(*desktop, ElementDesktop));
            sink(computerElement());
        }
        return EnumEnd::NoMoreItems;
    }
    if (m_kind == Kind::Computer) {
        m_drives = mountedDrives();
        if (flags & EnumFolders) {
            for (const Drive &drive : *m_drives)
                sink(rootElement(drive.mountPoint, ElementDrive));
        }
        return EnumEnd::NoMoreItems;
    }

    const int fd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return EnumEnd::CannotStart;
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        error = errno;
        ::close(fd);
        return EnumEnd::CannotStart;
    }

    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            errno = 0;
            continue;
        }
        if (name[0] == '.' && !(flags & EnumHidden)) {
            errno = 0;
            continue;
        }
        int statError = 0;
        std::optional<ItemIdList> child = entryElement(fd, name, name, statError);
        // An entry that went away since it was read is simply not there any more; one that
        // cannot be looked at (a folder without search permission) is still listed.
        if (!child && statError != ENOENT)
            child = makeElement(ElementType::Entry, 0, name, nullptr);
        if (child) {
            const bool folder = child->firstElement().isDirectory();
            if (folder ? (flags & EnumFolders) : (flags & EnumNonFolders))
                sink(std::move(*child));
        }
        errno = 0;
    }
    const int readError = errno;
    ::closedir(dir);
    if (readError == 0)
        return EnumEnd::NoMoreItems;
    error = readError;
    switch (readError) {
    case ENOENT:
    case ESTALE:
    case EIO:
    case ENOMEDIUM:
    case ENODEV:
    case ENXIO:
    case ENOTCONN:
        return EnumEnd::GeneralFailure;
    default:
        return EnumEnd::Error;
    }
}

const Drive *ShellFolder::driveFor(const ItemElement &element) const
{
    if (!m_drives)
        m_drives = mountedDrives();
    if (element.type == ElementType::Root)
        return driveOf(*m_drives, element.name);
    return driveOf(*m_drives, m_path);
}

std::uint32_t ShellFolder::attributes(const ItemIdList &child, std::uint32_t wanted) const
{
    const ItemElement element = child.firstElement();
    std::uint32_t attributes = 0;
    switch (element.type) {
    case ElementType::Computer:
        return (AttrFolder | AttrFileSystemAncestor) & wanted;
    case ElementType::Root:
        attributes = AttrFolder | AttrFileSystem | AttrFileSystemAncestor | AttrCanCopy | AttrCanLink;
        break;
    case ElementType::Entry:
        attributes = AttrFileSystem | AttrCanCopy | AttrCanLink;
        if (element.isDirectory())
            attributes |= AttrFolder | AttrFileSystemAncestor;
        if (element.flags & ElementSymlink)
            attributes |= AttrLink;
        if (element.flags & ElementRegular)
            attributes |= AttrStream;
        if (!element.name.empty() && element.name[0] == '.')
            attributes |= AttrHidden;
        if (wanted & AttrReadOnly) {
            if (::faccessat(AT_FDCWD, childPath(child).c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
                attributes |= AttrReadOnly;
        }
        if (wanted & (AttrCanRename | AttrCanDelete | AttrCanMove)) {
            if (::access(m_path.c_str(), W_OK) == 0)
                attributes |= AttrCanRename | AttrCanDelete | AttrCanMove;
        }
        break;
    }
    if (wanted & AttrRemovable) {
        const Drive *drive = driveFor(element);
        if (drive && drive->type == DriveType::Removable)
            attributes |= AttrRemovable;
    }
    return attributes & wanted;
}

std::string ShellFolder::displayName(const ItemIdList &child, DisplayNameKind kind) const
{
    const ItemElement element = child.firstElement();
    switch (element.type) {
    case ElementType::Computer:
        return "Computer";
    case ElementType::Root: {
        const std::string path(element.name);
        if (kind == DisplayNameKind::ForParsing)
            return path;
        if (kind == DisplayNameKind::ForEditing)
            return lastComponent(path);
        if (element.flags & ElementHome)
            return loginName();
        if (element.flags & ElementDrive) {
            if (path == "/")
                return "File system";
            if (const Drive *drive = driveFor(element); drive && drive->mountPoint == path) {
                const std::string label = volumeLabel(*drive);
                if (!label.empty())
                    return label;
            }
        }
        return lastComponent(path);
    }
    case ElementType::Entry:
        if (kind == DisplayNameKind::ForParsing)
            return joinPath(m_path, element.name);
        return std::string(element.name);
    }
    return {};
}

std::string ShellFolder::childPath(const ItemIdList &child) const
{
    const ItemElement element = child.firstElement();
    switch (element.type) {
    case ElementType::Computer:
        return {};
    case ElementType::Root:
        return std::string(element.name);
    case ElementType::Entry:
        return m_path.empty() ? std::string() : joinPath(m_path, element.name);
    }
    return {};
}

int ShellFolder::compare(int column, const ItemIdList &a, const ItemIdList &b) const
{
    return compare(column, a.firstElement(), b.firstElement());
}

int ShellFolder::compare(int column, const ItemElement &x, const ItemElement &y) const
{
    if (m_kind == Kind::Desktop) {
        const int rank = desktopRank(x) - desktopRank(y);
        return rank != 0 ? sign(rank) : compareNames(x.name, y.name);
    }

    auto byName = [&] {
        if (x.isDirectory() != y.isDirectory())
            return x.isDirectory() ? -1 : 1;
        return compareNames(x.name, y.name);
    };
    int order = 0;
    if (m_kind == Kind::Computer) {
        if (column == 1) {
            order = compareNames(typeNameOf(x), typeNameOf(y));
        } else if (column == 2 || column == 3) {
            const std::string pathX(x.name);
            const std::string pathY(y.name);
            const auto spaceX = driveSpace(driveFor(x), pathX);
            const auto spaceY = driveSpace(driveFor(y), pathY);
            auto amount = [column](const std::optional<struct statvfs> &space) -> unsigned long long {
                if (!space)
                    return 0;
                return static_cast<unsigned long long>(column == 2 ? space->f_blocks : space->f_bavail) * space->f_frsize;
            };
            const unsigned long long ax = amount(spaceX);
            const unsigned long long ay = amount(spaceY);
            order = ax < ay ? -1 : ax > ay ? 1 : 0;
        }
        return order != 0 ? order : byName();
    }

    switch (column) {
    case 1: {
        const std::uint64_t sx = x.isDirectory() ? 0 : x.size;
        const std::uint64_t sy = y.isDirectory() ? 0 : y.size;
        order = sx < sy ? -1 : sx > sy ? 1 : 0;
        break;
    }
    case 2:
        order = compareNames(typeNameOf(x), typeNameOf(y));
        break;
    case 3:
        order = x.mtimeSeconds != y.mtimeSeconds ? sign(x.mtimeSeconds - y.mtimeSeconds)
                                                 : sign(static_cast<long long>(x.mtimeNanoseconds) - y.mtimeNanoseconds);
        break;
    default:
        break;
    }
    return order != 0 ? order : byName();
}

SortKey ShellFolder::sortKey(int column, const ItemElement &element) const
{
    if (m_kind != Kind::FileSystem)
        return {};
    const bool folder = element.isDirectory();
    switch (column) {
    case 0: {
        // Folders first in the top bit; the name's key moves down a bit and loses its last
        // one, which keeps its order.
        const SortKey name = namePrefixKey(element.name);
        const std::uint64_t fileBit = folder ? 0 : std::uint64_t(1) << 63;
        return {fileBit | (name.high >> 1), (name.high << 63) | (name.low >> 1)};
    }
    case 1:
        return {folder ? 0 : element.size, 0};
    case 3:
        return {static_cast<std::uint64_t>(element.mtimeSeconds) ^ (std::uint64_t(1) << 63), element.mtimeNanoseconds};
    default:
        return {};
    }
}

bool ShellFolder::hasColumnDetails() const
{
    return m_kind == Kind::Computer;
}

std::optional<ColumnDetail> ShellFolder::columnDetail(int column) const
{
    if (m_kind != Kind::Computer)
        return std::nullopt;
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

std::string ShellFolder::detailText(const ItemIdList &child, int column, const LocaleFormats &formats) const
{
    if (m_kind != Kind::Computer)
        return {};
    const ItemElement element = child.firstElement();
    switch (column) {
    case 0:
        return displayName(child, DisplayNameKind::InFolder);
    case 1:
        return typeName(child);
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

std::string ShellFolder::typeName(const ItemIdList &child) const
{
    return typeNameOf(child.firstElement());
}

std::string ShellFolder::typeNameOf(const ItemElement &element) const
{
    switch (element.type) {
    case ElementType::Computer:
        return "Cartella di sistema";
    case ElementType::Root:
        if (element.flags & ElementDrive) {
            const Drive *drive = driveFor(element);
            return driveTypeName(drive ? drive->type : DriveType::Fixed);
        }
        return kFolderTypeName;
    case ElementType::Entry:
        return element.isDirectory() ? std::string(kFolderTypeName) : fileTypeName(element.name);
    }
    return {};
}

std::string ShellFolder::iconName(const ItemIdList &child) const
{
    const ItemElement element = child.firstElement();
    switch (element.type) {
    case ElementType::Computer:
        return "computer";
    case ElementType::Root:
        if (element.flags & ElementHome)
            return "user-home";
        if (element.flags & ElementDesktop)
            return "user-desktop";
        {
            const Drive *drive = driveFor(element);
            return driveIconName(drive ? drive->type : DriveType::Fixed);
        }
    case ElementType::Entry:
        return element.isDirectory() ? std::string("folder") : fileIconName(element.name);
    }
    return {};
}

ItemIdList ShellFolder::rename(const ItemIdList &child, const std::string &newName) const
{
    const ItemElement element = child.firstElement();
    const std::string oldName(element.name);
    if (m_kind != Kind::FileSystem || element.type != ElementType::Entry)
        raiseShellError(EPERM, "Impossibile rinominare " + inQuotes(displayName(child, DisplayNameKind::Normal)));
    // The one rename of the program: it never replaces another item, and carries out a change of
    // letter case on a file system that ignores case.
    errno = 0;
    switch (renameItem(m_path, oldName, newName)) {
    case RenameStatus::Renamed:
        break;
    case RenameStatus::InvalidName:
        raiseShellError(EINVAL, "Nome non valido " + inQuotes(newName));
    case RenameStatus::TargetExists:
        raiseShellError(EEXIST, "Impossibile rinominare " + inQuotes(oldName) + " in " + inQuotes(newName));
    case RenameStatus::Failed:
        raiseShellError(errno != 0 ? errno : EIO,
                        "Impossibile rinominare " + inQuotes(oldName) + " in " + inQuotes(newName));
    }
    if (newName == oldName)
        return child;

    const std::string to = joinPath(m_path, newName);
    int lookupError = 0;
    if (auto renamed = entryElement(AT_FDCWD, to.c_str(), newName, lookupError))
        return std::move(*renamed);
    raiseShellError(lookupError, "Impossibile trovare " + inQuotes(to));
}

std::string pathOf(const ItemIdList &absolute)
{
    std::string path;
    const int n = absolute.count();
    for (int i = 0; i < n; ++i) {
        const ItemElement element = absolute.element(i);
        switch (element.type) {
        case ElementType::Computer:
            path.clear();
            break;
        case ElementType::Root:
            path.assign(element.name);
            break;
        case ElementType::Entry:
            if (path.empty())
                return {};
            path = joinPath(path, element.name);
            break;
        }
    }
    return path;
}

ItemIdList idListFromPath(const std::string &rawPath)
{
    if (rawPath.empty() || rawPath[0] != '/')
        raiseShellError(EINVAL, "Percorso non valido " + inQuotes(rawPath));
    const std::string path = lexicallyNormal(rawPath);

    ItemIdList list;
    std::string base;
    const std::string home = homeFolder();
    const std::optional<std::string> desktop = desktopFolder();
    if (desktop && startsWithFolder(path, *desktop)) {
        base = *desktop;
        list = rootElement(base, ElementDesktop);
    } else if (home != "/" && startsWithFolder(path, home)) {
        base = home;
        list = rootElement(base, ElementHome);
    } else {
        const std::vector<Drive> drives = mountedDrives();
        const Drive *drive = driveOf(drives, path);
        base = drive ? drive->mountPoint : std::string("/");
        list = computerElement() + rootElement(base, ElementDrive);
    }

    std::size_t at = base == "/" ? 1 : base.size() + 1;
    while (at < path.size()) {
        std::size_t end = path.find('/', at);
        if (end == std::string::npos)
            end = path.size();
        const std::string partial = path.substr(0, end);
        int error = 0;
        std::optional<ItemIdList> element = entryElement(AT_FDCWD, partial.c_str(), std::string_view(path).substr(at, end - at), error);
        if (!element)
            raiseShellError(error, "Impossibile trovare " + inQuotes(partial));
        list = list + *element;
        at = end + 1;
    }
    return list;
}

ItemIdList specialFolderIdList(int number)
{
    switch (number) {
    case SpecialDesktop:
        return ItemIdList();
    case SpecialDrives:
        return computerElement();
    default:
        raiseShellError(EINVAL, "Cartella speciale sconosciuta (" + std::to_string(number) + ")");
    }
}

std::optional<std::string> explorerColumnWidths()
{
    return std::nullopt;
}

} // namespace nomaro::platform
