#include "platform/shell_namespace.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/entry_stat.h"
#include "platform/paths.h"
#include "platform/shell_error.h"
#include "platform/shell_namespace_parts.h"
#include "platform/shell_types.h"

namespace nomaro::platform {

using detail::inQuotes;

namespace {

std::string lastComponent(const std::string &path)
{
    if (path == "/")
        return path;
    return path.substr(path.rfind('/') + 1);
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

ShellFolder::ShellFolder(ItemIdList absolute, std::string path)
    : m_absolute(std::move(absolute))
    , m_path(std::move(path))
{
}

ShellFolder::~ShellFolder() = default;

std::unique_ptr<ShellFolder> ShellFolder::bind(const ItemIdList &absolute)
{
    if (absolute.isDesktop())
        return std::make_unique<detail::DesktopFolder>();
    if (absolute.count() == 1 && absolute.firstElement().type == ElementType::Computer)
        return std::make_unique<detail::ComputerFolder>(absolute);

    std::string path = pathOf(absolute);
    if (path.empty() || path[0] != '/')
        raiseShellError(EINVAL, "Identificatore di cartella non valido");
    const EntryStatus status = statEntry(path);
    if (!status.found())
        raiseShellError(status.error, "Impossibile aprire la cartella " + inQuotes(path));
    if (!status.isDirectory())
        raiseShellError(ENOTDIR, "Impossibile aprire la cartella " + inQuotes(path));
    return std::make_unique<detail::FileSystemFolder>(absolute, std::move(path));
}

const std::vector<Drive> &ShellFolder::rereadDrives() const
{
    m_drives = mountedDrives();
    return *m_drives;
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
    return attributes(child.firstElement(), wanted);
}

std::uint32_t ShellFolder::attributes(const ItemElement &element, std::uint32_t wanted) const
{
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
            if (::faccessat(AT_FDCWD, childPath(element).c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
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
    return displayName(child.firstElement(), kind);
}

std::string ShellFolder::displayName(const ItemElement &element, DisplayNameKind kind) const
{
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
            return detail::loginName();
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
    return childPath(child.firstElement());
}

std::string ShellFolder::childPath(const ItemElement &element) const
{
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

SortKey ShellFolder::sortKey(int, const ItemElement &) const
{
    return {};
}

std::vector<SortKey> ShellFolder::sortKeys(int column, const std::vector<ItemElement> &elements,
                                          const std::vector<SortKey> &) const
{
    std::vector<SortKey> keys;
    keys.reserve(elements.size());
    for (const ItemElement &element : elements)
        keys.push_back(sortKey(column, element));
    return keys;
}

std::vector<SortKey> ShellFolder::sortKeys(int column, const std::vector<ItemElement> &elements) const
{
    std::vector<SortKey> byName;
    byName.reserve(elements.size());
    for (const ItemElement &element : elements)
        byName.push_back(sortKey(0, element));
    return sortKeys(column, elements, byName);
}

bool ShellFolder::hasColumnDetails() const
{
    return false;
}

std::optional<ColumnDetail> ShellFolder::columnDetail(int) const
{
    return std::nullopt;
}

std::string ShellFolder::detailText(const ItemIdList &, int, const LocaleFormats &) const
{
    return {};
}

std::string ShellFolder::typeName(const ItemIdList &child) const
{
    return typeName(child.firstElement());
}

std::string ShellFolder::typeName(const ItemElement &element) const
{
    switch (element.type) {
    case ElementType::Computer:
        return kSystemFolderTypeName;
    case ElementType::Root:
        if (element.flags & ElementDrive) {
            const Drive *drive = driveFor(element);
            return detail::driveTypeName(drive ? drive->type : DriveType::Fixed);
        }
        return kFolderTypeName;
    case ElementType::Entry:
        return element.isDirectory() ? std::string(kFolderTypeName) : fileTypeName(element.name);
    }
    return {};
}

std::string ShellFolder::iconName(const ItemIdList &child) const
{
    return iconName(child.firstElement());
}

std::string ShellFolder::iconName(const ItemElement &element) const
{
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
            return detail::driveIconName(drive ? drive->type : DriveType::Fixed);
        }
    case ElementType::Entry:
        return element.isDirectory() ? std::string("folder") : fileIconName(element.name);
    }
    return {};
}

ItemIdList ShellFolder::rename(const ItemIdList &child, const std::string &) const
{
    raiseShellError(EPERM, "Impossibile rinominare " + inQuotes(displayName(child, DisplayNameKind::Normal)));
}

std::string pathOf(const ItemIdList &absolute)
{
    // One pass, appending in place: a deep folder's path is built in time linear in its depth.
    std::string path;
    for (const ItemElement &element : absolute.elements()) {
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
            if (path.back() != '/')
                path.push_back('/');
            path.append(element.name);
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
    const std::string home = detail::homeFolder();
    const std::optional<std::string> desktop = detail::desktopFolder();
    if (desktop && isAtOrBelow(path, *desktop)) {
        base = *desktop;
        list = detail::rootElement(base, ElementDesktop);
    } else if (home != "/" && isAtOrBelow(path, home)) {
        base = home;
        list = detail::rootElement(base, ElementHome);
    } else {
        const std::vector<Drive> drives = mountedDrives();
        const Drive *drive = driveOf(drives, path);
        base = drive ? drive->mountPoint : std::string("/");
        list = detail::computerElement() + detail::rootElement(base, ElementDrive);
    }

    std::size_t at = base == "/" ? 1 : base.size() + 1;
    while (at < path.size()) {
        std::size_t end = path.find('/', at);
        if (end == std::string::npos)
            end = path.size();
        const std::string partial = path.substr(0, end);
        int error = 0;
        std::optional<ItemIdList> element
            = detail::entryElement(AT_FDCWD, partial.c_str(), std::string_view(path).substr(at, end - at), error);
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
        return detail::computerElement();
    default:
        raiseShellError(EINVAL, "Cartella speciale sconosciuta (" + std::to_string(number) + ")");
    }
}

} // namespace nomaro::platform
