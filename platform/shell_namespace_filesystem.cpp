// The file-system folders: every folder below the desktop's own, listed from the disk.

#include <algorithm>
#include <cerrno>
#include <climits>
#include <unordered_map>
#include <fcntl.h>
#include <unistd.h>

#include "platform/dir_reader.h"
#include "platform/entry_stat.h"
#include "platform/paths.h"
#include "platform/rename.h"
#include "platform/shell_compare.h"
#include "platform/shell_error.h"
#include "platform/shell_namespace_parts.h"
#include "platform/shell_types.h"

namespace nomaro::platform::detail {
namespace {

std::uint8_t kindFlags(const EntryStatus &status)
{
    if (status.isLink)
        return S_ISDIR(status.info.st_mode) ? ElementSymlink | ElementLinkToDirectory : ElementSymlink;
    if (S_ISDIR(status.info.st_mode))
        return ElementDirectory;
    if (S_ISREG(status.info.st_mode))
        return ElementRegular;
    return 0;
}

} // namespace

std::string inQuotes(const std::string &text)
{
    return "\"" + text + "\"";
}

int sign(long long value)
{
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

ItemIdList makeElement(ElementType type, std::uint8_t flags, std::string_view name, const struct stat *info)
{
    ItemElement element;
    element.type = type;
    element.flags = flags;
    element.name = name;
    if (info) {
        element.flags |= ElementStatKnown;
        element.size = static_cast<std::uint64_t>(info->st_size);
        // A file system that keeps no write time shows the last change instead.
        const timespec &when = info->st_mtim.tv_sec != 0 ? info->st_mtim : info->st_ctim;
        element.mtimeSeconds = when.tv_sec;
        element.mtimeNanoseconds = static_cast<std::uint32_t>(when.tv_nsec);
    }
    if (auto list = ItemIdList::single(element))
        return std::move(*list);
    raiseShellError(ENAMETOOLONG, "Nome troppo lungo " + inQuotes(std::string(name)));
}

std::optional<ItemIdList> entryElement(int folderFd, const char *pathOrName, std::string_view name, int &error)
{
    const EntryStatus status = statEntry(folderFd, pathOrName);
    if (!status.found()) {
        error = status.error;
        return std::nullopt;
    }
    return makeElement(ElementType::Entry, kindFlags(status), name, &status.info);
}

FileSystemFolder::FileSystemFolder(ItemIdList absolute, std::string path)
    : ShellFolder(std::move(absolute), std::move(path))
{
}

std::optional<FolderRead> readFileSystemChildren(const std::string &path, unsigned flags, const ChildSink &sink)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const FolderRead read = readFolder(
        fd, [flags](std::string_view name) { return name[0] != '.' || (flags & EnumHidden); },
        [&](std::string_view name, const EntryStatus &status) {
            std::optional<ItemIdList> child;
            if (status.found())
                child = makeElement(ElementType::Entry, kindFlags(status), name, &status.info);
            // An entry that went away since it was read is simply not there any more; one that
            // cannot be looked at (a folder without search permission) is still listed.
            else if (status.error != ENOENT)
                child = makeElement(ElementType::Entry, 0, name, nullptr);
            if (child) {
                const bool folder = child->firstElement().isDirectory();
                if (folder ? (flags & EnumFolders) : (flags & EnumNonFolders))
                    sink(std::move(*child), status);
            }
        });
    ::close(fd);
    return read;
}

EnumEnd FileSystemFolder::enumerate(unsigned flags, const std::function<void(ItemIdList &&)> &sink, int &error) const
{
    error = 0;
    const std::optional<FolderRead> read =
        readFileSystemChildren(path(), flags, [&sink](ItemIdList &&child, const EntryStatus &) { sink(std::move(child)); });
    if (!read) {
        error = errno;
        return EnumEnd::CannotStart;
    }
    error = read->error;
    switch (read->end) {
    case FolderReadEnd::Complete:
        return EnumEnd::NoMoreItems;
    case FolderReadEnd::Vanished:
        return EnumEnd::GeneralFailure;
    case FolderReadEnd::Failed:
        break;
    }
    switch (read->error) {
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

int FileSystemFolder::compare(int column, const ItemElement &x, const ItemElement &y) const
{
    int order = 0;
    switch (column) {
    case 1: {
        const std::uint64_t sx = x.isDirectory() ? 0 : x.size;
        const std::uint64_t sy = y.isDirectory() ? 0 : y.size;
        order = sx < sy ? -1 : sx > sy ? 1 : 0;
        break;
    }
    case 2:
        order = compareNames(typeName(x), typeName(y));
        break;
    case 3:
        order = x.mtimeSeconds != y.mtimeSeconds ? sign(x.mtimeSeconds - y.mtimeSeconds)
                                                 : sign(static_cast<long long>(x.mtimeNanoseconds) - y.mtimeNanoseconds);
        break;
    default:
        break;
    }
    if (order != 0)
        return order;
    if (x.isDirectory() != y.isDirectory())
        return x.isDirectory() ? -1 : 1;
    return compareNames(x.name, y.name);
}

namespace {

// Equal sizes are common (empty files), so the lower half of the size and date keys orders
// as column 0 does, from the top of that column's key.
SortKey sizeKey(const ItemElement &element, const SortKey &byName)
{
    return {element.isDirectory() ? 0 : element.size, byName.high};
}

SortKey dateKey(const ItemElement &element, const SortKey &byName)
{
    return {static_cast<std::uint64_t>(element.mtimeSeconds) ^ (std::uint64_t(1) << 63),
            (static_cast<std::uint64_t>(element.mtimeNanoseconds) << 34) | (byName.high >> 30)};
}

} // namespace

SortKey FileSystemFolder::sortKey(int column, const ItemElement &element) const
{
    if (column == 0) {
        // Folders first in the top bit; the name's key moves down a bit and loses its last
        // one, which keeps its order.
        const std::uint64_t fileBit = element.isDirectory() ? 0 : 1;
        const SortKey name = namePrefixKey(element.name);
        return {(fileBit << 63) | (name.high >> 1), (name.high << 63) | (name.low >> 1)};
    }
    if (column == 1)
        return sizeKey(element, sortKey(0, element));
    if (column == 3)
        return dateKey(element, sortKey(0, element));
    return {};
}

std::vector<SortKey> FileSystemFolder::sortKeys(int column, const std::vector<ItemElement> &elements,
                                               const std::vector<SortKey> &byName) const
{
    if (column == 0)
        return byName;
    if (column == 1 || column == 3) {
        std::vector<SortKey> keys;
        keys.reserve(elements.size());
        for (std::size_t i = 0; i < elements.size(); ++i)
            keys.push_back(column == 1 ? sizeKey(elements[i], byName[i]) : dateKey(elements[i], byName[i]));
        return keys;
    }
    if (column != 2)
        return ShellFolder::sortKeys(column, elements, byName);

    // One type name per distinct type key (folders share one), then each name's rank among the
    // names in their order, equal names sharing a rank.
    std::unordered_map<std::string_view, std::uint32_t> slotOfKey;
    std::vector<std::string> typeNames;
    std::vector<std::uint32_t> slots(elements.size());
    constexpr std::uint32_t kNoFolderSlot = UINT32_MAX;
    std::uint32_t folderSlot = kNoFolderSlot;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const ItemElement &element = elements[i];
        if (element.isDirectory()) {
            if (folderSlot == kNoFolderSlot) {
                folderSlot = static_cast<std::uint32_t>(typeNames.size());
                typeNames.push_back(typeName(element));
            }
            slots[i] = folderSlot;
            continue;
        }
        const auto [at, isNew] = slotOfKey.try_emplace(fileTypeKey(element.name), static_cast<std::uint32_t>(typeNames.size()));
        if (isNew)
            typeNames.push_back(typeName(element));
        slots[i] = at->second;
    }
    std::vector<std::uint32_t> order(typeNames.size());
    for (std::uint32_t slot = 0; slot < order.size(); ++slot)
        order[slot] = slot;
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return compareNames(typeNames[a], typeNames[b]) < 0; });
    std::vector<std::uint64_t> rankOf(typeNames.size());
    std::uint64_t rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && typeNames[order[i]] != typeNames[order[i - 1]])
            ++rank;
        rankOf[order[i]] = rank;
    }

    // The rank in the top half, then the order of column 0 as far as the bits go.
    std::vector<SortKey> keys;
    keys.reserve(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const SortKey &name = byName[i];
        keys.push_back({(rankOf[slots[i]] << 32) | (name.high >> 32), (name.high << 32) | (name.low >> 32)});
    }
    return keys;
}

ItemIdList FileSystemFolder::rename(const ItemIdList &child, const std::string &newName) const
{
    const ItemElement element = child.firstElement();
    if (element.type != ElementType::Entry)
        return ShellFolder::rename(child, newName);
    const std::string oldName(element.name);
    // The one rename of the program: it never replaces another item, and carries out a change of
    // letter case on a file system that ignores case.
    errno = 0;
    switch (renameItem(path(), oldName, newName)) {
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

    const std::string to = joinPath(path(), newName);
    int lookupError = 0;
    if (auto renamed = entryElement(AT_FDCWD, to.c_str(), newName, lookupError))
        return std::move(*renamed);
    raiseShellError(lookupError, "Impossibile trovare " + inQuotes(to));
}

} // namespace nomaro::platform::detail
