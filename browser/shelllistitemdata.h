#pragma once

// One row of the folder list: the item's identifier relative to the shown folder, and the texts
// made the first time the row is drawn. It knows its folder only through the FolderContext of
// its fill, never the widget, so rows can be made, read and tested without a view.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/itemidlist.h"

namespace nomaro {

class FolderContext;

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
    // The identifier relative to the shown folder, and its decoded element.
    platform::ItemIdList relativeId() const { return m_relative; }
    platform::ItemElement element() const { return m_relative.firstElement(); }
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
    struct Cache;

    Cache &cache();
    void makeFixedDetails(Cache &cache) const;

    const FolderContext *m_context;
    platform::ItemIdList m_relative;
    std::unique_ptr<Cache> m_cache;
};

} // namespace nomaro
