#pragma once

// One row of the folder list: the item's identifier relative to the shown folder, and the texts
// made the first time the row is drawn. It knows its folder only through the FolderContext of
// its fill, never the widget, so rows can be made, read and tested without a view.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "browser/foldercontext.h"
#include "platform/itemidlist.h"
#include "platform/shell_compare.h"

namespace nomaro {

// Rows never drawn carry only the identifier, so a folder of many thousand entries costs little
// more than their names.
class ShellListItemData
{
public:
    ShellListItemData(const FolderContext *context, platform::ItemIdList relative);
    ~ShellListItemData();
    ShellListItemData(ShellListItemData &&) noexcept;
    ShellListItemData &operator=(ShellListItemData &&) noexcept;

    const FolderContext &context() const { return *m_context; }
    // The identifier relative to the shown folder, and its decoded element (which points into
    // the context's block of identifiers: valid until rows of the context are made or removed).
    platform::ItemIdList relativeId() const;
    platform::ItemElement element() const;
    // After a rename in place: drops everything made from the old identifier.
    void setRelativeId(platform::ItemIdList relative);

    // The shown folder's list followed by the relative one, made on first use.
    const platform::ItemIdList &absoluteId();

    // Asked of the folder each time; `wanted` limits the answer to the attributes needed.
    std::uint32_t attributes(std::uint32_t wanted) const;
    // A folder that opening enters (see the list's options).
    bool isFolder() const;
    bool isLink() const;
    bool canRename() const;

    // The caption: the normal display name, made once.
    const QString &displayName();
    // The in-folder name as the file system's own bytes.
    std::string fileSystemName() const;
    // The item's file-system path; empty when it has none.
    std::string path() const;

    // The text of a column n >= 1: in details mode asked of the folder each time, in fixed mode
    // ("Dimensione", "Tipo", "Modificato") made once for all three from what the listing read,
    // and kept.
    QString detailText(int column);

private:
    friend class ShellListModel;
    struct Cache;

    Cache &cache();
    void makeFixedDetails(Cache &cache) const;

    platform::SortKey nameKeyOf() const;

    // A fixed-size record: the identifier lies in the context's block, and texts made when the
    // row is first drawn hang off the cache, which rows never drawn do without.
    const FolderContext *m_context;
    FolderContext::IdentifierPlace m_relative;
    // The folder's key of column 0, made once: every sort orders its ties by it.
    platform::SortKey m_nameKey;
    std::unique_ptr<Cache> m_cache;
};

} // namespace nomaro
