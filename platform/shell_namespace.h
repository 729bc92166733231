#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/itemidlist.h"
#include "platform/locale_formats.h"
#include "platform/shell_compare.h"

namespace nomaro::platform {

// The namespace of folders the browser shows: the desktop, a virtual root without a path, holds
// the home folder, the desktop folder (when it exists apart from home) and "Computer", which
// lists the drives; below those every folder is a file-system folder.

enum ShellAttribute : std::uint32_t {
    AttrCanCopy = 0x0001,
    AttrCanMove = 0x0002,
    AttrCanLink = 0x0004,
    AttrCanRename = 0x0010,
    AttrCanDelete = 0x0020,
    AttrLink = 0x0100,
    AttrShare = 0x0200,
    AttrReadOnly = 0x0400,
    AttrHidden = 0x0800,
    AttrStream = 0x1000,
    AttrRemovable = 0x2000,
    AttrFileSystemAncestor = 0x10000,
    AttrFolder = 0x20000,
    AttrFileSystem = 0x40000,
};

// What the enumeration lists.
enum EnumFlag : unsigned {
    EnumFolders = 1,
    EnumNonFolders = 2,
    EnumHidden = 4,
};

enum class EnumEnd {
    NoMoreItems,    // every child was read
    CannotStart,    // the folder could not be opened
    GeneralFailure, // the folder went away or its medium failed while it was read
    Error,          // any other failure; the error number tells which
};

enum class DisplayNameKind {
    Normal,     // as the user sees the item anywhere
    InFolder,   // as the user sees it within its folder
    ForEditing, // what a rename starts from
    ForParsing, // the full path; the display name for items without one
};

enum class Alignment { Left, Right, Centre };

struct ColumnDetail
{
    std::string caption;
    Alignment alignment = Alignment::Left;
    int widthInCharacters = 0;
};

// The special folders that can be looked up by number.
enum SpecialFolder : std::uint8_t {
    SpecialDesktop = 0,
    SpecialDrives = 17, // "Computer"
};

// A bound folder of the namespace: answers for its children, given as one-element identifier
// lists relative to it (or as their decoded elements). The desktop, "Computer" and the
// file-system folders each answer in their own way (see shell_namespace_*.cpp); what depends
// only on the kind of child is answered here for all of them.
class ShellFolder
{
public:
    // Binds the folder that `absolute` designates (the desktop when it is empty). Raises a
    // ShellError when the folder does not exist or is no folder.
    static std::unique_ptr<ShellFolder> bind(const ItemIdList &absolute);

    virtual ~ShellFolder();
    ShellFolder(const ShellFolder &) = delete;
    ShellFolder &operator=(const ShellFolder &) = delete;

    const ItemIdList &absoluteId() const { return m_absolute; }
    // The folder's file-system path; empty for a virtual folder.
    const std::string &path() const { return m_path; }

    // Hands every child to `sink`, in the order the folder gives them; `error` receives the
    // system's error number when the enumeration does not end with NoMoreItems.
    virtual EnumEnd enumerate(unsigned flags, const std::function<void(ItemIdList &&child)> &sink, int &error) const = 0;

    // The attributes of a child, limited to those in `wanted` (some cost a look at the disk).
    std::uint32_t attributes(const ItemIdList &child, std::uint32_t wanted) const;
    std::uint32_t attributes(const ItemElement &child, std::uint32_t wanted) const;
    std::string displayName(const ItemIdList &child, DisplayNameKind kind) const;
    std::string displayName(const ItemElement &child, DisplayNameKind kind) const;
    // The child's file-system path; empty when it has none.
    std::string childPath(const ItemIdList &child) const;
    std::string childPath(const ItemElement &child) const;

    // Orders two children for a column: negative, zero or positive. Column 0 puts folders
    // before files, then compares names (see compareNames); other columns compare their values
    // and break ties by column 0.
    int compare(int column, const ItemIdList &a, const ItemIdList &b) const;
    virtual int compare(int column, const ItemElement &a, const ItemElement &b) const = 0;
    // A key that orders children for a column as compare does as far as it goes: a smaller key
    // means an earlier child; equal keys leave the order to compare.
    virtual SortKey sortKey(int column, const ItemElement &element) const;
    // The keys of many children at once, as sortKey gives them; a column whose values cost a
    // lookup (the type) looks each distinct value up once for all of them. `byName` holds each
    // child's key for column 0, which the other columns reuse for their ties.
    virtual std::vector<SortKey> sortKeys(int column, const std::vector<ItemElement> &elements,
                                          const std::vector<SortKey> &byName) const;
    std::vector<SortKey> sortKeys(int column, const std::vector<ItemElement> &elements) const;

    // Column details, offered by virtual folders that list something other than files.
    virtual bool hasColumnDetails() const;
    virtual std::optional<ColumnDetail> columnDetail(int column) const;
    virtual std::string detailText(const ItemIdList &child, int column, const LocaleFormats &formats) const;

    std::string typeName(const ItemIdList &child) const;
    std::string typeName(const ItemElement &child) const;
    // The icon theme name for the child.
    std::string iconName(const ItemIdList &child) const;
    std::string iconName(const ItemElement &child) const;

    // Renames a child within this folder, never replacing an existing item; gives the child's
    // new identifier. Raises a ShellError on failure.
    virtual ItemIdList rename(const ItemIdList &child, const std::string &newName) const;

protected:
    ShellFolder(ItemIdList absolute, std::string path);
    // The drive that holds a root child, or this folder for any other child.
    const Drive *driveFor(const ItemElement &element) const;
    // Reads the mount table again, for a folder that lists the drives.
    const std::vector<Drive> &rereadDrives() const;

private:
    ItemIdList m_absolute;
    std::string m_path;
    mutable std::optional<std::vector<Drive>> m_drives;
};

// The file-system path that an absolute list designates; empty for virtual folders.
std::string pathOf(const ItemIdList &absolute);

// The absolute list of a file-system path: through the desktop folder or the home folder when
// the path lies below them, else through "Computer" and the drive that holds it. Raises a
// ShellError when a part of the path does not exist.
ItemIdList idListFromPath(const std::string &path);

// The absolute list of a special folder. Raises a ShellError for a number it does not know.
ItemIdList specialFolderIdList(int number);

// Turns off the system's prompts about drives that are not ready for its lifetime. Linux has no
// such prompts, so nothing is to be switched; the guard marks where they would be.
class ErrorModeGuard
{
public:
    ErrorModeGuard() {}
    ~ErrorModeGuard() {}
    ErrorModeGuard(const ErrorModeGuard &) = delete;
    ErrorModeGuard &operator=(const ErrorModeGuard &) = delete;
};

} // namespace nomaro::platform
