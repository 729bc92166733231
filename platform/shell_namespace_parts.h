#pragma once

// What the three kinds of folder of the shell namespace share among themselves and with the
// binding in shell_namespace.cpp: how elements are made, the desktop's own folders, and the
// folder classes themselves. Not for use outside platform/.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dir_reader.h"
#include "platform/shell_namespace.h"

namespace nomaro::platform::detail {

std::string inQuotes(const std::string &text);
int sign(long long value);

// The element of an entry, with the kind, size and time of `info` when it is known.
ItemIdList makeElement(ElementType type, std::uint8_t flags, std::string_view name, const struct stat *info);
// The element of the entry `pathOrName` in the folder open as `folderFd` (AT_FDCWD with a full
// path), listed under `name`; nullopt with the system's error when it cannot be looked at.
std::optional<ItemIdList> entryElement(int folderFd, const char *pathOrName, std::string_view name, int &error);

// Reads the children of the file-system folder at `path` of the kinds in `flags` (EnumFlag),
// handing each to `sink` with the lookup that made it, in the folder's order. An entry gone
// since it was read is left out; one that cannot be looked at comes without its kind. nullopt,
// with errno set, when the folder cannot be opened.
using ChildSink = std::function<void(ItemIdList &&child, const EntryStatus &status)>;
std::optional<FolderRead> readFileSystemChildren(const std::string &path, unsigned flags, const ChildSink &sink);
// A file-system folder hung under a virtual folder, by its path; `role` is one of the Root flags.
ItemIdList rootElement(const std::string &path, std::uint8_t role);
ItemIdList computerElement();

std::string homeFolder();
// The user's desktop folder, when it exists and is not the home folder itself.
std::optional<std::string> desktopFolder();
std::string loginName();

const char *driveTypeName(DriveType type);
const char *driveIconName(DriveType type);

class DesktopFolder final : public ShellFolder
{
public:
    DesktopFolder();
    EnumEnd enumerate(unsigned flags, const std::function<void(ItemIdList &&)> &sink, int &error) const override;
    int compare(int column, const ItemElement &a, const ItemElement &b) const override;
};

class ComputerFolder final : public ShellFolder
{
public:
    explicit ComputerFolder(ItemIdList absolute);
    EnumEnd enumerate(unsigned flags, const std::function<void(ItemIdList &&)> &sink, int &error) const override;
    int compare(int column, const ItemElement &a, const ItemElement &b) const override;
    bool hasColumnDetails() const override;
    std::optional<ColumnDetail> columnDetail(int column) const override;
    std::string detailText(const ItemIdList &child, int column, const LocaleFormats &formats) const override;
};

class FileSystemFolder final : public ShellFolder
{
public:
    FileSystemFolder(ItemIdList absolute, std::string path);
    EnumEnd enumerate(unsigned flags, const std::function<void(ItemIdList &&)> &sink, int &error) const override;
    int compare(int column, const ItemElement &a, const ItemElement &b) const override;
    SortKey sortKey(int column, const ItemElement &element) const override;
    std::vector<SortKey> sortKeys(int column, const std::vector<ItemElement> &elements,
                                  const std::vector<SortKey> &byName) const override;
    ItemIdList rename(const ItemIdList &child, const std::string &newName) const override;
};

} // namespace nomaro::platform::detail
