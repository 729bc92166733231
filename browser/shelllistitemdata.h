#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/itemidlist.h"

namespace nomaro {

class ShellList;

// What a row of the folder list knows of its item: the identifier relative to the shown folder,
// and texts made the first time the row is drawn. Rows never drawn carry only the identifier,
// so a folder of many thousand entries costs little more than their names.
class ShellListItemData
{
public:
    ShellListItemData(const ShellList *owner, platform::ItemIdList relative);

    const ShellList *owner() const { return m_owner; }
    const platform::ItemIdList &relativeId() const { return m_relative; }
    // After a rename in place: drops everything made from the old identifier.
    void setRelativeId(platform::ItemIdList relative);

    // The shown folder's list followed by the relative one, made on first use.
    const platform::ItemIdList &absoluteId();

    // Asked of the folder each time; `wanted` limits the answer to the attributes needed.
    std::uint32_t attributes(std::uint32_t wanted) const;
    // A folder that opening enters (see ShellList's options).
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
    // ("Dimensione", "Tipo", "Modificato") made once for all three and kept.
    QString detailText(int column);

private:
    struct Cache
    {
        std::optional<platform::ItemIdList> absolute;
        std::optional<QString> displayName;
        bool detailsMade = false;
        QString size;
        QString type;
        QString modified;
    };

    Cache &cache();
    void makeFixedDetails(Cache &cache) const;

    const ShellList *m_owner;
    platform::ItemIdList m_relative;
    std::unique_ptr<Cache> m_cache;
};

} // namespace nomaro
